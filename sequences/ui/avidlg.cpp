#include "sequences/ui/avidlg.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QRadioButton>
#include <QScrollBar>

#include "base/messages.h"
#include "base/ui/decimalfield.h"
#include "platform/strings.h"
#include "sequences/avi_ids.h"
#include "sequences/avisequence.h"
#include "sequences/ui/dibpaint.h"

namespace {

using platform::ControlKind;
constexpr int kDepthGroup = 1;
constexpr int kModeGroup = 2;
constexpr int kPreviewWidth = 192;
constexpr int kPreviewHeight = 144;
constexpr int kUsageError = 31102, kRateAboveZero = 31190;

const platform::ControlSpec kPropertiesControls[] = {
    {aviid::kFileGroup, ControlKind::kGroupBox, "", 0, 0, 7, 3},
    {0, ControlKind::kLabel, "Description:", 1, 0},
    {aviid::kDescription, ControlKind::kLabel, "", 1, 1, 1, 2},
    {0, ControlKind::kLabel, "Size:", 2, 0},
    {aviid::kSize, ControlKind::kLabel, "", 2, 1, 1, 2},
    {0, ControlKind::kLabel, "Colour depth:", 3, 0},
    {aviid::kDepth, ControlKind::kLabel, "", 3, 1, 1, 2},
    {0, ControlKind::kLabel, "Frames:", 4, 0},
    {aviid::kFrames, ControlKind::kLabel, "", 4, 1, 1, 2},
    {0, ControlKind::kLabel, "Frames/s:", 5, 0},
    {aviid::kRate, ControlKind::kLabel, "", 5, 1},
    {aviid::kChangeRate, ControlKind::kPushButton, "Change", 5, 2},
    {0, ControlKind::kLabel, "First frame:", 6, 0},
    {aviid::kFirstFrame, ControlKind::kLabel, "", 6, 1, 1, 2},
    // Frames without captions keep the two choices apart.
    {0, ControlKind::kGroupBox, "", 7, 0, 1, 3},
    {aviid::kTrueColour, ControlKind::kRadioButton, "24 bit true color", 7, 0, 1, 1, kDepthGroup},
    {aviid::kGreyscale, ControlKind::kRadioButton, "8 bit grayscale", 7, 1, 1, 1, kDepthGroup},
    {0, ControlKind::kGroupBox, "", 8, 0, 2, 3},
    {aviid::kModeNone, ControlKind::kRadioButton, "None", 8, 0, 1, 1, kModeGroup},
    {aviid::kModeSimple, ControlKind::kRadioButton, "Simple Splitting", 8, 1, 1, 1, kModeGroup},
    {aviid::kModeAspect, ControlKind::kRadioButton, "Keep Aspect", 8, 2, 1, 1, kModeGroup},
    {aviid::kModeCorrect, ControlKind::kRadioButton, "Correct Pixelshift", 9, 0, 1, 1, kModeGroup},
    {aviid::kModeInterpolate, ControlKind::kRadioButton, "Interpolate Lines", 9, 1, 1, 1,
     kModeGroup},
    {aviid::kOddFirst, ControlKind::kCheckBox, "Odd/Even", 9, 2},
    {aviid::kPreview, ControlKind::kPicture, "", 10, 0, 1, 3},
    {aviid::kPreviewBar, ControlKind::kScrollBar, "", 11, 0, 1, 3},
    {aviid::kUseStartPosition, ControlKind::kCheckBox, "Use current Position as Startposition", 12,
     0, 1, 3},
    {1, ControlKind::kDefPushButton, "OK", 13, 1},
    {platform::kIdHelp, ControlKind::kPushButton, "Help", 13, 2},
};

const platform::ControlSpec kRateControls[] = {
    {0, ControlKind::kLabel, "Frames/s in the file:", 0, 0},
    {aviid::kStreamRate, ControlKind::kLabel, "", 0, 1},
    {0, ControlKind::kLabel, "Frames/s:", 1, 0},
    {aviid::kRateEdit, ControlKind::kEdit, "", 1, 1},
    {1, ControlKind::kDefPushButton, "OK", 2, 0},
    {2, ControlKind::kPushButton, "Cancel", 2, 1},
    {platform::kIdHelp, ControlKind::kPushButton, "Help", 2, 2},
};

}  // namespace

AVIfpsDlg::AVIfpsDlg(QWidget* parent, AviPropertiesModel& model)
    : TableDialog(parent, "Frequence in original AVI-File", kRateControls), model_(model) {
  SetHelpContext(aviid::kRateHelp);
  ControlAs<QLabel>(aviid::kStreamRate)
      ->setText(QString::fromStdString(platform::Format("%.4f", model.StreamRate())));
  auto* edit = ControlAs<QLineEdit>(aviid::kRateEdit);
  edit->setMaxLength(20);
  edit->setText(QString::fromStdString(platform::Format("%.4f", model.Rate())));
  DecimalField::Govern(edit, "Frames/s");
}

bool AVIfpsDlg::CanClose() {
  DecimalField* field = DecimalField::Of(ControlAs<QLineEdit>(aviid::kRateEdit));
  if (!field->Take()) return false;
  double rate = 0.0;
  // 0: no rate to divide by.
  if (ParseFrameRate(field->Edit()->text().toStdString(), &rate) && model_.SetRate(rate))
    return true;
  ErrorMessage(kUsageError, kRateAboveZero);
  return false;
}

AviPropertiesDlg::AviPropertiesDlg(QWidget* parent, AviFrameSequence& sequence,
                                   AviPropertiesModel& model)
    : TableDialog(parent, "AVI Properties", kPropertiesControls),
      sequence_(sequence),
      model_(model) {
  SetHelpContext(aviid::kPropertiesHelp);
  Control(aviid::kFileGroup)
      ->setProperty("title", QString::fromStdString(sequence.GetFileName().Path()));
  ControlAs<QLabel>(aviid::kDescription)
      ->setText(QString::fromStdString(sequence.fsData.sequenceName));
  ControlAs<QRadioButton>(model.trueColour ? aviid::kTrueColour : aviid::kGreyscale)
      ->setChecked(true);
  ControlAs<QRadioButton>(aviid::kModeNone + model.halfFrameMode)->setChecked(true);
  ControlAs<QCheckBox>(aviid::kOddFirst)->setChecked(model.oddFieldFirst);
  ControlAs<QLabel>(aviid::kPreview)->setFixedSize(kPreviewWidth, kPreviewHeight);
  auto* bar = ControlAs<QScrollBar>(aviid::kPreviewBar);
  bar->setRange(1, std::max(1, model.Frames()));
  bar->setValue(model.previewPosition);
  connect(bar, &QScrollBar::valueChanged, this, [this](int) { Refresh(); });
  for (int id : {aviid::kTrueColour, aviid::kGreyscale, aviid::kModeNone, aviid::kModeSimple,
                 aviid::kModeAspect, aviid::kModeCorrect, aviid::kModeInterpolate}) {
    connect(ControlAs<QRadioButton>(id), &QRadioButton::toggled, this, [this](bool on) {
      if (on) Refresh();
    });
  }
  connect(ControlAs<QCheckBox>(aviid::kOddFirst), &QCheckBox::toggled, this, [this] { Refresh(); });
  Refresh();
}

void AviPropertiesDlg::TakeChoices() {
  model_.trueColour = ControlAs<QRadioButton>(aviid::kTrueColour)->isChecked();
  for (int mode = 0; mode <= 4; ++mode)
    if (ControlAs<QRadioButton>(aviid::kModeNone + mode)->isChecked()) model_.halfFrameMode = mode;
  model_.oddFieldFirst = ControlAs<QCheckBox>(aviid::kOddFirst)->isChecked();
  model_.useStartPosition = ControlAs<QCheckBox>(aviid::kUseStartPosition)->isChecked();
  model_.previewPosition = ControlAs<QScrollBar>(aviid::kPreviewBar)->value();
}

void AviPropertiesDlg::Refresh() {
  TakeChoices();
  auto set = [this](int id, const std::string& text) {
    ControlAs<QLabel>(id)->setText(QString::fromStdString(text));
  };
  set(aviid::kSize, model_.SizeText());
  set(aviid::kDepth, model_.DepthText());
  set(aviid::kFrames, model_.FramesText());
  set(aviid::kRate, model_.RateText());
  set(aviid::kFirstFrame, model_.FirstFrameText());
  if (sequence_.DecodePreview(model_.previewPosition, preview_)) {
    QImage image = DibToQImage(preview_);
    ControlAs<QLabel>(aviid::kPreview)
        ->setPixmap(
            QPixmap::fromImage(image.scaled(kPreviewWidth, kPreviewHeight, Qt::KeepAspectRatio)));
  }
}

void AviPropertiesDlg::OnCommand(int id) {
  if (id == aviid::kChangeRate) {
    AVIfpsDlg dialog(this, model_);
    dialog.Execute();
    Refresh();
  }
}

bool AviPropertiesDlg::CanClose() {
  TakeChoices();
  return true;
}

void InstallAviPropertiesDialog(QWidget* parent) {
  SetAviPropertiesRunner([parent](AviFrameSequence& sequence, AviPropertiesModel& model) {
    AviPropertiesDlg dialog(parent, sequence, model);
    return dialog.Execute();
  });
}
