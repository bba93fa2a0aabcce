#include "objects/ui/sequenceexportdlg.h"

#include <QEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>

#include <sstream>

#include "base/ui/textformatdialog.h"
#include "objects/ui/objeditor.h"

namespace {

std::vector<std::string> Folders(const std::string& path) {
  std::vector<std::string> parts;
  std::istringstream in(path);
  for (std::string part; std::getline(in, part, '/');)
    if (!part.empty()) parts.push_back(part);
  return parts;
}

}  // namespace

std::string ElidePathMiddle(const std::string& path, int width,
                            const std::function<int(const std::string&)>& measure) {
  if (measure(path) <= width) return path;
  const std::vector<std::string> f = Folders(path);
  const int n = static_cast<int>(f.size());
  if (n < 2) return path;
  const std::string root = path.front() == '/' ? "/" : "";
  const std::string tail = path.back() == '/' ? "/" : "";
  // Folders lo..hi-1 are left out; the last folder (n - 1) always stays.
  const int mid = (n - 1) / 2;
  int lo = mid, hi = mid;
  std::string text = path;
  while (measure(text) > width) {
    if (hi < n - 1 && (hi - mid <= mid - lo || lo == 0))
      ++hi;
    else if (lo > 0)
      --lo;
    else
      break;
    text = root;
    for (int i = 0; i < lo; ++i) text += f[i] + "/";
    text += "...";
    for (int i = hi; i < n; ++i) text += "/" + f[i];
    text += tail;
  }
  return text;
}

PathLabel::PathLabel(QWidget* parent) : QLabel(parent) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void PathLabel::SetPath(const QString& path) {
  path_ = path;
  setToolTip(path);
  Shorten();
}

QSize PathLabel::sizeHint() const {
  // As wide as the path, up to 40 characters: a long path is shortened, not the dialog widened.
  const QFontMetrics fm(font());
  const int wide = std::min(fm.horizontalAdvance(path_), fm.averageCharWidth() * 40);
  return {std::max(wide, fm.averageCharWidth() * 12), QLabel::sizeHint().height()};
}

QSize PathLabel::minimumSizeHint() const {
  return {fontMetrics().averageCharWidth() * 12, QLabel::minimumSizeHint().height()};
}

void PathLabel::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  Shorten();
}

void PathLabel::Shorten() {
  const QFontMetrics fm(font());
  setText(QString::fromStdString(
      ElidePathMiddle(path_.toStdString(), contentsRect().width(), [&](const std::string& t) {
        return fm.horizontalAdvance(QString::fromStdString(t));
      })));
}

std::vector<platform::ControlSpec> SequenceExportDialog::WithSharedControls(
    int folderColumns, std::initializer_list<platform::ControlSpec> own) {
  using platform::ControlKind;
  std::vector<platform::ControlSpec> controls = {
      {kGroup, ControlKind::kGroupBox, "Object in Image Sequence", 0, 0, 8, 3},
      {0, ControlKind::kLabel, "Object Name", 1, 0},
      {0, ControlKind::kLabel, "File Name", 1, 2},
      {kList, ControlKind::kListBox, "", 2, 0, kVisibleNames, 2},
      {0, ControlKind::kLabel, "Folder:", 8, 0},
      {kFolder, ControlKind::kLabel, "", 8, 1, 1, folderColumns},
      {kChange, ControlKind::kPushButton, "&Change...", 9, 0},
      {kTextFormat, ControlKind::kPushButton, "&Text Format ...", 9, 1},
  };
  for (int i = 0; i < kVisibleNames; ++i)
    controls.insert(controls.begin() + 4 + i, {kFirstName + i, ControlKind::kEdit, "", 2 + i, 2});
  controls.insert(controls.end(), own);
  return controls;
}

void SequenceExportDialog::ShowVideoName(const std::string& nameExt) {
  ControlAs<QGroupBox>(kGroup)->setTitle("Object in Image Sequence " +
                                         QString::fromStdString(nameExt));
}

SequenceExportDialog::SequenceExportDialog(QWidget* parent, const QString& caption,
                                           std::span<const platform::ControlSpec> controls,
                                           std::vector<ascii::ExportItem> items,
                                           const QString& folder, QAbstractItemDelegate* delegate)
    : platform::TableDialog(parent, caption, controls),
      items_(std::move(items)),
      list_(ControlAs<QListWidget>(kList)) {
  ReplaceControl(kFolder, new PathLabel);
  list_->setItemDelegate(delegate);
  delegate->setParent(list_);
  list_->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  for (int i = 0; i < kVisibleNames; ++i) NameField(i)->installEventFilter(this);
  FillAlignedRows(list_, static_cast<int>(items_.size()), AlignedRowHeight(NameField(0)),
                  kVisibleNames);
  for (int i = 1; i < kVisibleNames; ++i) NameField(i)->setFixedHeight(NameField(0)->height());
  connect(list_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { ShowNames(); });
  SetFolder(folder);
  ShowNames();
}

QLineEdit* SequenceExportDialog::NameField(int i) const {
  return ControlAs<QLineEdit>(kFirstName + i);
}

int SequenceExportDialog::TopRow() const {
  const QModelIndex top = list_->indexAt(QPoint(1, 1));
  return top.isValid() ? top.row() : 0;
}

void SequenceExportDialog::SetFolder(const QString& folder) {
  folder_ = folder;
  ControlAs<PathLabel>(kFolder)->SetPath(folder);
}

QString SequenceExportDialog::ShownFolder() const { return ControlAs<PathLabel>(kFolder)->text(); }

void SequenceExportDialog::ShowNames() {
  const int top = TopRow();
  for (int i = 0; i < kVisibleNames; ++i) {
    const int row = top + i;
    const bool has = row < static_cast<int>(items_.size());
    NameField(i)->setVisible(has);
    NameField(i)->setText(has ? QString::fromStdString(items_[row].fileName) : QString());
  }
}

void SequenceExportDialog::KeepNames() {
  const int top = TopRow();
  for (int i = 0; i < kVisibleNames; ++i)
    if (top + i < static_cast<int>(items_.size()))
      items_[top + i].fileName = NameField(i)->text().toStdString();
}

bool SequenceExportDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut) KeepNames();
  return platform::TableDialog::eventFilter(watched, event);
}

void SequenceExportDialog::OnCommand(int id) {
  switch (id) {
    case kChange: {
      const QString chosen = QFileDialog::getExistingDirectory(this, "Export folder", folder_);
      if (!chosen.isEmpty()) SetFolder(chosen);
      break;
    }
    case kTextFormat:
      TextFormatDialog(this).Execute();
      break;
    default:
      break;
  }
}
