#pragma once

// A document of cameras for the calibration window's tests: plain calibrations with a synthetic
// picture each (grey, with a bright disc at every model point the camera sees), no image
// sequences behind them.

#include <QImage>
#include <QPainter>

#include <deque>
#include <string>
#include <vector>

#include "calibration/calibrat.h"
#include "calibration/ui/calibhost.h"

class TestCalibrationHost : public CalibrationHost {
 public:
  explicit TestCalibrationHost(int cameras, int width = 320, int height = 240) {
    for (int i = 0; i < cameras; ++i) {
      cameras_.emplace_back();
      cameras_.back().SetImageSize(1.0, 1.0, width, height);
      files_.push_back("/data/cam" + std::to_string(i + 1) + ".bld");
    }
  }

  int CameraCount() const override { return static_cast<int>(cameras_.size()); }
  Calibration& Camera(int number) override { return cameras_[number - 1]; }
  std::string SequenceFile(int number) const override { return files_[number - 1]; }
  bool LoadCalibrationFrame(int number, QWidget*) override {
    ++loads;
    return frameLoads && Camera(number).Has(kFlagCalibrationImage);
  }
  QImage Picture(int number) override {
    const Calibration& c = cameras_[number - 1];
    QImage image(static_cast<int>(c.imageWidth), static_cast<int>(c.imageHeight),
                 QImage::Format_RGB32);
    image.fill(QColor(70, 70, 70));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 230, 230));
    for (const auto& mark : marks) p.drawEllipse(QPointF(mark.first, mark.second), 3, 3);
    return image;
  }
  void RebuildPicture(int) override { ++rebuilds; }
  void OpenFilterDialog(int, QWidget*) override { ++filterRuns; }
  void OpenGammaDialog(int, QWidget*) override {}
  void SetScale(int number, float units, float aspect) override {
    Calibration& c = Camera(number);
    c.SetImageSize(units, aspect, static_cast<int>(c.imageWidth),
                   static_cast<int>(c.imageHeight));
  }
  bool HasMultipleCalibrated() const override {
    int n = 0;
    for (const Calibration& c : cameras_) n += c.IsCalibrated();
    return n > 1;
  }
  void GetDivergence3D(double& mean, double& deviation) const override {
    mean = divergence3d;
    deviation = 0;
  }
  int FirstIncompleteCalibration() const override {
    if (cameras_.size() < 2) return 0;
    for (std::size_t i = 0; i < cameras_.size(); ++i)
      if (!cameras_[i].IsReady()) return static_cast<int>(i) + 1;
    return 0;
  }
  std::string DocumentFile() const override { return document; }
  void SetDocumentFile(const std::string& path) override { document = path; }
  bool WriteDocumentFile() override {
    writtenDocuments.push_back(document);
    return true;
  }
  std::string Description() const override { return description; }
  void SetDescription(const std::string& text) override { description = text; }
  bool AddFurtherSequence(const std::string& path) override {
    cameras_.emplace_back();
    files_.push_back(path);
    return true;
  }
  void BeginAbortable(QToolBar*, QWidget*) override { ++abortables; }
  bool PollAbort() override { return ++polls >= abortAfter; }
  void EndAbortable() override {}

  std::deque<Calibration> cameras_;
  std::vector<std::string> files_;
  std::vector<std::pair<double, double>> marks;  // drawn in every picture
  bool frameLoads = true;
  int loads = 0, filterRuns = 0, rebuilds = 0, abortables = 0, polls = 0, abortAfter = 1000000;
  std::vector<std::string> writtenDocuments;  // the names the document file was written under
  double divergence3d = 0;
  std::string document = "/data/doc.rsc", description = "Default-Document";
};
