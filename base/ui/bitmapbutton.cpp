#include "base/ui/bitmapbutton.h"

#include <QMouseEvent>
#include <QPainter>

#include "base/ui/bitmaps.h"

namespace {
constexpr int kDefaultBitmapSize = 24;
}  // namespace

// The repeat timers as Qt timers, keyed by the timer ids the repeat logic uses.
class BitmapButton::Timers : public RepeatTimers {
 public:
  explicit Timers(BitmapButton* owner) : owner_(owner) {}
  void Start(int id, int milliseconds) override {
    auto& timer = timers_[id];
    if (!timer) {
      timer = std::make_unique<QTimer>();
      QObject::connect(timer.get(), &QTimer::timeout, owner_,
                       [this, id] { owner_->repeat_->Timer(id); });
    }
    timer->start(milliseconds);
  }
  void Stop(int id) override {
    auto it = timers_.find(id);
    if (it != timers_.end()) it->second->stop();
  }

 private:
  BitmapButton* owner_;
  std::map<int, std::unique_ptr<QTimer>> timers_;
};

BitmapButton::BitmapButton(QWidget* parent, int id, unsigned style, int x, int y, int xOffset,
                           int yOffset)
    : QAbstractButton(parent), id_(id), style_(style) {
  setObjectName(QString::number(id));
  setFocusPolicy(Qt::StrongFocus);
  if (style & bbs::kRepeatMask) {
    timers_ = std::make_unique<Timers>(this);
    repeat_ = std::make_unique<AutoRepeat>(id, style, *timers_, [this] { emit Command(id_); });
  }
  // The mouse of a repeat button sends through the repeat; the keyboard (Space, a mnemonic)
  // always clicks.
  connect(this, &QAbstractButton::clicked, this, [this] { emit Command(id_); });
  unsigned placement = style & bbs::kPlacementMask;
  if (placement == bbs::kStretch) {
    move(x, y);
    return;
  }
  QPixmap bitmap = bitmaps::Load(id, kDefaultBitmapSize);
  QSize size = bitmap.isNull() ? QSize(kDefaultBitmapSize, kDefaultBitmapSize)
                               : bitmap.deviceIndependentSize().toSize();
  int dx = 0, dy = 0;
  QSize area = parent ? parent->size() : size;
  PlacementOffset(placement, area.width(), area.height(), size.width(), size.height(), dx, dy);
  setGeometry(x + dx + xOffset, y + dy + yOffset, size.width(), size.height());
}

BitmapButton::~BitmapButton() = default;

QSize BitmapButton::sizeHint() const { return size().isValid() ? size() : QSize(24, 24); }

void BitmapButton::paintEvent(QPaintEvent*) {
  int id = BitmapForState(id_, style_, isDown(), hasFocus(), default_, !isEnabled());
  bool stretch = (style_ & bbs::kPlacementMask) == bbs::kStretch;
  int side = stretch ? std::max(width(), height()) : kDefaultBitmapSize;
  QPixmap bitmap = bitmaps::Load(id, side, devicePixelRatioF());
  if (bitmap.isNull()) bitmap = bitmaps::Load(id_, side, devicePixelRatioF());
  if (bitmap.isNull()) return;
  QPainter painter(this);
  if (stretch)
    painter.drawPixmap(rect(), bitmap);
  else
    painter.drawPixmap(QPoint(0, 0), bitmap);
}

void BitmapButton::mousePressEvent(QMouseEvent* event) {
  if (!repeat_ || event->button() != Qt::LeftButton) return QAbstractButton::mousePressEvent(event);
  setFocus(Qt::MouseFocusReason);
  setDown(true);
  repeat_->Press();
}

void BitmapButton::mouseReleaseEvent(QMouseEvent* event) {
  if (!repeat_ || event->button() != Qt::LeftButton)
    return QAbstractButton::mouseReleaseEvent(event);
  repeat_->Release();
  setDown(false);
}

void BitmapButton::mouseDoubleClickEvent(QMouseEvent* event) {
  if (!repeat_ || event->button() != Qt::LeftButton)
    return QAbstractButton::mouseDoubleClickEvent(event);
  repeat_->DoubleClick();
  setDown(true);
}

void BitmapButton::changeEvent(QEvent* event) {
  // A button disabled while held (the last step was reached) gets no release: it lets go now.
  if (event->type() == QEvent::EnabledChange && !isEnabled() && repeat_) {
    repeat_->Release();
    setDown(false);
  }
  QAbstractButton::changeEvent(event);
}

void BitmapButton::mouseMoveEvent(QMouseEvent* event) {
  if (repeat_ && (event->buttons() & Qt::LeftButton)) {
    QPoint p = event->position().toPoint();
    bool inside = p.x() >= 0 && p.x() < width() && p.y() >= 0 && p.y() < height();
    repeat_->Move(inside);
    setDown(inside);
    return;
  }
  QAbstractButton::mouseMoveEvent(event);
}
