#pragma once

// Object-sequence files: beside each video lies one file with that video's object sub-sequences,
// the project sequences they belong to, their templates and image points, the name of the body
// model and the stick figure. Version 0 of video P.ext is "P.OS", version n >= 1 is "P_n.OS";
// versions are consecutive.
//
// A file is a persistent stream (platform/pstream) whose root record is the video's
// SubObjectSequences; every class writes class version 4 and reads versions 0 to 4. Reading
// first decodes the whole file into the plain records below, checking every count, length,
// index and number against the file; only a file that decodes completely changes the project.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/filename.h"

class ResObjectSequences;
class SubObjectSequences;

namespace osfile {

inline constexpr std::uint32_t kClassVersion = 4;
inline constexpr const char* kSubSequencesClass = "SubObjectSequences";
inline constexpr const char* kSubSequenceClass = "SubObjectSequence";
inline constexpr const char* kResSequenceClass = "ResObjectSequence";
inline constexpr const char* kStickFigureClass = "StickFigure";
// The largest template side a file may give.
inline constexpr std::int32_t kMaxTemplateSide = 4095;
// The farthest a point, a template offset or a search limit may reach from the image origin, in
// pixels: the views draw in int pixels at up to 32-fold zoom, and this leaves them room.
inline constexpr std::int32_t kMaxPixels = 1 << 20;
// The largest marker side a file may give.
inline constexpr std::int32_t kMaxMarkerSide = kMaxTemplateSide;

struct Point {
  std::uint32_t frame = 0;
  float x = 0, y = 0, z = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct ColorRecord {
  std::int32_t style = 0, width = 0, height = 0;
  std::optional<std::uint32_t> color;  // from class version 2
  friend bool operator==(const ColorRecord&, const ColorRecord&) = default;
};

struct ResRecord {
  std::optional<std::string> name;
  std::uint32_t flags = 0;
  std::uint32_t algorithm = 0;
  std::int32_t horizontalLimit = 0, verticalLimit = 0;
  std::optional<ColorRecord> color;  // none for a colour descriptor of version 0
  bool hasBody = true;               // false for a record of class version 0
  friend bool operator==(const ResRecord&, const ResRecord&) = default;
};

struct TemplateRecord {
  std::int32_t width = 0, height = 0, shape = 0, xOffset = 0, yOffset = 0;
  friend bool operator==(const TemplateRecord&, const TemplateRecord&) = default;
};

struct SubRecord {
  std::int32_t number = 0;
  std::optional<ResRecord> res;
  std::optional<TemplateRecord> tmpl;
  std::int32_t lastIndex = 0;  // the array's size
  std::vector<Point> points;
  friend bool operator==(const SubRecord&, const SubRecord&) = default;
};

struct ConnectionRecord {
  std::uint32_t color = 0;
  std::int32_t first = 0, second = 0;
  friend bool operator==(const ConnectionRecord&, const ConnectionRecord&) = default;
};

struct AngleRecord {
  std::optional<std::string> name;
  std::int32_t numbers[4] = {};
  std::optional<bool> swap1, swap2;  // from class version 4
  friend bool operator==(const AngleRecord&, const AngleRecord&) = default;
};

struct FigureRecord {
  std::uint32_t arcRadius = 0;
  std::vector<ConnectionRecord> connections;
  std::vector<AngleRecord> angles;
  friend bool operator==(const FigureRecord&, const FigureRecord&) = default;
};

struct FileRecord {
  std::optional<std::string> modelFile;  // relative to the video's folder; set when it has one
  std::vector<SubRecord> sequences;
  std::optional<FigureRecord> figure;
  friend bool operator==(const FileRecord&, const FileRecord&) = default;
};

// The file of a video (its path with any extension) at a version.
FileName FileNameOf(const FileName& video, int version);

std::string Encode(const FileRecord& file);
// The file's records, or nullopt when the bytes are not a complete, consistent file.
std::optional<FileRecord> Decode(std::string_view bytes);

// Shows the message for the first value of a decoded file that the program cannot draw or
// number (31061 a point, 31069 a template offset, marker size or search limit, 31068 a sequence
// number above ResObjectSequences::kMaxNumber), naming the file at path; true when it did, and
// the file must then not be applied. The missing coordinate passes.
bool ReportUnusableValues(const FileRecord& file, const std::string& path);

// What a video's file holds now: its sub-sequences of the project's ordinary sequences, their
// project sequences and the stick figure.
FileRecord Collect(const SubObjectSequences& video, const ResObjectSequences& all);
// Replaces the video's sub-sequences by the file's, creating project sequences as needed, and
// adds the file's stick figure to the project's.
void Apply(const FileRecord& file, SubObjectSequences& video, ResObjectSequences& all);

// Chooses the version to load among 0..highest (the version dialog); nullopt cancels the load.
using VersionChooser = std::function<std::optional<int>(int highest)>;
// Without one the highest version is loaded.
void SetVersionChooser(VersionChooser chooser);

}  // namespace osfile
