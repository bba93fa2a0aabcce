#pragma once

// The document's object-sequence commands: new, delete, undelete, save, save as a new version
// and load, with their enablers. The document window only forwards to these.

class Document;
class ResObjectSequence;

namespace objcmd {

inline constexpr int kNewObjectSequence = 25101;
inline constexpr int kDeleteObjectSequence = 25102;
inline constexpr int kUndelete = 25103;
inline constexpr int kSave = 25110;
inline constexpr int kSaveAsNew = 25111;
inline constexpr int kLoad = 25112;

// A new tracked sequence (current from now on); null when the document has no image sequence.
ResObjectSequence* NewObjectSequence(Document& doc);
bool CanNewObjectSequence(const Document& doc);

// Moves the current sequence into the undelete buffer.
void DeleteObjectSequence(Document& doc);
// A current sequence exists and it is no body-model object or result.
bool CanDeleteObjectSequence(Document& doc);

void Undelete(Document& doc);
bool CanUndelete(const Document& doc);

// Writes the selected version's files; false when a file could not be written.
bool Save(Document& doc);
// Writes the files under the version after the highest one any video has.
bool SaveAsNew(Document& doc);
// At least one ordinary sequence exists (Save and Save as new).
bool CanSave(const Document& doc);

// Offers to save unsaved object sequences (nothing else is asked about), then loads a stored
// version for every video. False when the user cancelled that question or the save failed.
bool Load(Document& doc);
// Every video has a stored object-sequence file.
bool CanLoad(const Document& doc);

// Whether the sequence, or its sub-sequence in any video, holds a point.
bool HasAnyPoint(const Document& doc, const ResObjectSequence& sequence);

// Whether Esc may drop the sequence for good: only a sequence made by NewObjectSequence in this
// document since it was opened, that never received a point. A loaded or imported sequence
// (whose working flag files do not keep) is never dropped this way.
bool MayDiscard(const Document& doc, const ResObjectSequence& sequence);

}  // namespace objcmd
