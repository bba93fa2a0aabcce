#include "sequences/ui/playercontrols.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QRegularExpressionValidator>
#include <QToolBar>
#include <QToolButton>

#include "base/app_ids.h"
#include "base/ui/bitmaps.h"
#include "base/ui/gadgets.h"
#include "platform/events.h"

FrameScrollBar::FrameScrollBar(QWidget* parent, int id, int width, int height)
    : QScrollBar(Qt::Horizontal, parent) {
  setObjectName(QString::number(id));
  setFixedSize(width, height);
  setRange(0, 0);
  connect(this, &QAbstractSlider::actionTriggered, this, &FrameScrollBar::Action);
}

void FrameScrollBar::Action(int) {
  // The slider has already moved its position for the action and clamped it to the range.
  int position = sliderPosition();
  if (position == value()) return;
  setValue(position);
  if (target_) platform::SendMessage(target_(), ids::kMsgGoToFrame, position);
}

FrameEdit::FrameEdit(QWidget* parent, int id, const QString& text, int width, int height,
                     int textLimit)
    : QLineEdit(text, parent) {
  setObjectName(QString::number(id));
  setFixedSize(width, height);
  setMaxLength(textLimit);
  setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), this));
}

AbortGadget::AbortGadget(QToolBar* toolbar, QWidget* mainWindow)
    : QObject(toolbar), toolbar_(toolbar), mainWindow_(mainWindow) {
  auto* action = new QAction(bitmaps::Icon(cmd::kAbortBitmap), QString(), this);
  action->setData(cmd::kCancel);
  button_ = new TFlatButtonGadget(action, toolbar);
  button_->setObjectName(QString::number(cmd::kCancel));
  action_ = toolbar->addWidget(button_);
  connect(button_, &QToolButton::pressed, this, [this] { pressed_ = true; });
  connect(button_, &QToolButton::released, this, [this] { pressed_ = false; });
  connect(button_, &QToolButton::clicked, this, &AbortGadget::Abort);
}

AbortGadget::~AbortGadget() {
  if (toolbar_ && action_) toolbar_->removeAction(action_);
}

void AbortGadget::Abort() {
  aborted_ = true;
  button_->setDown(true);
}

bool AbortGadget::PumpMessages() {
  qApp->installEventFilter(this);
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  qApp->removeEventFilter(this);
  return aborted_;
}

namespace {

bool IsEscape(const QEvent* event) {
  return static_cast<const QKeyEvent*>(event)->key() == Qt::Key_Escape;
}

}  // namespace

bool AbortGadget::eventFilter(QObject* watched, QEvent* event) {
  // A window's input first reaches its top-level QWindow, which hands it on to the widget under
  // the mouse or with the focus: only the widget decides, so the window always passes.
  if (watched->isWindowType()) return false;
  switch (event->type()) {
    case QEvent::ShortcutOverride:
      // Keys are offered to the shortcuts before they arrive as presses: Esc (a menu shortcut)
      // would never be seen. Accepting the override keeps every shortcut from firing.
      if (!aborted_ && IsEscape(event)) Abort();
      event->accept();
      return true;
    case QEvent::KeyPress:
      if (!aborted_ && IsEscape(event)) Abort();
      return true;
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
      return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu: {
      auto* widget = qobject_cast<QWidget*>(watched);
      bool onToolbar = widget && (widget == toolbar_ || toolbar_->isAncestorOf(widget));
      if (!onToolbar) return true;
      if (aborted_ || pressed_) return false;
      bool onButton = widget && (widget == button_ || button_->isAncestorOf(widget));
      return !onButton;
    }
    case QEvent::Close:
      if (watched != mainWindow_) return false;
      event->ignore();  // a swallowed close would count as accepted and close the window
      return true;
    default:
      return false;
  }
}
