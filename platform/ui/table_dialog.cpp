#include "platform/ui/table_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QVBoxLayout>

namespace platform {
namespace {

std::function<void(int)>& HelpHandler() {
  static std::function<void(int)> handler;
  return handler;
}

bool EndsDialog(int id) { return id == 1 || id == 2 || id == 6 || id == 7; }

bool IsButtonRow(const ControlSpec& spec) {
  return (spec.kind == ControlKind::kPushButton || spec.kind == ControlKind::kDefPushButton) &&
         (EndsDialog(spec.id) || spec.id == kIdHelp);
}

}  // namespace

void SetHelpHandler(std::function<void(int)> handler) { HelpHandler() = std::move(handler); }

void ShowHelpContext(int context) {
  if (HelpHandler()) HelpHandler()(context);
}

TableDialog::TableDialog(QWidget* parent, const QString& caption,
                         std::span<const ControlSpec> controls)
    : QDialog(parent) {
  setWindowTitle(caption);
  auto* outer = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  outer->addLayout(grid);
  outer->addLayout(buttons);
  for (const ControlSpec& spec : controls) {
    QWidget* w = Make(spec);
    if (IsButtonRow(spec)) {
      buttons->addWidget(w);
    } else {
      grid->addWidget(w, spec.row, spec.column, spec.rowSpan, spec.columnSpan);
    }
  }
}

QWidget* TableDialog::Make(const ControlSpec& spec) {
  const QString text = QString::fromUtf8(spec.text ? spec.text : "");
  QWidget* w = nullptr;
  switch (spec.kind) {
    case ControlKind::kLabel:
      w = new QLabel(text, this);
      break;
    case ControlKind::kPicture:
      w = new QLabel(this);
      break;
    case ControlKind::kEdit:
      w = new QLineEdit(text, this);
      break;
    case ControlKind::kCheckBox:
      w = new QCheckBox(text, this);
      break;
    case ControlKind::kRadioButton: {
      auto* radio = new QRadioButton(text, this);
      if (spec.group) {
        QButtonGroup*& group = groups_[spec.group];
        if (!group) group = new QButtonGroup(this);
        group->addButton(radio);
      }
      w = radio;
      break;
    }
    case ControlKind::kPushButton:
    case ControlKind::kDefPushButton: {
      auto* button = new QPushButton(text, this);
      button->setDefault(spec.kind == ControlKind::kDefPushButton);
      button->setAutoDefault(spec.kind == ControlKind::kDefPushButton);
      connect(button, &QPushButton::clicked, this, [this, id = spec.id] { Clicked(id); });
      w = button;
      break;
    }
    case ControlKind::kGroupBox:
      w = new QGroupBox(text, this);
      w->lower();
      break;
    case ControlKind::kComboBox:
      w = new QComboBox(this);
      break;
    case ControlKind::kListBox:
      w = new QListWidget(this);
      break;
    case ControlKind::kScrollBar:
      w = new QScrollBar(Qt::Horizontal, this);
      break;
    case ControlKind::kSlider:
      w = new QSlider(Qt::Horizontal, this);
      break;
  }
  w->setObjectName(QString::number(spec.id));
  controls_[spec.id] = w;
  return w;
}

QWidget* TableDialog::Control(int id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

QWidget* TableDialog::ReplaceControl(int id, QWidget* widget) {
  QWidget* old = Control(id);
  if (!old) return nullptr;
  widget->setParent(this);
  widget->setObjectName(QString::number(id));
  delete layout()->replaceWidget(old, widget, Qt::FindChildrenRecursively);
  delete old;
  controls_[id] = widget;
  return widget;
}

int TableDialog::Execute() { return exec(); }

void TableDialog::Clicked(int id) {
  if (id == kIdHelp) {
    ShowHelpContext(helpContext_);
    return;
  }
  if (!EndsDialog(id)) {
    OnCommand(id);
    return;
  }
  if (id == kCancel) {
    reject();  // Cancel, Esc and the close box take one path
    return;
  }
  if (id == 1 && !CanClose()) return;
  done(id);
}

}  // namespace platform
