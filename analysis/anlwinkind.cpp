#include "analysis/anlwinkind.h"

#include "analysis/analysis_ids.h"
#include "platform/strings.h"

namespace {

// The body-model groups take the sequences of their own result flag.
std::uint32_t MaskOf(int kind) {
  using namespace quantity;
  if (kind < kCenterOfMassX) return 0x101;
  if (kind < kImpulseX) return 0x208;
  if (kind < kForceX) return 0x410;
  if (kind < kMomentOfMomentumX) return 0x420;
  if (kind < kTorsionX) return 0x440;
  return 0x480;
}

CurveSource SourceOf(int kind) {
  using namespace quantity;
  if (kind >= kDistance && kind <= kDistance2) return CurveSource::kDistances;
  if (kind >= kAngle && kind <= kLastAngle) return CurveSource::kAngles;
  const bool resultant = (kind >= kResultingVelocity && kind <= kAbsResultingAcceleration) ||
                         (kind >= kCmResultingVelocity && kind <= kCmAbsResultingAcceleration) ||
                         kind == kImpulseMagnitude || kind == kForceMagnitude ||
                         kind == kMomentOfMomentumMagnitude || kind == kTorsionMagnitude;
  return resultant ? CurveSource::kResultants : CurveSource::kSeries;
}

// Byte length of the UTF-8 sequence a lead byte starts (1 for a stray continuation byte).
std::size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

}  // namespace

AnalysisKindInfo KindInfo(int kind) {
  if (kind < 0 || kind >= quantity::kCount) kind = 0;
  AnalysisKindInfo info;
  info.kind = kind;
  info.mask = MaskOf(kind);
  info.captionId = analysis_ids::kFirstQuantityCaption + kind;
  info.abscissa = kind == quantity::kYOverX ? 9 : 0;
  info.source = SourceOf(kind);
  return info;
}

int KindOfCommand(int id) {
  return id >= anlcmd::kFirstKind && id <= anlcmd::kLastKind ? id - anlcmd::kFirstKind : -1;
}

std::string CutToCharacters(const std::string& text, std::size_t maxChars) {
  std::size_t at = 0;
  for (std::size_t n = 0; n < maxChars && at < text.size(); ++n) {
    const std::size_t next = at + SequenceLength(static_cast<unsigned char>(text[at]));
    if (next > text.size()) break;  // a character cut off already: leave it out
    at = next;
  }
  return text.substr(0, at);
}

std::string AnalysisWindowCaption(unsigned serial, const std::string& analysis,
                                  const std::string& documentCaption) {
  return std::to_string(serial) + ". " + analysis + " / " + documentCaption;
}

void EnableAnlWinCommand(const AnlWinCommandState& s, platform::CommandEnabler& ce) {
  using namespace anlcmd;
  switch (ce.id) {
    case kAlterSequences:
    case kInterpolate:
    case kLowPass:
    case kApproximate:
      ce.Enable(s.kind < kFirstUneditableKind);
      break;
    case kEndImport:
      ce.Enable(s.importedShown);
      break;
    case kCoordinates:
      ce.Enable(s.kind >= 0 && s.kind <= kLastCoordinateKind);
      break;
    case kReticules:
      ce.SetText(std::string(platform::LoadString(s.crosshairsOn ? 32049 : 32050)));
      break;
    case kReticulesOld:
      ce.Enable(!s.crosshairsOn && s.oldCrosshairsHeld);
      break;
    case kFrameNumbers:
      ce.SetText(std::string(platform::LoadString(s.markerShown ? 32052 : 32053)));
      break;
    case kReticulesMenu:
      ce.SetCheck(s.crosshairsOn ? platform::CommandEnabler::kChecked
                                 : platform::CommandEnabler::kUnchecked);
      break;
    case kFrameNumbersMenu:
      ce.SetCheck(s.markerShown ? platform::CommandEnabler::kChecked
                                : platform::CommandEnabler::kUnchecked);
      break;
    case kFit:
      ce.SetCheck(s.fitToWindow ? platform::CommandEnabler::kChecked
                                : platform::CommandEnabler::kUnchecked);
      break;
    case kZoomIn:
      ce.Enable(s.canZoomIn);
      break;
    case kZoomOut:
      ce.Enable(!s.fitToWindow);
      break;
    default:
      break;
  }
}

bool AnalysisWindowEnabled(int id, const AnalysisDocumentState& first,
                           const AnalysisDocumentState& active, bool stickFigureAvailable) {
  auto allows = [&](const AnalysisDocumentState& d) {
    if (!d.present) return false;
    if (id >= anlcmd::kFirstCenterOfMass && id <= anlcmd::kLastKind) return d.hasObjectModel;
    return d.hasAnalysableSequence;
  };
  if (id == anlcmd::kStickFigure && !stickFigureAvailable) return false;
  if (id != anlcmd::kStickFigure && KindOfCommand(id) < 0) return false;
  return allows(first) && allows(active);
}
