// Object-sequence files (".OS") loaded into a project of one video, as the load command does.

#include "common/test_document.h"
#include "fuzz_input.h"
#include "objects/objects_test_util.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::WriteInput("walk.OS", fuzz::Bytes(data, size));
  TestDocument document(FileName(fuzz::ScratchFolder() + "/walk.rsc"));
  document.AddFrameSequence(new TestVideo(fuzz::ScratchFolder() + "/walk.avi", 320, 240, 50));
  document.ObjectSequences()->LoadVersion();
  // A new sequence numbers on from what was loaded.
  document.ObjectSequences()->NewSequence(seqflag::kNewSequence);
  return 0;
}
