// Leaving out polygons hidden behind nearer ones. The static list's polygons that can hide
// others (convex, wholly between the near and far planes, big enough on the window) are laid
// on a grid of 8 x 8 pixel tiles: a tile that one of them covers whole, by a margin, holds the
// farthest depth that polygon can give any pixel there. A polygon is hidden when, on every
// tile its pixels can reach, its nearest possible depth lies beyond the tile's by more than
// the depth buffer can tell apart. Its every pixel then loses the depth test to a polygon that
// is drawn, or that is itself hidden by a nearer one that is drawn, in whichever order they
// come, so leaving it out changes no pixel.
//
// Every bound allows for OpenGL's float arithmetic: the vertex transform (relative to the sizes
// summed, as the view volume test does), the division, clipping and each polygon's depth
// interpolated across the window (relative to its slope), and the snapping of vertices to the
// pixel grid (a whole pixel of margin on every edge).
#pragma once

#include <limits>
#include <vector>

#include "render/cull.h"

// A polygon as it falls on the window.
struct WindowPolygon {
  double lo[2] = {0, 0}, hi[2] = {0, 0};  // the box its pixel centres can lie in
  double nearest = 0;                     // the lowest depth OpenGL can give any of its pixels
  // Below which no pixel's depth lies either: base + slope[0] x + slope[1] y at the pixel's
  // centre (x, y) (none: base is minus infinity).
  double slope[2] = {0, 0}, base = -std::numeric_limits<double>::infinity();
  bool testable = false;  // wholly between the near and far planes, its depth slope bounded
};

// A point as it falls on the window (x, y in pixels, depth), with the largest error OpenGL's
// floats may give its x or y and its depth. Not placed: not wholly between the near and far
// planes.
struct WindowPoint {
  double at[3] = {0, 0, 0};
  double slack = 0, depthSlack = 0;
  bool placed = false;
};

class OcclusionTiles {
 public:
  // Starts an empty grid for the matrices of view and OpenGL's viewport, depth range and
  // depth test in force. Nothing is ever hidden when the depth test would not decide (no depth
  // buffer, another depth function, depth writes off, a test that may drop fragments).
  void Begin(const ViewVolume& view);
  // The same, for the given window (origin and size in pixels, depth range, depth bits):
  // what Begin reads from OpenGL.
  void Begin(const ViewVolume& view, const int viewport[4], double depthNear, double depthFar,
             int depthBits);
  // Where a point falls on the window under the tiles' view.
  WindowPoint Place(const double p[3]) const;
  // Where a polygon whose vertices fall at points (count of them, in order) falls; when hider,
  // it hides what lies behind it from now on, if it can.
  WindowPolygon Add(const WindowPoint* const* points, int count, bool hider);
  // Where a model drawn within a sphere falls on the window, under the given view (a model's
  // placement composed on the matrices the tiles were begun for), its polygons taken to be no
  // steeper than the steepest polygon the tiles test.
  WindowPolygon AddSphere(const ViewVolume& view, const double centre[3], double radius);
  // Where anything drawn within the box (lo to hi on each axis) falls on the window, its
  // polygons taken to be no steeper than the steepest polygon the tiles test (see Gentle).
  WindowPolygon AddBox(const double lo[3], const double hi[3]) const;
  // Whether every polygon lying in the plane (a x + b y + c z + d = 0, all zero: none) has a
  // depth slope on the window well within what the tiles trust, wherever on it it lies: what
  // AddBox takes of the polygons in a box.
  bool Gentle(const double plane[4]) const;
  // Whether the polygon is hidden by those added as hiders.
  bool Hidden(const WindowPolygon& polygon) const;
  // Whether both were begun for the same window and depth test.
  bool SameWindow(const OcclusionTiles& other) const;
  bool usable = false;

 private:
  static constexpr int kTile = 8;
  ViewVolume view_;
  double x0_ = 0, y0_ = 0, width_ = 0, height_ = 0, depthNear_ = 0, depthFar_ = 1;
  double apart_ = 0;  // the depth difference the depth buffer always tells apart
  int columns_ = 0, rows_ = 0;
  std::vector<double> farthest_;  // per tile: the farthest depth of the nearest covering hider
  std::vector<double> window_;    // scratch: the polygon's vertices on the window (x, y, depth)
  // A hider's edge as it bounds a row of tiles (Hide).
  struct Edge {
    int side;          // 1: bounds the first pixel centres, -1: the last, 0: level
    double along, at;  // the bound at y: along * y + at (level: the row is kept where >= 0)
    bool upper;        // the row's stricter line of pixel centres is its upper one
  };
  std::vector<Edge> edges_;                 // scratch: the hider's edges
  double plane_[3] = {}, planeAt_[2] = {};  // its depth: plane_[2] + slopes (0, 1) from planeAt_
  // Lays the hider in window_ on the tiles it covers, count vertices turning by orientation
  // (1: counter-clockwise), from lowY to highY.
  struct Placed {
    double lo[2] = {kFar, kFar}, hi[2] = {-kFar, -kFar}, centre[3] = {0, 0, 0};
    double nearest = kFar, slack = 0, depthSlack = 0;  // the largest errors of a vertex
  };
  static constexpr double kFar = std::numeric_limits<double>::infinity();
  double error_[16] = {};  // the view's error matrix
  // The inverse of the view's matrix (world from clip coordinates), the largest size of each of
  // its rows, and for Gentle, the window's depth range over its width and height scaled by the
  // slope trusted (none: the inverse could not be worked out well).
  double inverse_[16] = {}, inverseRow_[4] = {}, gentle_[2] = {};
  bool inverted_ = false;
  void Invert();
  WindowPolygon Box(const ViewVolume& view, const double e[16], const double lo[3],
                    const double hi[3]) const;
  // Gathers the polygon's vertices into window_ and its bounds; false if one is not placed.
  bool Gather(const WindowPoint* const* points, int count, Placed& placed);
  double Interpolation(const double centre[3], double a, double b) const;
  void Hide(int count, double orientation, double margin, double depthSlack, double lowY,
            double highY);
};
