#include "analysis/curves/curvelists.h"

#include "analysis/analysis_ids.h"
#include "objects/resobjseq.h"
#include "objects/stickfigure.h"

std::optional<CurveParameters> CurveParametersOf(int code) {
  using namespace quantity;
  using enum ResultantMode;
  switch (code) {
    case kDistance:
    case kDistance1:
    case kDistance2:
      return CurveParameters{CurveKind::kDistance, code - kDistance};
    case kResultingVelocity:
    case kCmResultingVelocity:
      return CurveParameters{CurveKind::kResultant, 1, kMagnitudeFirst};
    case kAbsResultingVelocity:
    case kCmAbsResultingVelocity:
      return CurveParameters{CurveKind::kResultant, 1, kDerivativesFirst};
    case kResultingAcceleration:
    case kCmResultingAcceleration:
      return CurveParameters{CurveKind::kResultant, 2, kMagnitudeFirst};
    case kAbsResultingAcceleration:
    case kCmAbsResultingAcceleration:
      return CurveParameters{CurveKind::kResultant, 2, kDerivativesFirst};
    case kImpulseMagnitude:
    case kForceMagnitude:
    case kMomentOfMomentumMagnitude:
    case kTorsionMagnitude:
      return CurveParameters{CurveKind::kResultant, 0, kMagnitudeFirst};
    default:
      break;
  }
  if (code >= kAngle && code <= kLastAngle) {
    const int step = code - kAngle;
    return CurveParameters{CurveKind::kAngle, step % 3, kMagnitudeFirst, step / 3};
  }
  return std::nullopt;
}

void Distanzen::CreateEntries(const StickFigure& figure, unsigned width, unsigned style,
                              bool connect) {
  for (const auto& pair : figure.AllConnections()) {
    if (pair->HasDeletedEnd()) continue;
    auto curve =
        std::make_unique<DistanzZeichnen>(pair->first, pair->second, width, style, connect);
    curve->SetColor(pair->color.color);
    curves_.push_back(std::move(curve));
  }
}

void Distanzen::ComputeAll(int order) {
  for (auto& c : curves_) c->Compute(order);
}

DistanzZeichnen* Distanzen::Select(const ResObjectSequence* a, const ResObjectSequence* b) {
  return SelectWhere([&](const DistanzZeichnen& c) { return c.A() == a && c.B() == b; });
}

void ResultierendenListe::CreateEntries(const ResObjectSequences& sequences, std::uint32_t mask,
                                        unsigned width, unsigned style, bool connect) {
  SequenceIterator it(sequences, mask);
  for (ResObjectSequence* s = it.Restart(); s; s = it.Next())
    if (!s->IsHidden())
      curves_.push_back(std::make_unique<ResultierendeZeichnen>(s, width, style, connect));
}

void ResultierendenListe::ComputeAll(int order, ResultantMode mode) {
  for (auto& c : curves_) c->Compute(order, mode);
}

ResultierendeZeichnen* ResultierendenListe::Select(const ResObjectSequence* sequence) {
  return SelectWhere([&](const ResultierendeZeichnen& c) { return c.Sequence() == sequence; });
}

void WinkelListe::CreateEntries(const StickFigure& figure, unsigned width, unsigned style,
                                bool connect) {
  for (AngleSequencePair* a = figure.NextAngle(nullptr, false); a; a = figure.NextAngle(a, false)) {
    bool hidden = false;
    for (int i = 1; i <= 4; ++i) hidden = hidden || a->SequenceAt(i)->IsHidden();
    if (!hidden) curves_.push_back(std::make_unique<WinkelZeichnen>(a, width, style, connect));
  }
}

void WinkelListe::ComputeAll(int order, int plane) {
  for (auto& c : curves_) c->Compute(order, plane);
}

WinkelZeichnen* WinkelListe::Select(const AngleSequencePair* angle) {
  return SelectWhere([&](const WinkelZeichnen& c) { return c.Angle() == angle; });
}
