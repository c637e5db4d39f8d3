// Polygons hidden behind nearer ones, on a 64 x 64 window looking down -z (90 degrees each
// way, near plane 1, far plane 100), with a 16-bit depth buffer. There a point (x, y, -d)
// falls at window x = 32 (1 + x / d), and at depth (100 / 99)(1 - 1 / d).
#include "render/occlusion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>
#include <vector>

#include "gl/recorder.h"
#include "render/cull.h"

namespace {

struct Square {
  double x0, x1, y0, y1, z;
};

class Occlusion : public ::testing::Test {
 protected:
  void SetUp() override {
    recorder::SetMatrices(recorder::kPerspective, recorder::kIdentity);
    view.Read();
    recorder::SetMatrices(recorder::kNoMatrix, recorder::kNoMatrix);
    const int viewport[4] = {0, 0, 64, 64};
    tiles.Begin(view, viewport, 0, 1, 16);
  }
  // Places a polygon with the given corners (x, y, z triples) in order, laid as a hider when
  // hider.
  WindowPolygon Add(std::vector<double> corners, bool hider) {
    std::vector<WindowPoint> points;
    for (std::size_t i = 0; i < corners.size(); i += 3) points.push_back(tiles.Place(&corners[i]));
    std::vector<const WindowPoint*> at;
    for (const WindowPoint& point : points) at.push_back(&point);
    const int count = static_cast<int>(at.size());
    return hider ? tiles.LayHider(at.data(), count) : tiles.PlacePolygon(at.data(), count);
  }
  WindowPolygon Add(const Square& s, bool hider) {
    return Add({s.x0, s.y0, s.z, s.x1, s.y0, s.z, s.x1, s.y1, s.z, s.x0, s.y1, s.z}, hider);
  }
  bool Hidden(const Square& s) { return tiles.Hidden(Add(s, false)); }
  ViewVolume view;
  OcclusionTiles tiles;
};

// A wall at depth 10 filling the window hides what lies behind it by more than four steps of
// the depth buffer (6.1e-5: at depth 10, about 0.006 further on), and nothing else.
TEST_F(Occlusion, AWallHidesWhatLiesBehindItByMoreThanTheDepthBufferTellsApart) {
  ASSERT_TRUE(tiles.usable);
  Add(Square{-20, 24, -22, 21, -10}, true);
  EXPECT_TRUE(Hidden({-1, 1, -1, 1, -20}));
  EXPECT_TRUE(Hidden({-30, 30, -30, 30, -90}));   // larger than the window
  EXPECT_TRUE(Hidden({-1, 1, -1, 1, -10.01}));    // 1.0e-4 further in depth
  EXPECT_FALSE(Hidden({-1, 1, -1, 1, -10.003}));  // 3.0e-5: within four steps
  EXPECT_FALSE(Hidden({-1, 1, -1, 1, -10}));
  EXPECT_FALSE(Hidden({-1, 1, -1, 1, -9}));
  // Reaching in front of the wall, or across the near or the far plane.
  EXPECT_FALSE(tiles.Hidden(Add({-1, 0, -20, 1, 0, -20, 1, 1, -5}, false)));
  EXPECT_FALSE(tiles.Hidden(Add({-1, 0, -20, 1, 0, -20, 0, 1, -0.5}, false)));
  EXPECT_FALSE(tiles.Hidden(Add({-1, 0, -20, 1, 0, -20, 0, 1, -101}, false)));
  // Seen edge-on: its depth across the window is not trusted.
  EXPECT_FALSE(tiles.Hidden(Add({0, -1, -20, 0, 1, -20, 0, 1, -30, 0, -1, -30}, false)));
}

// A wall covering the left half of the window (x < 32) hides only what falls on the tiles it
// covers whole with a pixel to spare: columns of pixels 0 to 23 (the next tile's pixel centres
// reach 31.5, beyond 31). Behind it at depth 20, x = -10..-6 falls at 16..22.4, and
// x = -6..-2 reaches 28.8.
TEST_F(Occlusion, OnlyTheTilesAHiderCoversWholeWithAPixelToSpareAreHidden) {
  Add(Square{-20, 0, -20, 20, -10}, true);
  EXPECT_TRUE(Hidden({-10, -6, -1, 1, -20}));
  EXPECT_FALSE(Hidden({-6, -2, -1, 1, -20}));
  EXPECT_FALSE(Hidden({2, 6, -1, 1, -20}));
  // Nothing at all lies on the window right of it: hidden as out of view.
  EXPECT_TRUE(Hidden({50, 60, -1, 1, -20}));
}

// Only convex polygons between the near and far planes hide anything.
TEST_F(Occlusion, CrossedCrossingAndTooSmallPolygonsHideNothing) {
  const Square behind{-1, 1, -1, 1, -20};
  Add({-20, -20, -10, 20, 20, -10, 20, -20, -10, -20, 20, -10}, true);   // a crossed quad
  Add({-20, -20, -10, 20, -20, -10, 20, 20, -0.5, -20, 20, -10}, true);  // through the near plane
  Add(Square{-0.1, 0.1, -0.1, 0.1, -2}, true);                           // under a tile
  EXPECT_FALSE(Hidden(behind));
  Add(Square{-20, 24, -22, 21, -10}, true);
  EXPECT_TRUE(Hidden(behind));
}

// A box, or a model's sphere by its bounding cube, is hidden when all of it lies behind.
TEST_F(Occlusion, ABoxOrASphereIsHiddenWhenItLiesWhollyBehind) {
  Add(Square{-20, 24, -22, 21, -10}, true);
  const double centre[3] = {0, 0, -30};
  EXPECT_TRUE(tiles.Hidden(tiles.PlaceSphere(view, centre, 5), 0));
  EXPECT_FALSE(tiles.Hidden(tiles.PlaceSphere(view, centre, 20.5), 0));
  const double lo[3] = {-3, -3, -40}, hi[3] = {3, 3, -10.01}, nearer[3] = {3, 3, -9};
  EXPECT_TRUE(tiles.Hidden(tiles.PlaceBox(lo, hi), 0));
  EXPECT_FALSE(tiles.Hidden(tiles.PlaceBox(lo, nearer), 0));
  const double across[3] = {3, 3, -0.5};  // through the near plane: not placed
  EXPECT_FALSE(tiles.PlaceBox(lo, across).polygon.testable);
}

// A wall receding to the right (z = -15 - x / 4) hides another 1 further back, whose nearest
// point (depth 0.9428, at x = -4) lies before the wall's farthest on the tiles the other
// reaches (0.9467 at x = 3.7): on each tile, the one behind is beyond the wall by its own
// depth there (0.9482 at x = 0.25 on the tile of pixels 32 to 39). 0.1 further back is within
// the tiles' width of the wall.
TEST_F(Occlusion, EachTileComparesTheDepthAPolygonHasThere) {
  Add({-20, -30, -10, 21, -30, -20.25, 21, 30, -20.25, -20, 30, -10}, true);
  const auto behind = [&](double gap) {
    const double z0 = -14 - gap, z1 = -16 - gap;
    return tiles.Hidden(Add({-4, -1, z0, 4, -1, z1, 4, 1, z1, -4, 1, z0}, false));
  };
  EXPECT_TRUE(behind(1));
  EXPECT_FALSE(behind(0.1));
}

// A thin triangle lying across the window loses depth in llvmpipe's setup: its plane's slopes
// come from products that nearly cancel over its small area. Behind the wall at 10 (depth
// 0.909091), from depth 10.008 (0.909172) at (-8, -8) to 99 (1.0) at (86.6, 86.6), window
// (6.4, 6.4) to (60, 60): beyond the four steps by 2.0e-5 at its nearest. With its third
// corner at (86.6, 50) its bounding box is 9 times its area on the window and it may lose
// 1.2e-5 (mostly the snapping of its vertices, a 256th of a pixel, times its slope 0.0017):
// hidden. With it at (87.015, 86.185), its area (7.2 pixels) is a 400th of its box: its setup
// may lose 2^-23 (2 + 13 x 400) 0.091 = 5.6e-5.
TEST_F(Occlusion, AThinTriangleIsHiddenOnlyByMoreThanItsSetupMayLose) {
  Add(Square{-20, 24, -22, 21, -10}, true);
  EXPECT_TRUE(tiles.Hidden(Add({-8, -8, -10.008, 86.6, 86.6, -99, 86.6, 50, -99}, false)));
  EXPECT_FALSE(tiles.Hidden(Add({-8, -8, -10.008, 86.6, 86.6, -99, 87.015, 86.185, -99}, false)));
  // The same, its nearest corner 4e-4 further back: hidden.
  EXPECT_TRUE(tiles.Hidden(Add({-8, -8, -10.05, 86.6, 86.6, -99, 87.015, 86.185, -99}, false)));
}

// A group of polygons in a box is bounded by their shapes. The view's centre of projection is
// the origin: (0, 0, 0, -1) for this matrix, so a plane's product with it is minus its offset.
// A square facing the eye at 20 loses less than a tenth of a step. A sliver 0.001 wide from
// depth 16 to 24 (its window area 0.006 pixels, over a box of 19 x 19, the depth 0.021 along
// it) may lose some 4e-3; a square whose plane passes through the eye (seen edge-on) cannot
// be bounded, nor one reaching beyond the window's edge (x = 21 at 20 falls at 65.6), which may
// be clipped.
TEST_F(Occlusion, AGroupIsBoundedByItsPolygonsShapes) {
  const ViewFrame frame = OcclusionTiles::Frame(view);
  const double* eye = frame.eye;
  EXPECT_EQ(eye[0], 0);
  EXPECT_EQ(eye[1], 0);
  EXPECT_EQ(eye[2], 0);
  EXPECT_EQ(eye[3], -1);
  const auto shape = [](std::vector<double> c) {
    std::vector<const double*> corners;
    for (std::size_t i = 0; i < c.size(); i += 3) corners.push_back(&c[i]);
    return ShapeOf(corners.data(), static_cast<int>(corners.size()));
  };
  const PolygonShape facing = shape({-2, -2, -20, 2, -2, -20, 2, 2, -20, -2, 2, -20});
  EXPECT_DOUBLE_EQ(facing.plane[2] * eye[2] + facing.plane[3] * eye[3], -facing.plane[3]);
  const PolygonShape sliver = shape({-2, -2, -16, 2, 2, -24, 2.001, 1.999, -24});
  const PolygonShape edgeOn = shape({0, -2, -15, 0, 2, -15, 0, 2, -25, 0, -2, -25});
  const double lo[3] = {-3, -3, -25}, hi[3] = {3, 3, -15};
  const WindowBox box = tiles.PlaceBox(lo, hi);
  const double kNone = std::numeric_limits<double>::infinity();
  EXPECT_LT(tiles.Allowance(box, frame, facing), 1.5e-6);
  EXPECT_GT(tiles.Allowance(box, frame, sliver), 1e-3);
  EXPECT_EQ(tiles.Allowance(box, frame, edgeOn), kNone);
  const double far[3] = {25, 3, -15};
  const PolygonShape across = shape({17, -2, -20, 21, -2, -20, 21, 2, -20, 17, 2, -20});
  EXPECT_LT(tiles.Allowance(tiles.PlaceBox(lo, far), frame, facing), 1.5e-6);
  EXPECT_EQ(tiles.Allowance(tiles.PlaceBox(lo, far), frame, across), kNone);
  Add(Square{-20, 24, -22, 21, -10}, true);
  EXPECT_TRUE(tiles.Hidden(box, tiles.Allowance(box, frame, facing)));
  EXPECT_FALSE(tiles.Hidden(box, tiles.Allowance(box, frame, sliver)));
}

// The bound holds for any projection. With a field of view of 1 degree and a far plane of
// 10^6, a wall at 1000 lies at depth 0.999001 and a step of the depth buffer is 15 units
// further on: what lies 4 units behind it (a quarter step) is not hidden, what lies 200 behind
// (11 steps) is. The wall is 8.73 wide, filling the 64 pixels.
TEST_F(Occlusion, AWallFarOffUnderANarrowViewHidesOnlyBeyondTheStepsTheBufferTellsApart) {
  const double f = 1 / std::tan(0.5 * M_PI / 180), n = 1, far = 1e6;
  const double narrow[16] = {
      f, 0, 0, 0, 0, f, 0, 0, 0, 0, (far + n) / (n - far), -1, 0, 0, 2 * far * n / (n - far), 0};
  recorder::SetMatrices(narrow, recorder::kIdentity);
  view.Read();
  recorder::SetMatrices(recorder::kNoMatrix, recorder::kNoMatrix);
  const int viewport[4] = {0, 0, 64, 64};
  tiles.Begin(view, viewport, 0, 1, 16);
  ASSERT_TRUE(tiles.usable);
  Add(Square{-5, 5, -5, 5, -1000}, true);
  EXPECT_FALSE(Hidden({-1, 1, -1, 1, -1004}));
  EXPECT_TRUE(Hidden({-1, 1, -1, 1, -1200}));
}

// Without a depth buffer, or with the depth buffer's order reversed, nothing is hidden.
TEST_F(Occlusion, NothingIsHiddenWithoutADepthBufferThatDecides) {
  const int viewport[4] = {0, 0, 64, 64};
  for (const auto& [first, last, bits] : {std::tuple{0.0, 1.0, 0}, std::tuple{1.0, 0.0, 16}}) {
    tiles.Begin(view, viewport, first, last, bits);
    Add(Square{-20, 24, -22, 21, -10}, true);
    EXPECT_FALSE(Hidden({-1, 1, -1, 1, -20}));
  }
}

}  // namespace
