#include "objects/ui/bildview.h"

#include <QApplication>
#include <QCursor>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include <cmath>

#include "base/application.h"
#include "base/defaults.h"
#include "base/document.h"
#include "base/messages.h"
#include "base/ui/devcapsdlg.h"
#include "base/unitsorigin.h"
#include "objects/bodymodel.h"
#include "objects/docaccess.h"
#include "objects/objcommands.h"
#include "objects/resobjseq.h"
#include "objects/subobjseq.h"
#include "objects/ui/editobjseqdlg.h"
#include "objects/ui/qtcanvas.h"
#include "objects/ui/trackinghost.h"
#include "objects/ui/viewcaption.h"
#include "platform/events.h"
#include "platform/library.h"
#include "platform/numbers.h"
#include "platform/strings.h"
#include "platform/ui/actions.h"
#include "platform/ui/modeless.h"
#include "sequences/framesequence.h"
#include "sequences/sequences_ids.h"
#include "sequences/ui/dibpaint.h"
#include "sequences/ui/filterdlg.h"
#include "sequences/ui/gammadlg.h"

namespace {
constexpr unsigned kLeftButton = 1, kShift = 4, kControl = 8;
constexpr int kHoldMilliseconds = 300;
constexpr int kEdgeScroll = 2;

// The items of the view's popup menu; 0 a separator, negative ids open and close submenus.
constexpr int kPopup[] = {25101, 25105, 25106, 25108, 25107, 25109, 25112, 25110, 0,
                          -1,    25116, 25117, 25118, 25119, -2,    0,     25010, 25011,
                          -3,    25071, 25072, 25074, 25073, 25075, -2,    0,     25076};

unsigned KeysOf(const QMouseEvent* e) {
  unsigned keys = 0;
  if (e->buttons() & Qt::LeftButton) keys |= kLeftButton;
  if (e->modifiers() & Qt::ShiftModifier) keys |= kShift;
  if (e->modifiers() & Qt::ControlModifier) keys |= kControl;
  return keys;
}
}  // namespace

BildView::BildView(FrameSequence& sequence, QWidget* parent)
    : QAbstractScrollArea(parent),
      PrintWindow(QString::fromStdString(sequence.fileName.Path())),
      sequence_(sequence),
      frame_(&sequence) {
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  viewport()->setMouseTracking(true);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setMinimumSize(16, 16);
  setWindowTitle(QString::fromStdString(sequence.fileName.Path()));
  caption_ = new ViewCaption(windowTitle(), this, [this] { setFocus(Qt::MouseFocusReason); });
  setViewportMargins(0, ViewCaption::HeightFor(*this), 0, 0);
}

BildView::~BildView() { EndDrag(); }

Document* BildView::GetDocument() const { return sequence_.document; }

bool BildView::Minimised() const {
  Document* doc = GetDocument();
  return doc && doc->IsWindowMinimised();
}

int BildView::ScrollX() const { return fit_ ? 0 : horizontalScrollBar()->value(); }
int BildView::ScrollY() const { return fit_ ? 0 : verticalScrollBar()->value(); }

QPointF BildView::ClientToImage(QPointF c) const {
  return {static_cast<float>((c.x() + ScrollX()) / zoomX_),
          static_cast<float>((c.y() + ScrollY()) / zoomY_)};
}

QPoint BildView::ImageToClient(float x, float y) const {
  return {platform::ToPixel(x * zoomX_ - ScrollX()), platform::ToPixel(y * zoomY_ - ScrollY())};
}

bool BildView::ShowFrame(int number) {
  if (!sequence_.FrameReady(number)) {
    WaitForFrame(number);
    return true;
  }
  waitingFor_ = 0;
  waitTimer_.stop();
  const CDIB* dib = sequence_.ReadFrame(number);
  if (!dib) return false;
  if (!hasImage_ || frame_.Image().Width() != dib->Width() ||
      frame_.Image().BitCount() != dib->BitCount())
    frame_.SetupImage();
  hasImage_ = frame_.PrepareImage(dib) != nullptr;
  if (fit_) FitToClient();
  viewport()->update();
  return hasImage_;
}

void BildView::WaitForFrame(int number) {
  // How often a waiting view asks whether its frame has been reached.
  constexpr int kWaitPollMs = 100;
  if (waitingFor_ != number) {
    waitingFor_ = number;
    hasImage_ = false;
    viewport()->update();
  }
  if (!waitTimer_.isActive()) waitTimer_.start(kWaitPollMs, this);
}

void BildView::UpdateImage() {
  if (!hasImage_) return;
  frame_.PrepareImage(&sequence_.FrameBitmap());
  viewport()->update();
}

int BildView::NotifyDocument(int code, std::intptr_t parameter) {
  Document* doc = GetDocument();
  QObject* window = doc ? doc->WindowObject() : nullptr;
  if (!window) return 0;
  return static_cast<int>(platform::SendMessage(window, WM_VIEWNOTIFY, code, parameter));
}

int BildView::NotifyAt(int code, QPointF image) {
  float point[3] = {static_cast<float>(image.x()), static_cast<float>(image.y()), 0};
  return NotifyDocument(code, reinterpret_cast<std::intptr_t>(point));
}

bool BildView::event(QEvent* e) {
  auto* m = platform::AsMessage(e);
  if (!m) return QAbstractScrollArea::event(e);
  if (m->message == WM_VNNOTIFY) {
    switch (m->wParam) {
      case vnShowFrame:
        m->result = ShowFrame(static_cast<int>(m->lParam)) ? 1 : 0;
        return true;
      case vnRepaintFrame:
        if (!hasImage_) ShowFrame(static_cast<int>(m->lParam));
        viewport()->repaint();
        m->result = 1;
        return true;
      case vnPaletteChanged:
        viewport()->update();
        m->result = 1;
        return true;
      default:
        return true;
    }
  }
  if (m->message == view::kUpdateImage) {
    UpdateImage();
    m->result = 1;
    return true;
  }
  // The filter and gamma dialogs send their refresh as a command to the window that opened them.
  if (m->message == seqid::kWmCommand) {
    m->result = DispatchCommand(static_cast<int>(m->wParam)) ? 1 : 0;
    return true;
  }
  return QAbstractScrollArea::event(e);
}

// Painting.

void BildView::PaintFrame(QPainter& painter, const QRect& target) {
  if (!hasImage_) {
    painter.fillRect(target, palette().window());
    return;
  }
  PaintDib(painter, frame_.Image(), target, QRect(0, 0, sequence_.Width(), sequence_.Height()),
           true);
}

void BildView::FollowDocumentFrame() {
  Document* doc = GetDocument();
  const int current = doc ? doc->CurrentFrame() : 1;
  if (!hasImage_ || !sequence_.IsCurrentFrame(current)) ShowFrame(current);
}

QSize BildView::ScreenSize() const {
  return hasImage_ ? QSize(sequence_.Width(), sequence_.Height()) : QSize();
}

void BildView::PaintTo(QPainter& painter, const QRect& target, bool printing) {
  FollowDocumentFrame();
  const int w = sequence_.Width(), h = sequence_.Height();
  if (!hasImage_ || w <= 0 || h <= 0 || target.isEmpty()) {
    if (!printing) painter.fillRect(target, palette().window());
    return;
  }
  QRect visible = target;
  if (!printing && painter.device())
    visible &= QRect(0, 0, painter.device()->width(), painter.device()->height());
  PaintScaled(painter, target.topLeft(), double(target.width()) / w, double(target.height()) / h,
              visible);
}

void BildView::PaintScaled(QPainter& painter, QPoint origin, double zx, double zy,
                           const QRect& visible) {
  const int w = sequence_.Width(), h = sequence_.Height();
  // Only the part of the image under the visible rectangle is scaled.
  const int x0 = std::max(0, static_cast<int>(std::floor((visible.left() - origin.x()) / zx)));
  const int y0 = std::max(0, static_cast<int>(std::floor((visible.top() - origin.y()) / zy)));
  const int x1 = std::min(w, static_cast<int>(std::ceil((visible.right() + 1 - origin.x()) / zx)));
  const int y1 = std::min(h, static_cast<int>(std::ceil((visible.bottom() + 1 - origin.y()) / zy)));
  if (x1 > x0 && y1 > y0) {
    const QRect destination(origin.x() + static_cast<int>(std::lround(x0 * zx)),
                            origin.y() + static_cast<int>(std::lround(y0 * zy)),
                            static_cast<int>(std::lround((x1 - x0) * zx)),
                            static_cast<int>(std::lround((y1 - y0) * zy)));
    PaintDib(painter, frame_.Image(), destination, QRect(x0, y0, x1 - x0, y1 - y0), true);
  }
  Document* doc = GetDocument();
  if (doc && sequence_.subObjectSequences) {
    unsigned options = displayFlags_;
    if (NotifyDocument(DN_CONNECTPANELVISIBLE)) options |= kPaintConnections | kPaintAngles;
    ViewMapping map;
    map.xOrigin = origin.x();
    map.yOrigin = origin.y();
    map.xScale = zx;
    map.yScale = zy;
    QtCanvas canvas(painter);
    sequence_.subObjectSequences->Paint(canvas, map, options);
  }
}

void BildView::paintEvent(QPaintEvent*) {
  FollowDocumentFrame();
  QPainter painter(viewport());
  const QRect client = viewport()->rect();
  const int w = sequence_.Width(), h = sequence_.Height();
  if (!hasImage_ || w <= 0 || h <= 0) {
    painter.fillRect(client, palette().window());
    if (waitingFor_) PaintWaiting(painter, client);
    return;
  }
  if (fit_) {
    PaintTo(painter, client, false);
  } else {
    const int sx = ScrollX(), sy = ScrollY();
    const int shownW = static_cast<int>(w * zoomX_) - sx,
              shownH = static_cast<int>(h * zoomY_) - sy;
    if (shownW < client.width())
      painter.fillRect(QRect(shownW, 0, client.width() - shownW, client.height()),
                       palette().base());
    if (shownH < client.height())
      painter.fillRect(QRect(0, shownH, client.width(), client.height() - shownH),
                       palette().base());
    // Zoom factors need not give whole pixels, so the scroll origin is scaled directly.
    PaintScaled(painter, QPoint(-sx, -sy), zoomX_, zoomY_, client);
  }
  if (hasFocus()) {
    painter.setPen(QPen(palette().highlight().color(), 2));
    painter.drawRect(client.adjusted(1, 1, -1, -1));
  }
}

void BildView::PaintWaiting(QPainter& painter, const QRect& client) {
  painter.setPen(palette().windowText().color());
  painter.drawText(
      client.adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap,
      QString::fromStdString(platform::FormatString(view::kWaitingForFrame, waitingFor_)));
}

// Zoom and scrolling.

void BildView::FitToClient() {
  const int w = sequence_.Width(), h = sequence_.Height();
  if (w <= 0 || h <= 0) return;
  horizontalScrollBar()->setRange(0, 0);
  verticalScrollBar()->setRange(0, 0);
  zoomX_ = double(viewport()->width()) / w;
  zoomY_ = double(viewport()->height()) / h;
}

void BildView::ResetScroller() {
  if (fit_) {
    FitToClient();
    return;
  }
  viewport()->setUpdatesEnabled(false);
  QScrollBar* hb = horizontalScrollBar();
  QScrollBar* vb = verticalScrollBar();
  const double relX = hb->maximum() ? double(hb->value()) / hb->maximum() : 0.5;
  const double relY = vb->maximum() ? double(vb->value()) / vb->maximum() : 0.5;
  const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent) - 1;
  const auto [w, h] =
      view::ScrollRanges(sequence_.Width(), sequence_.Height(), zoomX_, zoomY_, viewport()->width(),
                         viewport()->height(), hb->maximum() != 0, vb->maximum() != 0, bar, bar);
  hb->setRange(0, w);
  vb->setRange(0, h);
  hb->setValue(static_cast<int>(w * relX));
  vb->setValue(static_cast<int>(h * relY));
  hb->setPageStep(std::max(1, viewport()->width() / 2));
  vb->setPageStep(std::max(1, viewport()->height() / 2));
  hb->setSingleStep(zoomX_ < 2 ? 1 : static_cast<int>(zoomX_));
  vb->setSingleStep(zoomY_ < 2 ? 1 : static_cast<int>(zoomY_));
  viewport()->setUpdatesEnabled(true);
}

void BildView::SetZoom(double z) {
  zoomX_ = zoomY_ = z;
  ResetScroller();
  viewport()->update();
}

void BildView::CmZoomIn() {
  double z;
  if (!Minimised() && view::CanZoomIn(fit_, zoomX_, zoomY_) && view::ZoomInStep(zoomX_, zoomY_, z))
    SetZoom(z);
}

void BildView::CmZoomOut() {
  double z;
  if (!Minimised() && view::CanZoomOut(fit_, zoomX_, zoomY_) &&
      view::ZoomOutStep(zoomX_, zoomY_, z))
    SetZoom(z);
}

void BildView::CmToggleFit() {
  if (Minimised()) return;
  fit_ = !fit_;
  if (fit_) {
    ResetScroller();
    viewport()->update();
  } else {
    SetZoom(view::FitOffZoom(zoomX_, zoomY_));
  }
}

void BildView::CeZoomIn(platform::CommandEnabler& ce) {
  ce.Enable(!Minimised() && view::CanZoomIn(fit_, zoomX_, zoomY_));
}
void BildView::CeZoomOut(platform::CommandEnabler& ce) {
  ce.Enable(!Minimised() && view::CanZoomOut(fit_, zoomX_, zoomY_));
}
void BildView::CeToggleFit(platform::CommandEnabler& ce) {
  ce.Enable(!Minimised());
  ce.SetCheck(fit_ ? platform::CommandEnabler::kChecked : platform::CommandEnabler::kUnchecked);
}

void BildView::resizeEvent(QResizeEvent* e) {
  QAbstractScrollArea::resizeEvent(e);
  const QRect inside = contentsRect();
  caption_->setGeometry(inside.left(), inside.top(), inside.width(), ViewCaption::HeightFor(*this));
  if (Minimised()) return;
  ResetScroller();
  viewport()->update();
}

void BildView::keyPressEvent(QKeyEvent* e) {
  if (fit_) return QAbstractScrollArea::keyPressEvent(e);
  QScrollBar* hb = horizontalScrollBar();
  QScrollBar* vb = verticalScrollBar();
  switch (e->key()) {
    case Qt::Key_PageUp:
      vb->triggerAction(QAbstractSlider::SliderPageStepSub);
      break;
    case Qt::Key_PageDown:
      vb->triggerAction(QAbstractSlider::SliderPageStepAdd);
      break;
    case Qt::Key_Home:
      hb->triggerAction(QAbstractSlider::SliderPageStepSub);
      break;
    case Qt::Key_End:
      hb->triggerAction(QAbstractSlider::SliderPageStepAdd);
      break;
    case Qt::Key_Left:
      hb->triggerAction(QAbstractSlider::SliderSingleStepSub);
      break;
    case Qt::Key_Right:
      hb->triggerAction(QAbstractSlider::SliderSingleStepAdd);
      break;
    case Qt::Key_Up:
      vb->triggerAction(QAbstractSlider::SliderSingleStepSub);
      break;
    case Qt::Key_Down:
      vb->triggerAction(QAbstractSlider::SliderSingleStepAdd);
      break;
    default:
      return QAbstractScrollArea::keyPressEvent(e);
  }
}

// Display options, filter and gamma.

void BildView::CmDisplay(int id) {
  if (Minimised()) return;
  displayFlags_ = view::ApplyDisplayCommand(displayFlags_, id);
  viewport()->update();
}

void BildView::CeDisplay(platform::CommandEnabler& ce) {
  ce.Enable(!Minimised());
  ce.SetCheck(view::DisplayChecked(displayFlags_, ce.id) ? platform::CommandEnabler::kChecked
                                                         : platform::CommandEnabler::kUnchecked);
}

// The dialogs stay open beside the view, which goes on following the frames and shows each one
// through them.
void BildView::CmFilter() {
  if (!Minimised() && hasImage_) platform::ShowModeless<FilterDlg>(this, nullptr, frame_.Image());
}

void BildView::CmGamma() {
  if (!Minimised() && hasImage_) platform::ShowModeless<GammaDialog>(this, nullptr, frame_.Image());
}

void BildView::CeNotMinimised(platform::CommandEnabler& ce) { ce.Enable(!Minimised()); }

// Focus.

void BildView::focusInEvent(QFocusEvent* e) {
  NotifyDocument(DN_ACTIVEVIEW, reinterpret_cast<std::intptr_t>(&sequence_));
  if (Application* app = TheApplication()) app->EvQueryNewPalette();
  if (Document* doc = GetDocument())
    if (QObject* window = doc->WindowObject())
      platform::PostMessage(window, WM_VIEWNOTIFY, DN_CURRENTOBJECTCHANGED, 0);
  caption_->SetActive(true);
  viewport()->update();
  QAbstractScrollArea::focusInEvent(e);
}

void BildView::focusOutEvent(QFocusEvent* e) {
  caption_->SetActive(false);
  viewport()->update();
  QAbstractScrollArea::focusOutEvent(e);
}

// Objects.

void BildView::BeginDrag() {
  dragging_ = true;
  viewport()->grabMouse(QCursor(Qt::CrossCursor));
}

void BildView::EndDrag() {
  if (!dragging_) return;
  dragging_ = false;
  viewport()->releaseMouse();
  viewport()->unsetCursor();
}

void BildView::CmSetObject() {
  Document* doc = GetDocument();
  if (!doc || Minimised() || state_.setting || waitingFor_) return;
  const bool smart = TheApplication() && TheApplication()->SmartObjectPosition();
  switch (view::StartSetting(*doc, sequence_, state_, smart)) {
    case view::StartResult::kDragging:
      BeginDrag();
      break;
    case view::StartResult::kMissesImage:
      ErrorMessage(view::kUsageErrorCaption, view::kOnlyWithinFrame);
      viewport()->update();
      break;
    default:
      break;
  }
}

void BildView::CeSetObject(platform::CommandEnabler& ce) {
  Document* doc = GetDocument();
  ce.Enable(doc && !Minimised() && view::CurrentSub(*doc, sequence_));
}

void BildView::CmDeleteObject() {
  if (Document* doc = GetDocument(); doc && !Minimised()) view::DeleteObject(*doc, sequence_);
}

void BildView::CeDeleteObject(platform::CommandEnabler& ce) {
  Document* doc = GetDocument();
  ce.Enable(doc && !Minimised() && view::HasCurrentPoint(*doc, sequence_));
}

void BildView::CmCancel() {
  Document* doc = GetDocument();
  if (!doc || Minimised()) return;
  const bool wasSetting = state_.setting;
  view::Cancel(*doc, sequence_, state_);
  if (wasSetting) EndDrag();
  viewport()->update();
}

void BildView::SendToDocument(int command) {
  Document* doc = GetDocument();
  if (!doc) return;
  if (command == view::kTrackNext)
    RunTrackingCommand(*doc, command);
  else if (command == view::kSetObject)
    CmSetObject();
}

void BildView::EvTimer() {
  holdTimer_.stop();
  CmSetObject();
}

void BildView::timerEvent(QTimerEvent* e) {
  if (e->timerId() == holdTimer_.timerId())
    EvTimer();
  else if (e->timerId() == waitTimer_.timerId())
    ShowFrame(waitingFor_);
  else
    QAbstractScrollArea::timerEvent(e);
}

void BildView::EvLButtonDown(unsigned keys, QPointF client) {
  Document* doc = GetDocument();
  if (!doc || Minimised() || state_.setting) return;
  if (NotifyDocument(DN_EDITMODEACTIVE)) return;
  if (!hasFocus()) setFocus(Qt::MouseFocusReason);
  const QPointF image = ClientToImage(client);
  if (!objdoc::SubsOf(sequence_).SelectAt(image.x(), image.y(), Tolerance())) {
    NotifyAt(DN_MOUSEDOWN, image);
    return;
  }
  doc->UpdateDialogs();
  if ((keys & kShift) && NotifyAt(DN_BEGINCONNECTION, image)) return;
  if ((keys & kControl) && NotifyAt(DN_TEMPLATEMOUSEDOWN, image)) return;
  holdTimer_.start(kHoldMilliseconds, this);
}

void BildView::EvLButtonUp(unsigned, QPointF client) {
  holdTimer_.stop();
  Document* doc = GetDocument();
  if (!doc) return;
  if (!state_.setting) {
    NotifyAt(DN_MOUSEUP, ClientToImage(client));
    return;
  }
  EndDrag();
  const QPointF image = ClientToImage(client);
  if (!view::FinishSetting(*doc, sequence_, state_, image.x(), image.y())) {
    ErrorMessage(view::kUsageErrorCaption, view::kOnlyWithinFrame);
    BeginDrag();
    return;
  }
  viewport()->update();
  if (objdoc::Defaults().tracking.autoSingleStep) {
    SendToDocument(view::kTrackNext);
    if (doc->CurrentFrame() < doc->MinFrameCount() && doc->MinFrameCount() > 1)
      SendToDocument(view::kSetObject);
  }
}

void BildView::EvRButtonDown(unsigned keys, QPointF client) {
  holdTimer_.stop();
  Document* doc = GetDocument();
  if (!doc || state_.setting) return;
  if (NotifyDocument(DN_CANCELDRAG) || NotifyDocument(DN_EDITMODEACTIVE)) return;
  if (!hasFocus()) {
    setFocus(Qt::MouseFocusReason);
    activateWindow();
    return;
  }
  const QPointF image = ClientToImage(client);
  if ((keys & kLeftButton) &&
      objdoc::SubsOf(sequence_).SelectAt(image.x(), image.y(), Tolerance())) {
    doc->UpdateDialogs();
    NotifyAt(DN_BEGINCONNECTION, image);
    return;
  }
  Application* app = TheApplication();
  if (!app) return;
  QMenu menu(this);
  std::vector<QMenu*> open{&menu};
  const char* titles[] = {"Object &Model", "Object &Display"};
  for (int id : kPopup) {
    if (id == 0) {
      open.back()->addSeparator();
    } else if (id == -2) {
      open.pop_back();
    } else if (id < 0) {
      open.push_back(open.back()->addMenu(QString::fromUtf8(titles[-id - 1 == 0 ? 0 : 1])));
      app->Actions().WatchMenu(open.back());
    } else if (QAction* a = app->Actions().Get(id)) {
      open.back()->addAction(a);
    }
  }
  app->Actions().Update(&menu);
  menu.exec(viewport()->mapToGlobal(client.toPoint()));
}

void BildView::EvLButtonDblClk(unsigned, QPointF client) {
  holdTimer_.stop();
  Document* doc = GetDocument();
  if (!doc || state_.setting || NotifyDocument(DN_EDITMODEACTIVE)) return;
  const QPointF image = ClientToImage(client);
  SubObjectSequences& subs = objdoc::SubsOf(sequence_);
  if (subs.IsCurrentAt(image.x(), image.y(), Tolerance())) return CmEditObjectSequence();
  if (ResObjectSequence* s = subs.HitTest(image.x(), image.y(), Tolerance())) {
    s->ClearFlags(seqflag::kHidden);
    s->MakeCurrent();
    doc->UpdateViews();
    return;
  }
  NotifyAt(DN_TOGGLEZOOM, image);
}

void BildView::ShowPosition(QPointF image) {
  Application* app = TheApplication();
  if (!app) return;
  const int u = g_UnitsOrigin.imageViewUnit;
  double x = image.x(), y = image.y();
  if (u == unit::kPixel) {
    if (g_UnitsOrigin.MirrorsX()) x = sequence_.Width() - x;
    if (g_UnitsOrigin.MirrorsY()) y = sequence_.Height() - y;
  } else {
    float world[3], shown[3];
    sequence_.ImageToWorld(world, static_cast<float>(x), static_cast<float>(y));
    g_UnitsOrigin.VectorToUnit(shown, world[0], world[1], world[2], -1);
    x = shown[0];
    y = shown[1];
  }
  app->SetStatusText2(QString::fromStdString(
      platform::FormatString(view::kPositionFormat, x, y, g_UnitsOrigin.UnitName(u))));
}

void BildView::EvMouseMove(unsigned keys, QPointF client) {
  Document* doc = GetDocument();
  if (!doc) return;
  if (state_.setting)
    client = QPointF(std::clamp(client.x(), 0.0, double(viewport()->width() - 1)),
                     std::clamp(client.y(), 0.0, double(viewport()->height() - 1)));
  QPointF image = ClientToImage(client);
  float x = image.x(), y = image.y();
  view::HoldOnLine(sequence_, state_, x, y);
  ShowPosition(QPointF(x, y));
  if (!hasFocus()) return;
  if (state_.setting) {
    const QPoint onLine = ImageToClient(x, y);
    if (state_.mode == view::kLineOfSight && onLine != client.toPoint())
      QCursor::setPos(viewport()->mapToGlobal(onLine));
    if (!fit_) {
      if (client.x() < kEdgeScroll)
        horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
      if (client.x() >= viewport()->width() - kEdgeScroll)
        horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
      if (client.y() < kEdgeScroll)
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
      if (client.y() >= viewport()->height() - kEdgeScroll)
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    }
    return;
  }
  if (!(image.x() < sequence_.Width() && image.y() < sequence_.Height())) return;
  if (NotifyDocument(DN_EDITMODEACTIVE)) {
    NotifyAt(DN_MOUSEMOVE, image);
  } else if (keys & kLeftButton) {
  } else if (!(keys & kControl) &&
             objdoc::SubsOf(sequence_).IsCurrentAt(image.x(), image.y(), Tolerance())) {
    viewport()->setCursor(Qt::ArrowCursor);
  } else {
    viewport()->unsetCursor();
    NotifyAt(DN_MOUSEMOVE, image);
  }
}

BildView* BildView::OtherViewAt(QPointF global) const {
  Document* doc = GetDocument();
  auto* under = QApplication::widgetAt(global.toPoint());
  if (!doc || !under) return nullptr;
  for (int i = 0; i < doc->SequenceCount(); ++i) {
    auto* other = qobject_cast<BildView*>(doc->Sequence(i)->view.data());
    if (other && other != this && under == other->viewport()) return other;
  }
  return nullptr;
}

void BildView::HandSettingTo(BildView* view) {
  Document* doc = GetDocument();
  if (!doc) return;
  holdTimer_.stop();
  view::StopSetting(*doc, sequence_, state_);
  EndDrag();
  doc->UpdateViews();
  // The view clicked becomes the active one before it takes the point.
  view->setFocus(Qt::MouseFocusReason);
  view->CmSetObject();
}

void BildView::mousePressEvent(QMouseEvent* e) {
  if (waitingFor_) return;  // no picture yet to point at
  if (e->button() == Qt::LeftButton) {
    // Setting captures the mouse, and the cursor cannot be confined to the view here, so a
    // click meant for another view of the document arrives here; that view takes the point.
    if (state_.setting)
      if (BildView* other = OtherViewAt(e->globalPosition())) return HandSettingTo(other);
    EvLButtonDown(KeysOf(e), e->position());
  }
  if (e->button() == Qt::RightButton) EvRButtonDown(KeysOf(e), e->position());
}

void BildView::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) {
    QPointF at = e->position();
    if (state_.setting)
      at = QPointF(std::clamp(at.x(), 0.0, double(viewport()->width() - 1)),
                   std::clamp(at.y(), 0.0, double(viewport()->height() - 1)));
    EvLButtonUp(KeysOf(e), at);
  }
}

void BildView::mouseDoubleClickEvent(QMouseEvent* e) {
  if (waitingFor_) return;
  if (e->button() == Qt::LeftButton) EvLButtonDblClk(KeysOf(e), e->position());
}

void BildView::mouseMoveEvent(QMouseEvent* e) { EvMouseMove(KeysOf(e), e->position()); }

bool BildView::viewportEvent(QEvent* e) {
  // A position the mouse has left would read as where it is.
  if (e->type() == QEvent::Leave)
    if (Application* app = TheApplication()) app->SetStatusText2(QString());
  return QAbstractScrollArea::viewportEvent(e);
}

const platform::CommandTable& BildView::Commands() const {
  using B = BildView;
  static constexpr platform::CommandEntry entries[] = {
      platform::Command<&B::CmZoomIn, &B::CeZoomIn>(view::kZoomIn),
      platform::Command<&B::CmZoomOut, &B::CeZoomOut>(view::kZoomOut),
      platform::Command<&B::CmToggleFit, &B::CeToggleFit>(view::kToggleFit),
      platform::Command<&B::CmUpdateImage>(view::kUpdateImage),
      platform::Command<&B::CmFilter, &B::CeNotMinimised>(view::kFilter),
      platform::Command<&B::CmGamma, &B::CeNotMinimised>(view::kGamma),
      platform::CommandRange<&B::CmDisplay, &B::CeDisplay>(view::kOnlyActualObjects,
                                                           view::kCentersOfMass),
      platform::Command<&B::CmCancel, &B::CeNotMinimised>(view::kCancel),
      platform::Command<&B::CmSetObject, &B::CeSetObject>(view::kSetObject),
      platform::Command<&B::CmDeleteObject, &B::CeDeleteObject>(view::kDeleteObject),
      platform::Command<&B::CmEditObjectSequence, &B::CeSetObject>(view::kEditObjectSequence),
      platform::CommandRange<&B::CmBodyModel, &B::CeBodyModel>(view::kEditPositionModel,
                                                               view::kInsertInList),
      platform::Command<&B::CmDevCaps>(view::kDevCaps),
  };
  static const platform::CommandTable table{entries};
  return table;
}

void BildView::CmDevCaps() {
  Application* app = TheApplication();
  DevCapsDlg dialog(app ? static_cast<QWidget*>(app->MainWindow()) : this, ScreenCaps(*viewport()));
  dialog.Execute();
  setFocus();
}

// Object sequence and body model.

void BildView::CmEditObjectSequence() {
  Document* doc = GetDocument();
  ResObjectSequence* current = doc ? view::CurrentSequence(*doc) : nullptr;
  ResObjectSequence* s =
      current ? doc->ObjectSequences()->Find(current->number, seqmask::kAll) : nullptr;
  if (!s) return;
  Application* app = TheApplication();
  EditSequence(*s, app ? static_cast<QWidget*>(app->MainWindow()) : this);
  setFocus();  // the keys come back to the view the dialog was opened from
}

void BildView::CmBodyModel(int id) {
  Document* doc = GetDocument();
  const BodyModel model = BodyModel::Of(doc);
  if (!doc || !model.IsLoaded()) return;
  objdoc::SubsOf(sequence_).StoreModelDefaults(model);
  void* window = reinterpret_cast<void*>(winId());
  if (id == view::kInsertInList) {
    if (auto insert = model.library->Function<BM_InsertModelInListFn>("BM_InsertModelInList"))
      insert(model.id, window);
    return;
  }
  auto position = model.library->Function<BM_PositionModelFn>("BM_PositionModel");
  if (!position) return;
  const CDIB& image = frame_.Image();
  position(model.id, window, hasImage_ ? image.Block() : nullptr,
           hasImage_ ? image.Bits() : nullptr, nullptr);
  doc->ObjectSequences()->ApplyModelDefaults(model, &sequence_);
  doc->RecalcObjectSequences(doc->CurrentFrame());
  doc->UpdateViews();
}

void BildView::CeBodyModel(platform::CommandEnabler& ce) {
  ce.Enable(!Minimised() && BodyModel::Of(GetDocument()).IsLoaded());
}

void BildView::ShowTemplateFrame(bool shown) {
  if (shown)
    displayFlags_ |= kPaintTemplate;
  else
    displayFlags_ &= ~kPaintTemplate;
  viewport()->repaint();
}
