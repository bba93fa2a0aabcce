#include "objects/ui/exportdlg.h"

#include "base/document.h"
#include "objects/ui/objeditor.h"
#include "platform/message_service.h"
#include "sequences/framesequence.h"

namespace {

using platform::ControlKind;
using D = SequenceExportDialog;

constexpr int kExport = 20539;
constexpr int kHelpContext = 35009;

const std::vector<platform::ControlSpec> kControls = D::WithSharedControls(
    2, {
           {kExport, ControlKind::kPushButton, "&Export", 9, 2},
           {platform::kIdCancel, ControlKind::kPushButton, "Close"},
           {platform::kIdHelp, ControlKind::kPushButton, "Help"},
       });

}  // namespace

ObjectExport::ObjectExport(QWidget* parent, Document& doc, FrameSequence& video)
    : SequenceExportDialog(parent, "Export Object Sequences", kControls, ascii::ExportList(doc),
                           QString::fromStdString(video.GetFileName().Dir()),
                           new SequenceRowDelegate(doc, nullptr, false)),
      video_(video) {
  SetHelpContext(kHelpContext);
  ShowVideoName(video.GetFileName().NameExt());
}

bool ObjectExport::ExportNow() {
  KeepNames();
  return ascii::Export(video_, Folder().toStdString(), Items());
}

void ObjectExport::OnCommand(int id) {
  if (id == kExport)
    ExportNow();
  else
    SequenceExportDialog::OnCommand(id);
}
