// The model frame under the mouse: hit test and movement of its handles, and the two measures
// the calibration view colours the points by.

#include <algorithm>
#include <cmath>

#include "calibration/calibrat.h"

namespace {

// Handles are hit within this many screen pixels.
constexpr double kHandleTolerance = 4.0;
constexpr int kInside = 20;

// The edges, by handle number from 8: the two corners each joins.
constexpr int kEdges[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                               {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};

// How a handle moves one corner along one axis: the corner moves only while it stays before
// (less) or after (greater) the named neighbour.
struct Guard {
  int corner;
  int neighbour;
  bool less;
};

// The corners a handle moves along x and along y (at most two each), with their guards.
struct HandleMove {
  Guard x[2];
  int xCount;
  Guard y[2];
  int yCount;
};

constexpr HandleMove kMoves[20] = {
    {{{0, 1, true}}, 1, {{0, 3, true}}, 1},
    {{{1, 0, false}}, 1, {{1, 2, true}}, 1},
    {{{2, 3, false}}, 1, {{2, 1, false}}, 1},
    {{{3, 2, true}}, 1, {{3, 0, false}}, 1},
    {{{4, 5, true}}, 1, {{4, 7, true}}, 1},
    {{{5, 4, false}}, 1, {{5, 6, true}}, 1},
    {{{6, 7, false}}, 1, {{6, 5, false}}, 1},
    {{{7, 6, true}}, 1, {{7, 4, false}}, 1},
    {{}, 0, {{0, 3, true}, {1, 2, true}}, 2},
    {{{1, 0, false}, {2, 3, false}}, 2, {}, 0},
    {{}, 0, {{3, 0, false}, {2, 1, false}}, 2},
    {{{3, 2, true}, {0, 1, true}}, 2, {}, 0},
    {{}, 0, {{4, 7, true}, {5, 6, true}}, 2},
    {{{5, 4, false}, {6, 7, false}}, 2, {}, 0},
    {{}, 0, {{7, 4, false}, {6, 5, false}}, 2},
    {{{7, 6, true}, {4, 5, true}}, 2, {}, 0},
    {{{0, 1, true}, {4, 5, true}}, 2, {{0, 3, true}, {4, 7, true}}, 2},
    {{{1, 0, false}, {5, 4, false}}, 2, {{1, 2, true}, {5, 6, true}}, 2},
    {{{2, 3, false}, {6, 7, false}}, 2, {{2, 1, false}, {6, 5, false}}, 2},
    {{{3, 2, true}, {7, 6, true}}, 2, {{3, 0, false}, {7, 4, false}}, 2},
};

// Moves the guarded corners of one axis by d when every guard holds, else none of them.
void MoveAxis(double* c, const Guard* guards, int count, double d) {
  for (int i = 0; i < count; ++i) {
    const double moved = c[guards[i].corner] + d;
    const double other = c[guards[i].neighbour];
    if (guards[i].less ? !(moved < other) : !(moved > other)) return;
  }
  for (int i = 0; i < count; ++i) c[guards[i].corner] += d;
}

double Distance(double x1, double y1, double x2, double y2) { return std::hypot(x2 - x1, y2 - y1); }

}  // namespace

int Projection::HitTestHandle(double x, double y, double zoom) const {
  const double tolerance = kHandleTolerance / zoom;
  const bool solid = minZ != maxZ;
  const int corners = solid ? 8 : 4;
  for (int k = 0; k < corners; ++k)
    if (Distance(frameX[k], frameY[k], x, y) <= tolerance) return k;
  const int edges = solid ? 12 : 4;
  for (int e = 0; e < edges; ++e) {
    const int a = kEdges[e][0], b = kEdges[e][1];
    if (DistanceToSegment(frameX[a], frameY[a], frameX[b], frameY[b], x, y) <= tolerance)
      return 8 + e;
  }
  double left = std::min(frameX[0], frameX[3]), right = std::max(frameX[1], frameX[2]);
  double top = std::min(frameY[0], frameY[1]), bottom = std::max(frameY[2], frameY[3]);
  if (solid) {
    left = std::min({left, frameX[4], frameX[7]});
    right = std::max({right, frameX[5], frameX[6]});
    top = std::min({top, frameY[4], frameY[5]});
    bottom = std::max({bottom, frameY[6], frameY[7]});
  }
  if (x > left && x < right && y > top && y < bottom) return kInside;
  return -1;
}

void Projection::MoveHandle(int handle, double dx, double dy) {
  if (handle == kInside) {
    for (int k = 0; k < 8; ++k) {
      frameX[k] += dx;
      frameY[k] += dy;
    }
    return;
  }
  if (handle < 0 || handle >= kInside) return;
  const HandleMove& m = kMoves[handle];
  MoveAxis(frameX, m.x, m.xCount, dx);
  MoveAxis(frameY, m.y, m.yCount, dy);
}

double Projection::DistanceToSegment(double x1, double y1, double x2, double y2, double px,
                                     double py) {
  const double toEnds = std::min(Distance(x1, y1, px, py), Distance(x2, y2, px, py));
  if (x1 == x2) {
    return py >= std::min(y1, y2) && py <= std::max(y1, y2) ? std::fabs(px - x1) : toEnds;
  }
  const double m = (y2 - y1) / (x2 - x1);
  if (m == 0) {
    return px >= std::min(x1, x2) && px <= std::max(x1, x2) ? std::fabs(py - y1) : toEnds;
  }
  const double b = y1 - m * x1;
  const double yFoot = (m * m * py + m * px + b) / (m * m + 1);
  const double xFoot = (yFoot - b) / m;
  if (xFoot > std::min(x1, x2) && xFoot < std::max(x1, x2))
    return std::fabs(m * px - py + b) / std::sqrt(m * m + 1);
  return toEnds;
}

double Projection::HalfPixelTolerance(const CalibrationPoints& points) const {
  double loX = 10000, hiX = -10000, loY = 10000, hiY = -10000;
  for (int i = 0; i < points.count; ++i) {
    if (points.used[i] == 0) continue;
    if (points.imageX[i] < loX) loX = points.imageX[i];
    if (points.imageX[i] > hiX) hiX = points.imageX[i];
    if (points.imageY[i] < loY) loY = points.imageY[i];
    if (points.imageY[i] > hiY) hiY = points.imageY[i];
  }
  if (hiX == loX) hiX = loX + 1;
  if (hiY == loY) hiY = loY + 1;
  const double ratioX = (maxX - minX) / (2 * (hiX - loX));
  const double ratioY = (maxY - minY) / (2 * (hiY - loY));
  return ratioY <= ratioX ? ratioY : ratioX;
}

double Projection::ObjectSpaceError(int i, const CalibrationPoints& points,
                                    const CameraParameters& camera,
                                    const CalibrationResult& result) {
  double xc, yc, zc;
  WorldToCameraCoord(points.worldX[i], points.worldY[i], points.worldZ[i], result, xc, yc, zc);
  const double xd = camera.dpx * (points.imageX[i] - camera.Cx) / camera.sx;
  const double yd = camera.dpy * (points.imageY[i] - camera.Cy);
  const double k = 1 + result.kappa1 * (xd * xd + yd * yd);
  const double xu = xd * k, yu = yd * k;
  const double f = result.f;
  const double t = (xc * xu + yc * yu + zc * f) / (f * f + yu * yu + xu * xu);
  return std::sqrt((zc - f * t) * (zc - f * t) + (yc - yu * t) * (yc - yu * t) +
                   (xc - xu * t) * (xc - xu * t));
}
