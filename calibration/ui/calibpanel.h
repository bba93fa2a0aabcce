#pragma once

// CalibPanel: the shared shape of the two dialogs docked at the left of the calibration window
// (calibration dialog and scale dialog). It lives inside the window, shows the camera on show,
// sends Enter's focus to the picture and lets Escape leave the window; radio buttons report
// their clicks as commands.

#include <initializer_list>
#include <vector>

#include "platform/ui/table_dialog.h"

class Calibration;
class CalibrationWindow;

// The method radios both dialogs begin with (rows 0 to 4), followed by the dialog's own rows.
std::vector<platform::ControlSpec> WithMethodRows(std::span<const platform::ControlSpec> rows);

class CalibPanel : public platform::TableDialog {
  Q_OBJECT
 public:
  CalibPanel(CalibrationWindow& window, const QString& caption,
             std::span<const platform::ControlSpec> controls, QWidget* parent);

  // The camera on show (1-based); refreshes.
  void SetCalibration(int number);
  int Camera() const { return number_; }
  virtual void UpdateValues() = 0;

  void reject() override;

  // Test access to the command handlers.
  void Command(int id) { OnCommand(id); }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  Calibration* OnShow() const;
  void SetText(int id, const std::string& text);
  void Check(int id, bool on);
  void Enable(int id, bool on);
  // Applies the method of radio id (normal, optimised, with gradient search) to c's flags.
  static void ApplyMethod(Calibration& c, int id);
  // Reports clicks of the radio buttons ids to OnCommand.
  void ConnectRadios(std::initializer_list<int> ids);

  CalibrationWindow& window_;
  int number_ = 0;
};
