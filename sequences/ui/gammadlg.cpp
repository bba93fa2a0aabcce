#include "sequences/ui/gammadlg.h"

#include <QCheckBox>
#include <QLabel>
#include <QScrollBar>
#include <QSignalBlocker>

#include "platform/events.h"
#include "sequences/sequences_ids.h"

namespace {

using platform::ControlKind;

const platform::ControlSpec kControls[] = {
    {0, ControlKind::kLabel, "Red:", 0, 0},
    {seqid::kGammaRedBar, ControlKind::kScrollBar, "", 0, 1, 1, 2},
    {seqid::kGammaRedText, ControlKind::kLabel, "", 0, 3},
    {0, ControlKind::kLabel, "Green:", 1, 0},
    {seqid::kGammaGreenBar, ControlKind::kScrollBar, "", 1, 1, 1, 2},
    {seqid::kGammaGreenText, ControlKind::kLabel, "", 1, 3},
    {0, ControlKind::kLabel, "Blue:", 2, 0},
    {seqid::kGammaBlueBar, ControlKind::kScrollBar, "", 2, 1, 1, 2},
    {seqid::kGammaBlueText, ControlKind::kLabel, "", 2, 3},
    {seqid::kGammaKeepTogether, ControlKind::kCheckBox, "Keep together RGB", 3, 1, 1, 2},
    {seqid::kGammaLinear, ControlKind::kCheckBox, "Use linear gain", 4, 1, 1, 2},
    {seqid::kGammaReset, ControlKind::kPushButton, "Reset", 5, 0},
    {seqid::kGammaSaveDefault, ControlKind::kPushButton, "Save as Default", 5, 1},
    {1, ControlKind::kDefPushButton, "OK", 5, 3},
};

struct Bar {
  int bar;
  int text;
  GammaDialogModel::Colour colour;
};
constexpr Bar kBars[] = {{seqid::kGammaRedBar, seqid::kGammaRedText, GammaDialogModel::kRed},
                         {seqid::kGammaGreenBar, seqid::kGammaGreenText, GammaDialogModel::kGreen},
                         {seqid::kGammaBlueBar, seqid::kGammaBlueText, GammaDialogModel::kBlue}};

}  // namespace

GammaDialog::GammaDialog(QWidget* parent, CDIB& dib, GammaDefaults* defaults)
    : TableDialog(parent, "Gamma Correction", kControls),
      model_(
          dib,
          [parent] { platform::SendMessage(parent, seqid::kWmCommand, seqid::kCmRefreshImage); },
          defaults) {
  setModal(false);
  for (const Bar& b : kBars) {
    auto* bar = ControlAs<QScrollBar>(b.bar);
    bar->setRange(GammaDialogModel::kMinPosition, GammaDialogModel::kMaxPosition);
    bar->setSingleStep(GammaDialogModel::kLineStep);
    bar->setPageStep(GammaDialogModel::kPageStep);
    bar->setMinimumWidth(200);
    connect(bar, &QScrollBar::valueChanged, this, [this, colour = b.colour](int position) {
      model_.SetPosition(colour, position);
      Refresh();
    });
  }
  connect(ControlAs<QCheckBox>(seqid::kGammaKeepTogether), &QCheckBox::clicked, this,
          [this](bool on) {
            model_.SetKeepTogether(on);
            Refresh();
          });
  connect(ControlAs<QCheckBox>(seqid::kGammaLinear), &QCheckBox::clicked, this,
          [this](bool on) { model_.SetLinear(on); });
  Refresh();
}

void GammaDialog::OnCommand(int id) {
  if (id == seqid::kGammaReset) {
    model_.Reset();
    Refresh();
  } else if (id == seqid::kGammaSaveDefault) {
    model_.SaveAsDefault();
  }
}

void GammaDialog::Refresh() {
  for (const Bar& b : kBars) {
    auto* bar = ControlAs<QScrollBar>(b.bar);
    const QSignalBlocker block(bar);
    bar->setValue(model_.Position(b.colour));
    ControlAs<QLabel>(b.text)->setText(QString::fromStdString(model_.FactorText(b.colour)));
  }
  ControlAs<QCheckBox>(seqid::kGammaKeepTogether)->setChecked(model_.KeepTogether());
  ControlAs<QCheckBox>(seqid::kGammaLinear)->setChecked(model_.Linear());
}
