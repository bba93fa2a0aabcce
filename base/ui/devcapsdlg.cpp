#include "base/ui/devcapsdlg.h"

#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPaintEngine>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace {

using platform::ControlKind;
constexpr int kDialogId = 21200;
constexpr int kTechnologyRasterDisplay = 1, kTechnologyRasterPrinter = 2, kTechnologyMetafile = 5;

const platform::ControlSpec kControls[] = {
    {0, ControlKind::kLabel, "Driver Version", 0, 0},
    {21201, ControlKind::kLabel, "", 0, 1},
    {0, ControlKind::kLabel, "Technology", 1, 0},
    {21202, ControlKind::kLabel, "", 1, 1},
    {0, ControlKind::kLabel, "Physical screenwidth (mm)", 2, 0},
    {21203, ControlKind::kLabel, "", 2, 1},
    {0, ControlKind::kLabel, "Physical screenheight", 3, 0},
    {21204, ControlKind::kLabel, "", 3, 1},
    {0, ControlKind::kLabel, "Screenwidth (Pixel)", 4, 0},
    {21205, ControlKind::kLabel, "", 4, 1},
    {0, ControlKind::kLabel, "Screenheight (Pixel)", 5, 0},
    {21206, ControlKind::kLabel, "", 5, 1},
    {0, ControlKind::kLabel, "Pixels per logical inch along width", 6, 0},
    {21207, ControlKind::kLabel, "", 6, 1},
    {0, ControlKind::kLabel, "Pixels per logical inch along height", 7, 0},
    {21208, ControlKind::kLabel, "", 7, 1},
    {0, ControlKind::kLabel, "Adjacent color bits per pixel", 8, 0},
    {21209, ControlKind::kLabel, "", 8, 1},
    {0, ControlKind::kLabel, "Color planes", 9, 0},
    {21210, ControlKind::kLabel, "", 9, 1},
    {0, ControlKind::kLabel, "Device-specific brushes", 10, 0},
    {21211, ControlKind::kLabel, "", 10, 1},
    {0, ControlKind::kLabel, "Device-specific pens", 0, 2},
    {21212, ControlKind::kLabel, "", 0, 3},
    {0, ControlKind::kLabel, "Device-specific fonts", 1, 2},
    {21213, ControlKind::kLabel, "", 1, 3},
    {0, ControlKind::kLabel, "Entries in device's colortable", 2, 2},
    {21214, ControlKind::kLabel, "", 2, 3},
    {0, ControlKind::kLabel, "Relative device-pixel-width for line drawing", 3, 2},
    {21215, ControlKind::kLabel, "", 3, 3},
    {0, ControlKind::kLabel, "Relative device-pixel-height for line drawing", 4, 2},
    {21216, ControlKind::kLabel, "", 4, 3},
    {0, ControlKind::kLabel, "Diagonal device-pixel-width for line drawing", 5, 2},
    {21217, ControlKind::kLabel, "", 5, 3},
    {0, ControlKind::kLabel, "Clipping capabilitys", 6, 2},
    {21218, ControlKind::kLabel, "", 6, 3},
    {0, ControlKind::kLabel, "Entries in system colorpalette", 7, 2},
    {21219, ControlKind::kLabel, "", 7, 3},
    {0, ControlKind::kLabel, "Reserved colors in system colorpalette", 8, 2},
    {21220, ControlKind::kLabel, "", 8, 3},
    {0, ControlKind::kLabel, "Device-color-resolution (bits per pixel)", 9, 2},
    {21221, ControlKind::kLabel, "", 9, 3},
    {0, ControlKind::kGroupBox, "Raster capabilities", 11, 0, 1, 1},
    {21222, ControlKind::kListBox, "", 11, 0},
    {0, ControlKind::kGroupBox, "Line capabilities", 11, 1, 1, 1},
    {21223, ControlKind::kListBox, "", 11, 1},
    {0, ControlKind::kGroupBox, "Curve capabilities", 11, 2, 1, 1},
    {21224, ControlKind::kListBox, "", 11, 2},
    {0, ControlKind::kGroupBox, "Polygonal capabilities", 11, 3, 1, 1},
    {21225, ControlKind::kListBox, "", 11, 3},
    {0, ControlKind::kGroupBox, "Text capabilities", 12, 0, 1, 4},
    {21226, ControlKind::kListBox, "", 12, 0, 1, 4},
    {1, ControlKind::kDefPushButton, "OK"},
    {platform::kIdHelp, ControlKind::kPushButton, "Help"},
};

constexpr CapsList kLists[] = {CapsList::kRaster, CapsList::kLine, CapsList::kCurve,
                               CapsList::kPolygonal, CapsList::kText};

// Capability words from what the paint engine says it can do. Every Qt engine transfers and
// scales images, draws curves, wide and styled lines and filled polygons with any font; what
// differs is whether images are transformed and whether it draws with antialiasing and paths.
void WordsFromEngine(const QPaintEngine* engine, DeviceCaps& caps) {
  const bool transforms = engine && engine->hasFeature(QPaintEngine::PixmapTransform);
  const bool paths = engine && engine->hasFeature(QPaintEngine::PainterPaths);
  caps.rasterCaps = 0x1 | 0x8 | 0x80 | 0x200 | (transforms ? 0x4 | 0x800 | 0x2000 : 0);
  caps.curveCaps = paths ? 0x1FF : 0;
  caps.lineCaps = 0xFE;
  caps.polygonalCaps = 0xFF;
  caps.textCaps = 0x1 | 0x2 | 0x4 | 0x8 | 0x20 | 0x200 | 0x400 | 0x800 | 0x1000 | 0x4000 |
                  (transforms ? 0x10 : 0);
}

void NumbersFromDevice(const QPaintDevice& device, DeviceCaps& caps) {
  caps.horzSizeMm = device.widthMM();
  caps.vertSizeMm = device.heightMM();
  caps.horzRes = device.width();
  caps.vertRes = device.height();
  caps.logPixelsX = device.logicalDpiX();
  caps.logPixelsY = device.logicalDpiY();
  caps.bitsPixel = device.depth();
  caps.colorRes = device.depth();
  caps.planes = 1;
  // No palette on this system: no palette entries are reserved.
  caps.sizePalette = 0;
  caps.numReserved = 0;
  const int dx = device.physicalDpiX(), dy = device.physicalDpiY();
  if (dx > 0 && dy > 0) {
    // Relative pixel sizes: a pixel's width goes with the dots per inch across the other axis.
    caps.aspectX = dy;
    caps.aspectY = dx;
    caps.aspectXY = static_cast<int>(std::lround(std::hypot(double(dx), double(dy))));
  }
  // Qt clips every painter to any region.
  caps.clipCaps = 1;
}

}  // namespace

DevCapsDlg::DevCapsDlg(QWidget* parent, const DeviceCaps& caps)
    : TableDialog(parent, "Device Caps", kControls) {
  SetHelpContext(kDialogId);
  for (CapsList list : kLists) {
    auto* box = ControlAs<QListWidget>(CapsListId(list));
    if (!box) continue;
    box->setMinimumHeight(120);
    box->setMinimumWidth(box->fontMetrics().horizontalAdvance(
                             QStringLiteral("no scrolling via bit-block transfer")) +
                         24);
    box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  }
  ShowCaps(caps);
}

void DevCapsDlg::ShowCaps(const DeviceCaps& caps) {
  for (const CapsValue& value : CapsValues(caps))
    if (auto* label = ControlAs<QLabel>(value.id))
      label->setText(QString::fromStdString(value.text));
  for (CapsList list : kLists) {
    auto* box = ControlAs<QListWidget>(CapsListId(list));
    if (!box) continue;
    box->clear();
    // In alphabetical order, capitals or not.
    QStringList lines;
    for (const std::string& line : CapsLines(list, CapsWord(caps, list)))
      lines << QString::fromStdString(line);
    lines.sort(Qt::CaseInsensitive);
    box->addItems(lines);
  }
}

DeviceCaps ScreenCaps(const QWidget& widget) {
  DeviceCaps caps;
  caps.technology = kTechnologyRasterDisplay;
  NumbersFromDevice(widget, caps);
  if (const QScreen* screen = widget.screen()) {
    // The whole screen, not the widget.
    caps.horzRes = screen->geometry().width();
    caps.vertRes = screen->geometry().height();
    caps.horzSizeMm = static_cast<int>(screen->physicalSize().width());
    caps.vertSizeMm = static_cast<int>(screen->physicalSize().height());
  }
  // Widgets paint through the raster engine, the one an image has.
  QImage sample(1, 1, QImage::Format_ARGB32_Premultiplied);
  WordsFromEngine(sample.paintEngine(), caps);
  return caps;
}

DeviceCaps PrinterCaps(QPrinter& printer) {
  DeviceCaps caps;
  caps.technology = printer.outputFormat() == QPrinter::PdfFormat ? kTechnologyMetafile
                                                                  : kTechnologyRasterPrinter;
  NumbersFromDevice(printer, caps);
  WordsFromEngine(printer.paintEngine(), caps);
  return caps;
}
