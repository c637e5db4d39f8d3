// Placing on the window as OpenGL does, with the errors its floats may add: points, polygons
// and the bound on their triangles' setup, boxes and spheres, and the allowance of a polygon
// drawn in a box by its shape (render/occlusion_margins.h, items 1 to 4 and 7).
#include <algorithm>
#include <cmath>
#include <limits>

#include "render/occlusion.h"

namespace {

// The length of a vector whose entries are far from overflowing a double.
double Length(double x, double y, double z) { return std::sqrt(x * x + y * y + z * z); }

// The most depth llvmpipe's setup may lose at a pixel of the triangle a, b, c (window x, y,
// depth), its vertices lying off by up to slack and depthSlack (item 2 of occlusion_margins.h).
// llvmpipe takes the plane's slopes as (dz01 dy20 - dz20 dy01) / area and the like, from float
// differences, products and the area's inverse, each within a unit: the products' rounding is
// up to 5 units of |dz01 dy20| + |dz20 dy01| over the area, at most 2 dz R / DX per pixel, over
// DX pixels; the area's, 2 + 3 R units of the whole depth range dz (the plane turns about a
// vertex); the plane's value at the window's origin and its evaluation at a pixel, 7 units of
// |z| + G (|x0| + |y0|) and of G (|x| + |y|), G the slopes drawn: the triangle's, turned by
// its vertices' errors (a plane through points off it by up to r turns by 4 r (DX + DY) over
// the area) and by the rounding. Doubled. The vertices' errors can shrink the area by
// 4 slack (DX + DY) + 8 slack^2: a triangle that could lose it all has no bound.
double Setup(const double* a, const double* b, const double* c, double slack, double depthSlack) {
  double lo[3], hi[3], most = 0, magnitude = 0;
  for (int k = 0; k < 3; ++k) {
    lo[k] = std::min({a[k], b[k], c[k]});
    hi[k] = std::max({a[k], b[k], c[k]});
  }
  for (const double* p : {a, b, c}) {
    most = std::max(most, std::fabs(p[2]));
    magnitude = std::max(magnitude, std::fabs(p[0]) + std::fabs(p[1]));
  }
  const double dx = hi[0] - lo[0], dy = hi[1] - lo[1];
  const double e[2] = {b[0] - a[0], b[1] - a[1]}, f[2] = {c[0] - a[0], c[1] - a[1]};
  const double signedArea = e[0] * f[1] - f[0] * e[1], area = std::fabs(signedArea);
  const double low = area - 4 * slack * (dx + dy) - 8 * slack * slack;
  if (!(low > 0)) return std::numeric_limits<double>::infinity();
  const double wide = dx + 2 * slack, tall = dy + 2 * slack;
  const double ratio = 2 * wide * tall / low;
  const double depths = hi[2] - lo[2] + 2 * depthSlack;
  const double dzb = b[2] - a[2], dzc = c[2] - a[2];
  const double slopes =
      (std::fabs(dzb * f[1] - dzc * e[1]) + std::fabs(dzc * e[0] - dzb * f[0])) / area;
  const double products = 2 * depths * (wide + tall) / low;
  const double gradient = slopes + 4 * (depthSlack + 1.5 * slopes * slack) * (wide + tall) / low +
                          10 * kUnit * products;
  return 2 * kUnit *
             ((2 + 13 * ratio) * depths + 7 * (most + depthSlack) +
              14 * gradient * (magnitude + 2 * slack)) +
         gradient * kSnap;
}

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Where a box's eight corners fall on the window (OcclusionTiles::Box): the smallest and
// largest w, the least distances (times w) beyond the near plane and before the far one, each
// coordinate over w (its largest magnitude, least and most), the window coordinates' least and
// most, and the largest |x| + |y| on the window.
struct BoxCorners {
  double lowW = kInfinity, highW = 0, fromNear = kInfinity, toFar = kInfinity, ndc[3] = {0, 0, 0};
  double ndcLow[3] = {kInfinity, kInfinity, kInfinity};
  double ndcHigh[3] = {-kInfinity, -kInfinity, -kInfinity};
  double low[3] = {kInfinity, kInfinity, kInfinity}, high[3] = {-kInfinity, -kInfinity, -kInfinity};
  double magnitude = 0;
};

// Places the corners of the box lo to hi under the matrix m on the window of the given scale
// and origin (x, y, depth) into c; false when one lies at or behind the eye (w not positive).
bool PlaceBoxCorners(const double* m, const double lo[3], const double hi[3], const double scale[3],
                     const double origin[3], BoxCorners& c) {
  for (int i = 0; i < 8; ++i) {
    double p[3], clip[4];
    for (int a = 0; a < 3; ++a) p[a] = i >> a & 1 ? hi[a] : lo[a];
    for (int r = 0; r < 4; ++r)
      clip[r] = m[r] * p[0] + m[r + 4] * p[1] + m[r + 8] * p[2] + m[r + 12];
    const double w = clip[3];
    if (!(w > 0)) return false;
    c.lowW = std::min(c.lowW, w);
    c.highW = std::max(c.highW, w);
    c.fromNear = std::min(c.fromNear, clip[2] + w);
    c.toFar = std::min(c.toFar, w - clip[2]);
    double at[3];
    for (int a = 0; a < 3; ++a) {
      const double d = clip[a] / w;
      c.ndc[a] = std::max(c.ndc[a], std::fabs(d));
      c.ndcLow[a] = std::min(c.ndcLow[a], d);
      c.ndcHigh[a] = std::max(c.ndcHigh[a], d);
      at[a] = origin[a] + (d + 1) * scale[a];
      c.low[a] = std::min(c.low[a], at[a]);
      c.high[a] = std::max(c.high[a], at[a]);
    }
    c.magnitude = std::max(c.magnitude, std::fabs(at[0]) + std::fabs(at[1]));
  }
  return true;
}

}  // namespace

PolygonShape ShapeOf(const double* const* corners, int count) {
  PolygonShape shape;
  if (count < 3) return shape;
  double normal[3] = {0, 0, 0}, mean[3] = {0, 0, 0}, size = 0;
  for (int v = 0; v < count; ++v) {
    const double* p = corners[v];
    const double* q = corners[(v + 1) % count];
    normal[0] += (p[1] - q[1]) * (p[2] + q[2]);
    normal[1] += (p[2] - q[2]) * (p[0] + q[0]);
    normal[2] += (p[0] - q[0]) * (p[1] + q[1]);
    for (int a = 0; a < 3; ++a) {
      mean[a] += p[a] / count;
      size = std::max(size, std::fabs(p[a] - q[a]));
    }
  }
  const double length = std::hypot(normal[0], normal[1], normal[2]);
  if (!(length > kDegenerateNormal * size * size) || !std::isfinite(length)) return shape;
  double n[3];
  for (int a = 0; a < 3; ++a) n[a] = normal[a] / length;
  const double d = -(n[0] * mean[0] + n[1] * mean[1] + n[2] * mean[2]);
  double residual = 0;
  for (int v = 0; v < count; ++v) {
    const double* p = corners[v];
    residual = std::max(residual, std::fabs(n[0] * p[0] + n[1] * p[1] + n[2] * p[2] + d));
  }
  if (!(residual <= kFlatResidual * size)) return shape;  // not flat
  // Its triangles as OpenGL draws them: (v(i+1), v(i+2), v0).
  double thickness = std::numeric_limits<double>::infinity(), shortest = thickness;
  double lowest = thickness;
  for (int i = 1; i + 1 < count; ++i) {
    const double* t[3] = {corners[0], corners[i], corners[i + 1]};
    double e[3][3], longest = 0;
    for (int k = 0; k < 3; ++k)
      for (int a = 0; a < 3; ++a) e[k][a] = t[(k + 1) % 3][a] - t[k][a];
    for (const auto& edge : e) longest = std::max(longest, std::hypot(edge[0], edge[1], edge[2]));
    const double area =
        std::hypot(e[0][1] * e[1][2] - e[0][2] * e[1][1], e[0][2] * e[1][0] - e[0][0] * e[1][2],
                   e[0][0] * e[1][1] - e[0][1] * e[1][0]);
    if (!(area > 0)) return shape;
    thickness = std::min(thickness, area / (longest * longest));
    shortest = std::min(shortest, longest);
    lowest = std::min(lowest, area / longest);
  }
  double lo[3], hi[3];
  for (int a = 0; a < 3; ++a) {
    lo[a] = hi[a] = corners[0][a];
    for (int v = 1; v < count; ++v) {
      lo[a] = std::min(lo[a], corners[v][a]);
      hi[a] = std::max(hi[a], corners[v][a]);
    }
    shape.centre[a] = (lo[a] + hi[a]) / 2;
  }
  for (int v = 0; v < count; ++v)
    shape.radius = std::max(
        shape.radius, std::hypot(corners[v][0] - shape.centre[0], corners[v][1] - shape.centre[1],
                                 corners[v][2] - shape.centre[2]));
  std::copy(n, n + 3, shape.plane);
  shape.plane[3] = d;
  shape.thickness = thickness;
  shape.shortest = shortest;
  shape.turn = 2 * residual / lowest;
  return shape;
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
    off[a] = scale[a] * (error[a] + std::fabs(ndc) * error[3]) * 2 * inverse +
             kRounding * (std::fabs(point.at[a]) + std::fabs(origin[a]) + scale[a]);
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

// Each triangle OpenGL draws of the polygon, (v(i+1), v(i+2), v0), bounded by Setup; one that
// reaches beyond the window is clipped, and the triangles drawn of the piece bounded instead
// (ClipToWindow). A clipped corner is worked out in clip coordinates: its errors grow by
// rounding of the order of its coordinates.
double OcclusionTiles::SetupOfPolygon(int count, double slack, double depthSlack) {
  double worst = 0;
  for (int i = 1; i + 1 < count && worst < kFar; ++i) {
    const double* t[3] = {&window_[3 * i], &window_[3 * (i + 1)], &window_[0]};
    double magnitude = 0;
    for (const double* p : t)
      magnitude = std::max(magnitude, std::fabs(p[0]) + std::fabs(p[1]) + std::fabs(p[2]));
    const double rounding = kClipRounding * magnitude;
    const int clipped = ClipToWindow(t, slack + rounding);
    if (clipped < 0) return kFar;
    if (clipped == 0) {
      worst = std::max(worst, Setup(t[0], t[1], t[2], slack, depthSlack));
      continue;
    }
    const int n = static_cast<int>(piece_.size() / 3);
    for (int k = 2; k < n; ++k)
      worst = std::max(worst, Setup(&piece_[3 * (k - 1)], &piece_[3 * k], &piece_[0],
                                    slack + rounding, depthSlack + rounding));
  }
  return worst;
}

// Mesa clips the triangle against the window's right, left, top and bottom edges in turn,
// those a corner lies beyond; each pass goes round from the first corner, keeping a corner
// inside or on the edge and adding where a side crosses it; the piece is drawn as the
// triangles (p(k-1), p(k), p0). Returns 1 with the piece in piece_, 0 when nothing is clipped,
// -1 when a corner lies within error of an edge (which way OpenGL's floats take it is not
// known).
int OcclusionTiles::ClipToWindow(const double* const t[3], double error) {
  // Edge e keeps the points where sign * (coordinate - bound) >= 0.
  const double bound[4] = {x0_ + width_, x0_, y0_ + height_, y0_};
  const double sign[4] = {-1, 1, -1, 1};
  const int axis[4] = {0, 0, 1, 1};
  unsigned beyond = 0;
  for (int e = 0; e < 4; ++e)
    for (int k = 0; k < 3; ++k) {
      const double inside = sign[e] * (t[k][axis[e]] - bound[e]);
      if (!(std::fabs(inside) > error)) return -1;
      if (inside < 0) beyond |= 1u << e;
    }
  if (beyond == 0) return 0;
  piece_.clear();
  for (int k = 0; k < 3; ++k) piece_.insert(piece_.end(), t[k], t[k] + 3);
  for (int e = 0; e < 4; ++e) {
    if (!(beyond >> e & 1)) continue;
    const std::size_t n = piece_.size() / 3;
    cut_.clear();
    for (std::size_t i = 0; i < n; ++i) {
      const double* p = &piece_[3 * i];
      const double* q = &piece_[3 * ((i + 1) % n)];
      const double dp = sign[e] * (p[axis[e]] - bound[e]), dq = sign[e] * (q[axis[e]] - bound[e]);
      if (dp >= 0) cut_.insert(cut_.end(), p, p + 3);
      if ((dp >= 0) != (dq >= 0)) {
        const double s = dp / (dp - dq);
        for (int k = 0; k < 3; ++k) cut_.push_back(p[k] + s * (q[k] - p[k]));
      }
    }
    piece_.swap(cut_);
  }
  return 1;
}

// A polygon's pixels are given depths by the triangles OpenGL cuts it into, each between its
// vertices' depths. Its plane through the vertices (fitted by the sum of its edges' cross
// products) bounds its slope, and, within the largest distance of a vertex from it, the depth
// at any pixel, whichever triangles OpenGL makes.
WindowPolygon OcclusionTiles::Placement(const WindowPoint* const* points, int count,
                                        Laying& laying) {
  WindowPolygon polygon;
  Placed& placed = laying.placed;
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
  // Its pixels' depths lie between its triangles' corners' (OpenGL's), less what their setup
  // rounds. Below its plane as well only for a polygon of half a pixel's area or more whose
  // slopes are trusted: a smaller or steeper one is tested by its nearest depth alone, and
  // hides nothing.
  const double setup = SetupOfPolygon(count, slack, depthSlack);
  if (!(setup < kFar)) return polygon;
  for (int k = 0; k < 2; ++k) {
    polygon.lo[k] = lo[k] - slack - kEdgeMargin;
    polygon.hi[k] = hi[k] + slack + kEdgeMargin;
  }
  polygon.nearest = nearest - depthSlack - setup;
  polygon.testable = true;
  if (!(std::fabs(normal[2]) >= 1)) return polygon;
  const double a = -normal[0] / normal[2], b = -normal[1] / normal[2];
  if (!(std::fabs(a) <= kSteepest && std::fabs(b) <= kSteepest)) return polygon;
  // OpenGL's vertices may lie off ours by slack on the window, which moves its plane at a
  // pixel by the slopes times slack.
  depthSlack += setup + (std::fabs(a) + std::fabs(b)) * slack;
  double residual = 0;
  for (int i = 0; i < count; ++i) {
    const double* p = &window_[3 * i];
    const double plane = centre[2] + a * (p[0] - centre[0]) + b * (p[1] - centre[1]);
    residual = std::max(residual, std::fabs(p[2] - plane));
  }
  polygon.nearest = nearest - depthSlack;
  polygon.slope[0] = a;
  polygon.slope[1] = b;
  polygon.base = centre[2] - a * centre[0] - b * centre[1] - depthSlack - residual;
  laying.facing = normal[2];
  laying.slope[0] = a;
  laying.slope[1] = b;
  laying.below = depthSlack + residual;
  laying.sloped = true;
  return polygon;
}

WindowPolygon OcclusionTiles::PlacePolygon(const WindowPoint* const* points, int count) {
  Laying laying;
  return Placement(points, count, laying);
}

// Every point in the box falls within the window box of its corners, as the box lies wholly
// before the eye (w is positive at every corner, so everywhere in it), and OpenGL's error at
// any of them is within the largest error of the box's sizes over the smallest w. So is the
// depth (monotonic in w): nothing drawn in the box lies nearer than its nearest corner. A
// ratio of affine functions, each window coordinate over w takes its extremes at corners too,
// which bound how far the projection can stretch a length or a depth (WindowBox).
WindowBox OcclusionTiles::Box(const ViewVolume& view, const double lo[3],
                              const double hi[3]) const {
  WindowBox box;
  if (!usable) return box;
  const double* m = view.Matrix();
  // The errors of OpenGL's clip coordinates, and the part the drift of the matrix in force
  // makes (the same for every vertex, by the same matrix).
  double e[16], d[16];
  view.ErrorMatrix(kTransform, e);
  view.ErrorMatrix(0, d);
  double size[3], error[4], drift[4];
  for (int a = 0; a < 3; ++a) size[a] = std::max(std::fabs(lo[a]), std::fabs(hi[a]));
  for (int r = 0; r < 4; ++r) {
    error[r] = e[r] * size[0] + e[r + 4] * size[1] + e[r + 8] * size[2] + e[r + 12];
    drift[r] = d[r] * size[0] + d[r + 4] * size[1] + d[r + 8] * size[2] + d[r + 12];
  }
  const double scale[3] = {width_ / 2, height_ / 2, (depthFar_ - depthNear_) / 2};
  const double origin[3] = {x0_, y0_, depthNear_};
  BoxCorners corners;
  if (!PlaceBoxCorners(m, lo, hi, scale, origin, corners)) return box;
  const double lowW = corners.lowW, highW = corners.highW, fromNear = corners.fromNear,
               toFar = corners.toFar, magnitude = corners.magnitude;
  const double *ndc = corners.ndc, *ndcLow = corners.ndcLow, *ndcHigh = corners.ndcHigh;
  const double *low = corners.low, *high = corners.high;
  if (!(error[3] < lowW / 2) || !(fromNear > error[2] + error[3]) || !(toFar > error[2] + error[3]))
    return box;
  double off[3];
  for (int a = 0; a < 3; ++a)
    off[a] = scale[a] * (error[a] + ndc[a] * error[3]) * 2 / lowW +
             kRounding * (std::max(std::fabs(low[a]), std::fabs(high[a])) + std::fabs(origin[a]) +
                          scale[a]);
  box.slack = std::max(off[0], off[1]);
  box.depthSlack = off[2];
  // Without the drift, each vertex's own error; the drift moves two points p and q apart by at
  // most the drift's rows (over w, as for the stretch below) times |p - q|, and by the change
  // of their coordinates over w times w's relative drift.
  for (int a = 0; a < 2; ++a)
    off[a] = scale[a] * ((error[a] - drift[a]) + ndc[a] * (error[3] - drift[3])) * 2 / lowW +
             kRounding * (std::max(std::fabs(low[a]), std::fabs(high[a])) + std::fabs(origin[a]) +
                          scale[a]);
  box.ownSlack = std::max(off[0], off[1]);
  const auto drifting = [&d](int r) { return std::hypot(d[r], d[r + 4], d[r + 8]); };
  const double margin = box.slack + kEdgeMargin;
  WindowPolygon& polygon = box.polygon;
  for (int k = 0; k < 2; ++k) {
    polygon.lo[k] = low[k] - margin;
    polygon.hi[k] = high[k] + margin;
  }
  polygon.nearest = low[2] - off[2];
  polygon.testable = std::isfinite(polygon.lo[0] + polygon.lo[1] + polygon.hi[0] + polygon.hi[1] +
                                   polygon.nearest + box.slack);
  // Along a unit of the scene, the window coordinate a (its clip row r_a over w) changes by
  // |r_a - (r_a . p / w) r_w| / w, the rows' first three entries as vectors: at most at the
  // coordinate's extremes in the box (the length is convex in it).
  const auto along = [m](int a, double t) {
    return std::hypot(m[a] - t * m[3], m[a + 4] - t * m[7], m[a + 8] - t * m[11]);
  };
  box.stretch = std::hypot(scale[0] * std::max(along(0, ndcLow[0]), along(0, ndcHigh[0])),
                           scale[1] * std::max(along(1, ndcLow[1]), along(1, ndcHigh[1])));
  box.warp = (scale[0] * (drifting(0) + ndc[0] * drifting(3)) +
              scale[1] * (drifting(1) + ndc[1] * drifting(3))) /
                 lowW +
             box.stretch / lowW * drift[3] / lowW;
  box.lowW = lowW;
  box.highW = highW;
  box.ndcDepth[0] = ndcLow[2];
  box.ndcDepth[1] = ndcHigh[2];
  box.depths = high[2] - low[2] + 2 * off[2];
  box.depthMost = std::max(std::fabs(low[2]), std::fabs(high[2])) + off[2];
  box.magnitude = magnitude + 2 * box.slack;
  box.reach = std::max({size[0], size[1], size[2]});
  return box;
}

WindowBox OcclusionTiles::PlaceBox(const double lo[3], const double hi[3]) const {
  return Box(view_, lo, hi);
}

WindowBox OcclusionTiles::PlaceSphere(const ViewVolume& view, const double centre[3],
                                      double radius) const {
  if (!usable || !(radius >= 0)) return {};
  const double lo[3] = {centre[0] - radius, centre[1] - radius, centre[2] - radius};
  const double hi[3] = {centre[0] + radius, centre[1] + radius, centre[2] + radius};
  return Box(view, lo, hi);
}

// A triangle of the polygon, of area A and longest edge L in the scene, covers at least
// (W/2)(H/2) |plane . eye| A / w^3 on the window (its corners' clip x, y and w have the
// determinant 2A (plane . eye), its window area that over the product of their w, times the
// window's half sizes), less what its vertices' errors take; no edge of it is longer than
// stretch L / w, so its bounding box over its area is at most 2 (stretch' L + 2 slack)^2 over
// what is left of cover thickness L^2, which is largest for the shortest L (w over the
// polygon's sphere, within the box's). Its depth slope is its depth's gradient along its plane
// over the least scale of the projection in the plane, itself at least its area's over the
// largest; its vertices' errors may turn it further. A triangle's plane turns from the
// polygon's by up to turn, which moves plane . eye by turn times the eye's distance.
double OcclusionTiles::Allowance(const WindowBox& box, const ViewFrame& frame,
                                 const PolygonShape& shape) const {
  const double* n = shape.plane;
  const double* m = frame.matrix;
  if (!box.polygon.testable || !(shape.thickness > 0) || !(shape.shortest > 0)) return kFar;
  double facing = 0, doubt = 0;
  for (int k = 0; k < 4; ++k) {
    facing += n[k] * frame.eye[k];
    doubt += std::fabs(n[k]) * frame.eyeError[k];
  }
  doubt += shape.turn *
           (Length(frame.eye[0], frame.eye[1], frame.eye[2]) + std::fabs(frame.eye[3]) * box.reach);
  const double* c = shape.centre;
  const double w = m[3] * c[0] + m[7] * c[1] + m[11] * c[2] + m[15];
  const double spanW = shape.radius * Length(m[3], m[7], m[11]);
  const double lowW = std::max(box.lowW, w - spanW), highW = std::min(box.highW, w + spanW);
  if (!(lowW > 0 && lowW <= highW)) return kFar;
  const double stretch = box.stretch / lowW;
  // Nothing of it is clipped: its sphere, which lies in the box, stays inside the window (a
  // point of it lies within stretch times its distance from the centre of the centre's place).
  const double reachOut = stretch * shape.radius + box.slack + kEdgeMargin;
  const double at[2] = {
      x0_ + width_ / 2 * (1 + (m[0] * c[0] + m[4] * c[1] + m[8] * c[2] + m[12]) / w),
      y0_ + height_ / 2 * (1 + (m[1] * c[0] + m[5] * c[1] + m[9] * c[2] + m[13]) / w)};
  if (!(at[0] - reachOut >= x0_ && at[0] + reachOut <= x0_ + width_ && at[1] - reachOut >= y0_ &&
        at[1] + reachOut <= y0_ + height_))
    return kFar;
  const double perArea =
      width_ * height_ / 4 / (highW * highW * highW) * (std::fabs(facing) - doubt);
  // The drift turns and stretches the triangle as a whole, by up to warp over the least scale
  // of the projection in its plane, changing its area by twice that and its square; each
  // vertex's own error can take 4 slack (DX + DY) + 8 slack^2 more.
  const double bend = box.warp * stretch / perArea;
  if (!(perArea > 0) || !(bend <= 0.125)) return kFar;
  const double thick = perArea * shape.thickness * (1 - bend * (2 + bend));
  const double shortest = shape.shortest, slack = box.ownSlack;
  const double spread = (stretch + box.warp) * shortest + 2 * slack;
  const double shrink = 8 * slack * spread + 8 * slack * slack;
  const double left = thick * shortest * shortest - shrink;  // at least, of the shortest's area
  if (!(left > 0)) return kFar;
  // A longer triangle keeps more of its area: the ratio is at most the shortest's.
  const double ratio = 2 * spread * spread / left;
  // The depth's gradient (the depth row less depth / w times the w row, as for the stretch)
  // along the plane, at most at the box's extreme depths.
  const double depthScale = (depthFar_ - depthNear_) / 2 / lowW;
  double perUnit = 0;
  for (const double t : box.ndcDepth) {
    double g[3], across = 0;
    for (int k = 0; k < 3; ++k) {
      g[k] = depthScale * (m[2 + 4 * k] - t * m[3 + 4 * k]);
      across += g[k] * n[k];
    }
    perUnit =
        std::max(perUnit, Length(g[0] - across * n[0], g[1] - across * n[1], g[2] - across * n[2]));
  }
  const double depths = std::min(box.depths, 2 * shape.radius * perUnit) + 2 * box.depthSlack;
  const double slope = perUnit * stretch / perArea;
  const double gradient =
      std::sqrt(2) * slope + 8 * (box.depthSlack + box.slack * slope) * spread / left;
  const double allowance =
      2 * kUnit * ((2 + 13 * ratio) * depths + 7 * box.depthMost + 14 * gradient * box.magnitude) +
      gradient * kSnap;
  return std::isfinite(allowance) ? allowance : kFar;
}

ViewFrame OcclusionTiles::Frame(const ViewVolume& view) {
  ViewFrame frame;
  std::copy(view.Matrix(), view.Matrix() + 16, frame.matrix);
  view.Eye(kTransform, frame.eye, frame.eyeError);
  return frame;
}
