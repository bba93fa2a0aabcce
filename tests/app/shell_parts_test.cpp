// Smaller parts of the shell a user meets: the stepping buttons of the current-document dialog
// repeat while held, Cascade leaves every window readable, the print preview's bar shows
// pictures and puts its hints into a status bar of its own, the About pictures lie inside their
// squares, the colour-map editor shows the palette, and the printout's window list keeps page
// order.

#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QToolBar>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/cascade.h"
#include "app/mydocmanager.h"
#include "app/resource.h"
#include "app/ui/curseqdlg.h"
#include "app/ui/mdiclient.h"
#include "app/ui/preview.h"
#include "app/ui/printwindowlist.h"
#include "app/ui/resourcewindow.h"
#include "base/app_ids.h"
#include "base/ui/bitmapbutton.h"
#include "base/ui/bitmaps.h"
#include "base/ui/defaultsdlg.h"
#include "base/ui/gadgets.h"
#include "base/ui/paletteview.h"
#include "common/program_fixture.h"
#include "platform/message_service.h"
#include "platform/ui/printwindow.h"

namespace fs = std::filesystem;

namespace {

void WriteBld(const fs::path& bld, int w, int h, int frames) {
  std::ofstream out(bld, std::ios::binary);
  for (int i = 0; i < w * h * frames; ++i) out.put(static_cast<char>(i * 7));
  fs::path dsc = bld;
  dsc.replace_extension(".dsc");
  std::ofstream(dsc) << "SEQUENCENAME:" << bld.stem().string() << "\nRESOLUTION:" << w << "x" << h
                     << "\nFRAMES/S:25\nFRAMES:" << frames << "\nCOLORSPACE:GREY\n";
}

class ShellParts : public ProgramTest {
 protected:
  // A document of count cameras, each a small frame file.
  Resource* OpenCameras(int count) {
    std::ofstream par(dir_ / "cams.par", std::ios::binary);
    par << "CAMERAS: " << count << "\r\n";
    for (int i = 1; i <= count; ++i) {
      WriteBld(dir_ / ("c" + std::to_string(i) + ".bld"), 32, 24, 3);
      par << "CAM_" << i << ": c" << i << ".bld\r\n";
    }
    par.close();
    app_->InitInstance();
    app_->MainWindow()->resize(1000, 700);
    QCoreApplication::processEvents();
    return app_->DocManager()->LoadDocument(FileName((dir_ / "cams.par").string()));
  }

  platform::RecordingMessageService messages_;
};

TEST_F(ShellParts, HeldStepButtonsRepeatUntilReleasedAndStopAtTheEnd) {
  Resource* doc = OpenCameras(6);
  ASSERT_NE(doc, nullptr) << (messages_.shown.empty() ? "" : messages_.shown[0].text);
  CurSeqDlg dialog(*doc, 1, app_->MainWindow());
  dialog.show();
  auto* plus = dialog.findChild<BitmapButton*>("25545");
  auto* minus = dialog.findChild<BitmapButton*>("25540");
  ASSERT_NE(plus, nullptr) << "the stepping buttons are bitmap buttons";
  ASSERT_NE(minus, nullptr);
  EXPECT_FALSE(minus->isEnabled()) << "on the first sequence";
  EXPECT_TRUE(dialog.grab().save(ZORVAT_BUILD_DIR "/current_document_dialog.png"));
  EXPECT_FALSE(bitmaps::Load(25545, 16).isNull()) << "each has its picture";
  EXPECT_FALSE(bitmaps::Load(25540 + 4, 16).isNull()) << "and a disabled one";

  // A press steps at once; held, the button steps again after 600 ms and then every 100 ms.
  int steps = 0;
  QObject::connect(plus, &BitmapButton::Command, [&](int id) { steps += id == 25545; });
  QTest::mousePress(plus, Qt::LeftButton, {}, plus->rect().center());
  EXPECT_EQ(steps, 1);
  EXPECT_EQ(dialog.Shown(), 2);
  QTest::qWait(300);  // well before the delay: a loaded machine may stall the loop a while
  EXPECT_EQ(steps, 1) << "no repeat before the first delay";
  EXPECT_TRUE(QTest::qWaitFor([&] { return steps >= 3; }, 2000)) << steps;
  EXPECT_EQ(dialog.Shown(), 1 + steps);
  QTest::mouseRelease(plus, Qt::LeftButton, {}, plus->rect().center());
  const int released = steps;
  QTest::qWait(300);
  EXPECT_EQ(steps, released) << "nothing after the release";

  // Held to the last sequence: the button greys out and lets go by itself.
  QTest::mousePress(plus, Qt::LeftButton, {}, plus->rect().center());
  EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.Shown() == 6; }, 3000));
  EXPECT_FALSE(plus->isEnabled());
  EXPECT_FALSE(plus->isDown());
  const int atEnd = steps;
  QTest::qWait(250);
  EXPECT_EQ(steps, atEnd);
  EXPECT_TRUE(minus->isEnabled());
  // The keyboard steps too (the mnemonic's click).
  minus->click();
  EXPECT_EQ(dialog.Shown(), 5);
}

TEST(Cascade, EveryWindowShowsItsTitleBarAndMostOfItself) {
  struct Case {
    int count, width, height, step;
  } cases[] = {{1, 800, 600, 24}, {3, 800, 600, 24}, {12, 800, 600, 24}, {40, 800, 600, 24}};
  for (const Case& c : cases) {
    const std::vector<TileRect> r = CascadeRects(c.count, c.width, c.height, c.step);
    ASSERT_EQ(static_cast<int>(r.size()), c.count);
    for (int i = 0; i < c.count; ++i) {
      SCOPED_TRACE(testing::Message() << c.count << " windows, window " << i);
      EXPECT_GE(r[i].right - r[i].left, c.width / 2);
      EXPECT_GE(r[i].bottom - r[i].top, c.height / 2);
      EXPECT_LE(r[i].right, c.width);
      EXPECT_LE(r[i].bottom, c.height);
      EXPECT_GE(r[i].left, 0);
      if (i > 0 && r[i].top > 0) {
        EXPECT_EQ(r[i].top - r[i - 1].top, c.step) << "one title bar below the one before";
      }
    }
  }
  EXPECT_EQ(CascadeRects(1, 800, 600, 24)[0], (TileRect{0, 0, 800, 600}));
  EXPECT_EQ(CascadeRects(3, 800, 600, 24)[2], (TileRect{48, 48, 800, 600}));
  EXPECT_TRUE(CascadeRects(0, 800, 600, 24).empty());
}

TEST_F(ShellParts, CascadeLeavesTheDocumentWindowsReadable) {
  Resource* doc = OpenCameras(1);
  ASSERT_NE(doc, nullptr);
  ASSERT_NE(app_->DocManager()->LoadDocument(FileName((dir_ / "c1.bld").string())), nullptr);
  ZorvatrackMDIClient* mdi = app_->MDIClient();
  ASSERT_EQ(mdi->subWindowList().size(), 2);
  mdi->CmWindowArrangement(24361);
  QCoreApplication::processEvents();
  const QSize area = mdi->viewport()->size();
  for (QMdiSubWindow* w : mdi->subWindowList()) {
    EXPECT_GE(w->width(), area.width() / 2);
    EXPECT_GE(w->height(), area.height() / 2);
  }
  const QList<QMdiSubWindow*> stack = mdi->subWindowList(QMdiArea::StackingOrder);
  EXPECT_GT(stack[1]->y(), stack[0]->y()) << "the one in front stands lower";
}

TEST_F(ShellParts, PreviewButtonsShowPicturesAndTheirHintsInTheStatusBar) {
  app_->InitInstance();
  PreviewWindow preview(nullptr, app_->Printer(), app_->MDIClient(), "Zorvatrack");
  preview.resize(900, 600);
  preview.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
  const struct {
    int id;
    const char* hint;
  } buttons[] = {{24500, "Goto Previous Page"},
                 {24501, "Goto Next Page"},
                 {24337, "Prints the windows"},
                 {24338, "Sets up printer properties"},
                 {24505, "Exit the Modal State"}};
  EXPECT_TRUE(preview.grab().save(ZORVAT_BUILD_DIR "/preview_bar.png"));
  for (const auto& b : buttons) {
    SCOPED_TRACE(b.id);
    auto* button = preview.findChild<TFlatButtonGadget*>(QString::number(b.id));
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(button->icon().isNull());
    // The mouse enters the button, and leaves it again.
    const QPointF centre = button->rect().center();
    QEnterEvent enter(centre, button->mapTo(&preview, centre), button->mapToGlobal(centre));
    QCoreApplication::sendEvent(button, &enter);
    EXPECT_EQ(preview.statusBar()->currentMessage().toStdString(), b.hint);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(button, &leave);
    EXPECT_TRUE(preview.statusBar()->currentMessage().isEmpty());
  }
}

TEST(AboutPictures, LieInsideTheirSquares) {
  for (int id : {ids::kAboutPicture1, ids::kAboutPicture2}) {
    const QImage image = bitmaps::Load(id, 48).toImage();
    ASSERT_FALSE(image.isNull()) << id;
    int inked = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) inked += qAlpha(image.pixel(x, y)) > 0;
    EXPECT_GT(inked, 48 * 48 / 8) << id;
    // Nothing reaches the outer column or row: the drawing ends inside its square.
    for (int i = 0; i < 48; ++i) {
      EXPECT_LT(qAlpha(image.pixel(47, i)), 64) << id << " right edge, row " << i;
      EXPECT_LT(qAlpha(image.pixel(i, 47)), 64) << id << " bottom edge, column " << i;
    }
  }
}

TEST_F(ShellParts, ColourMapEditorShowsTheActiveSequencesPalette) {
  PaletteColors palette = GreyRampPalette();
  palette[33] = MapColor{200, 10, 20};
  ColorDialog dialog(nullptr, *g_Defaults, palette);
  dialog.show();
  QCoreApplication::processEvents();
  auto* view = dialog.findChild<PaletteView*>("20120");
  ASSERT_NE(view, nullptr);
  ASSERT_TRUE(view->isVisible());
  // Whole cells, 32 to a row, 8 rows.
  EXPECT_EQ(view->width() % PaletteView::kColumns, 0);
  EXPECT_EQ(view->height() % PaletteView::kRows, 0);
  EXPECT_TRUE(dialog.grab().save(ZORVAT_BUILD_DIR "/colour_map_editor.png"));
  const QImage shown = view->grab().toImage();
  const int w = view->width() / PaletteView::kColumns, h = view->height() / PaletteView::kRows;
  auto cell = [&](int i) {
    return shown.pixelColor((i % 32) * w + w / 2, (i / 32) * h + h / 2);
  };
  EXPECT_EQ(cell(33), QColor(200, 10, 20));
  EXPECT_EQ(cell(0), QColor(0, 0, 0));
  EXPECT_EQ(cell(255), QColor(255, 255, 255));
  EXPECT_EQ(cell(128), QColor(128, 128, 128));
}

// A printable window of its own title only.
class Titled : public platform::PrintWindow {
 public:
  explicit Titled(const char* title) : PrintWindow(title) {}
  void PaintTo(QPainter&, const QRect&, bool) override {}
  QSize ScreenSize() const override { return {}; }
};

TEST(PrintWindowList, KeepsPageOrderAndWalksWithItsCursor) {
  Titled a("a"), b("b"), c("c");
  PrintWindowList list;
  EXPECT_EQ(list.First(), nullptr);
  EXPECT_EQ(list.Next(), nullptr);
  list.Add({&b, nullptr, false, 2, {}});
  list.Add({&c, nullptr, false, 3, {}});
  list.Add({&a, nullptr, false, 1, {}});
  list.Add({nullptr, nullptr, false, 4, {}});  // no window: ignored
  ASSERT_EQ(list.Count(), 3);
  std::string order;
  for (const PrintPageEntry* e = list.First(); e; e = list.Next())
    order += e->window->PrintTitle().toStdString();
  EXPECT_EQ(order, "abc");
  EXPECT_EQ(list.Next()->window, &a) << "past the end the walk starts again";
  EXPECT_EQ(list.Find(3)->window, &c);
  EXPECT_EQ(list.Find(5), nullptr);
  // A page listed twice: the newer entry stands in front of the older.
  Titled d("d");
  list.Add({&d, nullptr, false, 2, {}});
  EXPECT_EQ(list.Find(2)->window, &d);
}

}  // namespace
