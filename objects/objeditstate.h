#pragma once

// What the object editor and the recovery dialog decide without a window: the live sequences
// in list order, the three-state boxes of the visible rows in each mode, switching a row, "All
// on" and "All off", the common edit of the chosen sequences, deleting with the rows that stay
// in view, and restoring several deleted sequences at once.

#include <vector>

class Document;
class ResObjectSequence;

namespace objedit {

inline constexpr int kEditorDialog = 20501;
inline constexpr int kRecoverDialog = 20503;
inline constexpr int kVisibleRows = 8;

// The modes of the check boxes (the ids of their radio buttons).
enum Mode : int { kTracking = 20541, kDisplay = 20542, kEdit = 20543 };
// Box states: 0 clear, 1 ticked, 2 grey.
enum Check : int { kClear = 0, kTicked = 1, kGrey = 2 };

// Ordinary sequences (neither deleted nor a body-model result) in list order.
std::vector<ResObjectSequence*> LiveSequences(const Document& doc);
// The sequence at the row, null outside the list.
ResObjectSequence* SequenceAtRow(const Document& doc, int row);
// Deleted sequences in list order.
std::vector<ResObjectSequence*> DeletedSequences(const Document& doc);

// The box of a sequence in a mode: tracking grey when tracked and hidden.
int CheckState(int mode, const ResObjectSequence& s);
// Switches the sequence's property of the mode (a grey box counts as ticked); returns the new
// box state. Every change is one to save.
int Toggle(int mode, ResObjectSequence& s);
// Every live sequence tracked and shown, or untracked and hidden.
void AllOn(const Document& doc);
void AllOff(const Document& doc);
// Entering mode Edit clears every live sequence's edit choice.
void EnterMode(const Document& doc, int mode);
// Whether any live sequence is chosen for the common edit.
bool AnyChosen(const Document& doc);
// The first chosen live sequence (the model of the common edit), or null.
ResObjectSequence* FirstChosen(const Document& doc);
// Every chosen live sequence takes the model's tracked and hidden flags, search limits and
// marker size and style (its colour stays).
void ApplyToChosen(const Document& doc, const ResObjectSequence& model);

// After deleting row `deleted` of a list now holding `count` rows, shown from `top`: the row to
// select (-1 when none is left) and the new top row.
struct RowsAfterDelete {
  int selected;
  int top;
};
RowsAfterDelete AfterDelete(int deleted, int count, int top);

// Restores the deleted sequences of the rows, from the highest row down, so that the rows still
// to come keep naming their sequences.
void RestoreRows(Document& doc, std::vector<int> rows);

}  // namespace objedit
