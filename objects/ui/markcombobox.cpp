#include "objects/ui/markcombobox.h"

#include "objects/ui/panelbase.h"

MarkComboBox::MarkComboBox(ObjectPanelBase* panel) : QComboBox(panel), panel_(panel) {
  setItemDelegate(new MarkerDelegate(this));
}

ObjectComboBox::ObjectComboBox(ObjectPanelBase* panel) : QComboBox(panel), panel_(panel) {
  setItemDelegate(new MarkerDelegate(this));
}
