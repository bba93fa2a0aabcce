#include "platform/ui/choosers.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QStringList>
#include <QTreeView>

namespace platform {
namespace {

constexpr int kFileDialogWidth = 960, kFileDialogHeight = 600;

// Qt's dialogs; the filter index travels both ways.
class QtChoosers : public Choosers {
 public:
  std::optional<QString> OpenFileName(QWidget* parent, FileChoice& c) override {
    return Run(parent, c, QFileDialog::AcceptOpen);
  }
  std::optional<QString> SaveFileName(QWidget* parent, FileChoice& c) override {
    return Run(parent, c, QFileDialog::AcceptSave);
  }
  QStringList OpenFileNames(QWidget* parent, FileChoice& c) override {
    std::unique_ptr<QFileDialog> dialog = MakeFileDialog(parent, c, QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFiles);
    if (dialog->exec() != QDialog::Accepted) return {};
    c.filterIndex = c.filter.split(";;").indexOf(dialog->selectedNameFilter());
    return dialog->selectedFiles();
  }
  std::optional<QColor> ChooseColor(QWidget* parent, const QColor& initial) override {
    QColor chosen = QColorDialog::getColor(initial, parent);
    if (!chosen.isValid()) return std::nullopt;
    return chosen;
  }

 private:
  std::optional<QString> Run(QWidget* parent, FileChoice& c, QFileDialog::AcceptMode mode) {
    std::unique_ptr<QFileDialog> dialog = MakeFileDialog(parent, c, mode);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
      return std::nullopt;
    c.filterIndex = c.filter.split(";;").indexOf(dialog->selectedNameFilter());
    return dialog->selectedFiles().front();
  }
};

QtChoosers g_qtChoosers;
Choosers* g_choosers = nullptr;

}  // namespace

std::unique_ptr<QFileDialog> MakeFileDialog(QWidget* parent, const FileChoice& c,
                                            QFileDialog::AcceptMode mode) {
  auto dialog = std::make_unique<QFileDialog>(parent, c.title, c.start, c.filter);
  dialog->setAcceptMode(mode);
  dialog->setFileMode(mode == QFileDialog::AcceptOpen && !c.newNameAllowed
                          ? QFileDialog::ExistingFile
                          : QFileDialog::AnyFile);
  if (!c.confirmOverwrite) dialog->setOption(QFileDialog::DontConfirmOverwrite);
  dialog->setViewMode(QFileDialog::Detail);
  if (!c.defaultExt.isEmpty()) dialog->setDefaultSuffix(c.defaultExt);
  const QStringList filters = c.filter.split(";;");
  if (c.filterIndex >= 0 && c.filterIndex < filters.size())
    dialog->selectNameFilter(filters[c.filterIndex]);
  // Wide and tall enough that names, sizes, types and dates are readable, within the screen.
  const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
  QSize size(kFileDialogWidth, kFileDialogHeight);
  if (screen) size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
  dialog->resize(size);
  // Sizes, types and dates as wide as they are, the names take the rest.
  if (auto* list = dialog->findChild<QTreeView*>()) {
    QHeaderView* header = list->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
  }
  return dialog;
}

QString QtFileFilter(std::string_view tableFilter) {
  QStringList parts = QString::fromUtf8(tableFilter.data(), tableFilter.size()).split('|');
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    filters << parts[i].left(parts[i].indexOf('(') < 0 ? parts[i].size() : parts[i].indexOf('('))
                       .trimmed() +
                   " (" + patterns + ")";
  }
  return filters.join(";;");
}

Choosers& GetChoosers() { return g_choosers ? *g_choosers : g_qtChoosers; }

Choosers* SetChoosers(Choosers* choosers) {
  Choosers* old = g_choosers;
  g_choosers = choosers;
  return old;
}

ScriptedChoosers::ScriptedChoosers() : previous_(SetChoosers(this)) {}
ScriptedChoosers::~ScriptedChoosers() { SetChoosers(previous_); }

std::optional<QString> ScriptedChoosers::OpenFileName(QWidget*, FileChoice& choice) {
  asked.push_back(choice);
  if (fileAnswers.empty()) return std::nullopt;
  const bool chosen = fileAnswers.front().has_value();
  QString name = chosen ? *fileAnswers.front() : QString();
  fileAnswers.pop_front();
  if (!chosen) return std::nullopt;
  return name;
}

std::optional<QString> ScriptedChoosers::SaveFileName(QWidget* parent, FileChoice& choice) {
  return OpenFileName(parent, choice);
}

std::optional<QColor> ScriptedChoosers::ChooseColor(QWidget*, const QColor&) {
  if (colorAnswers.empty()) return std::nullopt;
  auto answer = colorAnswers.front();
  colorAnswers.pop_front();
  return answer;
}

}  // namespace platform
