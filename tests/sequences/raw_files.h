#pragma once

// Raw camera files written byte for byte for the tests: the ".vraw" text header and the ".vr2"
// big-endian header, description block and frame base, at the places the readers expect.

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace rawtest {

// Fields of a ".vraw" header; the header is padded to `length` bytes, with `extra` at byte 64.
struct Vraw {
  std::string colour = "GRY";  // "RAW" (with its zero byte) makes a colour file
  std::uint64_t width = 4, lines = 2, rate = 0xfa, frames = 1, length = 64;
  std::string extra;
  bool pad = true;  // false: the file ends after the 64 bytes, whatever the length says
};

inline std::string VrawHeader(const Vraw& v) {
  std::string h(64, ' ');
  std::memcpy(h.data(), "VRAW TEST FILE", 14);
  std::memcpy(h.data() + 15, v.colour.c_str(), std::min<std::size_t>(v.colour.size() + 1, 4));
  const std::uint64_t fields[] = {v.width, v.lines, v.rate, v.frames, v.length};
  for (int i = 0; i < 5; ++i) {
    char text[16];
    std::snprintf(text, sizeof text, "%08llx", static_cast<unsigned long long>(fields[i]));
    std::memcpy(h.data() + 19 + 9 * i, text, 8);
  }
  if (v.length > 64 && v.pad) {
    h += v.extra;
    if (h.size() < v.length) h.resize(v.length, ' ');
  }
  return h;
}

inline void PutBigEndian(std::string& s, std::size_t at, std::uint64_t v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i, v >>= 8) s[at + i] = static_cast<char>(v & 0xFF);
}

// Fields of a ".vr2" file: header, description block, and the 64-bit frame base at `basePosition`
// (0: right after the block).
struct Vr2 {
  std::uint64_t width = 4, height = 4, frames = 1, offset = 16, basePosition = 0, base = 0;
};

constexpr std::size_t kVr2Fixed = 96 + 1064;

// Header, block and base record; with base 0 the frames follow the base record, so the bytes
// of the frames are appended to the result.
inline std::string Vr2Head(Vr2 v) {
  if (v.basePosition == 0) v.basePosition = kVr2Fixed;
  if (v.base == 0) v.base = v.basePosition + 8 - v.offset;
  std::string s(kVr2Fixed + 8, '\0');
  PutBigEndian(s, 36, v.frames, 4);
  PutBigEndian(s, 40, v.offset, 4);
  PutBigEndian(s, 88, v.basePosition, 8);
  PutBigEndian(s, 96 + 4, v.width, 4);
  PutBigEndian(s, 96 + 8, v.height, 4);
  if (v.basePosition + 8 <= s.size()) PutBigEndian(s, v.basePosition, v.base, 8);
  return s;
}

}  // namespace rawtest
