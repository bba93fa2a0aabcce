#include "sequences/frameconvert.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "base/messages.h"

namespace {

void ReportMismatch(const std::string& function) {
  ShowErrorMessage(kInternalErrorCaption,
                   "Call to '" + function + "()' with incompatible Bitmapheaders!");
}

std::size_t RowLength(int width, int bits) {
  return static_cast<std::size_t>((static_cast<long long>(width) * bits + 31) / 32) * 4;
}

// The colour of source pixel x of a row as blue, green, red; indexed colours through `table`
// (256 entries of blue, green, red, reserved; entries past the source's table are black).
inline void FetchPixel(const std::uint8_t* row, int x, int bits, const std::uint8_t* table,
                       std::uint8_t* bgr) {
  switch (bits) {
    case 1:
    case 4:
    case 8: {
      int index;
      if (bits == 8)
        index = row[x];
      else if (bits == 4)
        index = (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
      else
        index = (row[x >> 3] >> (7 - (x & 7))) & 1;
      std::memcpy(bgr, table + 4 * index, 3);
      break;
    }
    case 16: {
      unsigned word = row[2 * x] | (row[2 * x + 1] << 8);
      bgr[0] = static_cast<std::uint8_t>((word & 31) * 8);
      bgr[1] = static_cast<std::uint8_t>((word >> 2) & 248);
      bgr[2] = static_cast<std::uint8_t>((word >> 7) & 248);
      break;
    }
    case 24:
      std::memcpy(bgr, row + 3 * x, 3);
      break;
    default:  // 32
      std::memcpy(bgr, row + 4 * x, 3);
      break;
  }
}

}  // namespace

DibSource SourceOf(const CDIB& dib) {
  DibSource s;
  if (dib.IsEmpty()) return s;
  s.width = dib.Width();
  s.height = dib.Height();
  s.bitCount = dib.BitCount();
  s.colorsUsed = dib.ColorsUsed();
  s.colorTable = dib.ColorTable();
  s.bits = dib.Bits();
  return s;
}

void SetupDIB(const FS_Data& data, const DibSource& source, CDIB& target) {
  (void)data;
  const int tb = target.BitCount();
  const int sb = source.bitCount;
  if ((tb != 8 && tb != 24) || target.IsEmpty()) return;
  if (sb != 1 && sb != 4 && sb != 8 && sb != 16 && sb != 24 && sb != 32) return;
  const int height = std::abs(source.height);
  if (source.width != target.Width() || height != target.Height() || !source.bits) {
    ReportMismatch("Setup" + std::to_string(tb) + "bitDIBfrom" + std::to_string(sb) + "bit");
    return;
  }
  const int width = source.width;
  const std::size_t srcRow = RowLength(width, sb);
  const std::size_t dstRow = static_cast<std::size_t>(target.RowBytes());
  // The source's table widened to 256 entries, so no index can read past it.
  std::uint8_t table[1024] = {};
  if (sb <= 8 && source.colorTable) {
    int entries = source.colorsUsed > 0 ? source.colorsUsed : (1 << sb);
    if (entries > 256) entries = 256;
    std::memcpy(table, source.colorTable, static_cast<std::size_t>(entries) * 4);
  }
  std::uint8_t greyOfIndex[256];
  if (sb <= 8)
    for (int i = 0; i < 256; ++i)
      greyOfIndex[i] =
          static_cast<std::uint8_t>(GreyValue(table[4 * i + 2], table[4 * i + 1], table[4 * i]));

  std::uint8_t* dstBits = target.Bits();
  const bool topDown = source.height < 0;
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* in = source.bits + srcRow * y;
    std::uint8_t* out = dstBits + dstRow * (topDown ? height - 1 - y : y);
    if (tb == 24 && sb == 24) {
      std::memcpy(out, in, static_cast<std::size_t>(width) * 3);
    } else if (tb == 8 && sb == 8) {
      for (int x = 0; x < width; ++x) out[x] = greyOfIndex[in[x]];
    } else if (tb == 8 && sb == 24) {
      for (int x = 0; x < width; ++x, in += 3)
        out[x] = static_cast<std::uint8_t>(GreyValue(in[2], in[1], in[0]));
    } else {
      std::uint8_t bgr[3];
      for (int x = 0; x < width; ++x) {
        FetchPixel(in, x, sb, table, bgr);
        if (tb == 24)
          std::memcpy(out + 3 * x, bgr, 3);
        else
          out[x] = static_cast<std::uint8_t>(GreyValue(bgr[2], bgr[1], bgr[0]));
      }
    }
  }
}

void HalfFrameSize(int mode, int width, int height, int* outWidth, int* outHeight) {
  *outWidth = (mode == kHalfFrameAspect || mode == kHalfFrameCorrect) ? width / 2 : width;
  *outHeight = (mode >= kHalfFrameSimple && mode <= kHalfFrameCorrect) ? height / 2 : height;
}

void SetupHalfframeDIB(const FS_Data& data, int mode, const CDIB& source, int field, CDIB& target) {
  static const char* const kModeNames[] = {"", "simple", "aspect", "correct", "interpol"};
  const int bits = data.colour == 1 ? 24 : 8;
  const int bpp = bits / 8;
  if (mode < kHalfFrameNone || mode > kHalfFrameInterpolate) return;
  const std::string name = mode == kHalfFrameNone ? std::string("SetupHalfframeDIB")
                                                  : "Setup" + std::to_string(bits) +
                                                        "bitHalfframeDIB" + kModeNames[mode];
  int w = 0, h = 0;
  if (!source.IsEmpty()) HalfFrameSize(mode, source.Width(), source.Height(), &w, &h);
  if (source.IsEmpty() || target.IsEmpty() || source.BitCount() != bits ||
      target.BitCount() != bits || target.Width() != w || target.Height() != h) {
    ReportMismatch(name);
    return;
  }
  field &= 1;
  const std::size_t srcRowBytes = static_cast<std::size_t>(source.RowBytes());
  const std::size_t dstRowBytes = static_cast<std::size_t>(target.RowBytes());
  const std::uint8_t* src = source.Bits();
  std::uint8_t* dst = target.Bits();
  auto srow = [&](int r) { return src + srcRowBytes * r; };
  auto drow = [&](int r) { return dst + dstRowBytes * r; };
  const std::size_t lineBytes = static_cast<std::size_t>(w) * bpp;
  const int sh = source.Height();

  switch (mode) {
    case kHalfFrameNone:
      for (int r = 0; r < h; ++r) std::memcpy(drow(r), srow(r), lineBytes);
      break;
    case kHalfFrameSimple:
      for (int r = 0; r < h; ++r) std::memcpy(drow(r), srow(2 * r + field), lineBytes);
      break;
    case kHalfFrameAspect:
      for (int r = 0; r < h; ++r) {
        const std::uint8_t* in = srow(2 * r + field);
        std::uint8_t* out = drow(r);
        for (int c = 0; c < w; ++c) std::memcpy(out + c * bpp, in + 2 * c * bpp, bpp);
      }
      break;
    case kHalfFrameCorrect:
      for (int r = 0; r < h; ++r) {
        std::uint8_t* out = drow(r);
        if (field == 0 || r == 0) {
          const std::uint8_t* in = srow(2 * r + field);
          for (int c = 0; c < w; ++c)
            for (int k = 0; k < bpp; ++k)
              out[c * bpp + k] =
                  static_cast<std::uint8_t>((in[2 * c * bpp + k] + in[(2 * c + 1) * bpp + k]) >> 1);
        } else {
          const std::uint8_t* a = srow(2 * r - 1);
          const std::uint8_t* b = srow(2 * r + 1);
          for (int c = 0; c < w; ++c)
            for (int k = 0; k < bpp; ++k) {
              const int i = 2 * c * bpp + k, j = (2 * c + 1) * bpp + k;
              out[c * bpp + k] = static_cast<std::uint8_t>((a[i] + a[j] + b[i] + b[j]) >> 2);
            }
        }
      }
      break;
    case kHalfFrameInterpolate:
      for (int r = 0; r < h; ++r) {
        std::uint8_t* out = drow(r);
        if ((r & 1) == field) {
          std::memcpy(out, srow(r), lineBytes);
        } else if (r == 0) {  // field 1: the first row repeats source row 1
          std::memcpy(out, srow(sh > 1 ? 1 : 0), lineBytes);
        } else if (r + 1 >= sh) {  // nothing below: repeat the last own row
          std::memcpy(out, srow(r - 1), lineBytes);
        } else {
          const std::uint8_t* a = srow(r - 1);
          const std::uint8_t* b = srow(r + 1);
          for (std::size_t i = 0; i < lineBytes; ++i)
            out[i] = static_cast<std::uint8_t>((a[i] + b[i]) >> 1);
        }
      }
      break;
  }
}
