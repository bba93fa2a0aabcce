// The program opens raw camera recordings given on its command line, shows their first frame and
// plays them. Runs offscreen and on a real X display with a window manager; a picture of the
// played document is saved in the build folder.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMainWindow>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>

#include "app/mydocmanager.h"
#include "app/resource.h"
#include "app/zorvatrackapp.h"
#include "base/app_ids.h"
#include "common/program_fixture.h"
#include "objects/ui/bildview.h"
#include "platform/commands.h"
#include "platform/message_service.h"
#include "raw_files.h"
#include "sequences/framesequence.h"
#include "sequences/vrawsequence.h"

namespace {

constexpr int kWidth = 160, kHeight = 120, kFrames = 6;
constexpr int kSquare = 30, kTop = 40, kStep = 20;
constexpr int kBright = 220, kDark = 30;

// Left edge of the square in frame f.
int SquareLeft(int f) { return 10 + kStep * (f - 1); }
bool InSquare(int f, int x, int y) {
  return x >= SquareLeft(f) && x < SquareLeft(f) + kSquare && y >= kTop && y < kTop + kSquare;
}

// A ".vr2" of a red square moving right on a dark ground: inside the square only the red
// samples of the mosaic are bright.
std::string Vr2Recording() {
  rawtest::Vr2 v;
  v.width = kWidth;
  v.height = kHeight;
  v.frames = kFrames;
  std::string file = rawtest::Vr2Head(v);
  for (int f = 1; f <= kFrames; ++f)
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const bool redSite = y % 2 == 0 && x % 2 == 0;
        file += static_cast<char>(InSquare(f, x, y) && redSite ? kBright : kDark);
      }
  return file;
}

// A grey ".vraw" of a bright square moving right; each stored line is two picture lines.
std::string VrawRecording() {
  rawtest::Vraw v;
  v.width = kWidth;
  v.lines = kHeight / 2;
  v.frames = kFrames;
  std::string file = rawtest::VrawHeader(v);
  for (int f = 1; f <= kFrames; ++f)
    for (int s = 0; s < kHeight / 2; ++s)
      for (int x = 0; x < kWidth; ++x)
        file += static_cast<char>(InSquare(f, x, 2 * s) ? kBright : kDark);
  return file;
}

class RawOnDisplay : public ProgramTest {
 protected:
  // Starts the program as "zorvat file" does and returns its document.
  Resource* Start(const std::string& name, const std::string& bytes) {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    app_->SetPendingFileName(path);
    app_->InitInstance();
    app_->MainWindow()->resize(900, 700);
    QMainWindow* main = app_->MainWindow();
    main->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(main));
    Resource* doc = app_->GetActiveDocument();
    if (doc) QTest::qWait(50);
    return doc;
  }
  BildView* View(Resource* doc) { return qobject_cast<BildView*>(doc->Sequence(0)->view.data()); }

  // The shown picture's colour at the middle of the square of frame f.
  QColor ShownSquare(Resource* doc, int f) {
    const CDIB& dib = View(doc)->DisplayFrame().Image();
    const int x = SquareLeft(f) + kSquare / 2, y = kTop + kSquare / 2;
    const std::uint8_t* p =
        dib.Bits() + static_cast<std::size_t>(dib.Height() - 1 - y) * dib.RowBytes();
    if (dib.BitCount() == 8) return QColor(p[x], p[x], p[x]);
    return QColor(p[3 * x + 2], p[3 * x + 1], p[3 * x]);
  }

  // Plays until playback came round to the start again; the frames shown on the way.
  std::set<int> Play(Resource* doc) {
    std::set<int> seen;
    // The toolbar's Play button, clicked as a user does: the click also wakes the idle
    // processing that playback runs on.
    app_->Actions().UpdateAll();
    auto* play = app_->Toolbar()->findChild<QWidget*>(QString::number(cmd::kPlay));
    EXPECT_NE(play, nullptr);
    if (!play) return seen;
    QTest::mouseClick(play, Qt::LeftButton);
    QElapsedTimer clock;
    clock.start();
    bool wrapped = false;
    int last = doc->CurrentFrame();
    while (!wrapped && clock.elapsed() < 5000) {
      QCoreApplication::processEvents();
      seen.insert(doc->CurrentFrame());
      wrapped = doc->CurrentFrame() < last;
      last = doc->CurrentFrame();
    }
    platform::RouteCommand(app_->Chain(), cmd::kStop);
    return seen;
  }

  void SavePicture(const char* name) {
    QCoreApplication::processEvents();
    EXPECT_TRUE(app_->MainWindow()->grab().toImage().save(QString(ZORVAT_BUILD_DIR "/") + name));
  }

  platform::RecordingMessageService messages_;
};

TEST_F(RawOnDisplay, Vr2FromTheCommandLineShowsAndPlaysInColour) {
  Resource* doc = Start("square.vr2", Vr2Recording());
  ASSERT_NE(doc, nullptr) << (messages_.shown.empty() ? "" : messages_.shown[0].text);
  ASSERT_EQ(doc->MinFrameCount(), kFrames);
  EXPECT_EQ(doc->CurrentFrame(), 1);
  QColor c = ShownSquare(doc, 1);
  EXPECT_GT(c.red(), 150) << c.name().toStdString();
  EXPECT_LT(c.green(), 60) << c.name().toStdString();
  // Playback may step more than one frame an idle pass, but passes through the recording.
  EXPECT_GE(Play(doc).size(), static_cast<std::size_t>(kFrames / 2));
  const int f = doc->CurrentFrame();
  c = ShownSquare(doc, f);
  EXPECT_GT(c.red(), 150) << "frame " << f;
  SavePicture("raw_vr2_played.png");
}

TEST_F(RawOnDisplay, VrawFromTheCommandLineShowsAndPlays) {
  Resource* doc = Start("square.vraw", VrawRecording());
  ASSERT_NE(doc, nullptr) << (messages_.shown.empty() ? "" : messages_.shown[0].text);
  ASSERT_EQ(doc->MinFrameCount(), kFrames);
  EXPECT_GT(ShownSquare(doc, 1).value(), 150);
  EXPECT_GE(Play(doc).size(), static_cast<std::size_t>(kFrames / 2));
  EXPECT_GT(ShownSquare(doc, doc->CurrentFrame()).value(), 150);
  SavePicture("raw_vraw_played.png");
}

// A document file naming a ".vraw" opens it with the raw reader.
TEST_F(RawOnDisplay, DocumentFilesOpenVrawRecordings) {
  std::ofstream(dir_ / "square.vraw", std::ios::binary) << VrawRecording();
  std::ofstream(dir_ / "walk.rsc") << "SEQUENCES:1\nSEQUENCE_1:square.vraw\n";
  app_->InitInstance();
  Resource* doc = app_->DocManager()->LoadDocument(FileName((dir_ / "walk.rsc").string()));
  ASSERT_NE(doc, nullptr) << (messages_.shown.empty() ? "" : messages_.shown[0].text);
  ASSERT_NE(dynamic_cast<VrawFrameSequence*>(doc->Sequence(0)), nullptr);
  EXPECT_EQ(doc->MinFrameCount(), kFrames);
  EXPECT_EQ(doc->Sequence(0)->Height(), kHeight);
}
}  // namespace
