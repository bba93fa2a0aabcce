#include "objects/ui/exportdlg.h"

#include <QEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>

#include "base/document.h"
#include "base/ui/textformatdialog.h"
#include "objects/ui/objeditor.h"
#include "platform/message_service.h"
#include "sequences/framesequence.h"

namespace {

using platform::ControlKind;

constexpr int kList = 20510, kFolder = 20536, kChange = 20537, kTextFormat = 20538, kExport = 20539,
              kGroup = 20540, kFirstName = 20550;
constexpr int kHelpContext = 35009;

const platform::ControlSpec kControls[] = {
    {kGroup, ControlKind::kGroupBox, "Object in Image Sequence", 0, 0, 8, 3},
    {0, ControlKind::kLabel, "Object Name", 1, 0},
    {0, ControlKind::kLabel, "File Name", 1, 2},
    {kList, ControlKind::kListBox, "", 2, 0, 6, 2},
    {kFirstName + 0, ControlKind::kEdit, "", 2, 2},
    {kFirstName + 1, ControlKind::kEdit, "", 3, 2},
    {kFirstName + 2, ControlKind::kEdit, "", 4, 2},
    {kFirstName + 3, ControlKind::kEdit, "", 5, 2},
    {kFirstName + 4, ControlKind::kEdit, "", 6, 2},
    {kFirstName + 5, ControlKind::kEdit, "", 7, 2},
    {0, ControlKind::kLabel, "Folder:", 8, 0},
    {kFolder, ControlKind::kLabel, "", 8, 1, 1, 2},
    {kChange, ControlKind::kPushButton, "&Change...", 9, 0},
    {kTextFormat, ControlKind::kPushButton, "&Text Format ...", 9, 1},
    {kExport, ControlKind::kPushButton, "&Export", 9, 2},
    {platform::kIdCancel, ControlKind::kPushButton, "Close"},
    {platform::kIdHelp, ControlKind::kPushButton, "Help"},
};

}  // namespace

ObjectExport::ObjectExport(QWidget* parent, Document& doc, FrameSequence& video)
    : platform::TableDialog(parent, "Export Object Sequences", kControls),
      doc_(doc),
      video_(video),
      items_(ascii::ExportList(doc)),
      list_(ControlAs<QListWidget>(kList)) {
  SetHelpContext(kHelpContext);
  ControlAs<QGroupBox>(kGroup)->setTitle("Object in Image Sequence " +
                                         QString::fromStdString(video.GetFileName().NameExt()));
  list_->setItemDelegate(new SequenceRowDelegate(doc, list_, false));
  list_->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  for (int i = 0; i < kVisibleNames; ++i) NameField(i)->installEventFilter(this);
  FillAlignedRows(list_, static_cast<int>(items_.size()), AlignedRowHeight(NameField(0)),
                  kVisibleNames);
  for (int i = 1; i < kVisibleNames; ++i) NameField(i)->setFixedHeight(NameField(0)->height());
  connect(list_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { ShowNames(); });
  SetFolder(QString::fromStdString(video.GetFileName().Dir()));
  ShowNames();
}

QLineEdit* ObjectExport::NameField(int i) const { return ControlAs<QLineEdit>(kFirstName + i); }

int ObjectExport::TopRow() const {
  const QModelIndex top = list_->indexAt(QPoint(1, 1));
  return top.isValid() ? top.row() : 0;
}

void ObjectExport::SetFolder(const QString& folder) {
  folder_ = folder;
  ControlAs<QLabel>(kFolder)->setText(folder);
}

void ObjectExport::ShowNames() {
  const int top = TopRow();
  for (int i = 0; i < kVisibleNames; ++i) {
    const int row = top + i;
    const bool has = row < static_cast<int>(items_.size());
    NameField(i)->setVisible(has);
    NameField(i)->setText(has ? QString::fromStdString(items_[row].fileName) : QString());
  }
}

void ObjectExport::KeepNames() {
  const int top = TopRow();
  for (int i = 0; i < kVisibleNames; ++i)
    if (top + i < static_cast<int>(items_.size()))
      items_[top + i].fileName = NameField(i)->text().toStdString();
}

bool ObjectExport::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut) KeepNames();
  return platform::TableDialog::eventFilter(watched, event);
}

bool ObjectExport::ExportNow() {
  KeepNames();
  return ascii::Export(video_, folder_.toStdString(), items_);
}

void ObjectExport::OnCommand(int id) {
  switch (id) {
    case kChange: {
      const QString chosen = QFileDialog::getExistingDirectory(this, "Export folder", folder_);
      if (!chosen.isEmpty()) SetFolder(chosen);
      break;
    }
    case kTextFormat:
      TextFormatDialog(this).Execute();
      break;
    case kExport:
      ExportNow();
      break;
    default:
      break;
  }
}
