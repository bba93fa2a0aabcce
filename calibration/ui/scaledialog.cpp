#include "calibration/ui/scaledialog.h"

#include <QAbstractButton>
#include <QEvent>
#include <QLineEdit>

#include <optional>

#include "base/ui/decimalfield.h"
#include "base/unitsorigin.h"
#include "calibration/calibrat.h"
#include "calibration/calibvalues.h"
#include "calibration/scalevalues.h"
#include "calibration/ui/calibfilesdlg.h"
#include "calibration/ui/calibhost.h"
#include "calibration/ui/calibrationwindow.h"
#include "calibration/ui/calibview.h"

namespace {

using platform::ControlKind;
using namespace scalevalues;

constexpr int kNormal = 20602, kOptimized = 20603, kGradient = 20604, kLinearSizing = 20605,
              kFiles = 20609;
constexpr int kPixels = 20651, kLengthLabel = 20652, kLength = 20653, kRelationA = 20658,
              kRelationB = 20659;
constexpr float kAnyRate = 1.0f;

// Below the method rows.
const platform::ControlSpec kOwnRows[] = {
    {kFiles, ControlKind::kPushButton, "Calibration &Files", 5, 0, 1, 2},
    {0, ControlKind::kGroupBox, "Distance", 6, 0, 3, 4},
    {0, ControlKind::kLabel, "Pixels:", 7, 0},
    {kPixels, ControlKind::kLabel, "", 7, 1, 1, 3},
    {kLengthLabel, ControlKind::kLabel, "&in mm:", 8, 0},
    {kLength, ControlKind::kEdit, "", 8, 1, 1, 3},
    {0, ControlKind::kGroupBox, "Pixel relation X : Y", 9, 0, 4, 4},
    {kRelation1to1, ControlKind::kRadioButton, "1 : &1", 10, 0, 1, 2, 2},
    {kRelation4to3, ControlKind::kRadioButton, "4 : &3", 10, 2, 1, 2, 2},
    {kRelation16to9, ControlKind::kRadioButton, "16 : &9", 11, 0, 1, 2, 2},
    {kRelationCustom, ControlKind::kRadioButton, "", 12, 0, 1, 1, 2},
    {kRelationA, ControlKind::kEdit, "", 12, 1},
    {0, ControlKind::kLabel, ":", 12, 2},
    {kRelationB, ControlKind::kEdit, "", 12, 3},
};

const std::vector<platform::ControlSpec>& Controls() {
  static const std::vector<platform::ControlSpec> table = WithMethodRows(kOwnRows);
  return table;
}

// How a refusal names the three fields.
constexpr struct {
  int id;
  const char* name;
} kFields[] = {
    {kLength, "in mm"}, {kRelationA, "Pixel relation X"}, {kRelationB, "Pixel relation Y"}};

}  // namespace

ScaleDialog::ScaleDialog(CalibrationWindow& window, QWidget* parent)
    : CalibPanel(window, "Scale", Controls(), parent) {
  ConnectRadios({kNormal, kOptimized, kGradient, kRelation1to1, kRelation4to3, kRelation16to9,
                 kRelationCustom});
  for (const auto& field : kFields) {
    DecimalField::Govern(ControlAs<QLineEdit>(field.id), field.name);
    Control(field.id)->installEventFilter(this);
  }
}

std::optional<double> ScaleDialog::Take(int id) {
  return DecimalField::Of(ControlAs<QLineEdit>(id))->Take();
}

void ScaleDialog::UpdateValues() {
  Calibration* c = OnShow();
  if (!c) return;
  Check(kLinearSizing, true);
  for (int id : {kNormal, kOptimized, kGradient}) Enable(id, c->IsReady());
  SetText(kRelationB, "1");
  SetText(kRelationA, Format("%.3lf", c->aspect));
  Check(RelationButton(c->aspect), true);
  const double d = PixelDistance(c->sizingPoint1, c->sizingPoint2, c->aspect);
  SetText(kPixels, Format("%.4lf", d));
  const float length =
      g_UnitsOrigin.ToUnit(static_cast<float>(LengthOf(d, c->lengthScale)), -1, kAnyRate);
  SetText(kLength, Format("%f", length));
}

void ScaleDialog::SetScale(double relation) {
  Calibration* c = OnShow();
  if (!c) return;
  window_.Host().SetScale(number_, static_cast<float>(c->lengthScale),
                          static_cast<float>(relation));
  UpdateValues();
}

void ScaleDialog::LengthEntered() {
  Calibration* c = OnShow();
  if (!c) return;
  const std::optional<double> entered = Take(kLength);
  if (!entered) return;
  const double mm = g_UnitsOrigin.FromUnit(static_cast<float>(*entered), -1, kAnyRate);
  const double d = PixelDistance(c->sizingPoint1, c->sizingPoint2, c->aspect);
  window_.Host().SetScale(number_, static_cast<float>(ScaleFromLength(mm, d)),
                          static_cast<float>(c->aspect));
}

void ScaleDialog::ApplyCustomRelation() {
  Calibration* c = OnShow();
  if (!c) return;
  const std::optional<double> a = Take(kRelationA);
  const std::optional<double> b = a ? Take(kRelationB) : std::nullopt;
  if (!b) return;  // refused: the relation stays
  SetScale(CustomRelation(*a, *b, c->aspect));
}

bool ScaleDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut) {
    if (watched == Control(kLength)) {
      LengthEntered();
    } else if (auto* custom = ControlAs<QAbstractButton>(kRelationCustom);
               custom && custom->isChecked()) {
      // Leaving a relation field applies it while the custom relation is chosen.
      ApplyCustomRelation();
    }
  }
  return CalibPanel::eventFilter(watched, event);
}

void ScaleDialog::OnCommand(int id) {
  Calibration* c = OnShow();
  if (!c) return;
  switch (id) {
    case kNormal:
    case kOptimized:
    case kGradient:
      if (!c->IsReady()) return;
      ApplyMethod(*c, id);
      window_.SetLayout(CalibrationWindow::kCalibLayout);
      return;
    case kFiles:
      CalibFilesDlg(this, window_.Host(), number_, CalibFilesDlg::kPlainMode).Execute();
      window_.View()->SetCalibrationFrame(number_);
      UpdateValues();
      window_.View()->viewport()->update();
      return;
    case kRelation1to1:
      SetScale(1.0);
      return;
    case kRelation4to3:
      SetScale(1.33333);
      return;
    case kRelation16to9:
      SetScale(1.77778);
      return;
    case kRelationCustom:
      ApplyCustomRelation();
      return;
    default:
      return;
  }
}
