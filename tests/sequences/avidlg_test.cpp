#include "sequences/ui/avidlg.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>

#include "platform/message_service.h"
#include "sequences/avi_ids.h"
#include "sequences/avisequence.h"
#include "video_clips.h"

namespace {

QString Text(const platform::TableDialog& d, int id) { return d.ControlAs<QLabel>(id)->text(); }

TEST(AviPropertiesDlgTest, ChoicesRefreshTheReadOutsAndOkAppliesThem) {
  SKIP_WITHOUT_FFMPEG();
  seqtest::TempDir dir;
  std::string clip = videotest::MakeClip(dir, "clip.avi", "-c:v mjpeg", 20);
  ASSERT_FALSE(clip.empty());
  // The dialog runs when the sequence opens; the test drives it and presses OK.
  SetAviPropertiesRunner([](AviFrameSequence& seq, AviPropertiesModel& model) {
    AviPropertiesDlg dialog(nullptr, seq, model);
    EXPECT_EQ(dialog.findChild<QGroupBox*>("20201")->title().toStdString(),
              seq.GetFileName().Path());
    EXPECT_EQ(Text(dialog, aviid::kSize), "64 * 48");
    EXPECT_EQ(Text(dialog, aviid::kDepth), "24 bit");
    EXPECT_EQ(Text(dialog, aviid::kFrames), "20 (800.00 ms)");
    dialog.ControlAs<QRadioButton>(aviid::kModeAspect)->setChecked(true);
    EXPECT_EQ(Text(dialog, aviid::kSize), "32 * 24");
    EXPECT_EQ(Text(dialog, aviid::kFrames), "40 (800.00 ms)");
    EXPECT_EQ(Text(dialog, aviid::kRate), "50.000000");
    dialog.ControlAs<QScrollBar>(aviid::kPreviewBar)->setValue(5);
    EXPECT_EQ(Text(dialog, aviid::kFirstFrame), "160.00 ms  (Frame 5)");
    EXPECT_FALSE(dialog.ControlAs<QLabel>(aviid::kPreview)->pixmap().isNull());
    dialog.ControlAs<QCheckBox>(aviid::kUseStartPosition)->setChecked(true);
    dialog.ControlAs<QRadioButton>(aviid::kGreyscale)->setChecked(true);
    QTimer::singleShot(0, &dialog, [&] {
      dialog.Control(1)->metaObject()->invokeMethod(dialog.Control(1), "click");
    });
    return dialog.Execute();
  });
  AviFrameSequence seq(clip, nullptr);
  ASSERT_TRUE(seq.Open());
  SetAviPropertiesRunner(nullptr);
  EXPECT_EQ(seq.Width(), 32);
  EXPECT_EQ(seq.Height(), 24);
  EXPECT_EQ(seq.Frames(), 32);  // 2 x (20 - 4)
  EXPECT_EQ(seq.fields.startOffset, 4);
  EXPECT_FALSE(seq.IsColour());
  EXPECT_EQ(seq.FrameBitmap().BitCount(), 8);
}

TEST(AVIfpsDlgTest, ZeroRateKeepsTheDialogOpenAndSaysWhy) {
  platform::RecordingMessageService messages;
  FS_Data d;
  d.framesPerSecond = 25.0f;
  AviPropertiesModel model(d, 25.0, 24);
  AVIfpsDlg dialog(nullptr, model);
  EXPECT_EQ(dialog.ControlAs<QLabel>(aviid::kStreamRate)->text(), "25.0000");
  auto* edit = dialog.ControlAs<QLineEdit>(aviid::kRateEdit);
  EXPECT_EQ(edit->text(), "25.0000");
  edit->setText("0");
  QTimer::singleShot(0, &dialog, [&] {
    dialog.Control(1)->metaObject()->invokeMethod(dialog.Control(1), "click");
    EXPECT_TRUE(dialog.isVisible());  // refused
    edit->setText("29.97");
    dialog.Control(1)->metaObject()->invokeMethod(dialog.Control(1), "click");
  });
  EXPECT_EQ(dialog.Execute(), 1);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].caption, "Usage error");
  EXPECT_EQ(messages.shown[0].text, "\nThe frame rate must be a number greater than 0!");
  EXPECT_FLOAT_EQ(model.Rate(), 29.97f);
}

}  // namespace
