#include "app/ui/curseqdlg.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "app/resource.h"
#include "objects/ui/bildview.h"
#include "platform/numbers.h"
#include "platform/strings.h"
#include "sequences/framesequence.h"

namespace {

using platform::ControlKind;
constexpr int kCaption = 20371, kFileGroup = 20372, kDescription = 20373, kDate = 20374,
              kSize = 20375, kFrames = 20376, kRate = 20377, kFirstFrame = 20378,
              kTrueColour = 20379, kGrey = 20380, kCalibrated = 20381, kZoom = 20382,
              kUnits = 20383, kAspect = 20384, kNumber = 20385, kCount = 20386;
constexpr int kPrevious = 25540, kNext = 25545;
constexpr int kHelpContext = 35005;

const platform::ControlSpec kControls[] = {
    {kCaption, ControlKind::kLabel, "", 0, 0, 1, 4},
    {kFileGroup, ControlKind::kGroupBox, "Frame Sequence", 1, 0, 13, 4},
    {0, ControlKind::kLabel, "Description:", 2, 0},
    {kDescription, ControlKind::kLabel, "", 2, 1, 1, 3},
    {0, ControlKind::kLabel, "Generated at:", 3, 0},
    {kDate, ControlKind::kLabel, "", 3, 1, 1, 3},
    {0, ControlKind::kLabel, "Size [Pixel]:", 4, 0},
    {kSize, ControlKind::kLabel, "", 4, 1, 1, 3},
    {0, ControlKind::kLabel, "Frames:", 5, 0},
    {kFrames, ControlKind::kLabel, "", 5, 1, 1, 3},
    {0, ControlKind::kLabel, "Scanning Rate [Frames/sec]:", 6, 0},
    {kRate, ControlKind::kLabel, "", 6, 1, 1, 3},
    {0, ControlKind::kLabel, "Firstframe:", 7, 0},
    {kFirstFrame, ControlKind::kLabel, "", 7, 1, 1, 3},
    {kTrueColour, ControlKind::kCheckBox, "True Color", 8, 0},
    {kGrey, ControlKind::kCheckBox, "Only Grey Scale", 8, 1},
    {kCalibrated, ControlKind::kCheckBox, "Calibrated", 8, 2},
    {0, ControlKind::kLabel, "Zoom Factors:", 9, 0},
    {kZoom, ControlKind::kLabel, "", 9, 1, 1, 3},
    {0, ControlKind::kLabel, "Units [cm/Pixel]:", 10, 0},
    {kUnits, ControlKind::kLabel, "", 10, 1, 1, 3},
    {0, ControlKind::kLabel, "Relation X to Y:", 11, 0},
    {kAspect, ControlKind::kLabel, "", 11, 1, 1, 3},
    {kPrevious, ControlKind::kPushButton, "&-", 14, 0},
    {kNumber, ControlKind::kLabel, "", 14, 1},
    {kCount, ControlKind::kLabel, "", 14, 2},
    {kNext, ControlKind::kPushButton, "&+", 14, 3},
    {1, ControlKind::kDefPushButton, "OK"},
    {platform::kIdHelp, ControlKind::kPushButton, "Help"},
};

QString Fixed(double v, int decimals = 6) {
  return QString::fromStdString(platform::FormatFixed(v, decimals));
}

}  // namespace

CurSeqDlg::CurSeqDlg(Resource& document, int number, QWidget* parent)
    : TableDialog(parent, "Current Document", kControls), document_(document), number_(number) {
  SetHelpContext(kHelpContext);
  ControlAs<QLabel>(kCaption)->setText(QString::fromStdString(document.Caption()));
  ControlAs<QLabel>(kCount)->setText(QString::number(document.SequenceCount()));
  for (int id : {kTrueColour, kGrey, kCalibrated}) ControlAs<QCheckBox>(id)->setEnabled(false);
  Show(number);
}

void CurSeqDlg::Show(int number) {
  FrameSequence* s = document_.Sequence(number - 1);
  if (!s) return;
  number_ = number;
  const FS_Data& d = s->fsData;
  ControlAs<QGroupBox>(kFileGroup)->setTitle(QString::fromStdString(s->GetFileName().NameExt()));
  ControlAs<QLabel>(kDescription)->setText(QString::fromStdString(d.sequenceName));
  ControlAs<QLabel>(kDate)->setText(QString::fromStdString(d.date));
  ControlAs<QLabel>(kSize)->setText(QString("%1 * %2").arg(d.width).arg(d.height));
  ControlAs<QLabel>(kFrames)->setText(QString::number(d.frames));
  ControlAs<QLabel>(kRate)->setText(Fixed(d.framesPerSecond));
  ControlAs<QLabel>(kFirstFrame)->setText(Fixed(d.firstFrame));
  ControlAs<QCheckBox>(kTrueColour)->setChecked(d.colours > 256);
  ControlAs<QCheckBox>(kGrey)->setChecked(s->colorTableIsGrey && !s->IsColour());
  ControlAs<QCheckBox>(kCalibrated)->setChecked(s->IsCalibrated());
  double zx = 1.0, zy = 1.0;
  if (auto* view = qobject_cast<BildView*>(s->view.data())) {
    zx = view->ZoomX();
    zy = view->ZoomY();
  }
  ControlAs<QLabel>(kZoom)->setText("X: " + Fixed(zx, 3) + "  Y: " + Fixed(zy, 3));
  ControlAs<QLabel>(kUnits)->setText(Fixed(d.units));
  ControlAs<QLabel>(kAspect)->setText(Fixed(d.aspect));
  ControlAs<QLabel>(kNumber)->setText(QString::number(number));
  ControlAs<QPushButton>(kPrevious)->setEnabled(number >= 2);
  ControlAs<QPushButton>(kNext)->setEnabled(number < document_.SequenceCount());
}

void CurSeqDlg::OnCommand(int id) {
  if (id == kPrevious && number_ > 1) Show(number_ - 1);
  if (id == kNext && number_ < document_.SequenceCount()) Show(number_ + 1);
}
