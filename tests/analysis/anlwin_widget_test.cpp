// The analysis window and its layout on the offscreen platform: value panes switched by the
// crosshair and frame-number commands (the layout widening and narrowing by the pane), the pane
// moved to the other side, crosshairs keeping their values across zoom, a change of kind keeping
// the sequences, the dialogs' checks, and a 3D window framed through the same layout.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <array>
#include <cmath>

#include "analysis/ui/analysisframed.h"
#include "analysis/ui/anlwin.h"
#include "analysis/ui/anlwindialogs_ui.h"
#include "analysis/ui/anlwinlayout.h"
#include "analysis/ui/valuepanes.h"
#include "analysis_test_util.h"
#include "platform/message_service.h"

namespace {

constexpr int kFrames = 60;

// A document with three sequences of wavy x and y.
struct ThreeSequences : SequenceDocument {
  ThreeSequences() : SequenceDocument(kFrames) {
    for (int s = 0; s < 3; ++s) {
      std::vector<float> x(kFrames), y(kFrames);
      for (int i = 0; i < kFrames; ++i) {
        x[i] = 10.0f * i + 5.0f * s;
        y[i] = 100.0f + 30.0f * s + 20.0f * std::sin(i * 0.2f);
      }
      sequences.push_back(Make(x, y));
    }
  }
  std::vector<ResObjectSequence*> sequences;
};

class AnlWinWidgets : public ::testing::Test {
 protected:
  AnlWinLayout& Open(int kind) {
    layout_ = std::make_unique<AnlWinLayout>(nullptr, "1. Analysis / test", 1, &data_.doc, kind);
    layout_->SetupWindow();
    layout_->show();
    QApplication::processEvents();
    return *layout_;
  }
  bool Run(int id) { return layout_->DispatchCommand(id); }
  platform::CommandEnabler Ask(int id) {
    platform::CommandEnabler ce(id);
    layout_->DispatchEnabler(ce);
    return ce;
  }

  platform::RecordingMessageService messages_;
  ThreeSequences data_;
  std::unique_ptr<AnlWinLayout> layout_;
};

TEST_F(AnlWinWidgets, PanesComeAndGoWithTheirCommandsAndTheFrameFollows) {
  AnlWinLayout& l = Open(3);
  AnlWin* w = l.Window2D();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->Entries().size(), 3u);
  EXPECT_EQ(l.ShownPane(), nullptr);
  const int plain = l.width();
  ASSERT_TRUE(Run(25379));
  EXPECT_EQ(l.ShownPane(), l.CrosshairPane());
  EXPECT_EQ(l.width(), plain + l.CrosshairPane()->width());
  EXPECT_TRUE(l.CrosshairPane()->isVisible());
  // The pane stands at the right edge, the plot left of it.
  EXPECT_EQ(l.CrosshairPane()->geometry().right(), l.width() - 1);
  EXPECT_EQ(w->geometry().right() + 1, l.CrosshairPane()->x());
  ASSERT_TRUE(w->Crosshairs());
  EXPECT_TRUE(w->Crosshairs()->FirstEnabled());
  EXPECT_TRUE(w->Crosshairs()->SecondEnabled());
  EXPECT_EQ(*Ask(25379).text, "Disable Reticules");

  ASSERT_TRUE(Run(25381));
  EXPECT_EQ(l.ShownPane(), l.CombinedPane());
  EXPECT_EQ(l.width(), plain + l.CombinedPane()->width()) << "one pane for another";
  EXPECT_FALSE(l.CrosshairPane()->isVisible());
  EXPECT_TRUE(w->MarkerShown());
  data_.doc.currentFrame = 1;
  w->GoToFrame(31);
  auto* time = l.CombinedPane()->findChild<QLabel*>("23250");
  ASSERT_NE(time, nullptr);
  // In frames, the default time unit, the reading is the frame number.
  EXPECT_EQ(time->text(), "31.0000");

  // The pane moves to the left and the command names the side it goes to next.
  EXPECT_EQ(*Ask(25385).text, "Position Data Left");
  ASSERT_TRUE(Run(25385));
  EXPECT_EQ(l.CombinedPane()->x(), 0);
  EXPECT_EQ(w->x(), l.CombinedPane()->width());
  EXPECT_EQ(*Ask(25385).text, "Position Data Right");

  ASSERT_TRUE(Run(25379));
  ASSERT_TRUE(Run(25381));
  EXPECT_EQ(l.ShownPane(), nullptr);
  EXPECT_EQ(l.width(), plain);
  // After switching the crosshairs off the old position can come back.
  EXPECT_TRUE(Ask(25380).enabled);
  EXPECT_TRUE(messages_.shown.empty()) << messages_.shown[0].text;
}

// Every value text fits its pane: four decimals above 1000, five, and differences of large
// values of either sign.
TEST_F(AnlWinWidgets, ValuePanesAreWideEnoughForTheirNumbers) {
  const std::array<float, 4> cases[] = {{3809.4736f, 12.5f, 1.0f, 2.0f},
                                        {-3809.4736f, -1500.25f, 2500.5f, 9999.5f},
                                        {-99999.99f, 1.0f, 99999.99f, -1.0f},
                                        {-9999999.0f, -0.0001f, 9999999.0f, 1.0f}};
  FadenkreuzeDB crosshairs(nullptr);
  FadenkreuzeBarDB combined(nullptr);
  BarDB bar(nullptr);
  for (ValuePane* pane : std::initializer_list<ValuePane*>{&crosshairs, &combined, &bar}) {
    pane->resize(pane->width(), 300);
    pane->show();
    for (const auto& [a1, b1, a2, b2] : cases) {
      pane->ShowValues(a1, b1, a2, b2);
      pane->ShowReading(a1, b1);
      pane->SetMode(2);
      QApplication::processEvents();
      for (QLabel* label : pane->findChildren<QLabel*>()) {
        if (label->objectName().isEmpty() || label->isHidden()) continue;
        EXPECT_GE(label->contentsRect().width(),
                  label->fontMetrics().horizontalAdvance(label->text()))
            << label->text().toStdString();
        EXPECT_LE(label->geometry().right(), pane->contentsRect().right());
      }
    }
  }
}

TEST_F(AnlWinWidgets, CrosshairsKeepTheirValuesAcrossZoomAndFit) {
  AnlWinLayout& l = Open(0);
  AnlWin* w = l.Window2D();
  ASSERT_TRUE(Run(25383));
  Fadenkreuze* f = w->Crosshairs();
  ASSERT_TRUE(f && f->FirstEnabled());
  const auto& a = w->Axes();
  const float t = a.PixelToValueX(f->First().x), v = a.PixelToValueY(f->First().y);
  EXPECT_FALSE(Ask(24368).enabled) << "zoom in is greyed while the plot fits";
  ASSERT_TRUE(Run(24370));
  EXPECT_FALSE(w->FitToWindow());
  ASSERT_TRUE(Ask(24368).enabled);
  const float before = std::fabs(a.xScale);
  ASSERT_TRUE(Run(24368));
  EXPECT_FLOAT_EQ(std::fabs(a.xScale), 2 * before);
  EXPECT_NEAR(a.PixelToValueX(f->First().x), t, 0.01);
  EXPECT_NEAR(a.PixelToValueY(f->First().y), v, 0.01);
  ASSERT_TRUE(Run(24369));
  ASSERT_TRUE(Run(24370));
  EXPECT_NEAR(a.PixelToValueX(f->First().x), t, 0.01);
  EXPECT_NEAR(a.PixelToValueY(f->First().y), v, 0.01);
  // The pane shows the first crosshair's abscissa in display units.
  auto* first = l.CrosshairPane()->findChild<QLabel*>("23236");
  ASSERT_NE(first, nullptr);
  EXPECT_FALSE(first->isHidden());
  EXPECT_NEAR(first->text().toDouble(), w->Units().FrameToTime(t), 0.01);
}

TEST_F(AnlWinWidgets, AChangeOfKindKeepsTheSequencesAndTheirOrder) {
  AnlWinLayout& l = Open(0);
  AnlWin* w = l.Window2D();
  // Without the first sequence: later ones keep their places.
  w->RemoveObjectSequence(data_.sequences[0]);
  w->AddObjectSequence(data_.sequences[0]);
  std::vector<ResObjectSequence*> order;
  for (const auto& e : w->Entries()) order.push_back(e->Sequence());
  w->SetKind(9);
  EXPECT_EQ(w->Units().abscissaKind, AnlWinUnits::kAbscissaX);
  ASSERT_EQ(w->Entries().size(), order.size());
  for (std::size_t i = 0; i < order.size(); ++i) EXPECT_EQ(w->Entries()[i]->Sequence(), order[i]);
  EXPECT_TRUE(Ask(25371).enabled) << "y over x can still be smoothed";
  w->SetKind(15);
  EXPECT_FALSE(Ask(25372).enabled);
  EXPECT_TRUE(Ask(25377).enabled);
}

TEST_F(AnlWinWidgets, AWindowWithoutSequencesPaintsItsBackgroundOnly) {
  SequenceDocument empty(10);
  AnlWin w(nullptr, "1. Analysis / empty", 1, &empty.doc, 0);
  w.resize(300, 200);
  w.SetPaintingAllowed(true);
  w.show();
  w.SetupWindow();
  const QImage picture = w.grab().toImage();
  for (int y = 0; y < picture.height(); y += 7)
    for (int x = 0; x < picture.width(); x += 7)
      ASSERT_EQ(picture.pixelColor(x, y), QColor(Qt::white)) << x << "," << y;
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(AnlWinWidgets, WindowPictureWithCurvesAxesAndCrosshairs) {
  AnlWinLayout& l = Open(3);
  l.resize(900, 500);
  Run(25379);
  Run(25381);
  l.Window2D()->GoToFrame(20);
  QApplication::processEvents();
  const QImage picture = l.grab().toImage();
  ASSERT_TRUE(picture.save(QString(ZORVAT_BUILD_DIR) + "/analysis_window_panes.png"));
  // Each sequence's colour is on the picture.
  for (const auto& e : l.Window2D()->Entries()) {
    const ColorValue c = e->OwnColor();
    const QColor want(RedOf(c), GreenOf(c), BlueOf(c));
    int n = 0;
    for (int y = 0; y < picture.height(); ++y)
      for (int x = 0; x < picture.width(); ++x) n += picture.pixelColor(x, y) == want;
    EXPECT_GT(n, 50);
  }
}

// Answers the next modal dialog with f once it shows.
void WhenDialogShows(std::function<void(QWidget*)> f) {
  QTimer::singleShot(0, [f] {
    QWidget* d = QApplication::activeModalWidget();
    if (d)
      f(d);
    else
      WhenDialogShows(f);
  });
}

TEST_F(AnlWinWidgets, DialogFieldsAreCheckedOnOkAndCancelKeepsTheRecord) {
  DisplayStyleTransfer t;
  t.verticalFactor = "2.5";
  t.horizontalFactor = "1.0";
  t.fit = false;
  t.style = {1, 0, true, false};
  bool refused = false;
  WhenDialogShows([&](QWidget* d) {
    d->findChild<QLineEdit*>("22304")->setText("1e5");
    d->findChild<QPushButton*>("1")->click();
    refused = d->isVisible();
    // The palette changes the style at once; Cancel drops it.
    d->findChild<QPushButton*>("23214")->click();
    if (QWidget* palette = d->findChild<QWidget*>("LinienAngeben"))
      if (auto* b = palette->findChild<QAbstractButton*>("22202")) b->click();
    d->findChild<QPushButton*>("2")->click();
  });
  EXPECT_FALSE(RunDisplayStyleDialog(nullptr, t, 0));
  EXPECT_TRUE(refused);
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].text, "Enter a real number. Use a dot as hyphen.");
  EXPECT_EQ(t.style, (CurveStyleValues{1, 0, true, false}));
  EXPECT_EQ(t.verticalFactor, "2.5");

  WhenDialogShows([&](QWidget* d) {
    d->findChild<QLineEdit*>("22306")->setText("12");
    d->findChild<QPushButton*>("1")->click();
  });
  EXPECT_EQ(RunOrderDialog(nullptr, 5), 12);

  CoordinateTransfer c;
  c.Mark(29);
  WhenDialogShows([&](QWidget* d) {
    int checked = 0;
    for (auto* r : d->findChildren<QRadioButton*>()) checked += r->isChecked();
    EXPECT_EQ(checked, 0) << "a centre-of-mass window marks no button";
    d->findChild<QRadioButton*>("23203")->setChecked(true);
    d->findChild<QPushButton*>("1")->click();
  });
  ASSERT_TRUE(RunCoordinatesDialog(nullptr, c));
  EXPECT_EQ(c.Chosen(), 5);
}

// A stand-in for the 3D window: what a layout needs of it.
class Fake3D : public QWidget, public AnalysisFramed {
 public:
  Fake3D(QWidget* parent, Document* doc)
      : QWidget(parent), doc_(doc), pane_(new QLabel("angles")) {}
  QWidget* Widget() override { return this; }
  bool Is3D() const override { return true; }
  void RebuildCurves(int) override { ++rebuilds; }
  void GoToFrame(int frame) override { this->frame = frame; }
  bool ShowsDocument(const Document& d) const override { return &d == doc_; }
  QWidget* FixedPane() override { return pane_; }
  int rebuilds = 0;
  int frame = 0;

 private:
  Document* doc_;
  QLabel* pane_;
};

TEST_F(AnlWinWidgets, AThreeDWindowIsFramedThroughTheSameLayout) {
  EXPECT_EQ(AnlWinLayout::Create3D(nullptr, "t", 1, &data_.doc), nullptr) << "no maker yet";
  Fake3D* made = nullptr;
  AnlWinLayout::SetStickFigureFactory([&](QWidget* parent, const std::string&, int, Document* d) {
    made = new Fake3D(parent, d);
    return made;
  });
  layout_.reset(AnlWinLayout::Create3D(nullptr, "1. Analysis / 3D", 1, &data_.doc));
  AnlWinLayout::SetStickFigureFactory(nullptr);
  ASSERT_NE(layout_, nullptr);
  layout_->SetupWindow();
  EXPECT_TRUE(layout_->Is3D());
  EXPECT_EQ(layout_->ShownPane(), made->FixedPane());
  for (int id : {25371, 25372, 25377, 25378, 25379, 25381, 24370, 24368})
    EXPECT_FALSE(Ask(id).enabled) << id;
  EXPECT_EQ(*Ask(25385).text, "Angle of rotation data left");
  EXPECT_TRUE(layout_->ShowsDocument(data_.doc));
  SequenceDocument other(5);
  EXPECT_FALSE(layout_->ShowsDocument(other.doc));
  layout_->GoToFrame(7);
  layout_->RebuildCurves(7, 0);
  EXPECT_EQ(made->frame, 7);
  EXPECT_EQ(made->rebuilds, 1);
}

}  // namespace

namespace {

void Mouse(QWidget* viewport, QEvent::Type type, QPoint at, Qt::MouseButton button) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
  QMouseEvent e(type, at, viewport->mapToGlobal(at),
                type == QEvent::MouseMove ? Qt::NoButton : button, held, {});
  QCoreApplication::sendEvent(viewport, &e);
}

QPoint Pixel(FloatPoint p) { return {static_cast<int>(p.x), static_cast<int>(p.y)}; }

TEST_F(AnlWinWidgets, DraggingACrosshairUpdatesItsPaneAndStopsAtTheWindowEdge) {
  AnlWinLayout& l = Open(3);
  AnlWin* w = l.Window2D();
  ASSERT_TRUE(Run(25379));
  Fadenkreuze* f = w->Crosshairs();
  QWidget* v = w->viewport();
  const QPoint start = Pixel(f->First());
  Mouse(v, QEvent::MouseButtonPress, start, Qt::LeftButton);
  EXPECT_TRUE(f->FirstSelected());
  Mouse(v, QEvent::MouseMove, start + QPoint(-60, 40), Qt::LeftButton);
  EXPECT_EQ(Pixel(f->First()), start + QPoint(-60, 40));
  auto* abscissa = l.CrosshairPane()->findChild<QLabel*>("23236");
  const float t = w->Units().FrameToTime(w->Axes().PixelToValueX(f->First().x));
  EXPECT_EQ(abscissa->text().toStdString(), FormatPaneValue(t, 4));
  EXPECT_TRUE(abscissa->isEnabled());
  // Dragged beyond the window the crosshair stays inside it; outside the plot it shows nothing.
  Mouse(v, QEvent::MouseMove, QPoint(-300, -300), Qt::LeftButton);
  EXPECT_EQ(f->First(), (FloatPoint{8, 8}));
  EXPECT_TRUE(abscissa->isHidden());
  Mouse(v, QEvent::MouseButtonRelease, QPoint(-300, -300), Qt::LeftButton);
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(AnlWinWidgets, AClickSelectsACurveAndTheRightButtonDragChangesTheStyle) {
  AnlWinLayout& l = Open(3);
  AnlWin* w = l.Window2D();
  const AnlWinObjectSequence& second = *w->Entries()[1];
  const float* y = second.SelectArray(3);
  const int frame = 30;
  const QPoint on(static_cast<int>(w->Axes().ValueToPixelX(frame)),
                  static_cast<int>(w->Axes().ValueToPixelY(y[frame - 1])));
  Mouse(w->viewport(), QEvent::MouseButtonPress, on, Qt::LeftButton);
  Mouse(w->viewport(), QEvent::MouseButtonRelease, on, Qt::LeftButton);
  ASSERT_TRUE(w->HasSelection());
  EXPECT_EQ(second.DrawingColor(), kHighlightColor);
  const QImage picture = w->grab().toImage();
  EXPECT_EQ(picture.pixelColor(on), QColor(255, 0, 0)) << "the selected curve is drawn on top";
  // A style command sets the selected curve's style only.
  ASSERT_TRUE(Run(22202));
  EXPECT_EQ(second.PenWidth(), 4u);
  EXPECT_EQ(w->Entries()[0]->PenWidth(), 1u);

  // Armed, the right button dragged downwards thins the lines of all curves into points.
  ASSERT_TRUE(Run(22213));
  const QPoint at(200, 150);
  Mouse(w->viewport(), QEvent::MouseButtonPress, at, Qt::RightButton);
  Mouse(w->viewport(), QEvent::MouseMove, at + QPoint(0, 15), Qt::RightButton);
  Mouse(w->viewport(), QEvent::MouseButtonRelease, at + QPoint(0, 15), Qt::RightButton);
  EXPECT_FALSE(w->CurveStyle().connect);
  EXPECT_FALSE(w->Entries()[0]->Connect());
  EXPECT_EQ(second.PenWidth(), 4u) << "a curve with a style of its own keeps it";
}

// The frame pane reads the selected curve at the current frame: a change of quantity reads the
// new one at once, and once the selected sequence is gone the pane shows the time alone.
TEST_F(AnlWinWidgets, TheFramePaneFollowsAChangeOfQuantityAndADeletedSequence) {
  AnlWinLayout& l = Open(quantity::kY);
  AnlWin* w = l.Window2D();
  ASSERT_TRUE(Run(anlcmd::kFrameNumbers));
  ASSERT_EQ(l.ShownPane(), l.FramePane());
  const int frame = 30;
  data_.doc.currentFrame = frame;
  w->GoToFrame(frame);
  const AnlWinObjectSequence& second = *w->Entries()[1];
  const QPoint on(
      static_cast<int>(w->Axes().ValueToPixelX(frame)),
      static_cast<int>(w->Axes().ValueToPixelY(second.SelectArray(quantity::kY)[frame - 1])));
  ASSERT_TRUE(w->SelectAt(on));
  auto* value = l.FramePane()->findChild<QLabel*>("23243");
  ASSERT_NE(value, nullptr);
  auto shown = [&](int kind) {
    return w->Units().OrdinateToUnit(w->Entries()[1]->SelectArray(kind)[frame - 1]);
  };
  auto decimals = [&](float v) { return PaneDecimals({static_cast<float>(frame), v}); };
  const float position = shown(quantity::kY);
  EXPECT_FALSE(value->isHidden());
  EXPECT_EQ(value->text().toStdString(), FormatPaneValue(position, decimals(position)));

  // A window computes the series of its own quantity only.
  w->SetKind(quantity::kY1);
  ASSERT_NE(shown(quantity::kY1), position);
  EXPECT_EQ(value->text().toStdString(),
            FormatPaneValue(shown(quantity::kY1), decimals(shown(quantity::kY1))));

  w->RemoveObjectSequence(data_.sequences[1]);
  EXPECT_TRUE(value->isHidden()) << "no value of a sequence that is gone";
  EXPECT_FALSE(l.FramePane()->findChild<QLabel*>("23242")->isHidden());
}

TEST_F(AnlWinWidgets, APrintoutHasNoMarkerAndNoSelection) {
  AnlWinLayout& l = Open(3);
  AnlWin* w = l.Window2D();
  ASSERT_TRUE(Run(25381));
  w->GoToFrame(25);
  ASSERT_TRUE(w->MarkerX());
  const int x = *w->MarkerX();
  QImage screen = w->grab().toImage();
  QImage page(w->ScreenSize(), QImage::Format_RGB32);
  page.fill(Qt::white);
  {
    QPainter painter(&page);
    w->PaintTo(painter, page.rect(), true);
  }
  const QColor grey(128, 128, 128);
  int screenGrey = 0, pageGrey = 0;
  for (int y = 0; y < page.height(); ++y) {
    screenGrey += screen.pixelColor(x, y) == grey;
    pageGrey += page.pixelColor(x, y) == grey;
  }
  EXPECT_GT(screenGrey, page.height() / 2);
  EXPECT_LT(pageGrey, 10);
}

TEST_F(AnlWinWidgets, NothingToDrawIsReportedOnceUntilSomethingCanBeDrawn) {
  SequenceDocument d(20);
  ResObjectSequence* s = d.Make(std::vector<float>(20, M));
  AnlWin w(nullptr, "1. Analysis / empty", 1, &d.doc, 0);
  w.resize(400, 300);
  w.SetPaintingAllowed(true);
  w.show();
  w.SetupWindow();
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(
      messages_.shown[0].text.rfind("1. Analysis / empty\nSequences can not be displayed.", 0), 0u);
  w.RebuildCurves(1);
  EXPECT_EQ(messages_.shown.size(), 1u) << "once: " << messages_.shown.back().text;
  for (int f = 1; f <= 20; ++f) s->AddPoint(f, 3.0f * f, 2.0f * f, 0.0f);
  w.RebuildCurves(1);
  EXPECT_EQ(messages_.shown.size(), 1u);
  EXPECT_GT(w.Axes().yMax, w.Axes().yMin);
  for (int f = 1; f <= 20; ++f) s->RemoveObject(f);
  w.RebuildCurves(1);
  EXPECT_EQ(messages_.shown.size(), 2u) << "the message comes again";
}

TEST_F(AnlWinWidgets, ApproximationAndGapFillingWriteIntoTheSequences) {
  AnlWinLayout& l = Open(0);
  AnlWin* w = l.Window2D();
  ResObjectSequence* s = data_.sequences[1];
  // A gap of five frames in the middle.
  for (int f = 28; f <= 32; ++f) s->RemoveObject(f);
  w->RebuildCurves(1);
  ASSERT_EQ(s->ItemAt(30), nullptr);
  w->OnInterpolateGaps();
  ASSERT_NE(s->ItemAt(30), nullptr);
  // x rises by 10 a frame: the filled value lies between its neighbours.
  EXPECT_GT(s->ItemAt(30)->x, s->ItemAt(27)->x);
  EXPECT_LT(s->ItemAt(30)->x, s->ItemAt(33)->x);
  // A straight line is its own first-order polynomial; y's wave is not.
  const float y10 = s->ItemAt(10)->y, x10 = s->ItemAt(10)->x;
  w->Approximate(1);
  EXPECT_NEAR(s->ItemAt(10)->x, x10, 0.5);
  EXPECT_NE(s->ItemAt(10)->y, y10);
  EXPECT_TRUE(messages_.shown.empty()) << messages_.shown[0].text;
}

}  // namespace
