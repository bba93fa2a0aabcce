#include "sequences/imagedialogs.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/numbers.h"

FilterDlgModel::FilterDlgModel(CDIB& dib, std::function<void()> notify)
    : dib_(dib), notify_(std::move(notify)), original_(dib.filterId) {}

void FilterDlgModel::Choose(int filterId) {
  dib_.filterId = filterId;
  if (notify_) notify_();
}

void FilterDlgModel::SetPaintDelayText(std::string_view text) {
  const long ms = platform::ParseLong(text);
  dib_.SetPaintDelay(static_cast<int>(std::clamp<long>(ms, 0, CDIB::kMaxPaintDelayMs)));
}

std::string FilterDlgModel::PaintDelayText() const { return std::to_string(dib_.PaintDelay()); }

void FilterDlgModel::Cancel() { Choose(original_); }

GammaDialogModel::GammaDialogModel(CDIB& dib, std::function<void()> notify, GammaDefaults* defaults)
    : dib_(dib), notify_(std::move(notify)), defaults_(defaults) {
  const GammaSettings g = dib.Gamma();
  factors_[kRed] = g.red;
  factors_[kGreen] = g.green;
  factors_[kBlue] = g.blue;
  linear_ = g.linear;
  keepTogether_ = g.red == g.green && g.green == g.blue;
}

int GammaDialogModel::Position(Colour c) const {
  // The small allowance keeps 0.29 (stored as 0.28999...) at position 29.
  return static_cast<int>(std::floor(factors_[c] * 100.0 + 1e-9));
}

std::string GammaDialogModel::FactorText(Colour c) const {
  return platform::FormatFixed(factors_[c], 2);
}

void GammaDialogModel::SetPosition(Colour c, int position) {
  const double f = std::clamp(position, kMinPosition, kMaxPosition) / 100.0;
  if (keepTogether_) {
    std::fill(std::begin(factors_), std::end(factors_), f);
  } else {
    factors_[c] = f;
  }
  Apply();
}

void GammaDialogModel::SetKeepTogether(bool on) {
  keepTogether_ = on;
  if (on) SetPosition(kRed, Position(kRed));
}

void GammaDialogModel::SetLinear(bool on) {
  linear_ = on;
  Apply();
}

void GammaDialogModel::Reset() {
  std::fill(std::begin(factors_), std::end(factors_), 1.0);
  Apply();
}

void GammaDialogModel::SaveAsDefault() const {
  if (defaults_) defaults_->Save({factors_[kRed], factors_[kGreen], factors_[kBlue], linear_});
}

void GammaDialogModel::Apply() {
  dib_.SetGamma(factors_[kRed], factors_[kGreen], factors_[kBlue], linear_);
  if (notify_) notify_();
}
