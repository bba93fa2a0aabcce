// Printing on the road a user takes: two documents with image views and analysis windows print
// one window a page in the documents' order to a PDF file, read back with poppler's tools; the
// print dialog's range and copies decide the pages; a printer that cannot be opened is reported
// and leaves nothing raised; the preview shows page 1 in place of the main window and gives it
// back on Exit. The pages go into the build folder as pictures.

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "app/mydocmanager.h"
#include "app/printersettings.h"
#include "app/resource.h"
#include "app/ui/mdiclient.h"
#include "app/ui/pagesetupdlg.h"
#include "app/ui/preview.h"
#include "app/ui/printer.h"
#include "app/ui/printout.h"
#include "base/analysislinks.h"
#include "base/ui/devcapsdlg.h"
#include "common/program_fixture.h"
#include "objects/docaccess.h"
#include "objects/resobjseq.h"
#include "objects/stickfigure.h"
#include "objects/subobjseq.h"
#include "objects/synthetic_clip.h"
#include "objects/ui/bildview.h"
#include "platform/commands.h"
#include "platform/message_service.h"
#include "platform/ui/printdialogs.h"
#include "platform/ui/printwindow.h"
#include "sequences/avisequence.h"
#include "sequences/framesequence.h"

namespace fs = std::filesystem;

namespace {

constexpr int kWidth = 160, kHeight = 120, kFrames = 3;
constexpr int kPrint = 24337, kPageSetup = 24342;

// A grey frame file of one level with a few darker dots, so its page is known by its grey.
void WriteGreyBld(const fs::path& bld, int level) {
  std::ofstream out(bld, std::ios::binary);
  for (int k = 0; k < kFrames; ++k)
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) out.put(static_cast<char>((x * y) % 97 ? level : 0));
  fs::path dsc = bld;
  dsc.replace_extension(".dsc");
  std::ofstream(dsc) << "SEQUENCENAME:" << bld.stem().string() << "\nRESOLUTION:" << kWidth << "x"
                     << kHeight << "\nFRAMES/S:25\nFRAMES:" << kFrames << "\nCOLORSPACE:GREY\n";
}

// A stand-in analysis window of a document: printable, linked to its document, painting its
// title on a coloured field.
class FakeAnalysis : public QWidget, public platform::PrintWindow, public AnalysisLink {
 public:
  FakeAnalysis(unsigned serial, QString title) : PrintWindow(title), serial_(serial) {
    setWindowTitle(title);
    RegisterAnalysisLink(this);
  }
  ~FakeAnalysis() override { UnregisterAnalysisLink(this); }
  void PaintTo(QPainter& painter, const QRect& target, bool) override {
    painter.fillRect(target, QColor(250, 200, 60));
    QFont font = painter.font();
    font.setPointSize(14);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(target, Qt::AlignCenter, PrintTitle());
  }
  QSize ScreenSize() const override { return {400, 300}; }
  unsigned DocumentSerial() const override { return serial_; }
  void GoToFrame(int) override {}
  void RebuildCurves(int, unsigned) override {}
  void AddObjectSequence(ResObjectSequence*) override {}
  void RemoveObjectSequence(ResObjectSequence*) override {}
  void CloseWindow() override {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    PaintTo(painter, rect(), false);
  }

 private:
  unsigned serial_;
};

// What a poppler tool prints for a file.
QString Run(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(20000)) return QString("(%1 did not finish)").arg(program);
  return QString::fromUtf8(process.readAllStandardOutput());
}

int PageCountOf(const QString& pdf) {
  const QString info = Run("pdfinfo", {pdf});
  const int at = info.indexOf("Pages:");
  return at < 0 ? -1 : info.mid(at + 6).section('\n', 0, 0).trimmed().toInt();
}

QString PageText(const QString& pdf, int page) {
  return Run("pdftotext", {"-f", QString::number(page), "-l", QString::number(page), pdf, "-"});
}

// Renders a page at the resolution given into the build folder and loads it.
QImage RenderPage(const QString& pdf, int page, int dpi, const QString& name) {
  const QString prefix =
      QString::fromStdString((fs::path(ZORVAT_BUILD_DIR) / name.toStdString()).string());
  Run("pdftoppm", {"-png", "-r", QString::number(dpi), "-f", QString::number(page), "-l",
                   QString::number(page), "-singlefile", pdf, prefix});
  return QImage(prefix + ".png");
}

class PrintingRoad : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    // Each run of the program starts from the default page layout.
    ThePrinterSettings() = PrinterSettings();
    g_PageSetupInInches = true;
    WriteGreyBld(dir_ / "left.bld", 40);
    WriteGreyBld(dir_ / "right.bld", 215);
    WriteGreyBld(dir_ / "other.bld", 130);
    std::ofstream(dir_ / "pair.rsc")
        << "SEQUENCES: 2\nSEQUENCE_1: left.bld\nSEQUENCE_2: right.bld\n";
    app_->InitInstance();
    app_->MainWindow()->resize(1000, 720);
    // Opened in this order, the pair comes first in the list of open documents.
    other_ = Load("other.bld");
    pair_ = Load("pair.rsc");
  }
  void TearDown() override {
    for (FakeAnalysis* w : analysis_) delete w;
    analysis_.clear();
    ProgramTest::TearDown();
  }
  Resource* Load(const char* name) {
    Resource* doc = app_->DocManager()->LoadDocument(FileName((dir_ / name).string()));
    QCoreApplication::processEvents();
    return doc;
  }
  FakeAnalysis* AddAnalysis(Resource* doc, const QString& title) {
    auto* w = new FakeAnalysis(doc->Serial(), title);
    analysis_.push_back(w);
    QMdiSubWindow* sub = app_->MDIClient()->addSubWindow(w);
    sub->resize(420, 330);
    sub->show();
    QCoreApplication::processEvents();
    return w;
  }
  bool Command(int id) { return platform::RouteCommand(app_->Chain(), id); }
  BildView* View(Resource* doc, int i) {
    return qobject_cast<BildView*>(doc->Sequence(i)->view.data());
  }
  QString Out(const char* name) {
    return QString::fromStdString((fs::path(ZORVAT_BUILD_DIR) / name).string());
  }
  platform::ScriptedPrintDialogs::PrintAnswer ToFile(const QString& file) {
    platform::ScriptedPrintDialogs::PrintAnswer answer;
    answer.outputFile = file;
    fs::remove(file.toStdString());
    return answer;
  }

  Resource* other_ = nullptr;
  Resource* pair_ = nullptr;
  std::vector<FakeAnalysis*> analysis_;
  platform::RecordingMessageService messages_;
  platform::ScriptedPrintDialogs dialogs_;
};

TEST_F(PrintingRoad, PagesGoDocumentByDocumentViewsFirst) {
  ASSERT_NE(pair_, nullptr) << (messages_.shown.empty() ? "" : messages_.shown[0].text);
  ASSERT_NE(other_, nullptr);
  // The other document's analysis window opens first, yet its page follows the pair's.
  AddAnalysis(other_, "Analysis of other");
  AddAnalysis(pair_, "Analysis of pair");
  View(pair_, 1)->setFocus();
  QCoreApplication::processEvents();

  TApxPrintout printout("job", app_->MDIClient(), false);
  QStringList titles;
  for (const PrintPageEntry& e : printout.Pages()) titles << e.window->PrintTitle();
  ASSERT_EQ(titles.size(), 5);
  EXPECT_TRUE(titles[0].endsWith("left.bld")) << titles.join(", ").toStdString();
  EXPECT_TRUE(titles[1].endsWith("right.bld")) << titles.join(", ").toStdString();
  EXPECT_EQ(titles[2], "Analysis of pair");
  EXPECT_TRUE(titles[3].endsWith("other.bld")) << titles.join(", ").toStdString();
  EXPECT_EQ(titles[4], "Analysis of other");
  EXPECT_EQ(printout.Pages()[0].size, QSize(kWidth, kHeight)) << "a view's frame bitmap";
  EXPECT_EQ(printout.FocusPage(), 2) << "the focused view's page is the selection";
  EXPECT_EQ(printout.PageLine(3), "3: Analysis of pair");
  EXPECT_EQ(printout.PageLine(9), "9");
}

TEST_F(PrintingRoad, PrintWritesOnePageAWindowInsideTheMargins) {
  ASSERT_NE(pair_, nullptr);
  AddAnalysis(pair_, "Analysis of pair");
  const QString pdf = Out("printing_all.pdf");
  dialogs_.printAnswers.push_back(ToFile(pdf));
  EXPECT_TRUE(platform::QueryCommand(app_->Chain(), kPrint).enabled);
  ASSERT_TRUE(Command(kPrint));
  ASSERT_EQ(dialogs_.offers.size(), 1u);
  EXPECT_EQ(dialogs_.offers[0].minPage, 1);
  EXPECT_EQ(dialogs_.offers[0].maxPage, 4);
  EXPECT_EQ(app_->PrintCounter(), 0);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  ASSERT_EQ(PageCountOf(pdf), 4);
  EXPECT_TRUE(PageText(pdf, 3).contains("Analysis of pair"));
  EXPECT_FALSE(PageText(pdf, 1).contains("Analysis"));

  // Page 1 at 20 dots per inch: margins of an inch are white, the left video (grey 40) fills the
  // page between them, stretched as the default layout says.
  const QImage page = RenderPage(pdf, 1, 20, "printing_page1");
  ASSERT_FALSE(page.isNull());
  const int inch = 20, mid = page.height() / 2;
  EXPECT_GT(qGray(page.pixel(inch / 2, mid)), 240) << "left margin";
  EXPECT_GT(qGray(page.pixel(page.width() - inch / 2, mid)), 240) << "right margin";
  EXPECT_GT(qGray(page.pixel(page.width() / 2, inch / 2)), 240) << "top margin";
  EXPECT_LT(qGray(page.pixel(inch + 3, mid)), 80) << "the view just inside the left margin";
  EXPECT_LT(qGray(page.pixel(page.width() - inch - 3, page.height() - inch - 3)), 80);
  const QImage second = RenderPage(pdf, 2, 20, "printing_page2");
  EXPECT_GT(qGray(second.pixel(second.width() / 2, mid)), 180) << "the right video, grey 215";
  RenderPage(pdf, 3, 40, "printing_page3");
}

TEST_F(PrintingRoad, RangeAndCopiesOfThePrintDialogDecideThePages) {
  ASSERT_NE(pair_, nullptr);
  AddAnalysis(pair_, "Analysis of pair");
  const QString pdf = Out("printing_range.pdf");
  auto answer = ToFile(pdf);
  answer.range = platform::ScriptedPrintDialogs::PrintAnswer::kPages;
  answer.fromPage = 2;
  answer.toPage = 3;
  answer.copies = 2;
  answer.collate = true;
  dialogs_.printAnswers.push_back(answer);
  ASSERT_TRUE(Command(kPrint));
  ASSERT_EQ(PageCountOf(pdf), 4) << "pages 2 and 3, twice";
  EXPECT_FALSE(PageText(pdf, 1).contains("Analysis"));
  EXPECT_TRUE(PageText(pdf, 2).contains("Analysis of pair"));
  EXPECT_FALSE(PageText(pdf, 3).contains("Analysis"));
  EXPECT_TRUE(PageText(pdf, 4).contains("Analysis of pair"));

  // A cancelled dialog prints nothing.
  fs::remove(pdf.toStdString());
  ASSERT_TRUE(Command(kPrint));
  EXPECT_FALSE(fs::exists(pdf.toStdString()));
  EXPECT_EQ(app_->PrintCounter(), 0);
}

TEST_F(PrintingRoad, TheAbortDialogShowsThePageAndCancelStopsTheJob) {
  ASSERT_NE(pair_, nullptr);
  AddAnalysis(pair_, "Analysis of pair");
  const QString pdf = Out("printing_cancelled.pdf");
  dialogs_.printAnswers.push_back(ToFile(pdf));
  QStringList lines;
  // The first page is under way when the dialog's Cancel is pressed.
  QTimer::singleShot(0, [&] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* abort = qobject_cast<MyTPrinterAbortDlg*>(w); abort && abort->isVisible()) {
        lines << abort->PageText();
        EXPECT_EQ(QApplication::activeModalWidget(), abort)
            << "only the abort dialog takes input while printing";
        QTest::mouseClick(abort->findChild<QPushButton*>("2"), Qt::LeftButton);
      }
  });
  TApxPrintout printout("job", app_->MDIClient(), false);
  EXPECT_FALSE(app_->Printer().Print(app_->MDIClient(), printout, true));
  ASSERT_EQ(lines.size(), 1);
  EXPECT_TRUE(lines[0].startsWith("1: ") && lines[0].endsWith("left.bld"))
      << lines[0].toStdString();
  EXPECT_EQ(app_->PrintCounter(), 0);
  EXPECT_TRUE(app_->MDIClient()->isEnabled());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_LT(PageCountOf(pdf), 4) << "the job stopped";
}

TEST_F(PrintingRoad, PrinterSetupTakesTheConfirmedMarginsIntoThePageLayout) {
  ASSERT_NE(pair_, nullptr);
  platform::ScriptedPrintDialogs::PageSetupAnswer answer;
  answer.marginsMm = QMarginsF(10, 20, 30, 40);
  dialogs_.pageSetupAnswers.push_back(answer);
  ASSERT_TRUE(Command(24338));
  const PrinterSettings& s = ThePrinterSettings();
  EXPECT_EQ(s.MarginLeft, 1000);
  EXPECT_EQ(s.MarginTop, 2000);
  EXPECT_EQ(s.MarginRight, 3000);
  EXPECT_EQ(s.MarginBottom, 4000);
  EXPECT_EQ(s.AreaWidth, s.PaperWidth - 4000) << "the whole page between the new margins";
  // Cancelled, nothing changes.
  ASSERT_TRUE(Command(24338));
  EXPECT_EQ(dialogs_.pageSetupsAsked, 2);
  EXPECT_EQ(s.MarginLeft, 1000);
  EXPECT_EQ(s.MarginBottom, 4000);
}

TEST_F(PrintingRoad, APrinterThatCannotBeOpenedIsReportedAndLeavesNothingRaised) {
  ASSERT_NE(pair_, nullptr);
  dialogs_.printAnswers.push_back(ToFile("/nonexistent-folder/zorvat/out.pdf"));
  ASSERT_TRUE(Command(kPrint));
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].caption, "Printererror");
  EXPECT_EQ(app_->PrintCounter(), 0);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_TRUE(app_->MainWindow()->isEnabled());
  EXPECT_TRUE(app_->MDIClient()->isEnabled());
}

TEST_F(PrintingRoad, PreviewOpensOnPageOneAndExitGivesTheMainWindowBack) {
  ASSERT_NE(pair_, nullptr);
  AddAnalysis(pair_, "Analysis of pair");
  app_->MainWindow()->show();
  QCoreApplication::processEvents();
  bool seen = false;
  QTimer::singleShot(0, [&] {
    PreviewWindow* preview = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* p = qobject_cast<PreviewWindow*>(w); p && p->isVisible()) preview = p;
    if (!preview) return;
    seen = true;
    EXPECT_FALSE(app_->MainWindow()->isVisible()) << "the preview stands in its place";
    EXPECT_EQ(app_->PrintCounter(), 1);
    EXPECT_EQ(preview->CurrentPage(), 1);
    auto* number = preview->findChild<QLabel*>("24504");
    ASSERT_NE(number, nullptr);
    EXPECT_EQ(number->text(), "Page 1");
    EXPECT_FALSE(preview->Action(24500)->isEnabled()) << "Previous on page 1";
    EXPECT_TRUE(preview->Action(24501)->isEnabled());
    for (int i = 0; i < 3; ++i) preview->Action(24501)->trigger();
    EXPECT_EQ(number->text(), "Page 4");
    EXPECT_FALSE(preview->Action(24501)->isEnabled()) << "Next on the last page";
    EXPECT_TRUE(preview->Action(24500)->isEnabled());
    preview->Action(24500)->trigger();
    EXPECT_EQ(number->text(), "Page 3");

    // A margin typed far too wide is clamped to the paper and shown so.
    auto* left = preview->Panel()->findChild<QLineEdit*>("21018");
    ASSERT_NE(left, nullptr);
    left->setText(QString(200, '9'));
    emit left->editingFinished();
    const PrinterSettings& s = ThePrinterSettings();
    EXPECT_EQ(s.MarginLeft, s.MarginRight);
    EXPECT_LE(s.MarginLeft + s.MarginRight, s.PaperWidth - 10);
    left->setText("1");
    emit left->editingFinished();
    EXPECT_EQ(s.MarginLeft, g_PageSetupInInches ? 2540 : 100);
    QCoreApplication::processEvents();
    EXPECT_TRUE(preview->grab().save(
        QString::fromStdString((fs::path(ZORVAT_BUILD_DIR) / "printing_preview.png").string())));
    // Printing from the preview offers every page, the page on show as the selection, and
    // comes back to that page.
    const QString pdf = Out("printing_from_preview.pdf");
    dialogs_.printAnswers.push_back(ToFile(pdf));
    preview->Action(24337)->trigger();
    ASSERT_FALSE(dialogs_.offers.empty());
    EXPECT_EQ(dialogs_.offers.back().maxPage, 4);
    EXPECT_TRUE(dialogs_.offers.back().selection);
    EXPECT_EQ(preview->Printout().FocusPage(), 3);
    EXPECT_EQ(PageCountOf(pdf), 4);
    EXPECT_EQ(preview->CurrentPage(), 3);
    EXPECT_EQ(app_->PrintCounter(), 1) << "back to the preview's own count";
    preview->Action(24505)->trigger();
  });
  ASSERT_TRUE(Command(kPageSetup));
  EXPECT_TRUE(seen) << "the preview showed";
  EXPECT_TRUE(app_->MainWindow()->isVisible()) << "Exit gives the main window back";
  EXPECT_EQ(app_->PrintCounter(), 0);
}

TEST_F(PrintingRoad, DeviceCapsNameTheScreenAndThePdfPrinter) {
  ASSERT_NE(pair_, nullptr);
  BildView* view = View(pair_, 0);
  DevCapsDlg screen(app_->MainWindow(), ScreenCaps(*view->viewport()));
  screen.show();
  QCoreApplication::processEvents();
  EXPECT_EQ(screen.findChild<QLabel*>("21202")->text(), "Rasterdisplay");
  EXPECT_EQ(screen.findChild<QLabel*>("21211")->text(), "not reported");
  auto* curves = screen.findChild<QListWidget*>("21224");
  ASSERT_NE(curves, nullptr);
  EXPECT_EQ(curves->count(), 9) << "the screen draws every curve";
  EXPECT_EQ(curves->item(0)->text(), "chord arcs") << "sorted";
  EXPECT_TRUE(screen.grab().save(
      QString::fromStdString((fs::path(ZORVAT_BUILD_DIR) / "printing_devcaps.png").string())));

  // The view's hidden command opens the dialog for the screen.
  view->setFocus();
  QCoreApplication::processEvents();
  QString technology;
  QTimer::singleShot(0, [&] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* d = qobject_cast<DevCapsDlg*>(w); d && d->isVisible()) {
        technology = d->findChild<QLabel*>("21202")->text();
        d->EndDialog(1);
      }
  });
  ASSERT_TRUE(platform::QueryCommand(app_->Chain(), 25078).enabled);
  ASSERT_TRUE(Command(25078));
  EXPECT_EQ(technology, "Rasterdisplay");

  QPrinter pdf(QPrinter::HighResolution);
  pdf.setOutputFormat(QPrinter::PdfFormat);
  const DeviceCaps caps = PrinterCaps(pdf);
  EXPECT_EQ(TechnologyName(caps.technology), "Metafile");
  EXPECT_EQ(caps.logPixelsX, 1200);
}

// A video whose three objects were tracked prints with its objects and their paths over it.
class TrackedPrint : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    ThePrinterSettings() = PrinterSettings();
  }
  bool Command(int id) { return platform::RouteCommand(app_->Chain(), id); }
  platform::RecordingMessageService messages_;
  platform::ScriptedPrintDialogs dialogs_;
};

TEST_F(TrackedPrint, TheViewOfATrackedVideoPrintsWithItsObjects) {
  constexpr int kClipFrames = 24;
  const std::vector<std::pair<double, double>> starts = {{70, 70}, {200, 120}, {120, 180}};
  auto truth = [&](int f) {
    std::vector<std::pair<double, double>> at;
    for (auto [x, y] : starts) at.push_back(synth::PathAt(f, x, y, 2.1, 0.9));
    return at;
  };
  synth::Scene scene;
  scene.bodies = {{synth::Kind::kTexture, 12, 11},
                  {synth::Kind::kTexture, 12, 23},
                  {synth::Kind::kMarker, 3, 0}};
  scene.backgroundAmplitude = 0.05;
  const fs::path video = dir_ / "walk.avi";
  if (!synth::WriteLosslessVideo(video, scene, kClipFrames,
                                 [&](int f) { return scene.Render(f, truth(f), f); }))
    GTEST_SKIP() << "no ffmpeg with ffv1";
  app_->InitInstance();
  app_->MainWindow()->resize(900, 700);
  SetAviPropertiesRunner(nullptr);
  Resource* doc = app_->DocManager()->LoadDocument(FileName(video.string()));
  ASSERT_NE(doc, nullptr) << (messages_.shown.empty() ? "" : messages_.shown[0].text);
  QCoreApplication::processEvents();
  auto* view = qobject_cast<BildView*>(doc->Sequence(0)->view.data());
  ASSERT_NE(view, nullptr);
  view->setFocus();
  doc->SetActiveFrameSequence(doc->Sequence(0));
  for (const auto& [x, y] : truth(1)) {
    ASSERT_TRUE(Command(25101));
    ASSERT_TRUE(Command(25105));
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, view->ImageToClient(x, y));
  }
  ASSERT_TRUE(Command(25200));
  ASSERT_EQ(doc->CurrentFrame(), kClipFrames) << "tracked to the end";
  ASSERT_TRUE(Command(25072)) << "objects of all frames: the paths";
  QCoreApplication::processEvents();

  const QString pdf =
      QString::fromStdString((fs::path(ZORVAT_BUILD_DIR) / "printing_tracked.pdf").string());
  fs::remove(pdf.toStdString());
  platform::ScriptedPrintDialogs::PrintAnswer answer;
  answer.outputFile = pdf;
  dialogs_.printAnswers.push_back(answer);
  ASSERT_TRUE(Command(kPrint));
  ASSERT_EQ(PageCountOf(pdf), 1);
  const QImage page = RenderPage(pdf, 1, 60, "printing_tracked_view");
  ASSERT_FALSE(page.isNull());
  // The video is grey; the objects and their paths are drawn in colour, all inside the margins.
  int coloured = 0, outside = 0;
  const int inch = 60;
  for (int y = 0; y < page.height(); ++y)
    for (int x = 0; x < page.width(); ++x) {
      const QColor c = page.pixelColor(x, y);
      if (std::max({std::abs(c.red() - c.green()), std::abs(c.green() - c.blue()),
                    std::abs(c.red() - c.blue())}) < 40)
        continue;
      ++coloured;
      if (x < inch || y < inch || x >= page.width() - inch || y >= page.height() - inch) ++outside;
    }
  EXPECT_GT(coloured, 50) << "the tracked objects show";
  EXPECT_EQ(outside, 0);

  // An analysis window of x over time and the 3D window of the figure the objects are joined
  // into, both opened from the Analyze menu, print on the pages after the view.
  ResObjectSequences& objects = *doc->ObjectSequences();
  const auto& sequences = objects.Sequences();
  ASSERT_EQ(sequences.size(), 3u);
  ASSERT_NE(objects.Figure().Connect(sequences[0].get(), sequences[1].get(), 0xC00000), nullptr);
  ASSERT_NE(objects.Figure().Connect(sequences[1].get(), sequences[2].get(), 0x0000C0), nullptr);
  doc->RecalcObjectSequences(0);
  ASSERT_TRUE(Command(25301)) << "x to t";
  ASSERT_TRUE(Command(25360)) << "the stick figure";
  for (QMdiSubWindow* sub : app_->MDIClient()->subWindowList()) sub->resize(480, 360);
  QCoreApplication::processEvents();
  const QString all =
      QString::fromStdString((fs::path(ZORVAT_BUILD_DIR) / "printing_tracked_all.pdf").string());
  fs::remove(all.toStdString());
  answer.outputFile = all;
  dialogs_.printAnswers.push_back(answer);
  ASSERT_TRUE(Command(kPrint));
  ASSERT_EQ(PageCountOf(all), 3) << "the view, the analysis window, the 3D window";
  EXPECT_TRUE(PageText(all, 1).trimmed().isEmpty()) << "the view has no text";
  const QString graph = PageText(all, 2);
  EXPECT_TRUE(graph.contains("mm"))
      << "the graph's axes carry their units: " << graph.toStdString();
  const QImage page2d = RenderPage(all, 2, 60, "printing_tracked_analysis");
  const QImage page3d = RenderPage(all, 3, 60, "printing_tracked_3d");
  ASSERT_FALSE(page2d.isNull());
  ASSERT_FALSE(page3d.isNull());
  auto countDrawn = [&](const QImage& image, int& outsideMargins) {
    int drawn = 0;
    outsideMargins = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        if (qGray(image.pixel(x, y)) > 235) continue;
        ++drawn;
        if (x < inch || y < inch || x >= image.width() - inch || y >= image.height() - inch)
          ++outsideMargins;
      }
    return drawn;
  };
  int outside2d = 0, drawnOutside = 0;
  EXPECT_GT(countDrawn(page2d, outside2d), 500) << "axes and curves";
  EXPECT_EQ(outside2d, 0);
  const int drawn = countDrawn(page3d, drawnOutside);
  EXPECT_GT(drawn, 200) << "box and figure";
  EXPECT_EQ(drawnOutside, 0);
}

}  // namespace
