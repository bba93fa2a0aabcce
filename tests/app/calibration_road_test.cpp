// The calibration as a user does it, in the running program: a document of two cameras whose
// frames show a known model seen through known cameras is calibrated in the calibration window
// (points dragged onto their marks, Calibrate pressed, camera after camera); the cameras come
// back, the window shows green marks and indicators, and leaving it gives the document's object
// its world position. And the files dialog of "Load Multiple Image Sequences" adds sequences.

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/mydocmanager.h"
#include "app/resource.h"
#include "app/sequencelist.h"
#include "app/ui/mdiclient.h"
#include "app/ui/resourcewindow.h"
#include "app/zorvatrackapp.h"
#include "calibration/calibrat.h"
#include "calibration/camera.h"
#include "calibration/ui/calibdialog.h"
#include "calibration/ui/calibfilesdlg.h"
#include "calibration/ui/calibrationwindow.h"
#include "calibration/ui/calibview.h"
#include "common/program_fixture.h"
#include "objects/docaccess.h"
#include "objects/objcommands.h"
#include "objects/resobjseq.h"
#include "objects/subobjseq.h"
#include "platform/busy.h"
#include "platform/message_service.h"
#include "platform/ui/choosers.h"
#include "platform/ui/modeless.h"
#include "sequences/avisequence.h"
#include "sequences/framesequence.h"
#include "sequences/imagefilter.h"
#include "sequences/sequences_ids.h"
#include "sequences/ui/filterdlg.h"
#include "sequences/ui/gammadlg.h"
#include "tests/calibration/cal_test_util.h"

namespace fs = std::filesystem;

namespace {

constexpr int kWidth = 320, kHeight = 240, kFrames = 2;
constexpr double kPixel = 0.02;  // mm

struct World {
  double x, y, z;
};

// 4 x 3 points on each of two levels, 100 mm apart.
std::vector<World> Model() {
  std::vector<World> model;
  for (double z : {0.0, 100.0})
    for (int i = 0; i < 12; ++i) model.push_back({(i % 4) * 100.0, (i / 4) * 100.0, z});
  return model;
}

caltest::Camera CameraOf(double turnDeg) {
  const double at[3] = {150, 100, 50};
  return caltest::OnSensor(caltest::AimedAt(25, turnDeg, 5, at, 1500, 12, 0), kWidth, kHeight,
                           kPixel);
}

std::pair<double, double> ImageOf(const caltest::Camera& cam, const World& w) {
  double x, y;
  WorldToImageCoord(w.x, w.y, w.z, cam.p, cam.c, x, y);
  return {x, y};
}

// A grey frame file with a white disc on every model point the camera sees.
void WriteFrames(const fs::path& bld, const caltest::Camera& cam) {
  std::vector<unsigned char> frame(kWidth * kHeight, 50);
  for (const World& w : Model()) {
    const auto [cx, cy] = ImageOf(cam, w);
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= 6.5) frame[y * kWidth + x] = 235;
  }
  std::ofstream out(bld, std::ios::binary);
  for (int k = 0; k < kFrames; ++k) out.write(reinterpret_cast<char*>(frame.data()), frame.size());
  fs::path dsc = bld;
  dsc.replace_extension(".dsc");
  std::ofstream(dsc) << "SEQUENCENAME:" << bld.stem().string() << "\nRESOLUTION:" << kWidth << "x"
                     << kHeight << "\nFRAMES/S:25\nFRAMES:" << kFrames << "\nCOLORSPACE:GREY\n";
}

CalibrationWindow* OpenCalibrationWindow() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* window = qobject_cast<CalibrationWindow*>(w); window && window->isVisible())
      return window;
  return nullptr;
}

class CalibrationRoad : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    cameras_ = {CameraOf(-20), CameraOf(25)};
    const char* names[2] = {"left", "right"};
    std::ofstream(dir_ / "grid.cmo") << [] {
      std::string text;
      for (const World& w : Model())
        text += std::to_string(w.x) + " " + std::to_string(w.y) + " " + std::to_string(w.z) + "\n";
      return text;
    }();
    for (int k = 0; k < 2; ++k) {
      WriteFrames(dir_ / (std::string(names[k]) + ".bld"), cameras_[k]);
      std::ofstream(dir_ / (std::string(names[k]) + ".cam"))
          << "Ncx: " << kWidth << "\nNfx: " << kWidth << "\ndx: " << kPixel << "\ndy: " << kPixel
          << "\n";
    }
    std::ofstream(dir_ / "two.par") << "CAMERAS: 2\nCAM_1: left.bld\nCAM_2: right.bld\n";
    app_->SetPendingFileName((dir_ / "two.par").string());
    app_->InitInstance();
    main_ = app_->MainWindow();
    main_->resize(1100, 700);
    main_->show();
    doc_ = app_->GetActiveDocument();
    ASSERT_NE(doc_, nullptr);
    ASSERT_EQ(doc_->SequenceCount(), 2);
  }

  // The four files of camera k, named as the files dialog names them.
  void NameFiles(int k, const char* name) { NameFiles(doc_, k, name); }
  void NameFiles(Resource* doc, int k, const char* name) {
    FrameSequence& s = *doc->Sequence(k);
    const std::string base = (dir_ / name).string();
    s.SetCalibrationFile(base + ".cdc");
    s.SetCameraFile(base + ".cam");
    s.SetCalibrationImage(base + ".bld");
    s.SetModelFile((dir_ / "grid.cmo").string());
  }

  // Runs "Calibration..." while drive works in the window; the command returns when it is left.
  void Calibrate(std::function<void(CalibrationWindow&)> drive) { Calibrate(doc_, drive); }
  void Calibrate(Resource* doc, std::function<void(CalibrationWindow&)> drive) {
    bool driven = false;
    QTimer::singleShot(0, [&] {
      CalibrationWindow* window = OpenCalibrationWindow();
      if (window) {
        drive(*window);
        driven = true;
        window->Command(CalibrationWindow::kExit);
      }
    });
    auto* documentWindow = dynamic_cast<ResourceWindow*>(doc->Window());
    ASSERT_NE(documentWindow, nullptr);
    documentWindow->CmCalibration(25012);
    EXPECT_TRUE(driven);
  }

  // Drags every point of the camera on show onto its mark, as a user does with the mouse.
  void SetPoints(CalibrationWindow& window, const caltest::Camera& truth) {
    CalibView& view = *window.View();
    Calibration& c = *view.CalibrationOnShow();
    const auto zoom = view.Zoom();
    const auto pane = [&](double x, double y) {
      return QPoint(static_cast<int>(std::lround(x * zoom.x)),
                    static_cast<int>(std::lround(y * zoom.y)));
    };
    const std::vector<World> model = Model();
    for (int i = 0; i < c.points.count; ++i) {
      const QPoint from = pane(c.points.imageX[i], c.points.imageY[i]);
      view.Move(from, false);
      ASSERT_EQ(c.selectedPoint, i) << "point " << i << " lies under another one";
      const auto [mx, my] = ImageOf(truth, model[i]);
      view.LeftDown(from);
      view.Move(pane(mx, my), true);
      view.LeftUp(pane(mx, my));
      ASSERT_EQ(c.points.used[i], 1);
    }
  }

  platform::RecordingMessageService messages_;
  std::vector<caltest::Camera> cameras_;
  QMainWindow* main_ = nullptr;
  Resource* doc_ = nullptr;
};

TEST_F(CalibrationRoad, TwoCamerasAreCalibratedInTheWindowAndWorldPointsFollow) {
  NameFiles(0, "left");
  NameFiles(1, "right");
  ASSERT_EQ(doc_->FirstIncompleteCalibration(), 0);
  // An object seen by both cameras; without calibrated cameras it has no world position.
  const World target{180, 120, 40};
  ResObjectSequence* object = objcmd::NewObjectSequence(*doc_);
  ASSERT_NE(object, nullptr);
  for (int k = 0; k < 2; ++k) {
    const auto [x, y] = ImageOf(cameras_[k], target);
    objdoc::SubsOf(*doc_->Sequence(k)).Find(object->number)->AddPoint(1, x, y);
  }
  doc_->RecalcObjectSequences(0);
  EXPECT_EQ(object->ItemAt(1), nullptr);

  Calibrate([&](CalibrationWindow& window) {
    window.resize(1100, 700);
    QApplication::processEvents();
    ASSERT_EQ(window.Layout(), CalibrationWindow::kCalibLayout);
    EXPECT_FALSE(main_->isVisible());  // the window stands in for the main window
    CalibDialog& dialog = *window.Calib();
    for (int k = 0; k < 2; ++k) {
      SCOPED_TRACE(k);
      ASSERT_EQ(window.Camera(), k + 1);
      ASSERT_EQ(window.View()->Caption(), k == 0 ? "left.bld" : "right.bld");
      SetPoints(window, cameras_[k]);
      dialog.Command(20603);  // optimised
      dialog.Command(20601);  // "Calibrate"
      const Calibration& c = *doc_->Sequence(k);
      ASSERT_TRUE(c.IsCalibrated()) << (messages_.shown.empty() ? "" : messages_.shown[0].text);
      EXPECT_NEAR(c.result.f, cameras_[k].c.f, 0.2);
      EXPECT_NEAR(c.result.Tz, cameras_[k].c.Tz, 20);
      EXPECT_NEAR(c.result.Rx, cameras_[k].c.Rx, 0.01);
      EXPECT_NEAR(c.result.Ry, cameras_[k].c.Ry, 0.01);
      EXPECT_EQ(dialog.Indicator2D(), 25601);
      if (k == 0) window.Command(CalibrationWindow::kNextCamera);
    }
    EXPECT_EQ(dialog.Indicator3D(), 25602);
    QApplication::processEvents();
    const QImage shot = window.grab().toImage();
    // One picture offscreen, one on a real display (run side by side, each of its own).
    const QString platform = QGuiApplication::platformName();
    shot.save(QString(ZORVAT_BUILD_DIR) + "/calibration_window" +
              (platform == "offscreen" ? QString() : "_" + platform) + ".png");
    // The marks of the used points are drawn green over the frame.
    CalibView& view = *window.View();
    const Calibration& c = *view.CalibrationOnShow();
    const QPoint mark = view.viewport()->mapTo(&window, QPoint(std::lround(c.points.imageX[3] * view.Zoom().x),
                                                                std::lround(c.points.imageY[3] * view.Zoom().y)));
    const QColor colour = shot.pixelColor(mark);
    EXPECT_GT(colour.green(), 200);
    EXPECT_LT(colour.red(), 80);
  });
  EXPECT_TRUE(main_->isVisible());
  // Leaving the window reconstructed the object from the two calibrated cameras.
  const ObjectBase* world = object->ItemAt(1);
  ASSERT_NE(world, nullptr);
  EXPECT_NEAR(world->x, target.x, 3);
  EXPECT_NEAR(world->y, target.y, 3);
  EXPECT_NEAR(world->z, target.z, 3);
}

// The filter and gamma dialogs stay open beside the calibration window: the picture follows each
// choice (under the wait cursor) while the user goes on setting points; moving to another camera
// closes them, keeping the choice for the camera they worked on; new calibration files dropping
// the picture under an open dialog leave it working on its own copy.
TEST_F(CalibrationRoad, FilterAndGammaDialogsStayOpenBesideThePicture) {
  NameFiles(0, "left");
  NameFiles(1, "right");
  int busy = 0, busyNow = 0;
  platform::SetBusyHandler([&](bool on) {
    busyNow += on ? 1 : -1;
    busy += on;
  });
  Calibrate([&](CalibrationWindow& window) {
    window.resize(1100, 700);
    QApplication::processEvents();
    CalibView& view = *window.View();
    Calibration& left = *doc_->Sequence(0);
    ASSERT_TRUE(left.calibrationFrame && left.displayFrame);
    const CDIB& loaded = *left.calibrationFrame;
    std::vector<std::uint8_t> sobel(loaded.Bits(), loaded.Bits() + loaded.ImageSize());
    FilterPlane(seqid::kFilterSobel, sobel.data(), loaded.Width(), loaded.Height(),
                loaded.RowBytes());
    // A pixel of the background, well inside the frame, that the edge filter turns black.
    QPoint flat(-1, -1);
    for (int y = 20; y < kHeight - 20 && flat.x() < 0; ++y)
      for (int x = 20; x < kWidth - 20; ++x)
        if (loaded.Bits()[y * loaded.RowBytes() + x] == 50 &&
            sobel[y * loaded.RowBytes() + x] == 0) {
          flat = QPoint(x, y);
          break;
        }
    ASSERT_GE(flat.x(), 0);
    const auto shown = [&] {
      const QPoint pane(std::lround((flat.x() + 0.5) * view.Zoom().x),
                        std::lround((flat.y() + 0.5) * view.Zoom().y));
      return view.viewport()->grab().toImage().pixelColor(pane).lightness();
    };
    EXPECT_GT(shown(), 30);

    window.Command(CalibView::kFilter);
    auto* filter = platform::OpenDialogOf<FilterDlg>(&view);
    ASSERT_NE(filter, nullptr) << "the command returns with the dialog open";
    EXPECT_TRUE(filter->isVisible());
    EXPECT_FALSE(filter->isModal());
    filter->ControlAs<QRadioButton>(seqid::kFilterSobel)->click();
    EXPECT_GT(busy, 0) << "the wait cursor while the filter runs";
    EXPECT_EQ(busyNow, 0);
    EXPECT_EQ(std::vector<std::uint8_t>(left.displayFrame->Bits(),
                                        left.displayFrame->Bits() + left.displayFrame->ImageSize()),
              sobel);
    EXPECT_LT(shown(), 10) << "the picture follows the choice";

    // The window goes on working beside the dialog; a second command brings the same one forward.
    SetPoints(window, cameras_[0]);
    EXPECT_TRUE(filter->isVisible());
    window.Command(CalibView::kFilter);
    EXPECT_EQ(platform::OpenDialogOf<FilterDlg>(&view), filter);
    window.Command(CalibView::kGamma);
    auto* gamma = platform::OpenDialogOf<GammaDialog>(&view);
    ASSERT_NE(gamma, nullptr);
    EXPECT_FALSE(gamma->isModal());
    EXPECT_TRUE(filter->isVisible()) << "both open at once";

    // Another camera: both close, camera 1 keeps its filter, camera 2 shows its frame as it is.
    window.Command(CalibrationWindow::kNextCamera);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(platform::OpenDialogOf<FilterDlg>(&view), nullptr);
    EXPECT_EQ(platform::OpenDialogOf<GammaDialog>(&view), nullptr);
    EXPECT_EQ(left.displayFrame->filterId, seqid::kFilterSobel);
    EXPECT_EQ(doc_->Sequence(1)->displayFrame->filterId, seqid::kFilterOriginal);

    // New files for camera 2 while its dialog is open (the files dialog does this): the dialog
    // keeps working on the dropped picture until the view shows the new one and closes it.
    window.Command(CalibView::kFilter);
    filter = platform::OpenDialogOf<FilterDlg>(&view);
    ASSERT_NE(filter, nullptr);
    NameFiles(1, "right");
    EXPECT_EQ(doc_->Sequence(1)->displayFrame, nullptr);
    filter->ControlAs<QRadioButton>(seqid::kFilterMedian)->click();
    view.SetCalibrationFrame(2);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(platform::OpenDialogOf<FilterDlg>(&view), nullptr);
    ASSERT_NE(doc_->Sequence(1)->displayFrame, nullptr);
    EXPECT_EQ(doc_->Sequence(1)->displayFrame->filterId, seqid::kFilterOriginal);

    // A dialog left open closes with the window.
    window.Command(CalibView::kGamma);
    ASSERT_NE(platform::OpenDialogOf<GammaDialog>(&view), nullptr);
  });
  for (QWidget* w : QApplication::topLevelWidgets())
    EXPECT_FALSE(qobject_cast<GammaDialog*>(w) && w->isVisible());
  platform::SetBusyHandler(nullptr);
}

TEST_F(CalibrationRoad, IncompleteFilesAskFirstAndACalibrationFrameOfAnotherSizeIsRefused) {
  NameFiles(0, "left");
  // Camera 2 lacks its files: the files dialog comes first; declining it opens no window.
  bool asked = false;
  QTimer::singleShot(0, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* files = qobject_cast<CalibFilesDlg*>(w); files && files->isVisible()) {
        asked = files->Sequence() == 2;
        messages_.answers = {7};  // "No" to completing the files
        files->findChild<QPushButton*>("1")->click();
      }
    }
  });
  auto* documentWindow = dynamic_cast<ResourceWindow*>(doc_->Window());
  documentWindow->CmCalibration(25012);
  EXPECT_TRUE(asked);
  ASSERT_GE(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].caption, "Missing calibration files");

  // A calibration frame of another size: message 31115, the video's frame is shown instead.
  NameFiles(1, "right");
  std::ofstream(dir_ / "small.bld", std::ios::binary) << std::string(64 * 48, '\x40');
  std::ofstream(dir_ / "small.dsc") << "SEQUENCENAME:small\nRESOLUTION:64x48\nFRAMES:1\n"
                                       "FRAMES/S:25\nCOLORSPACE:GREY\n";
  doc_->Sequence(0)->SetCalibrationImage((dir_ / "small.bld").string());
  messages_.shown.clear();
  Calibrate([&](CalibrationWindow& window) {
    EXPECT_EQ(window.View()->Caption(), "left.bld");
    EXPECT_EQ(doc_->Sequence(0)->calibrationFrame, nullptr);
  });
  ASSERT_GE(messages_.shown.size(), 1u);
  EXPECT_NE(messages_.shown[0].text.find("(320 x 240)"), std::string::npos);
  EXPECT_NE(messages_.shown[0].text.find("(64 x 48)"), std::string::npos);
}

TEST_F(CalibrationRoad, DocumentFilesNamesTheDescriptionAndRecomputesWorldPoints) {
  // Cameras calibrated before: the object has a world position only once it is recomputed.
  for (int k = 0; k < 2; ++k) {
    FrameSequence& s = *doc_->Sequence(k);
    s.camera = cameras_[k].p;
    s.result = cameras_[k].c;
    s.SetFlag(kFlagCalibrated, true);
  }
  ResObjectSequence* object = objcmd::NewObjectSequence(*doc_);
  const World target{100, 50, 20};
  for (int k = 0; k < 2; ++k) {
    const auto [x, y] = ImageOf(cameras_[k], target);
    objdoc::SubsOf(*doc_->Sequence(k)).Find(object->number)->AddPoint(1, x, y);
  }
  bool plain = false;
  QTimer::singleShot(0, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* files = qobject_cast<CalibFilesDlg*>(w);
      if (!files || !files->isVisible()) continue;
      plain = !files->findChild<QWidget*>("20662")->isVisible() &&
              !files->findChild<QWidget*>("20666")->isVisible();
      files->findChild<QLineEdit*>("20663")->setText("Treadmill, two cameras");
      files->findChild<QPushButton*>("1")->click();
    }
  });
  dynamic_cast<ResourceWindow*>(doc_->Window())->CmCalibration(25013);
  EXPECT_TRUE(plain);
  EXPECT_EQ(doc_->Caption(), "Treadmill, two cameras");
  const ObjectBase* world = object->ItemAt(1);
  ASSERT_NE(world, nullptr);
  EXPECT_NEAR(world->x, target.x, 0.01);
  EXPECT_NEAR(world->z, target.z, 0.01);
}

TEST_F(CalibrationRoad, LoadMultipleImageSequencesAddsFurtherSequences) {
  platform::ScriptedChoosers choosers;
  choosers.fileAnswers = {QString::fromStdString((dir_ / "left.bld").string())};
  int added = -1;
  bool refused = false;
  QTimer::singleShot(0, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* files = qobject_cast<CalibFilesDlg*>(w);
      if (!files || !files->isVisible()) continue;
      // The sequence already in the document is refused, a new one added.
      choosers.fileAnswers = {QString::fromStdString((dir_ / "left.bld").string()),
                              QString::fromStdString((dir_ / "right.bld").string())};
      messages_.shown.clear();
      files->Command(20666);
      refused = !messages_.shown.empty() &&
                messages_.shown.back().text.find("already used in this document") !=
                    std::string::npos;
      files->Command(20666);
      added = files->findChild<QLabel*>("20665")->text().toInt();
      files->findChild<QPushButton*>("1")->click();
    }
  });
  app_->DocManager()->CmLoadMultipleSequences();
  EXPECT_TRUE(refused);
  EXPECT_EQ(added, 2);
  Resource* doc = app_->GetActiveDocument();
  ASSERT_NE(doc, nullptr);
  ASSERT_NE(doc, doc_);
  ASSERT_EQ(doc->SequenceCount(), 2);
  EXPECT_EQ(FileName(doc->Sequence(1)->GetFileName()).NameExt(), "right.bld");
}


// Two videos of the target, loaded together and named a document file by "Save As..."; both
// cameras calibrated in the window and an object seen by both; saved and closed; the document
// file opened again brings both cameras back calibrated and the object to the same place.
TEST_F(CalibrationRoad, CalibrationsOfTwoVideosOutliveTheDocument) {
  // The frame files' pictures as lossless videos.
  for (const char* name : {"left", "right"}) {
    const std::string make = "ffmpeg -loglevel error -y -f rawvideo -pix_fmt gray -s " +
                             std::to_string(kWidth) + "x" + std::to_string(kHeight) +
                             " -r 25 -i '" + (dir_ / name).string() + ".bld' -c:v ffv1 '" +
                             (dir_ / name).string() + ".avi' 2>/dev/null";
    if (std::system(make.c_str()) != 0) GTEST_SKIP() << "no ffmpeg with ffv1";
  }
  SetAviPropertiesRunner(nullptr);
  const fs::path rsc = dir_ / "session" / "walk.rsc";
  fs::create_directories(rsc.parent_path());
  platform::ScriptedChoosers choosers;
  choosers.fileAnswers = {QString::fromStdString((dir_ / "left.avi").string())};
  std::size_t savedAtOnce = 0;
  QTimer::singleShot(0, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* files = qobject_cast<CalibFilesDlg*>(w);
      if (!files || !files->isVisible()) continue;
      choosers.fileAnswers = {QString::fromStdString(rsc.string())};
      files->Command(20662);  // "Save As..." writes the file at once
      if (auto list = ReadSequenceList(FileName(rsc.string()))) savedAtOnce = list->size();
      // What comes after it is in the file too once OK is pressed.
      choosers.fileAnswers = {QString::fromStdString((dir_ / "right.avi").string())};
      files->Command(20666);  // "Further Image Sequence"
      files->findChild<QLineEdit*>("20663")->setText("Walk, two cameras");
      files->findChild<QPushButton*>("1")->click();
    }
  });
  app_->DocManager()->CmLoadMultipleSequences();
  Resource* doc = app_->GetActiveDocument();
  ASSERT_NE(doc, doc_);
  ASSERT_EQ(doc->SequenceCount(), 2);
  // "Save As..." wrote the document file, OK once more.
  EXPECT_EQ(savedAtOnce, 1u);
  auto listed = ReadSequenceList(FileName(rsc.string()));
  ASSERT_TRUE(listed.has_value());
  ASSERT_EQ(listed->size(), 2u);
  EXPECT_EQ((*listed)[1].Path(), (dir_ / "right.avi").string());
  EXPECT_EQ(ReadDocumentDescription(FileName(rsc.string())), "Walk, two cameras");

  // The calibration data files do not exist yet; calibrating in the window writes them.
  NameFiles(doc, 0, "left");
  NameFiles(doc, 1, "right");
  ResObjectSequence* object = objcmd::NewObjectSequence(*doc);
  ASSERT_NE(object, nullptr);
  const World target{180, 120, 40};
  for (int k = 0; k < 2; ++k) {
    const auto [x, y] = ImageOf(cameras_[k], target);
    objdoc::SubsOf(*doc->Sequence(k)).Find(object->number)->AddPoint(1, x, y);
  }
  Calibrate(doc, [&](CalibrationWindow& window) {
    window.resize(1100, 700);
    for (int k = 0; k < 2; ++k) {
      SetPoints(window, cameras_[k]);
      window.Calib()->Command(20603);
      window.Calib()->Command(20601);
      ASSERT_TRUE(doc->Sequence(k)->IsCalibrated());
      if (k == 0) window.Command(CalibrationWindow::kNextCamera);
    }
  });
  for (const char* name : {"left.cdc", "right.cdc"})
    EXPECT_TRUE(fs::exists(dir_ / name)) << name;
  EXPECT_EQ(ReadCalibrationDataName(FileName(rsc.string()), 2)->Path(),
            (dir_ / "right.cdc").string());
  const ObjectBase* world = object->ItemAt(1);
  ASSERT_NE(world, nullptr);
  const World before{world->x, world->y, world->z};
  CalibrationResult results[2];
  CameraParameters cameras[2];
  for (int k = 0; k < 2; ++k) {
    results[k] = doc->Sequence(k)->result;
    cameras[k] = doc->Sequence(k)->camera;
  }

  // Saved and closed: nothing is left to ask about.
  auto* documentWindow = dynamic_cast<ResourceWindow*>(doc->Window());
  documentWindow->CmObjectSequences(objcmd::kSave);
  messages_.shown.clear();
  app_->MDIClient()->closeAllSubWindows();
  QApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(messages_.shown.empty()) << messages_.shown[0].caption;
  for (Resource* open = g_ResourceList.Next(nullptr); open; open = g_ResourceList.Next(open))
    ASSERT_NE(open->Caption(), "Walk, two cameras");

  Resource* again = app_->DocManager()->LoadDocument(FileName(rsc.string()));
  ASSERT_NE(again, nullptr);
  QApplication::processEvents();
  for (auto& m : messages_.shown) ADD_FAILURE() << m.caption << ": " << m.text;
  ASSERT_EQ(again->SequenceCount(), 2);
  EXPECT_EQ(again->Caption(), "Walk, two cameras");
  for (int k = 0; k < 2; ++k) {
    SCOPED_TRACE(k);
    const Calibration& c = *again->Sequence(k);
    ASSERT_TRUE(c.IsCalibrated());
    EXPECT_EQ(c.camera.Cx, cameras[k].Cx);
    EXPECT_EQ(c.camera.Cy, cameras[k].Cy);
    EXPECT_EQ(c.camera.sx, cameras[k].sx);
    const double* a = &c.result.f;
    const double* b = &results[k].f;
    for (int i = 0; i < 19; ++i) EXPECT_EQ(a[i], b[i]) << i;
  }
  dynamic_cast<ResourceWindow*>(again->Window())->CmObjectSequences(objcmd::kLoad);
  ASSERT_EQ(again->ObjectSequences()->Count(), 1);
  again->RecalcObjectSequences(0);
  const ObjectBase* reopened = again->ObjectSequences()->Sequences().front()->ItemAt(1);
  ASSERT_NE(reopened, nullptr);
  EXPECT_EQ(reopened->x, before.x);
  EXPECT_EQ(reopened->y, before.y);
  EXPECT_EQ(reopened->z, before.z);

  // A change made now is asked about on closing; "No" leaves the file as it was.
  const fs::file_time_type written = fs::last_write_time(dir_ / "left.cdc");
  again->Sequence(0)->SetPointUsed(0, 0, false);
  messages_.answers = {7};
  messages_.shown.clear();
  EXPECT_TRUE(again->CanClose());
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].caption, "Unsaved calibration");
  EXPECT_EQ(fs::last_write_time(dir_ / "left.cdc"), written);
  // "Yes" writes it.
  messages_.answers = {6};
  EXPECT_TRUE(again->CanClose());
  Calibration check;
  check.SetImageSize(1.0, 1.0, kWidth, kHeight);
  check.SetCalibrationFile((dir_ / "left.cdc").string());
  EXPECT_EQ(check.points.used[0], 0);
  EXPECT_EQ(check.points.used[1], 1);
}

}  // namespace
