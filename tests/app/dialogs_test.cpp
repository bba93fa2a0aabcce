// The settings dialogs of the application frame, driven as a user would.
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include "app/ui/framespersecond.h"
#include "base/ui/defaultsdlg.h"
#include "base/ui/textformatdialog.h"
#include "base/ui/unitsorigindlg.h"
#include "common/settings_fixture.h"
#include "platform/message_service.h"
#include "platform/ui/choosers.h"

namespace {

template <class D>
int RunDialog(D& dialog, std::function<void()> action) {
  QTimer::singleShot(0, &dialog, [action] { action(); });
  return dialog.Execute();
}

void Click(platform::TableDialog& d, int id) { d.ControlAs<QAbstractButton>(id)->click(); }
void Type(platform::TableDialog& d, int id, const QString& text) {
  d.ControlAs<QLineEdit>(id)->setText(text);
}

using Dialogs = TempSettings;

TEST_F(Dialogs, TextFormatStoresOnlyAnAcceptedFormat) {
  platform::RecordingMessageService messages;
  {
    TextFormatDialog dialog(nullptr);
    EXPECT_TRUE(dialog.ControlAs<QRadioButton>(21151)->isChecked());
    EXPECT_TRUE(dialog.ControlAs<QRadioButton>(21155)->isChecked());
    EXPECT_EQ(RunDialog(dialog,
                        [&] {
                          Click(dialog, 21152);  // decimal comma
                          Click(dialog, 21156);  // comma delimiter: refused
                          Click(dialog, 1);
                          Click(dialog, 2);
                        }),
              2);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, "Usage error");
    EXPECT_EQ(messages.shown[0].text,
              "\nDecimal point and column separation can not be identical!");
  }
  EXPECT_EQ(ReadFile(profile_->FilePath()), "");  // the rejected format was not stored
  {
    TextFormatDialog dialog(nullptr);
    RunDialog(dialog, [&] {
      Click(dialog, 21152);
      Click(dialog, 21157);
      Type(dialog, 21153, "5");
      Click(dialog, 1);
    });
  }
  TextFormat stored;
  EXPECT_EQ(stored.decimal, ',');
  EXPECT_EQ(stored.delimiter, ';');
  EXPECT_EQ(stored.precision, 5);
}

TEST_F(Dialogs, FrameRateIsAboveZeroAndOnlyOkLeaves) {
  platform::RecordingMessageService messages;
  float rate = 25.0f;
  FramesPerSecondDlg dialog(nullptr, &rate, 30.0f);
  EXPECT_EQ(dialog.ControlAs<QLineEdit>(20391)->text(), "25.0000");
  EXPECT_EQ(RunDialog(dialog,
                      [&] {
                        QTest::keyClick(&dialog, Qt::Key_Escape);  // stays open
                        Type(dialog, 20391, "0");
                        Click(dialog, 1);  // refused, and the user is told why
                        EXPECT_TRUE(dialog.isVisible());
                        Type(dialog, 20391, "25.5");
                        Click(dialog, 1);
                      }),
            1);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].kind, platform::MessageKind::kError);
  EXPECT_EQ(messages.shown[0].caption, "Usage error");
  EXPECT_EQ(messages.shown[0].text, "\nThe frame rate must be a number greater than 0!");
  EXPECT_EQ(rate, 25.5f);
  float kept = 25.0f;
  EXPECT_TRUE(ParseFrameRate("", kept));
  EXPECT_EQ(kept, 25.0f);
  EXPECT_FALSE(ParseFrameRate("0.0", kept));
}

TEST_F(Dialogs, UnitsChangeOnlyOnOk) {
  UnitsOrigin units;
  {
    UnitsOriginDlg dialog(nullptr, units);
    EXPECT_TRUE(dialog.ControlAs<QRadioButton>(20151)->isChecked());
    EXPECT_TRUE(dialog.ControlAs<QCheckBox>(20158)->isChecked());
    RunDialog(dialog, [&] {
      Click(dialog, 20153);  // m
      Click(dialog, 20185);  // right bottom
      Click(dialog, 2);
    });
  }
  EXPECT_EQ(units.spaceUnit, unit::kMm);
  UnitsOriginDlg dialog(nullptr, units);
  RunDialog(dialog, [&] {
    Click(dialog, 20158);  // pixel off: views follow the space unit
    Click(dialog, 20153);
    Click(dialog, 20160);
    Click(dialog, 20164);
    Click(dialog, 20185);
    Click(dialog, 1);
  });
  EXPECT_EQ(units.spaceUnit, unit::kM);
  EXPECT_EQ(units.imageViewUnit, unit::kM);
  EXPECT_EQ(units.timeUnit, unit::kS);
  EXPECT_EQ(units.angleUnit, unit::kRadian);
  EXPECT_EQ(units.origin, kOriginRightBottom);
}

TEST_F(Dialogs, ColourMapEditorKeepsItsCountInRangeAndSaves) {
  DefaultValueStruct defaults;
  defaults.Load();
  platform::ScriptedChoosers choosers;
  choosers.colorAnswers = {QColor(1, 2, 3)};
  ColorDialog dialog(nullptr, defaults);
  EXPECT_EQ(RunDialog(dialog,
                      [&] {
                        for (int i = 0; i < 4; ++i) Click(dialog, 20114);
                        Click(dialog, 20113);  // change colour 1
                        Click(dialog, 1);
                      }),
            1);
  EXPECT_EQ(defaults.colorCount, 20);
  EXPECT_EQ(defaults.colors[0], (MapColor{1, 2, 3}));
  EXPECT_EQ(std::filesystem::file_size(defaults.colorMapPath), 60u);

  defaults.colorCount = 1;
  ColorDialog single(nullptr, defaults);
  EXPECT_FALSE(single.ControlAs<QPushButton>(20114)->isEnabled());
  RunDialog(single, [&] {
    Click(single, 20114);  // nothing to delete
    Click(single, 2);      // Cancel reloads what was saved
  });
  EXPECT_EQ(defaults.colorCount, 20);
}

TEST_F(Dialogs, PresettingsDefaultValuesThenCancelKeepsTheReset) {
  DefaultValueStruct defaults;
  defaults.Load();
  defaults.markWidth = 40;
  defaults.defaultAlgorithm = algorithm::kManual;
  ObjectSequenceDefaultsDlg dialog(nullptr, defaults);
  EXPECT_TRUE(dialog.ControlAs<QRadioButton>(20434)->isChecked());
  RunDialog(dialog, [&] {
    Click(dialog, 20360);
    EXPECT_EQ(dialog.ControlAs<QLineEdit>(20408)->text(), "7");
    Click(dialog, 2);
  });
  EXPECT_EQ(defaults.markWidth, 7);
  EXPECT_EQ(defaults.defaultAlgorithm, algorithm::kSSD);
  EXPECT_EQ(ReadFile(profile_->FilePath()).find("MarkWidth"), std::string::npos);

  ObjectSequenceDefaultsDlg again(nullptr, defaults);
  RunDialog(again, [&] {
    Type(again, 20451, "12");
    Click(again, 20432);  // cross-correlation
    Click(again, 20418);  // filled circle
    Type(again, 20461, "0.75");
    Click(again, 1);
  });
  EXPECT_EQ(defaults.templateWidth, 12);
  EXPECT_EQ(defaults.defaultAlgorithm, algorithm::kCrossCorrelation);
  EXPECT_EQ(defaults.markShape, shape::kFilledCircle);
  EXPECT_DOUBLE_EQ(defaults.tracking.thresholdCross, 0.75);
  std::string saved = ReadFile(profile_->FilePath());
  EXPECT_NE(saved.find("TemplateWidth=12\n"), std::string::npos);
  EXPECT_NE(saved.find("MarkShape=FilledCircle\n"), std::string::npos);
}

TEST(FileFilters, TableFiltersBecomeQtFilters) {
  EXPECT_EQ(platform::QtFileFilter("Color palette files (*.col)|*.col|All files (*.*)|*.*|"),
            "Color palette files (*.col);;All files (*.*)");
  EXPECT_EQ(platform::QtFileFilter("Videos|*.avi;*.mov|"), "Videos (*.avi *.mov)");
}

}  // namespace
