#pragma once

// ObjectSequenceDefaultsDlg ("Presettings for Object Sequences") and ColorDialog ("Predefined
// Object Colors"): the editors of the program-wide defaults and the colour map. Both work on
// the record directly; OK saves it, and the colour-map editor's Cancel reloads it.

#include <QWidget>

#include "base/defaults.h"
#include "base/filename.h"
#include "base/ui/paletteview.h"
#include "platform/ui/table_dialog.h"

// The colour map as a strip of cells, left to right in table order.
class ColorStrip : public QWidget {
  Q_OBJECT
 public:
  ColorStrip(QWidget* parent, const DefaultValueStruct& defaults);

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  const DefaultValueStruct& defaults_;
};

class ObjectSequenceDefaultsDlg : public platform::TableDialog {
  Q_OBJECT
 public:
  // palette: the display palette of the active image sequence; the grey ramp every display
  // palette starts as when there is none.
  ObjectSequenceDefaultsDlg(QWidget* parent, DefaultValueStruct& defaults,
                            const PaletteColors& palette = GreyRampPalette());

 protected:
  bool CanClose() override;
  void OnCommand(int id) override;

 private:
  void Fill();

  DefaultValueStruct& defaults_;
  PaletteColors palette_;
  ColorStrip* strip_;
};

class ColorDialog : public platform::TableDialog {
  Q_OBJECT
 public:
  ColorDialog(QWidget* parent, DefaultValueStruct& defaults,
              const PaletteColors& palette = GreyRampPalette());

  int Selected() const;
  void reject() override;

 protected:
  bool CanClose() override;
  void OnCommand(int id) override;

 private:
  void FillList(int select);
  void EnableButtons();
  void Change();

  DefaultValueStruct& defaults_;
};

// The picture of marker shape 0..8, for dialogs that offer the shapes.
QIcon MarkerShapeIcon(int shape, int size = 16);
