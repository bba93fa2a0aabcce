#include "objects/docaccess.h"

#include <algorithm>

#include "base/defaults.h"
#include "objects/subobjseq.h"
#include "sequences/framesequence.h"

namespace objdoc {

const DefaultValueStruct& Defaults() {
  static const DefaultValueStruct builtIn;
  return g_Defaults ? *g_Defaults : builtIn;
}

int VideoCount(const Document* doc) { return doc ? doc->SequenceCount() : 0; }

FrameSequence* Video(const Document* doc, int index) {
  return doc ? doc->Sequence(index) : nullptr;
}

int CurrentFrame(const Document* doc) { return doc ? doc->CurrentFrame() : 1; }

int MaxFrameCount(const Document* doc) { return doc ? std::max(doc->MaxFrameCount(), 1) : 1; }

int MaxFrameWidth(const Document* doc) { return doc ? doc->MaxFrameWidth() : 0; }

int MaxFrameHeight(const Document* doc) { return doc ? doc->MaxFrameHeight() : 0; }

ColorValue ObjectColor(Document* doc, int number) {
  if (doc) return doc->SetObjectColor(number);
  const MapColor c = BuiltInColor(std::abs(number) % kBuiltInColors);
  return Rgb(c.red, c.green, c.blue);
}

SubObjectSequences& SubsOf(FrameSequence& video) {
  if (!video.subObjectSequences) video.subObjectSequences = std::make_shared<SubObjectSequences>();
  video.subObjectSequences->SetOwner(&video);
  return *video.subObjectSequences;
}

int IndexOf(const Document* doc, const FrameSequence* video) {
  for (int i = 0; i < VideoCount(doc); ++i) {
    if (Video(doc, i) == video) return i;
  }
  return -1;
}

}  // namespace objdoc
