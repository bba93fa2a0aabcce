#pragma once

// ConnectDlg: the connection panel beside the image views. The stick figure is edited in the
// view (a drag from point to point connects, clicks select connections and propose angles);
// the panel shows the 2D and 3D length of the selected connection and the value of the
// selected angle, keeps, switches, renames and drops angles, and recolours connections.

#include <QPointer>

#include "objects/connectpanel.h"
#include "objects/ui/bandoverlay.h"
#include "objects/ui/panelbase.h"

class BandOverlay;
class ColorBox;

class ConnectDlg : public ObjectPanelBase {
  Q_OBJECT
 public:
  ConnectDlg(Document& doc, QWidget* parent);
  ~ConnectDlg() override;

  connect::ConnectPanelLogic& Logic() { return logic_; }

  // The view's notifications, in image pixels.
  bool BeginAtCurrentObject();
  void MouseDown(float x, float y);
  void MouseMove(float x, float y);
  void MouseUp();
  bool CancelDrag();
  bool Dragging() const { return logic_.Dragging(); }

  void UpdateReadouts();

 protected:
  void OnPanelCommand(int id) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  double Zoom() const;
  void DrawBand();
  void EndCapture();

  connect::ConnectPanelLogic logic_;
  ColorBox* colour_;
  QPointer<BandOverlay> band_;  // a child of the view's picture, gone with the view
};
