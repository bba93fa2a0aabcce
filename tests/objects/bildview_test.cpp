// The image view: zoom steps, scroll ranges, display options, the line-of-sight test, and
// setting, moving and deleting points, freely and by calibration, in the logic and the window.

#include "objects/ui/bildview.h"

#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <cmath>

#include "base/defaults.h"
#include "calibration/camera.h"
#include "clip_video.h"
#include "common/test_document.h"
#include "objects/docaccess.h"
#include "objects/objcommands.h"
#include "objects/resobjseq.h"
#include "objects/subobjseq.h"
#include "objects/viewmsgs.h"
#include "objects_test_util.h"
#include "platform/busy.h"
#include "platform/message_service.h"
#include "sequences/frame.h"
#include "sequences/sequences_ids.h"
#include "sequences/ui/filterdlg.h"
#include "sequences/ui/gammadlg.h"

namespace {

TEST(ViewZoom, StepsFollowTheTable) {
  struct Case {
    double zx, zy;
    bool inChanges;
    double in;
    bool outChanges;
    double out;
  } cases[] = {
      {32, 32, false, 0, true, 16},          // at the top nothing more
      {0.125, 0.125, true, 0.25, false, 0},  // at the bottom nothing less
      {0.5, 0.8, true, 1, true, 0.25},       // unequal factors become one table value
      {2.5, 2.5, true, 3, true, 2},
  };
  for (const Case& c : cases) {
    double z = -1;
    EXPECT_EQ(view::ZoomInStep(c.zx, c.zy, z), c.inChanges) << c.zx;
    if (c.inChanges) {
      EXPECT_EQ(z, c.in);
    }
    EXPECT_EQ(view::ZoomOutStep(c.zx, c.zy, z), c.outChanges) << c.zx;
    if (c.outChanges) {
      EXPECT_EQ(z, c.out);
    }
  }
  EXPECT_FALSE(view::CanZoomIn(false, 32, 32));
  EXPECT_FALSE(view::CanZoomOut(false, 0.125, 0.125));
  EXPECT_FALSE(view::CanZoomIn(true, 1, 1));  // fit on: only the fit toggle works
  EXPECT_EQ(view::FitOffZoom(40, 40), 32);    // a small frame fitted into a large window
  EXPECT_EQ(view::FitOffZoom(1.7, 0.9), 2);
}

TEST(ViewZoom, ScrollRangesMakeRoomForTheBars) {
  // Image 100 x 100 at zoom 2 in a 150 x 250 client: only a horizontal range, which takes the
  // bar's height off the client and so needs no vertical one.
  EXPECT_EQ(view::ScrollRanges(100, 100, 2, 2, 150, 250, false, false, 16, 16), std::pair(50, 0));
  // In a 150 x 190 client the horizontal bar makes the height too small: both get ranges.
  EXPECT_EQ(view::ScrollRanges(100, 100, 2, 2, 150, 190, false, false, 16, 16), std::pair(66, 26));
  EXPECT_EQ(view::ScrollRanges(100, 100, 1, 1, 300, 300, false, false, 16, 16), std::pair(0, 0));
}

TEST(ViewDisplay, OptionsAndTheirChecks) {
  unsigned f = view::kInitialDisplayFlags;
  f = view::ApplyDisplayCommand(f, view::kConnectionsAndAngles);
  EXPECT_EQ(f & 0x30, 0x30u);  // angles bring connections
  f = view::ApplyDisplayCommand(f, view::kConnections);
  EXPECT_EQ(f & 0x30, 0u);  // no connections, no angles
  f = view::ApplyDisplayCommand(f, view::kObjectsAllFrames);
  EXPECT_TRUE(view::DisplayChecked(f, view::kObjectsAllFrames));
  EXPECT_FALSE(view::DisplayChecked(f, view::kOnlyActualObjects));
  f = view::ApplyDisplayCommand(f | 0x80, view::kOnlyActualObjects);
  EXPECT_EQ(f, 0x42u);
  EXPECT_TRUE(view::DisplayChecked(f, view::kOnlyActualObjects));
}

TEST(ViewLineOfSight, AnyLineThroughTheImageCrossesIt) {
  // A wide, low frame: the 45-degree line through its centre crosses it, although none of the
  // corners' projections onto the line falls inside the frame.
  const std::vector<std::pair<double, double>> wide = {{0, 0}, {1000, 0}, {1000, 10}, {0, 10}};
  const double d = std::sqrt(0.5);
  EXPECT_TRUE(view::LineCrossesPolygon(wide, 500, 5, d, d));
  EXPECT_TRUE(view::LineCrossesPolygon(wide, 0, 20, 1, 0) == false);
  EXPECT_TRUE(view::LineCrossesPolygon(wide, 1000, -30, 0, 1));  // along the right edge
  EXPECT_FALSE(view::LineCrossesPolygon(wide, 1100, 0, d, d));
}

struct Setting : ::testing::Test {
  void SetUp() override { g_Defaults = &defaults; }
  void TearDown() override { g_Defaults = nullptr; }
  TestVideo* AddVideo(const std::string& name) {
    auto* v = new TestVideo(dir.File(name), 640, 480, 20);
    doc.AddFrameSequence(v);
    return v;
  }
  SubObjectSequence* Sub(FrameSequence* v, const ResObjectSequence* s) {
    return objdoc::SubsOf(*v).Find(s->number);
  }
  DefaultValueStruct defaults;
  TempDir dir{"setting"};
  TestDocument doc{FileName(dir.File("project.rsc"))};
  platform::RecordingMessageService messages;
  view::SetState state;
};

TEST_F(Setting, ThePointLeavesWhileItIsDraggedAndLandsWhereReleased) {
  TestVideo* v = AddVideo("a.avi");
  ResObjectSequence* s = objcmd::NewObjectSequence(doc);
  Sub(v, s)->AddPoint(1, 10, 10);
  ASSERT_EQ(view::StartSetting(doc, *v, state, false), view::StartResult::kDragging);
  EXPECT_EQ(Sub(v, s)->ItemAt(1), nullptr);
  ASSERT_TRUE(state.saved);
  EXPECT_FALSE(view::FinishSetting(doc, *v, state, -0.5f, 100));  // outside: setting goes on
  EXPECT_TRUE(state.setting);
  EXPECT_TRUE(view::FinishSetting(doc, *v, state, 640, 480));  // the far edges are inside
  EXPECT_FALSE(state.setting);
  EXPECT_EQ(Sub(v, s)->ItemAt(1)->x, 640);
  EXPECT_TRUE(s->placed);
  // The world point of a one-camera document follows.
  EXPECT_NE(s->ItemAt(1), nullptr);

  // Esc while setting: the point comes back, then Esc deletes it.
  ASSERT_EQ(view::StartSetting(doc, *v, state, false), view::StartResult::kDragging);
  view::Cancel(doc, *v, state);
  EXPECT_EQ(Sub(v, s)->ItemAt(1), nullptr);
  EXPECT_EQ(s->ItemAt(1), nullptr);
  // A placed sequence stays when Esc finds no point.
  view::Cancel(doc, *v, state);
  EXPECT_EQ(doc.ObjectSequences()->Find(s->number, seqmask::kAll), s);
}

TEST_F(Setting, EscDropsOnlyANewSequenceThatNeverHadAPoint) {
  TestVideo* v = AddVideo("a.avi");
  // As loading or importing makes them: not new in this session; one of them without points.
  ResObjectSequence* loaded = doc.ObjectSequences()->NewSequence(seqflag::kNewSequence);
  ResObjectSequence* loadedWithPoints = doc.ObjectSequences()->NewSequence(seqflag::kNewSequence);
  Sub(v, loadedWithPoints)->AddPoint(7, 5, 5);
  for (ResObjectSequence* s : {loaded, loadedWithPoints}) {
    s->MakeCurrent();
    view::Cancel(doc, *v, state);
    EXPECT_EQ(doc.ObjectSequences()->Find(s->number, seqmask::kAll), s);
  }
  ResObjectSequence* fresh = objcmd::NewObjectSequence(doc);
  const int number = fresh->number;
  view::Cancel(doc, *v, state);
  EXPECT_EQ(doc.ObjectSequences()->Find(number, seqmask::kAll), nullptr);
  EXPECT_EQ(objdoc::SubsOf(*v).Find(number), nullptr);
}

std::pair<float, float> ImageOf(const TestVideo& v, const double w[3]) {
  double x, y;
  EXPECT_TRUE(WorldToImageCoord(w[0], w[1], w[2], v.camera, v.result, x, y));
  return {static_cast<float>(x), static_cast<float>(y)};
}

TEST_F(Setting, SmartPositionUsesTheWorldPointOrTheLineOfSight) {
  TestVideo* a = AddVideo("a.avi");
  TestVideo* b = AddVideo("b.avi");
  TestVideo* c = AddVideo("c.avi");
  Calibrate(*a, 0, 0, 0, 0, 0, 1000);
  Calibrate(*b, 0, 0.6, 0.1, 20, 0, 1100);
  Calibrate(*c, -0.4, 0, 0, 10, -20, 1200);
  ResObjectSequence* s = objcmd::NewObjectSequence(doc);
  const double w[3] = {30, -20, 40};
  for (TestVideo* v : {b, c}) {
    auto [x, y] = ImageOf(*v, w);
    Sub(v, s)->AddPoint(1, x, y);
  }
  // Two cameras see it: its world point places it in a at once.
  EXPECT_EQ(view::StartSetting(doc, *a, state, true), view::StartResult::kPlaced);
  auto [ax, ay] = ImageOf(*a, w);
  EXPECT_NEAR(Sub(a, s)->ItemAt(1)->x, ax, 0.01);
  EXPECT_NEAR(Sub(a, s)->ItemAt(1)->y, ay, 0.01);
  EXPECT_FALSE(state.setting);

  // Without smart positioning the drag is free.
  EXPECT_EQ(view::StartSetting(doc, *a, state, false), view::StartResult::kDragging);
  EXPECT_EQ(state.mode, view::kFree);
  view::Cancel(doc, *a, state);

  // Only b sees it: the drag in a is held on b's line of sight.
  Sub(c, s)->RemoveObject(1);
  ASSERT_EQ(view::StartSetting(doc, *a, state, true), view::StartResult::kDragging);
  EXPECT_EQ(state.mode, view::kLineOfSight);
  ASSERT_TRUE(view::FinishSetting(doc, *a, state, ax + 30, ay - 40));
  doc.RecalcObjectSequences(1);
  const ObjectBase* world = s->ItemAt(1);
  ASSERT_NE(world, nullptr);
  const double placed[3] = {world->x, world->y, world->z};
  auto [bx, by] = ImageOf(*b, placed);
  EXPECT_NEAR(bx, Sub(b, s)->ItemAt(1)->x, 0.05);
  EXPECT_NEAR(by, Sub(b, s)->ItemAt(1)->y, 0.05);
}

TEST_F(Setting, AFailedSmartPlacementRestoresThePointAndItsWorldPoint) {
  TestVideo* a = AddVideo("a.avi");
  TestVideo* b = AddVideo("b.avi");
  TestVideo* c = AddVideo("c.avi");
  Calibrate(*a, 0, 0, 0, 0, 0, 1000);
  Calibrate(*b, 0, 0.6, 0.1, 20, 0, 1100);
  Calibrate(*c, -0.4, 0, 0, 10, -20, 1200);
  ResObjectSequence* s = objcmd::NewObjectSequence(doc);
  // b and c see a point far outside a's view; a holds a point of its own.
  const double far[3] = {900, 0, 0};
  for (TestVideo* v : {b, c}) {
    auto [x, y] = ImageOf(*v, far);
    Sub(v, s)->AddPoint(1, x, y);
  }
  Sub(a, s)->AddPoint(1, 100, 100);
  doc.RecalcObjectSequences(1);
  const ObjectBase before = *s->ItemAt(1);
  EXPECT_EQ(view::StartSetting(doc, *a, state, true), view::StartResult::kMissesImage);
  EXPECT_EQ(Sub(a, s)->ItemAt(1)->x, 100);
  ASSERT_NE(s->ItemAt(1), nullptr);
  EXPECT_FLOAT_EQ(s->ItemAt(1)->x, before.x);  // with a's point, not b's and c's alone
  EXPECT_FLOAT_EQ(s->ItemAt(1)->z, before.z);
  EXPECT_GT(std::fabs(s->ItemAt(1)->x - far[0]), 1);
}

// The bytes of frame as a display frame of video shows them with filter.
std::vector<std::uint8_t> Filtered(FrameSequence& video, const CDIB& frame, int filter) {
  Frame reference(&video);
  reference.SetupImage();
  reference.Image().filterId = filter;
  const CDIB& image = *reference.PrepareImage(&frame);
  return std::vector<std::uint8_t>(image.Bits(), image.Bits() + image.ImageSize());
}

// The filter dialog the view shows beside itself, or null.
FilterDlg* OpenFilterDialog(BildView& view) {
  for (auto* dialog : view.findChildren<FilterDlg*>())
    if (dialog->isVisible()) return dialog;
  return nullptr;
}

struct ViewWindow : ::testing::Test {
  void SetUp() override { g_Defaults = &defaults; }
  void TearDown() override { g_Defaults = nullptr; }
  ClipVideo* Clip() {
    synth::Scene scene;
    scene.bodies = {{synth::Kind::kTexture, 12, 11}};
    auto* v = new ClipVideo(dir.File("clip.avi"), scene, 10, false, {{100, 100}});
    doc.AddFrameSequence(v);
    return v;
  }
  DefaultValueStruct defaults;
  TempDir dir{"viewwindow"};
  TestDocument doc{FileName(dir.File("project.rsc"))};
  platform::RecordingMessageService messages;
};

TEST_F(ViewWindow, ZoomCommandsAndTheFrameShown) {
  ClipVideo* v = Clip();
  BildView view(*v, nullptr);
  view.resize(200, 150);
  view.show();
  ASSERT_TRUE(view.ShowFrame(3));
  EXPECT_EQ(view.DisplayFrame().Image().Bits()[0], v->FrameBitmap().Bits()[0]);
  platform::CommandEnabler in(view::kZoomIn);
  view.DispatchEnabler(in);
  EXPECT_FALSE(in.enabled);  // fit is on
  EXPECT_TRUE(view.DispatchCommand(view::kToggleFit));
  EXPECT_FALSE(view.Fit());
  EXPECT_EQ(view.ZoomX(), 1);  // fit factors below 1 give way to the next table value
  EXPECT_TRUE(view.DispatchCommand(view::kZoomIn));
  EXPECT_EQ(view.ZoomX(), 2);
  EXPECT_EQ(view.ZoomY(), 2);
  EXPECT_GT(view.horizontalScrollBar()->maximum(), 0);
  // Image and client positions agree through zoom and scrolling.
  view.horizontalScrollBar()->setValue(40);
  const QPointF image = view.ClientToImage(view.ImageToClient(100, 60));
  EXPECT_NEAR(image.x(), 100, 0.5);
  EXPECT_NEAR(image.y(), 60, 0.5);
  EXPECT_TRUE(view.DispatchCommand(view::kOnlyActualObjects));
  EXPECT_EQ(view.DisplayFlags(), 0x42u);
}

TEST_F(ViewWindow, FilterDialogRebuildsTheShownFrameAtOnce) {
  ClipVideo* v = Clip();
  v->view = nullptr;
  BildView view(*v, nullptr);
  view.resize(336, 256);
  view.show();
  ASSERT_TRUE(view.ShowFrame(1));
  auto shown = [&] {
    const CDIB& image = view.DisplayFrame().Image();
    return std::vector<std::uint8_t>(image.Bits(), image.Bits() + image.ImageSize());
  };
  auto filtered = [&](int filter) { return Filtered(*v, v->FrameBitmap(), filter); };
  const std::vector<std::uint8_t> original = shown();
  ASSERT_EQ(original, filtered(seqid::kFilterOriginal));
  ASSERT_NE(filtered(seqid::kFilterSobel), original);
  const QImage before = view.viewport()->grab().toImage();

  // Chooses a filter by clicking its button, then OK; returns the picture right after the click.
  auto choose = [&](int filter) {
    std::vector<std::uint8_t> afterClick;
    EXPECT_TRUE(view.DispatchCommand(view::kFilter));
    auto* dialog = OpenFilterDialog(view);
    if (!dialog) return afterClick;
    auto* button = dialog->ControlAs<QRadioButton>(filter);
    // On the indicator: a short label leaves the middle of a wide button empty.
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    afterClick = shown();
    QTest::mouseClick(dialog->findChild<QPushButton*>("1"), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return afterClick;
  };
  EXPECT_EQ(choose(seqid::kFilterSobel), filtered(seqid::kFilterSobel));
  EXPECT_EQ(shown(), filtered(seqid::kFilterSobel));
  EXPECT_EQ(doc.CurrentFrame(), 1);  // no frame step in between
  const QImage sobel = view.viewport()->grab().toImage();
  EXPECT_NE(sobel, before);
  EXPECT_TRUE(sobel.save(ZORVAT_BUILD_DIR "/view_filter_sobel.png"));
  EXPECT_EQ(choose(seqid::kFilterOriginal), original);
  EXPECT_EQ(shown(), original);
  EXPECT_EQ(view.viewport()->grab().toImage(), before);
}

// A frame the video cannot give without waiting (its frames still being counted) does not hold
// the program: the view shows a note and takes no points, and shows the frame once it is ready.
TEST_F(ViewWindow, AFrameNotReadyYetIsShownOnceItIs) {
  ClipVideo* v = Clip();
  BildView view(*v, nullptr);
  v->view = &view;
  view.resize(336, 256);
  view.show();
  doc.EvGoToFrame(2);
  ASSERT_TRUE(view.ShowFrame(2));
  ResObjectSequence* s = objcmd::NewObjectSequence(doc);
  SubObjectSequence* sub = objdoc::SubsOf(*v).Find(s->number);
  v->readyUpTo = 4;
  v->asked.clear();

  doc.EvGoToFrame(7);
  EXPECT_EQ(view.WaitingFor(), 7);
  const QImage waiting = view.viewport()->grab().toImage();
  EXPECT_EQ(v->asked.count(7), 0u) << "the frame was read before it was ready";
  EXPECT_TRUE(waiting.save(ZORVAT_BUILD_DIR "/view_waiting_for_frame.png"));
  const QPoint middle = view.viewport()->rect().center();
  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, middle);
  EXPECT_TRUE(view.DispatchCommand(view::kSetObject));
  EXPECT_EQ(view.Pending(), view::kIdle);
  EXPECT_EQ(sub->ItemAt(7), nullptr) << "a point was set on a frame not shown";

  // Stepping on while waiting waits for the newest frame only.
  doc.EvGoToFrame(8);
  v->readyUpTo = 10;
  EXPECT_TRUE(QTest::qWaitFor([&] { return view.WaitingFor() == 0; }, 3000));
  EXPECT_EQ(v->asked.count(7), 0u);
  EXPECT_EQ(v->asked.count(8), 1u);
  EXPECT_TRUE(v->IsCurrentFrame(8));
  const QImage shown = view.viewport()->grab().toImage();
  EXPECT_NE(shown, waiting);
  EXPECT_TRUE(view.DispatchCommand(view::kSetObject));
  EXPECT_EQ(view.Pending(), view::kSetObject) << "the frame shown takes points again";
  view.DispatchCommand(view::kCancel);
}

TEST_F(ViewWindow, HoldingTheButtonMovesAnObjectAQuickClickDoesNot) {
  ClipVideo* v = Clip();
  BildView view(*v, nullptr);
  view.resize(336, 256);
  view.show();
  view.ShowFrame(1);
  ResObjectSequence* s = objcmd::NewObjectSequence(doc);
  SubObjectSequence* sub = objdoc::SubsOf(*v).Find(s->number);
  const auto start = v->Truth(1)[0];
  sub->AddPoint(1, start.first, start.second);
  QWidget* port = view.viewport();
  const QPoint on = view.ImageToClient(start.first, start.second);
  QTest::mousePress(port, Qt::LeftButton, {}, on);
  QTest::mouseRelease(port, Qt::LeftButton, {}, on + QPoint(30, 20));
  EXPECT_EQ(view.Pending(), view::kIdle);
  EXPECT_FLOAT_EQ(sub->ItemAt(1)->x, static_cast<float>(start.first));

  QTest::mousePress(port, Qt::LeftButton, {}, on);
  EXPECT_TRUE(QTest::qWaitFor([&] { return view.Pending() == view::kSetObject; }, 3000));
  EXPECT_EQ(sub->ItemAt(1), nullptr);  // out of the frame while held
  const QPoint to = on + QPoint(30, 20);
  QTest::mouseRelease(port, Qt::LeftButton, {}, to);
  EXPECT_EQ(view.Pending(), view::kIdle);
  ASSERT_NE(sub->ItemAt(1), nullptr);
  EXPECT_NEAR(sub->ItemAt(1)->x, view.ClientToImage(to).x(), 1e-3);
}

TEST_F(ViewWindow, AutoSingleStepTracksAndSetsAgainUntilTheLastFrame) {
  defaults.tracking.autoSingleStep = true;
  ClipVideo* v = Clip();
  BildView view(*v, nullptr);
  view.resize(336, 256);
  view.show();
  ResObjectSequence* s = objcmd::NewObjectSequence(doc);
  s->algorithm = algorithm::kCrossCorrelation;
  SubObjectSequence* sub = objdoc::SubsOf(*v).Find(s->number);
  const auto start = v->Truth(1)[0];
  EXPECT_TRUE(view.DispatchCommand(view::kSetObject));
  ASSERT_EQ(view.Pending(), view::kSetObject);
  QTest::mouseRelease(view.viewport(), Qt::LeftButton, {},
                      view.ImageToClient(start.first, start.second));
  EXPECT_EQ(doc.CurrentFrame(), 2);
  // The tracking step's point is out of the sequence again: setting started on frame 2.
  EXPECT_EQ(view.Pending(), view::kSetObject);
  EXPECT_EQ(sub->ItemAt(2), nullptr);
  ASSERT_TRUE(view.Setting().saved);
  EXPECT_EQ(view.Setting().saved->frame, 2u);
  // It moved with the object from where the click placed it.
  ASSERT_NE(sub->ItemAt(1), nullptr);
  EXPECT_NEAR(view.Setting().saved->x - sub->ItemAt(1)->x,
              v->Truth(2)[0].first - v->Truth(1)[0].first, 0.1);
  doc.EvGoToFrame(10);
  view.DispatchCommand(view::kCancel);
  view.DispatchCommand(view::kSetObject);
  QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, QPoint(50, 50));
  EXPECT_EQ(doc.CurrentFrame(), 10);
  EXPECT_EQ(view.Pending(), view::kIdle);  // the last frame: no new setting
}

}  // namespace

namespace {

TEST_F(Setting, ObjectSequenceCommandsNewDeleteUndeleteSaveAndLoad) {
  EXPECT_FALSE(objcmd::CanNewObjectSequence(doc));  // no video to set it in
  TestVideo* v = AddVideo("a.avi");
  EXPECT_FALSE(objcmd::CanSave(doc));
  EXPECT_FALSE(objcmd::CanLoad(doc));
  ResObjectSequence* s = objcmd::NewObjectSequence(doc);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->flags, seqflag::kNewSequence);
  Sub(v, s)->AddPoint(2, 12.5f, 7.25f);

  EXPECT_TRUE(objcmd::CanDeleteObjectSequence(doc));
  EXPECT_FALSE(objcmd::CanUndelete(doc));
  objcmd::DeleteObjectSequence(doc);
  EXPECT_TRUE(s->IsDeleted());
  EXPECT_FALSE(objcmd::CanDeleteObjectSequence(doc));  // no current sequence left
  EXPECT_FALSE(objcmd::CanSave(doc));
  ASSERT_TRUE(objcmd::CanUndelete(doc));
  objcmd::Undelete(doc);
  EXPECT_FALSE(s->IsDeleted());

  ASSERT_TRUE(objcmd::Save(doc));
  EXPECT_TRUE(objcmd::CanLoad(doc));
  Sub(v, s)->AddPoint(3, 1, 1);
  ASSERT_TRUE(objcmd::SaveAsNew(doc));  // beside version 0 as version 1
  EXPECT_EQ(doc.ObjectSequences()->selectedVersion, 1);
  EXPECT_EQ(objdoc::SubsOf(*v).HighestVersion(), 1);

  // Unsaved changes and the document keeps them (the user cancelled its question): nothing is
  // loaded.
  Sub(v, s)->AddPoint(4, 2, 2);
  doc.objectSequencesMayGo = false;
  EXPECT_FALSE(objcmd::Load(doc));
  EXPECT_NE(Sub(v, s)->ItemAt(4), nullptr);
  // Without saving: version 1 comes back (the version dialog picks the highest by default).
  doc.objectSequencesMayGo = true;
  ASSERT_TRUE(objcmd::Load(doc));
  ASSERT_EQ(doc.ObjectSequences()->Count(), 1);
  ResObjectSequence* loaded = doc.ObjectSequences()->Sequences().front().get();
  SubObjectSequence* sub = Sub(v, loaded);
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(sub->ItemAt(2)->x, 12.5f);
  EXPECT_NE(sub->ItemAt(3), nullptr);
  EXPECT_EQ(sub->ItemAt(4), nullptr);
  // A loaded sequence is not new: Esc never drops it, even without a point at this frame.
  EXPECT_FALSE(objcmd::MayDiscard(doc, *loaded));
}

}  // namespace

// The filter dialog stays open beside the view: the frames shown meanwhile are filtered, under
// the wait cursor, and a second command brings the same dialog forward.
TEST_F(ViewWindow, FilterDialogStaysOpenWhileTheFramesChange) {
  ClipVideo* v = Clip();
  v->view = nullptr;
  BildView view(*v, nullptr);
  view.resize(336, 256);
  view.show();
  ASSERT_TRUE(view.ShowFrame(1));
  int busy = 0, busyNow = 0;
  platform::SetBusyHandler([&](bool on) {
    busyNow += on ? 1 : -1;
    busy += on;
  });
  ASSERT_TRUE(view.DispatchCommand(view::kFilter));
  FilterDlg* dialog = OpenFilterDialog(view);
  ASSERT_NE(dialog, nullptr) << "the command returns with the dialog open";
  EXPECT_FALSE(dialog->isModal());
  dialog->ControlAs<QRadioButton>(seqid::kFilterSobel)->click();
  EXPECT_GT(busy, 0) << "the wait cursor while the filter runs";
  for (int frame : {2, 5}) {
    ASSERT_TRUE(view.ShowFrame(frame));
    const CDIB& image = view.DisplayFrame().Image();
    EXPECT_EQ(std::vector<std::uint8_t>(image.Bits(), image.Bits() + image.ImageSize()),
              Filtered(*v, *v->ReadFrame(frame, false), seqid::kFilterSobel))
        << "frame " << frame;
    EXPECT_TRUE(dialog->isVisible());
  }
  EXPECT_EQ(busyNow, 0) << "every wait cursor ended";
  ASSERT_TRUE(view.DispatchCommand(view::kFilter));
  EXPECT_EQ(OpenFilterDialog(view), dialog) << "one dialog, brought forward";
  // Cancel goes back to the picture as it was before the dialog opened.
  dialog->reject();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(OpenFilterDialog(view), nullptr);
  EXPECT_EQ(view.DisplayFrame().Image().filterId, seqid::kFilterOriginal);
  platform::SetBusyHandler(nullptr);

  // The gamma dialog opens the same way, beside the view.
  ASSERT_TRUE(view.DispatchCommand(view::kGamma));
  auto* gamma = view.findChild<GammaDialog*>();
  ASSERT_NE(gamma, nullptr);
  EXPECT_TRUE(gamma->isVisible());
  EXPECT_FALSE(gamma->isModal());
  ASSERT_TRUE(view.ShowFrame(3));
  EXPECT_TRUE(gamma->isVisible()) << "open while the frame changes";
}
