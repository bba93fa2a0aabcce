#pragma once

// PageSetupDialog: the page-setup panel beside the print preview. It edits the page layout
// (PrinterSettings): aspect, whole page or print area, the margins, the print area and the
// position picked in a 3 x 3 grid, in inches or millimetres. A value is read when its edit loses
// the focus; every change is announced with LayoutChanged so the preview draws the page again.
// Enter and Esc do not close the panel.

#include <QWidget>

#include <functional>

#include "platform/ui/table_dialog.h"

class PrinterSettings;

class PageSetupDialog : public platform::TableDialog {
  Q_OBJECT
 public:
  PageSetupDialog(QWidget* parent, PrinterSettings& settings);
  ~PageSetupDialog() override;

  // Writes all values into the controls.
  void ShowValues();
  PrinterSettings& Settings() { return settings_; }

  void reject() override {}

 signals:
  void LayoutChanged();

 private:
  // An edit of a length, read by read when it loses the focus.
  void PrepareEdit(int id, const std::function<void()>& read);
  // The length typed into edit id, shown with a point; false when it was refused.
  bool Take(int id);
  void ReadMargins();
  void ReadArea(int id);
  void Changed(bool showValues);

  PrinterSettings& settings_;
};

// PositionButton: the 3 x 3 grid that shows and picks where the window sits on the page.
class PositionButton : public QWidget {
  Q_OBJECT
 public:
  explicit PositionButton(PageSetupDialog& panel);
  QSize sizeHint() const override { return {72, 72}; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  PageSetupDialog& panel_;
};
