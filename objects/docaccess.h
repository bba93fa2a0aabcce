#pragma once

// What the object model asks of its document. Every function accepts a null document: the
// object model then has no videos, its current frame is 1 and colours come from the built-in map.

#include "base/document.h"
#include "objects/canvas.h"

class FrameSequence;
class SubObjectSequences;
struct DefaultValueStruct;

namespace objdoc {

// The program's defaults (g_Defaults), or the built-in ones when there are none.
const DefaultValueStruct& Defaults();

int VideoCount(const Document* doc);
// The video at array position index, or null.
FrameSequence* Video(const Document* doc, int index);
// The document's current frame, 1 without a document.
int CurrentFrame(const Document* doc);
// The largest frame count over the videos, at least 1.
int MaxFrameCount(const Document* doc);
int MaxFrameWidth(const Document* doc);
int MaxFrameHeight(const Document* doc);
// The colour of object number n (the document also sets it in its palettes).
ColorValue ObjectColor(Document* doc, int number);
// The object sub-sequences of a video, made when the video has none yet.
SubObjectSequences& SubsOf(FrameSequence& video);
// The position of video in the document, or -1.
int IndexOf(const Document* doc, const FrameSequence* video);

}  // namespace objdoc
