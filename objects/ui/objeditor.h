#pragma once

// ObjectEditor: the modal "Object Editor" over a document's live object sequences: each row
// shows a sequence's name and colour; the selected one can be renamed, recoloured, edited and
// deleted; eight three-state boxes beside the visible rows switch tracking or display, or
// choose sequences for one common edit. UndeleteDialog: the "Recover Object Sequence" dialog
// that restores the deleted sequences chosen in its list.

#include <QStyledItemDelegate>

#include <functional>
#include <vector>

#include "platform/ui/table_dialog.h"

class ColorBox;
class Document;
class QCheckBox;
class QListWidget;
class ResObjectSequence;

// Paints a row as the sequence's name and a colour field at its right end.
class SequenceRowDelegate : public QStyledItemDelegate {
 public:
  using Rows = std::function<std::vector<ResObjectSequence*>()>;
  // The document's live sequences, or its deleted ones.
  SequenceRowDelegate(Document& doc, QObject* parent, bool deleted);
  // The rows the function gives; a centre-of-mass sequence's name is shown after "CM - ".
  SequenceRowDelegate(Rows rows, QObject* parent);
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  Rows rows_;
};

// The height a list row needs to stand level with one of a column of fields beside the list:
// the field's height and the grid's spacing.
int AlignedRowHeight(QWidget* field);
// Adds rows "0" .. count-1 of that height to the list, which shows `visible` of them.
void FillAlignedRows(QListWidget* list, int count, int rowHeight, int visible);

class ObjectEditor : public platform::TableDialog {
  Q_OBJECT
 public:
  ObjectEditor(QWidget* parent, Document& doc);

  int Mode() const { return mode_; }
  void SetMode(int mode);
  // Row i of the eight boxes (the list row top + i).
  void ToggleRow(int i);
  void CmAllOn();
  void CmAllOff();
  void CmDelete();
  void CmEditSequence();
  void CmEditChosen();
  ResObjectSequence* Selected() const;
  QListWidget* List() const { return list_; }
  QCheckBox* Box(int i) const;

 protected:
  void OnCommand(int id) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FillList(int select);
  int TopRow() const;
  void RefreshChecks();
  void RefreshObject();
  void UpdateEditButton();

  Document& doc_;
  int mode_;
  QListWidget* list_;
  ColorBox* colour_;
  int rowHeight_ = 0;
};

class UndeleteDialog : public platform::TableDialog {
  Q_OBJECT
 public:
  UndeleteDialog(QWidget* parent, Document& doc);
  QListWidget* List() const { return list_; }

 protected:
  bool CanClose() override;

 private:
  Document& doc_;
  QListWidget* list_;
};

// Lets the undelete command choose with the recovery dialog when several sequences are deleted.
void InstallUndeleteDialog(QWidget* parent);
