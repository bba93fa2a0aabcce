// ASCII number files: numbers and column separators until the reader stops. The first byte
// answers the question whether commas are decimal points.

#include "base/textformat.h"
#include "fuzz_input.h"
#include "platform/message_service.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  platform::RecordingMessageService answers;
  constexpr int kChoices[] = {platform::kIdYes, platform::kIdNo, platform::kIdCancel};
  answers.answers.push_back(kChoices[data[0] % 3]);
  TextInFile in(fuzz::WriteInput("numbers.txt", fuzz::Bytes(data + 1, size - 1)));
  // A reader of number files stops at the first error it reports; until then every step moves on.
  auto reported = [&] {
    for (const auto& m : answers.shown) {
      if (m.kind == platform::MessageKind::kError) return true;
    }
    return false;
  };
  while (in.good() && !reported()) {
    long double value = 0;
    in.ReadNumber(value);
    if (in.good()) in.SkipDelimiter();
  }
  return 0;
}
