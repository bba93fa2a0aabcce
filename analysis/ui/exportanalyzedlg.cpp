#include "analysis/ui/exportanalyzedlg.h"

#include <QListWidget>
#include <QPushButton>
#include <QStyle>

#include "analysis/analysis_ids.h"
#include "analysis/export/analysisexport.h"
#include "base/application.h"
#include "base/document.h"
#include "base/filename.h"
#include "base/unitsorigin.h"
#include "objects/objects_ids.h"
#include "objects/resobjseq.h"
#include "objects/ui/objeditor.h"
#include "platform/message_service.h"
#include "platform/strings.h"
#include "sequences/framesequence.h"

namespace {

using platform::ControlKind;
using D = SequenceExportDialog;
using E = ExportAnalyzeData;

const std::vector<platform::ControlSpec> kControls = D::WithSharedControls(
    3, {
           {0, ControlKind::kGroupBox, "Data to be exported", 0, 3, 8, 1},
           {E::kQuantities, ControlKind::kListBox, "", 1, 3, 6, 1},
           {E::kAllData, ControlKind::kPushButton, "All Data", 7, 3},
           {E::kExport, ControlKind::kPushButton, "Export", 9, 2},
           {platform::kIdCancel, ControlKind::kPushButton, "Close"},
           {platform::kIdHelp, ControlKind::kPushButton, "Help"},
       });

std::vector<ResObjectSequence*> Offered(Document& doc) {
  std::vector<ResObjectSequence*> rows;
  for (const ascii::ExportItem& item : analysis_export::ExportList(doc)) rows.push_back(item.sequence);
  return rows;
}

QString StartFolder(Document& doc, FrameSequence* video) {
  return QString::fromStdString(video ? video->GetFileName().Dir() : doc.DocumentName().Dir());
}

}  // namespace

ExportAnalyzeData::ExportAnalyzeData(QWidget* parent, Document& doc, FrameSequence* video)
    : SequenceExportDialog(parent, "Export Analysis Data", kControls,
                           analysis_export::ExportList(doc), StartFolder(doc, video),
                           new SequenceRowDelegate([&doc] { return Offered(doc); }, nullptr)),
      doc_(doc) {
  SetHelpContext(kHelpContext);
  if (video) ShowVideoName(video->GetFileName().NameExt());
  QListWidget* quantities = QuantityList();
  quantities->setSelectionMode(QAbstractItemView::MultiSelection);
  const int offered = analysis_export::OfferedQuantities(doc, ObjectModelLibrary() != nullptr);
  for (int code = 0; code < offered; ++code) {
    auto* item = new QListWidgetItem(
        "  " + QString::fromUtf8(platform::LoadString(analysis_ids::kFirstQuantityCaption + code)),
        quantities);
    item->setData(Qt::UserRole, code);
  }
  // Wide enough for the longest entry beside the scroll bar.
  quantities->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  quantities->setMinimumWidth(quantities->sizeHintForColumn(0) + 2 * quantities->frameWidth() +
                              quantities->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 4);
  connect(quantities, &QListWidget::itemSelectionChanged, this, [this] { EnableExport(); });
  EnableExport();
}

QListWidget* ExportAnalyzeData::QuantityList() const { return ControlAs<QListWidget>(kQuantities); }

std::vector<int> ExportAnalyzeData::ChosenCodes() const {
  std::vector<int> codes;
  const QListWidget* list = QuantityList();
  for (int row = 0; row < list->count(); ++row)
    if (list->item(row)->isSelected()) codes.push_back(list->item(row)->data(Qt::UserRole).toInt());
  return codes;
}

void ExportAnalyzeData::EnableExport() {
  ControlAs<QPushButton>(kExport)->setEnabled(!ChosenCodes().empty());
}

bool ExportAnalyzeData::ExportNow() {
  KeepNames();
  return analysis_export::Export(doc_, Folder().toStdString(), Items(), ChosenCodes(),
                                 g_UnitsOrigin);
}

void ExportAnalyzeData::OnCommand(int id) {
  switch (id) {
    case kAllData:
      QuantityList()->selectAll();
      break;
    case kExport:
      ExportNow();
      break;
    default:
      SequenceExportDialog::OnCommand(id);
      break;
  }
}

void RunAnalysisExport(QWidget* parent, Document& doc) {
  ExportAnalyzeData(parent, doc, doc.SequenceCount() > 0 ? doc.GetActiveFrameSequence() : nullptr)
      .Execute();
}
