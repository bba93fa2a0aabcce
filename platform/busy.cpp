#include "platform/busy.h"

#include <QCoreApplication>
#include <QThread>

namespace platform {
namespace {

std::function<void(bool)>& Handler() {
  static std::function<void(bool)> handler;
  return handler;
}

// Scopes open now on this thread; only the outermost one shows and ends the busy state.
thread_local int g_depth = 0;

// Only the user-interface thread shows anything: work elsewhere keeps the user's cursor.
bool OnUserInterfaceThread() {
  const QCoreApplication* app = QCoreApplication::instance();
  return app && app->thread() == QThread::currentThread();
}

}  // namespace

BusyScope::BusyScope() {
  if (g_depth++ == 0 && Handler() && OnUserInterfaceThread()) Handler()(true);
}

BusyScope::~BusyScope() {
  if (--g_depth == 0 && Handler() && OnUserInterfaceThread()) Handler()(false);
}

void SetBusyHandler(std::function<void(bool)> handler) { Handler() = std::move(handler); }

}  // namespace platform
