#include "analysis/ui/valuepanes.h"

#include <QGridLayout>
#include <QLabel>

#include <algorithm>
#include <tuple>
#include <utility>

#include "analysis/plot/fadenkreuze.h"
#include "base/unitsorigin.h"

namespace {

constexpr int kCrosshairRows[] = {23236, 23237, 23238, 23239, 23240, 23241};
constexpr int kCombinedRows[] = {23244, 23245, 23246, 23247, 23248, 23249};
constexpr int kBarReading[] = {23242, 23243};
constexpr int kCombinedReading[] = {23250, 23251};

bool Missing(float v) { return v == kMissingValue; }

}  // namespace

ValuePane::ValuePane(QWidget* parent, const int* rowIds, const int* readingIds)
    : QFrame(parent),
      a1_(kMissingValue),
      b1_(kMissingValue),
      a2_(kMissingValue),
      b2_(kMissingValue) {
  setFrameShape(QFrame::StyledPanel);
  auto* grid = new QGridLayout(this);
  const int valueWidth = fontMetrics().horizontalAdvance(QString(kValueCharacters, QChar('0')));
  int row = 0;
  auto label = [&](const char* text) {
    grid->addWidget(new QLabel(QString::fromLatin1(text), this), row++, 0, 1, 2);
  };
  auto values = [&](int id1, int id2) {
    auto* one = new QLabel(this);
    auto* two = new QLabel(this);
    one->setObjectName(QString::number(id1));
    two->setObjectName(QString::number(id2));
    one->setMinimumWidth(valueWidth);
    two->setMinimumWidth(valueWidth);
    grid->addWidget(one, row, 0);
    grid->addWidget(two, row++, 1);
    return std::pair{one, two};
  };
  if (rowIds) {
    label("Absc.:");
    std::tie(rows_[0], rows_[1]) = values(rowIds[0], rowIds[1]);
    label("Ord.:");
    std::tie(rows_[2], rows_[3]) = values(rowIds[2], rowIds[3]);
    label("Difference:");
    std::tie(rows_[4], rows_[5]) = values(rowIds[4], rowIds[5]);
  }
  if (readingIds) {
    label("Frame No. Cur. Doc.:");
    std::tie(reading_[0], reading_[1]) = values(readingIds[0], readingIds[1]);
  }
  grid->setRowStretch(row, 1);
  // Two columns of the longest value side by side, never cut off.
  setFixedWidth(std::max(kTemplateWidth, minimumSizeHint().width()));
  UpdateControls();
  SetMode(1);
}

void ValuePane::ShowValues(float a1, float b1, float a2, float b2) {
  a1_ = a1, b1_ = b1, a2_ = a2, b2_ = b2;
  if (!HasCrosshairRows()) return;
  const int d = PaneDecimals({a1, b1, a2, b2});
  const float values[] = {a1, a2, b1, b2};
  for (int i = 0; i < 4; ++i)
    rows_[i]->setText(QString::fromStdString(FormatPaneValue(values[i], d)));
  rows_[4]->setText(QString::fromStdString(FormatPaneValue(a1 - a2, d)));
  rows_[5]->setText(QString::fromStdString(FormatPaneValue(b1 - b2, d)));
  UpdateControls();
}

void ValuePane::UpdateSelected(float a, float b) {
  if (crosshairs_ && crosshairs_->FirstSelected())
    SetFirst(a, b);
  else if (crosshairs_ && crosshairs_->SecondSelected())
    SetSecond(a, b);
}

void ValuePane::UpdateControls() {
  if (!HasCrosshairRows()) return;
  const bool first = crosshairs_ && crosshairs_->FirstSelected();
  const bool second = crosshairs_ && crosshairs_->SecondSelected();
  auto apply = [](QLabel* label, bool missing, bool active) {
    if (missing) {
      label->hide();
      return;
    }
    label->show();
    label->setEnabled(active);
  };
  apply(rows_[0], Missing(a1_), first);
  apply(rows_[1], Missing(a2_), second);
  apply(rows_[2], Missing(b1_), first);
  apply(rows_[3], Missing(b2_), second);
  apply(rows_[4], Missing(a1_) || Missing(a2_), first || second);
  apply(rows_[5], Missing(b1_) || Missing(b2_), first || second);
}

void ValuePane::ShowReading(float first, float second) {
  if (!HasReading()) return;
  const int d = PaneDecimals({first, second});
  reading_[0]->setText(QString::fromStdString(FormatPaneValue(first, d)));
  reading_[1]->setText(QString::fromStdString(FormatPaneValue(second, d)));
}

void ValuePane::SetMode(int mode) {
  if (!HasReading()) return;
  reading_[0]->setVisible(mode >= 1);
  reading_[1]->setVisible(mode >= 2);
}

FadenkreuzeDB::FadenkreuzeDB(QWidget* parent) : ValuePane(parent, kCrosshairRows, nullptr) {}
BarDB::BarDB(QWidget* parent) : ValuePane(parent, nullptr, kBarReading) {}
FadenkreuzeBarDB::FadenkreuzeBarDB(QWidget* parent)
    : ValuePane(parent, kCombinedRows, kCombinedReading) {}
