// Leaving out polygons hidden behind nearer ones. The static list's polygons that can hide
// others (convex, wholly between the near and far planes, big enough on the window) are laid
// on a grid of 8 x 8 pixel tiles: a tile that one of them covers whole, by a margin, holds the
// farthest depth that polygon can give any pixel there. A polygon is hidden when, on every
// tile its pixels can reach, its nearest possible depth lies beyond the tile's by more than
// the depth buffer can tell apart. Its every pixel then loses the depth test to a polygon that
// is drawn, or that is itself hidden by a nearer one that is drawn, in whichever order they
// come, so leaving it out changes no pixel.
//
// Why that holds. "The depth OpenGL gives a pixel" is what Mesa's llvmpipe computes in float:
//
//  1. Vertices. Each vertex is transformed by the float product of the two matrices and
//     divided by w; its window coordinates then lie within an error of ours (worked out in
//     double from the same matrices): kTransform of the sizes summed in the product (a float
//     vertex, product and matrix entries each round within a few units of 2^-24), times the
//     window's scale over w, plus kRounding of the window coordinate itself (the division and
//     the viewport's scale and offset). A vertex is placed only where w's error is under half
//     of w and it lies inside the near and far planes by its errors (no clipping in depth).
//     This holds for any projection: field of view, near and far planes, pitch, crouch and
//     jump only change the matrices and so the errors; a far plane of 10^6 puts a distant
//     wall's depth in the last steps of the buffer, and the errors stay measured against it.
//  2. Triangles. Mesa draws a polygon as the triangles (v(i+1), v(i+2), v0), and clips every
//     triangle that reaches beyond the window's edges against them (a depth buffer turns
//     llvmpipe's guard band off), drawing the clipped piece as a fan of triangles. For each
//     triangle llvmpipe works out its depth plane at the window's origin from float
//     differences, products and the inverse of the area, and evaluates it at each pixel. Its
//     rounding is bounded by Setup (occlusion.cpp): 2^-23 times (2 + 13 R) dz + 7 |z| + 14 G M,
//     with dz the triangle's depth range, R its bounding box over its area (large for a thin
//     triangle lying across the window), G its depth slope and M its largest coordinate.
//     This is where a thin triangle loses depth: the margin below is no fixed number of
//     steps but this bound, for each triangle that can be drawn. A triangle whose vertices'
//     errors could leave it without area has no bound: its polygon is never hidden and
//     hides nothing.
//  3. Polygons placed one by one (Add). Their triangles, and the pieces clipping cuts from
//     them (Mesa's clipper followed step by step), are known on the window: each one's bound
//     is taken, with the errors of 1. A polygon's pixels lie beyond its nearest corner less
//     that; and, for one of half a pixel or more whose slope is trusted, beyond its plane.
//  4. Groups of polygons (a run, a cluster, an object's model: AddBox, AddSphere, then
//     Allowance) lie in a box whose corners are placed. Every pixel of a polygon in it lies
//     beyond the corners' nearest depth (the depth is monotonic in w, the box lies before the
//     eye). Their triangles are not placed; each polygon's shape, recorded with the list (its
//     plane, how thin its triangles are, the shortest of them: PolygonShape), bounds them on
//     the window: a triangle of area A and longest edge L in the scene covers at least
//     (W/2)(H/2) |plane . eye| / w^3 times A on the window (eye: the view's centre of
//     projection, ViewVolume::Eye), and no edge stretches by more than the largest scale of
//     the projection in the box. The drift a model's matrix may have taken moves a triangle's
//     corners together (WindowBox::warp): only each vertex's own error can take its area. A
//     polygon is bounded so only when its sphere stays inside the window (nothing of it is
//     clipped); the others of a group are placed one by one.
//  5. The depth buffer. A depth is stored and compared rounded to its bits: two depths more
//     than two steps apart keep their order; four steps are allowed (apart_).
//  6. The depth test decides. Every pixel a hider covers reaches the depth buffer, and a
//     nearer depth wins whatever comes after it: the depth test on, writing, less or
//     less-or-equal; polygons filled, none culled by facing, no alpha or stencil test, no
//     scissor, stipple, smoothing, polygon offset or blending (Begin reads them).
//
// Where a bound cannot be worked out (a matrix that is not finite, a depth buffer of more
// than 24 bits or none, a polygon or a triangle that 2 or 4 does not bound), nothing is left
// out for it: the view, or the polygon, is not culled.
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
  bool testable = false;  // wholly between the near and far planes, its setup bounded
};

// A point as it falls on the window (x, y in pixels, depth), with the largest error OpenGL's
// floats may give its x or y and its depth. Not placed: not wholly between the near and far
// planes.
struct WindowPoint {
  double at[3] = {0, 0, 0};
  double slack = 0, depthSlack = 0;
  bool placed = false;
};

// A polygon's shape in the scene, recorded with its list (ShapeOf): its plane a, b, c, d
// (a x + b y + c z + d = 0, unit normal; all zero when it is not flat), the least of its
// triangles' area over the square of its longest edge (thin: near 0), the shortest of its
// triangles' longest edges, how far its triangles' planes may turn from its own (radians),
// and the sphere about the centre of its corners' box that holds it.
struct PolygonShape {
  double plane[4] = {0, 0, 0, 0};
  double thickness = 0, shortest = 0, turn = 0;
  double centre[3] = {0, 0, 0}, radius = 0;
};
// The shape of the polygon with the given corners (x, y, z each), in order.
PolygonShape ShapeOf(const double* const* corners, int count);

// Where a box of the scene falls on the window, with what bounds the triangles of polygons
// drawn inside it (item 4 above).
struct WindowBox {
  WindowPolygon polygon;       // the box: its nearest depth, no slope
  double lowW = 0, highW = 0;  // the least and most w in it
  // w times the pixels a unit of the scene can stretch to, anywhere in it (the same in any
  // coordinates the scene's are turned and moved to).
  double stretch = 0;
  double ndcDepth[2] = {0, 0};                      // the least and most depth / w in it
  double depths = 0, depthMost = 0, magnitude = 0;  // its depth range, |depth|, |x| + |y|
  double reach = 0;                                 // its largest scene coordinate
  double slack = 0, depthSlack = 0;  // the largest errors of OpenGL's window coordinates
  double ownSlack = 0;  // the part of slack that is a vertex's own (not the matrix's drift)
  double warp = 0;      // pixels the drift can move two points apart, per unit between them
};

// A view's matrix and centre of projection, in the coordinates of what is tested under it: the
// tiles' view for the scenery, a view composed for a model's part for the part's polygons.
struct ViewFrame {
  double matrix[16] = {};  // column-major
  double eye[4] = {}, eyeError[4] = {};
};

class OcclusionTiles {
 public:
  // Starts an empty grid for the matrices of view and OpenGL's viewport, depth range and
  // depth test in force. Nothing is ever hidden when the depth test would not decide (item 6).
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
  // Where anything drawn within the box (lo to hi on each axis) falls on the window.
  WindowBox AddBox(const double lo[3], const double hi[3]) const;
  // Where a model drawn within a sphere falls on the window, under the given view (a model's
  // placement composed on the matrices the tiles were begun for).
  WindowBox AddSphere(const ViewVolume& view, const double centre[3], double radius) const;
  // The depth a polygon of the given shape drawn inside the box may lose to OpenGL's setup of
  // its triangles, under frame (the polygon's coordinates); infinite where it cannot be
  // bounded.
  double Allowance(const WindowBox& box, const ViewFrame& frame, const PolygonShape& shape) const;
  // The frame of view for Allowance: under a view composed for a model, in the model's
  // coordinates.
  static ViewFrame Frame(const ViewVolume& view);
  // Whether the polygon is hidden by those added as hiders.
  bool Hidden(const WindowPolygon& polygon) const;
  // Whether everything drawn in the box is, its polygons losing at most allowance.
  bool Hidden(const WindowBox& box, double allowance) const;
  // Whether both were begun for the same window and depth test.
  bool SameWindow(const OcclusionTiles& other) const;
  bool usable = false;

 private:
  static constexpr int kTile = 8;
  ViewVolume view_;
  double x0_ = 0, y0_ = 0, width_ = 0, height_ = 0, depthNear_ = 0, depthFar_ = 1;
  double apart_ = 0;  // the depth difference the depth buffer always tells apart
  int columns_ = 0, rows_ = 0;
  std::vector<double> farthest_;     // per tile: the farthest depth of the nearest covering hider
  std::vector<double> window_;       // scratch: the polygon's vertices on the window (x, y, depth)
  std::vector<double> piece_, cut_;  // scratch: a triangle clipped to the window
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
  WindowBox Box(const ViewVolume& view, const double lo[3], const double hi[3]) const;
  // Gathers the polygon's vertices into window_ and its bounds; false if one is not placed.
  bool Gather(const WindowPoint* const* points, int count, Placed& placed);
  // The most depth OpenGL's setup may lose on any triangle it draws of the polygon in window_
  // (count vertices), clipped pieces included; infinite where it cannot be bounded.
  double SetupOfPolygon(int count, double slack, double depthSlack);
  int ClipToWindow(const double* const t[3], double error);
  void Hide(int count, double orientation, double margin, double depthSlack, double lowY,
            double highY);
};
