#include "sequences/ui/filterdlg.h"

#include <QLineEdit>
#include <QRadioButton>

#include "platform/events.h"
#include "sequences/dib.h"
#include "sequences/sequences_ids.h"

namespace {

using platform::ControlKind;
constexpr int kFilterGroup = 1;

const platform::ControlSpec kControls[] = {
    {0, ControlKind::kGroupBox, "Linear Filters:", 0, 0, 7, 1},
    {seqid::kFilterOriginal, ControlKind::kRadioButton, "Original", 1, 0, 1, 1, kFilterGroup},
    {seqid::kFilterGreyScaleStretch, ControlKind::kRadioButton, "Grey Scale Stretch", 2, 0, 1, 1,
     kFilterGroup},
    {seqid::kFilterLowPass, ControlKind::kRadioButton, "Low Pass", 3, 0, 1, 1, kFilterGroup},
    {seqid::kFilterHighPass, ControlKind::kRadioButton, "High Pass", 4, 0, 1, 1, kFilterGroup},
    {seqid::kFilterContrastEnhancement, ControlKind::kRadioButton, "Contrast Enhancement", 5, 0, 1,
     1, kFilterGroup},
    {0, ControlKind::kGroupBox, "Edge Filters:", 0, 1, 7, 1},
    {seqid::kFilterSobel, ControlKind::kRadioButton, "Sobel", 1, 1, 1, 1, kFilterGroup},
    {seqid::kFilterPrewitt, ControlKind::kRadioButton, "Prewitt", 2, 1, 1, 1, kFilterGroup},
    {seqid::kFilterRobertsCross, ControlKind::kRadioButton, "Robert's Cross", 3, 1, 1, 1,
     kFilterGroup},
    {0, ControlKind::kGroupBox, "Morphological Filters:", 0, 2, 7, 1},
    {seqid::kFilterMedian, ControlKind::kRadioButton, "Median", 1, 2, 1, 1, kFilterGroup},
    {seqid::kFilterErosion, ControlKind::kRadioButton, "Erosion", 2, 2, 1, 1, kFilterGroup},
    {seqid::kFilterDilatation, ControlKind::kRadioButton, "Dilatation", 3, 2, 1, 1, kFilterGroup},
    {0, ControlKind::kGroupBox, "Texture Filters:", 0, 3, 7, 1},
    {seqid::kFilterMop8, ControlKind::kRadioButton, "MOP-8", 1, 3, 1, 1, kFilterGroup},
    {seqid::kFilterMop16, ControlKind::kRadioButton, "MOP-16", 2, 3, 1, 1, kFilterGroup},
    {seqid::kFilterMop24, ControlKind::kRadioButton, "MOP-24", 3, 3, 1, 1, kFilterGroup},
    {0, ControlKind::kLabel, "Delay (ms):", 7, 0},
    {seqid::kFilterPaintDelay, ControlKind::kEdit, "0", 7, 1},
    {1, ControlKind::kDefPushButton, "OK", 8, 1},
    {2, ControlKind::kPushButton, "Cancel", 8, 2},
    {platform::kIdHelp, ControlKind::kPushButton, "Help", 8, 3},
};

}  // namespace

FilterDlg::FilterDlg(QWidget* parent, CDIB& dib)
    : TableDialog(parent, "Filtering the Sequence", kControls), model_(dib, [parent] {
        platform::SendMessage(parent, seqid::kWmCommand, seqid::kCmRefreshImage);
      }) {
  setModal(false);
  SetHelpContext(seqid::kFilterHelpContext);
  for (int id = seqid::kFilterOriginal; id <= seqid::kFilterMop24; ++id) {
    auto* radio = ControlAs<QRadioButton>(id);
    radio->setChecked(id == model_.Filter());
    connect(radio, &QRadioButton::clicked, this, [this, id] { model_.Choose(id); });
  }
  auto* delay = ControlAs<QLineEdit>(seqid::kFilterPaintDelay);
  delay->setText(QString::fromStdString(model_.PaintDelayText()));
  connect(delay, &QLineEdit::editingFinished, this,
          [this, delay] { model_.SetPaintDelayText(delay->text().toStdString()); });
}

void FilterDlg::done(int result) {
  if (result == kCancel) {
    model_.Cancel();
  } else {
    // The delay counts even when OK is pressed while the edit still has the focus.
    model_.SetPaintDelayText(ControlAs<QLineEdit>(seqid::kFilterPaintDelay)->text().toStdString());
  }
  TableDialog::done(result);
}
