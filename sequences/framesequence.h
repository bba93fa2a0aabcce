#pragma once

// FrameSequence: one image sequence of a document, a numbered run of equally sized frames read
// from one file. Frames count from 1. Every sequence is also the camera model of its camera
// (Calibration). The readers derive from it: BldFrameSequence (frame files with a description,
// sequences/bldsequence.h) and the video and raw-camera readers.
//
// A sequence holds its description (FS_Data), the working bitmap with the frame last read (8 bits
// with a colour table for grey, 24 bits for colour, always the full frame size), a 256-entry
// colour table with its grey flag, the display palette and the object sub-sequences tracked on it.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include <QPointer>

#include "base/filename.h"
#include "calibration/calibrat.h"
#include "sequences/colorpalette.h"
#include "sequences/dib.h"
#include "sequences/fsdata.h"

class FrameSequence;
class QObject;
class Document;
class SubObjectSequences;

// What a sequence needs of its views and the object subsystem. The program
// installs these at start; any that is not set does nothing (no view, no sub-sequence list, no
// palette display).
struct FrameSequenceServices {
  // Creates the sequence's image view as a child of its document's client window.
  std::function<QObject*(FrameSequence&)> createView;
  std::function<std::shared_ptr<SubObjectSequences>()> newSubObjectSequences;
  std::function<bool()> isPaletteDisplay;
  // Runs the colour reduction of a colour sequence for a palette display.
  std::function<void(FrameSequence&)> reduceColors;
};
void SetFrameSequenceServices(FrameSequenceServices services);
const FrameSequenceServices& GetFrameSequenceServices();

class FrameSequence : public Calibration {
 public:
  static constexpr int kPaletteSize = 256;

  explicit FrameSequence(Document* document);
  // Stores units and aspect as the next sequence's defaults (only when the sequence opened),
  // destroys the view if one was created.
  virtual ~FrameSequence();
  FrameSequence(const FrameSequence&) = delete;
  FrameSequence& operator=(const FrameSequence&) = delete;

  // Opens the file, fills the description and creates the working bitmap. False after the
  // reader has shown why.
  virtual bool Open() = 0;
  virtual void Close() = 0;
  // Reads frame number into the working bitmap and returns it; null when no file is open or the
  // frame cannot be read. A number outside 1..frames reads frame 1. Without force, the frame
  // already held is returned as it is.
  virtual const CDIB* ReadFrame(int number, bool force = false) = 0;
  virtual bool IsCurrentFrame(int number) const = 0;
  // Whether ReadFrame(number) returns without waiting: a video whose frames are still being
  // counted holds a frame the count has not reached until it gets there. A view shows such a
  // frame once it is ready instead of holding the program.
  virtual bool FrameReady(int) const { return true; }
  virtual FileName& GetFileName() = 0;
  virtual bool CanClose() = 0;
  // A colour sequence on a palette display.
  virtual bool NeedsColorReduction() const;
  // Fills the colour table (the grey ramp, or the reduced colours on a palette display) and
  // hands it to the display palette.
  virtual void PreparePalette() = 0;

  void CreateView();
  void ResetSubObjectSequences();
  // The owning document's current frame (1 without a document).
  int GetDocumentFrame() const;
  // Reads the description of the file (ReadDSC) and sizes the camera model from it; false after
  // ReadDSC's message.
  bool LoadDescription();
  void SetScale(float units, float aspect);
  void SetFrameRate(float framesPerSecond) { fsData.framesPerSecond = framesPerSecond; }

  int Width() const { return fsData.width; }
  int Height() const { return fsData.height; }
  int Frames() const { return fsData.frames; }
  float FramesPerSecond() const { return fsData.framesPerSecond; }
  bool IsColour() const { return fsData.colour == 1; }
  const CDIB& FrameBitmap() const { return frameDib; }
  // Whether Open succeeded.
  bool IsOpened() const { return opened_; }

  FS_Data fsData;
  CDIB frameDib;  // the working bitmap
  std::array<PaletteEntry, kPaletteSize> colorTable{};
  bool colorTableIsGrey = true;
  int colorsFound = 0;  // distinct colours the colour reduction found
  ColorPalette displayPalette;
  std::shared_ptr<SubObjectSequences> subObjectSequences;
  Document* document = nullptr;
  std::int32_t number = 0;  // within the document, 0 until it is set
  QPointer<QObject> view;
  FileName fileName;

 protected:
  // Readers call this when Open succeeds.
  void MarkOpened() { opened_ = true; }
  // The palette preparation every reader shares: a colour sequence on a palette display runs the
  // colour reduction and shows frame 1 through the new palette; otherwise the colour table
  // becomes the grey ramp (flagged grey for a grey sequence). The table then goes to the display
  // palette.
  void PreparePaletteDefault();

 private:
  bool opened_ = false;
};

// Turns a frame as frame files and raw camera files store it (grey: width x height bytes, top
// line first; colour: red, green and blue planes of that size one after the other) into the
// bottom-up bitmap dib, which must already have the frame's size and depth.
void FrameDataToDib(const FS_Data& data, const std::uint8_t* frame, CDIB& dib);
