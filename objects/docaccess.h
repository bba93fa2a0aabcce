#pragma once

// What the object model asks of its document. Every function accepts a null document: the
// object model then has no videos, its current frame is 1 and colours come from the built-in map.

#include "app/resource.h"
#include "objects/canvas.h"

class FrameSequence;
class SubObjectSequences;
struct DefaultValueStruct;

namespace objdoc {

// The program's defaults (g_Defaults), or the built-in ones when there are none.
const DefaultValueStruct& Defaults();

int VideoCount(const Resource* doc);
// The video at array position index, or null.
FrameSequence* Video(const Resource* doc, int index);
// The document's current frame, 1 without a document.
int CurrentFrame(const Resource* doc);
// The largest frame count over the videos, at least 1.
int MaxFrameCount(const Resource* doc);
int MaxFrameWidth(const Resource* doc);
int MaxFrameHeight(const Resource* doc);
// The colour of object number n (the document also sets it in its palettes).
ColorValue ObjectColor(Resource* doc, int number);
// The object sub-sequences of a video, made when the video has none yet.
SubObjectSequences& SubsOf(FrameSequence& video);
// The position of video in the document, or -1.
int IndexOf(const Resource* doc, const FrameSequence* video);

}  // namespace objdoc
