#pragma once

// The program's list of its dialogs and dialog panels, each with how it opens on a document, so
// that a check over all of them (a field rule, a layout rule) cannot miss one that a hand-kept
// list forgot. A dialog comes back shown nowhere yet; a panel comes back inside the window that
// holds it (the scale and calibration panels in their calibration window).

#include <QWidget>

#include <functional>
#include <memory>
#include <span>

class AviFrameSequence;
class AviPropertiesModel;
class CalibrationHost;
class CDIB;
class DefaultValueStruct;
class PrinterSettings;
class Resource;
class UnitsOrigin;
struct CoordinateTransfer;
struct DisplayStyleTransfer;

// What the dialogs open on. The document holds at least one image sequence; its first camera is
// the one the calibration dialogs show.
struct DialogSubjects {
  Resource& document;
  CalibrationHost& calibrationHost;
  AviFrameSequence& video;
  AviPropertiesModel& aviModel;
  DefaultValueStruct& defaults;
  UnitsOrigin& units;
  PrinterSettings& page;
  CDIB& dib;
  float& rate;  // the document's rate, as the frame-rate dialog sets it
  CoordinateTransfer& coordinates;
  DisplayStyleTransfer& displayStyle;
};

struct DialogOpening {
  const char* name;
  std::function<std::unique_ptr<QWidget>(DialogSubjects&)> open;
};

std::span<const DialogOpening> ProgramDialogs();
