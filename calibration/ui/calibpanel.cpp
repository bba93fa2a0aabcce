#include "calibration/ui/calibpanel.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "calibration/calibrat.h"
#include "calibration/ui/calibhost.h"
#include "calibration/ui/calibrationwindow.h"
#include "calibration/ui/calibview.h"

namespace {

using platform::ControlKind;

constexpr int kNormal = 20602, kOptimized = 20603, kGradient = 20604, kLinearSizing = 20605;

constexpr platform::ControlSpec kMethodRows[] = {
    {0, ControlKind::kGroupBox, "Method", 0, 0, 5, 4},
    {kNormal, ControlKind::kRadioButton, "&Normal", 1, 0, 1, 4, 1},
    {kOptimized, ControlKind::kRadioButton, "&Optimized", 2, 0, 1, 4, 1},
    {kGradient, ControlKind::kRadioButton, "Optimized with &Gradient Processes", 3, 0, 1, 4, 1},
    {kLinearSizing, ControlKind::kRadioButton, "Linear &Sizing", 4, 0, 1, 4, 1},
};

}  // namespace

std::vector<platform::ControlSpec> WithMethodRows(std::span<const platform::ControlSpec> rows) {
  std::vector<platform::ControlSpec> table(std::begin(kMethodRows), std::end(kMethodRows));
  table.insert(table.end(), rows.begin(), rows.end());
  return table;
}

CalibPanel::CalibPanel(CalibrationWindow& window, const QString& caption,
                       std::span<const platform::ControlSpec> controls, QWidget* parent)
    : platform::TableDialog(parent, caption, controls), window_(window) {
  setWindowFlags(Qt::Widget);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
}

void CalibPanel::SetCalibration(int number) {
  number_ = number;
  UpdateValues();
}

Calibration* CalibPanel::OnShow() const {
  return number_ > 0 ? &window_.Host().Camera(number_) : nullptr;
}

void CalibPanel::reject() { window_.Exit(); }

void CalibPanel::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    window_.View()->setFocus();
    return;
  }
  if (event->key() == Qt::Key_Escape) {
    window_.Exit();
    return;
  }
  platform::TableDialog::keyPressEvent(event);
}

void CalibPanel::SetText(int id, const std::string& text) {
  QWidget* w = Control(id);
  if (auto* label = qobject_cast<QLabel*>(w)) label->setText(QString::fromStdString(text));
  if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->setText(QString::fromStdString(text));
}

void CalibPanel::Check(int id, bool on) {
  if (auto* radio = ControlAs<QAbstractButton>(id)) radio->setChecked(on);
}

void CalibPanel::Enable(int id, bool on) {
  if (QWidget* w = Control(id)) w->setEnabled(on);
}

void CalibPanel::ApplyMethod(Calibration& c, int id) {
  c.SetFlag(kFlagLinearSizing, false);
  c.SetFlag(kFlagFullOptimized, id != kNormal);
  c.SetFlag(kFlagGradientSearch, id == kGradient);
}

void CalibPanel::ConnectRadios(std::initializer_list<int> ids) {
  for (int id : ids) {
    if (auto* radio = ControlAs<QRadioButton>(id))
      connect(radio, &QRadioButton::clicked, this, [this, id] { OnCommand(id); });
  }
}
