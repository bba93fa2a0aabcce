#pragma once

// Test clips made on the spot with the ffmpeg command into a temporary folder (never stored).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "seq_test_util.h"

namespace videotest {

inline bool HaveFfmpeg() {
  static const bool have = std::system("command -v ffmpeg >/dev/null 2>&1") == 0;
  return have;
}

// Runs ffmpeg with a generated test picture (`source` is a lavfi graph) and the encoder options;
// returns the clip's path, or "" when ffmpeg failed.
inline std::string MakeClip(const seqtest::TempDir& dir, const std::string& name,
                            const std::string& options, int frames = 40,
                            const std::string& source = "testsrc=size=64x48:rate=25") {
  std::string path = dir.File(name);
  std::string cmd = "ffmpeg -nostdin -y -loglevel error -f lavfi -i '" + source + "' -frames:v " +
                    std::to_string(frames) + " " + options + " '" + path + "' >/dev/null 2>&1";
  return std::system(cmd.c_str()) == 0 ? path : std::string();
}

// Blanks the bytes of picture `n` (counted from 0) of an AVI's first video stream: the data of
// its n-th "00dc" chunk. False when the file has no such chunk.
inline bool BlankAviPicture(const std::string& path, int n) {
  std::string bytes;
  {
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  std::size_t at = bytes.find("movi");
  for (int i = 0; i <= n && at != std::string::npos; ++i) at = bytes.find("00dc", at + 4);
  if (at == std::string::npos || at + 8 > bytes.size()) return false;
  const std::size_t size = static_cast<std::uint8_t>(bytes[at + 4]) |
                           static_cast<std::uint8_t>(bytes[at + 5]) << 8 |
                           static_cast<std::uint8_t>(bytes[at + 6]) << 16;
  const std::size_t end = std::min(bytes.size(), at + 8 + size);
  std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(at + 8),
            bytes.begin() + static_cast<std::ptrdiff_t>(end), '\0');
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  return true;
}

inline std::uint64_t Hash(const std::uint8_t* data, std::size_t size) {
  std::uint64_t h = 1469598103934665603ull;
  for (std::size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 1099511628211ull;
  return h;
}

}  // namespace videotest

#define SKIP_WITHOUT_FFMPEG() \
  if (!videotest::HaveFfmpeg()) GTEST_SKIP() << "the ffmpeg command is not installed"
