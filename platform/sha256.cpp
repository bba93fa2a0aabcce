#include "platform/sha256.h"

#include <algorithm>

namespace platform {

void Sha256::Add(std::string_view bytes) {
  hash_.addData(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

Sha256::Digest Sha256::Finish() {
  const QByteArray result = hash_.result();
  Digest digest{};
  std::copy_n(reinterpret_cast<const std::uint8_t*>(result.constData()), digest.size(),
              digest.begin());
  return digest;
}

}  // namespace platform
