// The settings file as the program reads it at start (every key through the defaults) and
// rewrites it when a setting changes.

#include "base/defaults.h"
#include "base/profile.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  AnaProfile profile(fuzz::WriteInput("Zorvat-Player.INI", fuzz::Bytes(data, size)).c_str());
  g_Profile = &profile;
  DefaultValueStruct defaults;
  defaults.Load();
  std::string text;
  profile.GetString(key::kSection, key::kInitialPath, text, 261, "");
  profile.WriteInt(key::kSection, key::kMarkWidth, defaults.markWidth);
  g_Profile = nullptr;
  return 0;
}
