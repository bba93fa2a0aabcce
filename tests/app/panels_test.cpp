// The panels beside a document's views on the road a user takes: three objects set on a video,
// the object panel showing the current one, the connection panel joining them by dragging in
// the view, keeping the angle between the two connections and reading its value, then saving,
// reopening and finding connections and angle again. Pictures of both panels go into the build
// folder.

#include <QCheckBox>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>

#include "app/mydocmanager.h"
#include "app/resource.h"
#include "app/ui/resourcewindow.h"
#include "app/ui/viewlayoutwindow.h"
#include "common/program_fixture.h"
#include "common/temp_dir.h"
#include "fake_sequence.h"
#include "objects/docaccess.h"
#include "objects/objeditstate.h"
#include "objects/resobjseq.h"
#include "objects/stickfigure.h"
#include "objects/subobjseq.h"
#include "objects/ui/bildview.h"
#include "objects/ui/connectdlg.h"
#include "objects/ui/editobjseqdlg.h"
#include "objects/ui/exportdlg.h"
#include "objects/ui/objectpanels.h"
#include "objects/ui/objeditor.h"
#include "platform/commands.h"
#include "platform/files.h"
#include "platform/message_service.h"
#include "sequences/framesequence.h"

namespace fs = std::filesystem;

namespace {

constexpr int kWidth = 200, kHeight = 150, kFrames = 4;
struct Spot {
  float x, y;
};
constexpr Spot kHip{50, 40}, kKnee{100, 95}, kAnkle{165, 70};

// A grey frame file with a bright disc at each spot in every frame.
void WriteBodyBld(const fs::path& bld) {
  std::ofstream out(bld, std::ios::binary);
  for (int k = 1; k <= kFrames; ++k)
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        bool disc = false;
        for (Spot s : {kHip, kKnee, kAnkle}) disc |= std::hypot(x - s.x, y - s.y) <= 6;
        out.put(static_cast<char>(disc ? 230 : 40 + (x + y) % 30));
      }
  fs::path dsc = bld;
  dsc.replace_extension(".dsc");
  std::ofstream(dsc) << "SEQUENCENAME:leg\nRESOLUTION:" << kWidth << "x" << kHeight
                     << "\nFRAMES/S:25\nFRAMES:" << kFrames << "\nCOLORSPACE:GREY\n";
}

class PanelsRoad : public ProgramTest {
 protected:
  bool Command(int id) { return platform::RouteCommand(app_->Chain(), id); }
  bool Enabled(int id) { return platform::QueryCommand(app_->Chain(), id).enabled; }
  Resource* Open() {
    Resource* doc = app_->DocManager()->LoadDocument(FileName((dir_ / "leg.bld").string()));
    QCoreApplication::processEvents();
    if (doc) view_ = qobject_cast<BildView*>(doc->Sequence(0)->view.data());
    if (view_) view_->setFocus();
    return doc;
  }
  // The view takes the mouse's moves only with the keyboard focus; on a real display the
  // window manager activates the main window a moment later.
  void FocusView() {
    app_->MainWindow()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(app_->MainWindow()));
    view_->setFocus();
    EXPECT_TRUE(QTest::qWaitFor([&] { return view_->hasFocus(); }));
  }
  ResourceWindow* Window(Resource* doc) { return dynamic_cast<ResourceWindow*>(doc->Window()); }
  QPoint At(Spot s) { return view_->ImageToClient(s.x, s.y); }
  QPoint Between(Spot a, Spot b) { return At({(a.x + b.x) / 2, (a.y + b.y) / 2}); }
  // A press, a release, or a move with the button held (a hover has no button).
  void Mouse(QEvent::Type type, QPoint at, Qt::KeyboardModifiers keys = {}, bool hover = false) {
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease || hover ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, at, view_->viewport()->mapToGlobal(at),
                  hover ? Qt::NoButton : Qt::LeftButton, held, keys);
    QCoreApplication::sendEvent(view_->viewport(), &e);
    QCoreApplication::processEvents();
  }
  // Shift and drag from one point to another, as a user connects them.
  void Connect(Spot from, Spot to) {
    Mouse(QEvent::MouseButtonPress, At(from), Qt::ShiftModifier);
    Mouse(QEvent::MouseMove, Between(from, to));
    Mouse(QEvent::MouseMove, At(to));
    Mouse(QEvent::MouseButtonRelease, At(to));
  }
  void Click(QPoint at) {
    Mouse(QEvent::MouseButtonPress, at);
    Mouse(QEvent::MouseButtonRelease, at);
  }
  void Shot(const char* name) {
    QCoreApplication::processEvents();
    const fs::path file = fs::path(ZORVAT_BUILD_DIR) / name;
    EXPECT_TRUE(app_->MainWindow()->grab().save(QString::fromStdString(file.string())));
  }
  template <class W>
  QString Text(QWidget* panel, int id) {
    auto* w = panel->findChild<W*>(QString::number(id));
    return w ? w->text() : QString("(no control %1)").arg(id);
  }

  platform::RecordingMessageService messages_;
  BildView* view_ = nullptr;
};

TEST_F(PanelsRoad, ConnectKeepTheAngleSaveReopenAndFindThem) {
  WriteBodyBld(dir_ / "leg.bld");
  app_->InitInstance();
  app_->MainWindow()->resize(1100, 760);
  Resource* doc = Open();
  ASSERT_NE(doc, nullptr) << (messages_.shown.empty() ? "" : messages_.shown[0].text);
  ResourceWindow* window = Window(doc);
  QCoreApplication::processEvents();
  ObjectSequenceDlg* objectPanel = window->ObjectPanel();
  ASSERT_TRUE(objectPanel->isVisible()) << "the object panel docks with the window";
  EXPECT_FALSE(Enabled(25076)) << "Show Dialogs is greyed while a panel is docked";
  const QRect panelPlace(objectPanel->mapTo(window, QPoint()), objectPanel->size());
  EXPECT_GE(panelPlace.left(), view_->mapTo(window, QPoint()).x() + view_->width() - 1)
      << "beside the view, at the right edge";

  const char* names[] = {"Hip", "Knee", "Ankle"};
  int i = 0;
  for (Spot s : {kHip, kKnee, kAnkle}) {
    ASSERT_TRUE(Command(25101));
    ASSERT_TRUE(Command(25105));
    Mouse(QEvent::MouseButtonRelease, At(s));
    doc->ObjectSequences()->GetCurrent()->name = names[i++];
  }
  doc->UpdateDialogs();
  // Where the clicks put the points (the view's zoom rounds them a little).
  SubObjectSequences& subs = objdoc::SubsOf(*doc->Sequence(0));
  std::vector<Spot> set;
  for (int n = 0; n < 3; ++n)
    set.push_back({subs.Find(n)->ItemAt(1)->x, subs.Find(n)->ItemAt(1)->y});
  for (int n = 0; n < 3; ++n) {
    const Spot aimed[] = {kHip, kKnee, kAnkle};
    EXPECT_NEAR(set[n].x, aimed[n].x, 1.0);
    EXPECT_NEAR(set[n].y, aimed[n].y, 1.0);
  }
  // The object panel shows the current object, the ankle, at its place (origin at the bottom).
  EXPECT_EQ(Text<QLineEdit>(objectPanel, 20403), "Ankle");
  EXPECT_EQ(Text<QLabel>(objectPanel, 20442),
            QString("%1/%2").arg(set[2].x, 0, 'f', 2).arg(kHeight - set[2].y, 0, 'f', 2));
  Shot("panels_object_panel.png");

  // Copy Sequence puts a table a spreadsheet pastes on the clipboard.
  ASSERT_TRUE(Enabled(25121));
  ASSERT_TRUE(Command(25121));
  const QStringList rows = QGuiApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(rows.size(), 1 + kFrames);
  EXPECT_TRUE(rows[0].startsWith("Frame\tHip x\tHip y\tHip z\tKnee x")) << rows[0].toStdString();
  EXPECT_EQ(rows[1].split('\t').size(), 1 + 3 * 3);

  // The connection panel: two connections dragged in the view, the angle between them kept.
  objectPanel->findChild<QPushButton*>("25520")->click();
  ConnectDlg* connectPanel = window->ConnectPanel();
  ASSERT_TRUE(connectPanel->isVisible());
  EXPECT_FALSE(objectPanel->isVisible());
  FocusView();
  Connect(kHip, kKnee);
  Connect(kKnee, kAnkle);
  StickFigure& figure = doc->ObjectSequences()->Figure();
  ASSERT_EQ(figure.ConnectionCount(), 2u);
  // The new connection is selected with its length in world units of the uncalibrated video.
  float knee[3], ankle[3];
  doc->Sequence(0)->ImageToWorld(knee, set[1].x, set[1].y);
  doc->Sequence(0)->ImageToWorld(ankle, set[2].x, set[2].y);
  EXPECT_EQ(Text<QLabel>(connectPanel, 20475),
            QString("%1 mm").arg(std::hypot(ankle[0] - knee[0], ankle[1] - knee[1]), 0, 'f', 3));
  Click(Between(kHip, kKnee));
  Click(Between(kKnee, kAnkle));
  ASSERT_EQ(figure.AngleCount(), 1u) << "a click on the second connection proposes the angle";
  auto* create = connectPanel->findChild<QPushButton*>("20485");
  ASSERT_TRUE(create->isVisible());
  create->click();
  EXPECT_FALSE(create->isVisible());
  auto* name = connectPanel->findChild<QLineEdit*>("20486");
  name->setFocus();
  name->setText("knee flexion");
  view_->setFocus();
  QCoreApplication::processEvents();
  // The angle at the knee between the thigh and the shank, either way round.
  const double ax = set[0].x - set[1].x, ay = set[0].y - set[1].y;
  const double bx = set[2].x - set[1].x, by = set[2].y - set[1].y;
  const double inner =
      std::acos((ax * bx + ay * by) / (std::hypot(ax, ay) * std::hypot(bx, by))) * 180 / M_PI;
  const QString shown = Text<QLabel>(connectPanel, 20481);
  EXPECT_TRUE(shown == QString("%1 °").arg(inner, 0, 'f', 3) ||
              shown == QString("%1 °").arg(360 - inner, 0, 'f', 3))
      << shown.toStdString() << " for " << inner;
  Shot("panels_connection_panel.png");

  // Saved, reopened and loaded: the connections and the kept angle with its name and value.
  ASSERT_TRUE(doc->ObjectSequences()->IsModified());
  ASSERT_TRUE(Command(25110));
  app_->MDIClient()->closeAllSubWindows();
  QCoreApplication::processEvents();
  Resource* again = Open();
  ASSERT_NE(again, nullptr);
  ASSERT_TRUE(Command(25112));
  StickFigure& loaded = again->ObjectSequences()->Figure();
  EXPECT_EQ(loaded.ConnectionCount(), 2u);
  ASSERT_EQ(loaded.AngleCount(), 1u);
  AngleSequencePair* angle = loaded.AllAngles().front().get();
  EXPECT_EQ(angle->name.value_or(""), "knee flexion");
  const double value = angle->Angle(1, 0, &objdoc::SubsOf(*again->Sequence(0))) * 180 / M_PI;
  EXPECT_EQ(QString("%1 °").arg(value, 0, 'f', 3), shown);
  messages_.answers = {platform::kIdNo};
}

TEST_F(PanelsRoad, EnterAndEscLeaveAPanelOpenAndClosingItBringsShowDialogsBack) {
  WriteBodyBld(dir_ / "leg.bld");
  app_->InitInstance();
  Resource* doc = Open();
  ASSERT_NE(doc, nullptr);
  ObjectSequenceDlg* panel = Window(doc)->ObjectPanel();
  ASSERT_TRUE(panel->isVisible());
  for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
    panel->findChild<QLineEdit*>("20403")->setFocus();
    QTest::keyClick(panel, key);
    QCoreApplication::processEvents();
    EXPECT_TRUE(panel->isVisible()) << key;
  }
  EXPECT_FALSE(Enabled(25076));
  panel->findChild<QPushButton*>("25505")->click();
  EXPECT_FALSE(panel->isVisible());
  EXPECT_TRUE(Enabled(25076));
  ASSERT_TRUE(Command(25076));
  EXPECT_TRUE(panel->isVisible());
}

TEST_F(PanelsRoad, TheTemplateRectangleIsDraggedInTheView) {
  WriteBodyBld(dir_ / "leg.bld");
  app_->InitInstance();
  app_->MainWindow()->resize(1100, 760);
  Resource* doc = Open();
  ASSERT_NE(doc, nullptr);
  ASSERT_TRUE(Command(25101));
  ASSERT_TRUE(Command(25105));
  Mouse(QEvent::MouseButtonRelease, At(kKnee));
  Window(doc)->ObjectPanel()->findChild<QPushButton*>("25515")->click();
  ObjectTemplateDlg* panel = Window(doc)->TemplatePanel();
  ASSERT_TRUE(panel->isVisible());
  FocusView();
  SubObjectSequence* sub = objdoc::SubsOf(*doc->Sequence(0)).Find(0);
  const int width = sub->width, height = sub->height;
  const tpl::Rect r = panel->Geometry().rect;
  ASSERT_TRUE(r.Valid());
  // Over the right edge, pressed, dragged 10 pixels further right and released.
  const Spot edge{r.right - 0.05f * width, (r.top + r.bottom) / 2};
  Mouse(QEvent::MouseMove, At(edge), {}, true);
  EXPECT_EQ(panel->HoverZone(), tpl::kRight);
  doc->ObjectSequences()->SetModified(false);
  Mouse(QEvent::MouseButtonPress, At(edge));
  ASSERT_TRUE(panel->Dragging());
  EXPECT_FALSE(view_->DisplayFlags() & kPaintTemplate) << "the band stands for the frame";
  Mouse(QEvent::MouseMove, At({edge.x + 10, edge.y}));
  Mouse(QEvent::MouseButtonRelease, At({edge.x + 10, edge.y}));
  EXPECT_FALSE(panel->Dragging());
  EXPECT_TRUE(view_->DisplayFlags() & kPaintTemplate);
  EXPECT_GT(sub->width, width);
  EXPECT_EQ(sub->width % 2, 1);
  EXPECT_EQ(sub->height, height);
  EXPECT_GT(sub->xOffset, 0) << "the left edge stays, so the centre moves right";
  EXPECT_TRUE(doc->ObjectSequences()->IsModified());
  EXPECT_EQ(panel->findChild<QLineEdit*>("20451")->text(), QString::number(sub->width));
  messages_.answers = {platform::kIdNo};
}

// The modal object dialogs over a document of one video and three sequences.
class ObjectDialogs : public TempSettings {
 protected:
  void SetUp() override {
    TempSettings::SetUp();
    video_ = new FakeSequence("/data/run.bld", 10, 25.0f, 320, 240);
    doc_.AddFrameSequence(video_);
    for (const char* name : {"Hip", "Knee", "Ankle"})
      all().NewSequence(seqflag::kNewSequence)->name = name;
    all().SetModified(false);
  }
  ResObjectSequences& all() { return *doc_.ObjectSequences(); }
  // Runs the dialog; `act` works in it while it is open and then ends it.
  void Run(platform::TableDialog& dialog, std::function<void()> act) {
    QTimer::singleShot(0, &dialog, [&] { act(); });
    dialog.Execute();
  }

  Resource doc_{FileName("/data/run.bld"), false};
  FakeSequence* video_;
  platform::RecordingMessageService messages_;
};

TEST_F(ObjectDialogs, EditOkStoresEveryFieldAndCancelNothing) {
  ResObjectSequence& knee = *all().Find(1, seqmask::kAll);
  EditObjectSequenceDlg dialog(knee, nullptr);
  Run(dialog, [&] {
    dialog.findChild<QLineEdit*>("20403")->setText("Left knee");
    dialog.findChild<QCheckBox*>("20405")->setChecked(false);
    dialog.findChild<QLineEdit*>("20406")->setText("41");
    dialog.findChild<QRadioButton*>("20415")->setChecked(true);  // star
    dialog.findChild<QLineEdit*>("20408")->setText("13");
    dialog.findChild<QRadioButton*>("20434")->setChecked(true);  // manual
    dialog.findChild<QPushButton*>("1")->click();
  });
  EXPECT_EQ(knee.name, "Left knee");
  EXPECT_TRUE(knee.IsHidden());
  EXPECT_EQ(knee.horizontalLimit, 41);
  EXPECT_EQ(knee.style, kMarkerStar);
  EXPECT_EQ(knee.markerWidth, 13);
  EXPECT_EQ(knee.algorithm, 25208u);
  EXPECT_TRUE(all().IsModified());

  all().SetModified(false);
  EditObjectSequenceDlg again(knee, nullptr);
  Run(again, [&] {
    again.findChild<QLineEdit*>("20403")->setText("");
    again.findChild<QPushButton*>("1")->click();
  });
  EXPECT_EQ(knee.name, "Left knee") << "an empty description keeps the name";
  EXPECT_FALSE(all().IsModified());
}

TEST_F(ObjectDialogs, EditorBoxesSwitchAtOnceAndDeleteSelectsTheNextRow) {
  all().Find(2, seqmask::kAll)->SetFlags(seqflag::kHidden);
  all().SetModified(false);
  ObjectEditor editor(nullptr, doc_);
  EXPECT_FALSE(editor.Box(2)->isHidden());
  EXPECT_TRUE(editor.Box(3)->isHidden()) << "only rows with a sequence have a box";
  editor.SetMode(objedit::kTracking);
  EXPECT_EQ(editor.Box(2)->checkState(), Qt::PartiallyChecked) << "tracked but hidden";
  editor.Box(2)->click();
  EXPECT_EQ(all().Find(2, seqmask::kAll)->flags & seqflag::kTracked, 0u);
  EXPECT_TRUE(all().IsModified());
  editor.SetMode(objedit::kEdit);
  EXPECT_FALSE(editor.findChild<QPushButton*>("20544")->isEnabled());
  editor.Box(0)->click();
  EXPECT_TRUE(editor.findChild<QPushButton*>("20544")->isEnabled());

  editor.List()->setCurrentRow(1);
  editor.findChild<QPushButton*>("20533")->click();
  EXPECT_EQ(all().CountDeleted(), 1);
  EXPECT_EQ(editor.List()->count(), 2);
  ASSERT_NE(editor.Selected(), nullptr);
  EXPECT_EQ(editor.Selected()->name, "Ankle");
  EXPECT_TRUE(editor.Box(2)->isHidden());
}

TEST_F(ObjectDialogs, RecoveryRestoresEverySelectedRow) {
  for (int n : {0, 1, 2}) all().DeleteSequence(n);
  UndeleteDialog dialog(nullptr, doc_);
  ASSERT_EQ(dialog.List()->count(), 3);
  Run(dialog, [&] {
    dialog.List()->item(2)->setSelected(true);
    dialog.List()->item(0)->setSelected(true);
    dialog.List()->item(1)->setSelected(false);
    dialog.findChild<QPushButton*>("1")->click();
  });
  EXPECT_NE(all().Find(0, seqmask::kOrdinary), nullptr);
  EXPECT_EQ(all().Find(1, seqmask::kOrdinary), nullptr);
  EXPECT_NE(all().Find(2, seqmask::kOrdinary), nullptr);
}

TEST_F(ObjectDialogs, ExportKeepsATypedNameAndWritesIt) {
  testutil::TempDir dir("zorvat_export");
  objdoc::SubsOf(*video_).Find(0)->AddPoint(3, 1.5f, 2.5f);
  ObjectExport dialog(nullptr, doc_, *video_);
  ASSERT_EQ(dialog.Items().size(), 3u);
  EXPECT_EQ(dialog.NameField(1)->text(), "Knee.p01");
  EXPECT_TRUE(dialog.NameField(3)->isHidden());
  dialog.NameField(0)->setText("hip_left.p00");
  dialog.SetFolder(QString::fromStdString(dir.Path().string()));
  ASSERT_TRUE(dialog.ExportNow());
  std::string text;
  ASSERT_TRUE(platform::ReadWholeFile(dir.File("hip_left.p00"), text));
  EXPECT_EQ(text.substr(0, 2), "2 ");
  EXPECT_TRUE(platform::FileExists(dir.File("hip_left.n00")));
  EXPECT_TRUE(platform::FileExists(dir.File("Ankle.p02")));
}

}  // namespace
