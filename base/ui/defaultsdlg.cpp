#include "base/ui/defaultsdlg.h"

#include <QCheckBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <optional>

#include "base/ui/decimalfield.h"
#include "platform/numbers.h"
#include "platform/strings.h"
#include "platform/ui/choosers.h"

namespace {

using platform::ControlKind;

// Presettings controls.
constexpr int kTemplateWidth = 20451, kTemplateHeight = 20452, kXOffset = 20453, kYOffset = 20454;
constexpr int kTemplateRectangle = 20455, kTemplateCircle = 20457;
constexpr int kFirstAlgorithm = 20431;  // SSD, Cross, Texture, Manual: 25205..25208
constexpr int kFirstMarker = 20410, kFirstMarkerPicture = 20420;
constexpr int kMarkWidth = 20408, kMarkHeight = 20409, kHLimit = 20406, kVLimit = 20407;
constexpr int kSSDThreshold = 20460, kCrossThreshold = 20461;
constexpr int kFirstFlag = 20465;  // adapt, break, single step, grey scale
constexpr int kStrip = 20121, kEdit = 20101, kDefaultValues = 20360;
constexpr int kPresettingsHelp = 35010;

// Colour-map editor controls.
constexpr int kFileName = 20112, kList = 20111, kChange = 20113, kInsert = 20116, kAppend = 20115,
              kDelete = 20114, kUp = 25530, kDown = 25535, kLoad = 20117, kSaveAs = 20118,
              kPalette = 20120;
constexpr int kColorHelp = 35016;
constexpr int kColorFilterString = 32499, kColorTitleString = 32498;

const platform::ControlSpec kPresettings[] = {
    {0, ControlKind::kGroupBox, "Template", 0, 0, 6, 2},
    {0, ControlKind::kLabel, "&Width:", 1, 0},
    {kTemplateWidth, ControlKind::kEdit, "", 1, 1},
    {0, ControlKind::kLabel, "&Height:", 2, 0},
    {kTemplateHeight, ControlKind::kEdit, "", 2, 1},
    {0, ControlKind::kLabel, "&X-Offset:", 3, 0},
    {kXOffset, ControlKind::kEdit, "", 3, 1},
    {0, ControlKind::kLabel, "&Y-Offset:", 4, 0},
    {kYOffset, ControlKind::kEdit, "", 4, 1},
    {kTemplateRectangle, ControlKind::kRadioButton, "&Rectangle", 5, 0, 1, 1, 1},
    {kTemplateCircle, ControlKind::kRadioButton, "C&ircle", 5, 1, 1, 1, 1},
    {0, ControlKind::kGroupBox, "Tracking Algorithm", 0, 2, 6, 1},
    {20431, ControlKind::kRadioButton, "&SSD - Correlation", 1, 2, 1, 1, 2},
    {20432, ControlKind::kRadioButton, "&Cross  -  Correlation", 2, 2, 1, 1, 2},
    {20433, ControlKind::kRadioButton, "&Texture - Tracking", 3, 2, 1, 1, 2},
    {20434, ControlKind::kRadioButton, "&Manual", 4, 2, 1, 1, 2},
    {0, ControlKind::kGroupBox, "Marker", 6, 0, 6, 3},
    {20410, ControlKind::kRadioButton, "", 7, 0, 1, 1, 3},
    {20411, ControlKind::kRadioButton, "", 7, 1, 1, 1, 3},
    {20412, ControlKind::kRadioButton, "", 7, 2, 1, 1, 3},
    {20413, ControlKind::kRadioButton, "", 8, 0, 1, 1, 3},
    {20414, ControlKind::kRadioButton, "", 8, 1, 1, 1, 3},
    {20415, ControlKind::kRadioButton, "", 8, 2, 1, 1, 3},
    {20416, ControlKind::kRadioButton, "", 9, 0, 1, 1, 3},
    {20417, ControlKind::kRadioButton, "", 9, 1, 1, 1, 3},
    {20418, ControlKind::kRadioButton, "", 9, 2, 1, 1, 3},
    {0, ControlKind::kLabel, "&Width:", 10, 0},
    {kMarkWidth, ControlKind::kEdit, "", 10, 1, 1, 2},
    {0, ControlKind::kLabel, "&Height:", 11, 0},
    {kMarkHeight, ControlKind::kEdit, "", 11, 1, 1, 2},
    {0, ControlKind::kGroupBox, "Limits", 12, 0, 2, 3},
    {0, ControlKind::kLabel, "H&orizontal:", 12, 0},
    {kHLimit, ControlKind::kEdit, "", 12, 1},
    {0, ControlKind::kLabel, "&Vertical:", 13, 0},
    {kVLimit, ControlKind::kEdit, "", 13, 1},
    {0, ControlKind::kLabel, "SSD Threshold:", 14, 0},
    {kSSDThreshold, ControlKind::kEdit, "", 14, 1},
    {0, ControlKind::kLabel, "Cross-correlation Threshold:", 15, 0},
    {kCrossThreshold, ControlKind::kEdit, "", 15, 1},
    {20465, ControlKind::kCheckBox, "Adapt Template", 16, 0},
    {20466, ControlKind::kCheckBox, "Break on bad Match", 16, 1},
    {20467, ControlKind::kCheckBox, "Auto Singlestep", 17, 0},
    {20468, ControlKind::kCheckBox, "Always Track in Grayscale", 17, 1},
    {0, ControlKind::kLabel, "Colors:", 18, 0},
    {kStrip, ControlKind::kPicture, "", 18, 1},
    {kEdit, ControlKind::kPushButton, "Edit...", 18, 2},
    {kDefaultValues, ControlKind::kPushButton, "Default values", 20, 0},
    {0, ControlKind::kLabel, "%-values relate to the frame width or height", 20, 1, 1, 2},
    {1, ControlKind::kDefPushButton, "OK"},
    {2, ControlKind::kPushButton, "Cancel"},
    {platform::kIdHelp, ControlKind::kPushButton, "Help"},
};

const platform::ControlSpec kColorControls[] = {
    {kFileName, ControlKind::kLabel, "", 0, 0, 1, 3},
    {kList, ControlKind::kListBox, "", 1, 0, 8, 1},
    {kChange, ControlKind::kPushButton, "&Change...", 1, 1},
    {kInsert, ControlKind::kPushButton, "&Insert New", 2, 1},
    {kAppend, ControlKind::kPushButton, "&Append New", 3, 1},
    {kDelete, ControlKind::kPushButton, "&Delete", 4, 1},
    {kUp, ControlKind::kPushButton, "&-", 5, 1},
    {kDown, ControlKind::kPushButton, "&+", 6, 1},
    {kLoad, ControlKind::kPushButton, "Load...", 7, 1},
    {kSaveAs, ControlKind::kPushButton, "Save as...", 8, 1},
    {kPalette, ControlKind::kPicture, "", 1, 2, 8, 1},
    {1, ControlKind::kDefPushButton, "OK"},
    {2, ControlKind::kPushButton, "Cancel"},
    {platform::kIdHelp, ControlKind::kPushButton, "Help"},
};

QColor ToQColor(const MapColor& c) { return QColor(c.red, c.green, c.blue); }

void SetInt(QLineEdit* edit, int value, int low, int high) {
  edit->setValidator(new QIntValidator(low, high, edit));
  edit->setText(QString::number(value));
}

}  // namespace

QIcon MarkerShapeIcon(int shape, int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::black, 1.5));
  const QRectF r(2, 2, size - 4, size - 4);
  const QPointF c = r.center();
  switch (shape) {
    case 0:  // rectangle
      p.drawRect(r);
      break;
    case 1:  // circle
      p.drawEllipse(r);
      break;
    case 2:  // triangle
      p.drawPolygon(QPolygonF({QPointF(c.x(), r.top()), r.bottomRight(), r.bottomLeft()}));
      break;
    case 3:  // rhomb
      p.drawPolygon(QPolygonF({QPointF(c.x(), r.top()), QPointF(r.right(), c.y()),
                               QPointF(c.x(), r.bottom()), QPointF(r.left(), c.y())}));
      break;
    case 4:  // cross
      p.drawLine(QPointF(c.x(), r.top()), QPointF(c.x(), r.bottom()));
      p.drawLine(QPointF(r.left(), c.y()), QPointF(r.right(), c.y()));
      break;
    case 5:  // star
      p.drawLine(r.topLeft(), r.bottomRight());
      p.drawLine(r.topRight(), r.bottomLeft());
      p.drawLine(QPointF(c.x(), r.top()), QPointF(c.x(), r.bottom()));
      p.drawLine(QPointF(r.left(), c.y()), QPointF(r.right(), c.y()));
      break;
    case 6:  // cross with circle
      p.drawEllipse(r);
      p.drawLine(QPointF(c.x(), r.top()), QPointF(c.x(), r.bottom()));
      p.drawLine(QPointF(r.left(), c.y()), QPointF(r.right(), c.y()));
      break;
    case 7:  // filled rectangle
      p.setBrush(Qt::black);
      p.drawRect(r);
      break;
    default:  // filled circle
      p.setBrush(Qt::black);
      p.drawEllipse(r);
      break;
  }
  return QIcon(pixmap);
}

ColorStrip::ColorStrip(QWidget* parent, const DefaultValueStruct& defaults)
    : QWidget(parent), defaults_(defaults) {
  setMinimumSize(200, 16);
}

void ColorStrip::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const int count = std::max(1, defaults_.colorCount);
  const int cell = std::max(2, width() / count);
  for (int i = 0; i < defaults_.colorCount; ++i)
    p.fillRect(i * cell, 0, cell, height(), ToQColor(defaults_.colors[i]));
}

ObjectSequenceDefaultsDlg::ObjectSequenceDefaultsDlg(QWidget* parent, DefaultValueStruct& defaults,
                                                     const PaletteColors& palette)
    : TableDialog(parent, "Presettings for Object Sequences", kPresettings),
      defaults_(defaults),
      palette_(palette),
      strip_(new ColorStrip(this, defaults)) {
  SetHelpContext(kPresettingsHelp);
  ReplaceControl(kStrip, strip_);
  for (int s = 0; s < shape::kCount; ++s) {
    auto* radio = ControlAs<QRadioButton>(kFirstMarker + s);
    radio->setIcon(MarkerShapeIcon(s));
    radio->setToolTip(QString::fromUtf8(platform::LoadString(3022 + s).data()));
  }
  Fill();
  DecimalField::Govern(ControlAs<QLineEdit>(kCrossThreshold), "Cross-correlation Threshold");
}

void ObjectSequenceDefaultsDlg::Fill() {
  const DefaultValueStruct& d = defaults_;
  SetInt(ControlAs<QLineEdit>(kTemplateWidth), d.templateWidth, 1, 50);
  SetInt(ControlAs<QLineEdit>(kTemplateHeight), d.templateHeight, 1, 50);
  SetInt(ControlAs<QLineEdit>(kXOffset), d.templateXOffset, -99, 99);
  SetInt(ControlAs<QLineEdit>(kYOffset), d.templateYOffset, -99, 99);
  SetInt(ControlAs<QLineEdit>(kMarkWidth), d.markWidth, 1, 99);
  SetInt(ControlAs<QLineEdit>(kMarkHeight), d.markHeight, 1, 99);
  SetInt(ControlAs<QLineEdit>(kHLimit), d.horizontalLimit, 1, 50);
  SetInt(ControlAs<QLineEdit>(kVLimit), d.verticalLimit, 1, 50);
  SetInt(ControlAs<QLineEdit>(kSSDThreshold), d.tracking.thresholdSSD, 0, 255);
  ControlAs<QLineEdit>(kCrossThreshold)
      ->setText(QString::fromStdString(platform::FormatFixed(d.tracking.thresholdCross, 3)));
  ControlAs<QRadioButton>(d.templateShape == shape::kRectangle ? kTemplateRectangle
                                                               : kTemplateCircle)
      ->setChecked(true);
  int algorithmIndex = 0;
  if (d.defaultAlgorithm >= algorithm::kSSD && d.defaultAlgorithm <= algorithm::kManual)
    algorithmIndex = d.defaultAlgorithm - algorithm::kSSD;
  ControlAs<QRadioButton>(kFirstAlgorithm + algorithmIndex)->setChecked(true);
  int markShape = std::clamp(d.markShape, 0, shape::kCount - 1);
  ControlAs<QRadioButton>(kFirstMarker + markShape)->setChecked(true);
  const bool flags[4] = {d.tracking.adaptTemplate, d.tracking.breakOnBadMatch,
                         d.tracking.autoSingleStep, d.tracking.alwaysTrackGrayscale};
  for (int i = 0; i < 4; ++i) ControlAs<QCheckBox>(kFirstFlag + i)->setChecked(flags[i]);
  strip_->update();
}

bool ObjectSequenceDefaultsDlg::CanClose() {
  for (int id : {kTemplateWidth, kTemplateHeight, kXOffset, kYOffset, kMarkWidth, kMarkHeight,
                 kHLimit, kVLimit, kSSDThreshold})
    if (!ControlAs<QLineEdit>(id)->hasAcceptableInput()) return false;
  const std::optional<double> crossThreshold =
      DecimalField::Of(ControlAs<QLineEdit>(kCrossThreshold))->Take();
  if (!crossThreshold) return false;
  DefaultValueStruct& d = defaults_;
  auto value = [this](int id) { return ControlAs<QLineEdit>(id)->text().toInt(); };
  d.defaultAlgorithm = algorithm::kSSD;
  for (int i : {3, 1, 2})  // Manual, Cross, Texture: the first checked wins
    if (ControlAs<QRadioButton>(kFirstAlgorithm + i)->isChecked()) {
      d.defaultAlgorithm = algorithm::kSSD + i;
      break;
    }
  d.templateWidth = value(kTemplateWidth);
  d.templateHeight = value(kTemplateHeight);
  d.templateXOffset = value(kXOffset);
  d.templateYOffset = value(kYOffset);
  d.markWidth = value(kMarkWidth);
  d.markHeight = value(kMarkHeight);
  d.horizontalLimit = value(kHLimit);
  d.verticalLimit = value(kVLimit);
  d.tracking.thresholdSSD = value(kSSDThreshold);
  d.tracking.thresholdCross = *crossThreshold;
  d.templateShape =
      ControlAs<QRadioButton>(kTemplateRectangle)->isChecked() ? shape::kRectangle : shape::kCircle;
  for (int s = 0; s < shape::kCount; ++s)
    if (ControlAs<QRadioButton>(kFirstMarker + s)->isChecked()) d.markShape = s;
  bool* flags[4] = {&d.tracking.adaptTemplate, &d.tracking.breakOnBadMatch,
                    &d.tracking.autoSingleStep, &d.tracking.alwaysTrackGrayscale};
  for (int i = 0; i < 4; ++i) *flags[i] = ControlAs<QCheckBox>(kFirstFlag + i)->isChecked();
  d.Save();
  return true;
}

void ObjectSequenceDefaultsDlg::OnCommand(int id) {
  if (id == kDefaultValues) {
    defaults_.ResetToDefaultValues();
    Fill();
  } else if (id == kEdit) {
    ColorDialog(this, defaults_, palette_).Execute();
    Fill();
    activateWindow();
  }
}

ColorDialog::ColorDialog(QWidget* parent, DefaultValueStruct& defaults,
                         const PaletteColors& palette)
    : TableDialog(parent, "Predefined Object Colors", kColorControls), defaults_(defaults) {
  SetHelpContext(kColorHelp);
  ReplaceControl(kPalette, new PaletteView(this, palette));
  connect(ControlAs<QListWidget>(kList), &QListWidget::itemDoubleClicked, this,
          [this] { Change(); });
  FillList(0);
}

int ColorDialog::Selected() const { return ControlAs<QListWidget>(kList)->currentRow(); }

void ColorDialog::FillList(int select) {
  ControlAs<QLabel>(kFileName)->setText(
      QString::fromStdString(FileName(defaults_.colorMapPath).NameExt()));
  auto* list = ControlAs<QListWidget>(kList);
  list->clear();
  for (int i = 0; i < defaults_.colorCount; ++i) {
    QPixmap swatch(32, 12);
    swatch.fill(ToQColor(defaults_.colors[i]));
    list->addItem(new QListWidgetItem(QIcon(swatch), QString::number(i + 1) + ":"));
  }
  list->setCurrentRow(std::clamp(select, 0, defaults_.colorCount - 1));
  EnableButtons();
}

void ColorDialog::EnableButtons() {
  ControlAs<QPushButton>(kDelete)->setEnabled(defaults_.colorCount > 1);
  ControlAs<QPushButton>(kInsert)->setEnabled(defaults_.colorCount < kMaxMapColors);
  ControlAs<QPushButton>(kAppend)->setEnabled(defaults_.colorCount < kMaxMapColors);
}

void ColorDialog::Change() {
  int i = Selected();
  if (i < 0 || i >= defaults_.colorCount) return;
  auto chosen = platform::GetChoosers().ChooseColor(this, ToQColor(defaults_.colors[i]));
  if (!chosen) return;
  defaults_.colors[i] = {static_cast<std::uint8_t>(chosen->red()),
                         static_cast<std::uint8_t>(chosen->green()),
                         static_cast<std::uint8_t>(chosen->blue())};
  FillList(i);
}

void ColorDialog::OnCommand(int id) {
  auto& d = defaults_;
  int i = Selected();
  switch (id) {
    case kChange:
      Change();
      break;
    case kInsert:
    case kAppend: {
      if (d.colorCount >= kMaxMapColors || i < 0) return;
      int at = id == kInsert ? i : d.colorCount;
      std::copy_backward(d.colors.begin() + at, d.colors.begin() + d.colorCount,
                         d.colors.begin() + d.colorCount + 1);
      d.colors[at] = d.colors[id == kInsert ? i + 1 : i];
      ++d.colorCount;
      FillList(at);
      Change();
      break;
    }
    case kDelete:
      if (d.colorCount <= 1 || i < 0) return;
      std::copy(d.colors.begin() + i + 1, d.colors.begin() + d.colorCount, d.colors.begin() + i);
      --d.colorCount;
      FillList(std::min(i, d.colorCount - 1));
      break;
    case kUp:
      if (i > 0) {
        std::swap(d.colors[i], d.colors[i - 1]);
        FillList(i - 1);
      }
      break;
    case kDown:
      if (i >= 0 && i + 1 < d.colorCount) {
        std::swap(d.colors[i], d.colors[i + 1]);
        FillList(i + 1);
      }
      break;
    case kLoad:
    case kSaveAs: {
      platform::FileChoice choice{QString::fromUtf8(platform::LoadString(kColorTitleString).data()),
                                  platform::QtFileFilter(platform::LoadString(kColorFilterString)),
                                  QString::fromStdString(d.colorMapPath), "COL"};
      if (id == kLoad) {
        auto name = platform::GetChoosers().OpenFileName(this, choice);
        if (!name) return;
        std::array<MapColor, kMaxMapColors> loaded{};
        int n = ReadColorMap(name->toStdString(), loaded);
        if (n == 0) return;
        d.colors = loaded;
        d.colorCount = n;
        d.colorMapPath = name->toStdString();
        FillList(0);
      } else {
        auto name = platform::GetChoosers().SaveFileName(this, choice);
        if (!name) return;
        // A map that could not be saved there is not taken as the program's map, so that the
        // next save does not fail on it once more.
        const std::string path = name->toStdString();
        if (SaveColorMap(path, d.colors, d.colorCount)) d.colorMapPath = path;
        FillList(i);
      }
      break;
    }
    default:
      break;
  }
}

bool ColorDialog::CanClose() {
  defaults_.Save();
  return true;
}

void ColorDialog::reject() {
  defaults_.Load();
  TableDialog::reject();
}
