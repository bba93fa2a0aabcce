#pragma once

// ObjectImport: the import command of an image sequence's view. It asks for ASCII point files
// ("Import object sequences", several at once) and reads them into the sequence's object
// sequences; a long import shows how far it is, with a button that stops it between two lines
// (the points read so far stay).

class FrameSequence;
class QProgressDialog;
class QWidget;

class ObjectImport {
 public:
  ObjectImport(FrameSequence& sequence, QWidget* parent);

  // Asks for the files and reads them; cancelling the choice ends the import. Returns how many
  // files gave points.
  int Import();

 private:
  // The progress window's answer to the import: moves its bar, false once the user stopped.
  static bool Step(QProgressDialog& window, double done);

  FrameSequence& sequence_;
  QWidget* parent_;
};
