#pragma once

// CDIB: the program's bitmap, a device-independent bitmap of 1, 8 or 24 bits per pixel in one
// block: a 40-byte information header, the colour table (4 bytes per entry: blue, green, red,
// reserved) and the pixel rows, bottom row first, each padded to a multiple of 4 bytes; 24-bit
// pixels are stored blue, green, red. The block is exactly the body of a ".bmp" file.
//
// Each bitmap carries its own colour correction: a factor per colour and whether it is a linear
// gain (c * f) or a gamma curve (255 / 255^f * c^f), results truncated and capped at 255.
// It also carries the filter id and the paint delay of the window that shows it.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One colour of a palette: red, green, blue and the palette flags.
struct PaletteEntry {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  std::uint8_t flags = 0;
  friend bool operator==(const PaletteEntry&, const PaletteEntry&) = default;
};

// Correction factors and the linear flag.
struct GammaSettings {
  double red = 1.0;
  double green = 1.0;
  double blue = 1.0;
  bool linear = false;
  friend bool operator==(const GammaSettings&, const GammaSettings&) = default;
};

// Where new bitmaps take their correction from, and where the gamma dialog's "Save as Default"
// puts it. The application installs its program defaults; without one, bitmaps start at 1.0.
class GammaDefaults {
 public:
  virtual ~GammaDefaults() = default;
  virtual GammaSettings Get() const = 0;
  virtual void Save(const GammaSettings& settings) = 0;
};
// Installs the source (or none); returns the previous one.
GammaDefaults* SetGammaDefaults(GammaDefaults* defaults);
GammaDefaults* GetGammaDefaults();

// The corrected value of one colour component c (0..255) with factor f.
std::uint8_t CorrectComponent(int c, double f, bool linear);

class CDIB {
 public:
  static constexpr int kHeaderSize = 40;
  static constexpr int kFileHeaderSize = 14;
  static constexpr int kFilterOriginal = 20301;
  // The longest wait before the first paint of a new image, in milliseconds.
  static constexpr int kMaxPaintDelayMs = 1000;

  // An empty bitmap with the correction of the program defaults.
  CDIB();
  // Copies size, depth, colour table, bits and the correction settings.
  CDIB(const CDIB& other) = default;
  CDIB& operator=(const CDIB& other) = default;

  // The largest pixel block (rows padded to 4 bytes) a bitmap may have; larger images are
  // refused rather than allocated.
  static constexpr std::uint64_t kMaxImageBytes = std::uint64_t{1} << 31;
  // Whether a width x height bitmap of bitCount bits fits in kMaxImageBytes (false for negative
  // sizes); computed without overflow for any int sizes.
  static bool CanHold(std::int64_t width, std::int64_t height, int bitCount);

  // Creates a zeroed width x height bitmap of bitCount 1, 8 or 24 bits; false (and the bitmap
  // unchanged) for any other depth, negative sizes or sizes beyond the addressable. With a
  // table (up to 256 entries, more are ignored) the colour table is a copy of it; without, 8 bits
  // get the grey ramp and 1 bit black and white. Throws std::bad_alloc when memory runs out.
  bool Create(int width, int height, int bitCount, const PaletteEntry* table = nullptr,
              int tableSize = 0);

  bool IsEmpty() const { return block_.empty(); }
  int Width() const;
  int Height() const;
  int BitCount() const;
  // Bytes per stored row, a multiple of 4.
  int RowBytes() const;
  // Entries of the colour table (2, 256 or 0).
  int ColorsUsed() const;
  // Whether the colour table is the grey ramp (entry i = i, i, i).
  bool IsGreyRamp() const { return grey_; }

  // The whole block: header, colour table, rows.
  const std::uint8_t* Block() const { return block_.data(); }
  std::size_t BlockSize() const { return block_.size(); }
  // The colour table: 4 bytes per entry, blue, green, red, reserved.
  std::uint8_t* ColorTable() { return block_.data() + kHeaderSize; }
  const std::uint8_t* ColorTable() const { return block_.data() + kHeaderSize; }
  // The pixel rows, bottom row first; null when empty.
  std::uint8_t* Bits();
  const std::uint8_t* Bits() const;
  std::size_t ImageSize() const { return static_cast<std::size_t>(RowBytes()) * Height(); }

  // The palette made from the colour table (red, green, blue, reserved byte as flags); empty
  // when the bitmap has no colour table.
  std::vector<PaletteEntry> Palette() const;
  // Sets entry index of the colour table (ignored out of range).
  void SetColorTableEntry(int index, const PaletteEntry& entry);

  // ".bmp" files: a 14-byte file header, then the block. Writing replaces the file atomically
  // and gives false, with the reason in *error, when that fails. Reading gives false and leaves
  // the bitmap unchanged unless the file is a complete uncompressed bottom-up bitmap of 1, 8 or
  // 24 bits, at least one pixel wide and high, whose header, colour table and rows all lie
  // within the file.
  bool WriteFile(const std::string& path, std::string* error = nullptr) const;
  bool ReadFile(const std::string& path);
  // The file image of the bitmap (what WriteFile writes).
  std::string FileBytes() const;
  // Takes a file image; the same checks as ReadFile.
  bool FromFileBytes(const std::string& bytes);

  // Colour correction.
  void SetGamma(double red, double green, double blue, bool linear);
  GammaSettings Gamma() const { return gamma_; }
  // 8-bit bitmaps: every colour-table entry becomes the corrected entry of source (size
  // entries, red, green, blue, flags; entries beyond size are left alone).
  void CorrectPalette(const PaletteEntry* source, int size);
  // 24-bit bitmaps: corrects every pixel through this bitmap's tables, which are rebuilt when
  // its factors changed. Nothing happens when all three factors are 1.0.
  void BuildCorrectionTables();

  // 24-bit bitmaps: three planes of width x height bytes, top row first: red, then green, then
  // blue. FromPlanes is the exact inverse. Other depths are left untouched.
  void ToPlanes(std::uint8_t* planes) const;
  void FromPlanes(const std::uint8_t* planes);
  // Fills rowCount image rows from firstRow down (counted from the top) from planes that hold
  // just those rows: 24 bits: rowCount rows of red, then of green, then of blue; 8 bits: rowCount
  // rows of one plane. Rows outside the image are ignored.
  void FromPlaneRows(int firstRow, int rowCount, const std::uint8_t* planes);

  int filterId = kFilterOriginal;

  // The paint delay in milliseconds (kept within 0..kMaxPaintDelayMs).
  void SetPaintDelay(int ms);
  int PaintDelay() const { return paintDelayMs_; }
  // Marks the bits as a new image: its first paint waits for the paint delay.
  void MarkNewImage() { newImage_ = true; }
  // How long a paint about to happen must wait: the rest of the paint delay counted from the
  // previous new image's paint, for the first paint of a new image only; 0 for repaints, so
  // exposing or resizing a window never waits.
  std::chrono::milliseconds TakePaintWait(std::chrono::steady_clock::time_point now);

 private:
  void SetHeader(int width, int height, int bitCount, int colours);
  std::uint32_t HeaderField(int offset) const;
  void UpdateGreyFlag();

  std::vector<std::uint8_t> block_;
  bool grey_ = false;
  bool gammaChanged_ = true;
  GammaSettings gamma_;
  std::uint8_t tables_[3][256] = {};  // red, green, blue
  int paintDelayMs_ = 0;
  bool newImage_ = false;
  std::chrono::steady_clock::time_point lastNewPaint_{};
};
