#include "sequences/dib.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "platform/files.h"

namespace {

GammaDefaults* g_gammaDefaults = nullptr;

// Offsets of the information header's fields.
constexpr int kOffSize = 0;
constexpr int kOffWidth = 4;
constexpr int kOffHeight = 8;
constexpr int kOffPlanes = 12;
constexpr int kOffBitCount = 14;
constexpr int kOffCompression = 16;
constexpr int kOffImageSize = 20;
constexpr int kOffColorsUsed = 32;

// Offsets of the file header's fields.
constexpr int kOffFileSize = 2;
constexpr int kOffBitsOffset = 10;

void Put16(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
std::uint32_t Get16(const std::uint8_t* p) { return p[0] | (std::uint32_t{p[1]} << 8); }
std::uint32_t Get32(const std::uint8_t* p) {
  return p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
         (std::uint32_t{p[3]} << 24);
}

std::uint64_t RowBytesFor(std::uint64_t width, int bitCount) {
  return ((width * static_cast<std::uint64_t>(bitCount) + 31) / 32) * 4;
}

int TableEntriesFor(int bitCount) { return bitCount == 1 ? 2 : bitCount == 8 ? 256 : 0; }

// Interleaving the colour planes is most of the cost of showing a colour frame; where the
// compiler can, it builds these two loops also for processors with byte shuffles.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
#define ZORVAT_ROW_KERNEL \
  __attribute__((noinline, target_clones("default", "arch=x86-64-v2"), optimize("O3")))
#else
#define ZORVAT_ROW_KERNEL
#endif

ZORVAT_ROW_KERNEL void PlanesToRow(std::uint8_t* dst, const std::uint8_t* r, const std::uint8_t* g,
                                   const std::uint8_t* b, std::size_t w) {
  for (std::size_t x = 0; x < w; ++x, dst += 3) {
    dst[0] = b[x];
    dst[1] = g[x];
    dst[2] = r[x];
  }
}

ZORVAT_ROW_KERNEL void RowToPlanes(const std::uint8_t* src, std::uint8_t* r, std::uint8_t* g,
                                   std::uint8_t* b, std::size_t w) {
  for (std::size_t x = 0; x < w; ++x, src += 3) {
    b[x] = src[0];
    g[x] = src[1];
    r[x] = src[2];
  }
}

}  // namespace

GammaDefaults* SetGammaDefaults(GammaDefaults* defaults) {
  GammaDefaults* old = g_gammaDefaults;
  g_gammaDefaults = defaults;
  return old;
}

GammaDefaults* GetGammaDefaults() { return g_gammaDefaults; }

std::uint8_t CorrectComponent(int c, double f, bool linear) {
  if (f == 1.0) return static_cast<std::uint8_t>(c);
  double v;
  if (linear) {
    v = c * f;
  } else {
    v = 255.0 / std::pow(255.0, f) * std::pow(static_cast<double>(c), f);
  }
  // The small allowance keeps exact results such as 255 from truncating to 254 through rounding.
  v = std::floor(v + 1e-9);
  return static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0));
}

bool CDIB::CanHold(std::int64_t width, std::int64_t height, int bitCount) {
  constexpr std::int64_t kMaxSide = std::numeric_limits<std::int32_t>::max();
  if (width < 0 || height < 0 || bitCount < 1 || width > kMaxSide || height > kMaxSide) {
    return false;
  }
  // Below 2^31 x 24 bits the row fits in 64 bits, and a product beyond the limit is caught by
  // dividing instead of multiplying.
  const std::uint64_t row = RowBytesFor(static_cast<std::uint64_t>(width), bitCount);
  return height == 0 || row <= kMaxImageBytes / static_cast<std::uint64_t>(height);
}

CDIB::CDIB() {
  if (g_gammaDefaults) gamma_ = g_gammaDefaults->Get();
}

std::uint32_t CDIB::HeaderField(int offset) const {
  return block_.empty() ? 0 : Get32(block_.data() + offset);
}

int CDIB::Width() const { return static_cast<int>(HeaderField(kOffWidth)); }
int CDIB::Height() const { return static_cast<int>(HeaderField(kOffHeight)); }
int CDIB::BitCount() const {
  return block_.empty() ? 0 : static_cast<int>(Get16(block_.data() + kOffBitCount));
}
int CDIB::RowBytes() const { return static_cast<int>(RowBytesFor(Width(), BitCount())); }
int CDIB::ColorsUsed() const { return static_cast<int>(HeaderField(kOffColorsUsed)); }

std::uint8_t* CDIB::Bits() {
  return block_.empty() ? nullptr : block_.data() + kHeaderSize + 4 * ColorsUsed();
}
const std::uint8_t* CDIB::Bits() const {
  return block_.empty() ? nullptr : block_.data() + kHeaderSize + 4 * ColorsUsed();
}

void CDIB::SetHeader(int width, int height, int bitCount, int colours) {
  std::uint8_t* h = block_.data();
  std::memset(h, 0, kHeaderSize);
  Put32(h + kOffSize, kHeaderSize);
  Put32(h + kOffWidth, static_cast<std::uint32_t>(width));
  Put32(h + kOffHeight, static_cast<std::uint32_t>(height));
  Put16(h + kOffPlanes, 1);
  Put16(h + kOffBitCount, static_cast<std::uint32_t>(bitCount));
  Put32(h + kOffCompression, 0);
  Put32(h + kOffImageSize, static_cast<std::uint32_t>(RowBytesFor(width, bitCount) * height));
  Put32(h + kOffColorsUsed, static_cast<std::uint32_t>(colours));
}

bool CDIB::Create(int width, int height, int bitCount, const PaletteEntry* table, int tableSize) {
  if (bitCount != 1 && bitCount != 8 && bitCount != 24) return false;
  if (!CanHold(width, height, bitCount)) return false;
  const std::uint64_t image = RowBytesFor(width, bitCount) * static_cast<std::uint64_t>(height);
  const int colours = TableEntriesFor(bitCount);
  std::vector<std::uint8_t> block(kHeaderSize + 4 * colours + image, 0);
  block_.swap(block);
  SetHeader(width, height, bitCount, colours);
  std::uint8_t* t = ColorTable();
  if (colours > 0 && table && tableSize > 0) {
    for (int i = 0; i < std::min(colours, tableSize); ++i) {
      t[4 * i] = table[i].blue;
      t[4 * i + 1] = table[i].green;
      t[4 * i + 2] = table[i].red;
      t[4 * i + 3] = table[i].flags;
    }
  } else if (colours > 0) {
    const int step = colours == 2 ? 255 : 1;
    for (int i = 0; i < colours; ++i) {
      t[4 * i] = t[4 * i + 1] = t[4 * i + 2] = static_cast<std::uint8_t>(i * step);
    }
  }
  UpdateGreyFlag();
  return true;
}

void CDIB::UpdateGreyFlag() {
  // Only a full 256-entry ramp makes the table grey; the filters then work on the indices.
  grey_ = ColorsUsed() == 256;
  const std::uint8_t* t = ColorTable();
  for (int i = 0; grey_ && i < 256; ++i) {
    grey_ = t[4 * i] == i && t[4 * i + 1] == i && t[4 * i + 2] == i;
  }
}

std::vector<PaletteEntry> CDIB::Palette() const {
  std::vector<PaletteEntry> out;
  if (block_.empty()) return out;
  const std::uint8_t* t = ColorTable();
  for (int i = 0; i < ColorsUsed(); ++i) {
    out.push_back({t[4 * i + 2], t[4 * i + 1], t[4 * i], t[4 * i + 3]});
  }
  return out;
}

void CDIB::SetColorTableEntry(int index, const PaletteEntry& e) {
  if (block_.empty() || index < 0 || index >= ColorsUsed()) return;
  std::uint8_t* t = ColorTable() + 4 * index;
  t[0] = e.blue;
  t[1] = e.green;
  t[2] = e.red;
  t[3] = e.flags;
  UpdateGreyFlag();
}

std::string CDIB::FileBytes() const {
  std::string out;
  if (block_.empty()) return out;
  const std::size_t total = kFileHeaderSize + block_.size();
  out.assign(kFileHeaderSize, '\0');
  auto* h = reinterpret_cast<std::uint8_t*>(out.data());
  h[0] = 'B';
  h[1] = 'M';
  Put32(h + kOffFileSize, static_cast<std::uint32_t>(total));
  Put32(h + kOffBitsOffset,
        static_cast<std::uint32_t>(kFileHeaderSize + kHeaderSize + 4 * ColorsUsed()));
  out.append(reinterpret_cast<const char*>(block_.data()), block_.size());
  return out;
}

bool CDIB::WriteFile(const std::string& path, std::string* error) const {
  if (block_.empty()) {
    if (error) *error = "empty bitmap";
    return false;
  }
  return platform::WriteFileAtomically(path, FileBytes(), error);
}

bool CDIB::ReadFile(const std::string& path) {
  std::string bytes;
  if (!platform::ReadWholeFile(path, bytes)) return false;
  return FromFileBytes(bytes);
}

bool CDIB::FromFileBytes(const std::string& bytes) {
  const auto* f = reinterpret_cast<const std::uint8_t*>(bytes.data());
  const std::uint64_t size = bytes.size();
  if (size < kFileHeaderSize + kHeaderSize || f[0] != 'B' || f[1] != 'M') return false;
  const std::uint8_t* h = f + kFileHeaderSize;
  // Only the plain 40-byte header of uncompressed bottom-up bitmaps is taken.
  const std::uint32_t headerSize = Get32(h + kOffSize);
  const auto width = static_cast<std::int32_t>(Get32(h + kOffWidth));
  const auto height = static_cast<std::int32_t>(Get32(h + kOffHeight));
  const std::uint32_t planes = Get16(h + kOffPlanes);
  const int bitCount = static_cast<int>(Get16(h + kOffBitCount));
  const std::uint32_t compression = Get32(h + kOffCompression);
  const std::uint32_t colorsUsed = Get32(h + kOffColorsUsed);
  if (headerSize != kHeaderSize || planes != 1 || compression != 0) return false;
  if (bitCount != 1 && bitCount != 8 && bitCount != 24) return false;
  // An image without pixels shows nothing, and its row count alone could make every later pass
  // over the rows run for seconds.
  if (width <= 0 || height <= 0 || !CanHold(width, height, bitCount)) return false;
  const int maxColours = TableEntriesFor(bitCount);
  const std::uint64_t fileColours = colorsUsed == 0 ? maxColours : colorsUsed;
  if (fileColours > static_cast<std::uint64_t>(maxColours) && bitCount != 24) return false;
  const std::uint64_t tableBytes = bitCount == 24 ? 4ull * colorsUsed : 4 * fileColours;
  const std::uint64_t image = RowBytesFor(width, bitCount) * static_cast<std::uint64_t>(height);
  const std::uint64_t tableStart = kFileHeaderSize + kHeaderSize;
  std::uint64_t bitsOffset = Get32(f + kOffBitsOffset);
  if (bitsOffset == 0) bitsOffset = tableStart + tableBytes;
  if (tableStart + tableBytes > size || bitsOffset < tableStart + tableBytes || bitsOffset > size ||
      size - bitsOffset < image) {
    return false;
  }

  // The block is rebuilt in this program's own layout: a full table for 1 and 8 bits, none for
  // 24, the rows right after it.
  const int colours = maxColours;
  std::vector<std::uint8_t> block(kHeaderSize + 4 * colours + image, 0);
  block_.swap(block);
  SetHeader(width, height, bitCount, colours);
  if (bitCount != 24) {
    std::memcpy(ColorTable(), f + tableStart, static_cast<std::size_t>(4 * fileColours));
  }
  std::memcpy(Bits(), f + bitsOffset, static_cast<std::size_t>(image));
  UpdateGreyFlag();
  return true;
}

void CDIB::SetGamma(double red, double green, double blue, bool linear) {
  gamma_ = {red, green, blue, linear};
  gammaChanged_ = true;
}

void CDIB::CorrectPalette(const PaletteEntry* source, int size) {
  if (block_.empty() || BitCount() != 8 || !source) return;
  std::uint8_t* t = ColorTable();
  const int n = std::min(size, ColorsUsed());
  for (int i = 0; i < n; ++i) {
    t[4 * i] = CorrectComponent(source[i].blue, gamma_.blue, gamma_.linear);
    t[4 * i + 1] = CorrectComponent(source[i].green, gamma_.green, gamma_.linear);
    t[4 * i + 2] = CorrectComponent(source[i].red, gamma_.red, gamma_.linear);
  }
  gammaChanged_ = false;
  UpdateGreyFlag();
}

void CDIB::BuildCorrectionTables() {
  if (block_.empty() || BitCount() != 24) return;
  if (gamma_.red == 1.0 && gamma_.green == 1.0 && gamma_.blue == 1.0) return;
  if (gammaChanged_) {
    const double f[3] = {gamma_.red, gamma_.green, gamma_.blue};
    for (int k = 0; k < 3; ++k) {
      for (int c = 0; c < 256; ++c) tables_[k][c] = CorrectComponent(c, f[k], gamma_.linear);
    }
    gammaChanged_ = false;
  }
  const int w = Width();
  const int h = Height();
  const int row = RowBytes();
  std::uint8_t* bits = Bits();
  for (int y = 0; y < h; ++y) {
    std::uint8_t* p = bits + static_cast<std::size_t>(y) * row;
    for (int x = 0; x < w; ++x, p += 3) {
      p[0] = tables_[2][p[0]];
      p[1] = tables_[1][p[1]];
      p[2] = tables_[0][p[2]];
    }
  }
}

void CDIB::ToPlanes(std::uint8_t* planes) const {
  if (block_.empty() || BitCount() != 24 || !planes) return;
  const std::size_t w = Width();
  const std::size_t h = Height();
  const std::size_t plane = w * h;
  const std::size_t row = RowBytes();
  const std::uint8_t* bits = Bits();
  for (std::size_t y = 0; y < h; ++y) {
    // The top row of the planes is the last stored row of the bitmap.
    const std::uint8_t* src = bits + (h - 1 - y) * row;
    std::uint8_t* r = planes + y * w;
    RowToPlanes(src, r, r + plane, r + 2 * plane, w);
  }
}

void CDIB::FromPlanes(const std::uint8_t* planes) {
  if (BitCount() == 24) FromPlaneRows(0, Height(), planes);
}

void CDIB::FromPlaneRows(int firstRow, int rowCount, const std::uint8_t* planes) {
  const int depth = BitCount();
  if (block_.empty() || (depth != 24 && depth != 8) || !planes || firstRow < 0 || rowCount <= 0) {
    return;
  }
  const std::size_t w = Width();
  const std::size_t h = Height();
  const std::size_t count =
      std::min<std::size_t>(rowCount, h > static_cast<std::size_t>(firstRow) ? h - firstRow : 0);
  const std::size_t plane = w * static_cast<std::size_t>(rowCount);
  const std::size_t row = RowBytes();
  std::uint8_t* bits = Bits();
  for (std::size_t i = 0; i < count; ++i) {
    // Image row firstRow + i is stored counted from the bottom.
    std::uint8_t* dst = bits + (h - 1 - (firstRow + i)) * row;
    const std::uint8_t* r = planes + i * w;
    if (depth == 24) {
      PlanesToRow(dst, r, r + plane, r + 2 * plane, w);
    } else {
      std::memcpy(dst, r, w);
    }
  }
}

void CDIB::SetPaintDelay(int ms) { paintDelayMs_ = std::clamp(ms, 0, kMaxPaintDelayMs); }

std::chrono::milliseconds CDIB::TakePaintWait(std::chrono::steady_clock::time_point now) {
  using std::chrono::milliseconds;
  if (!newImage_) return milliseconds(0);
  newImage_ = false;
  milliseconds wait(0);
  if (paintDelayMs_ > 0 && lastNewPaint_ != std::chrono::steady_clock::time_point{}) {
    auto due = lastNewPaint_ + milliseconds(paintDelayMs_);
    if (due > now) wait = std::chrono::duration_cast<milliseconds>(due - now);
  }
  lastNewPaint_ = now + wait;
  return wait;
}
