#include "base/ui/textformatdialog.h"

#include <QIntValidator>
#include <QLineEdit>
#include <QRadioButton>

#include "base/messages.h"

namespace {

using platform::ControlKind;
constexpr int kDialog = 21150;
constexpr int kPoint = 21151, kComma = 21152, kPrecision = 21153;
constexpr int kTab = 21154, kSpace = 21155, kCommaDelimiter = 21156, kSemicolon = 21157,
              kColon = 21158;
constexpr int kHelpContext = 35018;
constexpr int kUsageError = 31102, kSameCharacters = 31064;

const platform::ControlSpec kControls[] = {
    {0, ControlKind::kGroupBox, "Floating Point Numbers", 0, 0, 4, 2},
    {0, ControlKind::kLabel, "Decimal Place:", 1, 0},
    {kPoint, ControlKind::kRadioButton, "&. Point", 1, 1, 1, 1, 1},
    {kComma, ControlKind::kRadioButton, "&, Comma", 2, 1, 1, 1, 1},
    {0, ControlKind::kLabel, "&Precision:", 3, 0},
    {kPrecision, ControlKind::kEdit, "", 3, 1},
    {0, ControlKind::kGroupBox, "Column Borders", 0, 2, 6, 1},
    {kSpace, ControlKind::kRadioButton, "&Space", 1, 2, 1, 1, 2},
    {kTab, ControlKind::kRadioButton, "&Tab", 2, 2, 1, 1, 2},
    {kCommaDelimiter, ControlKind::kRadioButton, "&Comma", 3, 2, 1, 1, 2},
    {kSemicolon, ControlKind::kRadioButton, "S&emicolon", 4, 2, 1, 1, 2},
    {kColon, ControlKind::kRadioButton, "&Colon", 5, 2, 1, 1, 2},
    {1, ControlKind::kDefPushButton, "OK"},
    {2, ControlKind::kPushButton, "Cancel"},
    {platform::kIdHelp, ControlKind::kPushButton, "Help"},
};

struct DelimiterButton {
  int id;
  char c;
};
constexpr DelimiterButton kDelimiterButtons[] = {
    {kSpace, ' '}, {kTab, '\t'}, {kCommaDelimiter, ','}, {kSemicolon, ';'}, {kColon, ':'}};

}  // namespace

TextFormatDialog::TextFormatDialog(QWidget* parent)
    : TableDialog(parent, "Text Format Settings", kControls) {
  storeOnDestroy_ = false;
  SetHelpContext(kHelpContext);
  ControlAs<QRadioButton>(decimal == ',' ? kComma : kPoint)->setChecked(true);
  int delimiterButton = kSpace;
  for (const auto& b : kDelimiterButtons)
    if (b.c == delimiter) delimiterButton = b.id;
  ControlAs<QRadioButton>(delimiterButton)->setChecked(true);
  auto* edit = ControlAs<QLineEdit>(kPrecision);
  edit->setValidator(new QIntValidator(0, 10, edit));
  edit->setText(QString::number(precision));
  (void)kDialog;
}

bool TextFormatDialog::CanClose() {
  auto* edit = ControlAs<QLineEdit>(kPrecision);
  if (!edit->hasAcceptableInput()) return false;
  decimal = ControlAs<QRadioButton>(kComma)->isChecked() ? ',' : '.';
  for (const auto& b : kDelimiterButtons) {
    if (ControlAs<QRadioButton>(b.id)->isChecked()) {
      delimiter = b.c;
      break;
    }
  }
  precision = edit->text().toInt();
  if (!IsValid()) {
    ErrorMessage(kUsageError, kSameCharacters);
    return false;
  }
  storeOnDestroy_ = true;
  return true;
}
