#include "objects/ui/connectdlg.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include "base/document.h"
#include "base/profile.h"
#include "base/profile_keys.h"
#include "base/ui/colorbox.h"
#include "objects/resobjseq.h"
#include "objects/ui/bandoverlay.h"
#include "objects/ui/bildview.h"

namespace {

using platform::ControlKind;

constexpr int kAngleGroup = 20471, kConnectionGroup = 20472, kColour = 20473,
              kDeleteConnection = 20474, kLength2D = 20475, kLength3D = 20476, kFirstSwatch = 20477,
              kAngle2D = 20481, kAngle3D = 20482, kDeleteAngle = 20483, kSwitch = 20484,
              kCreate = 20485, kName = 20486;
constexpr int kSwatchSide = 14;

const platform::ControlSpec kControls[] = {
    {kConnectionGroup, ControlKind::kGroupBox, "Connection", 2, 0, 4, 4},
    {kColour, ControlKind::kPushButton, "", 3, 0},
    {kDeleteConnection, ControlKind::kPushButton, "Delete", 3, 1, 1, 2},
    {0, ControlKind::kLabel, "2D:", 4, 0},
    {kLength2D, ControlKind::kLabel, "", 4, 1, 1, 3},
    {0, ControlKind::kLabel, "3D:", 5, 0},
    {kLength3D, ControlKind::kLabel, "", 5, 1, 1, 3},
    {kAngleGroup, ControlKind::kGroupBox, "Angle", 6, 0, 6, 4},
    {kFirstSwatch, ControlKind::kLabel, "", 7, 0},
    {kFirstSwatch + 1, ControlKind::kLabel, "", 7, 1},
    {kFirstSwatch + 2, ControlKind::kLabel, "", 7, 2},
    {kFirstSwatch + 3, ControlKind::kLabel, "", 7, 3},
    {0, ControlKind::kLabel, "2D:", 8, 0},
    {kAngle2D, ControlKind::kLabel, "", 8, 1, 1, 3},
    {0, ControlKind::kLabel, "3D:", 9, 0},
    {kAngle3D, ControlKind::kLabel, "", 9, 1, 1, 3},
    {0, ControlKind::kLabel, "&Name:", 10, 0},
    {kName, ControlKind::kEdit, "", 10, 1, 1, 3},
    // Create and Delete share their place: a proposed angle shows one, a kept angle the other.
    {kCreate, ControlKind::kPushButton, "Create", 11, 0, 1, 2},
    {kDeleteAngle, ControlKind::kPushButton, "Delete", 11, 0, 1, 2},
    {kSwitch, ControlKind::kPushButton, "Switch", 11, 2, 1, 2},
};

QColor ToQColor(ColorValue c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }

QPixmap Swatch(const ResObjectSequence* s) {
  QPixmap pixmap(kSwatchSide, kSwatchSide);
  pixmap.fill(s ? ToQColor(s->color) : QColor(192, 192, 192));
  QPainter p(&pixmap);
  p.setPen(Qt::black);
  p.drawRect(0, 0, kSwatchSide - 1, kSwatchSide - 1);
  return pixmap;
}

}  // namespace

ConnectDlg::ConnectDlg(Document& doc, QWidget* parent)
    : ObjectPanelBase(doc, parent, "Connections", kControls, panel::kConnectionsPage), logic_(doc) {
  std::string text;
  if (g_Profile && g_Profile->GetString(key::kSection, connect::kColorKey, text, 64, ""))
    logic_.SetCurrentColor(connect::ParseColor(text));
  colour_ = static_cast<ColorBox*>(ReplaceControl(kColour, new ColorBox(this, kColour)));
  connect(colour_, &QAbstractButton::clicked, this, [this] { OnPanelCommand(kColour); });
  Control(kName)->installEventFilter(this);
  UpdateReadouts();
}

ConnectDlg::~ConnectDlg() = default;

double ConnectDlg::Zoom() const {
  BildView* view = ActiveBildView(Doc());
  return view ? (view->ZoomX() + view->ZoomY()) * 0.5 : 1.0;
}

void ConnectDlg::DrawBand() {
  float start[2];
  BildView* view = ActiveBildView(Doc());
  if (!logic_.Dragging() || !view || !logic_.BandStart(start)) {
    if (band_) band_->Clear();
    return;
  }
  if (!band_) band_ = new BandOverlay(view);
  band_->ShowLine(start[0], start[1], logic_.BandEnd()[0], logic_.BandEnd()[1]);
}

void ConnectDlg::EndCapture() {
  if (band_) band_->Clear();
  if (BildView* view = ActiveBildView(Doc())) {
    view->viewport()->releaseMouse();
    view->viewport()->unsetCursor();
  }
}

bool ConnectDlg::BeginAtCurrentObject() {
  if (!logic_.BeginAtCurrentObject()) return false;
  if (BildView* view = ActiveBildView(Doc())) view->viewport()->grabMouse(Qt::CrossCursor);
  DrawBand();
  UpdateReadouts();
  return true;
}

void ConnectDlg::MouseDown(float x, float y) {
  if (logic_.Dragging()) return;
  logic_.MouseDown(x, y, Zoom(), isVisible());
  UpdateReadouts();
}

void ConnectDlg::MouseMove(float x, float y) {
  logic_.MouseMove(x, y, Zoom());
  DrawBand();
  UpdateReadouts();
}

void ConnectDlg::MouseUp() {
  if (!logic_.MouseUp()) return;
  EndCapture();
  UpdateReadouts();
}

bool ConnectDlg::CancelDrag() {
  if (!logic_.CancelDrag()) return false;
  EndCapture();
  UpdateReadouts();
  return true;
}

void ConnectDlg::UpdateReadouts() {
  const connect::Readouts r = logic_.UpdateReadouts();
  auto label = [this](int id, const std::string& text) {
    ControlAs<QLabel>(id)->setText(QString::fromStdString(text));
  };
  label(kAngle2D, r.angle2D);
  label(kAngle3D, r.angle3D);
  label(kLength2D, r.length2D);
  label(kLength3D, r.length3D);
  auto* name = ControlAs<QLineEdit>(kName);
  if (!name->hasFocus()) name->setText(QString::fromStdString(r.name));
  name->setEnabled(r.hasAngle);
  Control(kSwitch)->setVisible(r.hasAngle);
  Control(kDeleteAngle)->setVisible(r.hasAngle && r.confirmed);
  Control(kCreate)->setVisible(r.hasAngle && !r.confirmed);
  Control(kDeleteConnection)->setEnabled(r.canDeleteConnection);
  for (int i = 0; i < 4; ++i) ControlAs<QLabel>(kFirstSwatch + i)->setPixmap(Swatch(r.swatches[i]));
  colour_->SetColorValue(ToQColor(logic_.CurrentColor()));
}

void ConnectDlg::OnPanelCommand(int id) {
  switch (id) {
    case kCreate:
      logic_.CreateAngle();
      break;
    case kDeleteAngle:
      logic_.DeleteAngle();
      break;
    case kSwitch:
      logic_.SwitchAngle();
      break;
    case kDeleteConnection:
      logic_.DeleteConnection();
      break;
    case kColour:
      if (colour_->SetColor(this)) {
        const QColor c = colour_->Color();
        logic_.SetColor(Rgb(c.red(), c.green(), c.blue()));
        if (g_Profile)
          g_Profile->WriteString(key::kSection, connect::kColorKey,
                                 connect::ColorText(logic_.CurrentColor()));
      }
      break;
    case panel::kClosePage:
      if (logic_.Dragging()) EndCapture();
      logic_.Reset();
      break;
    default:
      return;
  }
  UpdateReadouts();
  FocusView();
}

bool ConnectDlg::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut && watched == Control(kName))
    logic_.RenameAngle(ControlAs<QLineEdit>(kName)->text().toStdString());
  return ObjectPanelBase::eventFilter(watched, event);
}
