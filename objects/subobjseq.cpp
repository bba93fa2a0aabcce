#include "objects/subobjseq.h"

#include <algorithm>
#include <cmath>

#include "base/defaults.h"
#include "objects/docaccess.h"
#include "objects/resobjseq.h"
#include "objects/stickfigure.h"
#include "sequences/framesequence.h"

namespace {

// The small marker of a track's other frames.
constexpr int kTrackMarkerSide = 3;

int VideoFrames(const SubObjectSequences* owner) {
  return owner && owner->Owner() ? std::max(owner->Owner()->Frames(), 1) : 1;
}
int VideoWidth(const SubObjectSequences* owner) {
  return owner && owner->Owner() ? owner->Owner()->Width() : 0;
}
int VideoHeight(const SubObjectSequences* owner) {
  return owner && owner->Owner() ? owner->Owner()->Height() : 0;
}
bool VideoIsColour(const SubObjectSequences* owner) {
  return owner && owner->Owner() && owner->Owner()->IsColour();
}

}  // namespace

const ObjectBase* PointWithValue(const ObjectArray* sequence, long frame) {
  const ObjectBase* p = sequence ? sequence->ItemAt(frame) : nullptr;
  return p && p->HasValue() ? p : nullptr;
}

SubObjectSequence::SubObjectSequence(SubObjectSequences* owner, std::int32_t number)
    : ObjectSequence(number, VideoFrames(owner)),
      Template(VideoWidth(owner), VideoHeight(owner), VideoIsColour(owner)),
      owner_(owner) {}

ResObjectSequence* SubObjectSequence::Res() const {
  Document* doc = GetDocument();
  ResObjectSequences* all = doc ? doc->ObjectSequences() : nullptr;
  return all ? all->Find(number, seqmask::kAll) : nullptr;
}

Document* SubObjectSequence::GetDocument() const {
  return owner_ ? owner_->GetDocument() : nullptr;
}

ObjectBase* SubObjectSequence::AddObject(std::unique_ptr<ObjectBase> point) {
  ObjectBase* p = Add(std::move(point));
  SetModified();
  return p;
}

void SubObjectSequence::RemoveObject(long frame) {
  Remove(frame);
  SetModified();
}

void SubObjectSequence::SetFlags(std::uint32_t mask) {
  if (ResObjectSequence* r = Res()) r->SetFlags(mask);
}

void SubObjectSequence::ClearFlags(std::uint32_t mask) {
  if (ResObjectSequence* r = Res()) r->ClearFlags(mask);
}

int SubObjectSequence::HorizontalLimit() const {
  const ResObjectSequence* r = Res();
  return r ? r->HorizontalLimit() : 0;
}

int SubObjectSequence::VerticalLimit() const {
  const ResObjectSequence* r = Res();
  return r ? r->VerticalLimit() : 0;
}

void SubObjectSequence::SetModified() {
  if (ResObjectSequence* r = Res()) r->SetModified();
}

void SubObjectSequence::MakeCurrent() {
  if (ResObjectSequence* r = Res()) r->MakeCurrent();
}

Document* SubObjectSequences::GetDocument() const { return owner_ ? owner_->document : nullptr; }

SubObjectSequence* SubObjectSequences::Add(std::int32_t number) {
  if (number >= 0 && Find(number)) return nullptr;
  auto at = std::upper_bound(list_.begin(), list_.end(), number,
                             [](std::int32_t n, const auto& s) { return n < s->number; });
  return list_.insert(at, std::make_unique<SubObjectSequence>(this, number))->get();
}

void SubObjectSequences::Remove(SubObjectSequence* sequence) {
  std::erase_if(list_, [sequence](const auto& s) { return s.get() == sequence; });
}

SubObjectSequence* SubObjectSequences::Find(std::int32_t number) const {
  auto at = std::lower_bound(list_.begin(), list_.end(), number,
                             [](const auto& s, std::int32_t n) { return s->number < n; });
  return at != list_.end() && (*at)->number == number ? at->get() : nullptr;
}

int SubObjectSequences::CountAtFrame(int frame) const {
  if (frame == 0) return Count();
  return static_cast<int>(std::count_if(list_.begin(), list_.end(),
                                        [frame](const auto& s) { return s->ItemAt(frame); }));
}

ResObjectSequence* SubObjectSequences::FindAt(float x, float y, double scale) const {
  Document* doc = GetDocument();
  ResObjectSequences* all = doc ? doc->ObjectSequences() : nullptr;
  if (!all || scale <= 0) return nullptr;
  const int frame = doc->CurrentFrame();
  for (SequenceIterator it(*all, seqmask::kOrdinary); ResObjectSequence* s = it.Current();
       it.Next()) {
    if (s->IsHidden()) continue;
    // A frame without a value has no position to hit.
    const ObjectBase* p = PointWithValue(Find(s->number), frame);
    if (!p) continue;
    const double r = s->GetMarkerRadius() / scale;
    const double dx = p->x - x, dy = p->y - y, dz = p->z;
    const double squared = dx * dx + dy * dy + dz * dz;
    const double d = squared > 0 ? std::sqrt(squared) : 0;
    if (d <= r) return s;
  }
  return nullptr;
}

bool SubObjectSequences::SelectAt(float x, float y, double scale) const {
  ResObjectSequence* s = FindAt(x, y, scale);
  if (!s) return false;
  s->MakeCurrent();
  return true;
}

bool SubObjectSequences::IsCurrentAt(float x, float y, double scale) const {
  ResObjectSequence* s = FindAt(x, y, scale);
  if (!s) return false;
  ResObjectSequence* current = GetDocument()->ObjectSequences()->GetCurrent();
  return current && current->number == s->number && Find(current->number);
}

void SubObjectSequences::Paint(ObjectCanvas& canvas, const ViewMapping& map, unsigned options) {
  Document* doc = GetDocument();
  ResObjectSequences* all = doc ? doc->ObjectSequences() : nullptr;
  if (!all) return;
  const int frame = doc->CurrentFrame();
  const auto dx = [&map](double x) { return ToDevice(x, map.xScale, map.xOrigin); };
  const auto dy = [&map](double y) { return ToDevice(y, map.yScale, map.yOrigin); };
  const auto drawFull = [&](const ResObjectSequence& s, const ObjectBase& p) {
    if (s.IsHidden()) {
      canvas.SetPixel(dx(p.x), dy(p.y), s.NearestPaletteColor(canvas.Palette()));
    } else {
      s.DrawMarker(canvas, dx(p.x), dy(p.y));
    }
  };

  const std::uint32_t mask = (options & kPaintHiddenToo) ? seqmask::kPaintAll : seqmask::kOrdinary;
  for (SequenceIterator it(*all, mask); ResObjectSequence* s = it.Current(); it.Next()) {
    SubObjectSequence* sub = Find(s->number);
    if (!sub) continue;
    if (options & kPaintTrack) {
      for (int f = ObjectArray::kLowerBound; f <= sub->LastIndex(); ++f) {
        const ObjectBase* p = PointWithValue(sub, f);
        if (!p) continue;
        if (f == frame) {
          drawFull(*s, *p);
        } else if (!s->IsHidden()) {
          s->DrawMarker(canvas, dx(p->x), dy(p->y), kTrackMarkerSide, kTrackMarkerSide);
        }
      }
    } else if (options & kPaintCurrentFrame) {
      ObjectBase* p = sub->ItemAt(frame);
      if (!p || !p->HasValue()) continue;
      // A manually placed point takes the offset the user gave its template.
      if (s->algorithm == static_cast<std::uint32_t>(algorithm::kManual) &&
          (sub->xOffset != 0 || sub->yOffset != 0)) {
        p->x += static_cast<float>(sub->xOffset);
        p->y += static_cast<float>(sub->yOffset);
        sub->xOffset = sub->yOffset = 0;
        s->SetModified();
      }
      drawFull(*s, *p);
    }
  }
  if (options & kPaintConnections) {
    all->Figure().DrawConnections(this, canvas, map, frame, 1, kPenSolid);
  }
  if (options & kPaintAngles) all->Figure().DrawAngles(this, canvas, map, frame, 1, kPenSolid);
  if (options & kPaintTemplate) {
    ResObjectSequence* current = all->GetCurrent();
    SubObjectSequence* sub = current ? Find(current->number) : nullptr;
    const ObjectBase* p = PointWithValue(sub, frame);
    if (!p) return;
    const double left = p->x + sub->xOffset - sub->width * 0.5;
    const double top = p->y + sub->yOffset - sub->height * 0.5;
    const int l = dx(left), t = dy(top);
    const int r = l + platform::ToPixel(sub->width * map.xScale);
    const int b = t + platform::ToPixel(sub->height * map.yScale);
    const ColorValue c = current->NearestPaletteColor(canvas.Palette());
    if (sub->shape == kTemplateCircle) {
      canvas.Ellipse(l, t, r, b, Pen{c, 1, kPenSolid}, std::nullopt);
    } else {
      canvas.FrameRect(l, t, r, b, c);
    }
  }
}
