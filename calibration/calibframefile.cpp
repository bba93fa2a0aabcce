#include "calibration/calibframefile.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
  return s;
}

}  // namespace

std::string FindCompanion(const std::string& path, const std::string& ext) {
  namespace fs = std::filesystem;
  fs::path wanted(path);
  wanted.replace_extension(ext);
  std::error_code error;
  if (fs::exists(wanted, error)) return wanted.string();
  const fs::path folder = wanted.has_parent_path() ? wanted.parent_path() : fs::path(".");
  const std::string name = Lower(wanted.filename().string());
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    if (Lower(it->path().filename().string()) == name) return it->path().string();
  }
  return wanted.string();
}

CalibrationFrameFile ResolveCalibrationFrame(const std::string& path) {
  const std::string ext = Lower(std::filesystem::path(path).extension().string());
  if (ext == ".bld" || ext == ".dsc")
    return {CalibrationFrameKind::kFrameFile, FindCompanion(path, ".bld")};
  if (ext == ".vraw") return {CalibrationFrameKind::kVraw, path};
  if (ext == ".vr2") return {CalibrationFrameKind::kVr2, path};
  return {CalibrationFrameKind::kVideo, path};
}
