#pragma once

// MarkComboBox and ObjectComboBox: the object panel's two lists of markers, drawn as markers
// without text (MarkerDelegate, 15 pixels an item). MarkComboBox offers the marker styles in the
// current object's colour; ObjectComboBox the objects of the document, each in its own marker.
// Each knows the panel it belongs to.

#include <QComboBox>

class ObjectPanelBase;

class MarkComboBox : public QComboBox {
  Q_OBJECT
 public:
  explicit MarkComboBox(ObjectPanelBase* panel);
  ObjectPanelBase* Panel() const { return panel_; }

 private:
  ObjectPanelBase* panel_;
};

class ObjectComboBox : public QComboBox {
  Q_OBJECT
 public:
  explicit ObjectComboBox(ObjectPanelBase* panel);
  ObjectPanelBase* Panel() const { return panel_; }

 private:
  ObjectPanelBase* panel_;
};
