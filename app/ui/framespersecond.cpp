#include "app/ui/framespersecond.h"

#include <QLabel>
#include <QLineEdit>

#include "base/messages.h"
#include "base/ui/decimalfield.h"
#include "platform/numbers.h"

namespace {

using platform::ControlKind;
constexpr int kRateEdit = 20391, kHighest = 20392, kLowest = 20393;
constexpr int kHelpContext = 35019;
constexpr int kUsageError = 31102, kRateAboveZero = 31190;

const platform::ControlSpec kControls[] = {
    {0, ControlKind::kGroupBox, "Frequence in Frames per Second:", 0, 0, 3, 4},
    {0, ControlKind::kLabel, "Frequences vary from", 1, 0},
    {kLowest, ControlKind::kLabel, "", 1, 1},
    {0, ControlKind::kLabel, "to", 1, 2},
    {kHighest, ControlKind::kLabel, "", 1, 3},
    {0, ControlKind::kLabel, "Consisting Frequence:", 2, 0},
    {kRateEdit, ControlKind::kEdit, "", 2, 1, 1, 3},
    {1, ControlKind::kDefPushButton, "OK"},
    {platform::kIdHelp, ControlKind::kPushButton, "Help"},
};

QString Rate(float r) { return QString::fromStdString(platform::FormatFixed(r, 4)); }

}  // namespace

bool ParseFrameRate(const std::string& text, float& rate) {
  float chosen = rate;  // a text that is no number keeps the rate
  if (platform::NumberPrefixLength(text) > 0)
    chosen = static_cast<float>(platform::ParseDouble(text));
  // A rate of 0 would divide every time conversion by zero.
  if (!(chosen > 0.0f) || chosen > 1e9f) return false;
  rate = chosen;
  return true;
}

FramesPerSecondDlg::FramesPerSecondDlg(QWidget* parent, float* rate, float highest)
    : TableDialog(parent, "Video-Frequences", kControls), rate_(rate) {
  SetHelpContext(kHelpContext);
  ControlAs<QLabel>(kLowest)->setText(Rate(*rate));
  ControlAs<QLabel>(kHighest)->setText(Rate(highest));
  auto* edit = ControlAs<QLineEdit>(kRateEdit);
  edit->setMaxLength(19);
  edit->setText(Rate(*rate));
  DecimalField::Govern(edit, "Consisting Frequence");
}

bool FramesPerSecondDlg::CanClose() {
  DecimalField* field = DecimalField::Of(ControlAs<QLineEdit>(kRateEdit));
  if (!field->Take()) return false;
  if (ParseFrameRate(field->Edit()->text().toStdString(), *rate_)) return true;
  ErrorMessage(kUsageError, kRateAboveZero);
  return false;
}
