#include "app/ui/mdiclient.h"

#include <QMainWindow>
#include <QMdiSubWindow>
#include <QPainter>
#include <QStyle>
#include <QToolBar>

#include "analysis/anlwinkind.h"
#include "analysis/ui/anlwin.h"
#include "analysis/ui/anlwinlayout.h"
#include "analysis/ui/stickfigureframe.h"
#include "app/resource.h"
#include "app/cascade.h"
#include "app/ui/tsmarttile.h"
#include "app/zorvatrackapp.h"
#include "base/app_ids.h"
#include "base/ui/bitmaps.h"
#include "base/ui/unitsorigindlg.h"
#include "objects/resobjseq.h"
#include "platform/strings.h"

namespace {

constexpr int kAnalysisIcon = 23400, k3DIcon = 23401;
constexpr int kCascade = 24361, kTile = 24362, kArrangeIcons = 24364, kCloseAll = 24365;
constexpr int kSmartTile = 24367, kOriginUnits = 24372, kRedockToolbar = 24373;
constexpr std::uint32_t kAnalysableMask = 0x103;

// A small plot: the picture of an analysis child.
void RegisterIcons() {
  if (bitmaps::Has(kAnalysisIcon)) return;
  bitmaps::Register(kAnalysisIcon, [](QPainter& p, bool) {
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(2, 1, 2, 14);
    p.drawLine(2, 14, 15, 14);
    p.setPen(QPen(Qt::red, 1.5));
    p.drawPolyline(QPolygonF({QPointF(3, 11), QPointF(6, 5), QPointF(9, 9), QPointF(14, 3)}));
  });
  bitmaps::Register(k3DIcon, [](QPainter& p, bool) {
    p.setPen(QPen(Qt::blue, 1.5));
    p.drawPolyline(QPolygonF({QPointF(8, 2), QPointF(8, 8), QPointF(4, 14)}));
    p.drawLine(8, 8, 12, 14);
    p.drawLine(3, 5, 13, 5);
  });
}

AnalysisDocumentState StateOf(const Resource* doc) {
  AnalysisDocumentState s;
  if (!doc) return s;
  s.present = true;
  s.hasObjectModel = doc->ModelId() != 0;
  if (const ResObjectSequences* sequences = doc->ObjectSequences())
    s.hasAnalysableSequence = SequenceIterator(*sequences, kAnalysableMask).Current() != nullptr;
  return s;
}

}  // namespace

ZorvatrackMDIClient::ZorvatrackMDIClient(QWidget* parent)
    : QMdiArea(parent), smartTile_(std::make_unique<TSmartTile>(this)) {
  // The workspace colour of the desktop behind the document windows.
  setBackground(palette().brush(QPalette::Dark));
  RegisterIcons();
  AnlWinLayout::SetStickFigureFactory(MakeStickFigureFrame);
}

ZorvatrackMDIClient::~ZorvatrackMDIClient() = default;

const platform::CommandTable& ZorvatrackMDIClient::Commands() const {
  using M = ZorvatrackMDIClient;
  static const platform::CommandEntry entries[] = {
      platform::CommandRange<&M::CmAnalysisWindow, &M::CeAnalysisWindow>(
          anlcmd::kFirstKind, anlcmd::kFirstCenterOfMass - 1),
      platform::CommandRange<&M::CmAnalysisWindow, &M::CeAnalysisWindowCM>(
          anlcmd::kFirstCenterOfMass, anlcmd::kLastKind),
      platform::Command<&M::CmAnalysisWindow, &M::CeAnalysisWindow>(anlcmd::kStickFigure),
      platform::Enabler<&M::CeNever>(anlcmd::kAlterSequences),
      platform::Command<&M::CmSmartTile, &M::CeSmartTile>(kSmartTile),
      platform::Command<&M::CmRedockToolbar, &M::CeRedockToolbar>(kRedockToolbar),
      platform::Command<&M::CmOriginUnits>(kOriginUnits),
      platform::Command<&M::CmWindowArrangement, &M::CeActiveChild>(kCascade),
      platform::Command<&M::CmWindowArrangement, &M::CeActiveChild>(kTile),
      platform::Command<&M::CmWindowArrangement, &M::CeActiveChild>(kArrangeIcons),
      platform::Command<&M::CmWindowArrangement, &M::CeActiveChild>(kCloseAll),
      platform::Command<&M::CmPrint, &M::CePrint>(cmd::kPrint),
      platform::Command<&M::CmPrinterSetup, &M::CePrint>(cmd::kPrinterSetup),
      platform::Command<&M::CmPageSetup, &M::CePrint>(cmd::kPageSetup),
  };
  static const platform::CommandTable table{entries};
  return table;
}

AnlWinLayout* ZorvatrackMDIClient::ActiveAnalysisLayout() const {
  QMdiSubWindow* child = currentSubWindow();
  return child ? qobject_cast<AnlWinLayout*>(child->widget()) : nullptr;
}

Resource* ZorvatrackMDIClient::AnalysisDocument() const {
  if (g_App)
    if (Resource* doc = g_App->GetActiveDocument()) return doc;
  AnlWinLayout* layout = ActiveAnalysisLayout();
  return layout ? dynamic_cast<Resource*>(layout->GetResource()) : nullptr;
}

void ZorvatrackMDIClient::CeAnalysisWindow(platform::CommandEnabler& ce) {
  ce.Enable(AnalysisWindowEnabled(ce.id, StateOf(g_ResourceList.Next(nullptr)),
                                  StateOf(AnalysisDocument()),
                                  AnlWinLayout::HasStickFigureFactory()));
}

void ZorvatrackMDIClient::CmAnalysisWindow(int id) { OpenAnalysisWindow(id); }

AnlWinLayout* ZorvatrackMDIClient::OpenAnalysisWindow(int id) {
  Resource* doc = AnalysisDocument();
  if (!doc) return nullptr;
  const int kind = KindOfCommand(id);
  if (kind < 0 && id != anlcmd::kStickFigure) return nullptr;
  ++serial_;
  const std::string caption = AnalysisWindowCaption(
      serial_, std::string(platform::LoadString(32058)), doc->Caption());
  const int frame = doc->CurrentFrame();
  AnlWinLayout* layout = kind < 0 ? AnlWinLayout::Create3D(nullptr, caption, frame, doc)
                                  : new AnlWinLayout(nullptr, caption, frame, doc, kind);
  if (!layout) return nullptr;
  QMdiSubWindow* child = addSubWindow(layout);
  child->setAttribute(Qt::WA_DeleteOnClose);
  child->setWindowIcon(bitmaps::Icon(layout->Is3D() ? k3DIcon : kAnalysisIcon));
  child->setWindowTitle(QString::fromStdString(caption));
  layout->SetupWindow();
  // The frame around the layout's client size.
  const QSize frame3 = child->size() - child->contentsRect().size();
  child->resize(layout->size() + (frame3.isValid() ? frame3 : QSize()));
  PlaceBesideDocument(child, doc);
  child->show();
  setActiveSubWindow(child);
  if (AnlWin* w = layout->Window2D()) w->Repaint();
  return layout;
}

void ZorvatrackMDIClient::PlaceBesideDocument(QMdiSubWindow* child, Resource* document) {
  auto* docWidget = qobject_cast<QWidget*>(document->WindowObject());
  QMdiSubWindow* docChild = nullptr;
  for (QWidget* w = docWidget; w && !docChild; w = w->parentWidget())
    docChild = qobject_cast<QMdiSubWindow*>(w);
  if (!docChild) return;
  const QRect d = docChild->geometry();
  int x = d.right() + 1;
  if (x + child->width() >= viewport()->width()) x = d.left() + 20;
  child->move(x, d.top());
}

void ZorvatrackMDIClient::CeActiveChild(platform::CommandEnabler& ce) {
  ce.Enable(currentSubWindow() != nullptr);
}

bool ZorvatrackMDIClient::SmartTile() { return smartTile_->SmartTile(); }

void ZorvatrackMDIClient::CmWindowArrangement(int id) {
  switch (id) {
    case kCascade:
      Cascade();
      break;
    case kTile:
      tileSubWindows();
      break;
    case kArrangeIcons:
      // Minimised children line up along the bottom edge.
      for (int x = 0; QMdiSubWindow* c : subWindowList())
        if (c->isMinimized()) {
          c->move(x, viewport()->height() - c->height());
          x += c->width();
        }
      break;
    case kCloseAll:
      closeAllSubWindows();
      break;
    default:
      break;
  }
}

void ZorvatrackMDIClient::Cascade() {
  // The active window ends up in front, the others behind it in their stacking order.
  std::vector<QMdiSubWindow*> shown;
  for (QMdiSubWindow* c : subWindowList(QMdiArea::StackingOrder))
    if (c->isVisible() && !c->isMinimized()) shown.push_back(c);
  if (shown.empty()) return;
  const int step = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, shown.front());
  const QRect v = viewport()->rect();
  const std::vector<TileRect> rects =
      CascadeRects(static_cast<int>(shown.size()), v.width(), v.height(), step);
  for (std::size_t i = 0; i < shown.size(); ++i) {
    if (shown[i]->isMaximized()) shown[i]->showNormal();
    const TileRect& r = rects[i];
    shown[i]->setGeometry(r.left, r.top, r.right - r.left, r.bottom - r.top);
    shown[i]->raise();
  }
}

void ZorvatrackMDIClient::CmRedockToolbar() {
  if (!g_App || !g_App->MainWindow() || !g_App->Toolbar()) return;
  QToolBar* bar = g_App->Toolbar();
  g_App->MainWindow()->removeToolBar(bar);
  g_App->MainWindow()->addToolBar(Qt::TopToolBarArea, bar);
  bar->show();
}

void ZorvatrackMDIClient::CmOriginUnits() {
  UnitsOriginDlg dialog(g_App ? g_App->MainWindow() : nullptr);
  if (dialog.Execute() != 1) return;
  for (Resource* doc = g_ResourceList.Next(nullptr); doc; doc = g_ResourceList.Next(doc)) {
    doc->RecalcObjectSequences(0);
    doc->UpdateViews();
  }
}
