#pragma once

// analysis/export/: the analysis data written out for other programs.
//
// The analysis data of object sequences as ASCII files for other programs: for each chosen
// sequence one file in the chosen text format, a header line naming the columns, then one line
// per frame: the frame number and one column per chosen quantity, in the display units the
// analysis windows show (the values the analysis core computes). A frame without a value leaves
// its column empty. Quantities of one sequence (positions, their derivatives, resultants, the
// body-model series) give one column; distances give one column per connection of the sequence,
// angles one per angle of the stick figure it belongs to.

#include <string>
#include <vector>

#include "objects/asciiobj.h"

class Document;
class ResObjectSequence;
class TextOutFile;
struct UnitsOrigin;

namespace analysis_export {

// A sequence and its file name in the target folder, as typed.
using Item = ascii::ExportItem;

// The sequences the export offers (ordinary, hidden and centre-of-mass ones) with their default
// file names: the name with the extension "u<number>" in two digits at least.
std::vector<Item> ExportList(Document& doc);
std::string DefaultFileName(const ResObjectSequence& sequence);

// How many quantity codes are offered: 29, or all 58 when the document has a body model loaded
// and the program its library.
int OfferedQuantities(const Document& doc, bool libraryLoaded);

// Writes the sequence's columns of the codes into out (header line and one line per frame).
void WriteSequence(Document& doc, ResObjectSequence& sequence, const std::vector<int>& codes,
                   const UnitsOrigin& units, TextOutFile& out);

// Writes one file per item with a name into folder; false after a message naming each file that
// could not be written and why (the others are still written).
bool Export(Document& doc, const std::string& folder, const std::vector<Item>& items,
            const std::vector<int>& codes, const UnitsOrigin& units);

}  // namespace analysis_export
