#include "analysis/ui/anlwindialogs_ui.h"

#include <QCoreApplication>
#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "analysis/analysis_ids.h"
#include "analysis/series/gapnetwork.h"
#include "base/messages.h"
#include "base/ui/decimalfield.h"

namespace {

using platform::ControlKind;
using platform::ControlSpec;

constexpr int kInputFailure = 32013, kEnterInteger = 32014, kEnterReal = 32015;

// The Coordinates dialog: one box per group, the buttons of all boxes exclusive.
std::vector<ControlSpec> CoordinateControls() {
  static const char* const kGroups[] = {"Place",     "Angle",     "Angle(XY)", "Angle(XZ)",
                                        "Angle(YZ)", "Distances", "Velocity",  "Acceleration"};
  // Row and column of each group's box.
  constexpr int kPlace[][2] = {{0, 0}, {0, 1}, {0, 2}, {5, 1}, {5, 2}, {5, 0}, {10, 0}, {10, 1}};
  std::vector<ControlSpec> controls;
  for (int g = 0; g < 8; ++g) {
    int rows = 1;
    for (const CoordinateButton& b : CoordinateButtons()) rows += b.group == g;
    controls.push_back({0, ControlKind::kGroupBox, kGroups[g], kPlace[g][0], kPlace[g][1], rows, 1});
    int row = kPlace[g][0] + 1;
    for (const CoordinateButton& b : CoordinateButtons())
      if (b.group == g)
        controls.push_back({b.id, ControlKind::kRadioButton, b.text, row++, kPlace[g][1], 1, 1, 1});
  }
  controls.push_back({1, ControlKind::kDefPushButton, "OK"});
  controls.push_back({2, ControlKind::kPushButton, "Cancel"});
  controls.push_back({platform::kIdHelp, ControlKind::kPushButton, "Help"});
  return controls;
}

const ControlSpec kDisplayControls[] = {
    {0, ControlKind::kGroupBox, "Number of Decimal Places", 0, 0, 3, 2},
    {0, ControlKind::kLabel, "Ordinate:", 1, 0},
    {22303, ControlKind::kEdit, "", 1, 1},
    {0, ControlKind::kLabel, "Abscissa:", 2, 0},
    {22300, ControlKind::kEdit, "", 2, 1},
    {0, ControlKind::kGroupBox, "Sizing", 3, 0, 3, 2},
    {0, ControlKind::kLabel, "Vertical:", 4, 0},
    {22304, ControlKind::kEdit, "", 4, 1},
    {0, ControlKind::kLabel, "Horizontal:", 5, 0},
    {22305, ControlKind::kEdit, "", 5, 1},
    {0, ControlKind::kGroupBox, "Display in Frame", 6, 0, 3, 2},
    {23209, ControlKind::kRadioButton, "&Fit", 7, 0, 1, 1, 1},
    {23210, ControlKind::kRadioButton, "&Not Fit", 8, 0, 1, 1, 1},
    {0, ControlKind::kGroupBox, "Style and Width", 0, 2, 3, 1},
    {23211, ControlKind::kPicture, "", 1, 2},
    {23214, ControlKind::kPushButton, "&Change ...", 2, 2},
    {0, ControlKind::kGroupBox, "Grid", 3, 2, 4, 1},
    {22227, ControlKind::kRadioButton, "&No", 4, 2, 1, 1, 2},
    {22228, ControlKind::kRadioButton, "&Large", 5, 2, 1, 1, 2},
    {22229, ControlKind::kRadioButton, "&Small", 6, 2, 1, 1, 2},
    {1, ControlKind::kDefPushButton, "OK"},
    {2, ControlKind::kPushButton, "Cancel"},
    {platform::kIdHelp, ControlKind::kPushButton, "Help"},
};

const ControlSpec kOrderControls[] = {
    {0, ControlKind::kLabel, "Order:", 0, 0},
    {22306, ControlKind::kEdit, "", 0, 1},
    {1, ControlKind::kDefPushButton, "Start"},
    {2, ControlKind::kPushButton, "Cancel"},
    {platform::kIdHelp, ControlKind::kPushButton, "Help"},
};

QString Text(platform::TableDialog& d, int id) { return d.ControlAs<QLineEdit>(id)->text(); }

// Refuses a field whose text fails the check, with the validator's message; the field gets the
// focus.
bool Check(platform::TableDialog& d, int id, bool ok, int message) {
  if (ok) return true;
  ErrorMessage(kInputFailure, message);
  d.ControlAs<QLineEdit>(id)->setFocus();
  return false;
}

// The palette of line styles beside the display-style dialog.
class LinienAngeben : public QWidget {
 public:
  LinienAngeben(DarstArtAngeben* dialog, bool markerAllowed)
      : QWidget(dialog, Qt::Tool) {
    setObjectName("LinienAngeben");
    auto* grid = new QGridLayout(this);
    int rows[4] = {};
    for (const LineStyleItem& item : LineStyleItems()) {
      if (!LineStyleOffered(item, markerAllowed)) continue;
      auto* button = new QToolButton(this);
      button->setObjectName(QString::number(item.command));
      button->setIcon(LineStyleIcon(item));
      button->setIconSize(QSize(48, 24));
      button->setCheckable(true);
      grid->addWidget(button, rows[item.column]++, item.column - 1);
      const LineStyleItem* picked = &item;
      connect(button, &QToolButton::clicked, this, [this, dialog, picked] {
        dialog->SetLineStyle(*picked);
        for (auto* b : findChildren<QToolButton*>())
          b->setChecked(b->objectName().toInt() == picked->command);
      });
    }
  }
};

class AbbruchGauge : public GapProgress {
 public:
  explicit AbbruchGauge(QWidget* parent) : parent_(parent) {}
  void Open(const std::string& caption, int x, int y) override {
    box_ = std::make_unique<QDialog>(parent_);
    box_->setObjectName("24227");
    box_->setWindowTitle(QString::fromStdString(caption));
    box_->setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(box_.get());
    gauge_ = new QProgressBar(box_.get());
    gauge_->setObjectName("208");
    gauge_->setRange(0, 100);
    gauge_->setFormat("%p%");
    gauge_->setMinimumSize(200, 34);
    layout->addWidget(gauge_);
    auto* cancel = new QPushButton("Cancel", box_.get());
    layout->addWidget(cancel, 0, Qt::AlignHCenter);
    aborted_ = false;
    QObject::connect(cancel, &QPushButton::clicked, box_.get(), [this] {
      aborted_ = true;
      box_->hide();
    });
    if (x >= 0) box_->move(x, y);
    box_->show();
  }
  bool Step(int done, int total) override {
    if (!box_) return true;
    gauge_->setValue(GaugePercent(static_cast<unsigned>(std::max(done, 0)),
                                  static_cast<unsigned>(std::max(total, 0))));
    gauge_->repaint();
    // Only the box takes input meanwhile: it is application-modal.
    QCoreApplication::processEvents();
    return !aborted_;
  }
  std::pair<int, int> Close() override {
    if (!box_) return {-1, -1};
    const QPoint at = box_->pos();
    box_.reset();
    return {at.x(), at.y()};
  }

 private:
  QWidget* parent_;
  std::unique_ptr<QDialog> box_;
  QProgressBar* gauge_ = nullptr;
  bool aborted_ = false;
};

}  // namespace

QIcon LineStyleIcon(const LineStyleItem& item) {
  QPixmap pixmap(48, 24);
  pixmap.fill(Qt::white);
  QPainter p(&pixmap);
  static const Qt::PenStyle kStyles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine,
                                         Qt::DashDotLine, Qt::DashDotDotLine};
  QPen pen(Qt::black, item.width, kStyles[std::min(item.penStyle, 4u)]);
  p.setPen(pen);
  if (item.connect) {
    p.drawLine(4, 12, 44, 12);
  } else {
    p.setBrush(Qt::black);
    for (int x = 6; x < 44; x += 9) {
      if (item.marker) p.drawRect(x - 2, 10, 5, 5);
      else p.drawEllipse(QPointF(x, 12), item.width * 0.7, item.width * 0.7);
    }
  }
  return QIcon(pixmap);
}

KoordAngeben::KoordAngeben(QWidget* parent, CoordinateTransfer& transfer)
    : TableDialog(parent, "Coordinates (Ordinate)", CoordinateControls()), transfer_(transfer) {
  SetHelpContext(35012);
  const auto buttons = CoordinateButtons();
  for (std::size_t i = 0; i < buttons.size(); ++i)
    ControlAs<QRadioButton>(buttons[i].id)->setChecked(transfer_.states[i] != 0);
}

bool KoordAngeben::CanClose() {
  const auto buttons = CoordinateButtons();
  for (std::size_t i = 0; i < buttons.size(); ++i)
    transfer_.states[i] = ControlAs<QRadioButton>(buttons[i].id)->isChecked() ? 1 : 0;
  return true;
}

DarstArtAngeben::DarstArtAngeben(QWidget* parent, DisplayStyleTransfer& transfer, int kind)
    : TableDialog(parent, "Display Style of all Curves", kDisplayControls),
      transfer_(transfer),
      kind_(kind) {
  SetHelpContext(35013);
  ControlAs<QLineEdit>(22303)->setMaxLength(1);
  ControlAs<QLineEdit>(22300)->setMaxLength(1);
  ControlAs<QLineEdit>(22304)->setMaxLength(11);
  ControlAs<QLineEdit>(22305)->setMaxLength(11);
  ControlAs<QLineEdit>(22303)->setText(QString::number(transfer_.ordinateDecimals));
  ControlAs<QLineEdit>(22300)->setText(QString::number(transfer_.abscissaDecimals));
  ControlAs<QLineEdit>(22304)->setText(QString::fromStdString(transfer_.verticalFactor));
  ControlAs<QLineEdit>(22305)->setText(QString::fromStdString(transfer_.horizontalFactor));
  // These fields have their own refusal, which asks for a point.
  DecimalField::Govern(ControlAs<QLineEdit>(22304), "Vertical", {kInputFailure, kEnterReal});
  DecimalField::Govern(ControlAs<QLineEdit>(22305), "Horizontal", {kInputFailure, kEnterReal});
  ControlAs<QRadioButton>(transfer_.fit ? 23209 : 23210)->setChecked(true);
  ControlAs<QRadioButton>(22227 + std::clamp(transfer_.grid, 0, 2))->setChecked(true);
  for (int id : {23209, 23210})
    connect(ControlAs<QRadioButton>(id), &QRadioButton::toggled, this, [this] { ShowFitChoice(); });
  ShowFitChoice();
  ShowStyle();
}

DarstArtAngeben::~DarstArtAngeben() = default;

void DarstArtAngeben::ShowFitChoice() {
  const bool fit = ControlAs<QRadioButton>(23209)->isChecked();
  ControlAs<QLineEdit>(22304)->setEnabled(!fit);
  ControlAs<QLineEdit>(22305)->setEnabled(!fit);
}

void DarstArtAngeben::ShowStyle() {
  const CurveStyleValues& s = transfer_.style;
  const LineStyleItem* item = MatchingLineStyle(s.width, s.penStyle, s.connect, s.marker);
  if (auto* picture = ControlAs<QLabel>(23211))
    picture->setPixmap(item ? LineStyleIcon(*item).pixmap(48, 24) : QPixmap());
}

void DarstArtAngeben::SetLineStyle(const LineStyleItem& item) {
  transfer_.style = {item.width, item.penStyle, item.connect, item.marker};
  ShowStyle();
}

void DarstArtAngeben::OnCommand(int id) {
  if (id != 23214) return;
  if (!palette_) {
    const bool markerAllowed = kind_ < quantity::kDistance || kind_ > quantity::kLastAngle;
    palette_ = new LinienAngeben(this, markerAllowed);
    palette_->move(frameGeometry().topRight() + QPoint(8, 0));
  }
  palette_->show();
  palette_->raise();
}

bool DarstArtAngeben::CanClose() {
  if (!Check(*this, 22303, IsIntegerInRange(Text(*this, 22303).toStdString(), 0, 9), kEnterInteger) ||
      !Check(*this, 22300, IsIntegerInRange(Text(*this, 22300).toStdString(), 0, 9), kEnterInteger))
    return false;
  const bool fit = ControlAs<QRadioButton>(23209)->isChecked();
  auto take = [this](int id) { return DecimalField::Of(ControlAs<QLineEdit>(id))->Take(); };
  if (!fit && (!take(22304) || !take(22305))) return false;
  transfer_.ordinateDecimals = Text(*this, 22303).toInt();
  transfer_.abscissaDecimals = Text(*this, 22300).toInt();
  transfer_.verticalFactor = Text(*this, 22304).toStdString();
  transfer_.horizontalFactor = Text(*this, 22305).toStdString();
  transfer_.fit = fit;
  for (int g = 0; g < 3; ++g)
    if (ControlAs<QRadioButton>(22227 + g)->isChecked()) transfer_.grid = g;
  return true;
}

OrdnAngeben::OrdnAngeben(QWidget* parent, int order)
    : TableDialog(parent, "Polynom Approximation", kOrderControls), order_(order) {
  SetHelpContext(35017);
  auto* edit = ControlAs<QLineEdit>(22306);
  edit->setMaxLength(2);
  edit->setText(QString::number(order));
}

bool OrdnAngeben::CanClose() {
  if (!Check(*this, 22306, IsIntegerInRange(Text(*this, 22306).toStdString(), 0, 99),
             kEnterInteger))
    return false;
  order_ = Text(*this, 22306).toInt();
  return true;
}

bool RunCoordinatesDialog(QWidget* parent, CoordinateTransfer& transfer) {
  CoordinateTransfer copy = transfer;
  KoordAngeben dialog(parent, copy);
  if (dialog.Execute() != 1) return false;
  transfer = copy;
  return true;
}

bool RunDisplayStyleDialog(QWidget* parent, DisplayStyleTransfer& transfer, int kind) {
  // The palette changes the copy at once; Cancel leaves the caller's record as it was.
  DisplayStyleTransfer copy = transfer;
  DarstArtAngeben dialog(parent, copy, kind);
  if (dialog.Execute() != 1) return false;
  transfer = copy;
  return true;
}

std::optional<int> RunOrderDialog(QWidget* parent, int order) {
  OrdnAngeben dialog(parent, order);
  if (dialog.Execute() != 1) return std::nullopt;
  return dialog.Order();
}

std::unique_ptr<GapProgress> MakeGapProgress(QWidget* parent) {
  return std::make_unique<AbbruchGauge>(parent);
}
