#pragma once

// SequenceExportDialog: the shape the export dialogs of object sequences share. A list of
// sequences (20510) with a file-name field beside each of its six visible rows (20550..20555):
// the fields follow the list's scrolling, fields without a sequence are hidden, and a typed name
// is kept for its sequence when its field loses the focus. The target folder (20536) is shown
// shortened in its middle when it is too wide, and chosen with "&Change..." (20537);
// "&Text Format ..." (20538) opens the text-format dialog. The dialogs built on it add their
// own controls and their Export.

#include <QLabel>

#include <functional>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include "objects/asciiobj.h"
#include "platform/ui/table_dialog.h"

class QAbstractItemDelegate;
class QLineEdit;
class QListWidget;

class SequenceExportDialog : public platform::TableDialog {
  Q_OBJECT
 public:
  static constexpr int kVisibleNames = 6;
  static constexpr int kList = 20510, kFolder = 20536, kChange = 20537, kTextFormat = 20538,
                       kGroup = 20540, kFirstName = 20550;

  // The controls every export dialog has: the group box over the list and its file names (rows
  // 0 to 7, columns 0 to 2), the folder (row 8, over folderColumns columns) and its two buttons
  // (row 9, columns 0 and 1); then the dialog's own.
  static std::vector<platform::ControlSpec> WithSharedControls(
      int folderColumns, std::initializer_list<platform::ControlSpec> own);

  // controls must hold the list, the six name fields, the folder and the two buttons by the ids
  // above; rows are drawn by delegate (owned by the list from then on).
  SequenceExportDialog(QWidget* parent, const QString& caption,
                       std::span<const platform::ControlSpec> controls,
                       std::vector<ascii::ExportItem> items, const QString& folder,
                       QAbstractItemDelegate* delegate);

  const std::vector<ascii::ExportItem>& Items() const { return items_; }
  QString Folder() const { return folder_; }
  void SetFolder(const QString& folder);
  QLineEdit* NameField(int i) const;
  QListWidget* List() const { return list_; }
  // The folder as the field shows it.
  QString ShownFolder() const;
  // The group box names the video the dialog belongs to.
  void ShowVideoName(const std::string& nameExt);

 protected:
  void OnCommand(int id) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Takes the names typed into the visible fields.
  void KeepNames();

 private:
  int TopRow() const;
  void ShowNames();

  std::vector<ascii::ExportItem> items_;
  QString folder_;
  QListWidget* list_;
};

// A folder path that fits width: folders in its middle give way to "..." one by one until it
// fits; the root and the last folder stay. width measures a text.
std::string ElidePathMiddle(const std::string& path, int width,
                            const std::function<int(const std::string&)>& measure);

// A label that shows a path shortened in its middle to its own width.
class PathLabel : public QLabel {
  Q_OBJECT
 public:
  explicit PathLabel(QWidget* parent = nullptr);
  void SetPath(const QString& path);
  QString Path() const { return path_; }
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Shorten();
  QString path_;
};
