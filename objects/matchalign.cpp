#include "objects/matchalign.h"

#include <algorithm>
#include <cmath>

namespace match {
namespace {

constexpr int kIterations = 15;
constexpr double kConverged = 1e-3;   // pixels of the point
constexpr double kConvergedM = 1e-5;  // of the turn and scale
// A warp beyond these sizes has lost the object.
constexpr double kMinScale = 0.5, kMaxScale = 2.0;
constexpr double kSingular = 1e-9;
// The share of the gradients' weight a scale or turn must show beyond a shift to be estimated: a
// texture shows about half of it, a plain round marker at most a twentieth of its turn.
constexpr double kShown = 0.15;

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

// Solves the n x n system a x = b by Gaussian elimination with pivoting; false when singular.
bool Solve(double a[4][4], double b[4], int n) {
  double scale = 0;
  for (int i = 0; i < n; ++i) scale = std::max(scale, std::fabs(a[i][i]));
  for (int c = 0; c < n; ++c) {
    int p = c;
    for (int r = c + 1; r < n; ++r)
      if (std::fabs(a[r][c]) > std::fabs(a[p][c])) p = r;
    if (std::fabs(a[p][c]) <= kSingular * (scale + 1e-300)) return false;
    std::swap(a[p], a[c]);
    std::swap(b[p], b[c]);
    for (int r = c + 1; r < n; ++r) {
      const double f = a[r][c] / a[c][c];
      for (int k = c; k < n; ++k) a[r][k] -= f * a[c][k];
      b[r] -= f * b[c];
    }
  }
  for (int c = n - 1; c >= 0; --c) {
    for (int k = c + 1; k < n; ++k) b[c] -= a[c][k] * b[k];
    b[c] /= a[c][c];
  }
  return true;
}

}  // namespace

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

int CountOf(const Spans& spans) {
  int n = 0;
  for (auto [a, b] : spans) n += b - a;
  return n;
}

std::pair<double, double> Moments(const std::vector<float>& v, const Spans& spans, int tw, int th,
                                  int planes) {
  double sum = 0, squares = 0;
  int n = 0;
  for (int k = 0; k < planes; ++k)
    for (int y = 0; y < th; ++y) {
      const float* row = v.data() + static_cast<std::size_t>(k) * tw * th + y * tw;
      float rs = 0, rq = 0;
      for (int x = spans[y].first; x < spans[y].second; ++x) {
        rs += row[x];
        rq += row[x] * row[x];
      }
      sum += rs;
      squares += rq;
      n += spans[y].second - spans[y].first;
    }
  if (!n) return {0, 0};
  const double mean = sum / n;
  return {mean, std::sqrt(std::max(0.0, squares / n - mean * mean))};
}

Aligner::Aligner(const Patch& t, const Spans& spans, float pointX, float pointY, bool similarity)
    : t_(t), spans_(spans), px_(pointX), py_(pointY), params_(similarity ? 4 : 2) {
  std::vector<float> gx, gy;
  Gradients(t, gx, gy);
  const int w = t.width, h = t.height;
  for (int p = 0; p < params_; ++p) sd_[p].assign(t.pixels.size(), 0.0f);
  for (int k = 0; k < t.planes; ++k)
    for (int y = 0; y < h; ++y) {
      const std::size_t row = static_cast<std::size_t>(k) * w * h + y * w;
      for (int x = spans_[y].first; x < spans_[y].second; ++x) {
        const std::size_t i = row + x;
        const float ux = x - px_, uy = y - py_;
        sd_[0][i] = gx[i];
        sd_[1][i] = gy[i];
        if (similarity) {
          sd_[2][i] = gx[i] * ux + gy[i] * uy;
          sd_[3][i] = gy[i] * ux - gx[i] * uy;
        }
      }
      for (int a = 0; a < params_; ++a)
        for (int b = a; b < params_; ++b) {
          const float* pa = sd_[a].data() + row;
          const float* pb = sd_[b].data() + row;
          float sum = 0;
          for (int x = spans_[y].first; x < spans_[y].second; ++x) sum += pa[x] * pb[x];
          h_[a][b] += sum;
        }
    }
  for (int a = 0; a < params_; ++a)
    for (int b = 0; b < a; ++b) h_[a][b] = h_[b][a];
  if (similarity) ChooseParameters();
  const auto [mean, sd] = Moments(t.pixels, spans_, w, h, t.planes);
  tMean_ = mean;
  tSd_ = sd;
}

void Aligner::ChooseParameters() {
  // What the template tells of the scale or the turn beyond a shift: the part of its steepest-
  // descent image that the two shifts do not explain (a Schur complement of the normal matrix),
  // against the gradients' whole weight at their distances from the point. A texture keeps a
  // good part of it; a round marker none of the turn.
  const double det = h_[0][0] * h_[1][1] - h_[0][1] * h_[1][0];
  const double whole = h_[2][2] + h_[3][3];
  for (int p = 2; p < 4; ++p) {
    double unexplained = 0;
    if (det > kSingular * (h_[0][0] + h_[1][1]) * (h_[0][0] + h_[1][1])) {
      // h_pp - h_p,s h_ss^-1 h_s,p with s the two shifts.
      const double a = h_[p][0], b = h_[p][1];
      unexplained =
          h_[p][p] - (a * (h_[1][1] * a - h_[0][1] * b) + b * (h_[0][0] * b - h_[1][0] * a)) / det;
    }
    used_[p] = whole > 0 && unexplained > kShown * whole;
  }
}

bool Aligner::Sample(const Patch& img, const Warp& w) {
  const int tw = t_.width, th = t_.height;
  sample_.resize(static_cast<std::size_t>(tw) * th * img.planes);
  if (w.m == std::complex<double>(1, 0)) {
    // Moving only: one set of bilinear weights for the whole template.
    const double qx = w.x - px_, qy = w.y - py_;
    const int ix = static_cast<int>(std::floor(qx)), iy = static_cast<int>(std::floor(qy));
    const float fx = static_cast<float>(qx - ix), fy = static_cast<float>(qy - iy);
    // A whole-pixel position needs no neighbour beyond it: a match on the frame's edge samples.
    const int dx = fx > 0 ? 1 : 0, dy = fy > 0 ? 1 : 0;
    if (ix < 0 || iy < 0 || ix + tw + dx > img.width || iy + th + dy > img.height) return false;
    const float w00 = (1 - fx) * (1 - fy), w10 = fx * (1 - fy), w01 = (1 - fx) * fy, w11 = fx * fy;
    for (int k = 0; k < img.planes; ++k) {
      const float* s = img.Plane(k);
      float* o = sample_.data() + static_cast<std::size_t>(k) * tw * th;
      for (int y = 0; y < th; ++y) {
        const float* r0 = s + (iy + y) * img.width + ix;
        const float* r1 = r0 + dy * img.width;
        for (int x = spans_[y].first; x < spans_[y].second; ++x)
          o[y * tw + x] = w00 * r0[x] + w10 * r0[x + dx] + w01 * r1[x] + w11 * r1[x + dx];
      }
    }
    return true;
  }
  // Turned or scaled: along a row the sampled point moves by m per pixel, so the row's ends
  // bound it, and the position is carried along instead of computed anew.
  const double mr = w.m.real(), mi = w.m.imag();
  const std::size_t plane = static_cast<std::size_t>(tw) * th;
  for (int y = 0; y < th; ++y) {
    const int x0 = spans_[y].first, x1 = spans_[y].second;
    if (x0 >= x1) continue;
    const double uy = y - py_, ux = x0 - px_;
    const double X0 = w.x + mr * ux - mi * uy, Y0 = w.y + mi * ux + mr * uy;
    const double X1 = X0 + mr * (x1 - 1 - x0), Y1 = Y0 + mi * (x1 - 1 - x0);
    if (std::min(X0, X1) < 0 || std::min(Y0, Y1) < 0 || std::max(X0, X1) >= img.width - 1 ||
        std::max(Y0, Y1) >= img.height - 1)
      return false;
    for (int k = 0; k < img.planes; ++k) {
      const float* src = img.Plane(k);
      float* o = sample_.data() + k * plane + static_cast<std::size_t>(y) * tw;
      float X = static_cast<float>(X0), Y = static_cast<float>(Y0);
      const float dX = static_cast<float>(mr), dY = static_cast<float>(mi);
      for (int x = x0; x < x1; ++x, X += dX, Y += dY) {
        const int ix = static_cast<int>(X), iy = static_cast<int>(Y);
        const float fx = X - ix, fy = Y - iy;
        const float* r0 = src + static_cast<std::size_t>(iy) * img.width + ix;
        const float* r1 = r0 + img.width;
        o[x] = (1 - fy) * (r0[0] + fx * (r0[1] - r0[0])) + fy * (r1[0] + fx * (r1[1] - r1[0]));
      }
    }
  }
  return true;
}

bool Aligner::Align(const Patch& img, Warp& w, double limit) {
  const double startX = w.x, startY = w.y;
  const int tw = t_.width, th = t_.height;
  for (int it = 0; it < kIterations; ++it) {
    if (!Sample(img, w)) return false;
    const auto [mean, sd] = Moments(sample_, spans_, tw, th, t_.planes);
    if (sd <= kSingular) return false;
    const float gain = static_cast<float>(tSd_ / sd);
    const float offset = static_cast<float>(tMean_ - mean * gain);
    double b[4] = {};
    for (int k = 0; k < t_.planes; ++k)
      for (int y = 0; y < th; ++y) {
        const std::size_t row = static_cast<std::size_t>(k) * tw * th + y * tw;
        const float* s = sample_.data() + row;
        const float* t = t_.pixels.data() + row;
        const float *s0 = sd_[0].data() + row, *s1 = sd_[1].data() + row;
        const int x0 = spans_[y].first, x1 = spans_[y].second;
        float r0 = 0, r1 = 0, r2 = 0, r3 = 0;
        if (params_ == 2) {
          for (int x = x0; x < x1; ++x) {
            const float e = s[x] * gain + offset - t[x];
            r0 += s0[x] * e;
            r1 += s1[x] * e;
          }
        } else {
          const float *s2 = sd_[2].data() + row, *s3 = sd_[3].data() + row;
          for (int x = x0; x < x1; ++x) {
            const float e = s[x] * gain + offset - t[x];
            r0 += s0[x] * e;
            r1 += s1[x] * e;
            r2 += s2[x] * e;
            r3 += s3[x] * e;
          }
        }
        b[0] += r0;
        b[1] += r1;
        b[2] += r2;
        b[3] += r3;
      }
    // The system of the parameters estimated; the others stay at zero.
    int index[4], n = 0;
    for (int p = 0; p < params_; ++p)
      if (used_[p]) index[n++] = p;
    double a[4][4], x[4];
    for (int i = 0; i < n; ++i) {
      x[i] = b[index[i]];
      for (int j = 0; j < n; ++j) a[i][j] = h_[index[i]][index[j]];
    }
    if (!Solve(a, x, n)) return false;
    std::fill(b, b + 4, 0.0);
    for (int i = 0; i < n; ++i) b[index[i]] = x[i];
    // Compose with the inverse of the step: m / dm, and the point moved back by it.
    const std::complex<double> dm(1 + b[2], b[3]);
    if (n > 2) w.m /= dm;
    const std::complex<double> moved = w.m * std::complex<double>(b[0], b[1]);
    w.x -= moved.real();
    w.y -= moved.imag();
    const double scale = std::abs(w.m);
    if (std::hypot(w.x - startX, w.y - startY) > limit || scale < kMinScale || scale > kMaxScale)
      return false;
    if (std::abs(moved) < kConverged && std::abs(dm - 1.0) < kConvergedM) return true;
  }
  return std::hypot(w.x - startX, w.y - startY) <= limit;
}

bool Aligner::Measure(const Patch& img, const Warp& w, Fit& out) {
  const int tw = t_.width, th = t_.height;
  if (!Sample(img, w)) return false;
  const auto [mean, sd] = Moments(sample_, spans_, tw, th, t_.planes);
  double squares = 0, cross = 0;
  int n = 0;
  // Per cell: sums of the sample a and the template b, each less its mean, and their products,
  // for the cell's own fit.
  constexpr int kCells = Fit::kCells;
  struct Sums {
    double a = 0, b = 0, aa = 0, bb = 0, ab = 0;
    int n = 0;
  } cell[kCells * kCells];
  const float sampleMean = static_cast<float>(mean), templateMean = static_cast<float>(tMean_);
  for (int k = 0; k < t_.planes; ++k)
    for (int y = 0; y < th; ++y) {
      const std::size_t row = static_cast<std::size_t>(k) * tw * th + y * tw;
      const float* sa = sample_.data() + row;
      const float* sb = t_.pixels.data() + row;
      Sums* cells = cell + y * kCells / th * kCells;
      // The row's part in each column of cells: x * kCells / tw == column.
      for (int column = 0; column < kCells; ++column) {
        const int x0 = std::max(spans_[y].first, (column * tw + kCells - 1) / kCells);
        const int x1 = std::min(spans_[y].second, ((column + 1) * tw + kCells - 1) / kCells);
        float ra = 0, rb = 0, raa = 0, rbb = 0, rab = 0, rd = 0;
        for (int x = x0; x < x1; ++x) {
          const float a = sa[x] - sampleMean, b = sb[x] - templateMean, d = sa[x] - sb[x];
          ra += a, rb += b, raa += a * a, rbb += b * b, rab += a * b, rd += d * d;
        }
        Sums& c = cells[column];
        c.a += ra, c.b += rb, c.aa += raa, c.bb += rbb, c.ab += rab;
        c.n += std::max(0, x1 - x0);
        squares += rd;
        cross += rab;
      }
      n += spans_[y].second - spans_[y].first;
    }
  if (!n) return false;
  // What of the template's cell the frame's cell does not give, brightness and contrast fitted
  // on the cell alone: something in the way shows where it is, not spread by the whole's fit.
  const double variance = std::max(tSd_ * tSd_, kSingular);
  for (int c = 0; c < kCells * kCells; ++c) {
    const Sums& s = cell[c];
    if (!s.n) {
      out.cells[c] = 0;
      continue;
    }
    const double saa = s.aa - s.a * s.a / s.n, sbb = s.bb - s.b * s.b / s.n,
                 sab = s.ab - s.a * s.b / s.n;
    const double residual = saa > kSingular ? sbb - sab * sab / saa : sbb;
    out.cells[c] = std::max(0.0, residual) / s.n / (2 * variance);
  }
  out.rms = std::sqrt(squares / n);
  out.zncc = sd > kSingular && tSd_ > kSingular ? cross / (n * sd * tSd_) : -1.0;
  out.fittedRms = tSd_ * std::sqrt(std::max(0.0, 2 * (1 - out.zncc)));
  return true;
}

}  // namespace match
