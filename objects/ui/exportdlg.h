#pragma once

// ObjectExport: the "Export Object Sequences" dialog of one video. It lists the project's
// sequences with name and colour; beside the six visible rows stand their file names (the
// sequence's name with the extension "p<number>" to start with), which follow the list's
// scrolling and keep what was typed. "Export" writes each sequence's points in this video and
// its description file into the target folder, in the chosen text format.

#include <vector>

#include "objects/asciiobj.h"
#include "platform/ui/table_dialog.h"

class Document;
class FrameSequence;
class QListWidget;
class QLineEdit;

class ObjectExport : public platform::TableDialog {
  Q_OBJECT
 public:
  static constexpr int kVisibleNames = 6;

  ObjectExport(QWidget* parent, Document& doc, FrameSequence& video);

  const std::vector<ascii::ExportItem>& Items() const { return items_; }
  QString Folder() const { return folder_; }
  void SetFolder(const QString& folder);
  QLineEdit* NameField(int i) const;
  QListWidget* List() const { return list_; }
  // Writes the files; false after a message when one could not be written.
  bool ExportNow();

 protected:
  void OnCommand(int id) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  int TopRow() const;
  void ShowNames();
  void KeepNames();

  Document& doc_;
  FrameSequence& video_;
  std::vector<ascii::ExportItem> items_;
  QString folder_;
  QListWidget* list_;
};
