#include "objects/ui/editobjseqdlg.h"

#include <QCheckBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>

#include "base/document.h"
#include "base/ui/colorbox.h"
#include "objects/resobjseq.h"
#include "objects/ui/qtcanvas.h"
#include "platform/message_service.h"

namespace {

using platform::ControlKind;

constexpr int kDocument = 20401, kColour = 20402, kName = 20403, kTracked = 20404,
              kDisplayed = 20405, kHorizontal = 20406, kVertical = 20407, kWidth = 20408,
              kHeight = 20409, kFirstStyle = 20410, kFirstAlgorithm = 20431;
constexpr int kHelpContext = 35007;
constexpr int kMarkerIcon = 16;

const platform::ControlSpec kControls[] = {
    {kDocument, ControlKind::kLabel, "", 0, 0, 1, 6},
    {0, ControlKind::kLabel, "&Description:", 1, 0},
    {kName, ControlKind::kEdit, "", 1, 1, 1, 4},
    {kColour, ControlKind::kPushButton, "", 1, 5},
    {kTracked, ControlKind::kCheckBox, "is &tracked", 2, 0, 1, 2},
    {kDisplayed, ControlKind::kCheckBox, "is d&isplayed", 2, 2, 1, 2},
    {0, ControlKind::kGroupBox, "Search area", 3, 0, 3, 3},
    {0, ControlKind::kLabel, "H&orizontal:", 4, 0},
    {kHorizontal, ControlKind::kEdit, "", 4, 1},
    {0, ControlKind::kLabel, "&Vertical:", 5, 0},
    {kVertical, ControlKind::kEdit, "", 5, 1},
    {0, ControlKind::kGroupBox, "Algorithm", 3, 3, 5, 3},
    {kFirstAlgorithm, ControlKind::kRadioButton, "&SSD-Correlation", 4, 3, 1, 3, 2},
    {kFirstAlgorithm + 1, ControlKind::kRadioButton, "&Cross Correlation", 5, 3, 1, 3, 2},
    {kFirstAlgorithm + 2, ControlKind::kRadioButton, "&TextureTracking", 6, 3, 1, 3, 2},
    {kFirstAlgorithm + 3, ControlKind::kRadioButton, "&Manual", 7, 3, 1, 3, 2},
    {0, ControlKind::kGroupBox, "Marker", 8, 0, 4, 6},
    {kFirstStyle + 0, ControlKind::kRadioButton, "", 9, 0, 1, 1, 1},
    {kFirstStyle + 1, ControlKind::kRadioButton, "", 9, 1, 1, 1, 1},
    {kFirstStyle + 2, ControlKind::kRadioButton, "", 9, 2, 1, 1, 1},
    {kFirstStyle + 3, ControlKind::kRadioButton, "", 9, 3, 1, 1, 1},
    {kFirstStyle + 4, ControlKind::kRadioButton, "", 9, 4, 1, 1, 1},
    {kFirstStyle + 5, ControlKind::kRadioButton, "", 10, 0, 1, 1, 1},
    {kFirstStyle + 6, ControlKind::kRadioButton, "", 10, 1, 1, 1, 1},
    {kFirstStyle + 7, ControlKind::kRadioButton, "", 10, 2, 1, 1, 1},
    {kFirstStyle + 8, ControlKind::kRadioButton, "", 10, 3, 1, 1, 1},
    {0, ControlKind::kLabel, "&Width:", 11, 0},
    {kWidth, ControlKind::kEdit, "", 11, 1},
    {0, ControlKind::kLabel, "&Height:", 11, 2},
    {kHeight, ControlKind::kEdit, "", 11, 3},
    {platform::kIdOk, ControlKind::kDefPushButton, "OK"},
    {platform::kIdCancel, ControlKind::kPushButton, "Cancel"},
    {platform::kIdHelp, ControlKind::kPushButton, "Help"},
};

QIcon MarkerIcon(ColorValue colour, int style) {
  QPixmap pixmap(kMarkerIcon, kMarkerIcon);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  QtCanvas canvas(painter);
  ColorDescr(colour, 9, 9, style).DrawMarker(canvas, kMarkerIcon / 2, kMarkerIcon / 2);
  return QIcon(pixmap);
}

}  // namespace

EditObjectSequenceDlg::EditObjectSequenceDlg(ResObjectSequence& s, QWidget* parent, bool readOnly)
    : platform::TableDialog(parent, "Edit Object Sequence", kControls),
      sequence_(s),
      readOnly_(readOnly) {
  SetHelpContext(kHelpContext);
  colour_ = static_cast<ColorBox*>(ReplaceControl(kColour, new ColorBox(this, kColour)));
  connect(colour_, &QAbstractButton::clicked, this, [this] { OnCommand(kColour); });
  const objpanel::SequenceValues v = objpanel::ValuesOf(s);
  Document* doc = s.GetDocument();
  QWidget* window = doc ? qobject_cast<QWidget*>(doc->WindowObject()) : nullptr;
  ControlAs<QLabel>(kDocument)->setText(readOnly || !window ? QString()
                                                            : "Document: " + window->windowTitle());
  colour_->SetColorValue(QColor(RedOf(v.color), GreenOf(v.color), BlueOf(v.color)));
  ControlAs<QLineEdit>(kName)->setText(QString::fromStdString(v.name));
  colour_->setEnabled(!readOnly);
  Control(kName)->setEnabled(!readOnly);
  ControlAs<QCheckBox>(kTracked)->setChecked(v.tracked);
  ControlAs<QCheckBox>(kDisplayed)->setChecked(v.displayed);
  for (int id : {kHorizontal, kVertical})
    ControlAs<QLineEdit>(id)->setValidator(new QIntValidator(0, objpanel::kMaxLimit, this));
  for (int id : {kWidth, kHeight})
    ControlAs<QLineEdit>(id)->setValidator(new QIntValidator(1, objpanel::kMaxMarkerSide, this));
  ControlAs<QLineEdit>(kHorizontal)->setText(QString::number(v.horizontalLimit));
  ControlAs<QLineEdit>(kVertical)->setText(QString::number(v.verticalLimit));
  ControlAs<QLineEdit>(kWidth)->setText(QString::number(v.markerWidth));
  ControlAs<QLineEdit>(kHeight)->setText(QString::number(v.markerHeight));
  for (int i = 0; i < kMarkerStyleCount; ++i) {
    auto* button = ControlAs<QRadioButton>(kFirstStyle + i);
    button->setIcon(MarkerIcon(v.color, i));
    button->setChecked(i == v.style);
  }
  ControlAs<QRadioButton>(kFirstAlgorithm + objpanel::AlgorithmIndex(v.algorithm))
      ->setChecked(true);
}

objpanel::SequenceValues EditObjectSequenceDlg::Values() const {
  objpanel::SequenceValues v = objpanel::ValuesOf(sequence_);
  const QColor c = colour_->Color();
  v.color = Rgb(c.red(), c.green(), c.blue());
  v.name = ControlAs<QLineEdit>(kName)->text().toStdString();
  v.tracked = ControlAs<QCheckBox>(kTracked)->isChecked();
  v.displayed = ControlAs<QCheckBox>(kDisplayed)->isChecked();
  v.horizontalLimit = ControlAs<QLineEdit>(kHorizontal)->text().toLongLong();
  v.verticalLimit = ControlAs<QLineEdit>(kVertical)->text().toLongLong();
  v.markerWidth = ControlAs<QLineEdit>(kWidth)->text().toLongLong();
  v.markerHeight = ControlAs<QLineEdit>(kHeight)->text().toLongLong();
  for (int i = 0; i < kMarkerStyleCount; ++i)
    if (ControlAs<QRadioButton>(kFirstStyle + i)->isChecked()) v.style = i;
  for (int i = 0; i < objpanel::kAlgorithmCount; ++i)
    if (ControlAs<QRadioButton>(kFirstAlgorithm + i)->isChecked())
      v.algorithm = objpanel::AlgorithmAt(i);
  return v;
}

void EditObjectSequenceDlg::OnCommand(int id) {
  if (id == kColour && !readOnly_) {
    colour_->SetColor(this);
    activateWindow();
  }
}

bool EditObjectSequenceDlg::CanClose() {
  objpanel::ApplyValues(sequence_, Values(), readOnly_);
  return true;
}

bool EditSequence(ResObjectSequence& s, QWidget* parent, bool readOnly) {
  EditObjectSequenceDlg dialog(s, parent, readOnly);
  if (dialog.Execute() != platform::kIdOk) return false;
  if (s.Owner()) s.Owner()->GetCurrent();
  if (Document* doc = s.GetDocument()) doc->UpdateViews();
  return true;
}
