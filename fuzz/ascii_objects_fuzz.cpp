// ASCII number files as the import reads them: a point file ("walk.p01") and its description
// ("walk.n01"). The input is one byte that answers the question whether commas are decimal
// points, the description, a zero byte and the point file (which holds no zero byte). What was
// imported is then drawn as the image view draws it, zoomed in, and every name read must be
// fit to make file names of.

#include "common/test_document.h"
#include "fuzz_input.h"
#include "objects/asciiobj.h"
#include "objects/docaccess.h"
#include "objects/objects_test_util.h"
#include "objects/resobjseq.h"
#include "objects/subobjseq.h"
#include "platform/message_service.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  platform::RecordingMessageService answers;
  constexpr int kChoices[] = {platform::kIdYes, platform::kIdNo, platform::kIdCancel};
  answers.answers.push_back(kChoices[data[0] % 3]);
  const auto [description, points] = fuzz::SplitAtLastZero(fuzz::Bytes(data + 1, size - 1));
  fuzz::WriteInput("walk.n01", description);
  const std::string file = fuzz::WriteInput("walk.p01", points);
  TestDocument document(FileName(fuzz::ScratchFolder() + "/walk.rsc"));
  FrameSequence* video =
      document.AddFrameSequence(new TestVideo(fuzz::ScratchFolder() + "/walk.avi", 320, 240, 50));
  ascii::Import(document, *video, {file});
  RecordingCanvas canvas;
  objdoc::SubsOf(*video).Paint(canvas, ViewMapping{0, 0, 16, 16},
                               kPaintTrack | kPaintConnections | kPaintTemplate);
  for (const auto& sequence : document.ObjectSequences()->Sequences())
    for (const char c : sequence->name)
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) __builtin_trap();
  return 0;
}
