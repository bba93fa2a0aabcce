#include "app/ui/curseqdlg.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>

#include <tuple>

#include "app/resource.h"
#include "base/buttonrules.h"
#include "base/ui/bitmapbutton.h"
#include "base/ui/bitmaps.h"
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
// Centred at the top of their place, repeating slowly while held.
constexpr unsigned kStepStyle = 0x1021;

// The stepping buttons' pictures on the 16-unit grid: a bevelled face with the sign, sunken
// while pressed, a focus frame while focused, grey while disabled.
void DrawStepButton(QPainter& p, bool plus, int state) {
  const bool pressed = state == bbstate::kPressed, off = state == bbstate::kDisabled;
  p.fillRect(QRectF(0, 0, 16, 16), QColor(0xD4, 0xD0, 0xC8));
  p.setPen(QPen(pressed ? QColor(0x40, 0x40, 0x40) : Qt::white, 1));
  p.drawPolyline(QPolygonF({QPointF(0.5, 15.5), QPointF(0.5, 0.5), QPointF(15.5, 0.5)}));
  p.setPen(QPen(pressed ? Qt::white : QColor(0x40, 0x40, 0x40), 1));
  p.drawPolyline(QPolygonF({QPointF(0.5, 15.5), QPointF(15.5, 15.5), QPointF(15.5, 0.5)}));
  if (state == bbstate::kFocused) {
    p.setPen(QPen(Qt::black, 0.5, Qt::DotLine));
    p.drawRect(QRectF(2.5, 2.5, 11, 11));
  }
  const qreal shift = pressed ? 1 : 0;
  p.setPen(QPen(off ? QColor(0x80, 0x80, 0x80) : Qt::black, 2));
  p.drawLine(QPointF(4.5 + shift, 8 + shift), QPointF(11.5 + shift, 8 + shift));
  if (plus) p.drawLine(QPointF(8 + shift, 4.5 + shift), QPointF(8 + shift, 11.5 + shift));
}

void RegisterStepPictures() {
  if (bitmaps::Has(kPrevious)) return;
  for (int base : {kPrevious, kNext})
    for (int state : {bbstate::kNormal, bbstate::kFocused, bbstate::kPressed, bbstate::kDisabled})
      bitmaps::Register(base + state, [plus = base == kNext, state](QPainter& p, bool) {
        DrawStepButton(p, plus, state);
      });
}

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
    {kPrevious, ControlKind::kPushButton, "&-", 14, 0},  // the stepping buttons repeat
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
  RegisterStepPictures();
  for (auto [id, text, xOffset] : {std::tuple(kPrevious, "&-", 0), std::tuple(kNext, "&+", 21)}) {
    auto* button = new BitmapButton(this, id, kStepStyle, 0, 0, xOffset, 0);
    button->setText(QString::fromLatin1(text));  // the picture shows the sign; Alt+- and Alt++
    connect(button, &BitmapButton::Command, this, [this](int step) { OnCommand(step); });
    ReplaceControl(id, button);
  }
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
  Control(kPrevious)->setEnabled(number >= 2);
  Control(kNext)->setEnabled(number < document_.SequenceCount());
}

void CurSeqDlg::OnCommand(int id) {
  if (id == kPrevious && number_ > 1) Show(number_ - 1);
  if (id == kNext && number_ < document_.SequenceCount()) Show(number_ + 1);
}
