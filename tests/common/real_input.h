#pragma once

// Keys and clicks that travel the way a user's do. On the offscreen platform they enter through
// the window system's queue (shortcuts first, then the window, then the widget); on a real X
// display (run_on_display.sh runs the tests there under Xvfb with a window manager) xdotool types
// and clicks them through the X server, which hands them to the program on its own time.

#include <QCursor>
#include <QGuiApplication>
#include <QProcess>
#include <QWidget>
#include <QWindow>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace real_input {

inline bool OnRealDisplay() { return QGuiApplication::platformName() == QLatin1String("xcb"); }

// xkeysym names the key for xdotool ("Escape", "KP_Add"); key and modifiers name it for Qt.
inline void Type(QWidget* window, const char* xkeysym, Qt::Key key,
                 Qt::KeyboardModifiers modifiers = {}) {
  if (OnRealDisplay()) {
    ASSERT_EQ(QProcess::execute("xdotool", {"key", xkeysym}), 0);
  } else {
    QTest::keyClick(window->windowHandle(), key, modifiers);
  }
}

// Clicks the left button at point of widget (its own coordinates).
inline void ClickAt(QWidget* widget, QPoint point) {
  ASSERT_NE(widget, nullptr);
  if (OnRealDisplay()) {
    const QPoint at = widget->mapToGlobal(point);
    // A move with --sync waits for the pointer to move: one already there only clicks.
    const QStringList click =
        QCursor::pos() == at ? QStringList{"click", "1"}
                             : QStringList{"mousemove", "--sync", QString::number(at.x()),
                                           QString::number(at.y()), "click", "1"};
    ASSERT_EQ(QProcess::execute("xdotool", click), 0);
  } else {
    QWidget* top = widget->window();
    QTest::mouseClick(top->windowHandle(), Qt::LeftButton, {}, widget->mapTo(top, point));
  }
}

// Clicks the left button at the centre of widget.
inline void Click(QWidget* widget) {
  ASSERT_NE(widget, nullptr);
  ClickAt(widget, widget->rect().center());
}

// On a real display typed keys arrive a little later: lets them in.
inline void Settle() {
  if (OnRealDisplay()) QTest::qWait(100);
  QCoreApplication::processEvents();
}

}  // namespace real_input
