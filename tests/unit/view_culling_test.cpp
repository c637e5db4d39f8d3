// Leaving out what cannot be seen changes no pixel and no state: a ring of polygons around
// the eye, in runs that go out of view and come back, drawn with the test and without it,
// from the recorded runs and vertex by vertex, with the distance test on and off. The
// picture and the state the lists leave (current colour, GL_TEXTURE_2D, the texture bound,
// the binding cache) must be the same.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/headless.h"
#include "render/cull.h"
#include "render/polylist.h"
#include "render/texture_binding.h"
#include "scene/scene.h"
#include "unit/program_run.h"

namespace {

struct Drawn {
  std::vector<std::uint8_t> picture;
  std::array<float, 4> colour{};
  bool texturing = false;
  int binding = 0, cached = 0, leftOut = 0;
};

// A ring of 300 static polygons (runs of textured ones, plain ones, one of an unknown flag
// now and then) and 160 plain ones, the list starting at angle start from the view's
// direction, around an eye in mode 0 looking down -z.
SceneSpec Ring(double start, int distanceTest) {
  SceneSpec plan;
  plan.settings.ControlMode = 0;
  plan.settings.fieldOfView = 60;
  plan.settings.farPlane = 1000;
  plan.settings.startTargetZ = -100;
  plan.settings.distanceCulling = distanceTest;
  plan.settings.drawDistance = 500;
  const char* textures[] = {"pal8.bmp", "", "rgb24.bmp", "pal8.bmp", ""};
  for (int k = 0; k < 300; ++k) {
    const double a = start + k * 2 * M_PI / 300, x = 60 * std::sin(a), z = -60 * std::cos(a);
    AddPolygon(plan.staticList, {{x, -8, z}, {x + 1.5, -8, z + 0.5}, {x + 1.5, 8, z + 0.5}},
               0.3 + k % 7 * 0.1, 0.5, 0.2 + k % 3 * 0.2, textures[k / 11 % 5]);
    if (k % 37 == 36) plan.staticList[plan.staticList.size() - 3].textured = 2;
  }
  for (int k = 0; k < 160; ++k) {
    const double a = start + k * 2 * M_PI / 160, x = 40 * std::sin(a), z = -40 * std::cos(a);
    AddPolygon(plan.plainList, {{x, 10, z}, {x + 2, 10, z}, {x + 2, 12, z - 2}, {x, 12, z - 2}},
               0.1 + k % 5 * 0.15, 0.6, 0.4);
  }
  return plan;
}

Drawn Draw(const SceneSpec& plan, bool cull, bool record) {
  viewCulling = cull;
  recordStaticLists = record;
  Drawn drawn;
  headless::Options options;
  options.screenWidth = 320;
  options.screenHeight = 240;
  options.captureFrames = true;
  RunScene(plan, 1, options, nullptr,
           [&](int) {
             glGetFloatv(GL_CURRENT_COLOR, drawn.colour.data());
             drawn.texturing = glIsEnabled(GL_TEXTURE_2D) == GL_TRUE;
             glGetIntegerv(GL_TEXTURE_BINDING_2D, &drawn.binding);
             drawn.cached = boundTexture;
             drawn.leftOut = RunsLeftOut();
             drawn.picture = headless::LastFrame().rgba;
           },
           {CITYWALK_TEST_DATA "/bmp/g/pal8.bmp", CITYWALK_TEST_DATA "/bmp/g/rgb24.bmp"});
  viewCulling = true;
  recordStaticLists = true;
  return drawn;
}

TEST(ViewCulling, LeavesEveryPixelAndTheListsStateAsDrawingEverything) {
  // The lists start in view, behind the eye, and just beside the view.
  for (const double start : {0.0, M_PI, 0.7}) {
    for (const int distanceTest : {0, 1}) {
      const SceneSpec plan = Ring(start, distanceTest);
      for (const bool record : {true, false}) {
        const Drawn all = Draw(plan, false, record);
        const Drawn culled = Draw(plan, true, record);
        const auto where = ::testing::Message() << "start " << start << " distance test "
                                                << distanceTest << " recorded " << record;
        ASSERT_FALSE(all.picture.empty()) << where;
        EXPECT_TRUE(all.picture == culled.picture) << where;
        EXPECT_EQ(all.colour, culled.colour) << where;
        EXPECT_EQ(all.texturing, culled.texturing) << where;
        EXPECT_EQ(all.binding, culled.binding) << where;
        EXPECT_EQ(all.cached, culled.cached) << where;
        EXPECT_EQ(all.leftOut, 0) << where;
        // Runs exist only when recorded (the distance test off); most of the ring is out of
        // a 60 degree view.
        if (record && distanceTest == 0) {
          EXPECT_GT(culled.leftOut, 4) << where;
        }
      }
    }
  }
}

}  // namespace
