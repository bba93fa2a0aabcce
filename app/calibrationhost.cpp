#include "app/calibrationhost.h"

#include <QMainWindow>

#include <cstring>
#include <memory>

#include "app/documentfiles.h"
#include "app/mydocmanager.h"
#include "app/resource.h"
#include "app/sequencelist.h"
#include "base/filesnapshot.h"
#include "base/messages.h"
#include "calibration/calibframefile.h"
#include "calibration/calibrat.h"
#include "calibration/ui/calibfilesdlg.h"
#include "calibration/ui/calibrationwindow.h"
#include "objects/ui/bildview.h"
#include "platform/strings.h"
#include "platform/ui/choosers.h"
#include "platform/ui/modeless.h"
#include "sequences/avisequence.h"
#include "sequences/bldsequence.h"
#include "sequences/frame.h"
#include "sequences/framesequence.h"
#include "sequences/ui/dibpaint.h"
#include "sequences/ui/filterdlg.h"
#include "sequences/ui/gammadlg.h"
#include "sequences/ui/playercontrols.h"
#include "sequences/vr2sequence.h"
#include "sequences/vrawsequence.h"

namespace {

constexpr int kUsageError = 31102, kResolutionMismatch = 31115;
constexpr int kMissingTitle = 31110, kMissingFiles = 31112;
constexpr int kManagerMessage = 32500, kAlreadyInDocument = 32502;

std::unique_ptr<FrameSequence> CalibrationFrameReader(const std::string& image) {
  const CalibrationFrameFile file = ResolveCalibrationFrame(image);
  switch (file.kind) {
    case CalibrationFrameKind::kFrameFile:
      return std::make_unique<BldFrameSequence>(file.path, nullptr);
    case CalibrationFrameKind::kVraw:
      return std::make_unique<VrawFrameSequence>(file.path, nullptr);
    case CalibrationFrameKind::kVr2:
      return std::make_unique<Vr2FrameSequence>(file.path, nullptr);
    default:
      return std::make_unique<AviFrameSequence>(file.path, nullptr);
  }
}

BildView* ViewOf(FrameSequence& s) { return qobject_cast<BildView*>(s.view.data()); }

constexpr int kCalibrationFilter = 32509, kSaveCalibrationTitle = 32520;

// The save dialog for a calibration data file a camera has no name for.
std::optional<std::string> AskCalibrationFileName(int, const std::string& suggestion) {
  const std::string_view title = platform::LoadString(kSaveCalibrationTitle);
  platform::FileChoice choice{
      QString::fromUtf8(title.data(), static_cast<int>(title.size())),
      platform::QtFileFilter(platform::LoadString(kCalibrationFilter)),
      QString::fromStdString(suggestion), "CDC"};
  std::optional<QString> chosen = platform::GetChoosers().SaveFileName(nullptr, choice);
  if (!chosen || !AcceptChosenName(chosen->toStdString())) return std::nullopt;
  return FileName(chosen->toStdString()).Path();
}

// Closing a document may ask for such a name; the dialog is this floor's.
const bool g_calibrationAskerInstalled = (SetCalibrationFileAsker(AskCalibrationFileName), true);

}  // namespace

void PrepareCalibrationImage(Calibration& c) {
  if (!c.calibrationFrame) return;
  const CDIB& loaded = *c.calibrationFrame;
  if (!c.displayFrame) {
    c.displayFrame = std::make_shared<CDIB>(loaded);
  } else {
    std::memcpy(c.displayFrame->Bits(), loaded.Bits(), loaded.ImageSize());
  }
  CDIB& image = *c.displayFrame;
  if (image.BitCount() == 8) {
    const std::vector<PaletteEntry> table = loaded.Palette();
    image.CorrectPalette(table.data(), static_cast<int>(table.size()));
  } else {
    image.BuildCorrectionTables();
  }
  FilterShownImage(image, true);
  image.MarkNewImage();
}

ResourceCalibrationHost::ResourceCalibrationHost(Resource& document) : document_(document) {}
ResourceCalibrationHost::~ResourceCalibrationHost() = default;

int ResourceCalibrationHost::CameraCount() const { return document_.SequenceCount(); }

Calibration& ResourceCalibrationHost::Camera(int number) {
  return *document_.Sequence(number - 1);
}

std::string ResourceCalibrationHost::SequenceFile(int number) const {
  return document_.Sequence(number - 1)->GetFileName().Path();
}

bool ResourceCalibrationHost::LoadCalibrationFrame(int number, QWidget*) {
  FrameSequence& video = *document_.Sequence(number - 1);
  if (!video.Has(kFlagCalibrationImage)) return false;
  if (video.calibrationFrame) return true;
  video.displayFrame.reset();
  std::unique_ptr<FrameSequence> reader = CalibrationFrameReader(video.calibrationImage.Path());
  if (!reader->Open()) return false;
  if (reader->Width() != video.Width() || reader->Height() != video.Height()) {
    ErrorMessage(kUsageError, kResolutionMismatch, video.Width(), video.Height(), reader->Width(),
                 reader->Height());
    return false;
  }
  const CDIB* frame = reader->ReadFrame(1);
  if (!frame || frame->IsEmpty()) return false;
  reader->PreparePalette();
  auto loaded = std::make_shared<CDIB>(*frame);
  if (loaded->BitCount() == 8) {
    for (int i = 0; i < FrameSequence::kPaletteSize; ++i)
      loaded->SetColorTableEntry(i, reader->colorTable[i]);
  }
  video.calibrationFrame = std::move(loaded);
  PrepareCalibrationImage(video);
  return true;
}

QImage ResourceCalibrationHost::Picture(int number) {
  FrameSequence& video = *document_.Sequence(number - 1);
  if (video.displayFrame) return DibToQImage(*video.displayFrame);
  if (BildView* view = ViewOf(video)) return DibToQImage(view->DisplayFrame().Image());
  const CDIB* frame = video.ReadFrame(document_.CurrentFrame());
  return frame ? DibToQImage(*frame) : QImage();
}

void ResourceCalibrationHost::RebuildPicture(int number) {
  FrameSequence& video = *document_.Sequence(number - 1);
  if (video.displayFrame)
    PrepareCalibrationImage(video);
  else if (BildView* view = ViewOf(video))
    view->UpdateImage();
}

void ResourceCalibrationHost::OpenFilterDialog(int number, QWidget* parent) {
  OpenImageDialog<FilterDlg>(number, parent);
}

void ResourceCalibrationHost::OpenGammaDialog(int number, QWidget* parent) {
  OpenImageDialog<GammaDialog>(number, parent);
}

// The dialog on the bitmap the picture shows: the calibration frame's display copy, else the
// frame of the video's view. It stays open beside parent, which it asks to rebuild the picture
// after each change.
template <class Dialog>
void ResourceCalibrationHost::OpenImageDialog(int number, QWidget* parent) {
  FrameSequence& video = *document_.Sequence(number - 1);
  BildView* view = ViewOf(video);
  std::shared_ptr<CDIB> display = video.displayFrame;
  CDIB* bitmap = display ? display.get() : view ? &view->DisplayFrame().Image() : nullptr;
  if (!bitmap) return;
  bool created = false;
  Dialog* dialog = platform::ShowModeless<Dialog>(parent, &created, *bitmap);
  // New calibration files drop the display copy while the dialog may still be open: it keeps
  // its bitmap until it is gone.
  if (created && display) QObject::connect(dialog, &QObject::destroyed, [display] {});
}

void ResourceCalibrationHost::SetScale(int number, float units, float aspect) {
  document_.Sequence(number - 1)->SetScale(units, aspect);
}

bool ResourceCalibrationHost::HasMultipleCalibrated() const {
  return document_.HasMultipleCalibrated();
}

void ResourceCalibrationHost::GetDivergence3D(double& mean, double& deviation) const {
  document_.GetDivergence3D(mean, deviation);
}

int ResourceCalibrationHost::FirstIncompleteCalibration() const {
  return document_.FirstIncompleteCalibration();
}

std::string ResourceCalibrationHost::DocumentFile() const {
  return document_.DocumentName().Path();
}

void ResourceCalibrationHost::SetDocumentFile(const std::string& path) {
  document_.SetDocumentName(FileName(path));
  FileName model(path);
  model.SetExtension("abm");
  document_.SetModelFileName(model);
}

bool ResourceCalibrationHost::WriteDocumentFile() { return ::WriteDocumentFile(document_); }

std::string ResourceCalibrationHost::Description() const { return document_.Caption(); }

void ResourceCalibrationHost::SetDescription(const std::string& text) {
  document_.SetCaption(text);
}

bool ResourceCalibrationHost::AddFurtherSequence(const std::string& path) {
  if (MyDocManager::IsSequenceInDocument(path, document_)) {
    ErrorMessage(kManagerMessage, kAlreadyInDocument, path);
    return false;
  }
  // Opened by what the name says, a raw camera file of either format included.
  return MyDocManager::AddSequence(document_, FileName(path), false);
}

void ResourceCalibrationHost::BeginAbortable(QToolBar* toolbar, QWidget* window) {
  abort_ = std::make_unique<AbortGadget>(toolbar, window);
}

bool ResourceCalibrationHost::PollAbort() { return abort_ && abort_->PumpMessages(); }

void ResourceCalibrationHost::EndAbortable() { abort_.reset(); }

void CmCalibration(Resource& document, QMainWindow* main) {
  if (document.SequenceCount() == 0) return;
  ResourceCalibrationHost host(document);
  if (const int incomplete = document.FirstIncompleteCalibration(); incomplete > 0) {
    ErrorMessage(kMissingTitle, kMissingFiles);
    if (CalibFilesDlg(main, host, incomplete, CalibFilesDlg::kCalibrationMode).Execute() != 1)
      return;
  }
  FrameSequence* active = document.GetActiveFrameSequence();
  const int camera = active && active->number > 0 ? active->number : 1;
  {
    // A window of its own, not a child of the main window, which is hidden while it runs.
    CalibrationWindow window(host, camera, nullptr);
    bool maximised = false;
    if (main) {
      window.setWindowTitle(main->windowTitle());
      window.setGeometry(main->geometry());
      maximised = main->isMaximized();
      main->hide();
    }
    window.Run(maximised);
    if (main) {
      if (window.isMaximized()) {
        main->showMaximized();
      } else {
        main->setGeometry(window.geometry());
        main->showNormal();
      }
    }
  }
  // What was calibrated lasts beyond the session.
  if (CalibrationsChanged(document) || DocumentFileChanged(document)) SaveDocumentFiles(document);
  document.RecalcObjectSequences(0);
  document.UpdateViews();
}

void CmDocumentFiles(Resource& document, QWidget* parent) {
  if (document.SequenceCount() == 0) return;
  ResourceCalibrationHost host(document);
  FrameSequence* active = document.GetActiveFrameSequence();
  const int number = active && active->number > 0 ? active->number : 1;
  CalibFilesDlg(parent, host, number, CalibFilesDlg::kPlainMode).Execute();
  document.RecalcObjectSequences(0);
  document.UpdateViews();
}

bool RunNewDocumentFiles(Resource& document, QWidget* parent) {
  ResourceCalibrationHost host(document);
  return CalibFilesDlg(parent, host, 1, CalibFilesDlg::kNewDocumentMode).Execute() == 1;
}
