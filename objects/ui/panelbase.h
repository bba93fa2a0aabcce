#pragma once

// ObjectPanelBase: what the three docked panels beside the image views share. A row of page
// buttons docks the object, template or connection panel, moves the docked panel to the other
// edge or closes it; the panel's own page button is disabled. Enter and Esc never close a
// panel: they give the keyboard back to the active image view, as most actions do.
//
// MarkerDelegate paints a combo box's or list's item as a marker (colour, size and style from
// the item's data) on the window or highlight colour, without text.

#include <QStyledItemDelegate>

#include <vector>

#include "objects/canvas.h"
#include "platform/ui/table_dialog.h"

class Document;

namespace panel {

inline constexpr int kObjectsPage = 25510;
inline constexpr int kTemplatesPage = 25515;
inline constexpr int kConnectionsPage = 25520;
inline constexpr int kPositionPage = 25525;
inline constexpr int kClosePage = 25505;

// Item data of a marker: its colour value, its style and its side in pixels.
inline constexpr int kColorRole = Qt::UserRole + 1;
inline constexpr int kStyleRole = Qt::UserRole + 2;
inline constexpr int kSideRole = Qt::UserRole + 3;

// The page buttons in row 0 followed by the panel's own controls.
std::vector<platform::ControlSpec> WithPageButtons(std::span<const platform::ControlSpec> own);

}  // namespace panel

class ObjectPanelBase : public platform::TableDialog {
  Q_OBJECT
 public:
  // The page buttons come first, then the panel's own controls.
  ObjectPanelBase(Document& doc, QWidget* parent, const QString& caption,
                  std::span<const platform::ControlSpec> own, int ownPage);

  Document& Doc() const { return doc_; }
  // Gives the keyboard focus to the active image sequence's view.
  void FocusView() const;

  void accept() override { FocusView(); }
  void reject() override { FocusView(); }

 protected:
  // Esc and Delete stay in the panel whatever field has the focus: the main window's keys of the
  // same name delete the current object's point.
  bool event(QEvent* event) override;
  // Enter and Esc give the keyboard back to the view, from any field.
  void keyPressEvent(QKeyEvent* event) override;
  void OnCommand(int id) override;
  // The panel's own buttons (the page buttons are handled here).
  virtual void OnPanelCommand(int id) { (void)id; }

 private:
  Document& doc_;
};

class MarkerDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
