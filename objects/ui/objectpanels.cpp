#include "objects/ui/objectpanels.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>

#include "base/document.h"
#include "base/ui/colorbox.h"
#include "objects/objpanel.h"
#include "objects/resobjseq.h"
#include "objects/subobjseq.h"
#include "objects/ui/bandoverlay.h"
#include "objects/ui/bildview.h"
#include "objects/ui/markcombobox.h"
#include "platform/strings.h"
#include "sequences/framesequence.h"

namespace {

using platform::ControlKind;

// Object panel.
constexpr int kColour = 20402, kName = 20403, kTracked = 20404, kHorizontal = 20406,
              kVertical = 20407, kObjects = 20441, kPosition2D = 20442, kPosition3D = 20443,
              kAlgorithm = 20444, kMarker = 20445, kHide = 20446;
// Template panel.
constexpr int kWidth = 20451, kHeight = 20452, kXOffset = 20453, kYOffset = 20454,
              kRectangle = 20455, kCircle = 20457, kCentre = 20458, kOriginal = 20459;
constexpr int kMarkerSide = 9, kHiddenMarkerSide = 5;

const platform::ControlSpec kObjectControls[] = {
    {0, ControlKind::kLabel, "Object:", 2, 0},
    {kObjects, ControlKind::kComboBox, "", 2, 1},
    {kHide, ControlKind::kPushButton, "Hide", 2, 2},
    {0, ControlKind::kLabel, "&Description:", 3, 0},
    {kName, ControlKind::kEdit, "", 3, 1, 1, 2},
    {kColour, ControlKind::kPushButton, "", 4, 0},
    {kTracked, ControlKind::kCheckBox, "is &tracked", 4, 1, 1, 2},
    {0, ControlKind::kLabel, "2D:", 5, 0},
    {kPosition2D, ControlKind::kLabel, "", 5, 1, 1, 2},
    {0, ControlKind::kLabel, "3D:", 6, 0},
    {kPosition3D, ControlKind::kLabel, "", 6, 1, 1, 2},
    {0, ControlKind::kGroupBox, "Search area", 7, 0, 3, 3},
    {0, ControlKind::kLabel, "H&orizontal:", 8, 0},
    {kHorizontal, ControlKind::kEdit, "", 8, 1},
    {0, ControlKind::kLabel, "&Vertical:", 9, 0},
    {kVertical, ControlKind::kEdit, "", 9, 1},
    {0, ControlKind::kLabel, "&Marker:", 10, 0},
    {kMarker, ControlKind::kComboBox, "", 10, 1},
    {0, ControlKind::kLabel, "&Algorithm:", 11, 0},
    {kAlgorithm, ControlKind::kComboBox, "", 11, 1, 1, 2},
};

const platform::ControlSpec kTemplateControls[] = {
    {0, ControlKind::kGroupBox, "Template", 2, 0, 5, 3},
    {0, ControlKind::kLabel, "&Width:", 3, 0},
    {kWidth, ControlKind::kEdit, "", 3, 1},
    {0, ControlKind::kLabel, "&Height:", 4, 0},
    {kHeight, ControlKind::kEdit, "", 4, 1},
    {0, ControlKind::kLabel, "&X offset:", 5, 0},
    {kXOffset, ControlKind::kEdit, "", 5, 1},
    {0, ControlKind::kLabel, "&Y offset:", 6, 0},
    {kYOffset, ControlKind::kEdit, "", 6, 1},
    {0, ControlKind::kGroupBox, "Shape", 7, 0, 2, 3},
    {kRectangle, ControlKind::kRadioButton, "&Rectangle", 8, 0, 1, 1, 1},
    {kCircle, ControlKind::kRadioButton, "C&ircle", 8, 1, 1, 1, 1},
    {kCentre, ControlKind::kPushButton, "&Centre", 9, 0},
    {kOriginal, ControlKind::kPushButton, "&Original", 9, 1},
};

QString Word(int id) { return QString::fromStdString(std::string(platform::LoadString(id))); }

void SetMarkerItem(QComboBox* box, int index, ColorValue colour, int style, int side) {
  box->setItemData(index, colour, panel::kColorRole);
  box->setItemData(index, style, panel::kStyleRole);
  box->setItemData(index, side, panel::kSideRole);
}

long long Number(QLineEdit* edit) { return edit->text().toLongLong(); }

// Edits whose new value counts when they lose the focus.
void WatchFocus(QObject* filter, std::initializer_list<QWidget*> edits) {
  for (QWidget* w : edits) w->installEventFilter(filter);
}

}  // namespace

// Object panel -----------------------------------------------------------------------------

ObjectSequenceDlg::ObjectSequenceDlg(Document& doc, QWidget* parent)
    : ObjectPanelBase(doc, parent, "Object Sequence", kObjectControls, panel::kObjectsPage) {
  colour_ = static_cast<ColorBox*>(ReplaceControl(kColour, new ColorBox(this, kColour)));
  connect(colour_, &QAbstractButton::clicked, this, [this] { OnPanelCommand(kColour); });
  objects_ = static_cast<ObjectComboBox*>(ReplaceControl(kObjects, new ObjectComboBox(this)));
  markers_ = static_cast<MarkComboBox*>(ReplaceControl(kMarker, new MarkComboBox(this)));
  algorithms_ = ControlAs<QComboBox>(kAlgorithm);
  for (int i = 0; i < objpanel::kAlgorithmCount; ++i)
    algorithms_->addItem(Word(objpanel::kAlgorithmWordId + i));
  for (int i = 0; i < kMarkerStyleCount; ++i) markers_->addItem(Word(kMarkerStyleWordId + i));
  for (int id : {kHorizontal, kVertical})
    ControlAs<QLineEdit>(id)->setValidator(new QIntValidator(0, objpanel::kMaxLimit, this));
  WatchFocus(this, {Control(kName), Control(kHorizontal), Control(kVertical)});
  connect(ControlAs<QCheckBox>(kTracked), &QCheckBox::clicked, this,
          [this] { OnPanelCommand(kTracked); });
  connect(algorithms_, qOverload<int>(&QComboBox::activated), this, [this](int index) {
    if (current_) objpanel::SetAlgorithm(*current_, objpanel::AlgorithmAt(index));
    FocusView();
  });
  connect(markers_, qOverload<int>(&QComboBox::activated), this, [this](int index) {
    if (current_ && objpanel::SetMarkerStyle(*current_, index)) Doc().UpdateViews();
    FocusView();
  });
  connect(objects_, qOverload<int>(&QComboBox::activated), this,
          [this](int index) { ChooseObject(index); });
  SetObjectSequence(nullptr);
}

void ObjectSequenceDlg::Enable(bool on) {
  for (int id : {kColour, kName, kTracked, kHorizontal, kVertical, kHide, kPosition2D, kPosition3D,
                 kMarker, kAlgorithm})
    Control(id)->setEnabled(on);
}

void ObjectSequenceDlg::FillObjectList() {
  objects_->clear();
  ResObjectSequences* all = Doc().ObjectSequences();
  if (!all) return;
  SequenceIterator it(*all, seqmask::kOrdinary);
  for (ResObjectSequence* s = it.Current(); s; s = it.Next()) {
    objects_->addItem(QString::number(s->number), s->number);
    SetMarkerItem(objects_, objects_->count() - 1, s->color, s->style,
                  s->IsHidden() ? kHiddenMarkerSide : kMarkerSide);
    if (s == current_) objects_->setCurrentIndex(objects_->count() - 1);
  }
}

void ObjectSequenceDlg::ChooseObject(int index) {
  ResObjectSequences* all = Doc().ObjectSequences();
  ResObjectSequence* chosen =
      all ? all->Find(objects_->itemData(index).toInt(), seqmask::kOrdinary) : nullptr;
  if (chosen) {
    chosen->MakeCurrent();
    if (chosen->IsHidden()) {
      chosen->ClearFlags(seqflag::kHidden);
      Doc().UpdateViews();
    } else {
      Doc().UpdateDialogs();
    }
  }
  FocusView();
}

void ObjectSequenceDlg::SetObjectSequence(SubObjectSequence* sub) {
  current_ = nullptr;
  ResObjectSequences* all = Doc().ObjectSequences();
  // A hidden panel is refreshed when it is docked again.
  if (!isVisible()) return;
  ResObjectSequence* s = sub && all ? all->Find(sub->number, seqmask::kAll) : nullptr;
  if (!s) {
    for (int id : {kName, kHorizontal, kVertical}) ControlAs<QLineEdit>(id)->clear();
    for (int id : {kPosition2D, kPosition3D}) ControlAs<QLabel>(id)->clear();
    ControlAs<QCheckBox>(kTracked)->setChecked(false);
    Enable(false);
    FillObjectList();
    objects_->setEnabled(all && SequenceIterator(*all, seqmask::kOrdinary).Current());
    return;
  }
  current_ = s;
  FrameSequence* video = Doc().GetActiveFrameSequence();
  ControlAs<QLabel>(kPosition2D)
      ->setText(QString::fromStdString(video ? objpanel::Position2D(Doc(), *video, *sub) : ""));
  ControlAs<QLabel>(kPosition3D)->setText(QString::fromStdString(objpanel::Position3D(Doc(), *s)));
  colour_->SetColorValue(QColor(RedOf(s->color), GreenOf(s->color), BlueOf(s->color)));
  ControlAs<QLineEdit>(kName)->setText(QString::fromStdString(s->name));
  ControlAs<QCheckBox>(kTracked)->setChecked(s->flags & seqflag::kTracked);
  ControlAs<QLineEdit>(kHorizontal)->setText(QString::number(s->horizontalLimit));
  ControlAs<QLineEdit>(kVertical)->setText(QString::number(s->verticalLimit));
  for (int i = 0; i < kMarkerStyleCount; ++i) SetMarkerItem(markers_, i, s->color, i, kMarkerSide);
  markers_->setCurrentIndex(s->style);
  algorithms_->setCurrentIndex(objpanel::AlgorithmIndex(s->algorithm));
  FillObjectList();
  Enable(true);
  objects_->setEnabled(true);
}

void ObjectSequenceDlg::OnPanelCommand(int id) {
  if (!current_) return;
  switch (id) {
    case kColour:
      if (colour_->SetColor(this)) {
        const QColor c = colour_->Color();
        current_->SetColor(Rgb(c.red(), c.green(), c.blue()));
        Doc().UpdateViews();
      }
      break;
    case kTracked:
      if (ControlAs<QCheckBox>(kTracked)->isChecked())
        current_->SetFlags(seqflag::kTracked);
      else
        current_->ClearFlags(seqflag::kTracked);
      break;
    case kHide:
      current_->SetFlags(seqflag::kHidden);
      if (Doc().ObjectSequences()) Doc().ObjectSequences()->GetCurrent();
      Doc().UpdateViews();
      break;
    default:
      return;
  }
  FocusView();
}

bool ObjectSequenceDlg::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut && current_) {
    if (watched == Control(kName)) {
      if (objpanel::SetName(*current_, ControlAs<QLineEdit>(kName)->text().toStdString()))
        FillObjectList();
    } else {
      objpanel::SetLimits(*current_, Number(ControlAs<QLineEdit>(kHorizontal)),
                          Number(ControlAs<QLineEdit>(kVertical)));
    }
  }
  return ObjectPanelBase::eventFilter(watched, event);
}

// Template panel ---------------------------------------------------------------------------

ObjectTemplateDlg::ObjectTemplateDlg(Document& doc, QWidget* parent)
    : ObjectPanelBase(doc, parent, "Object Template", kTemplateControls, panel::kTemplatesPage) {
  auto* sizes = new QRegularExpressionValidator(QRegularExpression("[0-9]{0,5}"), this);
  auto* offsets = new QRegularExpressionValidator(QRegularExpression("-?[0-9]{0,5}"), this);
  for (int id : {kWidth, kHeight}) ControlAs<QLineEdit>(id)->setValidator(sizes);
  for (int id : {kXOffset, kYOffset}) ControlAs<QLineEdit>(id)->setValidator(offsets);
  WatchFocus(this, {Control(kWidth), Control(kHeight), Control(kXOffset), Control(kYOffset)});
  for (int id : {kRectangle, kCircle})
    connect(ControlAs<QRadioButton>(id), &QRadioButton::clicked, this,
            [this, id] { OnPanelCommand(id); });
  SetObjectSequence(nullptr);
}

QWidget* ObjectTemplateDlg::ActiveViewport() const {
  BildView* view = ActiveBildView(Doc());
  return view ? view->viewport() : nullptr;
}

void ObjectTemplateDlg::SetObjectSequence(SubObjectSequence* sub) {
  current_ = sub;
  std::optional<std::pair<float, float>> point;
  if (sub) {
    geometry_.width = sub->width;
    geometry_.height = sub->height;
    geometry_.xOffset = sub->xOffset;
    geometry_.yOffset = sub->yOffset;
    if (const ObjectBase* p = PointWithValue(sub, Doc().CurrentFrame())) {
      point = std::make_pair(p->x, p->y);
      geometry_.pointX = p->x;
      geometry_.pointY = p->y;
    }
  }
  geometry_.rect = tpl::RectAround(point, geometry_.width, geometry_.height, geometry_.xOffset,
                                   geometry_.yOffset);
  if (isVisible()) {
    ShowFields();
    ControlAs<QRadioButton>(sub && sub->shape == kTemplateCircle ? kCircle : kRectangle)
        ->setChecked(true);
  }
  for (int id : {kWidth, kHeight, kXOffset, kYOffset, kRectangle, kCircle, kCentre, kOriginal})
    Control(id)->setEnabled(point.has_value());
}

void ObjectTemplateDlg::ShowFields() {
  ControlAs<QLineEdit>(kWidth)->setText(QString::number(geometry_.width));
  ControlAs<QLineEdit>(kHeight)->setText(QString::number(geometry_.height));
  ControlAs<QLineEdit>(kXOffset)->setText(QString::number(geometry_.xOffset));
  ControlAs<QLineEdit>(kYOffset)->setText(QString::number(geometry_.yOffset));
}

void ObjectTemplateDlg::Changed() { Doc().UpdateDialogs(); }

void ObjectTemplateDlg::ApplyFields() {
  FrameSequence* video = Doc().GetActiveFrameSequence();
  if (!current_ || !video) return;
  objpanel::TemplateFields f{
      Number(ControlAs<QLineEdit>(kWidth)), Number(ControlAs<QLineEdit>(kHeight)),
      Number(ControlAs<QLineEdit>(kXOffset)), Number(ControlAs<QLineEdit>(kYOffset))};
  const bool changed = objpanel::ApplyTemplateFields(*current_, f, video->Width(), video->Height());
  geometry_.width = static_cast<int>(f.width);
  geometry_.height = static_cast<int>(f.height);
  geometry_.xOffset = static_cast<int>(f.xOffset);
  geometry_.yOffset = static_cast<int>(f.yOffset);
  ShowFields();
  if (changed) Changed();
}

void ObjectTemplateDlg::OnPanelCommand(int id) {
  FrameSequence* video = Doc().GetActiveFrameSequence();
  if (!current_ || !video) return;
  bool changed = false;
  switch (id) {
    case kCentre:
      changed = objpanel::CentreTemplate(*current_);
      break;
    case kOriginal:
      objpanel::ResetTemplate(*current_, video->Width(), video->Height());
      changed = true;
      break;
    case kRectangle:
    case kCircle:
      changed = objpanel::SetTemplateShape(*current_,
                                           id == kCircle ? kTemplateCircle : kTemplateRectangle);
      break;
    default:
      return;
  }
  if (changed) Changed();
  FocusView();
}

bool ObjectTemplateDlg::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut) ApplyFields();
  return ObjectPanelBase::eventFilter(watched, event);
}

bool ObjectTemplateDlg::MouseDown(float x, float y) {
  if (zone_ == tpl::kNone || !current_) return false;
  mode_ = zone_;
  last_[0] = x;
  last_[1] = y;
  if (BildView* view = ActiveBildView(Doc())) {
    view->ShowTemplateFrame(false);  // the band stands for it while dragging
    if (!band_) band_ = new BandOverlay(view);
    view->viewport()->grabMouse();
  }
  if (BandOverlay* band = band_)
    band->ShowRect(geometry_.rect.left, geometry_.rect.top, geometry_.rect.right,
                   geometry_.rect.bottom);
  return true;
}

void ObjectTemplateDlg::MouseMove(float x, float y) {
  QWidget* viewport = ActiveViewport();
  if (mode_ == tpl::kNone) {
    zone_ = tpl::HoverZone(geometry_.rect, geometry_.width, geometry_.height, x, y);
    if (viewport) {
      static const Qt::CursorShape kShapes[] = {Qt::ArrowCursor,     Qt::SizeAllCursor,
                                                Qt::SizeVerCursor,   Qt::SizeHorCursor,
                                                Qt::SizeBDiagCursor, Qt::SizeFDiagCursor};
      const auto shape = kShapes[static_cast<int>(tpl::CursorOf(zone_))];
      if (zone_ == tpl::kNone)
        viewport->unsetCursor();
      else
        viewport->setCursor(shape);
    }
    return;
  }
  FrameSequence* video = Doc().GetActiveFrameSequence();
  tpl::DragTo(geometry_, mode_, x, y, last_, video ? video->Width() : 0,
              video ? video->Height() : 0);
  ShowFields();
  if (BandOverlay* band = band_)
    band->ShowRect(geometry_.rect.left, geometry_.rect.top, geometry_.rect.right,
                   geometry_.rect.bottom);
}

void ObjectTemplateDlg::MouseUp() {
  if (mode_ == tpl::kNone) return;
  if (BandOverlay* band = band_) band->Clear();
  if (BildView* view = ActiveBildView(Doc())) {
    view->viewport()->releaseMouse();
    view->ShowTemplateFrame(true);
  }
  mode_ = tpl::kNone;
  if (!current_) return;
  if (geometry_.width != current_->width || geometry_.height != current_->height)
    current_->SetSize(geometry_.width, geometry_.height);
  current_->xOffset = geometry_.xOffset;
  current_->yOffset = geometry_.yOffset;
  current_->SetModified();
  Changed();
}
