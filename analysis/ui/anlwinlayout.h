#pragma once

// AnlWinLayout: the client of an analysis MDI child. It frames a 2D graph window (AnlWin) with
// its value panes, or a 3D window with its fixed pane, places the framed window and the shown
// pane side by side, routes the analysis commands to the framed window, and is the link through
// which the document reaches the window (frame changes, rebuilds, sequences coming and going).
//
// Commands: the table in anlwinlayout.cpp; a new command of the 2D window is one table row and
// one case in Cm2D (or a handler of its own).

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/analysislinks.h"
#include "platform/commands.h"

class AnalysisFramed;
class AnlWin;
class Document;
class ValuePane;

class AnlWinLayout : public QWidget, public platform::CommandTarget, public AnalysisLink {
  Q_OBJECT
 public:
  // The client size a new layout asks for.
  static constexpr int kClientWidth = 400, kClientHeight = 400;

  // A 2D layout of the kind.
  AnlWinLayout(QWidget* parent, const std::string& title, int currentFrame, Document* document,
               int kind);
  // A layout of another framed window (the 3D window): the layout becomes the parent of its
  // widget, which is the framed object itself or deletes it.
  AnlWinLayout(QWidget* parent, Document* document, AnalysisFramed* framed);
  ~AnlWinLayout() override;

  // How a 3D window is made; none until the 3D window exists.
  using StickFigureFactory = std::function<AnalysisFramed*(
      QWidget* parent, const std::string& title, int currentFrame, Document* document)>;
  static void SetStickFigureFactory(StickFigureFactory factory);
  static bool HasStickFigureFactory();
  // A 3D layout, or null without a factory.
  static AnlWinLayout* Create3D(QWidget* parent, const std::string& title, int currentFrame,
                                Document* document);

  // How the font command picks the font (tests answer it); the font dialog by default.
  using FontChooser = std::function<std::optional<QFont>(const QFont& initial)>;
  static void SetFontChooser(FontChooser chooser);

  // Sets the framed window up, places it and the pane; painting may start.
  void SetupWindow();

  const platform::CommandTable& Commands() const override;

  Document* GetResource() const { return document_; }
  bool Is3D() const;
  AnlWin* Window2D() const { return window2D_; }
  AnalysisFramed* Framed() const { return framed_; }
  bool ShowsDocument(const Document& document) const;
  int PanePosition() const { return panePosition_; }
  // The pane shown now, or null.
  QWidget* ShownPane() const;
  ValuePane* CombinedPane() const { return combined_; }
  ValuePane* CrosshairPane() const { return crosshairPane_; }
  ValuePane* FramePane() const { return framePane_; }

  // AnalysisLink.
  unsigned DocumentSerial() const override;
  void GoToFrame(int frame) override;
  void RebuildCurves(int frame, unsigned serial) override;
  void AddObjectSequence(ResObjectSequence* sequence) override;
  void RemoveObjectSequence(ResObjectSequence* sequence) override;
  void CloseWindow() override;

  // Commands.
  void Cm2D(int id);
  void CmZoom(int id);
  void CmCrosshairPane(int id);
  void CmFrameNumberPane();
  void CmSelectFonts();
  void CmPanePosition();
  // The analysis-data export of the document (2D and 3D alike).
  void CmExportAnalysisData();
  void CeAnalysisCommand(platform::CommandEnabler& ce);
  void CeZoom(platform::CommandEnabler& ce);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Frame(AnalysisFramed* framed);
  void ArrangePanes();
  // Shows the pane the pane bytes select, hides the others, hands it to the window and widens
  // or narrows the MDI child by the difference of the panes' widths.
  void SwitchPane(QWidget* before);
  ValuePane* SelectedPane() const;

  Document* document_;
  AnalysisFramed* framed_ = nullptr;
  AnlWin* window2D_ = nullptr;
  ValuePane* combined_ = nullptr;
  ValuePane* crosshairPane_ = nullptr;
  ValuePane* framePane_ = nullptr;
  bool crosshairByte_ = false;
  bool frameByte_ = false;
  int panePosition_ = 2;
};
