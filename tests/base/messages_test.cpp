#include "base/messages.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include "base/ui/messagedlg.h"

namespace {

// Caption 20010 "Error" and 20011 "Question" are string-table texts; they serve as caption and
// as a format here.
TEST(MessageDialogs, FormatAnyLengthAndReturnTheAnswer) {
  platform::RecordingMessageService messages;
  messages.answers = {platform::kIdNo};
  EXPECT_EQ(ErrorMessage(20011, 20010), platform::kIdOk);
  EXPECT_EQ(QuestionMessage(20010, 20011), platform::kIdNo);
  EXPECT_EQ(QuestionMessage(20010, 20011), platform::kIdCancel);
  ASSERT_EQ(messages.shown.size(), 3u);
  EXPECT_EQ(messages.shown[0].kind, platform::MessageKind::kError);
  EXPECT_EQ(messages.shown[0].caption, "Question");
  EXPECT_EQ(messages.shown[0].text, "Error");
  EXPECT_EQ(messages.shown[1].kind, platform::MessageKind::kQuestion);
}

int RunDialog(MessageDlg& dialog, std::function<void()> action) {
  QTimer::singleShot(0, &dialog, action);
  return dialog.Execute();
}

TEST(MessageDialogs, QuestionDialogAnswersYesNoAndCancelOnEsc) {
  const QString text = "File: " + QString(1000, 'x') + "\n\nsecond line";
  MessageDlg question("Caption", text, 20011, nullptr);
  EXPECT_EQ(question.windowTitle(), "Caption");
  EXPECT_EQ(question.ControlAs<QLabel>(20012)->text(), text);
  EXPECT_EQ(RunDialog(question, [&] { QTest::keyClick(&question, Qt::Key_Escape); }), 2);
  EXPECT_EQ(RunDialog(question, [&] { question.ControlAs<QPushButton>(6)->click(); }), 6);
  EXPECT_EQ(RunDialog(question, [&] { question.ControlAs<QPushButton>(7)->click(); }), 7);
  MessageDlg error("Caption", "text", 20010, nullptr);
  EXPECT_EQ(error.ControlAs<QPushButton>(6), nullptr);
  EXPECT_EQ(RunDialog(error, [&] { error.ControlAs<QPushButton>(1)->click(); }), 1);
}

}  // namespace
