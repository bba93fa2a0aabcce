#include "calibration/ui/calibfilesdlg.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>

#include <filesystem>
#include <iterator>
#include <optional>

#include "base/filesnapshot.h"
#include "base/messages.h"
#include "base/ui/decimalfield.h"
#include "calibration/calibfilesstate.h"
#include "calibration/calibrat.h"
#include "calibration/ui/calibhost.h"
#include "platform/numbers.h"
#include "platform/strings.h"
#include "platform/ui/choosers.h"

namespace {

using platform::ControlKind;

constexpr int kDocumentFile = 20661, kSaveAs = 20662, kDescription = 20663, kNumber = 20664,
              kCount = 20665, kPrevious = 25540, kNext = 25545, kFurther = 20666,
              kSequenceFile = 20667, kCalibrationFile = 20668, kCalibrationLoad = 20669,
              kCameraFile = 20670, kCameraLoad = 20671, kCameraEdit = 20672, kFrameFile = 20673,
              kFrameSearch = 20674, kModelFile = 20675, kModelSearch = 20676,
              kCalibrated = 20678;
constexpr int kHelpContext = 35002;
constexpr int kMissingTitle = 31110, kMissingQuestion = 31111;
constexpr int kMediaFilter = 32505, kSequenceTitle = 32504, kFrameTitle = 32506,
              kDocumentFilter = 32507, kDocumentTitle = 32508, kCalibrationFilter = 32509,
              kCalibrationTitle = 32510, kCameraFilter = 32511, kCameraTitle = 32512,
              kCameraLoadTitle = 32513, kCameraSaveTitle = 32514, kModelFilter = 32515,
              kModelTitle = 32516;
constexpr int kDescriptionLimit = 199;

const platform::ControlSpec kControls[] = {
    {0, ControlKind::kLabel, "Document:", 0, 0},
    {kDocumentFile, ControlKind::kLabel, "", 0, 1, 1, 3},
    {kSaveAs, ControlKind::kPushButton, "Save &As...", 0, 4},
    {0, ControlKind::kLabel, "&Description:", 1, 0},
    {kDescription, ControlKind::kEdit, "Default-Document", 1, 1, 1, 4},
    {0, ControlKind::kGroupBox, "Image Sequence", 2, 0, 8, 5},
    {kPrevious, ControlKind::kPushButton, "&-", 3, 0},
    {kNumber, ControlKind::kLabel, "12", 3, 1},
    {0, ControlKind::kLabel, "of", 3, 2},
    {kCount, ControlKind::kLabel, "12", 3, 3},
    {kNext, ControlKind::kPushButton, "&+", 3, 4},
    {kSequenceFile, ControlKind::kLabel, "Frame Sequence File", 4, 0, 1, 4},
    {kFurther, ControlKind::kPushButton, "&Further Image Sequence", 4, 4},
    {0, ControlKind::kLabel, "Calibration data:", 5, 0},
    {kCalibrationFile, ControlKind::kLabel, "Text", 5, 1, 1, 3},
    {kCalibrationLoad, ControlKind::kPushButton, "Load/&New...", 5, 4},
    {0, ControlKind::kLabel, "Calibration frame:", 6, 0},
    {kFrameFile, ControlKind::kLabel, "Text", 6, 1, 1, 3},
    {kFrameSearch, ControlKind::kPushButton, "&Search...", 6, 4},
    {0, ControlKind::kLabel, "Camera parameters:", 7, 0},
    {kCameraFile, ControlKind::kLabel, "Text", 7, 1, 1, 2},
    {kCameraLoad, ControlKind::kPushButton, "&Load/New...", 7, 3},
    {kCameraEdit, ControlKind::kPushButton, "&Edit...", 7, 4},
    {0, ControlKind::kLabel, "Calibration model:", 8, 0},
    {kModelFile, ControlKind::kLabel, "Text", 8, 1, 1, 3},
    {kModelSearch, ControlKind::kPushButton, "Se&arch...", 8, 4},
    {kCalibrated, ControlKind::kCheckBox, "calibrated", 9, 0, 1, 2},
    {platform::kIdOk, ControlKind::kDefPushButton, "OK"},
    {platform::kIdHelp, ControlKind::kPushButton, "Help"},
};

QString Text(int id) {
  auto s = platform::LoadString(id);
  return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

// A file dialog of the table's filter and title, starting at the file held (when one is).
std::optional<std::string> ChooseFile(QWidget* parent, bool save, int filter, int title,
                                      const char* ext, const FileName* current,
                                      bool newNameAllowed = false, bool confirm = true) {
  platform::FileChoice choice{Text(title), platform::QtFileFilter(platform::LoadString(filter)),
                              current && !current->IsNull()
                                  ? QString::fromStdString(current->Path())
                                  : QString(),
                              ext};
  choice.newNameAllowed = newNameAllowed;
  choice.confirmOverwrite = confirm;
  platform::Choosers& choosers = platform::GetChoosers();
  auto chosen = save ? choosers.SaveFileName(parent, choice) : choosers.OpenFileName(parent, choice);
  if (!chosen) return std::nullopt;
  std::string path = std::filesystem::absolute(chosen->toStdString()).string();
  // The calibration data and document files must find the file again by this name.
  if (!AcceptChosenName(path)) return std::nullopt;
  return path;
}

void SetLabel(platform::TableDialog& d, int id, const std::string& text) {
  if (auto* label = d.ControlAs<QLabel>(id)) label->setText(QString::fromStdString(text));
}

}  // namespace

CalibFilesDlg::CalibFilesDlg(QWidget* parent, CalibrationHost& host, int sequence, int mode)
    : platform::TableDialog(parent, "Files of the Document", kControls),
      host_(host),
      number_(sequence),
      mode_(mode) {
  SetHelpContext(kHelpContext);
  Control(kSaveAs)->setVisible(mode == kNewDocumentMode);
  Control(kFurther)->setVisible(mode == kNewDocumentMode);
  Control(kCalibrated)->setEnabled(false);
  SetLabel(*this, kDocumentFile, FileName(host.DocumentFile()).NameExt());
  auto* description = ControlAs<QLineEdit>(kDescription);
  description->setMaxLength(kDescriptionLimit);
  description->setText(QString::fromStdString(host.Description()));
  description->installEventFilter(this);
  SetLabel(*this, kCount, std::to_string(host.CameraCount()));
  ShowSequenceFiles();
}

Calibration& CalibFilesDlg::Shown() { return host_.Camera(number_); }

void CalibFilesDlg::ShowSequenceFiles() {
  const SequenceFilesView v =
      ::ShowSequenceFiles(Shown(), FileName(host_.SequenceFile(number_)).NameExt(), number_,
                        host_.CameraCount());
  SetLabel(*this, kSequenceFile, v.sequenceFile);
  SetLabel(*this, kCalibrationFile, v.calibrationFile);
  SetLabel(*this, kCameraFile, v.cameraFile);
  SetLabel(*this, kFrameFile, v.calibrationFrame);
  SetLabel(*this, kModelFile, v.modelFile);
  Control(kPrevious)->setEnabled(v.previousEnabled);
  Control(kNext)->setEnabled(v.nextEnabled);
  Control(kCameraLoad)->setVisible(v.cameraLoadVisible);
  Control(kCameraLoad)->setEnabled(v.cameraLoadEnabled);
  Control(kCameraEdit)->setVisible(v.cameraEditVisible);
  Control(kFrameSearch)->setEnabled(v.frameEnabled);
  Control(kModelSearch)->setEnabled(v.modelEnabled);
  ControlAs<QCheckBox>(kCalibrated)->setChecked(v.calibrated);
  SetLabel(*this, kNumber, std::to_string(v.number));
}

bool CalibFilesDlg::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut && watched == Control(kDescription))
    host_.SetDescription(ControlAs<QLineEdit>(kDescription)->text().toStdString());
  return platform::TableDialog::eventFilter(watched, event);
}

void CalibFilesDlg::OnCommand(int id) {
  switch (id) {
    case kPrevious:
      if (number_ > 1) --number_;
      break;
    case kNext:
      if (number_ < host_.CameraCount()) ++number_;
      break;
    case kSaveAs: CmSaveAs(); return;
    case kCalibrationLoad: CmCalibrationFile(); break;
    case kCameraLoad: CmCameraFile(); break;
    case kCameraEdit: EditCameraParaDlg(this, Shown()).Execute(); break;
    case kFrameSearch: CmCalibrationFrame(); break;
    case kModelSearch: CmModelFile(); break;
    case kFurther: CmFurtherSequence(); break;
    default: return;
  }
  ShowSequenceFiles();
}

bool CalibFilesDlg::CanClose() {
  // The description also counts when OK is pressed while its field has the focus.
  host_.SetDescription(ControlAs<QLineEdit>(kDescription)->text().toStdString());
  // The document file named here also names what was added or described after it.
  if (savedAs_) host_.WriteDocumentFile();
  if (mode_ != kCalibrationMode) return true;
  const int incomplete = host_.FirstIncompleteCalibration();
  if (incomplete == 0) return true;
  if (QuestionMessage(kMissingTitle, kMissingQuestion) == platform::kIdYes) {
    number_ = incomplete;
    ShowSequenceFiles();
  } else {
    done(kCancel);
  }
  return false;
}

void CalibFilesDlg::CmSaveAs() {
  const FileName current(host_.DocumentFile());
  auto chosen = ChooseFile(this, true, kDocumentFilter, kDocumentTitle, "RSC", &current);
  if (!chosen) return;
  host_.SetDocumentFile(*chosen);
  SetLabel(*this, kDocumentFile, FileName(*chosen).NameExt());
  host_.SetDescription(ControlAs<QLineEdit>(kDescription)->text().toStdString());
  savedAs_ = host_.WriteDocumentFile();
}

void CalibFilesDlg::CmCalibrationFile() {
  Calibration& c = Shown();
  auto chosen = ChooseFile(this, false, kCalibrationFilter, kCalibrationTitle, "CDC",
                           c.Has(kFlagCalibrationFile) ? &c.calibrationFile : nullptr, true);
  if (chosen) c.SetCalibrationFile(*chosen);
}

void CalibFilesDlg::CmCameraFile() {
  Calibration& c = Shown();
  auto chosen = ChooseFile(this, false, kCameraFilter, kCameraTitle, "CAM",
                           c.Has(kFlagCameraFile) ? &c.cameraFile : nullptr, true);
  if (!chosen) return;
  // A file that does not exist yet is made here: the user enters its parameters.
  if (!c.SetCameraFile(*chosen, true, true)) EditCameraParaDlg(this, c).Execute();
}

void CalibFilesDlg::CmCalibrationFrame() {
  Calibration& c = Shown();
  auto chosen = ChooseFile(this, false, kMediaFilter, kFrameTitle, "BLD",
                           c.Has(kFlagCalibrationImage) ? &c.calibrationImage : nullptr);
  if (chosen) c.SetCalibrationImage(*chosen);
}

void CalibFilesDlg::CmModelFile() {
  Calibration& shown = Shown();
  auto chosen = ChooseFile(this, false, kModelFilter, kModelTitle, "CMO",
                           shown.Has(kFlagModelFile) ? &shown.modelFile : nullptr);
  if (!chosen) return;
  for (int k = 1; k <= host_.CameraCount(); ++k) {
    Calibration& c = host_.Camera(k);
    if (k == number_ || !c.Has(kFlagModelFile)) c.SetModelFile(*chosen, true, false);
  }
}

void CalibFilesDlg::CmFurtherSequence() {
  auto chosen = ChooseFile(this, false, kMediaFilter, kSequenceTitle, "BLD", nullptr);
  if (!chosen || !host_.AddFurtherSequence(*chosen)) return;
  SetLabel(*this, kCount, std::to_string(host_.CameraCount()));
}

// ---------------------------------------------------------------------------------------------

namespace {

constexpr int kCameraName = 20681, kCameraSaveAs = 20682, kCameraLoadButton = 20683;

struct ParameterRow {
  int id;
  const char* label;
  double CameraParameters::*field;
};

const ParameterRow kParameters[] = {
    {20684, "Ncx (Camera Sensor Elements horiz.) [sel]", &CameraParameters::Ncx},
    {20685, "Nfx (Framegrabber Pixel horiz.) [pix]", &CameraParameters::Nfx},
    {20686, "dx (Sensor Element Size horiz.) [mm/sel]", &CameraParameters::dx},
    {20687, "dy (Sensor Element Size vert.) [mm/sel]", &CameraParameters::dy},
    {20688, "dpx (effective Pixel Size horiz.) [mm/pix]", &CameraParameters::dpx},
    {20689, "dpy (effective Pixel Size vert.) [mm/pix]", &CameraParameters::dpy},
    {20628, "Cx (Origin Coordinates ..) [pix]", &CameraParameters::Cx},
    {20630, "Cy (.. in Frame Sequence) [pix]", &CameraParameters::Cy},
    {20632, "sx (Sizing/Insecurity Factor)", &CameraParameters::sx},
};

std::vector<platform::ControlSpec> CameraControls() {
  std::vector<platform::ControlSpec> controls = {
      {0, ControlKind::kLabel, "File:", 0, 0},
      {kCameraName, ControlKind::kLabel, "Text", 0, 1},
      {kCameraSaveAs, ControlKind::kPushButton, "Save as...", 1, 0},
      {kCameraLoadButton, ControlKind::kPushButton, "Load...", 1, 1},
  };
  int row = 2;
  for (const ParameterRow& p : kParameters) {
    controls.push_back({0, ControlKind::kLabel, p.label, row, 0});
    controls.push_back({p.id, ControlKind::kEdit, "", row, 1});
    ++row;
  }
  controls.push_back({platform::kIdOk, ControlKind::kDefPushButton, "OK"});
  controls.push_back({platform::kIdCancel, ControlKind::kPushButton, "Cancel"});
  controls.push_back({platform::kIdHelp, ControlKind::kPushButton, "Help"});
  return controls;
}

const std::vector<platform::ControlSpec>& CameraTable() {
  static const std::vector<platform::ControlSpec> table = CameraControls();
  return table;
}

}  // namespace

EditCameraParaDlg::EditCameraParaDlg(QWidget* parent, Calibration& calibration)
    : platform::TableDialog(parent, "Camera Parameters", CameraTable()),
      calibration_(calibration) {
  Control(platform::kIdHelp)->setEnabled(false);
  ShowParameters();
  for (const ParameterRow& p : kParameters)
    DecimalField::Govern(ControlAs<QLineEdit>(p.id), p.label);
}

void EditCameraParaDlg::ShowParameters() {
  SetLabel(*this, kCameraName, calibration_.cameraFile.NameExt());
  for (const ParameterRow& p : kParameters)
    ControlAs<QLineEdit>(p.id)->setText(
        QString::fromStdString(platform::FormatFixed(calibration_.camera.*p.field, 4)));
}

void EditCameraParaDlg::OnCommand(int id) {
  if (id == kCameraSaveAs) {
    auto chosen = ChooseFile(this, true, kCameraFilter, kCameraSaveTitle, "CAM",
                             &calibration_.cameraFile, false, false);
    if (!chosen) return;
    calibration_.SetCameraFile(*chosen, false);
    SetLabel(*this, kCameraName, calibration_.cameraFile.NameExt());
  } else if (id == kCameraLoadButton) {
    auto chosen = ChooseFile(this, false, kCameraFilter, kCameraLoadTitle, "CAM",
                             calibration_.Has(kFlagCameraFile) ? &calibration_.cameraFile
                                                               : nullptr);
    if (!chosen) return;
    calibration_.SetCameraFile(*chosen, true, false);
    ShowParameters();
  }
}

bool EditCameraParaDlg::CanClose() {
  double values[std::size(kParameters)];
  for (std::size_t i = 0; i < std::size(kParameters); ++i) {
    const auto value = DecimalField::Of(ControlAs<QLineEdit>(kParameters[i].id))->Take();
    if (!value) return false;  // refused: no parameter changes
    values[i] = *value;
  }
  for (std::size_t i = 0; i < std::size(kParameters); ++i)
    calibration_.camera.*kParameters[i].field = values[i];
  // A file that cannot be written has been reported; the values hold all the same.
  calibration_.WriteCameraFile();
  return true;
}
