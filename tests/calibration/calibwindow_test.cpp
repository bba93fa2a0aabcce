// The calibration window on a document of plain cameras: cameras and layouts, the picture's
// mouse editing and zoom, the calibration and scale dialogs, the files dialog and the
// camera-parameter dialog.

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "base/ui/bitmaps.h"
#include "calibration/ui/calibbitmaps.h"
#include "calibration/ui/calibdialog.h"
#include "calibration/ui/calibfilesdlg.h"
#include "calibration/ui/calibrationwindow.h"
#include "calibration/ui/calibview.h"
#include "calibration/ui/scaledialog.h"
#include "common/dialog_check.h"
#include "platform/events.h"
#include "platform/message_service.h"
#include "platform/ui/choosers.h"
#include "tests/calibration/cal_test_util.h"
#include "tests/calibration/calib_test_host.h"

namespace {

// The known camera the synthetic pictures are seen through.
caltest::Camera Truth(double sx = 1.0) {
  const double at[3] = {150, 100, 50};
  caltest::Camera cam =
      caltest::OnSensor(caltest::AimedAt(20, -15, 5, at, 1500, 12, 0), 320, 240, 0.02);
  cam.p.sx = sx;
  return cam;
}

// Camera number of host gets a two-level model of 4 x 3 points on each level, all files named,
// and (when set) every point used at its exact image position.
void GiveModel(TestCalibrationHost& host, int number, bool set, double sx = 1.0,
               bool flat = false) {
  Calibration& c = host.Camera(number);
  const caltest::Camera truth = Truth(sx);
  c.points.Clear();
  for (double z : {0.0, 100.0}) {
    if (flat && z > 0) break;
    for (int i = 0; i < 12; ++i) {
      const int n = c.points.count++;
      c.points.worldX[n] = (i % 4) * 100.0;
      c.points.worldY[n] = (i / 4) * 100.0;
      c.points.worldZ[n] = z;
    }
  }
  c.flags |= caltest::kAllFiles;
  c.camera = truth.p;
  c.camera.sx = 1.0;  // the user's start value
  c.ClassifyModel();
  host.marks.clear();
  for (int i = 0; i < c.points.count; ++i) {
    double x, y;
    WorldToImageCoord(c.points.worldX[i], c.points.worldY[i], c.points.worldZ[i], truth.p,
                      truth.c, x, y);
    host.marks.emplace_back(x, y);
    if (set) {
      c.points.used[i] = 1;
      c.points.imageX[i] = x;
      c.points.imageY[i] = y;
    }
  }
}

class CalibWindowTest : public testing::Test {
 protected:
  void Open(TestCalibrationHost& host, int camera = 1) {
    window_ = std::make_unique<CalibrationWindow>(host, camera, nullptr);
    window_->resize(1000, 600);
    window_->show();
    QApplication::processEvents();
  }
  CalibView& View() { return *window_->View(); }
  // The pane position of image position (x, y).
  QPoint At(double x, double y) {
    const auto z = View().Zoom();
    return {static_cast<int>(std::lround(x * z.x)) - View().horizontalScrollBar()->value(),
            static_cast<int>(std::lround(y * z.y)) - View().verticalScrollBar()->value()};
  }
  // Turns fit off and sets zoom 1.
  void UnitZoom() {
    View().Command(CalibView::kToggleFit);
    while (View().Zoom().x > 1) View().Command(CalibView::kZoomOut);
    while (View().Zoom().x < 1) View().Command(CalibView::kZoomIn);
    ASSERT_EQ(View().Zoom().x, 1.0f);
  }
  QString Text(QWidget* dialog, int id) {
    return dialog->findChild<QLabel*>(QString::number(id))->text();
  }
  bool Checked(QWidget* dialog, int id) {
    return dialog->findChild<QAbstractButton*>(QString::number(id))->isChecked();
  }

  platform::RecordingMessageService messages_;
  std::unique_ptr<CalibrationWindow> window_;
};

TEST_F(CalibWindowTest, CamerasAndFirstLayout) {
  TestCalibrationHost one(1);
  one.Camera(1).SetFlag(kFlagLinearSizing, true);
  Open(one);
  EXPECT_FALSE(window_->CommandEnabled(CalibrationWindow::kPreviousCamera));
  EXPECT_FALSE(window_->CommandEnabled(CalibrationWindow::kNextCamera));
  EXPECT_EQ(window_->Layout(), CalibrationWindow::kScaleLayout);
  EXPECT_TRUE(window_->Scale()->isVisible());
  EXPECT_FALSE(window_->Calib()->isVisible());
  EXPECT_EQ(window_->CameraNameText(), "cam1");

  TestCalibrationHost three(3);
  for (int k = 1; k <= 3; ++k) GiveModel(three, k, false);
  three.Camera(3).SetFlag(kFlagLinearSizing, true);
  Open(three, 3);
  // Files complete: the calibration dialog even though linear sizing was on, which goes off.
  EXPECT_EQ(window_->Layout(), CalibrationWindow::kCalibLayout);
  EXPECT_FALSE(three.Camera(3).UsesLinearSizing());
  EXPECT_FALSE(window_->CommandEnabled(CalibrationWindow::kNextCamera));
  window_->Command(CalibrationWindow::kPreviousCamera);
  EXPECT_EQ(window_->Camera(), 2);
  EXPECT_EQ(View().Camera(), 2);
  EXPECT_EQ(window_->Calib()->Camera(), 2);
  EXPECT_EQ(window_->CameraNameText(), "cam2");
  EXPECT_TRUE(window_->CommandEnabled(CalibrationWindow::kNextCamera));
}

TEST_F(CalibWindowTest, DockedDialogsShowEveryControlWhole) {
  TestCalibrationHost host(1);
  GiveModel(host, 1, true);
  Open(host);
  host.Camera(1).Calibrate();
  window_->UpdateDialogs();
  for (int layout : {CalibrationWindow::kCalibLayout, CalibrationWindow::kScaleLayout}) {
    SCOPED_TRACE(layout);
    window_->SetLayout(layout);
    QApplication::processEvents();
    QWidget* dialog = layout == CalibrationWindow::kCalibLayout
                          ? static_cast<QWidget*>(window_->Calib())
                          : static_cast<QWidget*>(window_->Scale());
    EXPECT_TRUE(dialogcheck::LayoutFaults(dialog).empty());
  }
}

TEST_F(CalibWindowTest, ZoomCommands) {
  TestCalibrationHost host(1, 320, 240);
  GiveModel(host, 1, false);
  Open(host);
  EXPECT_TRUE(View().FitToWindow());
  EXPECT_FALSE(window_->CommandEnabled(CalibView::kZoomIn));
  EXPECT_TRUE(window_->CommandEnabled(CalibView::kToggleFit));
  const float fitted = std::max(View().Zoom().x, View().Zoom().y);
  window_->Command(CalibView::kToggleFit);
  EXPECT_FALSE(View().FitToWindow());
  EXPECT_GE(View().Zoom().x, fitted);  // the first step not less than the larger factor
  EXPECT_EQ(View().Zoom().x, View().Zoom().y);
  while (window_->CommandEnabled(CalibView::kZoomIn)) window_->Command(CalibView::kZoomIn);
  EXPECT_EQ(View().Zoom().x, 32);
  EXPECT_GT(View().horizontalScrollBar()->maximum(), 320 * 32 - 1000);
  while (window_->CommandEnabled(CalibView::kZoomOut)) window_->Command(CalibView::kZoomOut);
  EXPECT_EQ(View().Zoom().x, 0.125f);
  EXPECT_EQ(View().horizontalScrollBar()->maximum(), 0);
  window_->Command(CalibView::kToggleFit);
  EXPECT_TRUE(View().FitToWindow());
  EXPECT_FALSE(window_->CommandEnabled(CalibView::kZoomOut));
}

TEST_F(CalibWindowTest, ImageDialogsRebuildThePicture) {
  TestCalibrationHost host(1);
  Open(host);
  window_->Command(CalibView::kFilter);
  EXPECT_EQ(host.filterRuns, 1);
  // What a filter dialog sends its parent while the user tries filters.
  platform::SendMessage(&View(), 273, 24371);
  EXPECT_EQ(host.rebuilds, 1);
}

TEST_F(CalibWindowTest, ModelModeDragsTheFrameAndReplacesThePoints) {
  TestCalibrationHost host(1);
  GiveModel(host, 1, false);
  Open(host);
  UnitZoom();
  Calibration& c = host.Camera(1);
  View().SetMode(CalibView::kModelMode);
  const double x0 = c.frameX[0], y0 = c.frameY[0];
  View().Move(At(x0, y0), false);
  ASSERT_EQ(View().SelectedHandle(), 0);
  View().LeftDown(At(x0, y0));
  View().Move(At(x0 - 10, y0 + 6), true);
  View().LeftUp(At(x0 - 10, y0 + 6));
  EXPECT_NEAR(c.frameX[0], x0 - 10, 1.0);
  EXPECT_NEAR(c.frameY[0], y0 + 6, 1.0);
  // The point at the model's corner follows its frame corner.
  EXPECT_NEAR(c.points.imageX[0], c.frameX[0], 1e-9);
  EXPECT_NEAR(c.points.imageY[0], c.frameY[0], 1e-9);
  // The inside moves the whole frame, held inside the pane when the mouse leaves it.
  const double x1 = c.frameX[1];
  const QPoint inside = At((c.frameX[0] + c.frameX[2]) / 2, (c.frameY[0] + c.frameY[2]) / 2);
  View().Move(inside, false);
  ASSERT_EQ(View().SelectedHandle(), 20);
  View().LeftDown(inside);
  View().Move(QPoint(-400, inside.y()), true);
  View().LeftUp(QPoint(-400, inside.y()));
  EXPECT_NEAR(c.frameX[1], x1 - inside.x(), 1.0);
}

TEST_F(CalibWindowTest, PointsModeSetsAndTogglesPoints) {
  TestCalibrationHost host(1);
  GiveModel(host, 1, false);
  Open(host);
  UnitZoom();
  Calibration& c = host.Camera(1);
  ASSERT_EQ(View().Mode(), CalibView::kPointsMode);  // every layout switch starts there
  const double px = c.points.imageX[5], py = c.points.imageY[5];
  // A click without a move changes nothing.
  View().Move(At(px, py), false);
  ASSERT_EQ(c.selectedPoint, 5);
  EXPECT_TRUE(window_->PositionText().startsWith("P_6 (100.0;100.0;0.0)"));
  View().LeftDown(At(px, py));
  View().LeftUp(At(px, py));
  EXPECT_EQ(c.points.used[5], 0);
  EXPECT_EQ(c.points.imageX[5], px);
  // Dragged onto its mark: moved and used.
  View().Move(At(px, py), false);
  View().LeftDown(At(px, py));
  View().Move(At(host.marks[5].first, host.marks[5].second), true);
  View().LeftUp(At(host.marks[5].first, host.marks[5].second));
  EXPECT_EQ(c.points.used[5], 1);
  EXPECT_NEAR(c.points.imageX[5], host.marks[5].first, 0.6);
  EXPECT_NEAR(c.points.imageY[5], host.marks[5].second, 0.6);
  // A double click switches it off and on again.
  for (int expected : {0, 1}) {
    const QPoint on = At(c.points.imageX[5], c.points.imageY[5]);
    View().Move(on, false);
    View().LeftDown(on);
    View().DoubleClick(on);
    View().LeftUp(on);
    EXPECT_EQ(c.points.used[5], expected);
  }
  // Off every point: the position.
  View().Move(QPoint(2, 3), false);
  EXPECT_EQ(window_->PositionText(), "2.0,3.0");
}

TEST_F(CalibWindowTest, CalibrateShowsTheResultWithGreenIndicators) {
  TestCalibrationHost host(2);
  GiveModel(host, 2, true);
  GiveModel(host, 1, true);
  Open(host);
  CalibDialog& dialog = *window_->Calib();
  // Two cameras: no linear sizing.
  EXPECT_FALSE(dialog.findChild<QRadioButton*>("20605")->isEnabled());
  dialog.Command(20605);
  EXPECT_EQ(window_->Layout(), CalibrationWindow::kCalibLayout);
  EXPECT_EQ(dialog.Indicator2D(), 25604);
  dialog.Command(20603);  // optimised
  dialog.Command(20601);
  Calibration& c = host.Camera(1);
  ASSERT_TRUE(c.IsCalibrated()) << (messages_.shown.empty() ? "" : messages_.shown[0].text);
  const caltest::Camera truth = Truth();
  EXPECT_NEAR(c.result.f, truth.c.f, 0.01);
  EXPECT_NEAR(c.result.Tz, truth.c.Tz, 1.0);
  EXPECT_EQ(Text(&dialog, 20624), QString::asprintf("%.4f mm", c.result.f));
  EXPECT_EQ(dialog.Indicator2D(), 25601);
  EXPECT_EQ(dialog.Indicator3D(), 25605);  // one camera calibrated
  // The second camera through the camera button: both calibrated, the 3D row shows.
  window_->Command(CalibrationWindow::kNextCamera);
  dialog.Command(20603);
  dialog.Command(20601);
  ASSERT_TRUE(host.Camera(2).IsCalibrated());
  host.divergence3d = 0.01;
  dialog.UpdateValues();
  EXPECT_EQ(Text(&dialog, 20641), "0.0100");
  EXPECT_EQ(dialog.Indicator3D(), 25602);
}

TEST_F(CalibWindowTest, GradientSearchIsAbortableAndOriginalKeepsTheResult) {
  caltest::TempDir dir;
  const std::string cam = (dir.Path() / "c.cam").string();
  std::ofstream(cam) << "Ncx: 320\nNfx: 320\ndx: 0.02\ndy: 0.02\nCx: 160\nCy: 120\nsx: 1\n";
  TestCalibrationHost host(1);
  GiveModel(host, 1, true, 1.1, true);
  host.Camera(1).cameraFile = FileName(cam);
  Open(host);
  window_->SetLayout(CalibrationWindow::kCalibLayout);
  CalibDialog& dialog = *window_->Calib();
  dialog.Command(20604);
  EXPECT_TRUE(Checked(&dialog, 20604));
  Calibration& c = host.Camera(1);
  // Unaborted, the search runs until the divergence settles.
  dialog.Command(20601);
  EXPECT_EQ(host.abortables, 1);
  EXPECT_GE(host.polls, 2);
  EXPECT_TRUE(c.IsCalibrated());
  // Aborted after the first pass: the camera keeps that pass's calibration, at the sx it was
  // made with (not the one the search had stepped on to).
  c.SetFlag(kFlagCalibrated, false);
  c.camera.sx = 1.0;
  host.polls = 0;
  host.abortAfter = 1;
  dialog.Command(20601);
  EXPECT_EQ(host.polls, 1);
  EXPECT_TRUE(c.IsCalibrated());
  EXPECT_EQ(c.camera.sx, 1.0);
  // "Original" gives Cx, Cy and sx back from the camera file and keeps the result.
  const CalibrationResult result = c.result;
  const QString f = Text(&dialog, 20624);
  c.camera.Cx = 170;
  c.camera.sx = 1.3;
  dialog.Command(20633);
  EXPECT_EQ(c.camera.Cx, 160);
  EXPECT_EQ(c.camera.Cy, 120);
  EXPECT_EQ(c.camera.sx, 1.0);
  EXPECT_TRUE(c.IsCalibrated());
  EXPECT_EQ(c.result.f, result.f);
  EXPECT_EQ(c.result.Tz, result.Tz);
  EXPECT_EQ(Text(&dialog, 20624), f);
  EXPECT_FALSE(f.isEmpty());
  EXPECT_EQ(Text(&dialog, 20632), "1.0000");
}

TEST_F(CalibWindowTest, ScaleDialogKeepsThePointsAndSetsScaleAndRelation) {
  TestCalibrationHost host(1);
  Open(host);
  ASSERT_EQ(window_->Layout(), CalibrationWindow::kScaleLayout);
  ScaleDialog& dialog = *window_->Scale();
  Calibration& c = host.Camera(1);
  c.sizingPoint1 = {50, 100};
  c.sizingPoint2 = {250, 100};
  dialog.UpdateValues();
  EXPECT_EQ(Text(&dialog, 20651), "200.0000");
  auto* length = dialog.findChild<QLineEdit*>("20653");
  length->setText("400");
  dialog.LengthEntered();
  EXPECT_NEAR(c.lengthScale, 0.2, 1e-6);  // 2 mm a pixel
  EXPECT_EQ(c.sizingPoint1.x, 50);
  EXPECT_EQ(c.sizingPoint2.x, 250);
  length->setText("not a number");
  dialog.LengthEntered();
  EXPECT_NEAR(c.lengthScale, 0.2, 1e-6);
  dialog.Command(20655);  // 4 : 3
  EXPECT_NEAR(c.aspect, 1.33333, 1e-5);
  EXPECT_TRUE(Checked(&dialog, 20655));
  EXPECT_NEAR(c.lengthScale, 0.2, 1e-6);
  EXPECT_EQ(c.sizingPoint2.x, 250);
  dialog.findChild<QLineEdit*>("20658")->setText("0");
  dialog.Command(20657);
  EXPECT_NEAR(c.aspect, 1.33333, 1e-5);
  dialog.findChild<QLineEdit*>("20658")->setText("5");
  dialog.findChild<QLineEdit*>("20659")->setText("4");
  dialog.Command(20657);
  EXPECT_NEAR(c.aspect, 1.25, 1e-6);
  EXPECT_TRUE(Checked(&dialog, 20657));
  // Methods need all four files; with them the calibration dialog takes over.
  dialog.Command(20603);
  EXPECT_EQ(window_->Layout(), CalibrationWindow::kScaleLayout);
  c.flags |= caltest::kAllFiles;
  dialog.Command(20603);
  EXPECT_EQ(window_->Layout(), CalibrationWindow::kCalibLayout);
  EXPECT_TRUE(c.Has(kFlagFullOptimized));
  EXPECT_FALSE(c.UsesLinearSizing());
}

TEST_F(CalibWindowTest, FilesDialogSteppingModelFileAndMissingFiles) {
  caltest::TempDir dir;
  std::string model;
  for (int i = 0; i < 9; ++i) model += std::to_string(i % 3) + " " + std::to_string(i / 3) + " 0\n";
  const std::string modelFile = (dir.Path() / "grid.cmo").string();
  std::ofstream(modelFile) << model;
  TestCalibrationHost host(3);
  host.Camera(1).SetModelFile("/elsewhere/own.cmo", false);
  host.Camera(2).SetCalibrationFile((dir.Path() / "two.cdc").string());
  CalibFilesDlg dialog(nullptr, host, 2, CalibFilesDlg::kCalibrationMode);
  dialog.show();
  EXPECT_FALSE(dialog.findChild<QWidget*>("20666")->isVisible());  // not a new document
  EXPECT_EQ(Text(&dialog, 20668), "two.cdc");
  EXPECT_TRUE(dialog.findChild<QWidget*>("25540")->isEnabled());
  EXPECT_TRUE(dialog.findChild<QWidget*>("25545")->isEnabled());

  platform::ScriptedChoosers choosers;
  choosers.fileAnswers.push_back(QString::fromStdString(modelFile));
  dialog.Command(20676);
  EXPECT_EQ(host.Camera(2).modelFile.Path(), modelFile);
  EXPECT_EQ(host.Camera(3).modelFile.Path(), modelFile);
  EXPECT_EQ(host.Camera(1).modelFile.Path(), "/elsewhere/own.cmo");
  EXPECT_EQ(Text(&dialog, 20675), "grid.cmo");
  dialog.Command(25545);
  EXPECT_EQ(dialog.Sequence(), 3);
  EXPECT_FALSE(dialog.findChild<QWidget*>("25545")->isEnabled());
  EXPECT_TRUE(Text(&dialog, 20675).isEmpty());  // no data file yet: nothing shown

  // Escape leaves it open.
  dialog.reject();
  EXPECT_TRUE(dialog.isVisible());
  // OK with camera 1 incomplete: Yes shows it and stays, No ends with 2.
  messages_.answers = {platform::kIdYes, 7};
  dialog.findChild<QPushButton*>("1")->click();
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(dialog.Sequence(), 1);
  dialog.findChild<QPushButton*>("1")->click();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), 2);
}

TEST_F(CalibWindowTest, ANewCameraFileIsCreatedThroughTheParameterDialog) {
  caltest::TempDir dir;
  const std::string cam = (dir.Path() / "fresh.cam").string();
  TestCalibrationHost host(1);
  Calibration& c = host.Camera(1);
  c.SetCalibrationFile((dir.Path() / "a.cdc").string());
  c.SetCalibrationImage("/data/frame.bld");
  CalibFilesDlg dialog(nullptr, host, 1, CalibFilesDlg::kPlainMode);
  dialog.show();
  EXPECT_TRUE(dialog.findChild<QWidget*>("20671")->isEnabled());
  EXPECT_FALSE(dialog.findChild<QWidget*>("20672")->isVisible());
  platform::ScriptedChoosers choosers;
  choosers.fileAnswers.push_back(QString::fromStdString(cam));
  bool edited = false;
  QTimer::singleShot(0, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* parameters = qobject_cast<EditCameraParaDlg*>(w);
      if (!parameters || !parameters->isVisible()) continue;
      parameters->findChild<QLineEdit*>("20684")->setText("640");
      parameters->findChild<QPushButton*>("1")->click();
      edited = true;
    }
  });
  dialog.Command(20671);
  ASSERT_TRUE(edited);
  EXPECT_TRUE(messages_.shown.empty());  // a file that does not exist yet is no error
  EXPECT_EQ(Text(&dialog, 20670), "fresh.cam");
  EXPECT_TRUE(dialog.findChild<QWidget*>("20672")->isVisible());
  EXPECT_FALSE(dialog.findChild<QWidget*>("20671")->isVisible());
  Calibration back;
  ASSERT_TRUE(back.SetCameraFile(cam));
  EXPECT_EQ(back.camera.Ncx, 640);
}

// A calibration data file whose name the document file could not give back (a trailing blank,
// a line break) is refused with a message and names nothing; a sound name is taken.
TEST_F(CalibWindowTest, ANameTheFilesCouldNotGiveBackIsRefused) {
  caltest::TempDir dir;
  TestCalibrationHost host(1);
  CalibFilesDlg dialog(nullptr, host, 1, CalibFilesDlg::kPlainMode);
  platform::ScriptedChoosers choosers;
  for (const std::string name : {"left.cdc ", "le\nft.cdc"}) {
    SCOPED_TRACE(name);
    messages_.shown.clear();
    choosers.fileAnswers.push_back(QString::fromStdString((dir.Path() / name).string()));
    dialog.Command(20669);
    EXPECT_FALSE(host.Camera(1).Has(kFlagCalibrationFile));
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_NE(messages_.shown[0].text.find(name), std::string::npos);
  }
  messages_.shown.clear();
  choosers.fileAnswers.push_back(QString::fromStdString((dir.Path() / " left.cdc").string()));
  dialog.Command(20669);
  EXPECT_TRUE(messages_.shown.empty());
  EXPECT_EQ(host.Camera(1).calibrationFile.NameExt(), " left.cdc");
}

TEST_F(CalibWindowTest, CameraParametersAreWrittenAndReadBack) {
  caltest::TempDir dir;
  const std::string cam = (dir.Path() / "new.cam").string();
  TestCalibrationHost host(1);
  Calibration& c = host.Camera(1);
  c.SetCameraFile(cam, false);
  c.camera.Ncx = 320;
  c.camera.Nfx = 320;
  c.camera.dx = c.camera.dy = 0.02;
  EditCameraParaDlg dialog(nullptr, c);
  EXPECT_EQ(dialog.findChild<QLineEdit*>("20684")->text(), "320.0000");
  dialog.findChild<QLineEdit*>("20685")->setText("640");
  dialog.findChild<QLineEdit*>("20628")->setText("-161.5");
  // A field the user empties is refused: it shows its value again, which OK then takes.
  auto* dx = dialog.findChild<QLineEdit*>("20686");
  dx->selectAll();
  QKeyEvent backspace(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
  QApplication::sendEvent(dx, &backspace);
  dialog.findChild<QPushButton*>("1")->click();
  EXPECT_NE(dialog.result(), 1);
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_NE(messages_.shown[0].text.find("\"dx (Sensor Element Size horiz.) [mm/sel]\" holds \"\""),
            std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(cam)) << "nothing is written while a field is refused";
  EXPECT_EQ(dx->text(), "0.0200");
  dialog.findChild<QPushButton*>("1")->click();
  EXPECT_EQ(dialog.result(), 1);
  Calibration back;
  back.SetImageSize(1.0, 1.0, 320, 240);
  ASSERT_TRUE(back.SetCameraFile(cam));
  EXPECT_EQ(back.camera.Nfx, 640);
  EXPECT_EQ(back.camera.dx, 0.02);
  EXPECT_EQ(back.camera.Cx, -161.5);
}

// The calibration window's exit button shows the program's exit picture (the door of File > Exit
// and of the print preview's bar): one picture per id, which a second registration cannot swap.
TEST(CalibrationPictures, TheExitPictureIsTheProgramsOne) {
  RegisterCalibrationBitmaps();
  const QImage exit = bitmaps::Load(24505, 32).toImage();
  ASSERT_FALSE(exit.isNull());
  EXPECT_EQ(exit, bitmaps::Load(24310, 32).toImage());
  for (int id : {24507, 24508, 25010, 25011, 25601, 25605})
    EXPECT_FALSE(bitmaps::Load(id, 16).isNull()) << id;
  EXPECT_FALSE(
      bitmaps::Register(24505, [](QPainter& p, bool) { p.fillRect(0, 0, 16, 16, Qt::red); }));
  EXPECT_EQ(bitmaps::Load(24505, 32).toImage(), exit);
}

}  // namespace
