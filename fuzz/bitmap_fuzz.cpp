// Bitmap files (".bmp").

#include "fuzz_input.h"
#include "sequences/dib.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CDIB dib;
  if (!dib.ReadFile(fuzz::WriteInput("picture.bmp", fuzz::Bytes(data, size)))) return 0;
  // What showing it does first: a palette, and the rows turned into planes.
  dib.Palette();
  if (dib.BitCount() == 24) {
    std::string planes(static_cast<std::size_t>(dib.Width()) * dib.Height() * 3, '\0');
    dib.ToPlanes(reinterpret_cast<std::uint8_t*>(planes.data()));
  }
  return 0;
}
