#include "objects/match.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace match {
namespace {

// Band-pass of texture tracking: binomial smoothing, minus the mean of a (2 R + 1)^2 box.
constexpr int kBoxRadius = 4;
constexpr int kFilterMargin = kBoxRadius + 1;
// Candidates kept from each pyramid level, and the radius within which weaker ones are dropped.
constexpr int kCandidates = 3;
constexpr int kSuppressRadius = 2;
// Coarsest level: the template keeps at least this many pixels on its shorter side.
constexpr int kMinPyramidSide = 6;
constexpr int kMaxLevels = 4;
// Standard deviation (grey levels) below which a template has no structure to track.
constexpr double kMinContrast = 2.0;
constexpr double kMinTextureContrast = 0.5;
// Sub-pixel alignment: iterations, the step at which it has converged, and how far it may move.
constexpr int kAlignIterations = 12;
constexpr double kConverged = 1e-3;
constexpr double kMaxAlignShift = 1.5;
constexpr double kMaxAnchorShift = 1.0;

using Spans = std::vector<std::pair<int, int>>;

Spans SpansOf(const std::vector<std::uint8_t>& mask, int width, int height) {
  Spans spans(height, {0, 0});
  for (int y = 0; y < height; ++y) {
    int first = width, last = -1;
    for (int x = 0; x < width; ++x)
      if (mask[y * width + x]) first = std::min(first, x), last = x;
    spans[y] = last < 0 ? std::pair{0, 0} : std::pair{first, last + 1};
  }
  return spans;
}

// Pixels of the mask per plane.
int CountOf(const Spans& spans) {
  int n = 0;
  for (auto [a, b] : spans) n += b - a;
  return n;
}

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
  // Box mean over the window's part inside the patch, from prefix sums along rows, then columns.
  std::vector<double> prefix(static_cast<std::size_t>(std::max(w, h)) + 1);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) prefix[x + 1] = prefix[x] + s[y * w + x];
    for (int x = 0; x < w; ++x) {
      const int a = std::max(0, x - kBoxRadius), b = std::min(w - 1, x + kBoxRadius);
      t[y * w + x] = static_cast<float>((prefix[b + 1] - prefix[a]) / (b - a + 1));
    }
  }
  for (int x = 0; x < w; ++x) {
    for (int y = 0; y < h; ++y) prefix[y + 1] = prefix[y] + t[y * w + x];
    for (int y = 0; y < h; ++y) {
      const int a = std::max(0, y - kBoxRadius), b = std::min(h - 1, y + kBoxRadius);
      p[y * w + x] = s[y * w + x] - static_cast<float>((prefix[b + 1] - prefix[a]) / (b - a + 1));
    }
  }
}

// Gradients of the template (central differences, one-sided at its edges).
void Gradients(const Patch& t, std::vector<float>& gx, std::vector<float>& gy) {
  gx.assign(t.pixels.size(), 0.0f);
  gy.assign(t.pixels.size(), 0.0f);
  const int w = t.width, h = t.height;
  for (int k = 0; k < t.planes; ++k) {
    const float* p = t.Plane(k);
    float* ox = gx.data() + static_cast<std::size_t>(k) * w * h;
    float* oy = gy.data() + static_cast<std::size_t>(k) * w * h;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const int xa = std::max(0, x - 1), xb = std::min(w - 1, x + 1);
        const int ya = std::max(0, y - 1), yb = std::min(h - 1, y + 1);
        ox[y * w + x] = (p[y * w + xb] - p[y * w + xa]) / std::max(1, xb - xa);
        oy[y * w + x] = (p[yb * w + x] - p[ya * w + x]) / std::max(1, yb - ya);
      }
  }
}

// The image under the template at a fractional origin (bilinear); false when it reaches beyond.
bool Sample(const Patch& img, double qx, double qy, int tw, int th, std::vector<float>& out) {
  const int ix = static_cast<int>(std::floor(qx)), iy = static_cast<int>(std::floor(qy));
  if (ix < 0 || iy < 0 || ix + tw >= img.width || iy + th >= img.height) return false;
  const float fx = static_cast<float>(qx - ix), fy = static_cast<float>(qy - iy);
  const float w00 = (1 - fx) * (1 - fy), w10 = fx * (1 - fy), w01 = (1 - fx) * fy, w11 = fx * fy;
  out.resize(static_cast<std::size_t>(tw) * th * img.planes);
  for (int k = 0; k < img.planes; ++k) {
    const float* s = img.Plane(k);
    float* o = out.data() + static_cast<std::size_t>(k) * tw * th;
    for (int y = 0; y < th; ++y) {
      const float* r0 = s + (iy + y) * img.width + ix;
      const float* r1 = r0 + img.width;
      for (int x = 0; x < tw; ++x)
        o[y * tw + x] = w00 * r0[x] + w10 * r0[x + 1] + w01 * r1[x] + w11 * r1[x + 1];
    }
  }
  return true;
}

// Mean and standard deviation over the mask of all planes of a sampled patch.
std::pair<double, double> Moments(const std::vector<float>& v, const Spans& spans, int tw, int th,
                                  int planes) {
  double sum = 0, squares = 0;
  int n = 0;
  for (int k = 0; k < planes; ++k)
    for (int y = 0; y < th; ++y)
      for (int x = spans[y].first; x < spans[y].second; ++x) {
        const double a = v[static_cast<std::size_t>(k) * tw * th + y * tw + x];
        sum += a;
        squares += a * a;
        ++n;
      }
  if (!n) return {0, 0};
  const double mean = sum / n;
  return {mean, std::sqrt(std::max(0.0, squares / n - mean * mean))};
}

// Inverse-compositional Lucas-Kanade alignment of a template to the image, translation only;
// the correlation methods also normalise brightness and contrast of the image to the
// template's at every iteration. q is the template's top left corner in the image.
class Aligner {
 public:
  Aligner(const Patch& t, const std::vector<std::uint8_t>& mask, Method method)
      : t_(t), spans_(SpansOf(mask, t.width, t.height)), photometric_(method != Method::kSSD) {
    Gradients(t, gx_, gy_);
    const int w = t.width, h = t.height;
    for (int k = 0; k < t.planes; ++k)
      for (int y = 0; y < h; ++y)
        for (int x = spans_[y].first; x < spans_[y].second; ++x) {
          const std::size_t i = static_cast<std::size_t>(k) * w * h + y * w + x;
          hxx_ += double(gx_[i]) * gx_[i];
          hxy_ += double(gx_[i]) * gy_[i];
          hyy_ += double(gy_[i]) * gy_[i];
        }
    std::vector<float> all(t.pixels);
    const auto [mean, sd] = Moments(all, spans_, w, h, t.planes);
    tMean_ = mean;
    tSd_ = sd;
  }

  // Moves q to the best fractional origin; false when it does not converge, leaves the image or
  // moves further than the limit.
  bool Align(const Patch& img, double& qx, double& qy, double limit) {
    const double det = hxx_ * hyy_ - hxy_ * hxy_;
    if (det <= 1e-9 * (hxx_ * hyy_ + 1e-12)) return false;
    const double startX = qx, startY = qy;
    const int w = t_.width, h = t_.height;
    for (int it = 0; it < kAlignIterations; ++it) {
      if (!Sample(img, qx, qy, w, h, sample_)) return false;
      double gain = 1, offset = 0;
      if (photometric_) {
        const auto [mean, sd] = Moments(sample_, spans_, w, h, t_.planes);
        if (sd <= 1e-9) return false;
        gain = tSd_ / sd;
        offset = tMean_ - mean * gain;
      }
      double bx = 0, by = 0;
      for (int k = 0; k < t_.planes; ++k)
        for (int y = 0; y < h; ++y) {
          const std::size_t row = static_cast<std::size_t>(k) * w * h + y * w;
          for (int x = spans_[y].first; x < spans_[y].second; ++x) {
            const double e = sample_[row + x] * gain + offset - t_.pixels[row + x];
            bx += gx_[row + x] * e;
            by += gy_[row + x] * e;
          }
        }
      const double dx = (hyy_ * bx - hxy_ * by) / det;
      const double dy = (hxx_ * by - hxy_ * bx) / det;
      qx -= dx;
      qy -= dy;
      if (std::hypot(qx - startX, qy - startY) > limit) return false;
      if (std::fabs(dx) < kConverged && std::fabs(dy) < kConverged) return true;
    }
    return std::hypot(qx - startX, qy - startY) <= limit;
  }

  // RMS difference (SSD) or ZNCC of the template with the image at a fractional origin.
  bool Quality(const Patch& img, double qx, double qy, double& out) {
    const int w = t_.width, h = t_.height;
    if (!Sample(img, qx, qy, w, h, sample_)) return false;
    double acc = 0, cross = 0;
    int n = 0;
    const auto [mean, sd] = Moments(sample_, spans_, w, h, t_.planes);
    for (int k = 0; k < t_.planes; ++k)
      for (int y = 0; y < h; ++y) {
        const std::size_t row = static_cast<std::size_t>(k) * w * h + y * w;
        for (int x = spans_[y].first; x < spans_[y].second; ++x) {
          const double a = sample_[row + x], b = t_.pixels[row + x];
          acc += (a - b) * (a - b);
          cross += (a - mean) * (b - tMean_);
          ++n;
        }
      }
    if (!n) return false;
    if (!photometric_) {
      out = std::sqrt(acc / n);
    } else {
      out = sd > 1e-9 && tSd_ > 1e-9 ? cross / (n * sd * tSd_) : -1.0;
    }
    return true;
  }

 private:
  const Patch& t_;
  Spans spans_;
  bool photometric_;
  std::vector<float> gx_, gy_, sample_;
  double hxx_ = 0, hxy_ = 0, hyy_ = 0;
  double tMean_ = 0, tSd_ = 0;
};

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

Best SearchBest(const Patch& image, const Patch& tmpl, const std::vector<std::uint8_t>* mask,
                Method method, int x0, int y0, int x1, int y1) {
  std::vector<std::uint8_t> full;
  if (!mask) full.assign(static_cast<std::size_t>(tmpl.width) * tmpl.height, 1);
  const std::vector<std::uint8_t>& m0 = mask ? *mask : full;
  x1 = std::min(x1, image.width - tmpl.width);
  y1 = std::min(y1, image.height - tmpl.height);
  x0 = std::max(x0, 0);
  y0 = std::max(y0, 0);
  if (x0 > x1 || y0 > y1) return {x0, y0, -1e300};

  // Levels: coarser only while the template keeps its structure and the search is still wide.
  int levels = 0;
  while (levels < kMaxLevels &&
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
  const auto best =
      std::max_element(candidates.begin(), candidates.end(),
                       [](const auto& a, const auto& b) { return a.score < b.score; });
  if (best == candidates.end()) return {x0, y0, -1e300};
  return {best->x, best->y, best->score};
}

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
  const float predictedX = r.x + (r.hasVelocity ? r.vx : 0.0f);
  const float predictedY = r.y + (r.hasVelocity ? r.vy : 0.0f);
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
  // The search area with a margin for the sub-pixel alignment.
  constexpr int kMargin = 3;
  const int ax = std::max(0, cx0 - kMargin), ay = std::max(0, cy0 - kMargin);
  const int bx = std::min(next.width, cx1 + g.width + kMargin);
  const int by = std::min(next.height, cy1 + g.height + kMargin);
  const Patch area = Extract(next, ax, ay, bx - ax, by - ay, r.method);

  const Best best =
      SearchBest(area, state.current, &mask, r.method, cx0 - ax, cy0 - ay, cx1 - ax, cy1 - ay);
  out.bestX = best.x + ax;
  out.bestY = best.y + ay;
  const bool cutLeft = out.bestX == cx0 && ex - rx < 0;
  const bool cutRight = out.bestX == cx1 && ex + rx > next.width - g.width;
  const bool cutTop = out.bestY == cy0 && ey - ry < 0;
  const bool cutBottom = out.bestY == cy1 && ey + ry > next.height - g.height;

  // Sub-pixel position; the whole-pixel one when the alignment fails.
  Aligner aligner(state.current, mask, r.method);
  double qx = best.x, qy = best.y;
  if (!aligner.Align(area, qx, qy, kMaxAlignShift)) qx = best.x, qy = best.y;
  double quality = 0;
  if (!aligner.Quality(area, qx, qy, quality))
    quality = r.method == Method::kSSD
                  ? std::sqrt(std::max(0.0, -best.score) /
                              (double(CountOf(SpansOf(mask, g.width, g.height))) * next.count))
                  : best.score;
  out.score = quality;
  double newX = qx + ax + state.pointX, newY = qy + ay + state.pointY;

  // An adapted template is checked against the run's first one, which does not drift.
  if (state.adapted) {
    Aligner anchor(state.anchor, mask, r.method);
    double ux = newX - state.anchorX - ax, uy = newY - state.anchorY - ay, anchorQuality = 0;
    if (anchor.Align(area, ux, uy, kMaxAnchorShift) &&
        anchor.Quality(area, ux, uy, anchorQuality) &&
        Passes(r.settings, r.method, anchorQuality)) {
      newX = ux + ax + state.anchorX;
      newY = uy + ay + state.anchorY;
    }
  }

  if ((cutLeft || cutRight || cutTop || cutBottom) ||
      !(newX >= 0 && newY >= 0 && newX <= next.width && newY <= next.height)) {
    out.message = kLeavesFrame;
    return out;
  }
  out.badMatch = !Passes(r.settings, r.method, quality);
  if (out.badMatch && r.settings.breakOnBadMatch) {
    out.message = kObjectLost;
    return out;
  }
  out.x = static_cast<float>(newX);
  out.y = static_cast<float>(newY);
  out.stored = true;
  if (r.settings.adaptTemplate && !out.badMatch) {
    Patch renewed;
    float relX, relY;
    if (TakeTemplate(next, out.x, out.y, g, r.method, mask, renewed, relX, relY, false) == 0) {
      state.current = std::move(renewed);
      state.pointX = relX;
      state.pointY = relY;
      state.adapted = true;
    }
  }
  return out;
}

}  // namespace match
