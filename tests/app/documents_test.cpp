// Documents in the running program: loading frame files, document files and camera lists,
// playback through the player commands and idle time, the frame display, clip videos and layout.
#include <QCheckBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTreeView>
#include <QtTest/QTest>

#include <cstdlib>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/mydocmanager.h"
#include "app/resource.h"
#include "app/ui/curseqdlg.h"
#include "app/ui/mdiclient.h"
#include "app/ui/resourcewindow.h"
#include "app/ui/viewlayoutwindow.h"
#include "app/zorvatrackapp.h"
#include "base/app_ids.h"
#include "base/defaults.h"
#include "base/profile_keys.h"
#include "common/program_fixture.h"
#include "objects/docaccess.h"
#include "objects/objcommands.h"
#include "objects/resobjseq.h"
#include "objects/subobjseq.h"
#include "objects/ui/bildview.h"
#include "objects/ui/objectpanels.h"
#include "platform/files.h"
#include "platform/message_service.h"
#include "platform/strings.h"
#include "platform/ui/choosers.h"
#include "sequences/avisequence.h"
#include "sequences/framesequence.h"
#include "sequences/ui/playercontrols.h"

namespace fs = std::filesystem;

namespace {

// Writes a frame file whose pixel (x, y) of frame k is (x + 3y + 7k) mod 256 in every plane
// (grey) or shifted per plane (colour).
void WriteBld(const fs::path& bld, int w, int h, int frames, float fps, bool rgb) {
  std::ofstream out(bld, std::ios::binary);
  for (int k = 1; k <= frames; ++k)
    for (int plane = 0; plane < (rgb ? 3 : 1); ++plane)
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
          out.put(static_cast<char>((x + 3 * y + 7 * k + 50 * plane) & 0xFF));
  fs::path dsc = bld;
  dsc.replace_extension(".dsc");
  std::ofstream(dsc) << "SEQUENCENAME:" << bld.stem().string() << "\nRESOLUTION:" << w << "x" << h
                     << "\nFRAMES/S:" << fps << "\nFRAMES:" << frames
                     << "\nCOLORSPACE:" << (rgb ? "RGB" : "GREY") << "\n";
}

class Documents : public ProgramTest {
 protected:
  // Starts the program as with a file name on the command line.
  Resource* Start(const fs::path& file) {
    app_->SetPendingFileName(file.string());
    app_->InitInstance();
    app_->MainWindow()->resize(1200, 800);
    QCoreApplication::processEvents();
    return app_->GetActiveDocument();
  }
  bool Command(int id) { return platform::RouteCommand(app_->Chain(), id); }
  bool Enabled(int id) { return platform::QueryCommand(app_->Chain(), id).enabled; }
  QString FrameField() { return app_->FrameField()->text(); }
  // The clip opens as a document whose frames are, pixel for pixel, the document's first ones.
  void ExpectClipHoldsTheFirstFrames(Resource* doc, const fs::path& clipBld, int frames) {
    MyDocManager loader;
    Resource* clip = loader.LoadDocument(FileName(clipBld.string()));
    ASSERT_NE(clip, nullptr) << clipBld;
    EXPECT_EQ(clip->MinFrameCount(), frames);
    for (int k = 1; k <= frames; ++k) {
      const CDIB* copy = clip->Sequence(0)->ReadFrame(k, true);
      ASSERT_NE(copy, nullptr);
      std::vector<std::uint8_t> a(copy->Bits(), copy->Bits() + copy->ImageSize());
      const CDIB* original = doc->Sequence(0)->ReadFrame(k, true);
      std::vector<std::uint8_t> b(original->Bits(), original->Bits() + original->ImageSize());
      EXPECT_EQ(a, b) << clipBld << " frame " << k;
    }
  }

  platform::RecordingMessageService messages_;
};

TEST_F(Documents, FrameFileOpensPlaysAndStops) {
  WriteBld(dir_ / "walk.bld", 32, 24, 5, 25.0f, false);
  Resource* doc = Start(dir_ / "walk.bld");
  ASSERT_NE(doc, nullptr) << (messages_.shown.empty() ? "" : messages_.shown[0].text);
  EXPECT_EQ(doc->MinFrameCount(), 5);
  EXPECT_EQ(FrameField(), "1");
  EXPECT_EQ(g_ResourceList.Next(nullptr), doc);
  // Started from the command line: the dialog's settings stay untouched.
  EXPECT_EQ(ReadFile(profile_->FilePath()).find("LastFilterIndex"), std::string::npos);

  EXPECT_TRUE(Enabled(25001));
  EXPECT_FALSE(Enabled(25002));
  ASSERT_TRUE(Command(25001));
  EXPECT_TRUE(Enabled(25002));
  std::vector<int> seen;
  for (int i = 0; i < 6; ++i) {
    ASSERT_TRUE(app_->DocManager()->IdlePlay());
    seen.push_back(doc->CurrentFrame());
    EXPECT_EQ(FrameField(), QString::number(doc->CurrentFrame()));
    EXPECT_EQ(app_->FrameSlider()->value(), doc->CurrentFrame());
  }
  EXPECT_EQ(seen, (std::vector<int>{2, 3, 4, 5, 1, 2}));  // playback wraps to the first frame
  Command(25002);
  EXPECT_FALSE(app_->DocManager()->IdlePlay());
  Command(25006);
  Command(25004);  // previous on the first frame: the last
  EXPECT_EQ(doc->CurrentFrame(), 5);
  Command(25003);
  EXPECT_EQ(doc->CurrentFrame(), 1);

  // The view shows the frame the document is on.
  auto* view = qobject_cast<BildView*>(doc->Sequence(0)->view.data());
  ASSERT_NE(view, nullptr);
  Command(25005);
  EXPECT_EQ(view->DisplayFrame().Image().Bits()[0], doc->Sequence(0)->FrameBitmap().Bits()[0]);
  EXPECT_TRUE(doc->Sequence(0)->IsCurrentFrame(5));
}

TEST_F(Documents, OneFrameDisablesThePlayer) {
  WriteBld(dir_ / "still.bld", 16, 16, 1, 25.0f, false);
  ASSERT_NE(Start(dir_ / "still.bld"), nullptr);
  for (int id : {25001, 25002, 25003, 25004, 25005, 25006, 25095}) EXPECT_FALSE(Enabled(id)) << id;
}

TEST_F(Documents, ClipVideoReopensWithIdenticalPixels) {
  for (bool rgb : {false, true}) {
    const fs::path source = dir_ / (rgb ? "colour.bld" : "grey.bld");
    WriteBld(source, 20, 10, 4, 30.0f, rgb);
    Resource* doc = Start(source);
    ASSERT_NE(doc, nullptr);
    Command(25095);
    Command(25095);
    EXPECT_EQ(doc->CurrentFrame(), 3);  // each command moves on one frame
    ExpectClipHoldsTheFirstFrames(doc, dir_ / (rgb ? "colour-clipvideo.bld" : "grey-clipvideo.bld"),
                                  2);
    app_->MDIClient()->closeAllSubWindows();
    app_.reset();
    app_ = std::make_unique<ZorvatrackApp>();
    g_App = app_.get();
  }
}

// A clip whose last frame was cut off (a crash, a full disk, a copy stopped halfway): one more
// F9 cuts the piece off and says so, and every whole frame reads back at its place.
TEST_F(Documents, ACutClipReadsBackEveryWholeFrameAfterOneMoreF9) {
  const fs::path source = dir_ / "walk.bld";
  WriteBld(source, 20, 10, 4, 25.0f, false);
  Resource* doc = Start(source);
  ASSERT_NE(doc, nullptr);
  Command(25095);
  Command(25095);
  const fs::path clip = dir_ / "walk-clipvideo.bld";
  std::ofstream(clip, std::ios::binary | std::ios::app) << std::string(77, '\xEE');
  ASSERT_TRUE(messages_.shown.empty()) << messages_.shown[0].text;
  Command(25095);
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].caption, "Clip video");
  EXPECT_EQ(messages_.shown[0].text.rfind("The clip video " + clip.string() +
                                              " ended in 77 bytes that are no whole frame of "
                                              "20 x 10 pixels",
                                          0),
            0u)
      << messages_.shown[0].text;
  EXPECT_EQ(doc->CurrentFrame(), 4);
  EXPECT_EQ(fs::file_size(clip), 3u * 20 * 10);
  ExpectClipHoldsTheFirstFrames(doc, clip, 3);
}

TEST_F(Documents, CameraListOfThreeTilesItsViews) {
  fs::create_directories(dir_ / "cams");
  for (const char* name : {"a", "b", "c"})
    WriteBld(dir_ / "cams" / (std::string(name) + ".bld"), 64, 48, 10, 25.0f, false);
  std::ofstream(dir_ / "three.par", std::ios::binary)
      << "CAMERAS: 3\r\nCAM_1: cams\\a.bld\r\nCAM_2: cams\\b.bld\r\nCAM_3: cams\\c.bld\r\n";
  Resource* doc = Start(dir_ / "three.par");
  ASSERT_NE(doc, nullptr);
  ASSERT_EQ(doc->SequenceCount(), 3);
  auto* window = dynamic_cast<ResourceWindow*>(doc->Window());
  ASSERT_NE(window, nullptr);
  window->SubWindow()->resize(640, 240);
  QCoreApplication::processEvents();
  std::vector<QRect> places;
  for (int i = 0; i < 3; ++i) {
    auto* view = qobject_cast<QWidget*>(doc->Sequence(i)->view.data());
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isVisible());
    places.push_back(view->geometry());
  }
  // 3 x 1: side by side, left to right, without overlap.
  EXPECT_LE(places[0].right(), places[1].left());
  EXPECT_LE(places[1].right(), places[2].left());
  EXPECT_EQ(places[0].top(), places[2].top());
  const fs::path shot = fs::path(ZORVAT_BUILD_DIR) / "three_cameras.png";
  EXPECT_TRUE(window->grab().save(QString::fromStdString(shot.string())));
  Command(25019);  // 1 x 3: one column
  QCoreApplication::processEvents();
  auto top = qobject_cast<QWidget*>(doc->Sequence(0)->view.data())->geometry();
  auto below = qobject_cast<QWidget*>(doc->Sequence(1)->view.data())->geometry();
  EXPECT_LE(top.bottom(), below.top());
}

TEST_F(Documents, InfoShowsEachSequence) {
  fs::create_directories(dir_ / "cams");
  WriteBld(dir_ / "cams/grey.bld", 16, 8, 3, 25.0f, false);
  WriteBld(dir_ / "cams/colour.bld", 16, 8, 3, 25.0f, true);
  std::ofstream(dir_ / "two.par") << "CAMERAS: 2\nCAM_1: cams/grey.bld\nCAM_2: cams/colour.bld\n";
  Resource* doc = Start(dir_ / "two.par");
  ASSERT_NE(doc, nullptr);
  CurSeqDlg info(*doc, 1, nullptr);
  auto checked = [&](int id) { return info.ControlAs<QCheckBox>(id)->isChecked(); };
  auto enabled = [&](int id) { return info.ControlAs<QAbstractButton>(id)->isEnabled(); };
  EXPECT_EQ(info.ControlAs<QLabel>(20375)->text(), "16 * 8");
  EXPECT_FALSE(checked(20379));
  EXPECT_TRUE(checked(20380));
  EXPECT_FALSE(enabled(25540));
  EXPECT_TRUE(enabled(25545));
  info.ControlAs<QAbstractButton>(25545)->click();
  EXPECT_EQ(info.Shown(), 2);
  EXPECT_TRUE(checked(20379));  // a 24-bit sequence is true colour
  EXPECT_FALSE(checked(20380));
  EXPECT_FALSE(enabled(25545));

  WriteBld(dir_ / "one.bld", 16, 8, 3, 25.0f, false);
  MyDocManager loader;
  Resource* single = loader.LoadDocument(FileName((dir_ / "one.bld").string()));
  ASSERT_NE(single, nullptr);
  CurSeqDlg one(*single, 1, nullptr);
  EXPECT_FALSE(one.ControlAs<QAbstractButton>(25540)->isEnabled());
  EXPECT_FALSE(one.ControlAs<QAbstractButton>(25545)->isEnabled());
}

TEST_F(Documents, DockedPanelsShareTheWindow) {
  WriteBld(dir_ / "a.bld", 64, 48, 3, 25.0f, false);
  WriteBld(dir_ / "b.bld", 64, 48, 3, 25.0f, false);
  std::ofstream(dir_ / "ab.par") << "CAMERAS: 2\nCAM_1: a.bld\nCAM_2: b.bld\n";
  Resource* doc = Start(dir_ / "ab.par");
  ASSERT_NE(doc, nullptr);
  auto* window = dynamic_cast<ResourceWindow*>(doc->Window());
  ViewLayoutWindow* layout = window->Layout();
  // The object panel docks with the window; without it the views have the window alone.
  ASSERT_EQ(layout->DockedPanel(), window->ObjectPanel());
  layout->UndockWindow();
  QCoreApplication::processEvents();
  QWidget first, second;
  first.resize(120, 50);
  second.resize(120, 50);
  const int before = window->SubWindow()->width();
  layout->DockWindow(&first, 2);
  QCoreApplication::processEvents();
  const int widened = window->SubWindow()->width();
  EXPECT_EQ(widened, before + 120);
  EXPECT_EQ(first.geometry().right(), layout->width() - 1);  // at the right edge
  layout->DockWindow(&second, 0);  // a second panel: the first goes, the width stays
  QCoreApplication::processEvents();
  EXPECT_FALSE(first.isVisible());
  EXPECT_EQ(window->SubWindow()->width(), widened);
  layout->ToggleDockMode();
  QCoreApplication::processEvents();
  EXPECT_EQ(second.geometry().left(), 0);
  auto* view = qobject_cast<QWidget*>(doc->Sequence(0)->view.data());
  EXPECT_GE(view->geometry().left(), second.geometry().right());
  layout->UndockWindow();
  QCoreApplication::processEvents();
  EXPECT_EQ(window->SubWindow()->width(), before);
  second.setParent(nullptr);
  first.setParent(nullptr);
}

// An H.264 video with B-frames opens from the program and plays; stepping backwards shows exactly
// the pictures seen forwards.
TEST_F(Documents, VideoStepsBackThroughTheFramesSeenForwards) {
  const fs::path clip = dir_ / "clip.avi";
  const std::string make =
      "ffmpeg -loglevel error -y -f lavfi -i testsrc=size=64x48:rate=25 "
      "-frames:v 24 -c:v libx264 -bf 2 -g 8 -pix_fmt yuv420p '" +
      clip.string() + "' 2>/dev/null";
  if (std::system(make.c_str()) != 0 || !fs::exists(clip)) GTEST_SKIP() << "no ffmpeg with x264";
  app_->InitInstance();
  SetAviPropertiesRunner(nullptr);  // keep the properties as the file gives them
  Resource* doc = app_->DocManager()->LoadDocument(FileName(clip.string()));
  ASSERT_NE(doc, nullptr) << (messages_.shown.empty() ? "" : messages_.shown[0].text);
  ASSERT_EQ(doc->MinFrameCount(), 24);
  auto* view = qobject_cast<BildView*>(doc->Sequence(0)->view.data());
  ASSERT_NE(view, nullptr);
  auto picture = [&] {
    const CDIB& image = view->DisplayFrame().Image();
    return std::vector<std::uint8_t>(image.Bits(), image.Bits() + image.ImageSize());
  };
  std::vector<std::vector<std::uint8_t>> forwards{picture()};
  for (int k = 2; k <= 24; ++k) {
    Command(25003);
    ASSERT_EQ(doc->CurrentFrame(), k);
    forwards.push_back(picture());
  }
  EXPECT_NE(forwards[0], forwards[1]);  // the pictures move
  for (int k = 23; k >= 1; --k) {
    Command(25004);
    ASSERT_EQ(doc->CurrentFrame(), k);
    EXPECT_EQ(picture(), forwards[k - 1]) << "frame " << k;
  }
  ASSERT_TRUE(Command(25001));
  for (int i = 0; i < 30; ++i) app_->DocManager()->IdlePlay();
  EXPECT_EQ(doc->CurrentFrame(), 7);  // 30 steps from frame 1 wrap once through 24 frames
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(Documents, BrokenListOpensNothing) {
  std::ofstream(dir_ / "bad.rsc") << "SEQUENCES: 2\nSEQUENCE_1: missing.bld\n";
  EXPECT_EQ(Start(dir_ / "bad.rsc"), nullptr);
  EXPECT_EQ(g_ResourceList.Next(nullptr), nullptr);
  ASSERT_FALSE(messages_.shown.empty());
  EXPECT_EQ(messages_.shown[0].caption, "Error in the resource file");
}

TEST_F(Documents, OpenDialogShowsEverySupportedFileFromHomeThenTheLastFolder) {
  fs::create_directories(dir_ / "home");
  fs::create_directories(dir_ / "takes");
  WriteBld(dir_ / "takes" / "jump.bld", 16, 16, 2, 25.0f, false);
  const char* oldHome = std::getenv("HOME");
  const std::string keptHome = oldHome ? oldHome : "";
  setenv("HOME", (dir_ / "home").c_str(), 1);
  // The settings name the program's own folder after the first run: no recordings live there.
  profile_->WriteString(key::kSection, key::kInitialPath, SettingsFolder());
  app_->InitInstance();
  platform::ScriptedChoosers choosers;
  choosers.fileAnswers = {QString::fromStdString((dir_ / "takes" / "jump.bld").string()),
                          std::nullopt};
  ASSERT_TRUE(Command(24332));
  ASSERT_TRUE(Command(24332));
  setenv("HOME", keptHome.c_str(), 1);
  ASSERT_EQ(choosers.asked.size(), 2u);
  EXPECT_EQ(choosers.asked[0].start.toStdString(), (dir_ / "home").string());
  EXPECT_EQ(choosers.asked[0].filterIndex, 0);
  const QStringList filters = choosers.asked[0].filter.split(";;");
  EXPECT_TRUE(filters[0].startsWith("All Supported Media Files (")) << filters[0].toStdString();
  for (const char* pattern : {"*.avi", "*.bld", "*.par", "*.rsc", "*.mp*"})
    EXPECT_TRUE(filters[0].contains(pattern)) << pattern;
  for (const QString& filter : filters)
    for (const char* windowsOnly : {"DirectShow", "VfW", "*.avs"})
      EXPECT_FALSE(filter.contains(windowsOnly)) << filter.toStdString();
  EXPECT_NE(app_->GetActiveDocument(), nullptr);
  EXPECT_TRUE(fs::equivalent(choosers.asked[1].start.toStdString(), dir_ / "takes"))
      << choosers.asked[1].start.toStdString();
}

TEST_F(Documents, NewWindowsOpenWhollyInsideTheClientArea) {
  WriteBld(dir_ / "wide.bld", 1280, 720, 1, 25.0f, false);
  WriteBld(dir_ / "small.bld", 320, 240, 1, 25.0f, false);
  ASSERT_NE(Start(dir_ / "small.bld"), nullptr);
  app_->MainWindow()->showNormal();
  app_->MainWindow()->resize(1000, 700);
  QCoreApplication::processEvents();
  for (const char* name : {"small.bld", "wide.bld", "small.bld", "wide.bld"})
    ASSERT_NE(app_->DocManager()->LoadDocument(FileName((dir_ / name).string())), nullptr);
  const QRect area = app_->MDIClient()->viewport()->rect();
  for (QMdiSubWindow* w : app_->MDIClient()->subWindowList())
    EXPECT_TRUE(area.contains(w->geometry()))
        << w->geometry().x() << "," << w->geometry().y() << " " << w->width() << "x" << w->height();
}

TEST_F(Documents, ClosingTheLastDocumentClearsTheFrameDisplay) {
  WriteBld(dir_ / "a.bld", 16, 16, 120, 25.0f, false);
  WriteBld(dir_ / "b.bld", 16, 16, 120, 25.0f, false);
  Resource* a = Start(dir_ / "a.bld");
  ASSERT_NE(a, nullptr);
  ASSERT_NE(app_->DocManager()->LoadDocument(FileName((dir_ / "b.bld").string())), nullptr);
  Command(25005);
  app_->SetStatusText2("Pos: 3.000/4.000 pixel");
  QMdiSubWindow* last = app_->MDIClient()->activeSubWindow();
  for (QMdiSubWindow* w : app_->MDIClient()->subWindowList())
    if (w != last) w->close();
  QTest::qWait(10);
  EXPECT_FALSE(FrameField().isEmpty());  // a document is left: its frame stays shown
  last->close();
  QTest::qWait(10);
  EXPECT_EQ(FrameField(), "");
  EXPECT_EQ(app_->StatusGadget(ids::kStatusFrame)->text(), "");
  EXPECT_EQ(app_->StatusGadget(ids::kStatusText2)->text(), "");
  EXPECT_EQ(app_->FrameSlider()->maximum(), 0);
}

TEST_F(Documents, OpenDialogIsLargeEnoughToReadItsColumns) {
  app_->InitInstance();
  WriteBld(dir_ / "left-camera-take-03.bld", 16, 16, 2, 25.0f, false);
  platform::FileChoice choice{"Open image sequence",
                              platform::QtFileFilter(platform::LoadString(32503)),
                              QString::fromStdString(dir_.string()), "BLD", 0};
  auto dialog = platform::MakeFileDialog(app_->MainWindow(), choice, QFileDialog::AcceptOpen);
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->show();
  QTest::qWait(200);  // the folder is listed in the background
  auto* list = dialog->findChild<QTreeView*>();
  ASSERT_NE(list, nullptr);
  ASSERT_TRUE(list->isVisible());
  // Every column is at least as wide as its caption and its widest entry.
  QHeaderView* header = list->header();
  auto* view = static_cast<QAbstractItemView*>(list);  // its column hints are public there
  for (int c = 0; c < header->count(); ++c) {
    if (header->isSectionHidden(c)) continue;
    EXPECT_GE(header->sectionSize(c), view->sizeHintForColumn(c)) << c;
  }
  dialog->grab().save(QString(ZORVAT_BUILD_DIR) + "/open_dialog.png");
}

// Two documents of one video: the second's save asks before it replaces the objects the first
// saved, and once it has, closing the first asks, since the first's work is no longer on disk.
TEST_F(Documents, TwoDocumentsOfOneVideoAskBeforeTheFirstsSavedObjectsAreLost) {
  WriteBld(dir_ / "walk.bld", 16, 16, 10, 25.0f, false);
  const std::string os = (dir_ / "walk.OS").string();
  const auto bytes = [&os] {
    std::string b;
    platform::ReadWholeFile(os, b);
    return b;
  };
  const auto track = [](Resource& doc, std::initializer_list<int> frames) {
    ResObjectSequence* s = objcmd::NewObjectSequence(doc);
    ASSERT_NE(s, nullptr);
    for (int frame : frames)
      objdoc::SubsOf(*doc.Sequence(0)).Find(s->number)->AddPoint(frame, 3, 4);
  };
  Resource* first = Start(dir_ / "walk.bld");
  ASSERT_NE(first, nullptr);
  QMdiSubWindow* firstWindow = app_->MDIClient()->activeSubWindow();
  track(*first, {1, 2, 3});
  ASSERT_TRUE(objcmd::Save(*first));
  const std::string firsts = bytes();
  Resource* second = app_->DocManager()->LoadDocument(FileName((dir_ / "walk.bld").string()));
  ASSERT_NE(second, nullptr);
  ASSERT_EQ(messages_.shown.size(), 1u);  // the video is open in another document already
  messages_.shown.clear();
  track(*second, {5});

  // Cancel writes nothing; Yes replaces.
  messages_.answers = {platform::kIdCancel};
  EXPECT_FALSE(objcmd::Save(*second));
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].caption, "Replace object-sequence files");
  EXPECT_THAT(messages_.shown[0].text,
              testing::HasSubstr(os + "\n    not loaded by this document; written "));
  EXPECT_THAT(messages_.shown[0].text, testing::HasSubstr("objects: 1, points: 3."));
  EXPECT_EQ(bytes(), firsts);
  messages_.answers = {platform::kIdYes};
  ASSERT_TRUE(objcmd::Save(*second));
  const std::string seconds = bytes();
  EXPECT_NE(seconds, firsts);

  // Closing the first: asked, and Cancel keeps it open; Yes to saving still asks before it
  // replaces the second's objects, and Cancel there writes nothing and keeps it open too.
  const auto closeFirst = [&](std::deque<int> answers) {
    messages_.shown.clear();
    messages_.answers = std::move(answers);
    app_->MDIClient()->setActiveSubWindow(firstWindow);
    ASSERT_EQ(app_->GetActiveDocument(), first);
    Command(24339);
    QCoreApplication::processEvents();
  };
  const std::string closing = "\nThe object sequences of " + first->Caption() +
                              " were saved in files that were replaced or removed since:\n" + os +
                              "\n";
  closeFirst({platform::kIdCancel});
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].caption, "Unsaved object sequence");
  EXPECT_THAT(messages_.shown[0].text, testing::StartsWith(closing));
  EXPECT_EQ(app_->MDIClient()->subWindowList().size(), 2);

  closeFirst({platform::kIdYes, platform::kIdCancel});
  ASSERT_EQ(messages_.shown.size(), 2u);
  EXPECT_THAT(messages_.shown[1].text,
              testing::HasSubstr(os + "\n    changed since this document read or wrote it; "));
  EXPECT_THAT(messages_.shown[1].text, testing::HasSubstr("objects: 1, points: 1."));
  EXPECT_EQ(app_->MDIClient()->subWindowList().size(), 2);
  EXPECT_EQ(bytes(), seconds);

  // No closes it and leaves the second's file as it is.
  closeFirst({platform::kIdNo});
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_THAT(messages_.shown[0].text, testing::StartsWith(closing));
  EXPECT_EQ(app_->MDIClient()->subWindowList().size(), 1);
  EXPECT_EQ(bytes(), seconds);
}

}  // namespace
