#pragma once

// Dialogs declared as a table of controls: each row gives the control's id, kind, text and place
// in a grid, and the builder makes the widget with the id as its objectName (so tests find it).
// Buttons 1 (OK), 2 (Cancel), 6 (Yes) and 7 (No) end the dialog with their id as result; Esc and
// the close box give 2. A Help button (id kIdHelp) opens the dialog's help context.
//
// Layout: a group box holds every control whose cells lie inside the cells it spans; they go
// into the box's own grid (same row and column numbers, so a table reads as the dialog looks)
// under its caption. Boxes may nest. A label whose text has a mnemonic ("&Width:") gets as buddy
// the field to its right in its row, else the next control of the table that takes the focus;
// with neither the ampersand is dropped, so it never shows. The buttons that end the dialog and
// Help sit in a row at the bottom right, whatever place the table gives them. The dialog is at
// least as wide as its title needs.

#include <QDialog>
#include <QString>

#include <functional>
#include <map>
#include <span>
#include <vector>

class QButtonGroup;
class QGridLayout;
class QHBoxLayout;
class QSpacerItem;

namespace platform {

inline constexpr int kIdHelp = 9;

enum class ControlKind {
  kLabel,    // static text
  kPicture,  // static picture
  kEdit,     // one-line edit
  kCheckBox,
  kRadioButton,
  kPushButton,
  kDefPushButton,  // the default button
  kGroupBox,       // a frame with a caption holding the controls inside the cells it spans
  kComboBox,
  kListBox,
  kScrollBar,  // horizontal
  kSlider,     // horizontal
};

struct ControlSpec {
  int id;
  ControlKind kind;
  const char* text;
  int row = 0;
  int column = 0;
  int rowSpan = 1;
  int columnSpan = 1;
  int group = 0;  // radio buttons with one group number exclude each other
};

class TableDialog : public QDialog {
  Q_OBJECT
 public:
  TableDialog(QWidget* parent, const QString& caption, std::span<const ControlSpec> controls);

  QWidget* Control(int id) const;
  template <class W>
  W* ControlAs(int id) const {
    return qobject_cast<W*>(Control(id));
  }

  // Puts an owner-drawn control of the dialog's own in the place of control id; it takes the id
  // as its objectName, the old control's parent and place, and the label that named the old
  // control; it is returned.
  QWidget* ReplaceControl(int id, QWidget* widget);

  // Runs the dialog modally; its result is the id of the button that ended it.
  int Execute();
  void EndDialog(int result) { done(result); }

  // The help context the Help button opens.
  void SetHelpContext(int context) { helpContext_ = context; }

  void reject() override { done(kCancel); }

  static constexpr int kCancel = 2;

 protected:
  void changeEvent(QEvent* event) override;

  // Called for a button that does not end the dialog (and for OK before it ends it: return false
  // to keep the dialog open).
  virtual void OnCommand(int id) { (void)id; }
  virtual bool CanClose() { return true; }

 private:
  // The widgets of the table, in its order, each made inside its group box.
  std::vector<QWidget*> MakeControls(std::span<const ControlSpec> controls,
                                     const std::vector<int>& container, QGridLayout* grid,
                                     QHBoxLayout* buttons);
  void KeepNaturalSizes(QGridLayout* grid);
  void GiveLabelsBuddies(std::span<const ControlSpec> controls, const std::vector<int>& container,
                         const std::vector<QWidget*>& widgets);
  QWidget* Make(const ControlSpec& spec, QWidget* parent);
  void Clicked(int id);
  void FitTitle();

  std::map<int, QWidget*> controls_;
  std::map<int, QButtonGroup*> groups_;
  int helpContext_ = 0;
  QSpacerItem* titleWidth_ = nullptr;
};

// Where Help buttons send their context id (the program's help window).
void SetHelpHandler(std::function<void(int context)> handler);
void ShowHelpContext(int context);

}  // namespace platform
