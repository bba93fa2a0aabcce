#include "analysis/ui/winkelangebendb.h"

#include <QCheckBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QSignalBlocker>

#include "analysis/dreid/dreid_ids.h"
#include "analysis/dreid/dreidscene.h"
#include "analysis/ui/dreidanlwin.h"
#include "analysis/dreid/viewangles.h"
#include "platform/events.h"

namespace {

using platform::ControlKind;
using namespace dreid_ids;

constexpr platform::ControlSpec kControls[] = {
    {0, ControlKind::kLabel, "X:", 0, 0},
    {kEditX, ControlKind::kEdit, "", 0, 1},
    {kScrollX, ControlKind::kScrollBar, "", 1, 0, 1, 2},
    {0, ControlKind::kLabel, "Y:", 2, 0},
    {kEditY, ControlKind::kEdit, "", 2, 1},
    {kScrollY, ControlKind::kScrollBar, "", 3, 0, 1, 2},
    {0, ControlKind::kLabel, "Z:", 4, 0},
    {kEditZ, ControlKind::kEdit, "", 4, 1},
    {kScrollZ, ControlKind::kScrollBar, "", 5, 0, 1, 2},
    {kOriginal, ControlKind::kPushButton, "Original", 6, 0, 1, 2},
    {kSingleFrame, ControlKind::kCheckBox, "Single Frame", 7, 0, 1, 2},
};

constexpr int kEdits[] = {kEditX, kEditY, kEditZ};
constexpr int kScrollBars[] = {kScrollX, kScrollY, kScrollZ};

// The scroll bars reach one step beyond 0..359 on each side, so that they can wrap.
constexpr int kScrollMin = -1, kScrollMax = 360;
constexpr int kScrollPage = 10;
constexpr int kEditFrame = 16;

}  // namespace

WinkelAngebenDB::WinkelAngebenDB(QWidget* parent)
    : platform::TableDialog(parent, QString(), kControls) {
  setWindowFlags(Qt::Widget);
  setObjectName(QString::number(kAngleDialog));
  for (int axis = 1; axis <= 3; ++axis) {
    QLineEdit* edit = Edit(axis);
    edit->setMaxLength(static_cast<int>(ViewAngles::kMaxLength));
    // A narrow panel: four characters and the frame of the edit.
    edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("-0000")) +
                          kEditFrame);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9-]*"), edit));
    edit->installEventFilter(this);
    QScrollBar* bar = ScrollBar(axis);
    bar->setRange(kScrollMin, kScrollMax);
    bar->setSingleStep(1);
    bar->setPageStep(kScrollPage);
    bar->setValue(0);
    connect(bar, &QScrollBar::valueChanged, this,
            [this, axis](int position) { EvHScroll(axis, position); });
  }
  if (auto* box = ControlAs<QCheckBox>(kSingleFrame))
    connect(box, &QCheckBox::clicked, this, [this] { CmSingleFrame(); });
}

QLineEdit* WinkelAngebenDB::Edit(int axis) const { return ControlAs<QLineEdit>(kEdits[axis - 1]); }

QScrollBar* WinkelAngebenDB::ScrollBar(int axis) const {
  return ControlAs<QScrollBar>(kScrollBars[axis - 1]);
}

ViewAngles* WinkelAngebenDB::Angles() const { return window_ ? &window_->AngleStrings() : nullptr; }

void WinkelAngebenDB::SetWindow3D(DreiDAnlWin* window) {
  window_ = window;
  if (auto* box = ControlAs<QCheckBox>(kSingleFrame))
    box->setChecked(!window_ || !window_->Accumulate());
  ShowAngles();
}

void WinkelAngebenDB::ShowAngles() {
  const ViewAngles* angles = Angles();
  if (!angles) return;
  for (int axis = 1; axis <= 3; ++axis) {
    Edit(axis)->setText(QString::fromStdString(angles->Text(axis)));
    const QSignalBlocker quiet(ScrollBar(axis));
    ScrollBar(axis)->setValue(angles->Value(axis));
  }
}

void WinkelAngebenDB::RepaintControls() {
  for (int axis = 1; axis <= 3; ++axis) {
    Edit(axis)->repaint();
    ScrollBar(axis)->repaint();
  }
}

void WinkelAngebenDB::SendRedraw(unsigned flags) const {
  if (window_) platform::SendMessage(window_, kRedrawMessage, static_cast<std::intptr_t>(flags));
}

void WinkelAngebenDB::ApplyEdits() {
  ViewAngles* angles = Angles();
  if (!angles) return;
  for (int axis = 1; axis <= 3; ++axis) angles->SetText(axis, Edit(axis)->text().toStdString());
  angles->Normalize();
  ShowAngles();
  SendRedraw(kRedrawView);
}

void WinkelAngebenDB::EvHScroll(int axis, int position) {
  ViewAngles* angles = Angles();
  if (!angles) return;
  const int wrapped = ViewAngles::WrapScroll(position);
  if (wrapped != position) {
    const QSignalBlocker quiet(ScrollBar(axis));
    ScrollBar(axis)->setValue(wrapped);
  }
  angles->Set(axis, wrapped);
  angles->KeepOneAxis();
  ShowAngles();
  SendRedraw(kRedrawView);
}

bool WinkelAngebenDB::eventFilter(QObject* watched, QEvent* event) {
  const bool focusIn = event->type() == QEvent::FocusIn;
  if (focusIn || event->type() == QEvent::FocusOut) {
    for (int axis = 1; axis <= 3; ++axis) {
      if (watched != Edit(axis)) continue;
      if (focusIn) {
        if (ViewAngles* angles = Angles()) {
          angles->EnterAxis(axis);
          ShowAngles();
        }
      } else {
        ApplyEdits();
      }
    }
  }
  return platform::TableDialog::eventFilter(watched, event);
}

void WinkelAngebenDB::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    ApplyEdits();
    return;
  }
  platform::TableDialog::keyPressEvent(event);
}

void WinkelAngebenDB::CmSingleFrame() {
  auto* box = ControlAs<QCheckBox>(kSingleFrame);
  if (!window_ || !box) return;
  window_->SetAccumulate(!box->isChecked());
  box->setChecked(!window_->Accumulate());
  SendRedraw(kRedrawAll);
}

void WinkelAngebenDB::OnCommand(int id) {
  if (id == kOriginal && window_) platform::SendMessage(window_, kOriginalViewMessage);
}
