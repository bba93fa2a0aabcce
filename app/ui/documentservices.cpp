#include "app/ui/documentservices.h"

#include "app/resource.h"
#include "app/ui/resourcewindow.h"
#include "base/defaults.h"
#include "objects/ui/loadversiondlg.h"
#include "objects/ui/objeditor.h"
#include "sequences/dib.h"
#include "sequences/framesequence.h"
#include "sequences/ui/avidlg.h"
#include "sequences/ui/colreducedlg.h"

namespace {

// The gamma factors of the program defaults, where new bitmaps start from and where "Save as
// Default" puts them.
class ProgramGammaDefaults : public GammaDefaults {
 public:
  GammaSettings Get() const override {
    if (!g_Defaults) return GammaSettings{};
    return {g_Defaults->gammaRed, g_Defaults->gammaGreen, g_Defaults->gammaBlue,
            g_Defaults->linearCorrection};
  }
  void Save(const GammaSettings& s) override {
    if (!g_Defaults) return;
    g_Defaults->gammaRed = s.red;
    g_Defaults->gammaGreen = s.green;
    g_Defaults->gammaBlue = s.blue;
    g_Defaults->linearCorrection = s.linear;
    g_Defaults->Save();
  }
};

}  // namespace

void InstallDocumentServices(QWidget* mainWindow) {
  static ProgramGammaDefaults gamma;
  SetGammaDefaults(&gamma);
  FrameSequenceServices services = GetFrameSequenceServices();
  services.createView = [](FrameSequence& sequence) { return CreateSequenceView(sequence); };
  // A Linux display always shows true colour.
  services.isPaletteDisplay = [] { return false; };
  services.reduceColors = [mainWindow](FrameSequence& sequence) {
    ColReduceDlg(mainWindow, sequence).Execute();
  };
  SetFrameSequenceServices(std::move(services));
  InstallAviPropertiesDialog(mainWindow);
  InstallLoadVersionDialog(mainWindow);
  InstallUndeleteDialog(mainWindow);
}
