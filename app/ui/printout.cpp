#include "app/ui/printout.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPicture>

#include "app/printersettings.h"
#include "app/resource.h"
#include "base/analysislinks.h"
#include "platform/ui/printwindow.h"
#include "sequences/framesequence.h"

namespace {

constexpr QRgb kMarginFrameColour = qRgb(192, 192, 192);
constexpr QRgb kAreaFrameColour = qRgb(128, 128, 128);

// The document an MDI child's printable window shows: the one the window names, else the one of
// an analysis link in the same child; 0 when neither says.
unsigned DocumentOf(QMdiSubWindow* sub, const platform::PrintWindow& window) {
  if (unsigned serial = window.PrintDocument()) return serial;
  if (auto* link = dynamic_cast<AnalysisLink*>(sub->widget())) return link->DocumentSerial();
  for (QWidget* w : sub->findChildren<QWidget*>())
    if (auto* link = dynamic_cast<AnalysisLink*>(w)) return link->DocumentSerial();
  return 0;
}

// Whether the widget is one of the document's image views (listed with its sequences).
bool IsView(const Resource& doc, const QWidget* widget) {
  for (int i = 0; i < doc.SequenceCount(); ++i)
    if (FrameSequence* s = doc.Sequence(i); s && s->view.data() == widget) return true;
  return false;
}

void DrawFrame(QPainter& painter, const QRect& r, QRgb colour) {
  painter.setPen(QPen(QColor(colour), 0));
  painter.setBrush(Qt::NoBrush);
  const QPoint corners[] = {r.topLeft(), QPoint(r.right(), r.top()), r.bottomRight(),
                            QPoint(r.left(), r.bottom()), r.topLeft()};
  painter.drawPolyline(corners, 5);
}

}  // namespace

TApxPrintout::TApxPrintout(QString title, QMdiArea* mdiClient, bool drawPageFrame)
    : title_(std::move(title)), drawPageFrame_(drawPageFrame) {
  QWidget* focus = QApplication::focusWidget();
  const QList<QMdiSubWindow*> children =
      mdiClient ? mdiClient->subWindowList(QMdiArea::CreationOrder) : QList<QMdiSubWindow*>();
  for (Resource* doc = g_ResourceList.Next(nullptr); doc; doc = g_ResourceList.Next(doc)) {
    for (int i = 0; i < doc->SequenceCount(); ++i) {
      FrameSequence* sequence = doc->Sequence(i);
      auto* view = sequence ? dynamic_cast<QWidget*>(sequence->view.data()) : nullptr;
      if (auto* window = dynamic_cast<platform::PrintWindow*>(view)) AddWindow(window, focus, view);
    }
    for (QMdiSubWindow* sub : children)
      for (platform::PrintWindow* window : platform::PrintWindows()) {
        auto* widget = dynamic_cast<QWidget*>(window);
        if (widget && sub->isAncestorOf(widget) && !IsView(*doc, widget) &&
            DocumentOf(sub, *window) == doc->Serial())
          AddWindow(window, focus, sub);
      }
  }
}

void TApxPrintout::AddWindow(platform::PrintWindow* window, QWidget* focus,
                             QWidget* focusScope) {
  PrintPageEntry entry;
  entry.window = window;
  entry.widget = dynamic_cast<QWidget*>(window);
  entry.isWidget = entry.widget != nullptr;
  entry.page = PageCount() + 1;
  entry.size = window->ScreenSize();
  if (focus && focusScope && (focus == focusScope || focusScope->isAncestorOf(focus)))
    focusPage_ = entry.page;
  Add(entry);
}

QString TApxPrintout::PageLine(int page) const {
  const PrintPageEntry* entry = Find(page);
  if (!entry || (entry->isWidget && !entry->widget) || entry->window->PrintTitle().isEmpty())
    return QString::number(page);
  return QStringLiteral("%1: %2").arg(page).arg(entry->window->PrintTitle());
}

void TApxPrintout::PrintPage(QPainter& painter, int page, const PrinterSettings& s) const {
  if (s.ScreenPpiX <= 0 || s.ScreenPpiY <= 0 || s.PrinterPpiX <= 0 || s.PrinterPpiY <= 0) return;
  painter.save();
  // One logical unit is one screen pixel at the printer's scale.
  painter.scale(double(s.PrinterPpiX) / s.ScreenPpiX, double(s.PrinterPpiY) / s.ScreenPpiY);
  const PrintPageEntry* entry = Find(page);
  if (entry && (entry->widget || !entry->isWidget)) {
    const QRect target = s.PlaceOnPage(s.PrintSize(entry->size.width(), entry->size.height()));
    if (!target.isEmpty()) {
      // Recorded at the screen's resolution and played back scaled, so text sized in points
      // comes out as large as on the screen, whatever the printer's resolution.
      QPicture picture;
      {
        QPainter recorder(&picture);
        entry->window->PaintTo(recorder, target, true);
      }
      painter.save();
      painter.setClipRect(target);
      // Playing a picture scales it by the device's resolution over the picture's; the
      // transform above already maps screen pixels onto the page.
      if (const QPaintDevice* device = painter.device())
        painter.scale(double(picture.logicalDpiX()) / device->logicalDpiX(),
                      double(picture.logicalDpiY()) / device->logicalDpiY());
      painter.drawPicture(0, 0, picture);
      painter.restore();
    }
  }
  if (drawPageFrame_) {
    DrawFrame(painter, s.MarginFrame(), kMarginFrameColour);
    if (!s.WholePage) DrawFrame(painter, s.AreaFrame(), kAreaFrameColour);
  }
  painter.restore();
}
