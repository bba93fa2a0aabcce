#include "calibration/ui/calibrationwindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QLabel>
#include <QToolBar>

#include "base/filename.h"
#include "base/ui/bitmaps.h"
#include "calibration/calibrat.h"
#include "calibration/calibvalues.h"
#include "calibration/ui/calibbitmaps.h"
#include "calibration/ui/calibdialog.h"
#include "calibration/ui/calibhost.h"
#include "calibration/ui/calibview.h"
#include "calibration/ui/scaledialog.h"
#include "platform/strings.h"

namespace {

constexpr int kProgramIcon = 1003;
// A point's label with its world coordinates may be longer than the position field; the field's
// tooltip holds it whole.
constexpr int kNameChars = 9, kPositionChars = 13;
constexpr int kSpacing = 5;

// The command's hint and tooltip, the two lines of its string.
std::pair<QString, QString> Hint(int id) {
  auto s = platform::LoadString(id);
  const QString text = QString::fromUtf8(s.data(), static_cast<int>(s.size()));
  const int cut = text.indexOf('\n');
  return cut < 0 ? std::pair{text, text} : std::pair{text.left(cut), text.mid(cut + 1)};
}

QLabel* TextGadget(int chars, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  label->setFixedWidth(label->fontMetrics().averageCharWidth() * chars + 8);
  return label;
}

}  // namespace

CalibrationWindow::CalibrationWindow(CalibrationHost& host, int camera, QWidget* parent)
    : QMainWindow(parent, Qt::Window), host_(host), camera_(camera) {
  RegisterCalibrationBitmaps();
  setWindowTitle(parent ? parent->windowTitle() : QStringLiteral("Kalibrierung"));
  setWindowIcon(bitmaps::Icon(kProgramIcon));
  BuildToolbar();
  client_ = new QWidget(this);
  setCentralWidget(client_);
  auto* layout = new QHBoxLayout(client_);
  layout->setContentsMargins(0, kSpacing, kSpacing, kSpacing);
  layout->setSpacing(kSpacing);
  calibDialog_ = new CalibDialog(*this, client_);
  scaleDialog_ = new ScaleDialog(*this, client_);
  // The picture pane with its caption: the file it shows.
  auto* pane = new QWidget(client_);
  auto* paneLayout = new QVBoxLayout(pane);
  paneLayout->setContentsMargins(0, 0, 0, 0);
  paneLayout->setSpacing(0);
  viewCaption_ = new QLabel(pane);
  viewCaption_->setObjectName("viewCaption");
  viewCaption_->setAutoFillBackground(true);
  viewCaption_->setBackgroundRole(QPalette::Highlight);
  viewCaption_->setForegroundRole(QPalette::HighlightedText);
  viewCaption_->setContentsMargins(4, 2, 4, 2);
  view_ = new CalibView(*this, host_, pane);
  paneLayout->addWidget(viewCaption_);
  paneLayout->addWidget(view_, 1);
  layout->addWidget(calibDialog_);
  layout->addWidget(scaleDialog_);
  layout->addWidget(pane, 1);
  calibDialog_->SetCalibration(camera_);
  scaleDialog_->SetCalibration(camera_);
  view_->SetCalibrationFrame(camera_);
  Calibration& c = host_.Camera(camera_);
  const bool scale = (host_.CameraCount() == 1 && c.UsesLinearSizing()) || !c.IsReady();
  SetLayout(scale ? kScaleLayout : kCalibLayout);
  ShowCameraName();
}

CalibrationWindow::~CalibrationWindow() = default;

void CalibrationWindow::BuildToolbar() {
  toolbar_ = addToolBar(QStringLiteral("Calibration"));
  toolbar_->setMovable(false);
  QFont font = toolbar_->font();
  font.setPointSize(10);
  toolbar_->setFont(font);
  AddButton(kPreviousCamera);
  AddButton(kNextCamera);
  toolbar_->addSeparator();
  cameraName_ = TextGadget(kNameChars, toolbar_);
  cameraName_->setObjectName("cameraName");
  toolbar_->addWidget(cameraName_);
  toolbar_->addSeparator();
  position_ = TextGadget(kPositionChars, toolbar_);
  position_->setObjectName("position");
  toolbar_->addWidget(position_);
  toolbar_->addSeparator();
  AddButton(CalibView::kToggleFit);
  AddButton(CalibView::kZoomIn);
  AddButton(CalibView::kZoomOut);
  toolbar_->addSeparator();
  AddButton(CalibView::kFilter);
  AddButton(CalibView::kGamma);
  toolbar_->addSeparator();
  AddButton(kExit);
}

void CalibrationWindow::AddButton(int id) {
  const auto [hint, tip] = Hint(id);
  auto* action = new QAction(bitmaps::Icon(id), tip, this);
  action->setStatusTip(hint);
  action->setObjectName(QString::number(id));
  action->setCheckable(id == CalibView::kToggleFit);
  connect(action, &QAction::triggered, this, [this, id] { Command(id); });
  toolbar_->addAction(action);
  actions_[id] = action;
}

int CalibrationWindow::Run(bool maximised) {
  if (maximised)
    showMaximized();
  else
    showNormal();
  view_->setFocus();
  QEventLoop loop;
  loop_ = &loop;
  const int result = loop.exec();
  loop_ = nullptr;
  return result;
}

void CalibrationWindow::Exit() {
  if (loop_) loop_->exit(2);
}

void CalibrationWindow::closeEvent(QCloseEvent* event) {
  // Closing leaves the loop; the creator destroys the window.
  event->ignore();
  Exit();
}

void CalibrationWindow::SetLayout(int mode) {
  layout_ = mode;
  const bool scale = mode == kScaleLayout;
  calibDialog_->setVisible(!scale);
  scaleDialog_->setVisible(scale);
  host_.Camera(camera_).SetFlag(kFlagLinearSizing, scale);
  view_->SetMode(CalibView::kPointsMode);
  view_->viewport()->update();
  view_->setFocus();
  UpdateDialogs();
}

void CalibrationWindow::UpdateDialogs() {
  calibDialog_->UpdateValues();
  scaleDialog_->UpdateValues();
  UpdateCommands();
}

QString CalibrationWindow::CameraNameText() const { return cameraName_->text(); }
QString CalibrationWindow::PositionText() const { return position_->text(); }

void CalibrationWindow::ShowCameraName() {
  cameraName_->setText(QString::fromStdString(FileName(host_.SequenceFile(camera_)).Name()));
}

void CalibrationWindow::ShowViewCaption(const QString& caption) {
  if (viewCaption_) viewCaption_->setText(caption);
}

void CalibrationWindow::ShowPosition(double x, double y, bool onPoint) {
  Calibration* c = view_->CalibrationOnShow();
  if (!c) return;
  const QString text = QString::fromStdString(::PositionText(*c, x, y, onPoint));
  position_->setText(text);
  position_->setToolTip(text);
}

void CalibrationWindow::SwitchCamera(int number) {
  camera_ = number;
  calibDialog_->SetCalibration(camera_);
  view_->SetCalibrationFrame(camera_);
  ShowCameraName();
  UpdateCommands();
}

void CalibrationWindow::Command(int id) {
  if (!CommandEnabled(id)) return;
  switch (id) {
    case kPreviousCamera: SwitchCamera(camera_ - 1); return;
    case kNextCamera: SwitchCamera(camera_ + 1); return;
    case kExit: Exit(); return;
    default:
      view_->Command(id);
      UpdateCommands();
  }
}

bool CalibrationWindow::CommandEnabled(int id) const {
  switch (id) {
    case kPreviousCamera: return camera_ > 1;
    case kNextCamera: return camera_ < host_.CameraCount();
    case kExit: return true;
    default: {
      bool enabled = false, checked = false;
      return view_ && view_->CommandState(id, enabled, checked) && enabled;
    }
  }
}

void CalibrationWindow::UpdateCommands() {
  for (auto& [id, action] : actions_) {
    action->setEnabled(CommandEnabled(id));
    bool enabled = false, checked = false;
    if (view_ && view_->CommandState(id, enabled, checked)) action->setChecked(checked);
  }
}
