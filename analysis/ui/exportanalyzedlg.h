#pragma once

// ExportAnalyzeData: the "Export Analysis Data" dialog of a document's image sequence. Beside the
// list of sequences with their file names and the target folder (the video's folder to start
// with) it lists the quantities ("Data to be exported"): the 29 kinematic ones, and the body-model
// ones as well when the document has a model loaded. "Export" writes, for each sequence with a
// file name, one ASCII file of the chosen quantities (analysis/analysisexport.h); it is available
// while a quantity is chosen.

#include <vector>

#include "objects/ui/sequenceexportdlg.h"

class Document;
class FrameSequence;

class ExportAnalyzeData : public SequenceExportDialog {
  Q_OBJECT
 public:
  static constexpr int kQuantities = 20590, kAllData = 20587, kExport = 20560;
  static constexpr int kHelpContext = 35011;

  // video may be null (the document has none): the folder is then the document's.
  ExportAnalyzeData(QWidget* parent, Document& doc, FrameSequence* video);

  // The chosen quantity codes in list order.
  std::vector<int> ChosenCodes() const;
  QListWidget* QuantityList() const;
  // Writes the files; false after a message when one could not be written.
  bool ExportNow();

 protected:
  void OnCommand(int id) override;

 private:
  void EnableExport();

  Document& doc_;
};

// Opens the dialog for the document's active image sequence.
void RunAnalysisExport(QWidget* parent, Document& doc);
