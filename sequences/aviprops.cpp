#include "sequences/aviprops.h"

#include <cmath>

#include "platform/numbers.h"
#include "platform/strings.h"
#include "sequences/frameconvert.h"

AviPropertiesModel::AviPropertiesModel(const FS_Data& data, double streamRate, int streamBits)
    : width_(data.width),
      height_(data.height),
      frames_(data.frames),
      rate_(data.framesPerSecond),
      streamRate_(streamRate),
      streamBits_(streamBits) {}

bool AviPropertiesModel::SetRate(double rate) {
  if (!(rate > 0.0) || !std::isfinite(rate) || rate > 1e9) return false;
  rate_ = static_cast<float>(rate);
  return true;
}

std::string AviPropertiesModel::SizeText() const {
  int w = 0, h = 0;
  HalfFrameSize(halfFrameMode, width_, height_, &w, &h);
  return platform::Format("%d * %d", w, h);
}

std::string AviPropertiesModel::DepthText() const {
  return platform::Format("%d bit", streamBits_);
}

std::string AviPropertiesModel::FramesText() const {
  const int frames = Halves() ? 2 * frames_ : frames_;
  const double rate = Halves() ? 2.0 * rate_ : rate_;
  return platform::Format("%d (%.2lf ms)", frames, frames / rate * 1000.0);
}

std::string AviPropertiesModel::RateText() const {
  const double rate = platform::FloatAsDecimal(rate_);
  return platform::Format("%lf", Halves() ? 2.0 * rate : rate);
}

std::string AviPropertiesModel::FirstFrameText() const {
  return platform::Format("%.2lf ms  (Frame %d)", (previewPosition - 1) / rate_ * 1000.0,
                          previewPosition);
}

void AviPropertiesModel::Apply(FS_Data& data, AviFieldSettings& fields) const {
  data.colour = trueColour ? 1 : 0;
  data.colours = trueColour ? FS_Data::kTrueColours : FS_Data::kGreyColours;
  data.framesPerSecond = rate_;
  fields.startOffset = 0;
  if (useStartPosition && previewPosition > 1 && previewPosition <= frames_) {
    fields.startOffset = previewPosition - 1;
    // The first frame is a frame number: the skipped frames are added as frames.
    data.firstFrame += static_cast<float>(previewPosition - 1);
  }
  fields.oddFieldFirst = oddFieldFirst;
  fields.halfFrameMode = halfFrameMode;
  if (!Halves()) {
    data.frames = frames_ - fields.startOffset;
    return;
  }
  data.framesPerSecond = 2.0f * rate_;
  HalfFrameSize(halfFrameMode, width_, height_, &data.width, &data.height);
  data.frames = 2 * frames_ - 2 * fields.startOffset;
}

bool ParseFrameRate(const std::string& text, double* rate) {
  const std::string kept = text.substr(0, 20);
  if (platform::NumberPrefixLength(kept) == 0) return false;
  const double value = platform::ParseDouble(kept);
  if (!(value > 0.0) || !std::isfinite(value) || value > 1e9) return false;
  *rate = value;
  return true;
}
