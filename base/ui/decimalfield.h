#pragma once

// DecimalField: the one rule for every dialog field that takes a number with decimals. A dialog
// puts it on its edit once and reads the edit only through Take, so in every dialog a comma
// typed as the decimal mark is the decimal point ("29,97" is 29.97) and the field then shows the
// number with a point, as the program writes it. No key is dropped while typing (the digits of
// "29,97" never run together); a text that is still no number when the dialog takes it is
// refused with a message naming the field (or the dialog's own message, where it has one), the
// field shows the value it held before and takes the focus, and the dialog keeps its value.

#include <QObject>
#include <QString>

#include <optional>
#include <string>

class QLineEdit;

class DecimalField : public QObject {
  Q_OBJECT
 public:
  // A dialog's own refusal (caption and text ids of the string table, no arguments): its field
  // takes only a point as the decimal mark.
  struct OwnRefusal {
    int captionId;
    int textId;
  };

  // Puts the rule on edit (any validator goes: it would drop keys unseen). name is how the
  // message calls the field: its label without "&" and ":".
  static DecimalField* Govern(QLineEdit* edit, const QString& name);
  static DecimalField* Govern(QLineEdit* edit, const QString& name, OwnRefusal refusal);
  // The rule on edit, or null: how checks find every field it governs, in any dialog.
  static DecimalField* Of(const QLineEdit* edit);

  // The field's number, shown again with a point; none when the text is refused (see above).
  std::optional<double> Take();

  QLineEdit* Edit() const { return edit_; }
  const QString& Name() const { return name_; }
  // The value the last Take gave its dialog.
  std::optional<double> Taken() const { return taken_; }

 private:
  DecimalField(QLineEdit* edit, const QString& name, std::optional<OwnRefusal> refusal);
  void Refuse(const std::string& typed);

  QLineEdit* edit_;
  QString name_;
  std::optional<OwnRefusal> refusal_;
  QString held_;  // the text the program last put in the field or last took from it
  std::optional<double> taken_;
};
