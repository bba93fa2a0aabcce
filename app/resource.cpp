#include "app/resource.h"

#include <QObject>

#include <algorithm>
#include <cmath>

#include "app/documentwindow.h"
#include "app/player.h"
#include "app/sequencelist.h"
#include "base/analysislinks.h"
#include "base/defaults.h"
#include "base/messages.h"
#include "platform/events.h"
#include "sequences/framesequence.h"

ResourceList g_ResourceList;

namespace {

constexpr int kRateTitle = 31113, kRateQuestion = 31114;
unsigned g_nextSerial = 1;

}  // namespace

QObject* Resource::WindowObject() const { return dynamic_cast<QObject*>(window_); }

bool Resource::IsWindowMinimised() const { return window_ && window_->IsMinimised(); }

Resource::Resource(const FileName& fileName, bool isResourceFile)
    : serial_(g_nextSerial++), documentName_(fileName), modelFileName_(fileName) {
  if (!isResourceFile) documentName_.SetExtension("RSC");
  modelFileName_.SetExtension("abm");
  caption_ = documentName_.Name();
  CreateObjectSequences();
  ReadResourceEntry(0);
}

Resource::~Resource() {
  ForEachAnalysisLink(serial_, [](AnalysisLink& link) { link.CloseWindow(); });
  ReleaseObjectModel();
  objectSequences_.reset();
  sequences_.clear();
  g_ResourceList.Detach(this);
}

FrameSequence* Resource::Sequence(int index) const {
  return index >= 0 && index < SequenceCount() ? sequences_[index].get() : nullptr;
}

void Resource::AddFrameSequence(FrameSequence* sequence) {
  if (!sequence) return;
  sequence->number = SequenceCount() + 1;
  sequence->document = this;
  sequences_.emplace_back(sequence);
  ReadResourceEntry(SequenceCount());
}

bool Resource::ReadResourceEntry(int n) {
  if (n == 0) {
    auto description = ReadDocumentDescription(documentName_);
    if (description) {
      caption_ = *description;
      if (window_) window_->SetCaption(caption_);
    }
    return true;
  }
  FrameSequence* sequence = Sequence(n - 1);
  auto data = ReadCalibrationDataName(documentName_, n);
  // The data file's own names are resolved against its folder by its reader, so the process's
  // current directory is never changed.
  if (sequence && data) sequence->SetCalibrationFile(data->Path());
  return true;
}

bool Resource::ReduceColors() {
  for (auto& s : sequences_) s->PreparePalette();
  return true;
}

void Resource::SetupRate() {
  if (sequences_.empty()) return;
  float lowest = sequences_.front()->FramesPerSecond();
  float highest = lowest;
  for (auto& s : sequences_) {
    lowest = std::min(lowest, s->FramesPerSecond());
    highest = std::max(highest, s->FramesPerSecond());
  }
  framesPerSecond_ = lowest;
  if (lowest != highest &&
      QuestionMessage(kRateTitle, kRateQuestion, lowest, highest) == platform::kIdYes && window_)
    window_->AskFrameRate(&framesPerSecond_, highest);
  rateKnown_ = true;
}

int Resource::MinFrameCount() const {
  if (sequences_.empty()) return 0;
  int n = sequences_.front()->Frames();
  for (auto& s : sequences_) n = std::min(n, s->Frames());
  return n;
}

int Resource::MaxFrameCount() const {
  int n = 0;
  for (auto& s : sequences_) n = std::max(n, s->Frames());
  return n;
}

int Resource::MaxFrameWidth() const {
  int n = 0;
  for (auto& s : sequences_) n = std::max(n, s->Width());
  return n;
}

int Resource::MaxFrameHeight() const {
  int n = 0;
  for (auto& s : sequences_) n = std::max(n, s->Height());
  return n;
}

int Resource::CountCalibrated() const {
  return static_cast<int>(std::count_if(sequences_.begin(), sequences_.end(),
                                        [](auto& s) { return s->IsCalibrated(); }));
}

bool Resource::IsPlanar() const {
  if (SequenceCount() != 1) return false;
  const FrameSequence& s = *sequences_.front();
  return s.UsesLinearSizing() || !s.IsCalibrated();
}

int Resource::FirstIncompleteCalibration() const {
  if (SequenceCount() <= 1) return 0;
  for (int i = 0; i < SequenceCount(); ++i)
    if (!sequences_[i]->IsReady()) return i + 1;
  return 0;
}

void Resource::GetDivergence3D(double& mean, double& sd) const {
  double sum = 0, sumSquares = 0;
  std::int64_t count = 0;
  for (int i = 0; i < SequenceCount(); ++i) {
    if (!sequences_[i]->IsCalibrated()) continue;
    for (int j = i + 1; j < SequenceCount(); ++j) {
      if (!sequences_[j]->IsCalibrated()) continue;
      double s = 0, sq = 0;
      std::int32_t n = 0;
      if (sequences_[i]->MatchModelPoints(s, sq, n, *sequences_[j])) {
        sum += s;
        sumSquares += sq;
        count += n;
      }
    }
  }
  mean = sd = 0;
  if (count < 2) return;
  mean = sum / count;
  // Rounding can make the variance slightly negative when all divergences are equal.
  sd = std::sqrt(std::max(0.0, (sumSquares - sum * sum / count) / (count - 1)));
}

FrameSequence* Resource::GetActiveFrameSequence() {
  if (!active_ && !sequences_.empty()) active_ = sequences_.front().get();
  return active_;
}

int Resource::EvGoToFrame(int frame) {
  frame = player::ClampFrame(frame, MinFrameCount());
  ForEachAnalysisLink(serial_, [frame](AnalysisLink& link) { link.GoToFrame(frame); });
  if (frame != currentFrame_) {
    currentFrame_ = frame;
    if (!window_ || !window_->IsMinimised()) {
      ForwardCommand(vnShowFrame, frame);
      UpdateDialogs();
    }
    if (window_) window_->ShowFrame(frame, 1, -1);
  }
  return 1;
}

bool Resource::ForwardCommand(int code, int argument) {
  const bool zoomed = window_ && window_->IsLayoutZoomed();
  bool result = true;
  for (auto& s : sequences_) {
    if (zoomed && s.get() != GetActiveFrameSequence()) continue;
    if (!s->view) continue;
    result = platform::SendMessage(s->view, WM_VNNOTIFY, code, argument) != 0 && result;
  }
  return result;
}

int Resource::EvViewNotify(int code, const float* point, FrameSequence* sequence) {
  switch (code) {
    case DN_ACTIVEVIEW:
      if (sequence) active_ = sequence;
      return 1;
    case DN_TOGGLEZOOM:
      if (window_) window_->ToggleZoom();
      return 1;
    case DN_CURRENTOBJECTCHANGED:
      if (window_) window_->UpdatePanels();
      return 1;
    default:
      if (code >= DN_PANELSVISIBLE && code <= DN_CANCELDRAG)
        return window_ ? window_->PanelNotify(code, point) : 0;
      return 0;
  }
}

void Resource::UpdateViews() {
  InvalidateViews();
  UpdateDialogs();
}

void Resource::InvalidateViews() {
  for (auto& s : sequences_)
    if (s->view) platform::SendMessage(s->view, WM_VNNOTIFY, vnRepaintFrame, currentFrame_);
  ForEachAnalysisLink(serial_,
                      [this](AnalysisLink& link) { link.RebuildCurves(currentFrame_, serial_); });
}

void Resource::UpdateDialogs() {
  if (window_ && window_->IsMinimised()) return;
  ForwardCommand(vnRepaintFrame, currentFrame_);
  if (window_) window_->UpdatePanels();
}

void Resource::DockObjectSequenceDlg() {
  if (window_) window_->DockPanel(kObjectPanel);
}

void Resource::DockObjectTemplateDlg() {
  if (window_) window_->DockPanel(kTemplatePanel);
}

void Resource::DockConnectDlg() {
  if (window_) window_->DockPanel(kConnectPanel);
}

void Resource::ToggleDockPosition() {
  if (window_) window_->ToggleDockPosition();
}

void Resource::UndockDialog() {
  if (window_) window_->UndockPanel();
}

void Resource::UpdateAnalysisWindows(ResObjectSequence* sequence) {
  ForEachAnalysisLink(serial_,
                      [sequence](AnalysisLink& link) { link.AddObjectSequence(sequence); });
}

void Resource::RemoveFromAnalysisWindows(ResObjectSequence* sequence) {
  ForEachAnalysisLink(serial_,
                      [sequence](AnalysisLink& link) { link.RemoveObjectSequence(sequence); });
}

void Resource::SetPaletteEntry(int index, std::uint32_t colour) {
  for (auto& s : sequences_)
    s->displayPalette.SetEntry(index, static_cast<std::uint8_t>(colour & 0xFF),
                               static_cast<std::uint8_t>((colour >> 8) & 0xFF),
                               static_cast<std::uint8_t>((colour >> 16) & 0xFF));
}

std::uint32_t Resource::SetObjectColor(int index) {
  MapColor c = BuiltInColor(0);
  if (g_Defaults && g_Defaults->colorCount > 0) {
    int count = g_Defaults->colorCount;
    c = g_Defaults->colors[((index % count) + count) % count];
  } else {
    c = BuiltInColor(((index % kBuiltInColors) + kBuiltInColors) % kBuiltInColors);
  }
  std::uint32_t colour = c.red | (c.green << 8) | (static_cast<std::uint32_t>(c.blue) << 16);
  SetPaletteEntry(index, colour);
  return colour;
}

void ResourceList::Add(Resource* document) {
  if (document) documents_.insert(documents_.begin(), document);
}

void ResourceList::Detach(Resource* document) {
  documents_.erase(std::remove(documents_.begin(), documents_.end(), document), documents_.end());
}

Resource* ResourceList::Next(Resource* document) const {
  if (!document) return documents_.empty() ? nullptr : documents_.front();
  auto it = std::find(documents_.begin(), documents_.end(), document);
  if (it == documents_.end() || ++it == documents_.end()) return nullptr;
  return *it;
}

void Resource::SetCaption(const std::string& caption) {
  caption_ = caption;
  if (window_) window_->SetCaption(caption_);
}
