#pragma once

// A settings store in a fresh temporary folder, installed as the program's store for one test.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "base/profile.h"

class TempSettings : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("zorvat-settings-" + std::to_string(::getpid()) + "-" +
            testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    const char* old = std::getenv("XDG_CONFIG_HOME");
    oldConfig_ = old ? old : "";
    setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
    profile_ = std::make_unique<AnaProfile>((dir_ / "Zorvat-Player.INI").c_str());
    g_Profile = profile_.get();
  }
  void TearDown() override {
    g_Profile = nullptr;
    profile_.reset();
    if (oldConfig_.empty())
      unsetenv("XDG_CONFIG_HOME");
    else
      setenv("XDG_CONFIG_HOME", oldConfig_.c_str(), 1);
    std::filesystem::remove_all(dir_);
  }
  void WriteSettings(const std::string& text) {
    std::ofstream(profile_->FilePath(), std::ios::binary) << text;
  }
  std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::filesystem::path dir_;
  std::string oldConfig_;
  std::unique_ptr<AnaProfile> profile_;
};
