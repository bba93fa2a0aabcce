#pragma once

// Object sequences as ASCII text, for other programs: one line per frame that has a point, with
// the frame minus 1, x and y in the chosen text format; beside each point file a description
// file with the sequence's name and colour. Import reads point files into a video's sequences,
// export writes them, and the copy command puts every sequence's world points on the clipboard
// as tab-separated text.

#include <functional>
#include <string>
#include <vector>

#include "objects/objectarray.h"

class Document;
class FrameSequence;
class ResObjectSequence;
class TextInFile;
class TextOutFile;

namespace ascii {

inline constexpr int kImportCommand = 25114;
inline constexpr int kExportCommand = 25113;
inline constexpr int kCopySequence = 25121;

inline constexpr int kIoErrorCaption = 31050;
inline constexpr int kNoObjects = 31051;
inline constexpr int kFrameOutOfRange = 31067;
inline constexpr int kPointTooFar = 31082;
inline constexpr int kImportTitle = 32517;
inline constexpr int kImportFilter = 32518;
inline constexpr int kImportProgress = 32519;

// One line per point from frame 1 to the array's end.
void WriteObjects(const ObjectArray& sequence, TextOutFile& out);

// Asked every kProgressLines lines while a file is read; false stops the reading there, between
// two lines, and the points read before stay.
using ReadProgress = std::function<bool(const TextInFile& in)>;
inline constexpr int kProgressLines = 1 << 14;

// Files the points of the lines into sequence (a later line of a frame replaces the earlier
// point) until the text ends or a line is faulty; a faulty line is reported and the points read
// before it stay. Faulty too: a frame outside 1..lastFrame (the video's frames: a frame number
// far beyond them would make the sequence claim memory for every frame up to it) and a
// coordinate farther than osfile::kMaxPixels from the image origin, which no view can draw.
// Returns how many lines were filed.
int ReadObjects(ObjectSequence& sequence, TextInFile& in, const std::string& fileName,
                int lastFrame = ObjectArray::kMaxFrame, const ReadProgress& progress = {});

// The description file: the name on the first line, red, green and blue on the second. False
// when it cannot be written, after telling the user why.
bool WriteDescription(const ResObjectSequence& sequence, const std::string& fileName);
// Takes a non-empty first line as the name and the colour when all three numbers were read;
// false when the file does not open.
bool ReadDescription(ResObjectSequence& sequence, const std::string& fileName);

// "<name>.p<nn>" with the sequence number in two digits at least; a slash in the name becomes
// an underscore, so the name stays one file.
std::string DefaultFileName(const ResObjectSequence& sequence);
// The number after the extension's dot and first letter ("x.p03" gives 3), -1 when none.
int NumberOfExtension(const std::string& fileName);
// The description file beside a point file: the same name with the extension "n<nn>".
std::string DescriptionFileName(const std::string& pointFile, int number);

// Told how far an import is (0 to 1) every kProgressLines lines; false stops it between two lines:
// the points read stay, as after a faulty line, and no further file is read.
using ImportProgress = std::function<bool(double done)>;

// Reads each file into a sequence of the video: the first ordinary sequence whose sub-sequence in
// this video holds no point, else a new one (named and coloured by its description file when
// there is one). A file without a readable point is reported and its new sequence dropped. Then
// the document recomputes its world points and redraws. Returns how many files gave points.
int Import(Document& doc, FrameSequence& video, const std::vector<std::string>& files,
           const ImportProgress& progress = {});

struct ExportItem {
  ResObjectSequence* sequence;
  std::string fileName;  // in the target folder, as typed
};
// The path of a file name typed for the folder (a name with folders of its own stays below it).
std::string FileInFolder(const std::string& folder, const std::string& fileName);

// The ordinary sequences with their default file names.
std::vector<ExportItem> ExportList(Document& doc);
// Writes each sequence's points in the video and its description file into folder; false after
// a message when a file cannot be written (the others are still written). The description takes
// the number of the point file's extension, where the import looks for it (the sequence's number
// when the name has none).
bool Export(FrameSequence& video, const std::string& folder, const std::vector<ExportItem>& items);

// Tab-separated text of the ordinary sequences' world points in the space unit: a header row
// "Frame" and "<name> x/y/z", then one row per frame of the document with empty cells for
// frames without a value.
std::string CopySequenceText(Document& doc);
bool CanCopyOrExport(const Document& doc);

}  // namespace ascii
