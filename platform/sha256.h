#pragma once

// SHA-256 over bytes fed in pieces, so that a file of any size is digested as it is read,
// without a copy of it.

#include <array>
#include <cstdint>
#include <string_view>

namespace platform {

class Sha256 {
 public:
  using Digest = std::array<std::uint8_t, 32>;

  Sha256();
  void Add(std::string_view bytes);
  // The digest of everything added; the object is spent afterwards.
  Digest Finish();

 private:
  void Block(const std::uint8_t* block);

  std::array<std::uint32_t, 8> state_;
  std::array<std::uint8_t, 64> pending_{};
  std::size_t pendingSize_ = 0;
  std::uint64_t totalBytes_ = 0;
};

}  // namespace platform
