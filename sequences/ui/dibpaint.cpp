#include "sequences/ui/dibpaint.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>

#include <chrono>
#include <thread>

#include "sequences/dib.h"

QImage DibToQImage(const CDIB& dib) {
  if (dib.IsEmpty()) return QImage();
  QImage::Format format = QImage::Format_BGR888;
  if (dib.BitCount() == 8) format = QImage::Format_Indexed8;
  if (dib.BitCount() == 1) format = QImage::Format_Mono;
  // A view of the stored rows (bottom row first), turned upright by the copy below.
  const QImage stored(dib.Bits(), dib.Width(), dib.Height(), dib.RowBytes(), format);
  QImage image = stored.mirrored(false, true);
  if (dib.BitCount() != 24) {
    QList<QRgb> table;
    for (const PaletteEntry& e : dib.Palette()) table.append(qRgb(e.red, e.green, e.blue));
    image.setColorTable(table);
  }
  return image;
}

bool PaintDib(QPainter& painter, CDIB& dib, const QRect& destination, const QRect& source,
              bool stretch) {
  if (dib.IsEmpty()) return false;
  const auto wait = dib.TakePaintWait(std::chrono::steady_clock::now());
  if (wait.count() > 0) std::this_thread::sleep_for(wait);
  const QImage image = DibToQImage(dib);
  if (stretch && destination.size() != source.size()) {
    painter.drawImage(destination, image, source);
  } else {
    painter.drawImage(destination.topLeft(), image, source);
  }
  return true;
}

void CopyDibToClipboard(const CDIB& dib) {
  if (dib.IsEmpty()) return;
  if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setImage(DibToQImage(dib));
}
