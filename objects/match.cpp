#include "objects/match.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "objects/matchalign.h"

namespace match {
namespace {

static_assert(std::tuple_size_v<decltype(Recent::cells)> == Fit::kCells * Fit::kCells);

// Band-pass of texture tracking: binomial smoothing, minus the mean of a (2 R + 1)^2 box.
constexpr int kBoxRadius = 4;
constexpr int kFilterMargin = kBoxRadius + 1;
// Candidates kept from each pyramid level, and the radius within which weaker ones are dropped.
constexpr int kCandidates = 3;
constexpr int kSuppressRadius = 2;
// Coarsest level: the template keeps at least this many pixels on its shorter side.
constexpr int kMinPyramidSide = 8;
constexpr int kMaxLevels = 4;
// Standard deviation (grey levels) below which a template has no structure to track.
constexpr double kMinContrast = 2.0;
constexpr double kMinTextureContrast = 0.5;
// How far the sub-pixel alignment may move a whole-pixel match, and the anchor's alignment the
// adapted template's.
constexpr double kMaxAlignShift = 1.5;
constexpr double kMaxAnchorShift = 1.0;
// Pixels around the search area for the alignment's interpolation.
constexpr int kMargin = 3;
// Candidates closer than this (pixels) to a better one are the same optimum.
constexpr double kDistinct = 3.0;
// A candidate competes with the best when its cost is at most this multiple of the best's.
constexpr double kCompete = 2.0;
// Whole-pixel candidates are refined only when their cost is at most this multiple of the best's
// plus the floor (mean squared grey levels for SSD, 1 - ZNCC for the correlation methods).
constexpr double kPreselect = 8.0;
constexpr double kPreselectFloorSsd = 16.0;
constexpr double kPreselectFloorCross = 0.05;
// Two competing candidates are told apart by the motion when the one nearer the predicted point
// is nearer by at least this (pixels), and by at least its own distance.
constexpr double kMinLead = 2.0;
// A match is much worse than the recent ones when its misfit (1 - ZNCC) exceeds this multiple
// of their mean plus the floor; judged once this many good matches are known.
constexpr double kMuchWorse = 4.0;
constexpr double kWorseFloor = 0.01;
constexpr std::size_t kMinHistory = 3;
// The rise of a much worse misfit is a change of the whole picture when the template's median
// cell has risen by at least this share of the whole's rise; the floor keeps cells that fitted
// almost perfectly from rising by chance.
constexpr double kEvenRise = 0.3;
// A change of the whole picture leaves the match at least this close (a ZNCC of 0.9).
constexpr double kPictureChange = 0.1;
constexpr double kCellFloor = 0.001;
// A match no worse on any cell than this multiple of a doubtful match let pass shows its change.
constexpr double kSameChange = 1.5;
// A match is a jump when it lies further from the predicted point than this many pixels plus the
// multiple of the recent matches' largest distance from their predictions.
constexpr double kJumpFloor = 4.0;
constexpr double kJumpFactor = 4.0;
// After a jump let pass, the steps for which the object is looked for on its path before it.
constexpr int kAstraySteps = 10;

Patch Downsample(const Patch& p) {
  Patch d;
  d.width = p.width / 2;
  d.height = p.height / 2;
  d.planes = p.planes;
  d.pixels.resize(static_cast<std::size_t>(d.width) * d.height * d.planes);
  for (int k = 0; k < p.planes; ++k) {
    const float* s = p.Plane(k);
    float* o = d.Plane(k);
    for (int y = 0; y < d.height; ++y) {
      const float* r0 = s + (2 * y) * p.width;
      const float* r1 = r0 + p.width;
      for (int x = 0; x < d.width; ++x)
        o[y * d.width + x] = 0.25f * (r0[2 * x] + r0[2 * x + 1] + r1[2 * x] + r1[2 * x + 1]);
    }
  }
  return d;
}

std::vector<std::uint8_t> DownsampleMask(const std::vector<std::uint8_t>& m, int width,
                                         int height) {
  const int w = width / 2, h = height / 2;
  std::vector<std::uint8_t> d(static_cast<std::size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      d[y * w + x] = m[2 * y * width + 2 * x] + m[2 * y * width + 2 * x + 1] +
                         m[(2 * y + 1) * width + 2 * x] + m[(2 * y + 1) * width + 2 * x + 1] >=
                     2;
  return d;
}

// A template ready for scoring: its pixels, its mask as row spans and, for the correlation
// methods, its pixels with the mean of each plane removed.
struct Prepared {
  Method method;
  const Patch* t;
  Spans spans;
  int n = 0;
  std::vector<float> centred;
  double centredSquares = 0;

  Prepared(const Patch& tmpl, const std::vector<std::uint8_t>& mask, Method m)
      : method(m), t(&tmpl), spans(SpansOf(mask, tmpl.width, tmpl.height)), n(CountOf(spans)) {
    if (method == Method::kSSD) return;
    centred.assign(tmpl.pixels.size(), 0.0f);
    for (int k = 0; k < tmpl.planes; ++k) {
      double sum = 0;
      const float* s = tmpl.Plane(k);
      for (int y = 0; y < tmpl.height; ++y)
        for (int x = spans[y].first; x < spans[y].second; ++x) sum += s[y * tmpl.width + x];
      const float mean = n ? static_cast<float>(sum / n) : 0.0f;
      float* c = centred.data() + static_cast<std::size_t>(k) * tmpl.width * tmpl.height;
      for (int y = 0; y < tmpl.height; ++y)
        for (int x = spans[y].first; x < spans[y].second; ++x) {
          const float v = s[y * tmpl.width + x] - mean;
          c[y * tmpl.width + x] = v;
          centredSquares += double(v) * v;
        }
    }
  }

  // Higher is better: minus the sum of squared differences, or the ZNCC.
  double Score(const Patch& img, int ox, int oy) const {
    const int tw = t->width, th = t->height;
    if (method == Method::kSSD) {
      double acc = 0;
      for (int k = 0; k < t->planes; ++k) {
        const float* tp = t->Plane(k);
        const float* ip = img.Plane(k) + oy * img.width + ox;
        for (int y = 0; y < th; ++y) {
          float row = 0;
          const float* a = ip + y * img.width;
          const float* b = tp + y * tw;
          for (int x = spans[y].first; x < spans[y].second; ++x) {
            const float d = a[x] - b[x];
            row += d * d;
          }
          acc += row;
        }
      }
      return -acc;
    }
    double cross = 0, variance = 0;
    for (int k = 0; k < t->planes; ++k) {
      const float* tp = centred.data() + static_cast<std::size_t>(k) * tw * th;
      const float* ip = img.Plane(k) + oy * img.width + ox;
      double sum = 0, squares = 0;
      for (int y = 0; y < th; ++y) {
        float rc = 0, rs = 0, rq = 0;
        const float* a = ip + y * img.width;
        const float* b = tp + y * tw;
        for (int x = spans[y].first; x < spans[y].second; ++x) {
          rc += a[x] * b[x];
          rs += a[x];
          rq += a[x] * a[x];
        }
        cross += rc;
        sum += rs;
        squares += rq;
      }
      variance += squares - sum * sum / std::max(n, 1);
    }
    const double denominator = std::sqrt(centredSquares * variance);
    return denominator > 1e-9 ? cross / denominator : -1.0;
  }
};

struct Candidate {
  int x, y;
  double score;
};

// The best few local optima of an exhaustive search over [x0, x1] x [y0, y1].
std::vector<Candidate> Exhaustive(const Prepared& p, const Patch& img, int x0, int y0, int x1,
                                  int y1) {
  const int w = x1 - x0 + 1, h = y1 - y0 + 1;
  std::vector<double> scores(static_cast<std::size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) scores[y * w + x] = p.Score(img, x0 + x, y0 + y);
  std::vector<Candidate> out;
  std::vector<std::uint8_t> taken(scores.size(), 0);
  for (int k = 0; k < kCandidates; ++k) {
    int best = -1;
    for (int i = 0; i < static_cast<int>(scores.size()); ++i)
      if (!taken[i] && (best < 0 || scores[i] > scores[best])) best = i;
    if (best < 0) break;
    const int bx = best % w, by = best / w;
    out.push_back({x0 + bx, y0 + by, scores[best]});
    for (int y = std::max(0, by - kSuppressRadius); y <= std::min(h - 1, by + kSuppressRadius); ++y)
      for (int x = std::max(0, bx - kSuppressRadius); x <= std::min(w - 1, bx + kSuppressRadius);
           ++x)
        taken[y * w + x] = 1;
  }
  return out;
}

// Clamped index for the filter's borders.
inline int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

// Band-pass of one plane in place (see kBoxRadius).
void BandPass(float* p, int w, int h) {
  std::vector<float> s(static_cast<std::size_t>(w) * h), t(s.size());
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      t[y * w + x] =
          0.25f * (p[y * w + Clamp(x - 1, 0, w - 1)] + p[y * w + Clamp(x + 1, 0, w - 1)]) +
          0.5f * p[y * w + x];
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      s[y * w + x] =
          0.25f * (t[Clamp(y - 1, 0, h - 1) * w + x] + t[Clamp(y + 1, 0, h - 1) * w + x]) +
          0.5f * t[y * w + x];
  // Box mean over the window's part inside the patch: along the rows, then down the columns.
  const float inverse = 1.0f / (2 * kBoxRadius + 1);
  for (int y = 0; y < h; ++y) {
    const float* row = s.data() + static_cast<std::size_t>(y) * w;
    float* out = t.data() + static_cast<std::size_t>(y) * w;
    for (int x = 0; x < w; ++x) {
      if (x == kBoxRadius && w > 2 * kBoxRadius) {
        // The whole window inside: a fixed sum the compiler runs on many pixels at once.
        for (; x < w - kBoxRadius; ++x) {
          float sum = 0;
          for (int k = -kBoxRadius; k <= kBoxRadius; ++k) sum += row[x + k];
          out[x] = sum * inverse;
        }
        if (x >= w) break;
      }
      const int a = std::max(0, x - kBoxRadius), b = std::min(w - 1, x + kBoxRadius);
      float sum = 0;
      for (int k = a; k <= b; ++k) sum += row[k];
      out[x] = sum / (b - a + 1);
    }
  }
  // Down the columns with one running sum per column, row by row so the rows stay in cache.
  std::vector<double> column(static_cast<std::size_t>(w), 0.0);
  auto add = [&](int y, double sign) {
    const float* row = t.data() + static_cast<std::size_t>(y) * w;
    for (int x = 0; x < w; ++x) column[x] += sign * row[x];
  };
  for (int y = 0; y < std::min(h, kBoxRadius); ++y) add(y, 1);
  for (int y = 0; y < h; ++y) {
    if (y + kBoxRadius < h) add(y + kBoxRadius, 1);
    if (y - kBoxRadius - 1 >= 0) add(y - kBoxRadius - 1, -1);
    const int a = std::max(0, y - kBoxRadius), b = std::min(h - 1, y + kBoxRadius);
    const double inverse = 1.0 / (b - a + 1);
    float* out = p + static_cast<std::size_t>(y) * w;
    const float* smooth = s.data() + static_cast<std::size_t>(y) * w;
    for (int x = 0; x < w; ++x) out[x] = smooth[x] - static_cast<float>(column[x] * inverse);
  }
}

bool Passes(const Settings& s, Method method, double quality) {
  return method == Method::kSSD ? quality <= s.thresholdSSD : quality >= s.thresholdCross;
}

// Top left pixel of a template whose centre lies at the point plus the offsets.
int OriginOf(float point, int offset, int side) {
  return static_cast<int>(std::lround(double(point) + offset)) - (side - 1) / 2;
}

double RawContrast(const Image& image, int x0, int y0, int w, int h,
                   const std::vector<std::uint8_t>& mask) {
  double sum = 0, squares = 0;
  int n = 0;
  for (int k = 0; k < image.count; ++k)
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        if (!mask[y * w + x]) continue;
        const double v = image.planes[k][static_cast<std::size_t>(y0 + y) * image.width + x0 + x];
        sum += v;
        squares += v * v;
        ++n;
      }
  if (!n) return 0;
  const double mean = sum / n;
  return std::sqrt(std::max(0.0, squares / n - mean * mean));
}

// Takes the template at the point from image into state; 0 or the message id.
int TakeTemplate(const Image& image, float px, float py, const TemplateGeometry& g, Method method,
                 const std::vector<std::uint8_t>& mask, Patch& patch, float& relX, float& relY,
                 bool checkStructure) {
  const int ox = OriginOf(px, g.xOffset, g.width), oy = OriginOf(py, g.yOffset, g.height);
  if (ox < 0 || oy < 0 || ox + g.width > image.width || oy + g.height > image.height)
    return kTemplateOutside;
  if (checkStructure && RawContrast(image, ox, oy, g.width, g.height, mask) < kMinContrast)
    return kNoStructure;
  Patch p = Extract(image, ox, oy, g.width, g.height, method);
  if (checkStructure && method == Method::kTexture) {
    Spans spans = SpansOf(mask, p.width, p.height);
    if (Moments(p.pixels, spans, p.width, p.height, p.planes).second < kMinTextureContrast)
      return kNoStructure;
  }
  patch = std::move(p);
  relX = px - ox;
  relY = py - oy;
  return 0;
}

}  // namespace

std::vector<std::uint8_t> ShapeMask(int width, int height, int shape) {
  std::vector<std::uint8_t> m(static_cast<std::size_t>(std::max(width, 0)) * std::max(height, 0),
                              1);
  if (shape != 1) return m;
  const double rx = width / 2.0, ry = height / 2.0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const double dx = (x + 0.5 - rx) / rx, dy = (y + 0.5 - ry) / ry;
      m[y * width + x] = dx * dx + dy * dy <= 1.0;
    }
  return m;
}

Patch Extract(const Image& image, int x0, int y0, int width, int height, Method method) {
  Patch p;
  p.planes = image.count;
  if (method != Method::kTexture) {
    p.width = width;
    p.height = height;
    p.pixels.resize(static_cast<std::size_t>(width) * height * p.planes);
    for (int k = 0; k < p.planes; ++k)
      for (int y = 0; y < height; ++y) {
        const std::uint8_t* s =
            image.planes[k] + static_cast<std::size_t>(y0 + y) * image.width + x0;
        float* o = p.Plane(k) + y * width;
        for (int x = 0; x < width; ++x) o[x] = s[x];
      }
    return p;
  }
  // Filter with the surrounding pixels the image has, then cut the rectangle out.
  const int ax = std::max(0, x0 - kFilterMargin), ay = std::max(0, y0 - kFilterMargin);
  const int bx = std::min(image.width, x0 + width + kFilterMargin);
  const int by = std::min(image.height, y0 + height + kFilterMargin);
  Patch wide = Extract(image, ax, ay, bx - ax, by - ay, Method::kSSD);
  for (int k = 0; k < wide.planes; ++k) BandPass(wide.Plane(k), wide.width, wide.height);
  p.width = width;
  p.height = height;
  p.pixels.resize(static_cast<std::size_t>(width) * height * p.planes);
  for (int k = 0; k < p.planes; ++k)
    for (int y = 0; y < height; ++y)
      std::copy_n(wide.Plane(k) + (y0 - ay + y) * wide.width + (x0 - ax), width,
                  p.Plane(k) + y * width);
  return p;
}

std::vector<Best> SearchCandidates(const Patch& image, const Patch& tmpl,
                                   const std::vector<std::uint8_t>* mask, Method method, int x0,
                                   int y0, int x1, int y1, int maxLevels) {
  std::vector<std::uint8_t> full;
  if (!mask) full.assign(static_cast<std::size_t>(tmpl.width) * tmpl.height, 1);
  const std::vector<std::uint8_t>& m0 = mask ? *mask : full;
  x1 = std::min(x1, image.width - tmpl.width);
  y1 = std::min(y1, image.height - tmpl.height);
  x0 = std::max(x0, 0);
  y0 = std::max(y0, 0);
  if (x0 > x1 || y0 > y1) return {};

  // Levels: coarser only while the template keeps its structure and the search is still wide.
  int levels = 0;
  while (levels < std::min(maxLevels, kMaxLevels) &&
         std::min(tmpl.width, tmpl.height) >> (levels + 1) >= kMinPyramidSide &&
         std::max(x1 - x0, y1 - y0) >> levels >= 8)
    ++levels;
  std::vector<Patch> images{image}, templates{tmpl};
  std::vector<std::vector<std::uint8_t>> masks{m0};
  images.reserve(levels + 1);
  templates.reserve(levels + 1);
  for (int l = 1; l <= levels; ++l) {
    images.push_back(Downsample(images.back()));
    masks.push_back(DownsampleMask(masks.back(), templates.back().width, templates.back().height));
    templates.push_back(Downsample(templates.back()));
  }
  auto range = [&](int l, int& a0, int& b0, int& a1, int& b1) {
    a0 = x0 >> l;
    b0 = y0 >> l;
    a1 = std::min(x1 >> l, images[l].width - templates[l].width);
    b1 = std::min(y1 >> l, images[l].height - templates[l].height);
  };
  int a0, b0, a1, b1;
  range(levels, a0, b0, a1, b1);
  std::vector<Candidate> candidates;
  {
    Prepared p(templates[levels], masks[levels], method);
    candidates = Exhaustive(p, images[levels], a0, b0, std::max(a0, a1), std::max(b0, b1));
  }
  for (int l = levels - 1; l >= 0; --l) {
    Prepared p(templates[l], masks[l], method);
    range(l, a0, b0, a1, b1);
    std::vector<Candidate> next;
    for (const Candidate& c : candidates) {
      Candidate best{0, 0, -1e300};
      for (int y = std::max(b0, 2 * c.y - 2); y <= std::min(b1, 2 * c.y + 2); ++y)
        for (int x = std::max(a0, 2 * c.x - 2); x <= std::min(a1, 2 * c.x + 2); ++x) {
          const double s = p.Score(images[l], x, y);
          if (s > best.score) best = {x, y, s};
        }
      if (best.score > -1e300 && std::none_of(next.begin(), next.end(), [&](const Candidate& o) {
            return o.x == best.x && o.y == best.y;
          }))
        next.push_back(best);
    }
    candidates = std::move(next);
  }
  std::sort(candidates.begin(), candidates.end(),
            [](const Candidate& a, const Candidate& b) { return a.score > b.score; });
  std::vector<Best> out;
  for (const Candidate& c : candidates) out.push_back({c.x, c.y, c.score});
  return out;
}

Best SearchBest(const Patch& image, const Patch& tmpl, const std::vector<std::uint8_t>* mask,
                Method method, int x0, int y0, int x1, int y1) {
  const std::vector<Best> all =
      SearchCandidates(image, tmpl, mask, method, x0, y0, x1, y1, kMaxLevels);
  return all.empty() ? Best{x0, y0, -1e300} : all.front();
}

namespace {

// A candidate refined to a fraction of a pixel, with its fit and its cost (lower is better:
// the mean squared difference for SSD, 1 - ZNCC for the correlation methods).
struct Scored {
  Warp w;
  Fit fit;
  double cost = 0;
  int bx = 0, by = 0;  // whole-pixel top left of the template
};

double CostOf(Method method, const Fit& f) {
  return method == Method::kSSD ? f.rms * f.rms : std::max(0.0, 1 - f.zncc);
}

// The distinct candidates, each refined and scored, the cheapest first.
// The cost of a whole-pixel search score (pixels: of the mask, over all planes).
double WholePixelCost(Method method, double score, int pixels) {
  return method == Method::kSSD ? -score / std::max(pixels, 1) : std::max(0.0, 1 - score);
}

std::vector<Scored> Refine(const std::vector<Best>& found, Aligner& aligner, const Patch& area,
                           const TrackState& state, Method method, int pixels) {
  std::vector<Scored> out;
  for (const Best& b : found) {
    // Refined, a whole-pixel match gains at most what half a pixel costs: one far worse than
    // the best cannot compete with it.
    if (&b != &found.front() &&
        WholePixelCost(method, b.score, pixels) >
            kPreselect * WholePixelCost(method, found.front().score, pixels) +
                (method == Method::kSSD ? kPreselectFloorSsd : kPreselectFloorCross))
      continue;
    if (std::any_of(out.begin(), out.end(), [&](const Scored& s) {
          return std::hypot(s.bx - b.x, s.by - b.y) < kDistinct;
        }))
      continue;
    Scored s;
    s.bx = b.x;
    s.by = b.y;
    s.w = {b.x + state.pointX, b.y + state.pointY};
    if (!aligner.Align(area, s.w, kMaxAlignShift)) s.w = {b.x + state.pointX, b.y + state.pointY};
    if (!aligner.Measure(area, s.w, s.fit)) continue;
    s.cost = CostOf(method, s.fit);
    // Two whole-pixel optima that refine onto one point are one candidate.
    if (std::any_of(out.begin(), out.end(), [&](const Scored& o) {
          return std::hypot(o.w.x - s.w.x, o.w.y - s.w.y) < 1.0;
        }))
      continue;
    out.push_back(s);
  }
  std::sort(out.begin(), out.end(),
            [](const Scored& a, const Scored& b) { return a.cost < b.cost; });
  return out;
}

// Of the candidates that compete with the best, the one nearest the predicted point; ambiguous
// when the motion cannot tell it from another.
std::size_t Choose(const std::vector<Scored>& c, double px, double py, bool& ambiguous) {
  std::vector<std::pair<double, std::size_t>> near;
  for (std::size_t i = 0; i < c.size(); ++i)
    if (i == 0 || c[i].cost <= kCompete * c[0].cost)
      near.push_back({std::hypot(c[i].w.x - px, c[i].w.y - py), i});
  std::sort(near.begin(), near.end());
  ambiguous = near.size() > 1 && near[1].first < near[0].first + std::max(kMinLead, near[0].first);
  return near[0].second;
}

double QualityOf(Method method, const Fit& f) { return method == Method::kSSD ? f.rms : f.zncc; }

// Much worse than the recent matches, in a part of the template: something in the way. A key
// frame, another compression or a flash makes the whole picture fit worse, and every part of
// the template with it.
bool MuchWorse(const TrackState& state, const Fit& fit) {
  if (state.recent.size() < kMinHistory) return false;
  const double misfit = 1 - fit.zncc;
  const double n = static_cast<double>(state.recent.size());
  double mean = 0;
  std::array<double, Fit::kCells * Fit::kCells> before{};
  for (const Recent& r : state.recent) {
    mean += r.misfit / n;
    for (std::size_t c = 0; c < before.size(); ++c) before[c] += r.cells[c] / n;
  }
  if (misfit <= kMuchWorse * mean + kWorseFloor) return false;
  // No worse anywhere than a doubtful match the user let pass: the same lasting change.
  if (state.passed) {
    bool same = true;
    for (std::size_t c = 0; c < before.size(); ++c)
      same = same && fit.cells[c] <= kSameChange * state.passedCells[c] + kCellFloor;
    if (same) return false;
  }
  if (misfit > kPictureChange) return true;
  std::array<double, Fit::kCells * Fit::kCells> rise{};
  for (std::size_t c = 0; c < rise.size(); ++c)
    rise[c] = (fit.cells[c] + kCellFloor) / (before[c] + kCellFloor);
  std::nth_element(rise.begin(), rise.begin() + rise.size() / 2, rise.end());
  return rise[rise.size() / 2] < kEvenRise * (misfit + kCellFloor) / (mean + kCellFloor);
}

// Much further from the predicted point than the recent matches: a jump onto a look-alike.
bool Jumps(const TrackState& state, double deviation) {
  if (state.recent.size() < kMinHistory) return false;
  double largest = 0;
  for (const Recent& r : state.recent) largest = std::max(largest, r.deviation);
  return deviation > kJumpFloor + kJumpFactor * largest;
}

// The candidates with the one chosen, and whether the match is bad: beyond its threshold, not
// to be told from another by the motion, or much worse than the recent matches.
struct Found {
  std::vector<Scored> scored;
  std::size_t chosen = 0;
  double deviation = 0;  // of the chosen one from the predicted point, pixels
  bool bad = true;
  bool misplaced = false;  // bad for where it lies, not for how it looks
};

Found Judge(std::vector<Scored> scored, double px, double py, bool predicted,
            const Settings& settings, Method method, const TrackState& state) {
  Found f;
  f.scored = std::move(scored);
  if (f.scored.empty()) return f;
  bool ambiguous = false;
  f.chosen = Choose(f.scored, px, py, ambiguous);
  const Scored& c = f.scored[f.chosen];
  f.deviation = std::hypot(c.w.x - px, c.w.y - py);
  f.misplaced = ambiguous || (predicted && Jumps(state, f.deviation));
  f.bad = f.misplaced || !Passes(settings, method, QualityOf(method, c.fit)) ||
          MuchWorse(state, c.fit);
  return f;
}

void Remember(TrackState& state, const Found& found) {
  const Scored& c = found.scored[found.chosen];
  Recent r;
  r.misfit = 1 - c.fit.zncc;
  r.deviation = found.deviation;
  std::copy(c.fit.cells.begin(), c.fit.cells.end(), r.cells.begin());
  state.recent.push_back(r);
  if (state.recent.size() > TrackState::kHistory) state.recent.erase(state.recent.begin());
}

// How far the anchor, turned and scaled, reaches beyond the template's rectangle.
std::pair<int, int> AnchorReach(const TrackState& state, const TemplateGeometry& g) {
  const std::complex<double> m(state.anchorScaleCos, state.anchorScaleSin);
  double rx = 0, ry = 0;
  for (double cx : {-state.anchorX, g.width - 1 - state.anchorX})
    for (double cy : {-state.anchorY, g.height - 1 - state.anchorY}) {
      const std::complex<double> at = m * std::complex<double>(cx, cy);
      rx = std::max(
          rx, std::max(at.real() - (g.width - 1 - state.anchorX), -at.real() - state.anchorX));
      ry = std::max(
          ry, std::max(at.imag() - (g.height - 1 - state.anchorY), -at.imag() - state.anchorY));
    }
  return {static_cast<int>(std::ceil(rx)), static_cast<int>(std::ceil(ry))};
}

// Takes the template anew at the new point. The search area holds it already, filtered as
// the frame around it is, so it is cut from there where it lies inside.
void Renew(TrackState& state, const Image& next, const Patch& area, int ax, int ay, float x,
           float y, const TemplateGeometry& g, Method method,
           const std::vector<std::uint8_t>& mask) {
  const int ox = OriginOf(x, g.xOffset, g.width), oy = OriginOf(y, g.yOffset, g.height);
  if (ox - ax >= 0 && oy - ay >= 0 && ox - ax + g.width <= area.width &&
      oy - ay + g.height <= area.height) {
    Patch& t = state.current;
    t.width = g.width;
    t.height = g.height;
    t.planes = area.planes;
    t.pixels.resize(static_cast<std::size_t>(g.width) * g.height * area.planes);
    for (int k = 0; k < area.planes; ++k)
      for (int row = 0; row < g.height; ++row)
        std::copy_n(area.Plane(k) + static_cast<std::size_t>(oy - ay + row) * area.width + ox - ax,
                    g.width, t.Plane(k) + static_cast<std::size_t>(row) * g.width);
    state.pointX = x - ox;
    state.pointY = y - oy;
    state.adapted = true;
    return;
  }
  Patch renewed;
  float relX, relY;
  if (TakeTemplate(next, x, y, g, method, mask, renewed, relX, relY, false) == 0) {
    state.current = std::move(renewed);
    state.pointX = relX;
    state.pointY = relY;
    state.adapted = true;
  }
}

}  // namespace

Outcome MatchStep(const Request& r, TrackState& state) {
  Outcome out;
  const TemplateGeometry& g = r.geometry;
  const Image& next = r.nextFrame;
  if (g.width < 3 || g.height < 3 || !r.thisFrame.planes[0] || !next.planes[0] || next.width <= 0 ||
      next.height <= 0 || r.thisFrame.count != next.count) {
    out.message = kGeneralError;
    return out;
  }
  if (g.width > next.width || g.height > next.height) {
    out.message = kTemplateOutside;
    return out;
  }
  if (!(r.x >= 0 && r.y >= 0 && r.x <= next.width && r.y <= next.height)) {
    out.message = kLeavesFrame;
    return out;
  }
  const std::vector<std::uint8_t> mask = ShapeMask(g.width, g.height, g.shape);
  const bool sameKind = state.valid && state.method == r.method && state.planes == next.count &&
                        state.geometry.width == g.width && state.geometry.height == g.height &&
                        state.geometry.shape == g.shape && state.geometry.xOffset == g.xOffset &&
                        state.geometry.yOffset == g.yOffset;
  if (r.restart || !sameKind) {
    TrackState fresh;
    if (int m = TakeTemplate(r.thisFrame, r.x, r.y, g, r.method, mask, fresh.current, fresh.pointX,
                             fresh.pointY, true)) {
      out.message = m;
      return out;
    }
    fresh.valid = true;
    fresh.method = r.method;
    fresh.geometry = g;
    fresh.planes = next.count;
    fresh.anchor = fresh.current;
    fresh.anchorX = fresh.pointX;
    fresh.anchorY = fresh.pointY;
    state = std::move(fresh);
  }

  // Search area: the limits around the predicted position, within the frame.
  // After a jump let pass, the object is looked for where its motion before the jump leads; not
  // for ever: an object that really moved so (a blow, a throw) is found where its stored points
  // lead once the user has let kAstraySteps steps pass.
  if (state.astray && ++state.stepsSinceGood > kAstraySteps) state.astray = false;
  const bool predicted = r.hasVelocity || state.astray;
  float predictedX = r.x + (r.hasVelocity ? r.vx : 0.0f);
  float predictedY = r.y + (r.hasVelocity ? r.vy : 0.0f);
  if (state.astray) {
    predictedX = static_cast<float>(state.goodX + state.goodVx * state.stepsSinceGood);
    predictedY = static_cast<float>(state.goodY + state.goodVy * state.stepsSinceGood);
  }
  const int ex = static_cast<int>(std::lround(predictedX - state.pointX));
  const int ey = static_cast<int>(std::lround(predictedY - state.pointY));
  const int rx = std::max(2, (r.horizontalLimit - g.width) / 2);
  const int ry = std::max(2, (r.verticalLimit - g.height) / 2);
  const int cx0 = std::max(0, ex - rx), cx1 = std::min(next.width - g.width, ex + rx);
  const int cy0 = std::max(0, ey - ry), cy1 = std::min(next.height - g.height, ey + ry);
  if (cx0 > cx1 || cy0 > cy1) {
    out.message = kLeavesFrame;
    return out;
  }
  // The search area with a margin for the alignments, the turned and scaled anchor's included.
  const auto [reachX, reachY] = AnchorReach(state, g);
  const int ax = std::max(0, cx0 - kMargin - reachX), ay = std::max(0, cy0 - kMargin - reachY);
  const int bx = std::min(next.width, cx1 + g.width + kMargin + reachX);
  const int by = std::min(next.height, cy1 + g.height + kMargin + reachY);
  const Patch area = Extract(next, ax, ay, bx - ax, by - ay, r.method);

  const Spans spans = SpansOf(mask, g.width, g.height);
  Aligner aligner(state.current, spans, state.pointX, state.pointY, false);
  auto find = [&](int levels) {
    return Judge(Refine(SearchCandidates(area, state.current, &mask, r.method, cx0 - ax, cy0 - ay,
                                         cx1 - ax, cy1 - ay, levels),
                        aligner, area, state, r.method, CountOf(spans) * next.count),
                 predictedX - ax, predictedY - ay, predicted, r.settings, r.method, state);
  };
  Found found = find(kMaxLevels);
  // The coarse levels can miss a fine texture: a bad match is looked for at every position.
  if (found.bad) found = find(0);
  if (found.scored.empty()) {
    out.message = kObjectLost;
    return out;
  }
  const Scored& chosen = found.scored[found.chosen];
  out.bestX = chosen.bx + ax;
  out.bestY = chosen.by + ay;
  out.score = QualityOf(r.method, chosen.fit);
  // Where the frame cut the search area, a match on the cut is the object leaving the frame.
  auto onCut = [&](const Scored& c) {
    const int x = c.bx + ax, y = c.by + ay;
    return (x == cx0 && ex - rx < 0) || (x == cx1 && ex + rx > next.width - g.width) ||
           (y == cy0 && ey - ry < 0) || (y == cy1 && ey + ry > next.height - g.height);
  };
  const bool cut = onCut(chosen) || (found.bad && onCut(found.scored.front()));

  // The run's first template, turned and scaled as the object has, gives the point: it does not
  // drift as the adapted templates would.
  Warp at = chosen.w;
  if (!state.anchorAligner)
    state.anchorAligner =
        std::make_shared<Aligner>(state.anchor, spans, state.anchorX, state.anchorY, true);
  Aligner& anchor = *state.anchorAligner;
  Warp anchored{chosen.w.x, chosen.w.y, {state.anchorScaleCos, state.anchorScaleSin}};
  Fit anchorFit;
  const bool anchorHolds =
      anchor.Align(area, anchored, kMaxAnchorShift) && anchor.Measure(area, anchored, anchorFit) &&
      Passes(r.settings, r.method, r.method == Method::kSSD ? anchorFit.fittedRms : anchorFit.zncc);
  if (anchorHolds) at = anchored;
  const double newX = at.x + ax, newY = at.y + ay;

  if (cut || !(newX >= 0 && newY >= 0 && newX <= next.width && newY <= next.height)) {
    out.message = kLeavesFrame;
    return out;
  }
  out.badMatch = found.bad;
  if (out.badMatch && r.settings.breakOnBadMatch) {
    out.message = kObjectLost;
    return out;
  }
  out.x = static_cast<float>(newX);
  out.y = static_cast<float>(newY);
  out.stored = true;
  // A doubtful look let pass is the user's: what it showed is the object's look from then on,
  // until something changes more. The template is kept until a match is good again: something
  // passing in front of the object would otherwise become part of it.
  if (out.badMatch) {
    if (found.misplaced && !state.astray && !state.recent.empty()) {
      state.astray = true;
      state.stepsSinceGood = 0;
    }
    // The first doubtful look is the measure: something moving in front grows beyond it.
    if (!found.misplaced && !state.passed) {
      state.passed = true;
      state.passedCells = chosen.fit.cells;
    }
    return out;
  }
  state.passed = false;
  state.astray = false;
  state.goodX = out.x;
  state.goodY = out.y;
  state.goodVx = out.x - r.x;
  state.goodVy = out.y - r.y;
  Remember(state, found);
  if (anchorHolds) {
    state.anchorScaleCos = anchored.m.real();
    state.anchorScaleSin = anchored.m.imag();
  }
  if (r.settings.adaptTemplate) Renew(state, next, area, ax, ay, out.x, out.y, g, r.method, mask);
  return out;
}

}  // namespace match
