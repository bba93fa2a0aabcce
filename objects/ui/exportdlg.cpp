#include "objects/ui/exportdlg.h"

#include <QGroupBox>

#include "base/document.h"
#include "objects/ui/objeditor.h"
#include "platform/message_service.h"
#include "sequences/framesequence.h"

namespace {

using platform::ControlKind;
using D = SequenceExportDialog;

constexpr int kExport = 20539, kGroup = 20540;
constexpr int kHelpContext = 35009;

const platform::ControlSpec kControls[] = {
    {kGroup, ControlKind::kGroupBox, "Object in Image Sequence", 0, 0, 8, 3},
    {0, ControlKind::kLabel, "Object Name", 1, 0},
    {0, ControlKind::kLabel, "File Name", 1, 2},
    {D::kList, ControlKind::kListBox, "", 2, 0, 6, 2},
    {D::kFirstName + 0, ControlKind::kEdit, "", 2, 2},
    {D::kFirstName + 1, ControlKind::kEdit, "", 3, 2},
    {D::kFirstName + 2, ControlKind::kEdit, "", 4, 2},
    {D::kFirstName + 3, ControlKind::kEdit, "", 5, 2},
    {D::kFirstName + 4, ControlKind::kEdit, "", 6, 2},
    {D::kFirstName + 5, ControlKind::kEdit, "", 7, 2},
    {0, ControlKind::kLabel, "Folder:", 8, 0},
    {D::kFolder, ControlKind::kLabel, "", 8, 1, 1, 2},
    {D::kChange, ControlKind::kPushButton, "&Change...", 9, 0},
    {D::kTextFormat, ControlKind::kPushButton, "&Text Format ...", 9, 1},
    {kExport, ControlKind::kPushButton, "&Export", 9, 2},
    {platform::kIdCancel, ControlKind::kPushButton, "Close"},
    {platform::kIdHelp, ControlKind::kPushButton, "Help"},
};

}  // namespace

ObjectExport::ObjectExport(QWidget* parent, Document& doc, FrameSequence& video)
    : SequenceExportDialog(parent, "Export Object Sequences", kControls, ascii::ExportList(doc),
                           QString::fromStdString(video.GetFileName().Dir()),
                           new SequenceRowDelegate(doc, nullptr, false)),
      video_(video) {
  SetHelpContext(kHelpContext);
  ControlAs<QGroupBox>(kGroup)->setTitle("Object in Image Sequence " +
                                         QString::fromStdString(video.GetFileName().NameExt()));
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
