#include "objects/ui/objeditor.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include "base/document.h"
#include "base/ui/colorbox.h"
#include "objects/objeditstate.h"
#include "objects/resobjseq.h"
#include "objects/ui/editobjseqdlg.h"
#include "platform/message_service.h"

namespace {

using platform::ControlKind;

constexpr int kList = 20510, kAllOn = 20512, kAllOff = 20513, kFirstBox = 20520, kName = 20530,
              kColour = 20531, kEdit = 20532, kDelete = 20533, kGroup = 20540, kEditChosen = 20544;
constexpr int kEditorHelp = 35008, kRecoverHelp = 35006;
constexpr int kColourFieldLeft = 60, kColourFieldRight = 6;
constexpr int kRowHeight = 22;
const QColor kNoColour(192, 192, 192);

const platform::ControlSpec kEditorControls[] = {
    {kGroup, ControlKind::kGroupBox, "Object in Document", 0, 0, 11, 3},
    {0, ControlKind::kLabel, "Object Name", 1, 1},
    {0, ControlKind::kLabel, "Color", 1, 2},
    {kFirstBox + 0, ControlKind::kCheckBox, "", 2, 0},
    {kFirstBox + 1, ControlKind::kCheckBox, "", 3, 0},
    {kFirstBox + 2, ControlKind::kCheckBox, "", 4, 0},
    {kFirstBox + 3, ControlKind::kCheckBox, "", 5, 0},
    {kFirstBox + 4, ControlKind::kCheckBox, "", 6, 0},
    {kFirstBox + 5, ControlKind::kCheckBox, "", 7, 0},
    {kFirstBox + 6, ControlKind::kCheckBox, "", 8, 0},
    {kFirstBox + 7, ControlKind::kCheckBox, "", 9, 0},
    {kList, ControlKind::kListBox, "", 2, 1, 8, 2},
    {kAllOn, ControlKind::kPushButton, "All on", 10, 1},
    {kAllOff, ControlKind::kPushButton, "All off", 10, 2},
    {0, ControlKind::kGroupBox, "for", 0, 3, 4, 1},
    {objedit::kTracking, ControlKind::kRadioButton, "Tracking", 1, 3, 1, 1, 1},
    {objedit::kDisplay, ControlKind::kRadioButton, "Display", 2, 3, 1, 1, 1},
    {objedit::kEdit, ControlKind::kRadioButton, "Edit", 3, 3, 1, 1, 1},
    {kEditChosen, ControlKind::kPushButton, "Edit...", 4, 3},
    {0, ControlKind::kLabel, "O&bject:", 11, 0},
    {kName, ControlKind::kEdit, "", 11, 1},
    {kColour, ControlKind::kPushButton, "", 11, 2},
    {kEdit, ControlKind::kPushButton, "Edit...", 12, 1},
    {kDelete, ControlKind::kPushButton, "Delete", 12, 2},
    {platform::kIdOk, ControlKind::kDefPushButton, "Ok"},
    {platform::kIdHelp, ControlKind::kPushButton, "Help"},
};

const platform::ControlSpec kRecoverControls[] = {
    {kGroup, ControlKind::kGroupBox, "Deleted Objects in", 0, 0, 3, 2},
    {0, ControlKind::kLabel, "Object Name", 1, 0},
    {0, ControlKind::kLabel, "Color", 1, 1},
    {kList, ControlKind::kListBox, "", 2, 0, 1, 2},
    {platform::kIdOk, ControlKind::kDefPushButton, "Ok"},
    {platform::kIdHelp, ControlKind::kPushButton, "Help"},
};

QString DocumentTitle(Document& doc) {
  auto* window = qobject_cast<QWidget*>(doc.WindowObject());
  return window ? window->windowTitle() : QString::fromStdString(doc.DocumentName().NameExt());
}

QColor ToQColor(ColorValue c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }

}  // namespace

SequenceRowDelegate::SequenceRowDelegate(Document& doc, QObject* parent, bool deleted)
    : SequenceRowDelegate(
          [&doc, deleted] {
            return deleted ? objedit::DeletedSequences(doc) : objedit::LiveSequences(doc);
          },
          parent) {}

SequenceRowDelegate::SequenceRowDelegate(Rows rows, QObject* parent)
    : QStyledItemDelegate(parent), rows_(std::move(rows)) {}

void SequenceRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
  const auto rows = rows_();
  const ResObjectSequence* s =
      index.row() < static_cast<int>(rows.size()) ? rows[index.row()] : nullptr;
  const bool selected = option.state & QStyle::State_Selected;
  const QRect r = option.rect;
  painter->fillRect(r, option.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
  if (!s) return;
  painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
  const QRect text(r.left() + 11, r.top() + 1, r.width() - 11 - kColourFieldLeft, r.height() - 2);
  const std::string name = (s->flags & seqflag::kCenterOfMass ? "CM - " : "") + s->name;
  painter->drawText(text, Qt::AlignLeft | Qt::AlignBottom,
                    painter->fontMetrics().elidedText(QString::fromStdString(name),
                                                      Qt::ElideRight, text.width()));
  const QRect field(QPoint(r.right() - kColourFieldLeft, r.top() + 3),
                    QPoint(r.right() - kColourFieldRight, r.bottom() - 2));
  painter->fillRect(field, ToQColor(s->color));
  painter->setPen(option.palette.color(QPalette::WindowText));
  painter->drawRect(field);
}

QSize SequenceRowDelegate::sizeHint(const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
  const QVariant own = index.data(Qt::SizeHintRole);
  return {option.fontMetrics.horizontalAdvance("Object 0000") + kColourFieldLeft + 20,
          own.isValid() ? own.toSize().height() : kRowHeight};
}

int AlignedRowHeight(QWidget* field) {
  auto* grid =
      field->parentWidget() ? qobject_cast<QGridLayout*>(field->parentWidget()->layout()) : nullptr;
  int spacing = grid ? grid->verticalSpacing() : 0;
  if (spacing < 0) spacing = field->style()->pixelMetric(QStyle::PM_LayoutVerticalSpacing);
  field->setFixedHeight(field->sizeHint().height());
  return field->sizeHint().height() + std::max(0, spacing);
}

void FillAlignedRows(QListWidget* list, int count, int rowHeight, int visible) {
  list->clear();
  for (int i = 0; i < count; ++i) {
    auto* item = new QListWidgetItem(QString::number(i));
    item->setSizeHint(QSize(0, rowHeight));
    list->addItem(item);
  }
  list->setFixedHeight(visible * rowHeight + 2 * list->frameWidth());
}

ObjectEditor::ObjectEditor(QWidget* parent, Document& doc)
    : platform::TableDialog(parent, "Object Editor", kEditorControls),
      doc_(doc),
      mode_(objedit::kDisplay),
      list_(ControlAs<QListWidget>(kList)) {
  SetHelpContext(kEditorHelp);
  ControlAs<QGroupBox>(kGroup)->setTitle("Object in Document " + DocumentTitle(doc));
  colour_ = static_cast<ColorBox*>(ReplaceControl(kColour, new ColorBox(this, kColour)));
  connect(colour_, &QAbstractButton::clicked, this, [this] { OnCommand(kColour); });
  list_->setItemDelegate(new SequenceRowDelegate(doc, list_, false));
  list_->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  rowHeight_ = AlignedRowHeight(Box(0));
  for (int i = 0; i < objedit::kVisibleRows; ++i) {
    Box(i)->setTristate(true);
    Box(i)->setFixedHeight(Box(0)->height());
    connect(Box(i), &QCheckBox::clicked, this, [this, i] { ToggleRow(i); });
  }
  for (int id : {objedit::kTracking, objedit::kDisplay, objedit::kEdit})
    connect(ControlAs<QRadioButton>(id), &QRadioButton::clicked, this, [this, id] {
      if (id != mode_) SetMode(id);
    });
  ControlAs<QRadioButton>(mode_)->setChecked(true);
  connect(list_, &QListWidget::currentRowChanged, this, [this] { RefreshObject(); });
  connect(list_, &QListWidget::itemDoubleClicked, this, [this] { CmEditSequence(); });
  connect(list_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { RefreshChecks(); });
  Control(kName)->installEventFilter(this);
  FillList(0);
  if (list_->count() > 0) list_->setFocus();
  SetMode(mode_);
  RefreshObject();
}

QCheckBox* ObjectEditor::Box(int i) const { return ControlAs<QCheckBox>(kFirstBox + i); }

int ObjectEditor::TopRow() const {
  const QModelIndex top = list_->indexAt(QPoint(1, 1));
  return top.isValid() ? top.row() : 0;
}

void ObjectEditor::FillList(int select) {
  const auto live = objedit::LiveSequences(doc_);
  FillAlignedRows(list_, static_cast<int>(live.size()), rowHeight_, objedit::kVisibleRows);
  for (int i = 0; i < objedit::kVisibleRows; ++i)
    Box(i)->setVisible(i < static_cast<int>(live.size()));
  if (select >= 0 && select < list_->count()) list_->setCurrentRow(select);
  RefreshChecks();
}

void ObjectEditor::RefreshChecks() {
  const int top = TopRow();
  for (int i = 0; i < objedit::kVisibleRows; ++i) {
    const ResObjectSequence* s = objedit::SequenceAtRow(doc_, top + i);
    if (!s) continue;
    static const Qt::CheckState kStates[] = {Qt::Unchecked, Qt::Checked, Qt::PartiallyChecked};
    Box(i)->setCheckState(kStates[objedit::CheckState(mode_, *s)]);
  }
}

void ObjectEditor::UpdateEditButton() {
  if (mode_ == objedit::kEdit) Control(kEditChosen)->setEnabled(objedit::AnyChosen(doc_));
  if (mode_ == objedit::kDisplay) doc_.InvalidateViews();
}

void ObjectEditor::SetMode(int mode) {
  mode_ = mode;
  objedit::EnterMode(doc_, mode);
  Control(kEditChosen)->setVisible(mode == objedit::kEdit);
  Control(kEditChosen)->setEnabled(false);
  RefreshChecks();
}

void ObjectEditor::ToggleRow(int i) {
  ResObjectSequence* s = objedit::SequenceAtRow(doc_, TopRow() + i);
  if (!s) return;
  objedit::Toggle(mode_, *s);
  RefreshChecks();
  UpdateEditButton();
}

void ObjectEditor::CmAllOn() {
  objedit::AllOn(doc_);
  RefreshChecks();
  UpdateEditButton();
  doc_.InvalidateViews();
}

void ObjectEditor::CmAllOff() {
  objedit::AllOff(doc_);
  RefreshChecks();
  UpdateEditButton();
  doc_.InvalidateViews();
}

ResObjectSequence* ObjectEditor::Selected() const {
  return objedit::SequenceAtRow(doc_, list_->currentRow());
}

void ObjectEditor::RefreshObject() {
  ResObjectSequence* s = Selected();
  auto* name = ControlAs<QLineEdit>(kName);
  if (s) {
    name->setText(QString::fromStdString(s->name));
    colour_->SetColorValue(ToQColor(s->color));
    s->MakeCurrent();
    doc_.UpdateDialogs();
  } else {
    name->clear();
    colour_->SetColorValue(kNoColour);
  }
  for (int id : {kName, kColour, kEdit}) Control(id)->setEnabled(s != nullptr);
  Control(kDelete)->setEnabled(s && !s->GetModelDefaultCoord());
}

void ObjectEditor::CmEditSequence() {
  ResObjectSequence* s = Selected();
  if (!s) return;
  EditSequence(*s, this);
  list_->viewport()->update();
  RefreshChecks();
  RefreshObject();
}

void ObjectEditor::CmDelete() {
  ResObjectSequence* s = Selected();
  if (!s || !doc_.ObjectSequences()) return;
  const int row = list_->currentRow(), top = TopRow();
  doc_.ObjectSequences()->DeleteSequence(s->number);
  doc_.UpdateViews();
  const auto after = objedit::AfterDelete(row, list_->count() - 1, top);
  FillList(after.selected);
  list_->verticalScrollBar()->setValue(after.top);
  RefreshChecks();
  RefreshObject();
}

void ObjectEditor::CmEditChosen() {
  ResObjectSequence* model = objedit::FirstChosen(doc_);
  if (!model || !EditSequence(*model, this)) return;
  objedit::ApplyToChosen(doc_, *model);
  list_->viewport()->update();
  RefreshChecks();
  RefreshObject();
  doc_.UpdateViews();
}

void ObjectEditor::OnCommand(int id) {
  switch (id) {
    case kAllOn:
      CmAllOn();
      break;
    case kAllOff:
      CmAllOff();
      break;
    case kEdit:
      CmEditSequence();
      break;
    case kDelete:
      CmDelete();
      break;
    case kEditChosen:
      CmEditChosen();
      break;
    case kColour:
      if (ResObjectSequence* s = Selected(); s && colour_->SetColor(this)) {
        const QColor c = colour_->Color();
        s->SetColor(Rgb(c.red(), c.green(), c.blue()));
        s->SetModified();
        doc_.UpdateViews();
        list_->viewport()->update();
      }
      break;
    default:
      break;
  }
}

bool ObjectEditor::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut && watched == Control(kName))
    if (ResObjectSequence* s = Selected()) {
      const std::string text = ControlAs<QLineEdit>(kName)->text().toStdString();
      if (!text.empty() && text != s->name) {
        s->name = text;
        s->SetModified();
        doc_.UpdateDialogs();
      }
      list_->viewport()->update();
    }
  return platform::TableDialog::eventFilter(watched, event);
}

UndeleteDialog::UndeleteDialog(QWidget* parent, Document& doc)
    : platform::TableDialog(parent, "Recover Object Sequence", kRecoverControls),
      doc_(doc),
      list_(ControlAs<QListWidget>(kList)) {
  SetHelpContext(kRecoverHelp);
  ControlAs<QGroupBox>(kGroup)->setTitle("Deleted Objects in " + DocumentTitle(doc));
  list_->setItemDelegate(new SequenceRowDelegate(doc, list_, true));
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  const auto deleted = objedit::DeletedSequences(doc);
  for (std::size_t i = 0; i < deleted.size(); ++i) list_->addItem(QString::number(i));
  if (list_->count() > 0) list_->setCurrentRow(0);
}

bool UndeleteDialog::CanClose() {
  std::vector<int> rows;
  for (const QModelIndex& index : list_->selectionModel()->selectedRows())
    rows.push_back(index.row());
  objedit::RestoreRows(doc_, rows);
  return true;
}

void InstallUndeleteDialog(QWidget* parent) {
  SetUndeleteChooser([parent](ResObjectSequences& all) -> ResObjectSequence* {
    if (Document* doc = all.GetDocument()) UndeleteDialog(parent, *doc).Execute();
    return nullptr;  // the dialog restored what was chosen
  });
}
