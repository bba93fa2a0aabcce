#include "objects/ui/objectimport.h"

#include <QProgressDialog>

#include <string>
#include <vector>

#include "base/document.h"
#include "objects/asciiobj.h"
#include "platform/strings.h"
#include "platform/ui/choosers.h"
#include "sequences/framesequence.h"

namespace {

constexpr int kSteps = 1000;
// An import shorter than this shows no window.
constexpr int kShowAfterMs = 500;

QString Text(int id) { return QString::fromStdString(std::string(platform::LoadString(id))); }

}  // namespace

ObjectImport::ObjectImport(FrameSequence& sequence, QWidget* parent)
    : sequence_(sequence), parent_(parent) {}

bool ObjectImport::Step(QProgressDialog& window, double done) {
  // setValue lets the window's events through while it is modal, the stop button's too.
  window.setValue(static_cast<int>(done * kSteps));
  return !window.wasCanceled();
}

int ObjectImport::Import() {
  Document* doc = sequence_.document;
  if (!doc) return 0;
  platform::FileChoice choice;
  choice.title = Text(ascii::kImportTitle);
  choice.filter = platform::QtFileFilter(platform::LoadString(ascii::kImportFilter));
  choice.start = QString::fromStdString(sequence_.GetFileName().Dir());
  std::vector<std::string> files;
  for (const QString& file : platform::GetChoosers().OpenFileNames(parent_, choice))
    files.push_back(file.toStdString());
  if (files.empty()) return 0;
  QProgressDialog window(Text(ascii::kImportProgress), QObject::tr("&Stop"), 0, kSteps, parent_);
  window.setWindowTitle(choice.title);
  window.setWindowModality(Qt::WindowModal);
  window.setMinimumDuration(kShowAfterMs);
  window.setAutoReset(false);
  window.setValue(0);
  return ascii::Import(*doc, sequence_, files,
                       [&window](double done) { return Step(window, done); });
}
