#include "base/ui/decimalfield.h"

#include <QLineEdit>

#include "base/messages.h"
#include "platform/numbers.h"

namespace {
constexpr int kNotANumberCaption = 31200, kNotANumber = 31201;
}  // namespace

DecimalField::DecimalField(QLineEdit* edit, const QString& name, std::optional<OwnRefusal> refusal)
    : QObject(edit), edit_(edit), name_(name), refusal_(refusal), held_(edit->text()) {
  edit->setValidator(nullptr);
  // A text the program puts in is the field's value; what the user types is not yet.
  connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (!edit_->isModified()) held_ = text;
  });
}

DecimalField* DecimalField::Govern(QLineEdit* edit, const QString& name) {
  return new DecimalField(edit, name, std::nullopt);
}

DecimalField* DecimalField::Govern(QLineEdit* edit, const QString& name, OwnRefusal refusal) {
  return new DecimalField(edit, name, refusal);
}

DecimalField* DecimalField::Of(const QLineEdit* edit) {
  return edit ? edit->findChild<DecimalField*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

std::optional<double> DecimalField::Take() {
  const std::string typed = edit_->text().toStdString();
  const auto number = platform::ReadTypedNumber(typed, !refusal_.has_value());
  if (!number) {
    Refuse(typed);
    return std::nullopt;
  }
  held_ = QString::fromStdString(number->text);
  if (edit_->text() != held_) edit_->setText(held_);
  edit_->setModified(false);
  taken_ = number->value;
  return number->value;
}

void DecimalField::Refuse(const std::string& typed) {
  const QString held = held_;
  if (refusal_)
    ErrorMessage(refusal_->captionId, refusal_->textId);
  else
    ErrorMessage(kNotANumberCaption, kNotANumber, name_.toStdString(), typed, held.toStdString());
  edit_->setText(held);
  edit_->selectAll();
  edit_->setFocus();
}
