#pragma once

// Looks at a shown dialog as its user would: no two visible controls cover each other, every
// control lies inside the dialog, no text is cut (labels, buttons, group-box captions and the
// title), and no label shows the ampersand of a mnemonic. A control and the controls inside it
// (a group box and its rows) do not count as covering each other.

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QWidget>

#include <string>
#include <vector>

namespace dialogcheck {

// Room a title bar needs at least beside the title: icon and close button.
inline constexpr int kTitleBarMinimum = 60;

inline bool IsLeafControl(const QWidget* w) {
  return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLabel*>(w) ||
         qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
         qobject_cast<const QAbstractScrollArea*>(w) || qobject_cast<const QAbstractSlider*>(w) ||
         qobject_cast<const QAbstractSpinBox*>(w);
}

// The visible controls under parent; plain container widgets are looked through, group boxes
// count and are looked into, custom widgets without children count as controls.
inline void CollectControls(QWidget* parent, std::vector<QWidget*>& out) {
  for (QWidget* child : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (child->isWindow() || !child->isVisible()) continue;
    const bool container = child->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size() > 0;
    if (qobject_cast<QGroupBox*>(child)) {
      out.push_back(child);
      CollectControls(child, out);
    } else if (IsLeafControl(child) || !container) {
      out.push_back(child);
    } else {
      CollectControls(child, out);
    }
  }
}

inline std::string Describe(const QWidget* w) {
  QString text;
  if (auto* label = qobject_cast<const QLabel*>(w)) text = label->text();
  if (auto* button = qobject_cast<const QAbstractButton*>(w)) text = button->text();
  if (auto* box = qobject_cast<const QGroupBox*>(w)) text = box->title();
  return QString("%1 '%2' \"%3\"")
      .arg(w->metaObject()->className(), w->objectName(), text)
      .toStdString();
}

inline QRect Place(const QWidget* w, const QWidget* dialog) {
  return QRect(w->mapTo(dialog, QPoint(0, 0)), w->size());
}

inline std::string Size(QSize s) {
  return std::to_string(s.width()) + "x" + std::to_string(s.height());
}

// What is wrong with the shown dialog, one line a fault; empty when it looks right.
inline std::vector<std::string> LayoutFaults(QWidget* dialog) {
  std::vector<std::string> faults;
  std::vector<QWidget*> controls;
  CollectControls(dialog, controls);
  for (std::size_t i = 0; i < controls.size(); ++i) {
    QWidget* a = controls[i];
    const QRect place = Place(a, dialog);
    if (!dialog->rect().contains(place))
      faults.push_back(Describe(a) + " reaches outside the dialog");
    for (std::size_t j = i + 1; j < controls.size(); ++j) {
      QWidget* b = controls[j];
      if (a->isAncestorOf(b) || b->isAncestorOf(a)) continue;
      if (place.intersects(Place(b, dialog)))
        faults.push_back(Describe(a) + " overlaps " + Describe(b));
    }
    QSize needed;
    if (auto* label = qobject_cast<QLabel*>(a)) {
      if (!label->text().isEmpty() && !label->wordWrap()) needed = label->sizeHint();
      // Without a buddy a mnemonic ("H&orizontal") shows as typed.
      static const QRegularExpression mnemonic("&[[:alnum:]]");
      if (!label->buddy() && label->text().contains(mnemonic))
        faults.push_back(Describe(a) + " shows its ampersand");
    } else if (qobject_cast<QAbstractButton*>(a)) {
      needed = a->sizeHint();
    } else if (auto* box = qobject_cast<QGroupBox*>(a)) {
      needed = QSize(box->minimumSizeHint().width(), 0);
    }
    if (needed.isValid() && (a->width() < needed.width() || a->height() < needed.height()))
      faults.push_back(Describe(a) + " is cut: " + Size(a->size()) + " for " + Size(needed));
  }
  const int title = QFontMetrics(dialog->font()).horizontalAdvance(dialog->windowTitle());
  if (dialog->width() < title + kTitleBarMinimum)
    faults.push_back("the title \"" + dialog->windowTitle().toStdString() + "\" is cut at width " +
                     std::to_string(dialog->width()));
  return faults;
}

}  // namespace dialogcheck
