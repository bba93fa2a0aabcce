#pragma once

// What an analysis window of one kind (quantity code 0..57) is: the sequences it takes (the
// iterator mask), where its curves come from, its abscissa, the caption of its window and which
// of its commands apply. All of it is plain data so that the window and the menus agree.

#include <cstdint>
#include <string>

#include "platform/commands.h"

namespace anlcmd {
// Commands that open an analysis window: the kind is the id minus kFirstKind.
inline constexpr int kFirstKind = 25301;
inline constexpr int kLastKind = 25358;
inline constexpr int kFirstCenterOfMass = 25330;
inline constexpr int kStickFigure = 25360;
// The window's own commands.
inline constexpr int kAlterSequences = 25370;
inline constexpr int kInterpolate = 25371;
inline constexpr int kLowPass = 25372;
inline constexpr int kApproximate = 25373;
inline constexpr int kImport = 25374;
inline constexpr int kEndImport = 25375;
inline constexpr int kExport = 25376;
inline constexpr int kCoordinates = 25377;
inline constexpr int kDisplayStyle = 25378;
inline constexpr int kReticules = 25379;
inline constexpr int kReticulesOld = 25380;
inline constexpr int kFrameNumbers = 25381;
inline constexpr int kFonts = 25382;
inline constexpr int kReticulesMenu = 25383;
inline constexpr int kFrameNumbersMenu = 25384;
inline constexpr int kPanePosition = 25385;
inline constexpr int kStyleByMouse = 22213;
inline constexpr int kFollowWindowStyle = 22215;
inline constexpr int kFirstStyle = 22201;
inline constexpr int kLastStyle = 22212;
inline constexpr int kZoomIn = 24368;
inline constexpr int kZoomOut = 24369;
inline constexpr int kFit = 24370;
}  // namespace anlcmd

// Where a kind's curves come from.
enum class CurveSource { kSeries, kResultants, kDistances, kAngles };

struct AnalysisKindInfo {
  int kind = 0;
  std::uint32_t mask = 0x101;
  int captionId = 0;  // the ordinate caption's string
  int abscissa = 0;   // 0 time, 9 x
  CurveSource source = CurveSource::kSeries;
};

// The row of a kind (0..57); other values give kind 0's row.
AnalysisKindInfo KindInfo(int kind);
// The kind a window-opening command makes; -1 for any other id (25360 is the 3D window).
int KindOfCommand(int id);

// Kinds below this are the ones whose sequences can be smoothed, approximated and filled.
inline constexpr int kFirstUneditableKind = 14;
// The kinds the Coordinates dialog can choose.
inline constexpr int kLastCoordinateKind = 28;

// The window's caption: "<serial>. <Analysis> / <document caption>", whole however long.
std::string AnalysisWindowCaption(unsigned serial, const std::string& analysis,
                                  const std::string& documentCaption);
// The first maxChars characters of a UTF-8 text, never cutting a character in two.
std::string CutToCharacters(const std::string& text, std::size_t maxChars);
// The title the window names in its messages holds at most this many characters.
inline constexpr std::size_t kMaxTitleCharacters = 49;

// What the enabler of the window's commands looks at.
struct AnlWinCommandState {
  int kind = 0;
  bool importedShown = false;  // imported data with values is shown
  bool crosshairsOn = false;
  bool oldCrosshairsHeld = false;
  bool markerShown = false;
  bool fitToWindow = true;
  bool canZoomIn = false;
};
// Enables, checks and names the window's commands as their state says (ids not of the window
// stay enabled).
void EnableAnlWinCommand(const AnlWinCommandState& state, platform::CommandEnabler& ce);

// What the window-opening enablers look at, of one document.
struct AnalysisDocumentState {
  bool present = false;
  bool hasAnalysableSequence = false;  // a sequence within mask 0x103
  bool hasObjectModel = false;
};
// The open-window commands act on the active document; the first open document keeps its old
// say as well, so a command is enabled only when both allow it.
bool AnalysisWindowEnabled(int id, const AnalysisDocumentState& first,
                           const AnalysisDocumentState& active, bool stickFigureAvailable);
