// Polygons hidden behind nearer ones, on a 64 x 64 window looking down -z (90 degrees each
// way, near plane 1, far plane 100), with a 16-bit depth buffer. There a point (x, y, -d)
// falls at window x = 32 (1 + x / d), and at depth (100 / 99)(1 - 1 / d).
#include "render/occlusion.h"

#include <gtest/gtest.h>

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
  // Adds a polygon with the given corners (x, y, z triples) in order.
  WindowPolygon Add(std::vector<double> corners, bool hider) {
    std::vector<WindowPoint> points;
    for (std::size_t i = 0; i < corners.size(); i += 3) points.push_back(tiles.Place(&corners[i]));
    std::vector<const WindowPoint*> at;
    for (const WindowPoint& point : points) at.push_back(&point);
    return tiles.Add(at.data(), static_cast<int>(at.size()), hider);
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
  Add(Square{-20, 20, -20, 20, -10}, true);
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
  Add(Square{-20, 20, -20, 20, -10}, true);
  EXPECT_TRUE(Hidden(behind));
}

// A box, or a model's sphere by its bounding cube, is hidden when all of it lies behind.
TEST_F(Occlusion, ABoxOrASphereIsHiddenWhenItLiesWhollyBehind) {
  Add(Square{-20, 20, -20, 20, -10}, true);
  const double centre[3] = {0, 0, -30};
  EXPECT_TRUE(tiles.Hidden(tiles.AddSphere(view, centre, 5)));
  EXPECT_FALSE(tiles.Hidden(tiles.AddSphere(view, centre, 20.5)));
  const double lo[3] = {-3, -3, -40}, hi[3] = {3, 3, -10.01}, nearer[3] = {3, 3, -9};
  EXPECT_TRUE(tiles.Hidden(tiles.AddBox(lo, hi)));
  EXPECT_FALSE(tiles.Hidden(tiles.AddBox(lo, nearer)));
  const double across[3] = {3, 3, -0.5};  // through the near plane: not placed
  EXPECT_FALSE(tiles.AddBox(lo, across).testable);
}

// A wall receding to the right (z = -15 - x / 4) hides another 1 further back, whose nearest
// point (depth 0.9428, at x = -4) lies before the wall's farthest on the tiles the other
// reaches (0.9467 at x = 3.7): on each tile, the one behind is beyond the wall by its own
// depth there (0.9482 at x = 0.25 on the tile of pixels 32 to 39). 0.1 further back is within
// the tiles' width of the wall.
TEST_F(Occlusion, EachTileComparesTheDepthAPolygonHasThere) {
  Add({-20, -30, -10, 20, -30, -20, 20, 30, -20, -20, 30, -10}, true);
  const auto behind = [&](double gap) {
    const double z0 = -14 - gap, z1 = -16 - gap;
    return tiles.Hidden(Add({-4, -1, z0, 4, -1, z1, 4, 1, z1, -4, 1, z0}, false));
  };
  EXPECT_TRUE(behind(1));
  EXPECT_FALSE(behind(0.1));
}

// A plane is gentle when its depth slope on the window is within half the steepest trusted
// (1/64 of the depth range a pixel): x = c falls at depth (100/99)(1 - (x - 32) / (32 c)),
// whose slope (100/99) / (32 c) is 1/128 at c = 4.04.
TEST_F(Occlusion, APlaneIsGentleWhenItsDepthSlopeIsWithinHalfTheSteepest) {
  const std::vector<std::tuple<std::vector<double>, bool>> planes = {
      {{0, 0, 1, 10}, true},    // facing the eye
      {{1, 0, 0, -4.1}, true},  // a side wall 4.1 away
      {{-2, 0, 0, 8.2}, true},  // the same, scaled and turned
      {{1, 0, 0, -4}, false},   // 4 away: a little too steep
      {{0, 1, 0, 0}, false},    // through the eye
      {{0, 0, 0, 0}, false},    // no plane
  };
  for (const auto& [plane, gentle] : planes)
    EXPECT_EQ(tiles.Gentle(plane.data()), gentle) << plane[0] << " " << plane[3];
}

// Without a depth buffer, or with the depth buffer's order reversed, nothing is hidden.
TEST_F(Occlusion, NothingIsHiddenWithoutADepthBufferThatDecides) {
  const int viewport[4] = {0, 0, 64, 64};
  for (const auto& [first, last, bits] : {std::tuple{0.0, 1.0, 0}, std::tuple{1.0, 0.0, 16}}) {
    tiles.Begin(view, viewport, first, last, bits);
    Add(Square{-20, 20, -20, 20, -10}, true);
    EXPECT_FALSE(Hidden({-1, 1, -1, 1, -20}));
  }
}

}  // namespace
