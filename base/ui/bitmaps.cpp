#include "base/ui/bitmaps.h"

#include <QFont>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <map>

#include "base/app_ids.h"

namespace bitmaps {
namespace {

struct Picture {
  Drawer drawer;
  int grid = 16;
};

// Colours of the pictures: one ink for outlines and one accent per family of commands.
const QColor kInk(0x26, 0x2a, 0x30);
const QColor kGrey(0x9a, 0x9c, 0xa0);
const QColor kLightGrey(0xd4, 0xd6, 0xda);
const QColor kGreen(0x2f, 0x8f, 0x3e);
const QColor kRed(0xc4, 0x3a, 0x2e);
const QColor kBlue(0x22, 0x62, 0xc2);
const QColor kOrange(0xd8, 0x7c, 0x16);
const QColor kYellow(0xec, 0xbf, 0x4e);
const QColor kWhite(0xff, 0xff, 0xff);

// Disabled pictures keep their light and dark parts apart, so their shapes stay readable.
QColor Col(const QColor& c, bool disabled) {
  if (!disabled) return c;
  int lightness = c.lightness();
  if (lightness > 200) return QColor(0xf0, 0xf0, 0xf0);
  if (lightness > 110) return QColor(0xc6, 0xc8, 0xcc);
  return kGrey;
}

QPen Pen(const QColor& c, bool disabled, qreal width = 1.2) {
  QPen pen(Col(c, disabled), width);
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  return pen;
}

void Polygon(QPainter& p, std::initializer_list<QPointF> points, const QColor& fill, bool off) {
  p.setPen(Pen(kInk, off, 0.9));
  p.setBrush(Col(fill, off));
  p.drawPolygon(QPolygonF(QList<QPointF>(points)));
}

void Bar(QPainter& p, qreal x, bool off) {
  p.setPen(Pen(kInk, off, 0.9));
  p.setBrush(Col(kInk, off));
  p.drawRect(QRectF(x, 3, 2, 10));
}

// A tracked point: a ring with a dot, the family mark of the tracking buttons.
void Target(QPainter& p, qreal x, bool off) {
  p.setPen(Pen(kBlue, off, 1.3));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QPointF(x, 8), 2.8, 2.8);
  p.setBrush(Col(kBlue, off));
  p.drawEllipse(QPointF(x, 8), 0.9, 0.9);
}

void Arrow(QPainter& p, qreal from, qreal to, bool off) {
  p.setPen(Pen(kInk, off, 1.3));
  p.drawLine(QPointF(from, 8), QPointF(to, 8));
  qreal d = to > from ? -2.5 : 2.5;
  p.drawLine(QPointF(to, 8), QPointF(to + d, 5.5));
  p.drawLine(QPointF(to, 8), QPointF(to + d, 10.5));
}

void Letter(QPainter& p, const QRectF& box, const QString& text, const QColor& c, bool off,
            qreal pixelSize = 7) {
  // Text as an outline, so it scales with the picture instead of snapping to font sizes.
  constexpr qreal kDesign = 100;
  QFont font;
  font.setPixelSize(static_cast<int>(kDesign));
  font.setBold(true);
  QPainterPath path;
  path.addText(0, 0, font, text);
  qreal s = pixelSize / kDesign;
  QRectF bounds = path.boundingRect();
  p.save();
  p.translate(box.center() - bounds.center() * s);
  p.scale(s, s);
  p.setPen(Qt::NoPen);
  p.setBrush(Col(c, off));
  p.drawPath(path);
  p.restore();
}

// Axes with a curve: the family mark of the analysis buttons.
void Graph(QPainter& p, const QString& label, bool off, bool loop = false) {
  p.setPen(Pen(kInk, off, 1.0));
  p.drawLine(QPointF(2, 1.5), QPointF(2, 14));
  p.drawLine(QPointF(2, 14), QPointF(14.5, 14));
  p.setPen(Pen(kOrange, off, 1.4));
  p.setBrush(Qt::NoBrush);
  QPainterPath path;
  if (loop) {
    path.moveTo(4, 12);
    path.cubicTo(6, 2, 13, 4, 10, 10);
    path.cubicTo(8, 13, 5, 9, 8, 6);
  } else {
    path.moveTo(3, 12);
    path.cubicTo(6, 2, 9, 15, 14, 5);
  }
  p.drawPath(path);
  Letter(p, QRectF(8, 0, 8, 8), label, kBlue, off);
}

void Magnifier(QPainter& p, bool plus, bool off) {
  p.setPen(Pen(kInk, off, 1.3));
  p.setBrush(Col(kWhite, off).lighter(off ? 150 : 100));
  p.drawEllipse(QPointF(6.5, 6.5), 4.5, 4.5);
  p.setPen(Pen(kInk, off, 2.2));
  p.drawLine(QPointF(10, 10), QPointF(14, 14));
  p.setPen(Pen(kBlue, off, 1.4));
  p.drawLine(QPointF(4.5, 6.5), QPointF(8.5, 6.5));
  if (plus) p.drawLine(QPointF(6.5, 4.5), QPointF(6.5, 8.5));
}

void Film(QPainter& p, const QRectF& r, bool off) {
  p.setPen(Pen(kInk, off, 0.9));
  p.setBrush(Col(kInk, off));
  p.drawRect(r);
  p.setBrush(Col(kLightGrey, off));
  p.setPen(Qt::NoPen);
  p.drawRect(r.adjusted(2, 2.5, -2, -2.5));
  p.setBrush(Col(kWhite, off));
  for (qreal y = r.top() + 0.8; y < r.bottom() - 1; y += 2.4) {
    p.drawRect(QRectF(r.left() + 0.5, y, 1, 1));
    p.drawRect(QRectF(r.right() - 1.5, y, 1, 1));
  }
}

void Plus(QPainter& p, QPointF c, bool off) {
  p.setPen(Pen(kGreen, off, 2.0));
  p.drawLine(c + QPointF(-2.5, 0), c + QPointF(2.5, 0));
  p.drawLine(c + QPointF(0, -2.5), c + QPointF(0, 2.5));
}

void HelpMark(QPainter& p, bool off) {
  p.setPen(Pen(kInk, off, 0.8));
  p.setBrush(Col(kBlue, off));
  p.drawEllipse(QPointF(8, 8), 6.8, 6.8);
  Letter(p, QRectF(1, 1, 14, 14), "?", kWhite, false, 11);
}

// A running figure with the track of its points: the program's emblem.
void Emblem(QPainter& p, bool off) {
  p.setPen(Pen(kInk, off, 1.4));
  p.setBrush(Col(kYellow, off));
  p.drawEllipse(QPointF(9, 3.5), 1.8, 1.8);
  p.setBrush(Qt::NoBrush);
  p.drawLine(QPointF(9, 5.5), QPointF(8, 10));    // body
  p.drawLine(QPointF(8.7, 7), QPointF(12, 8.5));  // arm
  p.drawLine(QPointF(8.7, 7), QPointF(5.5, 8));   // arm
  p.drawLine(QPointF(8, 10), QPointF(11, 14));    // leg
  p.drawLine(QPointF(8, 10), QPointF(5, 12.5));   // leg
  p.setPen(Qt::NoPen);
  p.setBrush(Col(kRed, off));
  for (QPointF dot : {QPointF(2, 14.5), QPointF(3.5, 13.5), QPointF(5, 12.5)})
    p.drawEllipse(dot, 0.8, 0.8);
  p.setPen(Pen(kBlue, off, 1.0));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QPointF(9, 3.5), 3.2, 3.2);
}

// A door with an arrow leading out: leaving the program or the preview.
void ExitDoor(QPainter& p, bool off) {
  p.setPen(Pen(kInk, off, 0.9));
  p.setBrush(Col(kLightGrey, off));
  p.drawRect(QRectF(2, 1.5, 8, 13));
  p.setPen(Pen(kRed, off, 1.5));
  p.drawLine(QPointF(7, 8), QPointF(14.5, 8));
  p.drawLine(QPointF(14.5, 8), QPointF(12, 5.5));
  p.drawLine(QPointF(14.5, 8), QPointF(12, 10.5));
}

// A sheet of paper with lines of text, its left edge at x.
void Page(QPainter& p, qreal x, bool off) {
  p.setPen(Pen(kInk, off, 0.8));
  p.setBrush(Col(kWhite, off));
  p.drawRect(QRectF(x + 0.5, 1.5, 9, 13));
  p.setPen(Pen(kLightGrey.darker(130), off, 0.8));
  for (qreal y = 4.5; y < 13; y += 2.5) p.drawLine(QPointF(x + 2.5, y), QPointF(x + 8, y));
}

std::map<int, Picture>& Pictures() {
  static std::map<int, Picture> pictures = [] {
    std::map<int, Picture> m;
    auto add = [&m](int id, Drawer d, int grid = 16) { m[id] = {std::move(d), grid}; };
    add(cmd::kLoadImageSequence, [](QPainter& p, bool off) {
      Polygon(p, {{1, 3.5}, {6, 3.5}, {7.5, 5}, {15, 5}, {15, 14}, {1, 14}}, kYellow, off);
      p.setPen(Pen(kInk, off, 0.9));
      p.drawLine(QPointF(1, 7), QPointF(15, 7));
    });
    add(cmd::kPlay, [](QPainter& p, bool off) {
      Polygon(p, {{4, 2.5}, {13.5, 8}, {4, 13.5}}, kGreen, off);
    });
    add(cmd::kStop, [](QPainter& p, bool off) {
      p.setPen(Pen(kInk, off, 0.9));
      p.setBrush(Col(kRed, off));
      p.drawRect(QRectF(3.5, 3.5, 9, 9));
    });
    add(cmd::kFirstFrame, [](QPainter& p, bool off) {
      Bar(p, 2.5, off);
      Polygon(p, {{13.5, 3}, {5.5, 8}, {13.5, 13}}, kGreen, off);
    });
    add(cmd::kLastFrame, [](QPainter& p, bool off) {
      Polygon(p, {{2.5, 3}, {10.5, 8}, {2.5, 13}}, kGreen, off);
      Bar(p, 11.5, off);
    });
    add(cmd::kNextFrame, [](QPainter& p, bool off) {
      Polygon(p, {{4, 3}, {10, 8}, {4, 13}}, kGreen, off);
      Bar(p, 11, off);
    });
    add(cmd::kPreviousFrame, [](QPainter& p, bool off) {
      Bar(p, 3, off);
      Polygon(p, {{12, 3}, {6, 8}, {12, 13}}, kGreen, off);
    });
    add(cmd::kTrackNext, [](QPainter& p, bool off) {
      Target(p, 4.5, off);
      Arrow(p, 8.5, 14.5, off);
    });
    add(cmd::kTrackBack, [](QPainter& p, bool off) {
      Target(p, 11.5, off);
      Arrow(p, 7.5, 1.5, off);
    });
    add(cmd::kTrackToEnd, [](QPainter& p, bool off) {
      Target(p, 3.8, off);
      Arrow(p, 7.5, 12, off);
      p.setPen(Pen(kInk, off, 1.6));
      p.drawLine(QPointF(14.5, 3.5), QPointF(14.5, 12.5));
    });
    add(cmd::kTrackToBegin, [](QPainter& p, bool off) {
      p.setPen(Pen(kInk, off, 1.6));
      p.drawLine(QPointF(1.5, 3.5), QPointF(1.5, 12.5));
      Arrow(p, 8.5, 4, off);
      Target(p, 12.2, off);
    });
    add(cmd::kAnalyzeXt, [](QPainter& p, bool off) { Graph(p, "x", off); });
    add(cmd::kAnalyzeYt, [](QPainter& p, bool off) { Graph(p, "y", off); });
    add(cmd::kAnalyzeZt, [](QPainter& p, bool off) { Graph(p, "z", off); });
    add(cmd::kAnalyzeYx, [](QPainter& p, bool off) { Graph(p, "yx", off, true); });
    add(cmd::kReticules, [](QPainter& p, bool off) {
      p.setPen(Pen(kRed, off, 1.2));
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(QPointF(8, 8), 4.5, 4.5);
      p.setPen(Pen(kInk, off, 1.0));
      p.drawLine(QPointF(8, 1), QPointF(8, 6));
      p.drawLine(QPointF(8, 10), QPointF(8, 15));
      p.drawLine(QPointF(1, 8), QPointF(6, 8));
      p.drawLine(QPointF(10, 8), QPointF(15, 8));
    });
    add(cmd::kFrameNumbers, [](QPainter& p, bool off) {
      Film(p, QRectF(1, 2, 14, 12), off);
      Letter(p, QRectF(3, 3, 10, 10), "1", kBlue, off, 9);
    });
    add(cmd::kSetFit, [](QPainter& p, bool off) {
      p.setPen(Pen(kInk, off, 1.0));
      p.setBrush(Qt::NoBrush);
      p.drawRect(QRectF(1.5, 2.5, 13, 11));
      p.setPen(Pen(kBlue, off, 1.3));
      for (QPointF c : {QPointF(4, 5), QPointF(12, 5), QPointF(4, 11), QPointF(12, 11)}) {
        QPointF centre(8, 8);
        p.drawLine(centre + (c - centre) * 0.35, c);
        p.drawLine(c, c + QPointF(c.x() < 8 ? 2 : -2, 0));
        p.drawLine(c, c + QPointF(0, c.y() < 8 ? 2 : -2));
      }
    });
    add(cmd::kZoomIn, [](QPainter& p, bool off) { Magnifier(p, true, off); });
    add(cmd::kZoomOut, [](QPainter& p, bool off) { Magnifier(p, false, off); });
    add(cmd::kAddToClipVideo, [](QPainter& p, bool off) {
      Film(p, QRectF(1, 1, 10, 14), off);
      Plus(p, QPointF(12.5, 11.5), off);
    });
    add(cmd::kHelpContents, [](QPainter& p, bool off) { HelpMark(p, off); });
    add(cmd::kContextHelp, [](QPainter& p, bool off) {
      Polygon(p, {{1.5, 1.5}, {1.5, 12}, {4, 9.5}, {6, 13.5}, {7.5, 12.8}, {5.5, 9}, {9, 9}},
              kWhite, off);
      Letter(p, QRectF(8, 3, 8, 12), "?", kBlue, off, 10);
    });
    add(cmd::kAbout, [](QPainter& p, bool off) {
      p.setPen(Pen(kInk, off, 0.8));
      p.setBrush(Col(kBlue, off));
      p.drawEllipse(QPointF(8, 8), 6.8, 6.8);
      Letter(p, QRectF(1, 1, 14, 14), "i", kWhite, false, 11);
    });
    add(cmd::kPrint, [](QPainter& p, bool off) {
      p.setPen(Pen(kInk, off, 0.9));
      p.setBrush(Col(kWhite, off));
      p.drawRect(QRectF(4, 1.5, 8, 5));
      p.setBrush(Col(kLightGrey, off));
      p.drawRect(QRectF(1.5, 6.5, 13, 6));
      p.setBrush(Col(kWhite, off));
      p.drawRect(QRectF(4, 10.5, 8, 4));
      p.setBrush(Col(kGreen, off));
      p.drawEllipse(QPointF(12.5, 8.5), 0.7, 0.7);
    });
    add(cmd::kExit, [](QPainter& p, bool off) { ExitDoor(p, off); });
    // The print preview's bar: pages back and forward, printer setup, leaving the preview.
    add(cmd::kPreviewPrevious, [](QPainter& p, bool off) {
      Page(p, 5, off);
      Arrow(p, 9, 1.5, off);
    });
    add(cmd::kPreviewNext, [](QPainter& p, bool off) {
      Page(p, 1, off);
      Arrow(p, 7, 14.5, off);
    });
    add(cmd::kPrinterSetup, [](QPainter& p, bool off) {
      p.setPen(Pen(kInk, off, 0.9));
      p.setBrush(Col(kLightGrey, off));
      p.drawRect(QRectF(1.5, 5.5, 10, 6));
      p.setBrush(Col(kWhite, off));
      p.drawRect(QRectF(3.5, 2, 6, 3.5));
      // A spanner across the corner: the printer's properties.
      p.setPen(Pen(kBlue, off, 1.8));
      p.drawLine(QPointF(8.5, 14.5), QPointF(13.5, 9.5));
      p.setPen(Pen(kBlue, off, 1.0));
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(QPointF(13.5, 9.5), 1.8, 1.8);
    });
    add(cmd::kPreviewExit, [](QPainter& p, bool off) { ExitDoor(p, off); });
    add(cmd::kAbortBitmap, [](QPainter& p, bool off) {
      QPolygonF octagon;
      for (int i = 0; i < 8; ++i) {
        qreal a = (22.5 + 45.0 * i) * 3.14159265358979 / 180.0;
        octagon << QPointF(8 + 7 * std::cos(a), 8 + 7 * std::sin(a));
      }
      p.setPen(Pen(kInk, off, 0.8));
      p.setBrush(Col(kRed, off));
      p.drawPolygon(octagon);
      p.setPen(Pen(kWhite, false, 2.0));
      p.drawLine(QPointF(5, 5), QPointF(11, 11));
      p.drawLine(QPointF(11, 5), QPointF(5, 11));
    });
    add(ids::kAppIcon, [](QPainter& p, bool off) {
      p.setPen(Qt::NoPen);
      p.setBrush(Col(kWhite, off));
      p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
      Emblem(p, off);
    });
    add(
        ids::kAboutPicture1,
        [](QPainter& p, bool off) {
          p.scale(3, 3);
          Emblem(p, off);
        },
        48);
    add(
        ids::kAboutPicture2,
        [](QPainter& p, bool off) {
          // A camera looking at a marked point; the point's ring reaches 17.5 units to the
          // right, so the drawing is scaled to fit 18 units into the picture.
          p.scale(48.0 / 18, 48.0 / 18);
          p.translate(0, 0.5);
          p.setPen(Pen(kInk, off, 0.8));
          p.setBrush(Col(kInk, off));
          p.drawRoundedRect(QRectF(1, 5, 9, 7), 1, 1);
          Polygon(p, {{10, 7}, {13, 5.5}, {13, 11.5}, {10, 10}}, kInk, off);
          p.setBrush(Col(kBlue, off));
          p.drawEllipse(QPointF(5.5, 8.5), 2, 2);
          Target(p, 14, off);
        },
        48);
    return m;
  }();
  return pictures;
}

void Paint(const Picture& picture, QPainter& painter, const QRectF& rect, bool disabled) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.translate(rect.topLeft());
  painter.scale(rect.width() / picture.grid, rect.height() / picture.grid);
  picture.drawer(painter, disabled);
  painter.restore();
}

class DrawnIconEngine : public QIconEngine {
 public:
  explicit DrawnIconEngine(Picture picture) : picture_(std::move(picture)) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
    Paint(picture_, *painter, rect, mode == QIcon::Disabled);
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return scaledPixmap(size, mode, state, 1.0);
  }
  QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State, qreal scale) override {
    QImage image(size * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
      QPainter painter(&image);
      Paint(picture_, painter, QRectF(QPointF(0, 0), QSizeF(size * scale)),
            mode == QIcon::Disabled);
    }
    image.setDevicePixelRatio(scale);
    return QPixmap::fromImage(image);
  }
  QIconEngine* clone() const override { return new DrawnIconEngine(picture_); }

 private:
  Picture picture_;
};

}  // namespace

bool Register(int id, Drawer drawer, int gridSize) {
  return Pictures().try_emplace(id, Picture{std::move(drawer), gridSize}).second;
}

bool Has(int id) { return Pictures().count(id) != 0; }

QPixmap Load(int id, int size, qreal devicePixelRatio) {
  auto it = Pictures().find(id);
  if (it == Pictures().end()) return QPixmap();
  QImage image(QSize(size, size) * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    Paint(it->second, painter, QRectF(0, 0, size * devicePixelRatio, size * devicePixelRatio),
          false);
  }
  image.setDevicePixelRatio(devicePixelRatio);
  return QPixmap::fromImage(image);
}

QIcon Icon(int id) {
  auto it = Pictures().find(id);
  if (it == Pictures().end()) return QIcon();
  return QIcon(new DrawnIconEngine(it->second));
}

}  // namespace bitmaps
