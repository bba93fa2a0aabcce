#pragma once

// CalibDialog: calibrates the camera on show. It chooses the method (normal, optimised, with the
// gradient search on sx, or linear sizing for a single camera), switches the picture between
// moving the model frame and setting points, opens the calibration files, runs the calibration
// and shows its result with indicators of whether the divergence stays within half a pixel.

#include "calibration/ui/calibpanel.h"

class QLabel;

class CalibDialog : public CalibPanel {
  Q_OBJECT
 public:
  static constexpr int kId = 20600;
  CalibDialog(CalibrationWindow& window, QWidget* parent);

  void UpdateValues() override;
  void CmCalibrate();
  // Which indicator of each pair is on show: 25601 or 25604, 25602 or 25605.
  int Indicator2D() const;
  int Indicator3D() const;

 protected:
  void OnCommand(int id) override;

 private:
  void ShowCalibrationError(int id);
  void Refresh();
  QWidget* indicators_[4] = {};  // 25601, 25604, 25602, 25605
};
