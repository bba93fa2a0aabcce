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

// A camera's calibration or the document file differs from what is on disk.
bool CalibrationsChanged(const Resource& document);
bool DocumentFileChanged(const Resource& document);

// Writes the document file; false (the message shown) when it cannot be written.
bool WriteDocumentFile(const Resource& document);

// Asks the user for a calibration data file name for camera number (1-based), offering
// suggestion; nothing when cancelled. The program's file dialog is installed by its user
// interface; without one such a camera is not written.
using CalibrationFileAsker =
    std::function<std::optional<std::string>(int number, const std::string& suggestion)>;
// Returns the asker it replaces.
CalibrationFileAsker SetCalibrationFileAsker(CalibrationFileAsker asker);

// Writes every changed calibration (asking for a name where none is given) and then the document
// file when the document has one. False when something could not be written or a name was
// refused; what could be written is.
bool SaveDocumentFiles(Resource& document);

// On closing: when calibrations or the document file changed, asks whether to save them (31107,
// 31108). Yes saves them (a failure keeps the document open), No drops them, Cancel keeps the
// document open. True when the document may close.
bool AskSaveDocumentFiles(Resource& document);
