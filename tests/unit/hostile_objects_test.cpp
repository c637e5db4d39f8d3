// Fifty moving objects with hostile values run for 300 frames: no hang, no sanitizer report,
// and the static scenery is still drawn where it belongs in the last frame.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "unit/program_run.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// Control mode 0 (no motion: the camera ReshapeView loaded is never loaded again, so a
// transform an object leaves behind would show in every later frame), looking along -z at a
// red quad that fills the middle of the picture. Every object stands behind the camera. A file
// cannot hold NaN, but infinities (written 1e999) and step counts of 0 make NaN in the sums
// and rates.
SceneSpec HostileScene() {
  SceneSpec plan;
  SceneSettingsSpec& s = plan.settings;
  s.ControlMode = 0;
  s.fieldOfView = 90;
  s.farPlane = 1000;
  s.startTargetZ = -100;
  s.clearRed = s.clearGreen = s.clearBlue = 0;
  AddPolygon(plan.staticList, {{-50, -40, -100}, {50, -40, -100}, {50, 40, -100}, {-50, 40, -100}},
             1, 0, 0);
  plan.posts = {{0, 60}, {-kInf, 70}, {5, kInf}};
  const double values[] = {0, -1, 1e-308, kInf, -kInf, 1e308, -1e308, 2e38};
  for (int o = 0; o < 50; ++o) {
    SceneObjectSpec obj;
    const double v = values[o % 8], w = values[(o / 8) % 8];
    obj.x = o % 5 == 0 ? v : o;
    obj.z = 40 + (o % 7 == 0 ? w : o);
    obj.headingDeg = o % 3 == 0 ? v : 180;
    obj.headingOffset = o % 4 == 0 ? w : 0;
    obj.maxSpeed = o % 2 == 0 ? 1e308 : v;
    obj.clearance = o % 6 == 0 ? kInf : (o % 6 == 1 ? w : 3);
    obj.flagA = 1;
    obj.flagB = o % 2;
    obj.nearTest = o % 4 == 1;
    obj.nearDistance = v;
    obj.cullTest = o % 4 == 2;
    obj.cullDistance = w;
    obj.waypoints = {{double(o), 45.0 + o}, {v, w}, {w, 50}};
    // Part tags 25 and -3 (no such parts), and parts 0 and 1.
    const int tags[] = {0, 25, 1, -3, 0};
    for (int k = 0; k < 5; ++k) {
      const double z = k;
      AddPolygon(obj.vertices, {{-1, 0, z}, {1, 0, z}, {0, -2, z}}, 0, 1, 0, "", tags[k]);
    }
    obj.parts.resize(2);
    for (auto& row : obj.parts[0]) {
      row.swingX = 30;
      row.swingY = v;
      row.swingZ = w;
      row.steps = 0;  // rates swing / 0: infinite, or NaN
      row.offsetX = w;
    }
    for (auto& row : obj.parts[1]) {
      row.swingX = v;
      row.steps = o % 3 == 0 ? v : 2;
      row.offsetY = v;
    }
    plan.objects.push_back(obj);
  }
  return plan;
}

TEST(HostileObjects, FiftyObjectsRunWithoutHangingAndLeaveTheSceneryInPlace) {
  headless::Options options;
  options.captureFrames = true;
  const ProgramRun run = RunScene(HostileScene(), 300, options);
  EXPECT_EQ(run.result, 0);
  ASSERT_EQ(run.framesDrawn, 300);
  const headless::Frame& frame = headless::LastFrame();
  ASSERT_EQ(frame.width, 200);
  ASSERT_EQ(frame.height, 150);
  // The quad spans columns 62.5..137.5 and rows 45..105; outside it the background.
  auto pixel = [&](int x, int y) {
    const std::uint8_t* p = &frame.rgba[(static_cast<std::size_t>(149 - y) * 200 + x) * 4];
    return std::array<int, 3>{p[0], p[1], p[2]};
  };
  EXPECT_EQ(pixel(100, 75), (std::array<int, 3>{255, 0, 0}));
  EXPECT_EQ(pixel(70, 50), (std::array<int, 3>{255, 0, 0}));
  EXPECT_EQ(pixel(130, 100), (std::array<int, 3>{255, 0, 0}));
  EXPECT_EQ(pixel(50, 75), (std::array<int, 3>{0, 0, 0}));
  EXPECT_EQ(pixel(100, 20), (std::array<int, 3>{0, 0, 0}));
}

}  // namespace
