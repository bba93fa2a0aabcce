#include "app/ui/dialogcatalog.h"

#include "analysis/anlwindialogs.h"
#include "analysis/ui/anlwindialogs_ui.h"
#include "analysis/ui/exportanalyzedlg.h"
#include "analysis/ui/winkelangebendb.h"
#include "app/resource.h"
#include "app/ui/aboutdlg.h"
#include "app/ui/curseqdlg.h"
#include "app/ui/framespersecond.h"
#include "app/ui/pagesetupdlg.h"
#include "base/defaults.h"
#include "base/ui/defaultsdlg.h"
#include "base/ui/devcapsdlg.h"
#include "base/ui/textformatdialog.h"
#include "base/ui/unitsorigindlg.h"
#include "calibration/ui/calibfilesdlg.h"
#include "calibration/ui/calibrationwindow.h"
#include "objects/resobjseq.h"
#include "objects/ui/connectdlg.h"
#include "objects/ui/editobjseqdlg.h"
#include "objects/ui/exportdlg.h"
#include "objects/ui/loadversiondlg.h"
#include "objects/ui/objectpanels.h"
#include "objects/ui/objeditor.h"
#include "sequences/avisequence.h"
#include "sequences/ui/avidlg.h"
#include "sequences/ui/colreducedlg.h"
#include "sequences/ui/filterdlg.h"
#include "sequences/ui/gammadlg.h"

namespace {

using Made = std::unique_ptr<QWidget>;
constexpr int kFirstCamera = 1;
constexpr int kLoadVersion = 3;
constexpr int kColourFrames = 250;
constexpr int kPolynomOrder = 3;

FrameSequence& FirstSequence(DialogSubjects& s) { return *s.document.Sequence(0); }

template <class D, class... A>
Made Make(A&&... args) {
  return std::make_unique<D>(std::forward<A>(args)...);
}

const DialogOpening kDialogs[] = {
    {"about", [](DialogSubjects&) { return Make<ZorvatrackAboutDlg>(nullptr); }},
    {"info", [](DialogSubjects& s) { return Make<CurSeqDlg>(s.document, 1, nullptr); }},
    {"presettings",
     [](DialogSubjects& s) { return Make<ObjectSequenceDefaultsDlg>(nullptr, s.defaults); }},
    {"colors", [](DialogSubjects& s) { return Make<ColorDialog>(nullptr, s.defaults); }},
    {"framerate",
     [](DialogSubjects& s) { return Make<FramesPerSecondDlg>(nullptr, &s.rate, s.rate * 2); }},
    {"textformat", [](DialogSubjects&) { return Make<TextFormatDialog>(nullptr); }},
    {"units", [](DialogSubjects& s) { return Make<UnitsOriginDlg>(nullptr, s.units); }},
    {"loadversion", [](DialogSubjects&) { return Make<LoadVersionDlg>(nullptr, kLoadVersion); }},
    {"avi", [](DialogSubjects& s) { return Make<AviPropertiesDlg>(nullptr, s.video, s.aviModel); }},
    {"avirate", [](DialogSubjects& s) { return Make<AVIfpsDlg>(nullptr, s.aviModel); }},
    {"filter", [](DialogSubjects& s) { return Make<FilterDlg>(nullptr, s.dib); }},
    {"gamma", [](DialogSubjects& s) { return Make<GammaDialog>(nullptr, s.dib, nullptr); }},
    {"colreducesetup",
     [](DialogSubjects&) { return Make<SetupColReduceDlg>(nullptr, kColourFrames); }},
    {"colreduce", [](DialogSubjects& s) { return Make<ColReduceDlg>(nullptr, FirstSequence(s)); }},
    {"editobjectsequence",
     [](DialogSubjects& s) -> Made {
       ResObjectSequence* sequence = s.document.ObjectSequences()->Find(0, 0xFFFF);
       if (!sequence) return nullptr;
       return Make<EditObjectSequenceDlg>(*sequence, nullptr);
     }},
    {"objecteditor", [](DialogSubjects& s) { return Make<ObjectEditor>(nullptr, s.document); }},
    {"recover", [](DialogSubjects& s) { return Make<UndeleteDialog>(nullptr, s.document); }},
    {"export",
     [](DialogSubjects& s) { return Make<ObjectExport>(nullptr, s.document, FirstSequence(s)); }},
    {"analysisexport",
     [](DialogSubjects& s) {
       return Make<ExportAnalyzeData>(nullptr, s.document, &FirstSequence(s));
     }},
    {"objectpanel", [](DialogSubjects& s) { return Make<ObjectSequenceDlg>(s.document, nullptr); }},
    {"templatepanel",
     [](DialogSubjects& s) { return Make<ObjectTemplateDlg>(s.document, nullptr); }},
    {"connectionpanel", [](DialogSubjects& s) { return Make<ConnectDlg>(s.document, nullptr); }},
    {"documentfiles",
     [](DialogSubjects& s) {
       return Make<CalibFilesDlg>(nullptr, s.calibrationHost, kFirstCamera,
                                  CalibFilesDlg::kNewDocumentMode);
     }},
    {"cameraparameters",
     [](DialogSubjects& s) { return Make<EditCameraParaDlg>(nullptr, FirstSequence(s)); }},
    {"calibration",
     [](DialogSubjects& s) {
       return Make<CalibrationWindow>(s.calibrationHost, kFirstCamera, nullptr);
     }},
    {"pagesetup", [](DialogSubjects& s) { return Make<PageSetupDialog>(nullptr, s.page); }},
    {"devcaps",
     [](DialogSubjects&) {
       QWidget screen;
       return Make<DevCapsDlg>(nullptr, ScreenCaps(screen));
     }},
    {"coordinates", [](DialogSubjects& s) { return Make<KoordAngeben>(nullptr, s.coordinates); }},
    {"displaystyle",
     [](DialogSubjects& s) { return Make<DarstArtAngeben>(nullptr, s.displayStyle, 0); }},
    {"polynom", [](DialogSubjects&) { return Make<OrdnAngeben>(nullptr, kPolynomOrder); }},
    {"viewangles", [](DialogSubjects&) { return Make<WinkelAngebenDB>(nullptr); }},
};

}  // namespace

std::span<const DialogOpening> ProgramDialogs() { return kDialogs; }
