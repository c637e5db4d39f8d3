// Leaving out polygons hidden behind nearer ones. The static list's polygons that can hide
// others (convex, wholly between the near and far planes, big enough on the window) are laid
// on a grid of 8 x 8 pixel tiles: a tile that one of them covers whole, by a margin, holds the
// farthest depth that polygon can give any pixel there. A polygon is hidden when, on every
// tile its pixels can reach, its nearest possible depth lies beyond the tile's by more than
// the depth buffer can tell apart. Its every pixel then loses the depth test to a polygon that
// is drawn, or that is itself hidden by a nearer one that is drawn, in whichever order they
// come, so leaving it out changes no pixel.
//
// Why that holds, and every tolerance it rests on: render/occlusion_margins.h.
#pragma once

#include <limits>
#include <vector>

#include "render/cull.h"
#include "render/occlusion_margins.h"

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
// drawn inside it (item 4 of occlusion_margins.h).
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

// The window's tiles for one view. Placing on the window (points, polygons, boxes and spheres,
// and the slopes and setup bounds that go with them) is in occlusion_window.cpp; the tiles
// (laying hiders, the hidden query) in occlusion.cpp.
class OcclusionTiles {
 public:
  // Starts an empty grid for the matrices of view and OpenGL's viewport, depth range and
  // depth test in force. Nothing is ever hidden when the depth test would not decide (item 6 of
  // occlusion_margins.h).
  void Begin(const ViewVolume& view);
  // The same, for the given window (origin and size in pixels, depth range, depth bits):
  // what Begin reads from OpenGL.
  void Begin(const ViewVolume& view, const int viewport[4], double depthNear, double depthFar,
             int depthBits);
  // Where a point falls on the window under the tiles' view.
  WindowPoint Place(const double p[3]) const;
  // Where a polygon whose vertices fall at points (count of them, in order) falls. Lays nothing.
  WindowPolygon PlacePolygon(const WindowPoint* const* points, int count);
  // The same, and the polygon is laid on the tiles as a hider, hiding what lies behind it from
  // now on, if it can (convex, trusted slopes, covering a whole tile).
  WindowPolygon LayHider(const WindowPoint* const* points, int count);
  // Where anything drawn within the box (lo to hi on each axis) falls on the window.
  WindowBox PlaceBox(const double lo[3], const double hi[3]) const;
  // Where a model drawn within a sphere falls on the window, under the given view (a model's
  // placement composed on the matrices the tiles were begun for).
  WindowBox PlaceSphere(const ViewVolume& view, const double centre[3], double radius) const;
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
  // What gathering a polygon's vertices into window_ finds (Gather): the box and the centre of
  // its vertices on the window, its nearest depth, and the largest errors of a vertex.
  struct Placed {
    double lo[2] = {kFar, kFar}, hi[2] = {-kFar, -kFar}, centre[3] = {0, 0, 0};
    double nearest = kFar, slack = 0, depthSlack = 0;  // the largest errors of a vertex
  };
  static constexpr double kFar = std::numeric_limits<double>::infinity();
  double error_[16] = {};  // the view's error matrix
  // What laying a placed polygon as a hider takes from its placement: the depth component of
  // its fitted normal (its sign: which way the polygon turns on the window), its plane's slopes,
  // how far its pixels' depths may lie below the plane, and whether the slopes are trusted
  // (sloped: only then may it hide).
  struct Laying {
    Placed placed;
    double facing = 0, slope[2] = {0, 0}, below = 0;
    bool sloped = false;
  };
  // Where the polygon falls (PlacePolygon), with what laying it takes.
  WindowPolygon Placement(const WindowPoint* const* points, int count, Laying& laying);
  // Lays the placed polygon, its vertices in window_, if it can hide (LayHider).
  void Lay(const WindowPolygon& polygon, int count, const Laying& laying);
  WindowBox Box(const ViewVolume& view, const double lo[3], const double hi[3]) const;
  // Gathers the polygon's vertices into window_ and its bounds; false if one is not placed.
  bool Gather(const WindowPoint* const* points, int count, Placed& placed);
  // The most depth OpenGL's setup may lose on any triangle it draws of the polygon in window_
  // (count vertices), clipped pieces included; infinite where it cannot be bounded.
  double SetupOfPolygon(int count, double slack, double depthSlack);
  int ClipToWindow(const double* const t[3], double error);
  // Lays the hider in window_ on the tiles it covers, count vertices turning by orientation
  // (1: counter-clockwise), from lowY to highY.
  void Hide(int count, double orientation, double margin, double depthSlack, double lowY,
            double highY);
};
