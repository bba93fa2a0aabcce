#include "calibration/ui/calibdialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>

#include "base/messages.h"
#include "base/ui/bitmaps.h"
#include "calibration/calibrat.h"
#include "calibration/calibvalues.h"
#include "calibration/sxsearch.h"
#include "calibration/ui/calibfilesdlg.h"
#include "calibration/ui/calibhost.h"
#include "calibration/ui/calibrationwindow.h"
#include "calibration/ui/calibview.h"

namespace {

using platform::ControlKind;

constexpr int kCalibrate = 20601, kNormal = 20602, kOptimized = 20603, kGradient = 20604,
              kLinearSizing = 20605, kModel = 20606, kPoints = 20607, kFiles = 20609,
              kOriginal = 20633;
constexpr int kCx = 20628, kCy = 20630, kSx = 20632, kF = 20624, kKappa = 20626;
constexpr int kT[3] = {20612, 20614, 20616}, kR[3] = {20618, 20620, 20622};
constexpr int kMean2d = 20639, kDev2d = 20640, kMean3d = 20641, kDev3d = 20642;
constexpr int kWithin2d = 25601, kWithin3d = 25602, kOver2d = 25604, kOver3d = 25605;
constexpr int kErrorTitle = 120;
constexpr int kFilesOk = 1;

// Below the method rows.
const platform::ControlSpec kOwnRows[] = {
    {0, ControlKind::kGroupBox, "Edit", 5, 0, 2, 4},
    {kModel, ControlKind::kRadioButton, "Calibration &Model", 6, 0, 1, 2, 2},
    {kPoints, ControlKind::kRadioButton, "Calibration &Points", 6, 2, 1, 2, 2},
    {kFiles, ControlKind::kPushButton, "Calibration &Files ...", 7, 0, 1, 2},
    {kCalibrate, ControlKind::kPushButton, "&Calibrate", 7, 2, 1, 2},
    {0, ControlKind::kGroupBox, "Camera", 8, 0, 4, 4},
    {0, ControlKind::kLabel, "Cx:", 9, 0},
    {kCx, ControlKind::kLabel, "", 9, 1},
    {0, ControlKind::kLabel, "Cy:", 10, 0},
    {kCy, ControlKind::kLabel, "", 10, 1},
    {0, ControlKind::kLabel, "sx:", 11, 0},
    {kSx, ControlKind::kLabel, "", 11, 1},
    {kOriginal, ControlKind::kPushButton, "O&riginal", 11, 2, 1, 2},
    {0, ControlKind::kGroupBox, "Result", 12, 0, 6, 4},
    {0, ControlKind::kLabel, "f:", 13, 0},
    {kF, ControlKind::kLabel, "", 13, 1},
    {0, ControlKind::kLabel, "kappa1:", 13, 2},
    {kKappa, ControlKind::kLabel, "", 13, 3},
    {0, ControlKind::kLabel, "Tx:", 14, 0},
    {kT[0], ControlKind::kLabel, "", 14, 1},
    {0, ControlKind::kLabel, "Rx:", 14, 2},
    {kR[0], ControlKind::kLabel, "", 14, 3},
    {0, ControlKind::kLabel, "Ty:", 15, 0},
    {kT[1], ControlKind::kLabel, "", 15, 1},
    {0, ControlKind::kLabel, "Ry:", 15, 2},
    {kR[1], ControlKind::kLabel, "", 15, 3},
    {0, ControlKind::kLabel, "Tz:", 16, 0},
    {kT[2], ControlKind::kLabel, "", 16, 1},
    {0, ControlKind::kLabel, "Rz:", 16, 2},
    {kR[2], ControlKind::kLabel, "", 16, 3},
    {0, ControlKind::kGroupBox, "Divergence (mean, deviation)", 18, 0, 3, 4},
    {0, ControlKind::kLabel, "2D:", 19, 0},
    {kMean2d, ControlKind::kLabel, "", 19, 1},
    {kDev2d, ControlKind::kLabel, "", 19, 2},
    {kWithin2d, ControlKind::kPicture, "", 19, 3},
    {0, ControlKind::kLabel, "3D:", 20, 0},
    {kMean3d, ControlKind::kLabel, "", 20, 1},
    {kDev3d, ControlKind::kLabel, "", 20, 2},
    {kWithin3d, ControlKind::kPicture, "", 20, 3},
};

// Two indicators on one place, one of them shown.
QWidget* IndicatorPair(int within, int over, QWidget* out[2]) {
  auto* box = new QWidget;
  auto* layout = new QHBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  for (int i = 0; i < 2; ++i) {
    auto* label = new QLabel(box);
    const int id = i == 0 ? within : over;
    label->setObjectName(QString::number(id));
    label->setPixmap(bitmaps::Load(id, 20));
    label->setFixedSize(20, 20);
    layout->addWidget(label);
    out[i] = label;
  }
  return box;
}

const std::vector<platform::ControlSpec>& Controls() {
  static const std::vector<platform::ControlSpec> table = WithMethodRows(kOwnRows);
  return table;
}

}  // namespace

CalibDialog::CalibDialog(CalibrationWindow& window, QWidget* parent)
    : CalibPanel(window, "Calibration", Controls(), parent) {
  ReplaceControl(kWithin2d, IndicatorPair(kWithin2d, kOver2d, indicators_));
  ReplaceControl(kWithin3d, IndicatorPair(kWithin3d, kOver3d, indicators_ + 2));
  ConnectRadios({kNormal, kOptimized, kGradient, kLinearSizing, kModel, kPoints});
}

int CalibDialog::Indicator2D() const { return indicators_[0]->isHidden() ? kOver2d : kWithin2d; }
int CalibDialog::Indicator3D() const { return indicators_[2]->isHidden() ? kOver3d : kWithin3d; }

void CalibDialog::UpdateValues() {
  Calibration* c = OnShow();
  if (!c) return;
  CalibrationHost& host = window_.Host();
  double mean3d = 0, deviation3d = 0;
  const bool multiple = host.HasMultipleCalibrated();
  if (multiple) host.GetDivergence3D(mean3d, deviation3d);
  const CalibDialogValues v = ValuesOf(*c, host.CameraCount(), multiple, mean3d, deviation3d);
  SetText(kCx, v.cx);
  SetText(kCy, v.cy);
  SetText(kSx, v.sx);
  Check(v.method, true);
  Enable(kLinearSizing, v.linearSizingEnabled);
  Check(window_.View()->Mode() == CalibView::kModelMode ? kModel : kPoints, true);
  Enable(kCalibrate, v.calibrateEnabled);
  SetText(kF, v.f);
  SetText(kKappa, v.kappa1);
  for (int i = 0; i < 3; ++i) {
    SetText(kT[i], v.t[i]);
    SetText(kR[i], v.r[i]);
  }
  SetText(kMean2d, v.mean2d);
  SetText(kDev2d, v.deviation2d);
  SetText(kMean3d, v.mean3d);
  SetText(kDev3d, v.deviation3d);
  indicators_[0]->setVisible(v.within2d);
  indicators_[1]->setVisible(!v.within2d);
  indicators_[2]->setVisible(v.within3d);
  indicators_[3]->setVisible(!v.within3d);
}

void CalibDialog::Refresh() {
  UpdateValues();
  window_.View()->viewport()->repaint();
}

void CalibDialog::ShowCalibrationError(int id) { ErrorMessage(kErrorTitle, id); }

void CalibDialog::CmCalibrate() {
  Calibration* c = OnShow();
  if (!c || !c->CanCalibrate()) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  if (!(c->Has(kFlagFullOptimized) && c->Has(kFlagGradientSearch))) {
    const int error = c->Calibrate();
    QApplication::restoreOverrideCursor();
    if (error != 0) ShowCalibrationError(error);
  } else {
    CalibrationHost& host = window_.Host();
    host.BeginAbortable(window_.Toolbar(), &window_);
    const sxsearch::Outcome outcome = sxsearch::GradientSearch(*c, [&] {
      Refresh();
      return !host.PollAbort();
    });
    host.EndAbortable();
    QApplication::restoreOverrideCursor();
    if (outcome.error != 0) ShowCalibrationError(outcome.error);
  }
  Refresh();
}

void CalibDialog::OnCommand(int id) {
  Calibration* c = OnShow();
  if (!c) return;
  CalibView* view = window_.View();
  switch (id) {
    case kCalibrate:
      CmCalibrate();
      return;
    case kNormal:
    case kOptimized:
    case kGradient:
      ApplyMethod(*c, id);
      UpdateValues();
      return;
    case kLinearSizing:
      if (window_.Host().CameraCount() < 2) {
        c->SetFlag(kFlagLinearSizing, true);
        window_.SetLayout(CalibrationWindow::kScaleLayout);
      }
      UpdateValues();
      return;
    case kModel:
    case kPoints:
      view->SetMode(id == kModel ? CalibView::kModelMode : CalibView::kPointsMode);
      Check(id, true);
      view->viewport()->update();
      return;
    case kFiles:
      if (CalibFilesDlg(this, window_.Host(), number_, CalibFilesDlg::kCalibrationMode).Execute() ==
          kFilesOk) {
        view->SetCalibrationFrame(number_);
        Refresh();
      } else {
        window_.Exit();
      }
      return;
    case kOriginal:
      // The centre and sx the camera file gives (undoing a gradient search); the result stays.
      if (c->Has(kFlagCameraFile)) c->ReadCameraFile(false);
      Refresh();
      return;
    default:
      return;
  }
}
