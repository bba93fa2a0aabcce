#include "analysis/dreid/dreidsegments.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "base/document.h"
#include "objects/parallel.h"
#include "objects/resobjseq.h"
#include "objects/stickfigure.h"

namespace {

// Degrees to radians as the tables have always been built: the factor differs from pi / 180 in
// its last bits, and so do a few entries.
constexpr long double kRadiansPerDegree = 0.0174532925239284L;

RotationTables BuildTables() {
  RotationTables t{};
  for (int i = 0; i < 360; ++i) {
    const long double radians = static_cast<long double>(i) * kRadiansPerDegree;
    t.sine[i] = static_cast<float>(std::sin(radians));
    t.cosine[i] = static_cast<float>(std::cos(radians));
  }
  return t;
}

// A point that can be drawn: all three coordinates hold a value.
const ObjectBase* DefinedPoint(const ResObjectSequence& s, std::uint32_t frame) {
  const ObjectBase* p = s.ItemAt(frame);
  if (!p) return nullptr;
  for (float v : {p->x, p->y, p->z})
    if (v == SceneExtents::kUnset || !std::isfinite(v)) return nullptr;
  return p;
}

void TakeIn(float& low, float& high, float v) {
  if (low == SceneExtents::kUnset || v < low) low = v;
  if (high == SceneExtents::kUnset || v > high) high = v;
}

std::uint32_t FrameCount(const ResObjectSequence& s) {
  return static_cast<std::uint32_t>(std::max(0, s.Size()));
}

}  // namespace

const RotationTables& TheRotationTables() {
  static const RotationTables tables = BuildTables();
  return tables;
}

int NormalizeDegrees(double degrees) {
  if (!std::isfinite(degrees)) return 0;
  int a = static_cast<int>(std::fmod(degrees, 360.0));
  if (a < 0) a += 360;
  return a;
}

void Vektor::CopyPoints(const Vektor& other) {
  x1 = other.x1, y1 = other.y1, z1 = other.z1;
  x2 = other.x2, y2 = other.y2, z2 = other.z2;
}

void Vektor::Shift(float dx, float dy, float dz) {
  x1 += dx, y1 += dy, z1 += dz;
  x2 += dx, y2 += dy, z2 += dz;
}

void Vektor::Rotate(int about, double degrees) {
  if (about < kAxisX || about > kAxisZ) return;
  const int a = NormalizeDegrees(degrees);
  const float s = TheRotationTables().sine[a];
  const float c = TheRotationTables().cosine[a];
  // Each new coordinate from the old ones, rounded to single precision as it is stored.
  const auto turn = [s, c](float& u, float& v) {
    const float nu = u * c - v * s;
    const float nv = v * c + u * s;
    u = nu;
    v = nv;
  };
  switch (about) {
    case kAxisX:  // y' = y c - z s, z' = z c + y s
      turn(y1, z1);
      turn(y2, z2);
      break;
    case kAxisY:  // x' = x c + z s, z' = z c - x s
      turn(z1, x1);
      turn(z2, x2);
      break;
    default:  // x' = x c - y s, y' = y c + x s
      turn(x1, y1);
      turn(x2, y2);
      break;
  }
}

void DreiDRahmen::BuildBox(const SceneExtents& e, int originCorner, ColorValue axisColour,
                           ColorValue edgeColour) {
  boxWorking_.clear();
  boxReference_.clear();
  std::int32_t identifier = 1;
  const auto group = [&](const std::array<Vektor, 4>& edges) {
    for (VektorList* list : {&boxWorking_, &boxReference_})
      for (Vektor v : edges) {
        v.identifier = identifier++;
        list->push_back(v);
      }
  };
  const float z0 = e.zmin, z1 = e.zmax;
  if (originCorner >= 0 && originCorner <= 3) {
    // The axis corner (ax, ay) and the opposite corner (bx, by) of the rectangle in x and y.
    const bool right = originCorner == 1 || originCorner == 3;
    const bool bottom = originCorner == 2 || originCorner == 3;
    const float ax = right ? e.xmax : e.xmin, bx = right ? e.xmin : e.xmax;
    const float ay = bottom ? e.ymax : e.ymin, by = bottom ? e.ymin : e.ymax;
    group({Vektor(ax, ay, z0, bx, ay, z0, kAxisX, axisColour, 0, 'x'),
           Vektor(ax, ay, z0, ax, by, z0, kAxisY, axisColour, 0, 'y'),
           Vektor(bx, ay, z0, bx, by, z0, kAxisY, edgeColour, 0, 0),
           Vektor(ax, by, z0, bx, by, z0, kAxisX, edgeColour, 0, 0)});
    group({Vektor(ax, ay, z0, ax, ay, z1, kAxisZ, axisColour, 0, 'z'),
           Vektor(bx, ay, z0, bx, ay, z1, kAxisZ, edgeColour, 0, 0),
           Vektor(bx, by, z0, bx, by, z1, kAxisZ, edgeColour, 0, 0),
           Vektor(ax, by, z0, ax, by, z1, kAxisZ, edgeColour, 0, 0)});
  }
  group({Vektor(e.xmin, e.ymin, z1, e.xmax, e.ymin, z1, kAxisX, edgeColour, 0, 0),
         Vektor(e.xmax, e.ymin, z1, e.xmax, e.ymax, z1, kAxisY, edgeColour, 0, 0),
         Vektor(e.xmax, e.ymax, z1, e.xmin, e.ymax, z1, kAxisX, edgeColour, 0, 0),
         Vektor(e.xmin, e.ymax, z1, e.xmin, e.ymin, z1, kAxisY, edgeColour, 0, 0)});
}

DreiDObjectSequences::Covered DreiDObjectSequences::CoverConnection(const ResObjectSequence& a,
                                                                   const ResObjectSequence& b) {
  Covered c;
  const std::uint32_t n = std::min(FrameCount(a), FrameCount(b));
  for (std::uint32_t i = 1; i <= n; ++i) {
    const ObjectBase* p = DefinedPoint(a, i);
    const ObjectBase* q = p ? DefinedPoint(b, i) : nullptr;
    if (!q) continue;
    if (c.first == kNoFrame) c.first = i;
    c.last = i;
    for (const ObjectBase* r : {p, q}) {
      TakeIn(c.extents.xmin, c.extents.xmax, r->x);
      TakeIn(c.extents.ymin, c.extents.ymax, r->y);
      TakeIn(c.extents.zmin, c.extents.zmax, r->z);
    }
  }
  return c;
}

void DreiDObjectSequences::TakeInCovered(const Covered& c) {
  if (c.first == kNoFrame) return;
  firstFrame_ = std::min(firstFrame_, c.first);
  lastFrame_ = lastFrame_ == kNoFrame ? c.last : std::max(lastFrame_, c.last);
  for (float v : {c.extents.xmin, c.extents.xmax}) TakeIn(extents_.xmin, extents_.xmax, v);
  for (float v : {c.extents.ymin, c.extents.ymax}) TakeIn(extents_.ymin, extents_.ymax, v);
  for (float v : {c.extents.zmin, c.extents.zmax}) TakeIn(extents_.zmin, extents_.zmax, v);
}

bool DreiDObjectSequences::BuildSegments(std::uint32_t frame, Coverage coverage) {
  const bool rescan = coverage == Coverage::kRescan || !covered_.valid;
  currentFrame_ = frame;
  figureWorking_.clear();
  figureReference_.clear();
  if (rescan) {
    firstFrame_ = lastFrame_ = kNoFrame;
    extents_ = SceneExtents{};
  }
  ResObjectSequences* objects = document_ ? document_->ObjectSequences() : nullptr;
  if (objects) {
    StickFigure& figure = objects->Figure();
    std::vector<std::pair<const ResObjectSequence*, const ResObjectSequence*>> toCover;
    figure.FirstConnection();
    for (;;) {
      const ResObjectSequence* a = figure.CurrentFirstSequence();
      const ResObjectSequence* b = figure.CurrentSecondSequence();
      if (!a || !b) break;
      const bool hidden = a->IsHidden() || b->IsHidden();
      if (!hidden && rescan) toCover.emplace_back(a, b);
      if (!hidden && FrameCount(*a) >= frame && FrameCount(*b) >= frame) {
        const ObjectBase* p = DefinedPoint(*a, frame);
        const ObjectBase* q = DefinedPoint(*b, frame);
        const SequencePair* connection = figure.CurrentConnection();
        if (p && q && connection) {
          const Vektor v(p->x, p->y, -p->z, q->x, q->y, -q->z, kNoAxis, connection->color.color, 0,
                         0);
          figureWorking_.push_back(v);
          figureReference_.push_back(v);
        }
      }
      if (!figure.NextConnection()) break;
    }
    // Every frame of every connection is read: on long recordings the connections are scanned
    // side by side.
    std::vector<Covered> covered(toCover.size());
    ParallelFor(toCover.size(), [&](std::size_t k) {
      covered[k] = CoverConnection(*toCover[k].first, *toCover[k].second);
    });
    for (const Covered& c : covered) TakeInCovered(c);
  }
  if (rescan) {
    // The segments carry the negated z; so do the extents (zmin may now exceed zmax).
    if (extents_.zmin != SceneExtents::kUnset) extents_.zmin = -extents_.zmin;
    if (extents_.zmax != SceneExtents::kUnset) extents_.zmax = -extents_.zmax;
    covered_ = {true, extents_, firstFrame_, lastFrame_};
  } else {
    extents_ = covered_.extents;
    firstFrame_ = covered_.first;
    lastFrame_ = covered_.last;
  }
  return extents_.IsSet();
}
