// The grid of tiles that tells which polygons lie hidden: hiders laid on it, and the hidden
// query (render/occlusion_margins.h, items 3, 5 and 6).
#include "render/occlusion.h"

#include <algorithm>
#include <cmath>

#include "platform/win32.h"

namespace {

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
                       !glIsEnabled(GL_SCISSOR_TEST) && !glIsEnabled(GL_POLYGON_STIPPLE) &&
                       !glIsEnabled(GL_POLYGON_SMOOTH) && !glIsEnabled(GL_POLYGON_OFFSET_FILL) &&
                       !glIsEnabled(GL_BLEND);
  if (decides) Begin(view, viewport, range[0], range[1], bits);
}

void OcclusionTiles::Begin(const ViewVolume& view, const int viewport[4], double depthNear,
                           double depthFar, int depthBits) {
  usable = false;
  if (!view.usable || depthBits <= 0 || depthBits > 24 || viewport[2] <= 0 || viewport[3] <= 0 ||
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
  // Two steps keep two depths' order through the rounding to the buffer's bits (item 5).
  apart_ = kDepthSteps * std::ldexp(1.0, -depthBits);
  farthest_.assign(static_cast<std::size_t>(columns_) * rows_, kFar);
  usable = true;
}

// A polygon placed is laid when its plane's slopes are trusted (Placement).
WindowPolygon OcclusionTiles::LayHider(const WindowPoint* const* points, int count) {
  Laying laying;
  const WindowPolygon polygon = Placement(points, count, laying);
  if (laying.sloped) Lay(polygon, count, laying);
  return polygon;
}

// A hider must hold a whole tile with its margins, and be convex on the window, turning once
// around: every pair of edges turns the same way as the whole, and the turns add up to one
// full circle (which only a polygon of five vertices or more can miss).
void OcclusionTiles::Lay(const WindowPolygon& polygon, int count, const Laying& laying) {
  const Placed& placed = laying.placed;
  const double* lo = placed.lo;
  const double* hi = placed.hi;
  const double slack = placed.slack;
  const double span = kTile - 1 + 2 * (slack + kEdgeMargin);
  if (hi[0] - lo[0] < span || hi[1] - lo[1] < span) return;
  // One already hidden would lower no tile: its depth on a tile it covers is beyond its nearest.
  if (Hidden(polygon)) return;
  const double orientation = laying.facing > 0 ? 1 : -1;
  double turned = 0;
  for (int i = 0; i < count; ++i) {
    const double* p = &window_[3 * i];
    const double* q = &window_[3 * ((i + 1) % count)];
    const double* r = &window_[3 * ((i + 2) % count)];
    const double e[2] = {q[0] - p[0], q[1] - p[1]}, f[2] = {r[0] - q[0], r[1] - q[1]};
    const double cross = e[0] * f[1] - e[1] * f[0];
    if (!(cross * orientation > 0)) return;
    if (count > 4) turned += std::atan2(cross * orientation, e[0] * f[0] + e[1] * f[1]);
  }
  if (count > 4 && !(std::fabs(turned - 2 * 3.14159265358979323846) < kFullTurn)) return;
  plane_[0] = laying.slope[0];
  plane_[1] = laying.slope[1];
  plane_[2] = placed.centre[2];
  planeAt_[0] = placed.centre[0];
  planeAt_[1] = placed.centre[1];
  Hide(count, orientation, slack + kEdgeMargin, laying.below, lo[1], hi[1]);
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

bool OcclusionTiles::Hidden(const WindowBox& box, double allowance) const {
  if (!(allowance < kFar)) return false;
  WindowPolygon polygon = box.polygon;
  polygon.nearest -= allowance;
  return Hidden(polygon);
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
