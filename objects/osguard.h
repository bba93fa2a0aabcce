#pragma once

// Before a save replaces object-sequence files: the files the document never read or wrote, or
// that changed on disk since it did, hold work the save would lose unseen. One question names
// them all and offers to replace them, to save a new version instead, or to write nothing.

#include <string>
#include <vector>

class Document;
class FileSnapshot;

namespace osfile {

// Why a file may not be replaced without asking.
enum class Risk {
  kNone,          // no file, or the file this document last read or wrote
  kNeverRead,     // a file this document never read or wrote (objects saved earlier, not loaded)
  kChangedSince,  // changed since this document read or wrote it (another document or program)
};

// What replacing the file at path would lose, given what the document knows of it.
Risk RiskOf(const std::string& path, const FileSnapshot& known);

struct FileAtRisk {
  std::string path;
  Risk risk;
};

// The user's answer to the question.
enum class ReplaceChoice { kReplace, kNewVersion, kCancel };

// Asks about the files at risk (none: kReplace, unasked). The question lists each file with when
// it was written and how many objects and points it holds, and names the new version's number
// and the first of its files. Yes replaces, No saves the new version, Cancel (and Esc) writes
// nothing.
ReplaceChoice AskBeforeReplacing(const std::vector<FileAtRisk>& files, int newVersion,
                                 const std::string& newFile);

// The first version above every video's highest whose file no video of the document has: a save
// of it replaces nothing.
int NextFreeVersion(const Document* document);

// The files this document read or wrote that hold something else now, or are gone: its saved
// objects are no longer on disk.
std::vector<std::string> FilesReplacedSinceSaved(const Document* document);

}  // namespace osfile
