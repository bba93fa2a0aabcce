#pragma once

// Frame files for tests: a grey ground with a bright disc of radius 6 at the same place in every
// frame, with their description file beside them.

#include <filesystem>
#include <fstream>

namespace testframes {

inline void WriteDiscBld(const std::filesystem::path& bld, int cx, int cy, int width, int height,
                         int frames) {
  std::ofstream out(bld, std::ios::binary);
  for (int k = 1; k <= frames; ++k)
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        out.put(static_cast<char>((x - cx) * (x - cx) + (y - cy) * (y - cy) <= 36 ? 220 : 60));
  std::filesystem::path dsc = bld;
  dsc.replace_extension(".dsc");
  std::ofstream(dsc) << "SEQUENCENAME:" << bld.stem().string() << "\nRESOLUTION:" << width << "x"
                     << height << "\nFRAMES/S:25\nFRAMES:" << frames << "\nCOLORSPACE:GREY\n";
}

}  // namespace testframes
