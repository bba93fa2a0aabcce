#pragma once

// The program's help window: the HTML help pages of the program in a browser with contents,
// back and forward.

#include <QWidget>

#include "app/helpmap.h"

class QTextBrowser;

class HelpWindow : public QWidget {
  Q_OBJECT
 public:
  // folder: where the pages are ("qrc:/help/" for the pages built into the program).
  explicit HelpWindow(const QString& folder, QWidget* parent = nullptr);

  // Shows the page of topic and brings the window to the front with the focus, also over a
  // modal dialog, which then does not block it; false when the page does not exist (the window
  // then stays as it was).
  bool ShowTopic(const HelpTopic& topic);

  QTextBrowser* Browser() const { return browser_; }
  QString CurrentPage() const;

 private:
  void ShowInFront();

  QString folder_;
  QTextBrowser* browser_;
};
