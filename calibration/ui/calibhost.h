#pragma once

// CalibrationHost: what the calibration window and the document-files dialog need of the
// document and of the image sequences, which live on the floors above (the frames, their readers
// and image dialogs, the document's list of sequences). The program implements it for a
// document; tests give it a document of their own.
//
// Cameras are numbered from 1 in the document's order.

#include <QImage>

#include <string>

class Calibration;
class QToolBar;
class QWidget;

class CalibrationHost {
 public:
  virtual ~CalibrationHost() = default;

  virtual int CameraCount() const = 0;
  virtual Calibration& Camera(int number) = 0;
  // The camera's own image sequence file (full path).
  virtual std::string SequenceFile(int number) const = 0;

  // Loads the camera's calibration frame unless it is held already and prepares its display
  // copy; false (with the reader's or a resolution message shown) when none can be shown.
  virtual bool LoadCalibrationFrame(int number, QWidget* parent) = 0;
  // The picture to show: the calibration frame's display copy when one is loaded, else the
  // camera's current video frame.
  virtual QImage Picture(int number) = 0;
  // Builds the picture anew from its frame with the current filter and colour correction.
  virtual void RebuildPicture(int number) = 0;
  // The filter and gamma dialogs on that picture, left open beside parent (the view), which owns
  // them and which they ask to rebuild the picture after each change; an open one is brought to
  // the front.
  virtual void OpenFilterDialog(int number, QWidget* parent) = 0;
  virtual void OpenGammaDialog(int number, QWidget* parent) = 0;

  // The camera's linear scale and pixel relation, as its image sequence keeps them.
  virtual void SetScale(int number, float units, float aspect) = 0;

  // More than one camera is calibrated; the divergence of the model points over all pairs.
  virtual bool HasMultipleCalibrated() const = 0;
  virtual void GetDivergence3D(double& mean, double& deviation) const = 0;
  // The first camera without all four calibration files (0: none, or a single camera).
  virtual int FirstIncompleteCalibration() const = 0;

  // Document files: the document's file, description (its window's caption) and object-model
  // file.
  virtual std::string DocumentFile() const = 0;
  virtual void SetDocumentFile(const std::string& path) = 0;
  // Writes the document file under its name; false (the message shown) when it cannot be.
  virtual bool WriteDocumentFile() = 0;
  virtual std::string Description() const = 0;
  virtual void SetDescription(const std::string& text) = 0;
  // Opens path as a further image sequence of the document (with its view); false when it is
  // refused or cannot be opened (the messages are shown).
  virtual bool AddFurtherSequence(const std::string& path) = 0;

  // Long work with an abort button in toolbar, while window stays painted.
  virtual void BeginAbortable(QToolBar* toolbar, QWidget* window) = 0;
  // Lets pending input through; true once the user aborted.
  virtual bool PollAbort() = 0;
  virtual void EndAbortable() = 0;
};
