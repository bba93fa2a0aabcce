#pragma once

// The object panel and the template panel, docked beside a document's image views. The object
// panel always shows the current object at the current frame (name, colour, tracked, search
// limits, algorithm, marker, 2D and 3D position) and changes it; the template panel shows and
// changes the current object's tracking template in the active video, and drags its rectangle
// in the image view.

#include <QPointer>

#include "objects/templatedrag.h"
#include "objects/ui/bandoverlay.h"
#include "objects/ui/panelbase.h"

class ColorBox;
class MarkComboBox;
class ObjectComboBox;
class QComboBox;
class ResObjectSequence;
class SubObjectSequence;

class ObjectSequenceDlg : public ObjectPanelBase {
  Q_OBJECT
 public:
  ObjectSequenceDlg(Document& doc, QWidget* parent);

  // The refresh: the sequence of sub's number (or none); nothing while the panel is hidden.
  void SetObjectSequence(SubObjectSequence* sub);
  ResObjectSequence* Current() const { return current_; }

 protected:
  void OnPanelCommand(int id) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Enable(bool on);
  void FillObjectList();
  void ChooseObject(int index);

  ResObjectSequence* current_ = nullptr;
  ColorBox* colour_;
  ObjectComboBox* objects_;
  MarkComboBox* markers_;
  QComboBox* algorithms_;
};

class ObjectTemplateDlg : public ObjectPanelBase {
  Q_OBJECT
 public:
  ObjectTemplateDlg(Document& doc, QWidget* parent);

  void SetObjectSequence(SubObjectSequence* sub);
  SubObjectSequence* Current() const { return current_; }
  const tpl::Geometry& Geometry() const { return geometry_; }

  // The drag of the template rectangle in the image view (image pixels). MouseDown starts one
  // over a zone; the caller asks Dragging() whether the mouse is taken.
  bool MouseDown(float x, float y);
  void MouseMove(float x, float y);
  void MouseUp();
  bool Dragging() const { return mode_ != tpl::kNone; }
  int HoverZone() const { return zone_; }

 protected:
  void OnPanelCommand(int id) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ApplyFields();
  void ShowFields();
  void Changed();
  QWidget* ActiveViewport() const;

  SubObjectSequence* current_ = nullptr;
  tpl::Geometry geometry_;
  float last_[2] = {0, 0};
  int zone_ = tpl::kNone;
  int mode_ = tpl::kNone;
  QPointer<BandOverlay> band_;  // a child of the view's picture, gone with the view
};
