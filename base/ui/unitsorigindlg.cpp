#include "base/ui/unitsorigindlg.h"

#include <QCheckBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

namespace {

using platform::ControlKind;
constexpr int kFirstSpace = 20151;  // "mm" .. "Miles": space units 0..6
constexpr int kPixel = 20158;
constexpr int kFirstTime = 20159;    // "ms" .. "Frames": time units 9..12
constexpr int kFirstAngle = 20163;   // "Grade", "Radian Measure": 13, 14
constexpr int kFirstCorner = 20170;  // + 5 * corner
constexpr int kHelpContext = 35014;

const platform::ControlSpec kControls[] = {
    {0, ControlKind::kGroupBox, "Space", 0, 0, 9, 1},
    {20151, ControlKind::kRadioButton, "mm", 1, 0, 1, 1, 1},
    {20152, ControlKind::kRadioButton, "cm ", 2, 0, 1, 1, 1},
    {20153, ControlKind::kRadioButton, "m", 3, 0, 1, 1, 1},
    {20154, ControlKind::kRadioButton, "km", 4, 0, 1, 1, 1},
    {20155, ControlKind::kRadioButton, "Inch", 5, 0, 1, 1, 1},
    {20156, ControlKind::kRadioButton, "Feet", 6, 0, 1, 1, 1},
    {20157, ControlKind::kRadioButton, "Miles", 7, 0, 1, 1, 1},
    {kPixel, ControlKind::kCheckBox, "&Pixel *", 8, 0},
    {0, ControlKind::kGroupBox, "Time", 0, 1, 5, 1},
    {20159, ControlKind::kRadioButton, "ms", 1, 1, 1, 1, 2},
    {20160, ControlKind::kRadioButton, "s", 2, 1, 1, 1, 2},
    {20161, ControlKind::kRadioButton, "h", 3, 1, 1, 1, 2},
    {20162, ControlKind::kRadioButton, "Frames", 4, 1, 1, 1, 2},
    {0, ControlKind::kGroupBox, "Angle", 5, 1, 3, 1},
    {20163, ControlKind::kRadioButton, "Grade", 6, 1, 1, 1, 3},
    {20164, ControlKind::kRadioButton, "Radian Measure", 7, 1, 1, 1, 3},
    {0, ControlKind::kGroupBox, "Origin", 0, 2, 3, 2},
    {20170, ControlKind::kPushButton, "", 1, 2},
    {20175, ControlKind::kPushButton, "", 1, 3},
    {20180, ControlKind::kPushButton, "", 2, 2},
    {20185, ControlKind::kPushButton, "", 2, 3},
    {0, ControlKind::kLabel, "* in frame sequence windows", 9, 0, 1, 4},
    {1, ControlKind::kDefPushButton, "OK"},
    {2, ControlKind::kPushButton, "Cancel"},
    {platform::kIdHelp, ControlKind::kPushButton, "Help"},
};

// A frame with a dot in the corner where coordinates start.
QIcon CornerIcon(int corner) {
  QPixmap pixmap(24, 24);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setPen(QPen(Qt::black, 1));
  p.drawRect(3, 3, 17, 17);
  p.setBrush(Qt::red);
  p.setPen(Qt::NoPen);
  int x = (corner == kOriginRightTop || corner == kOriginRightBottom) ? 15 : 1;
  int y = (corner == kOriginLeftBottom || corner == kOriginRightBottom) ? 15 : 1;
  p.drawEllipse(x, y, 8, 8);
  return QIcon(pixmap);
}

}  // namespace

UnitsOriginDlg::UnitsOriginDlg(QWidget* parent, UnitsOrigin& target)
    : TableDialog(parent, "Origin and Units of Coordinates", kControls),
      target_(target),
      copy_(target) {
  SetHelpContext(kHelpContext);
  for (int u = unit::kMm; u <= unit::kMiles; ++u) {
    auto* radio = ControlAs<QRadioButton>(kFirstSpace + u);
    radio->setChecked(copy_.spaceUnit == u);
    connect(radio, &QRadioButton::clicked, this, [this, u] { SetSpaceUnit(u); });
  }
  auto* pixel = ControlAs<QCheckBox>(kPixel);
  pixel->setChecked(copy_.imageViewUnit == unit::kPixel);
  connect(pixel, &QCheckBox::toggled, this, &UnitsOriginDlg::SetPixel);
  for (int u = unit::kMs; u <= unit::kFrames; ++u) {
    auto* radio = ControlAs<QRadioButton>(kFirstTime + u - unit::kMs);
    radio->setChecked(copy_.timeUnit == u);
    connect(radio, &QRadioButton::clicked, this, [this, u] { copy_.timeUnit = u; });
  }
  for (int u = unit::kDegree; u <= unit::kRadian; ++u) {
    auto* radio = ControlAs<QRadioButton>(kFirstAngle + u - unit::kDegree);
    radio->setChecked(copy_.angleUnit == u);
    connect(radio, &QRadioButton::clicked, this, [this, u] { copy_.angleUnit = u; });
  }
  for (int corner = 0; corner < 4; ++corner) {
    auto* button = ControlAs<QPushButton>(kFirstCorner + 5 * corner);
    button->setIcon(CornerIcon(corner));
    button->setCheckable(true);
    button->setAutoDefault(false);
    button->setChecked(copy_.origin == corner);
    connect(button, &QPushButton::clicked, this, [this, corner] { SetCorner(corner); });
  }
}

void UnitsOriginDlg::SetSpaceUnit(int u) {
  copy_.spaceUnit = u;
  if (copy_.imageViewUnit != unit::kPixel) copy_.imageViewUnit = u;
}

void UnitsOriginDlg::SetPixel(bool on) {
  copy_.imageViewUnit = on ? unit::kPixel : copy_.spaceUnit;
}

void UnitsOriginDlg::SetCorner(int corner) {
  copy_.origin = corner;
  for (int c = 0; c < 4; ++c) ControlAs<QPushButton>(kFirstCorner + 5 * c)->setChecked(c == corner);
}

bool UnitsOriginDlg::CanClose() {
  target_ = copy_;
  return true;
}
