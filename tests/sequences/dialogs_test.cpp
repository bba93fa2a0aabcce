// The filter and gamma dialogs and bitmap painting, on Qt's offscreen platform.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QWidget>

#include <vector>

#include "platform/events.h"
#include "sequences/dib.h"
#include "sequences/sequences_ids.h"
#include "sequences/ui/dibpaint.h"
#include "sequences/ui/filterdlg.h"
#include "sequences/ui/gammadlg.h"

namespace {

// The window that opened a dialog: counts the refresh commands it gets.
class Receiver : public QWidget {
 public:
  bool event(QEvent* e) override {
    if (auto* m = platform::AsMessage(e)) {
      if (m->message == seqid::kWmCommand && m->wParam == seqid::kCmRefreshImage) ++refreshes;
      return true;
    }
    return QWidget::event(e);
  }
  int refreshes = 0;
};

TEST(FilterDlg, ChoosingSendsRefreshAndCancelRestores) {
  Receiver window;
  CDIB dib;
  dib.filterId = seqid::kFilterMedian;
  dib.SetPaintDelay(30);
  auto* dlg = new FilterDlg(&window, dib);
  EXPECT_TRUE(dlg->ControlAs<QRadioButton>(seqid::kFilterMedian)->isChecked());
  EXPECT_EQ(dlg->ControlAs<QLineEdit>(seqid::kFilterPaintDelay)->text(), "30");
  dlg->ControlAs<QRadioButton>(seqid::kFilterPrewitt)->click();
  dlg->ControlAs<QRadioButton>(seqid::kFilterMop16)->click();
  EXPECT_EQ(dib.filterId, seqid::kFilterMop16);
  EXPECT_EQ(window.refreshes, 2);
  dlg->findChild<QPushButton*>("2")->click();  // Cancel
  EXPECT_EQ(dib.filterId, seqid::kFilterMedian);
  EXPECT_EQ(window.refreshes, 3);
  delete dlg;
}

TEST(FilterDlg, OkKeepsTheChoiceAndTakesTheDelay) {
  Receiver window;
  CDIB dib;
  auto* dlg = new FilterDlg(&window, dib);
  dlg->ControlAs<QRadioButton>(seqid::kFilterLowPass)->click();
  dlg->ControlAs<QLineEdit>(seqid::kFilterPaintDelay)->setText("120");
  dlg->findChild<QPushButton*>("1")->click();
  EXPECT_EQ(dib.filterId, seqid::kFilterLowPass);
  EXPECT_EQ(dib.PaintDelay(), 120);
  delete dlg;
}

TEST(GammaDialog, ScrollBarsSetFactorsLive) {
  Receiver window;
  CDIB dib;
  dib.SetGamma(1.0, 1.0, 1.0, false);
  GammaDialog dlg(&window, dib, nullptr);
  EXPECT_TRUE(dlg.ControlAs<QCheckBox>(seqid::kGammaKeepTogether)->isChecked());
  EXPECT_EQ(dlg.ControlAs<QLabel>(seqid::kGammaRedText)->text(), "1.00");
  auto* green = dlg.ControlAs<QScrollBar>(seqid::kGammaGreenBar);
  EXPECT_EQ(green->minimum(), 25);
  EXPECT_EQ(green->maximum(), 200);
  green->setValue(150);
  EXPECT_EQ(dib.Gamma(), (GammaSettings{1.5, 1.5, 1.5, false}));
  EXPECT_EQ(dlg.ControlAs<QScrollBar>(seqid::kGammaBlueBar)->value(), 150);
  EXPECT_EQ(dlg.ControlAs<QLabel>(seqid::kGammaRedText)->text(), "1.50");

  dlg.ControlAs<QCheckBox>(seqid::kGammaKeepTogether)->click();  // off
  dlg.ControlAs<QScrollBar>(seqid::kGammaRedBar)->setValue(25);
  dlg.ControlAs<QCheckBox>(seqid::kGammaLinear)->click();
  EXPECT_EQ(dib.Gamma(), (GammaSettings{0.25, 1.5, 1.5, true}));
  dlg.findChild<QPushButton*>(QString::number(seqid::kGammaReset))->click();
  EXPECT_EQ(dib.Gamma(), (GammaSettings{1.0, 1.0, 1.0, true}));
  EXPECT_EQ(dlg.ControlAs<QScrollBar>(seqid::kGammaRedBar)->value(), 100);
  EXPECT_FALSE(dlg.ControlAs<QCheckBox>(seqid::kGammaKeepTogether)->isChecked());
  EXPECT_EQ(window.refreshes, 4);  // unchecking "Keep together RGB" changes no factor
}

TEST(DibPaint, ImagesAreUprightInEveryDepth) {
  CDIB colour;
  ASSERT_TRUE(colour.Create(2, 2, 24));
  // red, green, blue planes, top row first
  const std::uint8_t planes[12] = {255, 0, 0, 0, 0, 255, 0, 0, 0, 0, 0, 255};
  colour.FromPlanes(planes);
  QImage c = DibToQImage(colour);
  EXPECT_EQ(c.pixel(0, 0), qRgb(255, 0, 0));
  EXPECT_EQ(c.pixel(1, 0), qRgb(0, 255, 0));
  EXPECT_EQ(c.pixel(1, 1), qRgb(0, 0, 255));
  EXPECT_EQ(c.pixel(0, 1), qRgb(0, 0, 0));

  CDIB grey;
  ASSERT_TRUE(grey.Create(3, 2, 8));
  grey.Bits()[4] = 200;  // first pixel of the stored second row: the top row
  grey.SetColorTableEntry(200, {10, 20, 30, 0});
  QImage g = DibToQImage(grey);
  EXPECT_EQ(g.pixel(0, 0), qRgb(10, 20, 30));
  EXPECT_EQ(g.pixel(0, 1), qRgb(0, 0, 0));

  QImage target(4, 4, QImage::Format_RGB32);
  target.fill(Qt::white);
  QPainter painter(&target);
  EXPECT_TRUE(PaintDib(painter, colour, QRect(0, 0, 4, 4), QRect(0, 0, 2, 2), true));
  CDIB empty;
  EXPECT_FALSE(PaintDib(painter, empty, QRect(0, 0, 4, 4), QRect(0, 0, 2, 2), true));
  painter.end();
  EXPECT_EQ(target.pixel(0, 0), qRgb(255, 0, 0));
  EXPECT_EQ(target.pixel(3, 3), qRgb(0, 0, 255));
}

}  // namespace
