#pragma once

// What a document keeps on disk besides its object sequences: the calibration data file of each
// camera and the document file that names the sequences, their calibration data files and the
// description. They are written when the calibration window is left with changes, when the
// document's object sequences are saved, and on closing after the user agreed; the document
// file also when the files dialog names it.

#include <functional>
#include <optional>
#include <string>

#include "app/sequencelist.h"

class Resource;

// The document file's content as the document stands.
DocumentFileRecord DocumentFileRecordOf(const Resource& document);

// The document has a document file: the file it is named after exists (it was opened from it,
// or "Save As..." of the files dialog wrote it).
bool HasDocumentFile(const Resource& document);

// A camera's calibration differs from what its data file holds.
bool CalibrationsChanged(const Resource& document);
// The document has a document file, and what the program keeps in it (sequences, calibration
// data names, description) differs from what it held when it last read or wrote that file,
// or the document was named after another file since.
bool DocumentFileChanged(const Resource& document);

// The loader has read the document: what the program now holds of its document file, and the
// file's bytes, are what later saves compare with.
void NoteDocumentFileRead(Resource& document);

// Writes the document file unless it exists and nothing the program keeps in it changed (then
// it is left as it is, kWritten). Another program's change since it was read or written is
// overwritten only when the user chooses so; a file the program read keeps its comments and the
// lines the program does not know.
FileSave SaveDocumentFile(Resource& document);
// SaveDocumentFile; true when the file holds the document's data.
bool WriteDocumentFile(Resource& document);

// Asks the user for a calibration data file name for camera number (1-based), offering
// suggestion; nothing when cancelled. The program's file dialog is installed by its user
// interface; without one such a camera is not written.
using CalibrationFileAsker =
    std::function<std::optional<std::string>(int number, const std::string& suggestion)>;
// Returns the asker it replaces.
CalibrationFileAsker SetCalibrationFileAsker(CalibrationFileAsker asker);

// Writes every changed calibration (asking for a name where none is given) and then the document
// file when the document has one and it changed. False when something could not be written or
// a name was refused; what could be written is. Another program's version that the user chose
// to keep is no failure.
bool SaveDocumentFiles(Resource& document);

// On closing: when calibrations or the document file changed, asks whether to save them (31107,
// 31108). Yes saves them (a failure keeps the document open), No drops them, Cancel keeps the
// document open. True when the document may close.
bool AskSaveDocumentFiles(Resource& document);
