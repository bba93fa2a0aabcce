#include "app/ui/pagesetupdlg.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>

#include "app/pagesetup.h"
#include "app/printersettings.h"
#include "base/ui/decimalfield.h"

namespace {

using platform::ControlKind;
constexpr int kPageSize = 21011;
constexpr int kAreaLeft = 21012, kAreaTop = 21013, kAreaWidth = 21014, kAreaHeight = 21015;
constexpr int kInch = 21016, kMillimeter = 21017;
constexpr int kMarginLeft = 21018, kMarginRight = 21019, kMarginTop = 21020, kMarginBottom = 21021;
constexpr int kKeepAspect = 21023, kWholePage = 21024, kPosition = 21025;
constexpr int kHelpContext = 21001;
constexpr int kMaxTypedChars = 200;
// Room for "9999.99", so the panel leaves the page most of the preview.
constexpr int kEditChars = 8;
constexpr QRgb kPickerFace = qRgb(192, 192, 192), kPickerMark = qRgb(128, 128, 128);

const platform::ControlSpec kControls[] = {
    {0, ControlKind::kGroupBox, "Ratio", 0, 0, 1, 2},
    {kKeepAspect, ControlKind::kCheckBox, "Keep Aspect", 0, 0},
    {kWholePage, ControlKind::kCheckBox, "Whole Page", 0, 1},
    {kPosition, ControlKind::kLabel, "", 0, 2, 1, 2},
    {0, ControlKind::kGroupBox, "Margins", 1, 0, 2, 4},
    {0, ControlKind::kLabel, "Left:", 1, 0},
    {kMarginLeft, ControlKind::kEdit, "", 1, 1},
    {0, ControlKind::kLabel, "Right:", 1, 2},
    {kMarginRight, ControlKind::kEdit, "", 1, 3},
    {0, ControlKind::kLabel, "Top:", 2, 0},
    {kMarginTop, ControlKind::kEdit, "", 2, 1},
    {0, ControlKind::kLabel, "Bottom:", 2, 2},
    {kMarginBottom, ControlKind::kEdit, "", 2, 3},
    {0, ControlKind::kGroupBox, "Print Area", 3, 0, 2, 4},
    {0, ControlKind::kLabel, "Left:", 3, 0},
    {kAreaLeft, ControlKind::kEdit, "", 3, 1},
    {0, ControlKind::kLabel, "Top:", 3, 2},
    {kAreaTop, ControlKind::kEdit, "", 3, 3},
    {0, ControlKind::kLabel, "Width:", 4, 0},
    {kAreaWidth, ControlKind::kEdit, "", 4, 1},
    {0, ControlKind::kLabel, "Height:", 4, 2},
    {kAreaHeight, ControlKind::kEdit, "", 4, 3},
    {0, ControlKind::kLabel, "Print Range:", 5, 0},
    {kPageSize, ControlKind::kLabel, "", 5, 1, 1, 3},
    {0, ControlKind::kGroupBox, "Values in", 6, 0, 1, 4},
    {kInch, ControlKind::kRadioButton, "&Inch", 6, 0, 1, 2, 1},
    {kMillimeter, ControlKind::kRadioButton, "&Millimeter", 6, 2, 1, 2, 1},
};

constexpr int kMarginIds[] = {kMarginLeft, kMarginRight, kMarginTop, kMarginBottom};
constexpr int kAreaIds[] = {kAreaLeft, kAreaTop, kAreaWidth, kAreaHeight};

// How a refusal names each field: two boxes have a "Left:" and a "Top:".
constexpr struct {
  int id;
  const char* name;
} kFieldNames[] = {
    {kMarginLeft, "Left margin"},     {kMarginRight, "Right margin"},
    {kMarginTop, "Top margin"},       {kMarginBottom, "Bottom margin"},
    {kAreaLeft, "Print area left"},   {kAreaTop, "Print area top"},
    {kAreaWidth, "Print area width"}, {kAreaHeight, "Print area height"},
};

const char* FieldName(int id) {
  for (const auto& field : kFieldNames)
    if (field.id == id) return field.name;
  return "";
}

}  // namespace

PageSetupDialog::PageSetupDialog(QWidget* parent, PrinterSettings& settings)
    : TableDialog(parent, QString(), kControls), settings_(settings) {
  setWindowFlags(Qt::Widget);
  SetHelpContext(kHelpContext);
  ReplaceControl(kPosition, new PositionButton(*this));
  for (int id : kMarginIds) PrepareEdit(id, [this] { ReadMargins(); });
  for (int id : kAreaIds) PrepareEdit(id, [this, id] { ReadArea(id); });
  auto* keep = ControlAs<QCheckBox>(kKeepAspect);
  keep->setChecked(settings_.KeepAspect);
  connect(keep, &QCheckBox::toggled, this, [this](bool on) {
    settings_.KeepAspect = on;
    settings_.Clamp();
    Changed(true);
  });
  auto* whole = ControlAs<QCheckBox>(kWholePage);
  whole->setChecked(settings_.WholePage);
  connect(whole, &QCheckBox::toggled, this, [this](bool on) {
    settings_.WholePage = on;
    Changed(false);
  });
  auto* inch = ControlAs<QRadioButton>(kInch);
  auto* mm = ControlAs<QRadioButton>(kMillimeter);
  (g_PageSetupInInches ? inch : mm)->setChecked(true);
  connect(inch, &QRadioButton::toggled, this, [this](bool on) {
    g_PageSetupInInches = on;
    ShowValues();
  });
  ShowValues();
}

PageSetupDialog::~PageSetupDialog() {
  // Closing the panel takes the focus from its field, which would read it into a panel whose
  // controls are going.
  for (QLineEdit* edit : findChildren<QLineEdit*>()) disconnect(edit, nullptr, this, nullptr);
}

void PageSetupDialog::PrepareEdit(int id, const std::function<void()>& read) {
  auto* edit = ControlAs<QLineEdit>(id);
  edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QString(kEditChars, '9')) + 12);
  edit->setMaxLength(kMaxTypedChars);
  DecimalField::Govern(edit, FieldName(id));
  connect(edit, &QLineEdit::editingFinished, this, read);
}

void PageSetupDialog::ShowValues() {
  const bool inches = g_PageSetupInInches;
  auto show = [&](int id, std::int32_t value) {
    ControlAs<QLineEdit>(id)->setText(QString::fromStdString(FormatLength(value, inches)));
  };
  ControlAs<QLabel>(kPageSize)->setText(QString::fromStdString(FormatPaperSize(settings_, inches)));
  show(kMarginLeft, settings_.MarginLeft);
  show(kMarginRight, settings_.MarginRight);
  show(kMarginTop, settings_.MarginTop);
  show(kMarginBottom, settings_.MarginBottom);
  show(kAreaLeft, settings_.AreaLeft);
  show(kAreaTop, settings_.AreaTop);
  show(kAreaWidth, settings_.AreaWidth);
  show(kAreaHeight, settings_.AreaHeight);
  if (QWidget* picker = Control(kPosition)) picker->update();
}

bool PageSetupDialog::Take(int id) {
  return DecimalField::Of(ControlAs<QLineEdit>(id))->Take().has_value();
}

void PageSetupDialog::ReadMargins() {
  for (int id : kMarginIds)
    if (!Take(id)) return;  // refused: every margin stays
  const bool inches = g_PageSetupInInches;
  auto read = [&](int id, std::int32_t limit) {
    return double(ReadLength(ControlAs<QLineEdit>(id)->text().toStdString(), inches, limit));
  };
  const double typed[4] = {
      read(kMarginLeft, settings_.PaperWidth), read(kMarginRight, settings_.PaperWidth),
      read(kMarginTop, settings_.PaperHeight), read(kMarginBottom, settings_.PaperHeight)};
  if (SetMargins(settings_, typed)) Changed(true);
}

void PageSetupDialog::ReadArea(int id) {
  if (!Take(id)) return;
  const bool horizontal = id == kAreaLeft || id == kAreaWidth;
  const std::int32_t value =
      ReadLength(ControlAs<QLineEdit>(id)->text().toStdString(), g_PageSetupInInches,
                 horizontal ? settings_.PaperWidth : settings_.PaperHeight);
  const bool changed = id == kAreaLeft || id == kAreaTop
                           ? SetAreaStart(settings_, horizontal, value)
                           : SetAreaSize(settings_, horizontal, value);
  if (changed) Changed(true);
}

void PageSetupDialog::Changed(bool showValues) {
  if (showValues) ShowValues();
  emit LayoutChanged();
}

PositionButton::PositionButton(PageSetupDialog& panel) : QWidget(&panel), panel_(panel) {
  setMinimumSize(sizeHint());
  setCursor(Qt::PointingHandCursor);
}

void PositionButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect r = rect();
  const int cw = (r.width() - 1) / 3, ch = (r.height() - 1) / 3;
  painter.fillRect(r, QColor(kPickerFace));
  painter.setPen(Qt::black);
  for (int i = 0; i <= 3; ++i) {
    painter.drawLine(r.left(), r.top() + i * ch, r.left() + 3 * cw, r.top() + i * ch);
    painter.drawLine(r.left() + i * cw, r.top(), r.left() + i * cw, r.top() + 3 * ch);
  }
  const PrinterSettings& s = panel_.Settings();
  const int column = s.HorzPosition == PosLeft ? 0 : s.HorzPosition == PosRight ? 2 : 1;
  const int row = s.VertPosition == PosTop ? 0 : s.VertPosition == PosBottom ? 2 : 1;
  painter.fillRect(QRect(r.left() + column * cw + 3, r.top() + row * ch + 3, cw - 5, ch - 5),
                   QColor(kPickerMark));
}

void PositionButton::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const int cw = (width() - 1) / 3, ch = (height() - 1) / 3;
  PickPosition(panel_.Settings(), static_cast<int>(event->position().x()),
               static_cast<int>(event->position().y()), cw, ch);
  update();
  panel_.ShowValues();
  emit panel_.LayoutChanged();
  panel_.setFocus();
}
