// Frame files (".bld") with their description: the input is the description, a zero byte, and
// the frame file. Opening counts the frames; the first, the last and one beyond are read.

#include "fuzz_input.h"
#include "sequences/bldsequence.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto [description, frames] = fuzz::SplitAtZero(fuzz::Bytes(data, size));
  fuzz::WriteInput("clip.dsc", description);
  BldFrameSequence sequence(fuzz::WriteInput("clip.bld", frames), nullptr);
  if (!sequence.Open()) return 0;
  sequence.ReadFrame(1);
  sequence.ReadFrame(sequence.Frames());
  sequence.ReadFrame(sequence.Frames() + 1, true);
  return 0;
}
