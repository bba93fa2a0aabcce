#include "base/application.h"

namespace {
Application* g_application = nullptr;
platform::Library* g_objectModelLibrary = nullptr;
}  // namespace

Application* TheApplication() { return g_application; }
void SetApplication(Application* application) { g_application = application; }

platform::Library* ObjectModelLibrary() { return g_objectModelLibrary; }
void SetObjectModelLibrary(platform::Library* library) { g_objectModelLibrary = library; }
