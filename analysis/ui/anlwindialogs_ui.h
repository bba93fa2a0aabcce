#pragma once

// The analysis window's dialogs: KoordAngeben (the quantity of the ordinate), DarstArtAngeben
// (display style of all curves, with the LinienAngeben palette of line styles), OrdnAngeben (the
// order of the polynomial approximation) and AbbruchGauge (progress with Cancel of the gap
// filling). Their records and checks are analysis/anlwindialogs.h.

#include <QDialog>
#include <QIcon>

#include <memory>
#include <optional>

#include "analysis/anlwindialogs.h"
#include "platform/ui/table_dialog.h"

class GapProgress;
class QLabel;
class QWidget;

class KoordAngeben : public platform::TableDialog {
  Q_OBJECT
 public:
  KoordAngeben(QWidget* parent, CoordinateTransfer& transfer);

 protected:
  bool CanClose() override;

 private:
  CoordinateTransfer& transfer_;
};

class DarstArtAngeben : public platform::TableDialog {
  Q_OBJECT
 public:
  // kind decides whether the marker style is offered.
  DarstArtAngeben(QWidget* parent, DisplayStyleTransfer& transfer, int kind);
  ~DarstArtAngeben() override;

  // The palette's click: the style is taken at once.
  void SetLineStyle(const LineStyleItem& item);
  QWidget* Palette() const { return palette_; }

 protected:
  bool CanClose() override;
  void OnCommand(int id) override;

 private:
  void ShowFitChoice();
  void ShowStyle();

  DisplayStyleTransfer& transfer_;
  int kind_;
  QWidget* palette_ = nullptr;
};

class OrdnAngeben : public platform::TableDialog {
  Q_OBJECT
 public:
  OrdnAngeben(QWidget* parent, int order);
  int Order() const { return order_; }

 protected:
  bool CanClose() override;

 private:
  int order_;
};

// The picture of a line style (bitmaps 24200..24211).
QIcon LineStyleIcon(const LineStyleItem& item);

// Each runs its dialog; false or none on Cancel.
bool RunCoordinatesDialog(QWidget* parent, CoordinateTransfer& transfer);
bool RunDisplayStyleDialog(QWidget* parent, DisplayStyleTransfer& transfer, int kind);
std::optional<int> RunOrderDialog(QWidget* parent, int order);

// The progress box with Cancel of long work on the sequences.
std::unique_ptr<GapProgress> MakeGapProgress(QWidget* parent);
