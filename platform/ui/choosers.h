#pragma once

// The platform's choosers (open and save file names, colours) behind one interface, so tests can
// answer them. The program uses the Qt dialogs; a test installs a ScriptedChoosers.

#include <QColor>
#include <QFileDialog>
#include <QString>
#include <QStringList>

#include <deque>
#include <memory>
#include <optional>
#include <string_view>

class QWidget;

namespace platform {

struct FileChoice {
  QString title;
  QString filter;       // Qt filter text: "Color palette files (*.col);;All files (*.*)"
  QString start;        // folder or file to start from
  QString defaultExt;   // without the dot
  int filterIndex = 0;  // 0-based; the chosen one comes back here
  bool newNameAllowed = false;   // an open dialog also takes a file that does not exist yet
  bool confirmOverwrite = true;  // a save dialog asks before it names an existing file
};

class Choosers {
 public:
  virtual ~Choosers() = default;
  virtual std::optional<QString> OpenFileName(QWidget* parent, FileChoice& choice) = 0;
  virtual std::optional<QString> SaveFileName(QWidget* parent, FileChoice& choice) = 0;
  virtual std::optional<QColor> ChooseColor(QWidget* parent, const QColor& initial) = 0;
  // One or more existing files; empty when cancelled. Choosers that pick one file at a time
  // answer with that one.
  virtual QStringList OpenFileNames(QWidget* parent, FileChoice& choice) {
    std::optional<QString> one = OpenFileName(parent, choice);
    return one ? QStringList{*one} : QStringList{};
  }
};

// A filter as the string table writes it, "Description|*.a;*.b|Other|*.*|", in the form of Qt's
// file dialogs, "Description (*.a *.b);;Other (*.*)".
QString QtFileFilter(std::string_view tableFilter);

// The Qt file dialog the choosers run for a choice, sized for the screen.
std::unique_ptr<QFileDialog> MakeFileDialog(QWidget* parent, const FileChoice& choice,
                                            QFileDialog::AcceptMode mode);

// The installed choosers (the Qt dialogs unless a test installed others).
Choosers& GetChoosers();
// Installs choosers (null: the Qt dialogs again); returns the previous ones.
Choosers* SetChoosers(Choosers* choosers);

// For tests: answers from queues (an empty queue answers Cancel) and keeps what was asked.
class ScriptedChoosers : public Choosers {
 public:
  ScriptedChoosers();
  ~ScriptedChoosers() override;
  std::optional<QString> OpenFileName(QWidget*, FileChoice& choice) override;
  std::optional<QString> SaveFileName(QWidget*, FileChoice& choice) override;
  std::optional<QColor> ChooseColor(QWidget*, const QColor& initial) override;

  std::deque<std::optional<QString>> fileAnswers;
  std::deque<std::optional<QColor>> colorAnswers;
  std::deque<FileChoice> asked;

 private:
  Choosers* previous_;
};

}  // namespace platform
