#include "objects/objpanel.h"

#include <algorithm>
#include <cstdio>

#include "base/document.h"
#include "base/unitsorigin.h"
#include "objects/resobjseq.h"
#include "objects/subobjseq.h"
#include "objects/templatedrag.h"
#include "sequences/framesequence.h"

namespace objpanel {
namespace {

std::string Joined(std::initializer_list<float> values) {
  std::string text;
  char buffer[48];
  for (float v : values) {
    std::snprintf(buffer, sizeof buffer, "%.2f", v);
    if (!text.empty()) text += '/';
    text += buffer;
  }
  return text;
}

// A persisted change: the project must be saved.
template <class T, class V>
bool Store(ResObjectSequence& s, T& field, V value) {
  if (field == static_cast<T>(value)) return false;
  field = static_cast<T>(value);
  s.SetModified();
  return true;
}

}  // namespace

std::string Position2D(const Document& doc, FrameSequence& video, const SubObjectSequence& sub) {
  const ObjectBase* p = PointWithValue(&sub, doc.CurrentFrame());
  if (!p) return {};
  const UnitsOrigin& u = g_UnitsOrigin;
  if (u.imageViewUnit == unit::kPixel) {
    const float x = u.MirrorsX() ? video.Width() - p->x : p->x;
    const float y = u.MirrorsY() ? video.Height() - p->y : p->y;
    return Joined({x, y});
  }
  float world[3];
  video.ImageToWorld(world, p->x, p->y);
  float shown[3];
  u.VectorToUnit(shown, world[0], world[1], world[2], u.spaceUnit);
  return Joined({shown[0], shown[1]});
}

std::string Position3D(const Document& doc, const ResObjectSequence& s) {
  const ObjectBase* p = PointWithValue(&s, doc.CurrentFrame());
  if (!p) return {};
  float shown[3];
  g_UnitsOrigin.VectorToUnit(shown, p->x, p->y, p->z, -1);
  return Joined({shown[0], shown[1], shown[2]});
}

int AlgorithmIndex(std::uint32_t algorithm) {
  return algorithm >= kFirstAlgorithm && algorithm < kFirstAlgorithm + kAlgorithmCount
             ? static_cast<int>(algorithm - kFirstAlgorithm)
             : 0;
}

std::uint32_t AlgorithmAt(int index) {
  return kFirstAlgorithm + static_cast<std::uint32_t>(std::clamp(index, 0, kAlgorithmCount - 1));
}

bool SetName(ResObjectSequence& s, const std::string& name) {
  return !name.empty() && Store(s, s.name, name);
}

bool SetLimits(ResObjectSequence& s, long long horizontal, long long vertical) {
  const bool h = Store(s, s.horizontalLimit, std::clamp<long long>(horizontal, 0, kMaxLimit));
  const bool v = Store(s, s.verticalLimit, std::clamp<long long>(vertical, 0, kMaxLimit));
  return h || v;
}

bool SetAlgorithm(ResObjectSequence& s, std::uint32_t algorithm) {
  return Store(s, s.algorithm, algorithm);
}

bool SetMarkerStyle(ResObjectSequence& s, int style) {
  if (style < 0 || style >= kMarkerStyleCount) return false;
  const bool changed = Store(s, s.style, style);
  return changed;
}

SequenceValues ValuesOf(const ResObjectSequence& s) {
  SequenceValues v;
  v.name = s.name;
  v.color = s.color;
  v.tracked = (s.flags & seqflag::kTracked) != 0;
  v.displayed = !s.IsHidden();
  v.horizontalLimit = s.horizontalLimit;
  v.verticalLimit = s.verticalLimit;
  v.style = s.style;
  v.markerWidth = s.markerWidth;
  v.markerHeight = s.markerHeight;
  v.algorithm = AlgorithmAt(AlgorithmIndex(s.algorithm));
  return v;
}

bool ApplyValues(ResObjectSequence& s, const SequenceValues& v, bool readOnly) {
  bool changed = false;
  if (!readOnly) {
    if (v.color != s.color) {
      s.SetColor(v.color);
      s.SetModified();
      changed = true;
    }
    changed = SetName(s, v.name) || changed;
  }
  auto flag = [&](std::uint32_t bit, bool set) {
    if (((s.flags & bit) != 0) == set) return;
    if (set)
      s.SetFlags(bit);
    else
      s.ClearFlags(bit);
    changed = true;
  };
  flag(seqflag::kTracked, v.tracked);
  flag(seqflag::kHidden, !v.displayed);
  changed = SetLimits(s, v.horizontalLimit, v.verticalLimit) || changed;
  changed = SetMarkerStyle(s, v.style) || changed;
  changed =
      Store(s, s.markerWidth, std::clamp<long long>(v.markerWidth, 1, kMaxMarkerSide)) || changed;
  changed =
      Store(s, s.markerHeight, std::clamp<long long>(v.markerHeight, 1, kMaxMarkerSide)) || changed;
  changed = SetAlgorithm(s, AlgorithmAt(AlgorithmIndex(v.algorithm))) || changed;
  return changed;
}

bool ApplyTemplateFields(SubObjectSequence& sub, TemplateFields& f, int frameWidth,
                         int frameHeight) {
  const int width = tpl::OddSize(f.width, frameWidth);
  const int height = tpl::OddSize(f.height, frameHeight);
  // Offsets beyond the frame would put the template outside every image.
  const int xOffset = static_cast<int>(std::clamp<long long>(f.xOffset, -frameWidth, frameWidth));
  const int yOffset = static_cast<int>(std::clamp<long long>(f.yOffset, -frameHeight, frameHeight));
  f = {width, height, xOffset, yOffset};
  bool changed = false;
  if (width != sub.width || height != sub.height) {
    sub.SetSize(width, height);
    changed = true;
  }
  if (xOffset != sub.xOffset || yOffset != sub.yOffset) {
    sub.xOffset = xOffset;
    sub.yOffset = yOffset;
    changed = true;
  }
  if (changed) sub.SetModified();
  return changed;
}

bool CentreTemplate(SubObjectSequence& sub) {
  if (sub.xOffset == 0 && sub.yOffset == 0) return false;
  sub.xOffset = sub.yOffset = 0;
  sub.SetModified();
  return true;
}

bool SetTemplateShape(SubObjectSequence& sub, int shape) {
  if (sub.shape == shape) return false;
  sub.shape = shape;
  sub.SetModified();
  return true;
}

void ResetTemplate(SubObjectSequence& sub, int frameWidth, int frameHeight) {
  sub.SetDefaults(frameWidth, frameHeight);
  sub.SetModified();
}

}  // namespace objpanel
