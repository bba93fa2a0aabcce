#include "platform/ui/table_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
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
#include <QSpacerItem>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

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

// Room the window manager's title bar needs beside the title: icon and frame buttons.
constexpr int kTitleBarControls = 120;

int Area(const ControlSpec& s) { return s.rowSpan * s.columnSpan; }

bool Inside(const ControlSpec& inner, const ControlSpec& outer) {
  return inner.row >= outer.row && inner.row + inner.rowSpan <= outer.row + outer.rowSpan &&
         inner.column >= outer.column &&
         inner.column + inner.columnSpan <= outer.column + outer.columnSpan;
}

// The index of the innermost group box that holds control i, or -1 for the dialog itself. Of two
// boxes with the same cells the earlier one holds the later.
int ContainerOf(std::span<const ControlSpec> controls, std::size_t i) {
  const ControlSpec& spec = controls[i];
  if (IsButtonRow(spec)) return -1;
  int best = -1;
  for (std::size_t g = 0; g < controls.size(); ++g) {
    const ControlSpec& box = controls[g];
    if (g == i || box.kind != ControlKind::kGroupBox || !Inside(spec, box)) continue;
    if (spec.kind == ControlKind::kGroupBox && Area(box) == Area(spec) && g > i) continue;
    if (best < 0 || Area(box) < Area(controls[best]) ||
        (Area(box) == Area(controls[best]) && g > static_cast<std::size_t>(best)))
      best = static_cast<int>(g);
  }
  return best;
}

bool IsField(ControlKind kind) {
  return kind == ControlKind::kEdit || kind == ControlKind::kComboBox ||
         kind == ControlKind::kListBox || kind == ControlKind::kScrollBar ||
         kind == ControlKind::kSlider;
}

bool TakesFocus(ControlKind kind) {
  return kind != ControlKind::kLabel && kind != ControlKind::kPicture &&
         kind != ControlKind::kGroupBox;
}

// The control a label's mnemonic leads to: the nearest field right of it in its row and box,
// else the next control of the table that takes the focus (as the keyboard walks the table),
// leaving out the buttons of the bottom row.
int BuddyOf(std::span<const ControlSpec> controls, const std::vector<int>& container,
            std::size_t label) {
  const ControlSpec& spec = controls[label];
  int best = -1;
  for (std::size_t j = 0; j < controls.size(); ++j) {
    const ControlSpec& c = controls[j];
    if (container[j] != container[label] || c.row != spec.row || !IsField(c.kind) ||
        c.column < spec.column + spec.columnSpan)
      continue;
    if (best < 0 || c.column < controls[best].column) best = static_cast<int>(j);
  }
  if (best >= 0) return best;
  for (std::size_t j = label + 1; j < controls.size(); ++j)
    if (TakesFocus(controls[j].kind) && !IsButtonRow(controls[j])) return static_cast<int>(j);
  return -1;
}

// The text as it shows without a buddy: "&&" is one ampersand, any other ampersand goes.
QString WithoutMnemonic(const QString& text) {
  QString plain;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == u'&' && i + 1 < text.size()) ++i;
    plain += text[i];
  }
  return plain;
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
  titleWidth_ = new QSpacerItem(0, 0, QSizePolicy::Fixed, QSizePolicy::Fixed);
  outer->addItem(titleWidth_);

  std::vector<int> container(controls.size());
  for (std::size_t i = 0; i < controls.size(); ++i) container[i] = ContainerOf(controls, i);
  const std::vector<QWidget*> widgets = MakeControls(controls, container, grid, buttons);
  KeepNaturalSizes(grid);
  GiveLabelsBuddies(controls, container, widgets);
  FitTitle();
}

std::vector<QWidget*> TableDialog::MakeControls(std::span<const ControlSpec> controls,
                                                const std::vector<int>& container,
                                                QGridLayout* grid, QHBoxLayout* buttons) {
  std::vector<QWidget*> widgets(controls.size(), nullptr);
  auto place = [&](std::size_t i, QWidget* parent) {
    widgets[i] = Make(controls[i], parent);
    if (IsButtonRow(controls[i])) {
      buttons->addWidget(widgets[i]);
      return;
    }
    const ControlSpec* box = container[i] < 0 ? nullptr : &controls[container[i]];
    QGridLayout* into = box ? static_cast<QGridLayout*>(parent->layout()) : grid;
    const ControlSpec& spec = controls[i];
    into->addWidget(widgets[i], spec.row - (box ? box->row : 0),
                    spec.column - (box ? box->column : 0), spec.rowSpan, spec.columnSpan);
  };
  auto parentOf = [&](std::size_t i) -> QWidget* {
    return container[i] < 0 || IsButtonRow(controls[i]) ? static_cast<QWidget*>(this)
                                                        : widgets[container[i]];
  };
  // Boxes first, outer before inner, so that each control is made inside its box and the tab
  // order follows the table.
  std::vector<std::size_t> boxes;
  for (std::size_t i = 0; i < controls.size(); ++i)
    if (controls[i].kind == ControlKind::kGroupBox) boxes.push_back(i);
  std::stable_sort(boxes.begin(), boxes.end(), [&](std::size_t a, std::size_t b) {
    return Area(controls[a]) > Area(controls[b]);
  });
  for (std::size_t i : boxes) {
    place(i, parentOf(i));
    new QGridLayout(widgets[i]);
  }
  for (std::size_t i = 0; i < controls.size(); ++i)
    if (!widgets[i]) place(i, parentOf(i));
  return widgets;
}

void TableDialog::KeepNaturalSizes(QGridLayout* grid) {
  // Fields keep their natural size, as in a hand-made dialog; room to spare goes to the right
  // and to the bottom (a short box beside a taller one keeps its rows at the top).
  std::vector<QGridLayout*> grids{grid};
  for (QGroupBox* box : findChildren<QGroupBox*>())
    grids.push_back(static_cast<QGridLayout*>(box->layout()));
  for (QGridLayout* g : grids) {
    g->setColumnStretch(g->columnCount(), 1);
    g->setRowStretch(g->rowCount(), 1);
  }
}

void TableDialog::GiveLabelsBuddies(std::span<const ControlSpec> controls,
                                    const std::vector<int>& container,
                                    const std::vector<QWidget*>& widgets) {
  for (std::size_t i = 0; i < controls.size(); ++i) {
    auto* label =
        controls[i].kind == ControlKind::kLabel ? qobject_cast<QLabel*>(widgets[i]) : nullptr;
    if (!label || !label->text().contains(u'&')) continue;
    const int buddy = BuddyOf(controls, container, i);
    if (buddy >= 0)
      label->setBuddy(widgets[buddy]);
    else
      label->setText(WithoutMnemonic(label->text()));
  }
}

void TableDialog::FitTitle() {
  // Window managers draw titles in a heavier font than the dialog's.
  QFont font = this->font();
  font.setBold(true);
  const int width = QFontMetrics(font).horizontalAdvance(windowTitle()) + kTitleBarControls;
  titleWidth_->changeSize(width, 0, QSizePolicy::Fixed, QSizePolicy::Fixed);
  if (layout()) layout()->invalidate();
}

void TableDialog::changeEvent(QEvent* event) {
  if (event->type() == QEvent::WindowTitleChange && titleWidth_) FitTitle();
  QDialog::changeEvent(event);
}

QWidget* TableDialog::Make(const ControlSpec& spec, QWidget* parent) {
  const QString text = QString::fromUtf8(spec.text ? spec.text : "");
  QWidget* w = nullptr;
  switch (spec.kind) {
    case ControlKind::kLabel:
      w = new QLabel(text, parent);
      break;
    case ControlKind::kPicture:
      w = new QLabel(parent);
      break;
    case ControlKind::kEdit:
      w = new QLineEdit(text, parent);
      break;
    case ControlKind::kCheckBox:
      w = new QCheckBox(text, parent);
      break;
    case ControlKind::kRadioButton: {
      auto* radio = new QRadioButton(text, parent);
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
      auto* button = new QPushButton(text, parent);
      button->setDefault(spec.kind == ControlKind::kDefPushButton);
      button->setAutoDefault(spec.kind == ControlKind::kDefPushButton);
      connect(button, &QPushButton::clicked, this, [this, id = spec.id] { Clicked(id); });
      w = button;
      break;
    }
    case ControlKind::kGroupBox:
      w = new QGroupBox(text, parent);
      break;
    case ControlKind::kComboBox:
      w = new QComboBox(parent);
      break;
    case ControlKind::kListBox:
      w = new QListWidget(parent);
      break;
    case ControlKind::kScrollBar:
      w = new QScrollBar(Qt::Horizontal, parent);
      break;
    case ControlKind::kSlider:
      w = new QSlider(Qt::Horizontal, parent);
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
  QWidget* parent = old->parentWidget();
  widget->setParent(parent);
  widget->setObjectName(QString::number(id));
  if (QLayout* layout = parent->layout())
    delete layout->replaceWidget(old, widget, Qt::FindChildrenRecursively);
  QWidget::setTabOrder(old, widget);
  for (auto* label : findChildren<QLabel*>())
    if (label->buddy() == old) label->setBuddy(widget);
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
