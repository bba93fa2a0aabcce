#pragma once

// SHA-256 over bytes fed in pieces, so that a file of any size is digested as it is read,
// without a copy of it.

#include <QCryptographicHash>

#include <array>
#include <cstdint>
#include <string_view>

namespace platform {

class Sha256 {
 public:
  using Digest = std::array<std::uint8_t, 32>;

  void Add(std::string_view bytes);
  // The digest of everything added; the object is spent afterwards.
  Digest Finish();

 private:
  QCryptographicHash hash_{QCryptographicHash::Sha256};
};

}  // namespace platform
