// Walls stop everyone: the viewer of every control mode, walking or driving from all sides
// at the walls, round corners, into the inside corner of an L-shaped house and out of a
// courtyard, never stands inside a footprint; and each starts on a street, facing along it.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "common/keys.h"
#include "common/scene_load.h"
#include "demo_viewer.h"
#include "geometry.h"
#include "map/test_town.h"
#include "motion/modes.h"
#include "motion/viewer.h"
#include "scene/scene.h"

namespace {

// courtyard.osm's footprints in scene units (10 to the metre, z south): the 30 x 30 m block
// with its 10 x 10 m courtyard, the L-shaped house, and the two terraced houses.
const std::vector<Ring> kBlock = {{{0, 0}, {300, 0}, {300, -300}, {0, -300}},
                                  {{100, -100}, {200, -100}, {200, -200}, {100, -200}}};
const std::vector<Ring> kHouse = {
    {{500, 0}, {700, 0}, {700, -100}, {600, -100}, {600, -300}, {500, -300}},
    {{800, 0}, {1000, 0}, {1000, -100}, {800, -100}}};

// Drives the viewer of mode from (x, z) at heading (the scene's degrees) for 400 frames with
// Up held, turning with Left and then Right for a while (a turn in the walking mode, a
// sidestep in the follow mode, steering in a car); the frames it stood inside a footprint,
// and how near it came to one (scene units, at the frames it was outside).
int FramesInside(const SceneSpec& town, int mode, double x, double z, double heading,
                 double& nearest) {
  SceneSpec plan = town;
  PlaceViewer(plan, mode, x, z, heading);
  LoadScene(plan);
  Press(VK_UP);
  int inside = 0;
  for (int frame = 0; frame < 400; ++frame) {
    if (frame == 150) Press(VK_LEFT);
    if (frame == 200) Release(VK_LEFT), Press(VK_RIGHT);
    if (frame == 260) Release(VK_RIGHT);
    ModeStep();
    const Vec2 p = {bodyX + travelX, bodyZ + travelZ};
    if (InsideRings(p, kBlock) || InsideRings(p, kHouse)) {
      ++inside;
      continue;
    }
    for (const auto* rings : {&kBlock, &kHouse})
      for (const Ring& r : *rings)
        for (std::size_t i = 0; i < r.size(); ++i)
          nearest = std::min(nearest, SegmentDistance(p, r[i], r[(i + 1) % r.size()]));
  }
  Release(VK_UP);
  return inside;
}

}  // namespace

TEST(MapWalls, NoModeTakesTheViewerThroughAWall) {
  const TestTown town("courtyard");
  ASSERT_TRUE(town.built);
  struct Start {
    Vec2 at, towards;
  };
  std::vector<Start> starts;
  for (int k = 0; k < 12; ++k) {
    const double a = 2 * M_PI * (k + 0.3) / 12;
    starts.push_back({Vec2{150, -150} + Vec2{std::cos(a), std::sin(a)} * 260, {150, -150}});
    const Vec2 at = Vec2{600, -120} + Vec2{std::cos(a), std::sin(a)} * 260;
    if (!InsideRings(at, kHouse)) starts.push_back({at, {620, -70}});
  }
  for (int k = 0; k < 4; ++k)  // out of the courtyard, towards its walls and corners
    starts.push_back({{150, -150}, Vec2{150, -150} + Vec2{std::cos(k * 0.9), std::sin(k * 0.9)}});
  for (const int mode : {kModeWalk, kModeDrive, kModeFollow, kModeChase}) {
    int close = 0;
    for (const Start& s : starts) {
      const Vec2 d = s.towards - s.at;
      double nearest = 1e9;
      const double heading = std::atan2(-d.x, -d.z) * 180 / M_PI;
      EXPECT_EQ(FramesInside(town.scene, mode, s.at.x, s.at.z, heading, nearest), 0)
          << "mode " << mode << " from " << s.at.x << ", " << s.at.z;
      close += nearest < 20;
    }
    EXPECT_GT(close, static_cast<int>(starts.size()) / 2) << "mode " << mode;  // they met walls
  }
}

// The viewer starts on the street or path nearest the origin where it is free of the posts,
// facing along it: in blocks.osm the origin is the crossing of two streets.
TEST(MapWalls, TheViewerStartsOnAStreetFacingAlongIt) {
  for (const int mode : {kModeWalk, kModeDrive, kModeFollow, kModeChase}) {
    MapOptions options;
    options.mode = mode;
    const TestTown town("blocks", options);
    const SceneSettingsSpec& s = town.scene.settings;
    EXPECT_EQ(s.ControlMode, options.mode);
    EXPECT_LT(std::hypot(s.bodyX, s.bodyZ), 5) << mode;  // at the crossing
    const double along = std::fmod(std::fabs(s.startHeadingDeg), 90);
    EXPECT_TRUE(along < 0.5 || along > 89.5) << mode << " heading " << s.startHeadingDeg;
  }
}
