// Document files (".rsc") and camera lists (".par") as loading reads them.

#include "app/sequencelist.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input = fuzz::Bytes(data, size);
  const FileName document(fuzz::WriteInput("project.rsc", input));
  ReadSequenceList(document);
  ReadDocumentDescription(document);
  ReadCalibrationDataName(document, 1);
  ReadSequenceList(FileName(fuzz::WriteInput("cameras.par", input)));
  return 0;
}
