#pragma once

// The calibration window and the document-files dialog on a document of the program: its image
// sequences are the cameras, their frames and image dialogs come from the sequences and their
// views. The commands "Calibration..." and "Document Files" run them.

#include <memory>

#include "calibration/ui/calibhost.h"

class AbortGadget;
class QMainWindow;
class Resource;

class ResourceCalibrationHost : public CalibrationHost {
 public:
  explicit ResourceCalibrationHost(Resource& document);
  ~ResourceCalibrationHost() override;

  int CameraCount() const override;
  Calibration& Camera(int number) override;
  std::string SequenceFile(int number) const override;
  bool LoadCalibrationFrame(int number, QWidget* parent) override;
  QImage Picture(int number) override;
  void RebuildPicture(int number) override;
  void OpenFilterDialog(int number, QWidget* parent) override;
  void OpenGammaDialog(int number, QWidget* parent) override;
  void SetScale(int number, float units, float aspect) override;
  bool HasMultipleCalibrated() const override;
  void GetDivergence3D(double& mean, double& deviation) const override;
  int FirstIncompleteCalibration() const override;
  std::string DocumentFile() const override;
  void SetDocumentFile(const std::string& path) override;
  bool WriteDocumentFile() override;
  std::string Description() const override;
  void SetDescription(const std::string& text) override;
  bool AddFurtherSequence(const std::string& path) override;
  void BeginAbortable(QToolBar* toolbar, QWidget* window) override;
  bool PollAbort() override;
  void EndAbortable() override;

 private:
  template <class Dialog>
  void OpenImageDialog(int number, QWidget* parent);

  Resource& document_;
  std::unique_ptr<AbortGadget> abort_;
};

// The display copy of a camera's calibration frame, made anew from the loaded frame with the
// colour correction and the filter of the display copy (kept when it exists already).
void PrepareCalibrationImage(Calibration& c);

// "Calibration...": the calibration window in place of the main window until the user leaves
// it (after the files dialog when a camera's files are incomplete); then the changed
// calibrations and the document file are written and the document's world points recomputed
// over all frames.
void CmCalibration(Resource& document, QMainWindow* main);
// "Document Files": the files dialog at the active camera; then the world points anew.
void CmDocumentFiles(Resource& document, QWidget* parent);
// Mode 1 of the files dialog for a new document; true when it ended with OK.
bool RunNewDocumentFiles(Resource& document, QWidget* parent);
