#pragma once

// ResourceWindow: the MDI child that shows a document. It owns the document, lays out its image
// views, takes the frame changes and view notifications and passes them to the document, and
// answers what the document asks of its window.

#include <QWidget>

#include <functional>
#include <memory>

#include "app/documentwindow.h"
#include "app/ui/documentchild.h"

class BildView;
class ConnectDlg;
class FrameSequence;
class ObjectSequenceDlg;
class ObjectTemplateDlg;
class QMdiSubWindow;
class Resource;
class ViewLayoutWindow;

class ResourceWindow : public QWidget, public DocumentChild, public DocumentWindow {
  Q_OBJECT
 public:
  // Takes the document; its sequences must have their views already.
  explicit ResourceWindow(std::unique_ptr<Resource> document);
  ~ResourceWindow() override;

  // The window's set-up: the common frame rate, then the layout. False when it did not complete.
  bool SetupWindow();

  ViewLayoutWindow* Layout() const { return layout_; }
  QMdiSubWindow* SubWindow() const;

  // DocumentChild
  const platform::CommandTable& Commands() const override;
  Resource* GetResource() override { return document_.get(); }
  int MinFrameCount() const override;
  bool CanClose() override;

  // DocumentWindow
  bool IsMinimised() const override;
  bool IsLayoutZoomed() const override;
  void ToggleZoom() override;
  void SetCaption(const std::string& caption) override;
  void ShowFrame(int frame, int first, int last) override;
  void UpdatePanels() override;
  int PanelNotify(int code, const float* point) override;
  void DockPanel(int panel) override;
  void ToggleDockPosition() override;
  void UndockPanel() override;

  ObjectSequenceDlg* ObjectPanel() const { return objectPanel_; }
  ObjectTemplateDlg* TemplatePanel() const { return templatePanel_; }
  ConnectDlg* ConnectPanel() const { return connectPanel_; }
  void AskFrameRate(float* rate, float highest) override;

  // The document window became the active one: its layout menu and its frame display.
  void Activated();

  void CmInfo();
  // "Calibration..." (25012) and "Document Files" (25013).
  void CmCalibration(int id);
  void CmLayout(int id);
  void CeZoom(platform::CommandEnabler& ce);
  void CeLayout(platform::CommandEnabler& ce);

  // The active image view's commands go to it.
  void CmViewCommand(int id);
  void CeViewCommand(platform::CommandEnabler& ce);
  // Object sequences: new, delete, undelete, save, save as new, load.
  void CmObjectSequences(int id);
  void CeObjectSequences(platform::CommandEnabler& ce);
  // "Show Dialogs": docks the object panel while none is docked.
  void CmShowDialogs();
  void CeShowDialogs(platform::CommandEnabler& ce);
  // The object editor (25109) and the object-model commands (25116, 25119).
  void CmObjectEditor();
  void CeObjectEditor(platform::CommandEnabler& ce);
  void CmObjectModel(int id);
  void CeObjectModel(platform::CommandEnabler& ce);
  // Copy Sequence, Export and Import of ASCII object files.
  void CmAscii(int id);
  void CeAscii(platform::CommandEnabler& ce);
  // The analysis-data export of the document (the analysis windows offer it too).
  void CmExportAnalysisData();
  // Tracking 25200..25203.
  void CmTracking(int id);
  void CeTracking(platform::CommandEnabler& ce);

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  BildView* ActiveView() const;
  // Makes video (when given) the active one and gives its view the keyboard.
  void FocusVideo(FrameSequence* video);
  // Runs a change of the docked panels that leaves the active video and its view's keyboard as
  // they were.
  void ChangePanels(const std::function<void()>& change);
  // True while this window is the active MDI child (not one of its graphs, say).
  bool InFront() const;
  // The view that takes command id: the active one, none for Esc while a graph is in front.
  BildView* ViewFor(int id) const;

  std::unique_ptr<Resource> document_;
  ViewLayoutWindow* layout_;
  ObjectSequenceDlg* objectPanel_;
  ObjectTemplateDlg* templatePanel_;
  ConnectDlg* connectPanel_;
};

// Makes the image view of a sequence inside its document's window; installed as the sequences'
// view factory at start.
QObject* CreateSequenceView(class FrameSequence& sequence);
