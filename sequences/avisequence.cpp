#include "sequences/avisequence.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <new>

#include <QCoreApplication>
#include <QString>
#include <QTimer>

#include "base/application.h"
#include "base/document.h"
#include "base/messages.h"
#include "base/profile.h"
#include "platform/files.h"
#include "platform/library.h"
#include "sequences/avi_ids.h"
#include "sequences/frameconvert.h"

namespace {

AviPropertiesRunner& Runner() {
  static AviPropertiesRunner runner;
  return runner;
}

DibSource SourceOf(const platform::VideoPicture& p) {
  DibSource s;
  s.width = p.width;
  s.height = -p.height;  // decoded rows come top line first
  s.bitCount = p.bitCount;
  s.colorsUsed = p.bitCount == 8 ? 256 : 0;
  s.colorTable = p.colorTable.data();
  s.bits = p.pixels.data();
  return s;
}

bool PaletteDisplay() {
  const auto& services = GetFrameSequenceServices();
  return services.isPaletteDisplay && services.isPaletteDisplay();
}

// How often the progress of the frame count is shown.
constexpr int kCountPollMs = 250;

void ShowStatus(const std::string& text) {
  if (Application* app = TheApplication()) app->SetStatusText(QString::fromStdString(text));
}

}  // namespace

void SetAviPropertiesRunner(AviPropertiesRunner runner) { Runner() = std::move(runner); }

std::string FrameServerScriptLine(const std::string& videoPath) {
  std::string ext = FileName(videoPath).Ext();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (ext == ".mov") return platform::Format("QTInput(\"%s\").ConvertToRGB24()", videoPath);
  return platform::Format(
      "DirectShowSource(\"%s\", video=true, audio=false, seekzero=true).ConvertToRGB24()",
      videoPath);
}

std::string FrameServerScriptPath(const std::string& videoPath) {
  std::string folder = SettingsFolder();
  if (folder.empty()) folder = std::filesystem::temp_directory_path().string();
  return (std::filesystem::path(folder) / (FileName(videoPath).Name() + ".avs")).string();
}

AviFrameSequence::AviFrameSequence(std::string_view name, Document* document)
    : FrameSequence(document) {
  fileName = FileName(name);
}

AviFrameSequence::~AviFrameSequence() { Close(); }

void AviFrameSequence::Close() {
  if (countTimer_) {
    countTimer_.reset();
    ShowStatus({});
  }
  video_.Close();
  promisedFrames_ = 0;
  held_ = 0;
  decodedPosition_ = -1;
}

bool AviFrameSequence::NeedsColorReduction() const {
  return IsColour() && PaletteDisplay() && video_.Info().bitsPerPixel > 8;
}

bool AviFrameSequence::OpenVideo() {
  // Running out of memory while opening ends the open with a message, never the program.
  try {
    return OpenVideoChecked();
  } catch (const std::bad_alloc&) {
    Close();
    ErrorMessage(aviid::kErrorCaption, aviid::kNoMemory, fileName.Path());
    return false;
  }
}

bool AviFrameSequence::CreateBitmaps() {
  const int bits = IsColour() ? 24 : 8;
  const platform::VideoStreamInfo& info = video_.Info();
  if (frameDib.Create(fsData.width, fsData.height, bits) &&
      (fields.halfFrameMode == kHalfFrameNone || fullFrame_.Create(info.width, info.height, bits)))
    return true;
  ErrorMessage(aviid::kErrorCaption, aviid::kTooLarge, fileName.Path(), info.width, info.height);
  return false;
}

bool AviFrameSequence::OpenVideoChecked() {
  using platform::VideoError;
  Close();
  const std::string path = fileName.Path();
  VideoError error = video_.Open(path, platform::VideoFile::Indexing::kInBackground);
  // The frame server is for files that cannot be opened; these were, and cannot be decoded.
  if (error != VideoError::kNone && error != VideoError::kNoDecoder &&
      error != VideoError::kUndecodable) {
    // Other files through the frame server, when it is installed.
    platform::Library server(frameServerLibrary);
    if (server.IsLoaded()) {
      scriptName_ = FrameServerScriptPath(path);
      error = platform::WriteFileAtomically(scriptName_, FrameServerScriptLine(path))
                  ? video_.Open(scriptName_)
                  : VideoError::kCannotOpen;
    }
  }
  const platform::VideoStreamInfo& info = video_.Info();
  switch (error) {
    case VideoError::kNone:
      break;
    case VideoError::kBadFormat:
      ErrorMessage(aviid::kErrorCaption, aviid::kCorrupt, path);
      return false;
    case VideoError::kNoHandler:
      ErrorMessage(aviid::kErrorCaption, aviid::kNoHandler, path);
      return false;
    case VideoError::kNoDecoder:
      ErrorMessage(aviid::kErrorCaption, aviid::kNoDecompressor, path, info.fourcc, info.name);
      return false;
    case VideoError::kUndecodable:
      ErrorMessage(aviid::kErrorCaption, aviid::kUndecodable, path, info.codecName);
      return false;
    case VideoError::kTooLarge:
      ErrorMessage(aviid::kErrorCaption, aviid::kDeclaredTooLarge, path, info.width, info.height,
                   static_cast<long long>(platform::kMaxPicturePixels));
      return false;
    default:
      ErrorMessage(aviid::kErrorCaption, aviid::kCannotOpen, path);
      return false;
  }
  if (info.width <= 0 || info.height <= 0) {
    ErrorMessage(aviid::kErrorCaption, aviid::kNoFormat, path);
    Close();
    return false;
  }
  fsData.width = info.width;
  fsData.height = info.height;
  // A stream without a usable rate gets 1 frame per second, never 0.
  const double rate = info.Rate();
  fsData.framesPerSecond = rate > 0.0 ? static_cast<float>(rate) : 1.0f;
  fsData.sequenceName = info.name.substr(0, FS_Data::kNameSize - 1);
  fsData.frames = info.frames;
  fsData.firstFrame = static_cast<float>(info.startSeconds * fsData.framesPerSecond);
  fsData.colour = 1;
  fsData.colours = FS_Data::kTrueColours;
  ReadDSCPartial(fsData, path);
  SetScale(fsData.units, fsData.aspect);

  // A header may declare any size: the first frame must decode before a bitmap of that size is
  // made.
  if (!video_.ReadFrame(0, picture_)) {
    ErrorMessage(aviid::kErrorCaption, aviid::kUndecodable, path, info.codecName);
    Close();
    return false;
  }

  AviPropertiesModel model(fsData, rate, info.bitsPerPixel);
  model.trueColour = IsColour();
  fields = {};
  if (Runner() && Runner()(*this, model) == 1) model.Apply(fsData, fields);
  if (fsData.frames < 1) fsData.frames = 1;
  SetScale(fsData.units, fsData.aspect);
  if (!CreateBitmaps()) {
    Close();
    return false;
  }
  decodedPosition_ = -1;
  held_ = 0;
  decodeFailureShown_ = false;
  promisedFrames_ = fsData.frames;
  MarkOpened();
  PreparePalette();
  ReadFrame(1, true);
  // The count may have ended while the opening ran, after the file took what it had: the timer
  // still takes it then.
  const bool counted = video_.IndexComplete() && video_.BackgroundDone();
  if (!counted && QCoreApplication::instance()) {
    countTimer_ = std::make_unique<QTimer>();
    QObject::connect(countTimer_.get(), &QTimer::timeout, [this] { PollFrameCount(); });
    // The count is taken from the event loop only, never while the opening still runs.
    countTimer_->start(kCountPollMs);
  }
  return true;
}

int AviFrameSequence::SequenceFrames(int streamFrames) const {
  const int frames = streamFrames - fields.startOffset;
  return std::max(fields.halfFrameMode == kHalfFrameNone ? frames : 2 * frames, 1);
}

int AviFrameSequence::StreamPosition(int number) const {
  return fields.startOffset +
         (fields.halfFrameMode == kHalfFrameNone ? number - 1 : (number - 1) / 2);
}

bool AviFrameSequence::FrameReady(int number) const {
  // Numbers ReadFrame does not decode (out of range, or promised beyond the count) never wait.
  if (!video_.IsOpen() || number < 1 || number > fsData.frames) return true;
  return video_.FrameReady(StreamPosition(number));
}

void AviFrameSequence::PollFrameCount() {
  if (!video_.IsOpen()) return;
  if (video_.TakeFinishedIndex()) TakeFrameCount();
  // The file's name without its folders: a long path would push the figure out of sight.
  const std::string file = std::filesystem::path(fileName.Path()).filename().string();
  if (!video_.IndexComplete()) {
    ShowStatus(platform::FormatString(aviid::kCounting, file,
                                      static_cast<int>(video_.IndexProgress() * 100.0)));
  } else if (!video_.BackgroundDone()) {
    ShowStatus(platform::FormatString(aviid::kReadingDamaged, file,
                                      static_cast<int>(video_.PatchProgress() * 100.0)));
  } else if (countTimer_) {
    countTimer_.reset();
    ShowStatus({});
  }
}

void AviFrameSequence::TakeFrameCount() {
  const int frames = SequenceFrames(video_.Info().frames);
  if (frames == fsData.frames) return;
  // The packets promised another number of frames than the decoder shows: the players, sliders
  // and tracking take the document's count anew, and the current frame is clamped to it.
  fsData.frames = frames;
  if (document) {
    document->EvGoToFrame(document->CurrentFrame());
    document->UpdateDialogs();
  }
}

void AviFrameSequence::ReportDecodeFailure() {
  if (decodeFailureShown_) return;
  decodeFailureShown_ = true;
  ShowErrorMessage(kInternalErrorCaption, "Could not read frame from avi stream!");
}

bool AviFrameSequence::Decode(int position) {
  bool decoded = false;
  try {
    decoded = video_.ReadFrame(position, picture_);
  } catch (const std::bad_alloc&) {
    decoded = false;
  }
  if (decoded) {
    if (IsColour() && picture_.bitCount <= 8 && PaletteDisplay()) {
      for (int i = 0; i < kPaletteSize; ++i) {
        const std::uint8_t* e = picture_.colorTable.data() + 4 * i;
        colorTable[i] = PaletteEntry{e[2], e[1], e[0], 0};
      }
      colorTableIsGrey = false;
      displayPalette.SetEntries(colorTable, true);
    }
    return true;
  }
  ReportDecodeFailure();
  return false;
}

const CDIB* AviFrameSequence::ReadFrame(int number, bool force) {
  if (!video_.IsOpen()) {
    ShowErrorMessage(kInternalErrorCaption, "FrameSequence has not been opened!");
    return frameDib.IsEmpty() ? nullptr : &frameDib;
  }
  if (number > fsData.frames && number <= promisedFrames_) return nullptr;
  if (number < 1 || number > fsData.frames) number = 1;
  if (!force && number == held_) return &frameDib;
  if (fields.halfFrameMode == kHalfFrameNone) {
    // A 24-bit picture goes straight into the colour working bitmap, bottom line first: what
    // SetupDIB's copy of 24 into 24 bits would make of it, without the copy.
    if (IsColour()) {
      picture_.directBits =
          frameDib.Bits() + static_cast<std::size_t>(frameDib.RowBytes()) * (frameDib.Height() - 1);
      picture_.directStride = -frameDib.RowBytes();
      picture_.directWidth = frameDib.Width();
      picture_.directHeight = frameDib.Height();
    }
    if (Decode(StreamPosition(number)) && !picture_.direct)
      SetupDIB(fsData, SourceOf(picture_), frameDib);
    picture_.directBits = nullptr;
  } else {
    const int position = StreamPosition(number);
    const int field = fields.oddFieldFirst ? (number & 1) : ((number - 1) & 1);
    if (position != decodedPosition_ || force) {
      if (Decode(position)) {
        SetupDIB(fsData, SourceOf(picture_), fullFrame_);
        decodedPosition_ = position;
      }
    }
    // When the decode failed the working bitmap keeps the last good picture.
    if (position == decodedPosition_)
      SetupHalfframeDIB(fsData, fields.halfFrameMode, fullFrame_, field, frameDib);
  }
  held_ = number;
  frameDib.MarkNewImage();
  return &frameDib;
}

bool AviFrameSequence::DecodePreview(int position, CDIB& out) {
  if (!video_.IsOpen() || !video_.ReadFrame(position - 1, picture_)) return false;
  if (out.Width() != picture_.width || out.Height() != picture_.height || out.BitCount() != 24)
    out.Create(picture_.width, picture_.height, 24);
  FS_Data colour;
  colour.colour = 1;
  SetupDIB(colour, SourceOf(picture_), out);
  // The decoder now stands elsewhere; a full-frame field must be decoded again.
  decodedPosition_ = -1;
  return true;
}
