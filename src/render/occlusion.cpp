// The grid of tiles that tells which polygons lie hidden.
#include "render/occlusion.h"

#include <algorithm>
#include <cmath>

#include "platform/win32.h"

namespace {

// OpenGL's float vertex transform, relative to the sizes summed in the product: sixteen float
// units, far above the rounding of four products and a sum.
constexpr double kTransform = 1e-6;
// A polygon's depth interpolated across the window, relative to the largest value of its
// depth plane over the window (OpenGL may evaluate the plane from the window's origin), and
// the division and clipping that place its vertices.
constexpr double kInterpolation = 1e-6;
// Pixels a hider must cover beyond a tile on every side: vertices are snapped to a fraction of
// a pixel, and a pixel centre on an edge may go either way.
constexpr double kEdgeMargin = 1;
// The largest depth slope (depth range per pixel) trusted: a polygon seen nearly edge-on is
// never hidden and hides nothing.
constexpr double kSteepest = 1.0 / 64;

// A tile index worked out in double, held within -1..count so that it converts safely (a
// value that is not a number gives -1).
int Index(double value, int count) {
  if (!(value >= -1)) return -1;
  return static_cast<int>(std::min(value, static_cast<double>(count)));
}

}  // namespace

void OcclusionTiles::Begin(const ViewVolume& view) {
  usable = false;
  if (!view.usable || !viewCulling) return;
  GLint viewport[4] = {}, bits = 0, function = 0, modes[2] = {};
  GLboolean writes = GL_FALSE;
  GLdouble range[2] = {0, 1};
  glGetIntegerv(GL_VIEWPORT, viewport);
  glGetIntegerv(GL_DEPTH_BITS, &bits);
  glGetIntegerv(GL_DEPTH_FUNC, &function);
  glGetIntegerv(GL_POLYGON_MODE, modes);
  glGetBooleanv(GL_DEPTH_WRITEMASK, &writes);
  glGetDoublev(GL_DEPTH_RANGE, range);
  // Every pixel a hider covers must reach the depth buffer, and a nearer depth must win there.
  const bool decides = glIsEnabled(GL_DEPTH_TEST) && writes &&
                       (function == GL_LESS || function == GL_LEQUAL) && modes[0] == GL_FILL &&
                       modes[1] == GL_FILL && !glIsEnabled(GL_CULL_FACE) &&
                       !glIsEnabled(GL_ALPHA_TEST) && !glIsEnabled(GL_STENCIL_TEST) &&
                       !glIsEnabled(GL_SCISSOR_TEST) && !glIsEnabled(GL_POLYGON_STIPPLE);
  if (decides) Begin(view, viewport, range[0], range[1], bits);
}

void OcclusionTiles::Begin(const ViewVolume& view, const int viewport[4], double depthNear,
                           double depthFar, int depthBits) {
  usable = false;
  if (!view.usable || depthBits <= 0 || viewport[2] <= 0 || viewport[3] <= 0 ||
      !(depthNear >= 0 && depthNear < depthFar && depthFar <= 1))
    return;
  columns_ = (viewport[2] + kTile - 1) / kTile;
  rows_ = (viewport[3] + kTile - 1) / kTile;
  if (static_cast<long long>(columns_) * rows_ > (1 << 18)) return;
  view_ = view;
  view.ErrorMatrix(kTransform, error_);
  x0_ = viewport[0];
  y0_ = viewport[1];
  width_ = viewport[2];
  height_ = viewport[3];
  depthNear_ = depthNear;
  depthFar_ = depthFar;
  // Four steps of the depth buffer, and float rounding beyond 24 bits.
  apart_ = 4 * std::ldexp(1.0, -std::min(depthBits, 24)) + kInterpolation;
  farthest_.assign(static_cast<std::size_t>(columns_) * rows_, kFar);
  usable = true;
  Invert();
}

// Gauss-Jordan elimination with partial pivoting, in double; kept only when the product with
// the matrix gives the identity to 1e-12 of the sizes summed in it.
void OcclusionTiles::Invert() {
  inverted_ = false;
  const double* m = view_.Matrix();
  double a[4][8];
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) {
      a[r][c] = m[r + 4 * c];
      a[r][c + 4] = r == c;
    }
  for (int c = 0; c < 4; ++c) {
    int pivot = c;
    for (int r = c + 1; r < 4; ++r)
      if (std::fabs(a[r][c]) > std::fabs(a[pivot][c])) pivot = r;
    if (!(std::fabs(a[pivot][c]) > 0)) return;
    std::swap(a[c], a[pivot]);
    const double scale = 1 / a[c][c];
    for (double& x : a[c]) x *= scale;
    for (int r = 0; r < 4; ++r) {
      if (r == c) continue;
      const double factor = a[r][c];
      for (int k = 0; k < 8; ++k) a[r][k] -= factor * a[c][k];
    }
  }
  for (int r = 0; r < 4; ++r) {
    inverseRow_[r] = 0;
    for (int c = 0; c < 4; ++c) {
      inverse_[r + 4 * c] = a[r][c + 4];
      inverseRow_[r] = std::max(inverseRow_[r], std::fabs(a[r][c + 4]));
    }
  }
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) {
      double sum = 0, size = 0;
      for (int k = 0; k < 4; ++k) {
        sum += m[r + 4 * k] * inverse_[k + 4 * c];
        size += std::fabs(m[r + 4 * k] * inverse_[k + 4 * c]);
      }
      if (!(std::fabs(sum - (r == c)) <= 1e-12 * size)) return;
    }
  // Half the slope trusted: the plane's slopes are worked out from the inverse.
  const double range = depthFar_ - depthNear_;
  gentle_[0] = range / width_ / (kSteepest / 2);
  gentle_[1] = range / height_ / (kSteepest / 2);
  inverted_ = true;
}

// The plane in clip coordinates is l = plane times the inverse; on the window its depth has
// slopes -l0 / l2 and -l1 / l2 times the depth range over the width and the height.
bool OcclusionTiles::Gentle(const double plane[4]) const {
  if (!usable || !inverted_) return false;
  double l[3] = {0, 0, 0}, size = 0;
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 3; ++c) l[c] += plane[r] * inverse_[r + 4 * c];
    size += std::fabs(plane[r]) * inverseRow_[r];
  }
  const double error = 1e-9 * size;
  const double depth = std::fabs(l[2]) - error;
  return std::fabs(l[0]) * gentle_[0] + error <= depth &&
         std::fabs(l[1]) * gentle_[1] + error <= depth && depth > 0;
}

// The point is placed on the window as OpenGL does, in double, with the error OpenGL's floats
// may add. Not placed when it is not wholly between the near and far planes, far enough from
// them not to be clipped there.
WindowPoint OcclusionTiles::Place(const double p[3]) const {
  WindowPoint point;
  const double* m = view_.Matrix();
  const double* e = error_;
  const double v[3] = {std::fabs(p[0]), std::fabs(p[1]), std::fabs(p[2])};
  double clip[4], error[4];
  for (int r = 0; r < 4; ++r) {
    clip[r] = m[r] * p[0] + m[r + 4] * p[1] + m[r + 8] * p[2] + m[r + 12];
    error[r] = e[r] * v[0] + e[r + 4] * v[1] + e[r + 8] * v[2] + e[r + 12];
  }
  const double w = clip[3];
  if (!(error[3] < w / 2) || !(clip[2] + w > error[2] + error[3]) ||
      !(w - clip[2] > error[2] + error[3]))
    return point;
  // A window coordinate's error from its clip coordinate's and w's, for c / w: twice the
  // first-order bound, as w's error is under half of w.
  const double scale[3] = {width_ / 2, height_ / 2, (depthFar_ - depthNear_) / 2};
  const double origin[3] = {x0_, y0_, depthNear_};
  const double inverse = 1 / w;
  double off[3];
  for (int a = 0; a < 3; ++a) {
    const double ndc = clip[a] * inverse;
    point.at[a] = origin[a] + (ndc + 1) * scale[a];
    off[a] = scale[a] * (error[a] + std::fabs(ndc) * error[3]) * 2 * inverse;
  }
  point.slack = std::max(off[0], off[1]);
  point.depthSlack = off[2];
  point.placed = std::isfinite(point.at[0] + point.at[1] + point.at[2] + point.slack + off[2]);
  return point;
}

bool OcclusionTiles::Gather(const WindowPoint* const* points, int count, Placed& placed) {
  window_.resize(3 * static_cast<std::size_t>(count));
  placed = {};
  const double share = 1.0 / count;
  for (int i = 0; i < count; ++i) {
    const WindowPoint& point = *points[i];
    if (!point.placed) return false;
    for (int a = 0; a < 3; ++a) {
      window_[3 * i + a] = point.at[a];
      placed.centre[a] += point.at[a] * share;
    }
    for (int a = 0; a < 2; ++a) {
      placed.lo[a] = std::min(placed.lo[a], point.at[a]);
      placed.hi[a] = std::max(placed.hi[a], point.at[a]);
    }
    placed.nearest = std::min(placed.nearest, point.at[2]);
    placed.slack = std::max(placed.slack, point.slack);
    placed.depthSlack = std::max(placed.depthSlack, point.depthSlack);
  }
  return true;
}

// The interpolation's error for a depth plane of slopes a and b about a point at centre.
double OcclusionTiles::Interpolation(const double centre[3], double a, double b) const {
  return kInterpolation *
         (std::fabs(centre[2]) + std::fabs(a) * (std::fabs(centre[0]) + 2 * width_) +
          std::fabs(b) * (std::fabs(centre[1]) + 2 * height_));
}

// A polygon's pixels are given depths by the triangles OpenGL cuts it into, each between its
// vertices' depths. Its plane through the vertices (fitted by the sum of its edges' cross
// products) bounds its slope, and, within the largest distance of a vertex from it, the depth
// at any pixel, whichever triangles OpenGL makes.
WindowPolygon OcclusionTiles::Add(const WindowPoint* const* points, int count, bool hider) {
  WindowPolygon polygon;
  Placed placed;
  if (!usable || count < 3 || !Gather(points, count, placed)) return polygon;
  const double* centre = placed.centre;
  const double slack = placed.slack, nearest = placed.nearest;
  double depthSlack = placed.depthSlack;
  const double* lo = placed.lo;
  const double* hi = placed.hi;
  double normal[3] = {0, 0, 0};
  for (int i = 0; i < count; ++i) {
    const double* p = &window_[3 * i];
    const double* q = &window_[3 * ((i + 1) % count)];
    const double u[3] = {p[0] - centre[0], p[1] - centre[1], p[2] - centre[2]};
    const double v[3] = {q[0] - centre[0], q[1] - centre[1], q[2] - centre[2]};
    normal[0] += u[1] * v[2] - u[2] * v[1];
    normal[1] += u[2] * v[0] - u[0] * v[2];
    normal[2] += u[0] * v[1] - u[1] * v[0];
  }
  if (!(std::fabs(normal[2]) >= 1)) return polygon;  // under half a pixel of area
  const double a = -normal[0] / normal[2], b = -normal[1] / normal[2];
  if (!(std::fabs(a) <= kSteepest && std::fabs(b) <= kSteepest)) return polygon;
  // OpenGL's vertices may lie off ours by slack on the window, which moves its plane at a
  // pixel by the slopes times slack.
  depthSlack += Interpolation(centre, a, b) + (std::fabs(a) + std::fabs(b)) * slack;
  double residual = 0;
  for (int i = 0; i < count; ++i) {
    const double* p = &window_[3 * i];
    const double plane = centre[2] + a * (p[0] - centre[0]) + b * (p[1] - centre[1]);
    residual = std::max(residual, std::fabs(p[2] - plane));
  }
  for (int k = 0; k < 2; ++k) {
    polygon.lo[k] = lo[k] - slack - kEdgeMargin;
    polygon.hi[k] = hi[k] + slack + kEdgeMargin;
  }
  polygon.nearest = nearest - depthSlack;
  polygon.slope[0] = a;
  polygon.slope[1] = b;
  polygon.base = centre[2] - a * centre[0] - b * centre[1] - depthSlack - residual;
  polygon.testable = true;
  if (!hider) return polygon;

  // A hider must hold a whole tile with its margins, and be convex on the window, turning once
  // around: every pair of edges turns the same way as the whole, and the turns add up to one
  // full circle (which only a polygon of five vertices or more can miss).
  const double span = kTile - 1 + 2 * (slack + kEdgeMargin);
  if (hi[0] - lo[0] < span || hi[1] - lo[1] < span) return polygon;
  // One already hidden would lower no tile: its depth on a tile it covers is beyond its nearest.
  if (Hidden(polygon)) return polygon;
  const double orientation = normal[2] > 0 ? 1 : -1;
  double turned = 0;
  for (int i = 0; i < count; ++i) {
    const double* p = &window_[3 * i];
    const double* q = &window_[3 * ((i + 1) % count)];
    const double* r = &window_[3 * ((i + 2) % count)];
    const double e[2] = {q[0] - p[0], q[1] - p[1]}, f[2] = {r[0] - q[0], r[1] - q[1]};
    const double cross = e[0] * f[1] - e[1] * f[0];
    if (!(cross * orientation > 0)) return polygon;
    if (count > 4) turned += std::atan2(cross * orientation, e[0] * f[0] + e[1] * f[1]);
  }
  if (count > 4 && !(std::fabs(turned - 2 * 3.14159265358979323846) < 1e-3)) return polygon;
  plane_[0] = a;
  plane_[1] = b;
  plane_[2] = centre[2];
  planeAt_[0] = centre[0];
  planeAt_[1] = centre[1];
  Hide(count, orientation, slack + kEdgeMargin, depthSlack + residual, lo[1], hi[1]);
  return polygon;
}

// Each tile row the hider spans: every edge bounds the tiles' columns (a tile's four corner
// pixel centres must lie inside the edge by margin), and each tile covered takes the hider's
// plane at its farthest corner.
void OcclusionTiles::Hide(int count, double orientation, double margin, double depthSlack,
                          double lowY, double highY) {
  // Edge i holds the points where slope * x + rise * y + base >= 0: inside by margin. For a
  // tile row, an edge that is not level bounds the tiles' first pixel centres from the left
  // (slope > 0) or their last from the right, at x = along * y + at for the stricter of the
  // row's two lines of pixel centres (upper: the second); a level one keeps the row or not.
  edges_.resize(count);
  for (int i = 0; i < count; ++i) {
    const double* p = &window_[3 * i];
    const double* q = &window_[3 * ((i + 1) % count)];
    const double e[2] = {(q[0] - p[0]) * orientation, (q[1] - p[1]) * orientation};
    const double length = std::sqrt(e[0] * e[0] + e[1] * e[1]);
    const double slope = -e[1], rise = e[0], base = e[1] * p[0] - e[0] * p[1] - margin * length;
    Edge& edge = edges_[i];
    edge.side = slope > 0 ? 1 : slope < 0 ? -1 : 0;
    if (edge.side == 0) {
      edge.along = rise;
      edge.at = base;
      edge.upper = rise < 0;
    } else {
      edge.along = -rise / slope;
      edge.at = -base / slope;
      edge.upper = (edge.along > 0) == (edge.side > 0);
    }
  }
  const int firstRow = Index(std::ceil((lowY + margin - y0_ - 0.5) / kTile), rows_);
  const int lastRow = Index(std::floor((highY - margin - y0_ - kTile + 0.5) / kTile), rows_);
  for (int row = std::max(firstRow, 0); row <= std::min(lastRow, rows_ - 1); ++row) {
    const double y[2] = {y0_ + row * kTile + 0.5, y0_ + row * kTile + kTile - 0.5};
    double left = -kFar, right = kFar;  // bounds on the tile's first and last pixel centres
    bool empty = false;
    for (const Edge& edge : edges_) {
      const double bound = edge.along * y[edge.upper] + edge.at;
      if (edge.side > 0) {
        left = std::max(left, bound);
      } else if (edge.side < 0) {
        right = std::min(right, bound);
      } else if (bound < 0) {
        empty = true;
      }
    }
    if (empty) continue;
    const int firstColumn = Index(std::ceil((left - x0_ - 0.5) / kTile), columns_);
    const int lastColumn = Index(std::floor((right - x0_ - kTile + 0.5) / kTile), columns_);
    const double dy = (plane_[1] > 0 ? y[1] : y[0]) - planeAt_[1];
    const double firstX = x0_ + (plane_[0] > 0 ? kTile - 0.5 : 0.5) - planeAt_[0];
    double* tiles = &farthest_[static_cast<std::size_t>(row) * columns_];
    for (int column = std::max(firstColumn, 0); column <= std::min(lastColumn, columns_ - 1);
         ++column) {
      const double farthest =
          plane_[2] + plane_[0] * (firstX + column * kTile) + plane_[1] * dy + depthSlack;
      tiles[column] = std::min(tiles[column], farthest);
    }
  }
}

// Every point in the box falls within the window box of its corners, as the box lies wholly
// before the eye (w is positive at every corner, so everywhere in it), and OpenGL's error at
// any of them is within the largest error of the box's sizes over the smallest w. The
// polygons inside are not known here: their slopes are taken to be within kSteepest, for the
// depth their planes take between vertices that lie off, and their interpolation's error is
// bounded by the largest coordinates on the window.
WindowPolygon OcclusionTiles::Box(const ViewVolume& view, const double e[16], const double lo[3],
                                  const double hi[3]) const {
  WindowPolygon polygon;
  if (!usable) return polygon;
  const double* m = view.Matrix();
  double size[3], error[4];
  for (int a = 0; a < 3; ++a) size[a] = std::max(std::fabs(lo[a]), std::fabs(hi[a]));
  for (int r = 0; r < 4; ++r)
    error[r] = e[r] * size[0] + e[r + 4] * size[1] + e[r + 8] * size[2] + e[r + 12];
  const double scale[3] = {width_ / 2, height_ / 2, (depthFar_ - depthNear_) / 2};
  const double origin[3] = {x0_, y0_, depthNear_};
  // The smallest w, and distances (times w) beyond the near plane and before the far one.
  double lowW = kFar, fromNear = kFar, toFar = kFar, ndc[3] = {0, 0, 0};
  double low[3] = {kFar, kFar, kFar}, high[3] = {-kFar, -kFar, -kFar};
  for (int i = 0; i < 8; ++i) {
    double p[3], clip[4];
    for (int a = 0; a < 3; ++a) p[a] = i >> a & 1 ? hi[a] : lo[a];
    for (int r = 0; r < 4; ++r)
      clip[r] = m[r] * p[0] + m[r + 4] * p[1] + m[r + 8] * p[2] + m[r + 12];
    const double w = clip[3];
    if (!(w > 0)) return polygon;
    lowW = std::min(lowW, w);
    fromNear = std::min(fromNear, clip[2] + w);
    toFar = std::min(toFar, w - clip[2]);
    const double inverse = 1 / w;
    for (int a = 0; a < 3; ++a) {
      const double d = clip[a] * inverse;
      ndc[a] = std::max(ndc[a], std::fabs(d));
      const double at = origin[a] + (d + 1) * scale[a];
      low[a] = std::min(low[a], at);
      high[a] = std::max(high[a], at);
    }
  }
  if (!(error[3] < lowW / 2) || !(fromNear > error[2] + error[3]) || !(toFar > error[2] + error[3]))
    return polygon;
  double off[3], most[3];
  for (int a = 0; a < 3; ++a) {
    off[a] = scale[a] * (error[a] + ndc[a] * error[3]) * 2 / lowW;
    most[a] = std::max(std::fabs(low[a]), std::fabs(high[a]));
  }
  const double slack = std::max(off[0], off[1]) + kEdgeMargin;
  for (int k = 0; k < 2; ++k) {
    polygon.lo[k] = low[k] - slack;
    polygon.hi[k] = high[k] + slack;
  }
  polygon.nearest =
      low[2] - off[2] - 2 * kSteepest * std::max(off[0], off[1]) -
      kInterpolation * (most[2] + kSteepest * (most[0] + 2 * width_ + most[1] + 2 * height_));
  polygon.testable = std::isfinite(polygon.lo[0] + polygon.lo[1] + polygon.hi[0] + polygon.hi[1] +
                                   polygon.nearest);
  return polygon;
}

WindowPolygon OcclusionTiles::AddBox(const double lo[3], const double hi[3]) const {
  return Box(view_, error_, lo, hi);
}

WindowPolygon OcclusionTiles::AddSphere(const ViewVolume& view, const double centre[3],
                                        double radius) {
  if (!usable || !(radius >= 0)) return {};
  double e[16];
  view.ErrorMatrix(kTransform, e);
  const double lo[3] = {centre[0] - radius, centre[1] - radius, centre[2] - radius};
  const double hi[3] = {centre[0] + radius, centre[1] + radius, centre[2] + radius};
  return Box(view, e, lo, hi);
}

bool OcclusionTiles::Hidden(const WindowPolygon& polygon) const {
  if (!usable || !polygon.testable) return false;
  // The tiles holding the pixels whose centres lie in the polygon's box.
  const double first[2] = {std::floor((polygon.lo[0] - 0.5 - x0_) / kTile),
                           std::floor((polygon.lo[1] - 0.5 - y0_) / kTile)};
  const double last[2] = {std::floor((polygon.hi[0] - 0.5 - x0_) / kTile),
                          std::floor((polygon.hi[1] - 0.5 - y0_) / kTile)};
  if (last[0] < 0 || last[1] < 0 || first[0] >= columns_ || first[1] >= rows_)
    return true;  // no pixel on the window
  const int c0 = std::max(Index(first[0], columns_), 0);
  const int c1 = std::min(Index(last[0], columns_), columns_ - 1);
  const int r0 = std::max(Index(first[1], rows_), 0);
  const int r1 = std::min(Index(last[1], rows_), rows_ - 1);
  // On each tile, the polygon's depth is beyond its plane at the tile's pixel centre where the
  // plane is lowest, as well as beyond its nearest.
  const double* slope = polygon.slope;
  const double firstX = x0_ + (slope[0] > 0 ? 0.5 : kTile - 0.5);
  const double firstY = y0_ + (slope[1] > 0 ? 0.5 : kTile - 0.5);
  for (int row = r0; row <= r1; ++row) {
    const double* tile = &farthest_[static_cast<std::size_t>(row) * columns_];
    const double rowBase = polygon.base + slope[1] * (firstY + row * kTile);
    for (int column = c0; column <= c1; ++column) {
      const double low = std::max(polygon.nearest, rowBase + slope[0] * (firstX + column * kTile));
      if (!(tile[column] < low - apart_)) return false;
    }
  }
  return true;
}

bool OcclusionTiles::SameWindow(const OcclusionTiles& other) const {
  if (!usable || !other.usable) return usable == other.usable;
  return x0_ == other.x0_ && y0_ == other.y0_ && width_ == other.width_ &&
         height_ == other.height_ && depthNear_ == other.depthNear_ &&
         depthFar_ == other.depthFar_ && apart_ == other.apart_;
}
