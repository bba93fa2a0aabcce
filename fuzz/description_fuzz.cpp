// Frame descriptions (".dsc") as a frame file and a video read them.

#include "fuzz_input.h"
#include "sequences/fsdata.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::WriteInput("frames.dsc", fuzz::Bytes(data, size));
  const std::string sequence = fuzz::ScratchFolder() + "/frames.bld";
  FS_Data whole;
  ReadDSC(whole, sequence);
  FS_Data partial;
  ReadDSCPartial(partial, sequence);
  return 0;
}
