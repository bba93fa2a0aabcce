#pragma once

// Before a save replaces object-sequence files: the files the document never read or wrote, or
// that changed on disk since it did, hold work the save would lose unseen. One question names
// them all and offers to replace them, to save a new version instead, or to write nothing.

#include <string>
#include <vector>

class Document;
class ResObjectSequences;

namespace osfile {

// Before a save of the document's objects replaces the files of the selected version: asks when
// one exists that this document never read or wrote (objects saved earlier and not loaded) or
// that changed since it did (another document or program). One question lists those files, each
// with when it was written and how many objects and points it holds, and names the new version:
// Yes replaces them (asking again when one was written while the question was open), No moves
// the save to the new version (all.selectedVersion), Cancel and Esc write nothing. False when the
// user cancelled; true unasked when no file is at risk.
bool ConfirmSaveVersion(ResObjectSequences& all);

// The first version above every video's highest whose file no video of the document has: a save
// of it replaces nothing.
int NextFreeVersion(const Document* document);

// The files this document read or wrote that hold something else now, or are gone: its saved
// objects are no longer on disk.
std::vector<std::string> FilesReplacedSinceSaved(const Document* document);

}  // namespace osfile
