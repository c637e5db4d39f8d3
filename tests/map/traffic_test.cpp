// Traffic: the cars and people of a town, moved by the program's own motion for half an hour
// of frames, keep going, keep to their streets and paths, and go round their blocks, turning
// at the junctions.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "common/scene_load.h"
#include "map/test_town.h"
#include "motion/objects.h"
#include "scene/scene.h"

// blocks.osm, in metres east and north of 52 N 5 E: streets along north -100, 0, 100 and east
// -120, 0, 120 round four blocks of 120 x 100 m (the cars' routes, two cars each), and a
// footway round the rectangle 20..100 x 20..80 in the park (three people's route).
TEST(MapTraffic, CarsAndPeopleKeepGoingRoundTheirBlocks) {
  const TestTown town("blocks");
  ASSERT_TRUE(town.built);
  ASSERT_EQ(town.scene.objects.size(), 11u) << town.report;
  LoadScene(town.scene);
  constexpr int kFrames = 45000;  // 30 minutes at 25 frames a second
  for (int i = 0; i <= objectLastIndex; ++i) {
    objectCullTest[i] = 0;  // wherever the viewer is
    const bool car = objectClearance[i] > 3;
    std::set<int> sides;  // the streets (or sides of the footway) it went along
    double travelled = 0, farthest = 0;
    int still = 0, longestStill = 0;
    for (int f = 0; f < kFrames; ++f) {
      const double x0 = objectMoveX[i], z0 = objectMoveZ[i];
      MoveObjects(i);
      const double step = std::hypot(objectMoveX[i] - x0, objectMoveZ[i] - z0);
      travelled += step;
      still = step == 0 ? still + 1 : 0;
      longestStill = std::max(longestStill, still);
      const double e = (objectX[i] + objectMoveX[i]) / 10, n = -(objectZ[i] + objectMoveZ[i]) / 10;
      // Distance (m) from its streets or its path, and which one it is along.
      double off = 1e9;
      int side = -1;
      const double rows[] = {-100, 0, 100}, columns[] = {-120, 0, 120};
      const double north[] = {20, 80}, east[] = {20, 100};
      for (int k = 0; k < (car ? 3 : 2); ++k) {
        const double d = std::fabs(n - (car ? rows[k] : north[k]));
        if (d < off) off = d, side = k;
        const double d2 = std::fabs(e - (car ? columns[k] : east[k]));
        if (d2 < off) off = d2, side = 10 + k;
      }
      farthest = std::max(farthest, off);
      sides.insert(side);
    }
    EXPECT_LT(longestStill, 20) << "object " << i;
    EXPECT_GT(travelled, 0.8 * objectMaxSpeed[i] * kFrames) << "object " << i;
    // Metres from the centreline: the play inside the route's sides (23 - 2 x 6 units for a
    // car, 7 - 2 x 1.5 for a person) and the rounding of the corners (10 m and 2 m radii:
    // 1 - 1 / sqrt 2 of them off the corner's lines).
    EXPECT_LT(farthest, car ? 1.1 + 2.93 + 0.1 : 0.4 + 0.59 + 0.05) << "object " << i;
    EXPECT_GE(sides.size(), 4u) << "object " << i;  // round the block
  }
}
