#pragma once

// ScaleDialog: linear sizing of an uncalibrated single camera. It shows the distance of the two
// sizing points in pixels and as a length, takes the real length of that distance (which sets
// the linear scale) and the relation of a pixel's width to its height.

#include <optional>

#include "calibration/ui/calibpanel.h"

class ScaleDialog : public CalibPanel {
  Q_OBJECT
 public:
  static constexpr int kId = 20645;
  ScaleDialog(CalibrationWindow& window, QWidget* parent);

  void UpdateValues() override;
  // Keeps the linear scale and sets the X-to-Y relation.
  void SetScale(double relation);
  // The length edit lost the focus: the linear scale from the entered length.
  void LengthEntered();

 protected:
  void OnCommand(int id) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ApplyCustomRelation();
  // The number typed into edit id; none when it was refused.
  std::optional<double> Take(int id);
};
