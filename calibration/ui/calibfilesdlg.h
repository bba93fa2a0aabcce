#pragma once

// CalibFilesDlg: the files of a document. It shows the document's file and description and, one
// image sequence at a time, the sequence's file and its four calibration files with the buttons
// that choose or create them, in the order they must be given; a new document can take further
// image sequences here. EditCameraParaDlg edits and saves the camera parameters of one sequence.

#include "platform/ui/table_dialog.h"

class Calibration;
class CalibrationHost;

class CalibFilesDlg : public platform::TableDialog {
  Q_OBJECT
 public:
  // Plain; a new document (further sequences can be added); before calibrating (OK asks for
  // missing files).
  enum Mode { kPlainMode = 0, kNewDocumentMode = 1, kCalibrationMode = 2 };

  CalibFilesDlg(QWidget* parent, CalibrationHost& host, int sequence, int mode);

  int Sequence() const { return number_; }
  void ShowSequenceFiles();
  void reject() override {}  // Escape leaves the dialog open; it has no Cancel

  // Test access to the command handlers.
  void Command(int id) { OnCommand(id); }

 protected:
  void OnCommand(int id) override;
  bool CanClose() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Calibration& Shown();
  void CmSaveAs();
  void CmCalibrationFile();
  void CmCameraFile();
  void CmCalibrationFrame();
  void CmModelFile();
  void CmFurtherSequence();

  CalibrationHost& host_;
  int number_;
  int mode_;
  bool savedAs_ = false;  // "Save As..." wrote the document file
};

class EditCameraParaDlg : public platform::TableDialog {
  Q_OBJECT
 public:
  EditCameraParaDlg(QWidget* parent, Calibration& calibration);
  void ShowParameters();

 protected:
  void OnCommand(int id) override;
  bool CanClose() override;

 private:
  Calibration& calibration_;
};
