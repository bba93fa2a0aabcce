#include "base/ui/messagedlg.h"

#include <QApplication>
#include <QLabel>
#include <QStyle>

#include "base/app_ids.h"

namespace {

using platform::ControlKind;
using platform::ControlSpec;

const ControlSpec kErrorControls[] = {
    {ids::kErrorPicture, ControlKind::kPicture, "", 0, 0},
    {ids::kMessageText, ControlKind::kLabel, "", 0, 1},
    {1, ControlKind::kDefPushButton, "OK"},
};

const ControlSpec kQuestionControls[] = {
    {ids::kQuestionPicture, ControlKind::kPicture, "", 0, 0},
    {ids::kMessageText, ControlKind::kLabel, "", 0, 1},
    {6, ControlKind::kDefPushButton, "Yes"},
    {7, ControlKind::kPushButton, "No"},
    {2, ControlKind::kPushButton, "Cancel"},
};

std::span<const ControlSpec> ControlsOf(int resourceId) {
  if (resourceId == ids::kQuestionDialog) return kQuestionControls;
  return kErrorControls;
}

QWidget* MainWindow() {
  return qobject_cast<QApplication*>(QCoreApplication::instance()) ? QApplication::activeWindow()
                                                                   : nullptr;
}

}  // namespace

MessageDlg::MessageDlg(const QString& caption, const QString& text, int resourceId, QWidget* parent)
    : TableDialog(parent ? parent : MainWindow(), caption, ControlsOf(resourceId)) {
  auto* label = ControlAs<QLabel>(ids::kMessageText);
  label->setText(text);
  label->setAlignment(Qt::AlignCenter);
  label->setTextFormat(Qt::PlainText);
  bool question = resourceId == ids::kQuestionDialog;
  auto* picture = ControlAs<QLabel>(question ? ids::kQuestionPicture : ids::kErrorPicture);
  QStyle::StandardPixmap icon =
      question ? QStyle::SP_MessageBoxQuestion : QStyle::SP_MessageBoxWarning;
  picture->setPixmap(style()->standardIcon(icon).pixmap(32, 32));
}

int DialogMessageService::Show(platform::MessageKind kind, const std::string& caption,
                               const std::string& text) {
  QApplication::beep();
  bool question = kind == platform::MessageKind::kQuestion;
  MessageDlg dialog(QString::fromStdString(caption), QString::fromStdString(text),
                    question ? ids::kQuestionDialog : ids::kErrorDialog, nullptr);
  return dialog.Execute();
}
