#include "objects/ui/panelbase.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>

#include "base/document.h"
#include "objects/colordescr.h"
#include "objects/ui/qtcanvas.h"
#include "sequences/framesequence.h"

namespace panel {
namespace {

using platform::ControlKind;

constexpr platform::ControlSpec kPages[] = {
    {kObjectsPage, ControlKind::kPushButton, "Objekte", 0, 0},
    {kTemplatesPage, ControlKind::kPushButton, "Templates", 0, 1},
    {kConnectionsPage, ControlKind::kPushButton, "Verbindungen", 0, 2},
    {kPositionPage, ControlKind::kPushButton, "Position", 1, 0},
    {kClosePage, ControlKind::kPushButton, "Schließen", 1, 2},
};

constexpr int kItemHeight = 15;
constexpr int kMarkerX = 10, kMarkerY = 7;

}  // namespace

std::vector<platform::ControlSpec> WithPageButtons(std::span<const platform::ControlSpec> own) {
  std::vector<platform::ControlSpec> all(std::begin(kPages), std::end(kPages));
  all.insert(all.end(), own.begin(), own.end());
  return all;
}

}  // namespace panel

ObjectPanelBase::ObjectPanelBase(Document& doc, QWidget* parent, const QString& caption,
                                 std::span<const platform::ControlSpec> own, int ownPage)
    : platform::TableDialog(parent, caption, panel::WithPageButtons(own)), doc_(doc) {
  if (auto* own = ControlAs<QPushButton>(ownPage)) own->setEnabled(false);
  setWindowFlags(Qt::Widget);
}

void ObjectPanelBase::FocusView() const {
  FrameSequence* active = doc_.GetActiveFrameSequence();
  if (auto* view = active ? qobject_cast<QWidget*>(active->view.data()) : nullptr) view->setFocus();
}

namespace {
bool IsEnterOrEsc(const QKeyEvent* key) {
  return key->key() == Qt::Key_Escape || key->key() == Qt::Key_Return ||
         key->key() == Qt::Key_Enter;
}
}  // namespace

bool ObjectPanelBase::event(QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (IsEnterOrEsc(key) || key->key() == Qt::Key_Delete) {
      key->accept();
      return true;
    }
  }
  return platform::TableDialog::event(event);
}

void ObjectPanelBase::keyPressEvent(QKeyEvent* event) {
  if (!IsEnterOrEsc(event)) return platform::TableDialog::keyPressEvent(event);
  event->accept();
  FocusView();
}

void ObjectPanelBase::OnCommand(int id) {
  switch (id) {
    case panel::kObjectsPage:
      doc_.DockObjectSequenceDlg();
      return;
    case panel::kTemplatesPage:
      doc_.DockObjectTemplateDlg();
      return;
    case panel::kConnectionsPage:
      doc_.DockConnectDlg();
      return;
    case panel::kPositionPage:
      doc_.ToggleDockPosition();
      return;
    case panel::kClosePage:
      OnPanelCommand(id);  // the panel lets go of what it holds first
      doc_.UndockDialog();
      return;
    default:
      OnPanelCommand(id);
  }
}

void MarkerDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const {
  const bool selected = option.state & QStyle::State_Selected;
  painter->fillRect(option.rect,
                    option.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
  const QVariant colour = index.data(panel::kColorRole);
  if (!colour.isValid()) return;
  const int side = index.data(panel::kSideRole).toInt();
  const ColorDescr marker(colour.toUInt(), side, side, index.data(panel::kStyleRole).toInt());
  QtCanvas canvas(*painter);
  marker.DrawMarker(canvas, option.rect.left() + panel::kMarkerX,
                    option.rect.top() + panel::kMarkerY);
}

QSize MarkerDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
  return {3 * panel::kMarkerX, panel::kItemHeight};
}
