#include "objects/stickfigure.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "base/document.h"
#include "base/unitsorigin.h"
#include "objects/resobjseq.h"
#include "objects/subobjseq.h"
#include "platform/strings.h"

namespace {

// Lines closer to parallel than this have no vertex.
constexpr double kParallelLimit = 0.0001;
// A connection shorter than this (squared) has no direction.
constexpr double kMinSquaredLength = 0.0001;
constexpr double kOrientationLimit = 0.000001;

void MarkModified(ResObjectSequence* s) {
  if (s) s->SetModified();
}

const ObjectBase* PointOf(const ResObjectSequence* s, int frame, const SubObjectSequences* video) {
  if (!s || frame < 1) return nullptr;
  if (video) return PointWithValue(video->Find(s->number), frame);
  return PointWithValue(s, frame);
}

double Distance2D(double ax, double ay, const ObjectBase& p) {
  return std::hypot(ax - p.x, ay - p.y);
}

}  // namespace

SequencePair::SequencePair(ResObjectSequence* first, ResObjectSequence* second, ColorValue color)
    : first(first), second(second), color(color) {}

bool SequencePair::Joins(const ResObjectSequence* a, const ResObjectSequence* b) const {
  return (first == a && second == b) || (first == b && second == a);
}

bool SequencePair::HasDeletedEnd() const {
  return (first && first->IsDeleted()) || (second && second->IsDeleted());
}

SubObjectSequence* SequencePair::FirstIn(const SubObjectSequences* video) const {
  return video && first ? video->Find(first->number) : nullptr;
}

SubObjectSequence* SequencePair::SecondIn(const SubObjectSequences* video) const {
  return video && second ? video->Find(second->number) : nullptr;
}

AngleSequencePair::AngleSequencePair(SequencePair* p1, SequencePair* p2,
                                     const std::optional<std::string>& angleName)
    : pair1(p1), pair2(p2) {
  Recalculate(0, nullptr);
  if (angleName) {
    name = angleName;
  } else {
    const auto n = [this](int i) { return SequenceAt(i) ? SequenceAt(i)->number : -1; };
    name = platform::Format("Angle%d%d%d%d", n(1), n(2), n(3), n(4));
  }
}

AngleSequencePair::AngleSequencePair(const AngleSequencePair& other)
    : pair1(other.pair1),
      pair2(other.pair2),
      confirmed(other.confirmed),
      name(other.name),
      swap1(other.swap1),
      swap2(other.swap2),
      sharedEnd(other.sharedEnd),
      autoOrient(false) {}

ResObjectSequence* AngleSequencePair::Sequence1() const {
  return pair1 ? (swap1 ? pair1->second : pair1->first) : nullptr;
}
ResObjectSequence* AngleSequencePair::Sequence2() const {
  return pair1 ? (swap1 ? pair1->first : pair1->second) : nullptr;
}
ResObjectSequence* AngleSequencePair::Sequence3() const {
  return pair2 ? (swap2 ? pair2->second : pair2->first) : nullptr;
}
ResObjectSequence* AngleSequencePair::Sequence4() const {
  return pair2 ? (swap2 ? pair2->first : pair2->second) : nullptr;
}

ResObjectSequence* AngleSequencePair::SequenceAt(int i) const {
  switch (i) {
    case 1:
      return Sequence1();
    case 2:
      return Sequence2();
    case 3:
      return Sequence3();
    case 4:
      return Sequence4();
    default:
      return nullptr;
  }
}

bool AngleSequencePair::HasDeletedSequence() const {
  for (int i = 1; i <= 4; ++i) {
    if (!SequenceAt(i) || SequenceAt(i)->IsDeleted()) return true;
  }
  return false;
}

const ObjectBase* AngleSequencePair::PointAt(int i, int frame,
                                             const SubObjectSequences* video) const {
  return PointOf(SequenceAt(i), frame, video);
}

const ColorDescr* AngleSequencePair::Color() const { return Sequence2(); }

void AngleSequencePair::MarkModified() const {
  for (const SequencePair* p : {pair1, pair2}) {
    if (!p) continue;
    ::MarkModified(p->first);
    ::MarkModified(p->second);
  }
}

void AngleSequencePair::SetName(const std::optional<std::string>& newName) {
  name = newName;
  MarkModified();
}

bool AngleSequencePair::Vertex(float out[3], int frame, const SubObjectSequences* video) {
  if (frame < 1 || !pair1 || !pair2) return false;
  ResObjectSequence *a = pair1->first, *b = pair1->second, *c = pair2->first, *d = pair2->second;
  const ObjectBase* pa = PointOf(a, frame, video);
  const ObjectBase* pb = PointOf(b, frame, video);
  const ObjectBase* pc = PointOf(c, frame, video);
  const ObjectBase* pd = PointOf(d, frame, video);
  if (!pa || !pb || !pc || !pd) return false;

  const auto shared = [&](const ObjectBase* v, bool s1, bool s2) {
    out[0] = v->x;
    out[1] = v->y;
    out[2] = v->z;
    swap1 = s1;
    swap2 = s2;
    sharedEnd = true;
    return true;
  };
  if (a == c) return shared(pa, true, false);
  if (b == d) return shared(pb, false, true);
  if (a == d) return shared(pa, true, true);
  if (b == c) return shared(pb, false, false);

  sharedEnd = false;
  const double d1x = double(pa->x) - pb->x, d1y = double(pa->y) - pb->y;
  const double d2x = double(pd->x) - pc->x, d2y = double(pd->y) - pc->y;
  const double det = d1x * d2y - d2x * d1y;
  if (det > -kParallelLimit && det < kParallelLimit) return false;
  const double e1 = d1x * pa->y - d1y * pa->x;
  const double e2 = d2y * pd->x - d2x * pd->y;
  const double vx = (d2x * e1 + d1x * e2) / det;
  const double vy = (d2y * e1 + d1y * e2) / det;
  out[0] = static_cast<float>(vx);
  out[1] = static_cast<float>(vy);
  out[2] = 0;
  if (autoOrient) {
    if (Distance2D(vx, vy, *pa) < Distance2D(vx, vy, *pb)) swap1 = true;
    if (Distance2D(vx, vy, *pd) < Distance2D(vx, vy, *pc)) swap2 = true;
    autoOrient = false;
  }
  return true;
}

void AngleSequencePair::Recalculate(int frame, const SubObjectSequences* video) {
  if (frame < 1) {
    const ResObjectSequence* s = pair1 ? pair1->first : nullptr;
    const Document* doc = s ? s->GetDocument() : nullptr;
    frame = doc ? doc->CurrentFrame() : 1;
  }
  float vertex[3];
  Vertex(vertex, frame, video);
}

double AngleSequencePair::Angle(int frame, int plane, const SubObjectSequences* video) {
  Recalculate(frame, video);
  if (!pair1 || !pair2) return kUndefinedAngle;
  const ObjectBase* p[4];
  for (int i = 0; i < 4; ++i) {
    p[i] = PointAt(i + 1, frame, video);
    if (!p[i]) return kUndefinedAngle;
  }
  const double ux = double(p[0]->x) - p[1]->x, uy = double(p[0]->y) - p[1]->y,
               uz = double(p[0]->z) - p[1]->z;
  const double vx = double(p[3]->x) - p[2]->x, vy = double(p[3]->y) - p[2]->y,
               vz = double(p[3]->z) - p[2]->z;
  double a[3] = {ux, -uy, -uz};
  double b[3] = {vx, -vy, -vz};
  const Document* doc = Sequence1() ? Sequence1()->GetDocument() : nullptr;
  if (!video && doc && doc->IsPlanar()) {
    if (g_UnitsOrigin.MirrorsX()) {
      a[0] = -ux;
      b[0] = -vx;
    }
    if (g_UnitsOrigin.MirrorsY()) {
      a[1] = uy;
      b[1] = vy;
    }
  }
  switch (plane) {
    case 1:
      a[2] = b[2] = 0;
      break;
    case 2:
      a[1] = b[1] = 0;
      break;
    case 3:
      a[0] = b[0] = 0;
      break;
    default:
      break;
  }
  const double aa = a[0] * a[0] + a[1] * a[1] + a[2] * a[2];
  const double bb = b[0] * b[0] + b[1] * b[1] + b[2] * b[2];
  if (aa < kMinSquaredLength || bb < kMinSquaredLength) return kUndefinedAngle;
  const double c = (a[0] * b[0] + a[1] * b[1] + a[2] * b[2]) / std::sqrt(aa * bb);
  double theta = c >= 1 ? 0 : (c <= -1 ? std::numbers::pi : std::acos(c));
  const double nx = a[1] * b[2] - a[2] * b[1];
  const double ny = a[2] * b[0] - a[0] * b[2];
  const double nz = a[0] * b[1] - a[1] * b[0];
  const bool someZero = a[0] * a[1] * a[2] * b[0] * b[1] * b[2] == 0;
  if ((someZero && nx + ny + nz < -kOrientationLimit) || nz < -kOrientationLimit) {
    theta = 2 * std::numbers::pi - theta;
  }
  return theta;
}

void AngleSequencePair::Switch() {
  MarkModified();
  if (sharedEnd) {
    std::swap(pair1, pair2);
    swap1 = swap2 = false;
  } else if (swap1 && !swap2) {
    swap1 = swap2 = false;
  } else {
    std::swap(pair1, pair2);
    const bool oldSwap1 = swap1;
    swap1 = swap2;
    swap2 = !oldSwap1;
  }
}

bool SequenceConnect::Disconnect(ResObjectSequence* a, ResObjectSequence* b) {
  if (!a || !b) return false;
  auto it = std::find_if(connections_.begin(), connections_.end(),
                         [&](const auto& p) { return p->Joins(a, b); });
  if (it == connections_.end()) return false;
  MarkModified(a);
  MarkModified(b);
  connections_.erase(it);
  return true;
}

void SequenceConnect::RemoveSequence(ResObjectSequence* s) {
  if (!s) return;
  std::erase_if(connections_, [s](const auto& p) {
    if (!p->Touches(s)) return false;
    MarkModified(p->first);
    MarkModified(p->second);
    return true;
  });
}

SequencePair* SequenceConnect::FindConnection(const ResObjectSequence* a,
                                              const ResObjectSequence* b) const {
  for (const auto& p : connections_) {
    if (p->Joins(a, b)) return p.get();
  }
  return nullptr;
}

StickFigure::~StickFigure() {
  angles_.clear();
  connections_.clear();
}

SequencePair* StickFigure::Connect(ResObjectSequence* a, ResObjectSequence* b, ColorValue color) {
  if (!a || !b || FindConnection(a, b)) return nullptr;
  connections_.insert(connections_.begin(), std::make_unique<SequencePair>(a, b, color));
  MarkModified(a);
  MarkModified(b);
  return connections_.front().get();
}

void StickFigure::RemoveAnglesWhere(const std::function<bool(const AngleSequencePair&)>& match) {
  std::erase_if(angles_, [&](const auto& angle) { return match(*angle); });
}

bool StickFigure::Disconnect(ResObjectSequence* a, ResObjectSequence* b) {
  if (!a || !b) return false;
  RemoveAnglesWhere([&](const AngleSequencePair& angle) {
    return (angle.pair1 && angle.pair1->Joins(a, b)) || (angle.pair2 && angle.pair2->Joins(a, b));
  });
  return SequenceConnect::Disconnect(a, b);
}

void StickFigure::RemoveSequence(ResObjectSequence* s) {
  if (!s) return;
  RemoveAnglesWhere([&](const AngleSequencePair& angle) {
    return (angle.pair1 && angle.pair1->Touches(s)) || (angle.pair2 && angle.pair2->Touches(s));
  });
  SequenceConnect::RemoveSequence(s);
}

void StickFigure::FirstConnection() {
  cursor_ = 0;
  position_ = 1;
  while (position_ < ConnectionCount() && connections_[cursor_]->HasDeletedEnd()) {
    ++cursor_;
    ++position_;
  }
}

bool StickFigure::NextConnection() {
  while (position_ < ConnectionCount()) {
    ++cursor_;
    ++position_;
    if (!connections_[cursor_]->HasDeletedEnd()) return true;
  }
  return false;
}

SequencePair* StickFigure::CurrentConnection() const {
  if (cursor_ >= connections_.size()) return nullptr;
  SequencePair* p = connections_[cursor_].get();
  return p->HasDeletedEnd() ? nullptr : p;
}

ResObjectSequence* StickFigure::CurrentFirstSequence() const {
  if (cursor_ >= connections_.size()) return nullptr;
  ResObjectSequence* s = connections_[cursor_]->first;
  return s && !s->IsDeleted() ? s : nullptr;
}

ResObjectSequence* StickFigure::CurrentSecondSequence() const {
  if (cursor_ >= connections_.size()) return nullptr;
  ResObjectSequence* s = connections_[cursor_]->second;
  return s && !s->IsDeleted() ? s : nullptr;
}

AngleSequencePair* StickFigure::CreateAngle(SequencePair* p, SequencePair* q,
                                            const std::optional<std::string>& name) {
  if (!p || !q || *p == *q) return nullptr;
  for (const auto& angle : angles_) {
    if (angle->Joins(p, q)) return nullptr;
  }
  angles_.insert(angles_.begin(), std::make_unique<AngleSequencePair>(p, q, name));
  for (ResObjectSequence* s : {p->first, p->second, q->first, q->second}) MarkModified(s);
  return angles_.front().get();
}

bool StickFigure::DeleteAngle(SequencePair* p, SequencePair* q) {
  if (!p || !q) return false;
  auto it = std::find_if(angles_.begin(), angles_.end(),
                         [&](const auto& angle) { return angle->Joins(p, q); });
  if (it == angles_.end()) return false;
  angles_.erase(it);
  for (ResObjectSequence* s : {p->first, p->second, q->first, q->second}) MarkModified(s);
  return true;
}

AngleSequencePair* StickFigure::NextAngle(const AngleSequencePair* after,
                                          bool includeDeleted) const {
  std::size_t i = 0;
  if (after) {
    auto it = std::find_if(angles_.begin(), angles_.end(),
                           [after](const auto& a) { return a.get() == after; });
    if (it == angles_.end()) return nullptr;
    i = static_cast<std::size_t>(it - angles_.begin()) + 1;
  }
  for (; i < angles_.size(); ++i) {
    if (includeDeleted || !angles_[i]->HasDeletedSequence()) return angles_[i].get();
  }
  return nullptr;
}

void StickFigure::DrawConnections(const SubObjectSequences* video, ObjectCanvas& canvas,
                                  const ViewMapping& map, int frame, int penWidth,
                                  int penStyle) const {
  for (const auto& pair : connections_) {
    const ResObjectSequence *a = pair->first, *b = pair->second;
    if (!a || !b || a->IsHidden() || b->IsHidden() || pair->HasDeletedEnd()) continue;
    const ObjectBase* p = PointOf(a, frame, video);
    const ObjectBase* q = PointOf(b, frame, video);
    if (!p || !q) continue;
    canvas.Line(ToDevice(p->x, map.xScale, map.xOrigin), ToDevice(p->y, map.yScale, map.yOrigin),
                ToDevice(q->x, map.xScale, map.xOrigin), ToDevice(q->y, map.yScale, map.yOrigin),
                Pen{pair->color.color, penWidth, penStyle});
  }
}

void StickFigure::DrawAngles(const SubObjectSequences* video, ObjectCanvas& canvas,
                             const ViewMapping& map, int frame, int penWidth, int penStyle) const {
  const auto px = [&map](double x) { return ToDevice(x, map.xScale, map.xOrigin); };
  const auto py = [&map](double y) { return ToDevice(y, map.yScale, map.yOrigin); };
  for (AngleSequencePair* angle = NextAngle(nullptr, false); angle;
       angle = NextAngle(angle, false)) {
    float v[3];
    if (!angle->Vertex(v, frame, video)) continue;
    const ObjectBase* p[4];
    bool drawable = true;
    for (int i = 0; i < 4 && drawable; ++i) {
      p[i] = angle->PointAt(i + 1, frame, video);
      drawable = p[i] && !angle->SequenceAt(i + 1)->IsHidden();
    }
    if (!drawable) continue;
    const double d1x = double(p[0]->x) - p[1]->x, d1y = double(p[1]->y) - p[0]->y;
    const double d2x = double(p[3]->x) - p[2]->x, d2y = double(p[2]->y) - p[3]->y;
    const double l1 = std::hypot(d1x, d1y), l2 = std::hypot(d2x, d2y);
    // A leg without length has no direction to draw.
    if (l1 == 0 || l2 == 0) continue;
    double a1 = std::acos(d1x / l1), a2 = std::acos(d2x / l2);
    if (d1y < 0) a1 = -a1;
    if (d2y < 0) a2 = -a2;
    const double r = arcRadius;
    const double s1x = v[0] + r * std::cos(a1), s1y = v[1] - r * std::sin(a1);
    const double s2x = v[0] + r * std::cos(a2), s2y = v[1] - r * std::sin(a2);
    const ColorDescr* color = angle->Color();
    const Pen pen{color ? color->color : kBlack, penWidth, penStyle};
    canvas.Line(px(v[0]), py(v[1]), px(s1x), py(s1y), pen);
    canvas.Line(px(s1x), py(s1y), px(p[1]->x), py(p[1]->y), pen);
    canvas.Line(px(v[0]), py(v[1]), px(s2x), py(s2y), pen);
    canvas.Line(px(s2x), py(s2y), px(p[2]->x), py(p[2]->y), pen);
    canvas.Arc(px(v[0] - r), py(v[1] - r), px(v[0] + r), py(v[1] + r), px(s1x), py(s1y), px(s2x),
               py(s2y), pen);
  }
}
