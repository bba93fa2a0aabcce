#include "app/mydocmanager.h"

#include <QDir>
#include <QMainWindow>
#include <QMdiSubWindow>

#include <filesystem>

#include "app/calibrationhost.h"
#include "app/clipvideo.h"
#include "app/documentfiles.h"
#include "app/player.h"
#include "app/resource.h"
#include "app/sequencelist.h"
#include "app/ui/mdiclient.h"
#include "app/ui/resourcewindow.h"
#include "app/zorvatrackapp.h"
#include "base/defaults.h"
#include "base/filesnapshot.h"
#include "base/messages.h"
#include "base/profile.h"
#include "base/ui/bitmaps.h"
#include "base/ui/defaultsdlg.h"
#include "objects/ui/bildview.h"
#include "platform/events.h"
#include "platform/ui/choosers.h"
#include "sequences/avisequence.h"
#include "sequences/bldsequence.h"
#include "sequences/vr2sequence.h"
#include "sequences/vrawsequence.h"

namespace {

constexpr int kManagerMessage = 32500, kAlreadyOpen = 32501;
constexpr int kLoadFilters = 32503, kLoadTitle = 32504, kMultipleFilters = 32505;
constexpr int kIoError = 31050, kClipNotWritten = 31095;
constexpr int kClipCaption = 31270, kClipTailCut = 31271;
constexpr float kRawGamma = 0.75f;
constexpr int kDocumentIcon = 1003;
constexpr int kAllSupported = 1;  // the open dialog's first filter

QString Text(int id) {
  auto s = platform::LoadString(id);
  return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

// The folder of the last file opened; before the first one (the settings name the program's own
// folder then, where no recordings are) the user's home.
std::string InitialFolder() {
  std::string folder;
  if (g_Profile) g_Profile->GetString(key::kSection, key::kInitialPath, folder, 261, "");
  std::error_code error;
  if (folder.empty() || folder == SettingsFolder() || !std::filesystem::is_directory(folder, error))
    return QDir::homePath().toStdString();
  return folder;
}

void StoreInitialFolder(const FileName& chosen) {
  if (g_Profile) g_Profile->WriteString(key::kSection, key::kInitialPath, chosen.Folder());
}

QWidget* MainWindow() { return g_App ? g_App->MainWindow() : nullptr; }

}  // namespace

std::unique_ptr<FrameSequence> MakeFrameSequence(const FileName& file, bool fromList,
                                                 Resource* document) {
  switch (KindOfFile(file, fromList)) {
    case SequenceKind::kBld:
      return std::make_unique<BldFrameSequence>(file.Path(), document);
    case SequenceKind::kVraw:
      return std::make_unique<VrawFrameSequence>(file.Path(), document);
    case SequenceKind::kVr2:
      return std::make_unique<Vr2FrameSequence>(file.Path(), document);
    default:
      return std::make_unique<AviFrameSequence>(file.Path(), document);
  }
}

MyDocManager::MyDocManager() {
  // Until the user chose a filter, all the files the program reads are shown.
  if (g_Profile)
    lastFilterIndex_ = g_Profile->GetInt(key::kSection, key::kLastFilterIndex, kAllSupported);
}

const platform::CommandTable& MyDocManager::Commands() const {
  using M = MyDocManager;
  static constexpr platform::CommandEntry entries[] = {
      platform::Command<&M::CmLoadImageSequence>(24332),
      platform::Command<&M::CmLoadMultipleSequences>(24331),
      platform::Command<&M::CmClose, &M::CeClose>(24339),
      platform::Enabler<&M::CeNever>(24333),
      platform::Enabler<&M::CeNever>(24334),
      platform::Command<&M::CmPresettings>(25120),
      platform::CommandRange<&M::CmPlayer, &M::CePlayer>(player::kPlay, player::kFirst),
      platform::Command<&M::CmAddToClipVideo, &M::CeAddToClipVideo>(25095),
  };
  static const platform::CommandTable table{entries};
  return table;
}

bool MyDocManager::IsSequenceLoaded(const std::string& path) {
  for (Resource* doc = g_ResourceList.Next(nullptr); doc; doc = g_ResourceList.Next(doc))
    if (IsSequenceInDocument(path, *doc)) return true;
  return false;
}

bool MyDocManager::IsSequenceInDocument(const std::string& path, const Resource& doc) {
  // Exact comparison: on this system names that differ in case are different files.
  for (int i = 0; i < doc.SequenceCount(); ++i)
    if (doc.Sequence(i)->GetFileName().Path() == path) return true;
  return false;
}

bool MyDocManager::AddSequence(Resource& doc, const FileName& file, bool fromList) {
  std::unique_ptr<FrameSequence> sequence = MakeFrameSequence(file, fromList, &doc);
  if (IsSequenceLoaded(file.Path())) ErrorMessage(kManagerMessage, kAlreadyOpen, file.Path());
  if (!sequence->Open()) return false;
  const SequenceKind kind = KindOfFile(file, fromList);
  if (!fromList && (kind == SequenceKind::kVraw || kind == SequenceKind::kVr2) && g_Defaults)
    g_Defaults->gammaRed = g_Defaults->gammaGreen = g_Defaults->gammaBlue = kRawGamma;
  FrameSequence* added = sequence.release();
  doc.AddFrameSequence(added);
  added->CreateView();
  return true;
}

Resource* MyDocManager::LoadDocument(const FileName& file) {
  auto doc = std::make_unique<Resource>(file, IsDocumentFile(file));
  if (KindOfFile(file, false) == SequenceKind::kList) {
    auto files = ReadSequenceList(file);
    if (!files) return nullptr;
    for (const FileName& f : *files)
      if (!AddSequence(*doc, f, true)) return nullptr;
  } else if (!AddSequence(*doc, file, false)) {
    return nullptr;
  }
  NoteDocumentFileRead(*doc);
  if (!doc->ReduceColors()) return nullptr;
  return OpenWindow(std::move(doc));
}

Resource* MyDocManager::OpenWindow(std::unique_ptr<Resource> doc) {
  Resource* document = doc.get();
  auto* window = new ResourceWindow(std::move(doc));
  g_ResourceList.Add(document);
  QMdiSubWindow* sub = nullptr;
  if (g_App && g_App->MDIClient()) {
    sub = g_App->MDIClient()->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(bitmaps::Icon(kDocumentIcon));
    QObject::connect(sub, &QMdiSubWindow::aboutToActivate, window, &ResourceWindow::Activated);
    sub->show();
  }
  if (!window->SetupWindow()) {
    g_ResourceList.Detach(document);
    if (sub)
      delete sub;
    else
      delete window;
    return nullptr;
  }
  return document;
}

void MyDocManager::CmLoadImageSequence() {
  FileName file;
  if (g_App && !g_App->PendingFileName().empty()) {
    file = FileName(g_App->PendingFileName());
    g_App->SetPendingFileName("");
  } else {
    platform::FileChoice choice{
        Text(kLoadTitle), platform::QtFileFilter(platform::LoadString(kLoadFilters)),
        QString::fromStdString(InitialFolder()), "BLD", lastFilterIndex_ - 1};
    auto chosen = platform::GetChoosers().OpenFileName(MainWindow(), choice);
    if (!chosen) return;
    lastFilterIndex_ = choice.filterIndex + 1;
    if (g_Profile) g_Profile->WriteInt(key::kSection, key::kLastFilterIndex, lastFilterIndex_);
    file = FileName(chosen->toStdString());
    StoreInitialFolder(file);
  }
  LoadDocument(file);
}

void MyDocManager::CmLoadMultipleSequences() {
  // The first sequence makes a new document; the document-files dialog adds the further ones.
  platform::FileChoice choice{Text(kLoadTitle),
                              platform::QtFileFilter(platform::LoadString(kMultipleFilters)),
                              QString::fromStdString(InitialFolder()), "", lastFilterIndex_ - 1};
  auto chosen = platform::GetChoosers().OpenFileName(MainWindow(), choice);
  // The new document's file will name the sequence: it must be found again by that name.
  if (!chosen || !AcceptChosenName(chosen->toStdString())) return;
  FileName file(chosen->toStdString());
  StoreInitialFolder(file);
  auto doc = std::make_unique<Resource>(file, false);
  // Opened by what the name says, a raw camera file of either format included.
  if (!AddSequence(*doc, file, false)) return;
  NoteDocumentFileRead(*doc);
  if (!RunNewDocumentFiles(*doc, MainWindow())) return;
  if (!doc->ReduceColors()) return;
  OpenWindow(std::move(doc));
}

void MyDocManager::CmClose() {
  if (!g_App) return;
  Resource* doc = g_App->GetActiveDocument();
  if (!doc || !doc->Window()) return;
  if (auto* window = dynamic_cast<ResourceWindow*>(doc->Window())) {
    if (QMdiSubWindow* sub = window->SubWindow())
      sub->close();
    else
      window->close();
  }
}

void MyDocManager::CeClose(platform::CommandEnabler& ce) {
  ce.Enable(g_ResourceList.Next(nullptr) != nullptr);
}

void MyDocManager::CmPresettings() {
  if (!g_Defaults) return;
  PaletteColors palette = GreyRampPalette();
  Resource* doc = g_App ? g_App->GetActiveDocument() : nullptr;
  if (FrameSequence* active = doc ? doc->GetActiveFrameSequence() : nullptr)
    for (int i = 0; i < ColorPalette::kSize; ++i) {
      const PaletteEntry& e = active->displayPalette[i];
      palette[i] = MapColor{e.red, e.green, e.blue};
    }
  ObjectSequenceDefaultsDlg(MainWindow(), *g_Defaults, palette).Execute();
}

Resource* MyDocManager::PlayableDocument() const {
  Resource* doc = g_App ? g_App->GetActiveDocument() : nullptr;
  return doc && doc->MinFrameCount() > 1 ? doc : nullptr;
}

void MyDocManager::StepTo(Resource& doc, int frame) {
  if (auto* window = dynamic_cast<QObject*>(doc.Window()))
    platform::SendMessage(window, WM_GOTOFRAME, frame);
  else
    doc.EvGoToFrame(frame);
}

void MyDocManager::CmPlayer(int id) {
  Resource* doc = g_App ? g_App->GetActiveDocument() : nullptr;
  if (!doc) return;
  if (id == player::kPlay) {
    doc->playing = true;
  } else if (id == player::kStop) {
    doc->playing = false;
  } else {
    StepTo(*doc, player::TargetFrame(id, doc->CurrentFrame(), doc->MinFrameCount()));
  }
}

void MyDocManager::CePlayer(platform::CommandEnabler& ce) {
  Resource* doc = g_App ? g_App->GetActiveDocument() : nullptr;
  Resource* playable = PlayableDocument();
  const bool printing = g_App && g_App->PrintCounter() != 0;
  if (ce.id == player::kPlay) {
    if (playable && playable->playing && !printing) {
      StepTo(*playable, player::TargetFrame(player::kNext, playable->CurrentFrame(),
                                            playable->MinFrameCount()));
      ce.Enable(false);
      return;
    }
    ce.Enable(playable != nullptr);
  } else if (ce.id == player::kStop) {
    ce.Enable(doc && doc->playing);
  } else {
    ce.Enable(playable != nullptr);
  }
}

bool MyDocManager::IdlePlay() {
  Resource* doc = PlayableDocument();
  if (!doc || !doc->playing || (g_App && g_App->PrintCounter() != 0)) return false;
  StepTo(*doc, player::TargetFrame(player::kNext, doc->CurrentFrame(), doc->MinFrameCount()));
  return true;
}

void MyDocManager::CeAddToClipVideo(platform::CommandEnabler& ce) {
  Resource* doc = PlayableDocument();
  const bool printing = g_App && g_App->PrintCounter() != 0;
  ce.Enable(doc && !(doc->playing && !printing));
}

void MyDocManager::CmAddToClipVideo() {
  Resource* doc = g_App ? g_App->GetActiveDocument() : nullptr;
  if (!doc) return;
  for (int i = 0; i < doc->SequenceCount(); ++i) {
    FrameSequence* s = doc->Sequence(i);
    auto* view = qobject_cast<BildView*>(s->view.data());
    if (!view) continue;
    const CDIB& image = view->DisplayFrame().Image();
    const int bytesPerPixel = image.BitCount() == 8 ? 1 : 3;
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(s->Width()) * s->Height() *
                                     bytesPerPixel);
    view->DisplayFrame().CopyToPlanes(buffer.data());
    ClipAppend done;
    std::string error;
    const bool added =
        AppendClipFrame(s->GetFileName(), s->FramesPerSecond(),
                        {s->Width(), s->Height(), bytesPerPixel, buffer.data()}, done, &error);
    const std::string clip = ClipVideoNames(s->GetFileName()).bld;
    if (done.bytesCut > 0) {
      ErrorMessage(kClipCaption, kClipTailCut, clip, static_cast<unsigned long long>(done.bytesCut),
                   s->Width(), s->Height());
    }
    if (!added) {
      // The frame stays where it is, so no picture is skipped unnoticed.
      ErrorMessage(done.refused ? kClipCaption : kIoError, kClipNotWritten, clip, error);
      return;
    }
  }
  StepTo(*doc, player::TargetFrame(player::kNext, doc->CurrentFrame(), doc->MinFrameCount()));
}
