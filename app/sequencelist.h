#pragma once

// Loading by file type: which reader a file name asks for, and the two list files of the
// program, the document file (".rsc": SEQUENCES, SEQUENCE_n, DESCRIPTION, CALIB_DATA_n; read and
// written) and the camera list (".par": CAMERAS, CAM_n; read). Names in a list may be written
// the Windows way; relative names are taken against the list's own folder.

#include <optional>
#include <string>
#include <vector>

#include "base/filename.h"
#include "base/filesnapshot.h"

enum class SequenceKind {
  kBld,    // frame file with a description (".bld", ".dsc")
  kVraw,   // raw camera file (".vraw")
  kVr2,    // raw camera file of the second format (".vr2"), only when opened directly
  kVideo,  // every other extension
  kList,   // document file or camera list (".rsc", ".par"), only when opened directly
};

// The kind of file name, compared without regard to case. Names inside a list are never lists
// and read ".vr2" as video.
SequenceKind KindOfFile(const FileName& file, bool fromList);

bool IsDocumentFile(const FileName& file);  // ".rsc"
bool IsCameraList(const FileName& file);    // ".par"

// The image sequences a list names, in order. On failure the reason has been shown (31025 or
// 31029 when the file cannot be opened, 31026 or 31031 for a missing or wrong count, 31027 or
// 31032 for a missing entry, 32502 for a sequence named twice) and the result is empty.
std::optional<std::vector<FileName>> ReadSequenceList(const FileName& list);

// The document file's "DESCRIPTION" (the window caption), or nothing when the file or the key
// is missing.
std::optional<std::string> ReadDocumentDescription(const FileName& documentFile);
// The document file's "CALIB_DATA_n" resolved against the document file's folder, or nothing.
std::optional<FileName> ReadCalibrationDataName(const FileName& documentFile, int n);

// What a document file holds: the description, the image sequences in order and, beside each,
// its calibration data file (null: none).
struct DocumentFileRecord {
  std::string description;
  std::vector<FileName> sequences;
  std::vector<FileName> calibrationData;
  friend bool operator==(const DocumentFileRecord&, const DocumentFileRecord&) = default;
};

// The document file's text: names relative to its folder, as the readers above resolve them;
// the description on one line. Given the text of the file it replaces, that text with the
// program's lines put in place of the ones it knows; its comments and the lines the program does
// not know stay as they are.
std::string DocumentFileText(const FileName& documentFile, const DocumentFileRecord& record,
                             const std::string* replaced = nullptr);
// Writes the document file (replaced whole or not at all). onDisk is what the file held when
// the program last read or wrote it: another program's change since is overwritten only when
// the user chooses so (kKept: nothing written), and that file's own lines are kept. kFailed
// when it cannot be written, after a message naming the cause.
FileSave WriteDocumentFile(const FileName& documentFile, const DocumentFileRecord& record,
                           FileSnapshot& onDisk);
// The record a document file holds, read without messages; nothing when the file cannot be
// opened or names no sequence.
std::optional<DocumentFileRecord> ReadDocumentFileRecord(const FileName& documentFile);
