#include "objects/ui/loadversiondlg.h"

#include <QSpinBox>

#include "objects/objects_ids.h"
#include "objects/osfile.h"
#include "platform/message_service.h"
#include "platform/strings.h"

namespace {

using namespace objects_ids;
using platform::ControlKind;

QString Text(int id) { return QString::fromStdString(std::string(platform::LoadString(id))); }

}  // namespace

LoadVersionDlg::LoadVersionDlg(QWidget* parent, int highest)
    : platform::TableDialog(parent, Text(kLoadVersionCaption), [] {
        static const std::string text(platform::LoadString(kLoadVersionText));
        static const platform::ControlSpec controls[] = {
            {kLoadVersionText, ControlKind::kLabel, text.c_str(), 0, 0, 1, 3},
            {kLoadVersionLabel, ControlKind::kLabel, "", 1, 0},
            {kLoadVersionEdit, ControlKind::kEdit, "", 1, 1},
            {platform::kIdOk, ControlKind::kDefPushButton, "OK", 2, 1},
            {platform::kIdHelp, ControlKind::kPushButton, "Help", 2, 2},
        };
        return std::span<const platform::ControlSpec>(controls);
      }()) {
  SetHelpContext(kLoadVersionDialog);
  if (auto* label = Control(kLoadVersionLabel)) {
    label->setProperty("text",
                       QString::fromStdString(platform::FormatString(kLoadVersionLabel, highest)));
  }
  version_ = new QSpinBox;
  version_->setRange(0, highest);
  version_->setValue(highest);
  ReplaceControl(kLoadVersionEdit, version_);
}

int LoadVersionDlg::Version() const { return version_->value(); }

void InstallLoadVersionDialog(QWidget* parent) {
  osfile::SetVersionChooser([parent](int highest) -> std::optional<int> {
    LoadVersionDlg dialog(parent, highest);
    if (dialog.Execute() != platform::kIdOk) return std::nullopt;
    return dialog.Version();
  });
}
