#include "sequences/vrawsequence.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <new>

#include "sequences/mosaic.h"

namespace {

constexpr double kRateUnit = 0.1;      // frames per second of one count
constexpr char kColourMark[] = "RAW";  // with its zero byte
constexpr char kRateTag[] = "R_RATE";
constexpr std::size_t kRateTagLength = sizeof kRateTag - 1;
constexpr int kRateValueAfter = 7;  // the number stands this far from the tag's start
constexpr std::size_t kRateTextSize = 32;
constexpr std::size_t kScanChunk = 64 * 1024;
constexpr std::uint64_t kHexLimit = std::uint64_t{1} << 40;  // larger numbers are kept at this

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The hexadecimal number at header[at] up to the first character that is no hexadecimal digit
// (leading white space and "0x" skipped); 0 when there is none.
std::int64_t HexField(const char* header, int at) {
  int i = at;
  while (i < VrawFrameSequence::kHeaderSize && IsBlank(header[i])) ++i;
  if (i + 1 < VrawFrameSequence::kHeaderSize && header[i] == '0' &&
      (header[i + 1] == 'x' || header[i + 1] == 'X'))
    i += 2;
  std::uint64_t value = 0;
  for (; i < VrawFrameSequence::kHeaderSize && HexDigit(header[i]) >= 0; ++i)
    value = std::min(value * 16 + static_cast<std::uint64_t>(HexDigit(header[i])), kHexLimit);
  return static_cast<std::int64_t>(value);
}

// The number at the start of text (leading white space and a plus sign skipped).
bool LeadingNumber(const char* text, std::size_t size, double& value) {
  const char* p = text;
  const char* end = text + size;
  while (p < end && IsBlank(*p)) ++p;
  if (p < end && *p == '+') ++p;
  return std::from_chars(p, end, value).ec == std::errc();
}

}  // namespace

VrawFrameSequence::VrawFrameSequence(std::string_view name, Document* document)
    : RawFrameSequence(name, document) {}

bool VrawFrameSequence::Open() {
  if (!OpenFile()) return false;
  char header[kHeaderSize] = {};
  if (!ReadAt(reinterpret_cast<std::uint8_t*>(header), kHeaderSize, 0))
    return SetLayout(0, 0, 0, 0, 0, kHeaderSize);  // refuses with the damaged-file message
  const std::int64_t width = HexField(header, kWidthAt);
  const std::int64_t lines = HexField(header, kLinesAt);
  const std::int64_t headerLength = HexField(header, kHeaderLengthAt);
  if (!SetLayout(width, 2 * lines, lines, HexField(header, kFramesAt), headerLength, kHeaderSize))
    return false;
  fsData.colour = std::memcmp(header + kColourAt, kColourMark, sizeof kColourMark) == 0 ? 1 : 0;
  fsData.framesPerSecond = static_cast<float>(HexField(header, kRateAt) * kRateUnit);
  ReadDSCPartial(fsData, fileName.Path());
  SetImageSize(fsData.units, fsData.aspect, fsData.width, fsData.height);
  ApplyRateOverride(headerLength);
  return FinishOpen();
}

void VrawFrameSequence::ApplyRateOverride(std::int64_t headerLength) {
  // Read in chunks that overlap by the tag's length less one, so a tag across two chunks is found.
  std::vector<char> chunk(kScanChunk);
  for (std::int64_t at = 0; at + static_cast<std::int64_t>(kRateTagLength) <= headerLength;
       at += kScanChunk - (kRateTagLength - 1)) {
    const std::size_t want = static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(kScanChunk), headerLength - at));
    const std::size_t got = ReadUpTo(reinterpret_cast<std::uint8_t*>(chunk.data()), want, at);
    const auto end = chunk.begin() + static_cast<std::ptrdiff_t>(got);
    const auto found = std::search(chunk.begin(), end, kRateTag, kRateTag + kRateTagLength);
    if (found != end) {
      char text[kRateTextSize] = {};
      const std::size_t n = ReadUpTo(reinterpret_cast<std::uint8_t*>(text), sizeof text,
                                     at + (found - chunk.begin()) + kRateValueAfter);
      double rate = 0;
      // A rate that is no positive number would break every time conversion: it is ignored.
      if (LeadingNumber(text, n, rate) && std::isfinite(rate) && rate > 0)
        fsData.framesPerSecond = static_cast<float>(rate * kRateUnit);
      return;
    }
    if (got < want) return;
  }
}

void VrawFrameSequence::StoredToBitmap(const std::uint8_t* stored) {
  const std::size_t plane = static_cast<std::size_t>(fsData.width) * fsData.height;
  const std::size_t need = plane * (IsColour() ? 3 : 1);
  if (planes_.size() != need) planes_.resize(need);
  if (IsColour())
    VrawColourPlanes(stored, fsData.width, fsData.height, planes_.data());
  else
    VrawGreyPlane(stored, fsData.width, fsData.height, planes_.data());
  FrameDataToDib(fsData, planes_.data(), frameDib);
}
