#pragma once

// CalibrationWindow: where the user calibrates the cameras of one document. It takes the place
// of the main window while it runs (a top-level window with its own event loop), holds a
// toolbar (cameras, read-outs, zoom, image filters, exit) and beside the picture either the
// calibration dialog or, for linear sizing of a single camera, the scale dialog.

#include <QMainWindow>

#include <map>

class CalibDialog;
class CalibrationHost;
class CalibView;
class QAction;
class QEventLoop;
class QLabel;
class QToolBar;
class ScaleDialog;

class CalibrationWindow : public QMainWindow {
  Q_OBJECT
 public:
  static constexpr int kCalibLayout = 20600, kScaleLayout = 20645;
  static constexpr int kPreviousCamera = 24507, kNextCamera = 24508, kExit = 24505;

  // For camera number of the host's document; created hidden.
  CalibrationWindow(CalibrationHost& host, int camera, QWidget* parent);
  ~CalibrationWindow() override;

  // Shows the window (maximised when asked) and runs its loop until the user leaves it.
  int Run(bool maximised);
  // Ends the loop (result 2).
  void Exit();

  void SetLayout(int mode);
  int Layout() const { return layout_; }
  void UpdateDialogs();
  void ShowCameraName();
  // The picture pane's caption: the file it shows.
  void ShowViewCaption(const QString& caption);
  void ShowPosition(double x, double y, bool onPoint);

  // Toolbar commands (also the view's, forwarded), and whether each is enabled now.
  void Command(int id);
  bool CommandEnabled(int id) const;
  void UpdateCommands();

  CalibrationHost& Host() const { return host_; }
  int Camera() const { return camera_; }
  CalibView* View() const { return view_; }
  CalibDialog* Calib() const { return calibDialog_; }
  ScaleDialog* Scale() const { return scaleDialog_; }
  QToolBar* Toolbar() const { return toolbar_; }
  QString CameraNameText() const;
  QString PositionText() const;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildToolbar();
  void AddButton(int id);
  void SwitchCamera(int number);

  CalibrationHost& host_;
  int camera_;
  int layout_ = 0;
  QToolBar* toolbar_ = nullptr;
  QLabel* cameraName_ = nullptr;
  QLabel* position_ = nullptr;
  QLabel* viewCaption_ = nullptr;
  QWidget* client_ = nullptr;
  CalibDialog* calibDialog_ = nullptr;
  ScaleDialog* scaleDialog_ = nullptr;
  CalibView* view_ = nullptr;
  std::map<int, QAction*> actions_;
  QEventLoop* loop_ = nullptr;
};
