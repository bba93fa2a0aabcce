#pragma once

// The running program for one test: its settings in a fresh folder, the program defaults, and
// the application object (its main window is made by the test, through InitInstance or
// InitMainWindow).

#include <QCoreApplication>

#include <memory>

#include "app/ui/mdiclient.h"
#include "app/zorvatrackapp.h"
#include "base/defaults.h"
#include "common/settings_fixture.h"

class ProgramTest : public TempSettings {
 protected:
  void SetUp() override {
    TempSettings::SetUp();
    g_Defaults = new DefaultValueStruct;
    g_Defaults->Load();
    app_ = std::make_unique<ZorvatrackApp>();
    g_App = app_.get();
  }
  void TearDown() override {
    if (app_ && app_->MDIClient()) app_->MDIClient()->closeAllSubWindows();
    QCoreApplication::processEvents();
    app_.reset();
    g_App = nullptr;
    delete g_Defaults;
    g_Defaults = nullptr;
    TempSettings::TearDown();
  }

  std::unique_ptr<ZorvatrackApp> app_;
};
