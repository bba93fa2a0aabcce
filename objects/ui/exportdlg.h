#pragma once

// ObjectExport: the "Export Object Sequences" dialog of one video. It lists the project's
// sequences with name and colour, their file names beside the visible rows (the sequence's name
// with the extension "p<number>" to start with) and the target folder (the video's folder).
// "Export" writes each sequence's points in this video and its description file into the target
// folder, in the chosen text format.

#include "objects/ui/sequenceexportdlg.h"

class Document;
class FrameSequence;

class ObjectExport : public SequenceExportDialog {
  Q_OBJECT
 public:
  ObjectExport(QWidget* parent, Document& doc, FrameSequence& video);

  // Writes the files; false after a message when one could not be written.
  bool ExportNow();

 protected:
  void OnCommand(int id) override;

 private:
  FrameSequence& video_;
};
