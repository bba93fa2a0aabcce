#include "sequences/ui/colreducedlg.h"

#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QTimer>

#include "platform/strings.h"
#include "sequences/framesequence.h"
#include "sequences/sequences_ids.h"

namespace {

using platform::ControlKind;
constexpr int kMethodGroup = 1;
constexpr int kOk = 1;
constexpr int kIntro = 20137;  // the explaining text
constexpr int kIntroWidth = 360;
constexpr char kTitle[] = "Color Reduction";

const platform::ControlSpec kSetupControls[] = {
    {kIntro, ControlKind::kLabel,
     "The document contains true color sequences that must be reduced to 256 colors. Specify the "
     "frames that shall be used for generating a histogram:",
     0, 0, 1, 3},
    {0, ControlKind::kLabel, "&From Frame", 1, 0},
    {seqid::kColReduceFrom, ControlKind::kEdit, "", 1, 1},
    {0, ControlKind::kLabel, "&to Frame", 2, 0},
    {seqid::kColReduceTo, ControlKind::kEdit, "", 2, 1},
    {0, ControlKind::kLabel, "&every", 3, 0},
    {seqid::kColReduceEvery, ControlKind::kEdit, "", 3, 1},
    {0, ControlKind::kLabel, " Frame", 3, 2},
    {0, ControlKind::kGroupBox, "", 4, 0, 2, 3},
    {seqid::kColReducePopularity, ControlKind::kRadioButton, "&Popularity Alg.", 4, 0, 1, 1,
     kMethodGroup},
    {seqid::kColReduceMedianCut, ControlKind::kRadioButton, "&Median Cut", 5, 0, 1, 1,
     kMethodGroup},
    {kOk, ControlKind::kDefPushButton, "OK", 6, 1},
    {platform::kIdHelp, ControlKind::kPushButton, "Help", 6, 2},
};

const platform::ControlSpec kProgressControls[] = {
    {0, ControlKind::kLabel, "File:", 0, 0},
    {seqid::kColReduceFileName, ControlKind::kLabel, "", 0, 1},
    {seqid::kColReduceTask, ControlKind::kLabel, "", 1, 0, 1, 2},
    {seqid::kColReduceGauge, ControlKind::kLabel, "", 2, 0, 1, 2},
};

QString Text(int id) { return QString::fromUtf8(platform::LoadString(id).data()); }

}  // namespace

SetupColReduceDlg::SetupColReduceDlg(QWidget* parent, int frames)
    : TableDialog(parent, kTitle, kSetupControls), model_(frames, ColReduceSettingsInUse().method) {
  SetHelpContext(seqid::kColReduceHelpContext);
  // The long explanation wraps instead of widening the dialog to one line.
  auto* intro = ControlAs<QLabel>(kIntro);
  intro->setWordWrap(true);
  intro->setMinimumWidth(kIntroWidth);
  const ColReduceSettings& s = model_.Settings();
  const struct {
    int id, value;
  } fields[] = {{seqid::kColReduceFrom, s.from},
                {seqid::kColReduceTo, s.to},
                {seqid::kColReduceEvery, s.every}};
  for (const auto& f : fields) {
    auto* edit = ControlAs<QLineEdit>(f.id);
    // Frames lie within the document; every is at least 1.
    edit->setValidator(new QIntValidator(1, std::max(frames, 1), edit));
    edit->setText(QString::number(f.value));
  }
  const bool popularity = s.method == ColReduceMethod::kPopularity;
  ControlAs<QRadioButton>(seqid::kColReducePopularity)->setChecked(popularity);
  ControlAs<QRadioButton>(seqid::kColReduceMedianCut)->setChecked(!popularity);
}

int SetupColReduceDlg::Execute() {
  if (!model_.NeedsChoice()) {
    ColReduceSettingsInUse() = model_.Settings();
    return kOk;
  }
  return TableDialog::Execute();
}

bool SetupColReduceDlg::CanClose() {
  auto number = [this](int id) { return ControlAs<QLineEdit>(id)->text().toInt(); };
  const bool popularity = ControlAs<QRadioButton>(seqid::kColReducePopularity)->isChecked();
  ColReduceSettingsInUse() = model_.Accept(
      number(seqid::kColReduceFrom), number(seqid::kColReduceTo), number(seqid::kColReduceEvery),
      popularity ? ColReduceMethod::kPopularity : ColReduceMethod::kMedianCut);
  return true;
}

ColReduceDlg::ColReduceDlg(QWidget* parent, FrameSequence& sequence)
    : TableDialog(parent, kTitle, kProgressControls),
      sequence_(sequence),
      gauge_(new QProgressBar(this)) {
  ControlAs<QLabel>(seqid::kColReduceFileName)
      ->setText(QString::fromStdString(sequence.GetFileName().Path()));
  ControlAs<QLabel>(seqid::kColReduceTask)->setText(Text(seqid::kColReduceHistogramTask));
  gauge_->setRange(0, 100);
  gauge_->setFormat("%p%");
  gauge_->setValue(0);
  ReplaceControl(seqid::kColReduceGauge, gauge_);
}

int ColReduceDlg::Execute() {
  // The first event the dialog's own loop handles: by then it is on the screen.
  QTimer::singleShot(0, this, [this] { Run(); });
  return TableDialog::Execute();
}

void ColReduceDlg::Run() {
  auto* task = ControlAs<QLabel>(seqid::kColReduceTask);
  ReduceSequenceColors(
      sequence_, ColReduceSettingsInUse(), ColReduceOneFrameOnly(),
      [task](int id) {
        task->setText(Text(id));
        task->repaint();
      },
      [this](int percent) {
        if (percent == gauge_->value()) return;
        gauge_->setValue(percent);
        gauge_->repaint();
      });
  EndDialog(kOk);
}
