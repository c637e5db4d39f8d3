// The moving objects and the avatar replayed from their recorded display lists give the same
// pictures as drawn vertex by vertex, on Mesa: in the four control modes, with the distance
// test on and off and culling on and off, over frames in which the view turns, the objects
// around the viewer cross the edges of the view and their parts swing. After every frame the
// state left must be the same too: the current colour and texture coordinates, texturing, the
// texture bound and the binding cache, the modelview matrix to the last bit, and the part
// bookkeeping.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/headless.h"
#include "render/avatar.h"
#include "render/cull.h"
#include "render/objects.h"
#include "render/parts.h"
#include "render/polylist.h"
#include "render/record.h"
#include "render/texture_binding.h"
#include "scene/scene.h"
#include "unit/program_run.h"

namespace {

struct Frame {
  std::vector<std::uint8_t> picture;
  std::array<float, 4> colour{}, texCoord{};
  std::array<double, 16> modelview{};
  bool texturing = false;
  int binding = 0;
  std::vector<double> bookkeeping;
  bool operator==(const Frame&) const = default;
};

// A block of quads around (0, -3, 0): plain and textured, switching between parts 0 and 1 and
// none every few quads, one of an unknown flag.
std::vector<SceneVertexSpec> Model(double red) {
  std::vector<SceneVertexSpec> list;
  const char* textures[] = {"pal8.bmp", "", "rgb24.bmp"};
  const int tags[] = {kNoPart, 0, 0, 1, kNoPart, 1, 0};
  for (int q = 0; q < 21; ++q) {
    const double x = q % 7 - 3.5, y = -1 - q / 7 * 1.5;
    AddPolygon(list, {{x, y, 0}, {x + 0.9, y, 0}, {x + 0.9, y - 1.2, 0.5}, {x, y - 1.2, 0.5}}, red,
               0.3 + q % 3 * 0.2, 0.5, textures[q % 3], tags[q % 7]);
    if (q == 10) list[list.size() - 4].textured = 2;
  }
  return list;
}

// Part 0 swings about x from a pivot beside the block, part 1 about y and z from above it.
std::vector<ScenePartSpec> Parts() {
  std::vector<ScenePartSpec> parts(2);
  for (ScenePartRowSpec& row : parts[0]) {
    row.offsetX = 2;
    row.offsetY = -3;
    row.swingX = 40;
    row.steps = 4;
  }
  for (ScenePartRowSpec& row : parts[1]) {
    row.offsetY = -6;
    row.swingY = 30;
    row.swingZ = -25;
    row.steps = 3;
  }
  return parts;
}

// Eight objects in a ring of radius 25 around the viewer, a street of static quads for the
// distance test, and the avatar, in control mode mode.
SceneSpec Scene(int mode, int distanceTest) {
  SceneSpec plan;
  plan.settings.ControlMode = mode;
  plan.settings.fieldOfView = 60;
  plan.settings.farPlane = 500;
  plan.settings.distanceCulling = distanceTest;
  plan.settings.drawDistance = 30;
  plan.settings.modeEyeZ = 20;
  plan.settings.modeEyeY = -8;
  for (int k = 0; k < 40; ++k) {
    const double z = -k * 4.0;
    AddPolygon(plan.staticList, {{-6, 0, z}, {-6, -6, z}, {-6, -6, z - 3}, {-6, 0, z - 3}}, 0.6,
               0.5, 0.4, k % 2 ? "rgb24.bmp" : "pal8.bmp");
  }
  for (int o = 0; o < 8; ++o) {
    SceneObjectSpec object;
    const double a = o * M_PI / 4 + 0.3;
    object.x = 25 * std::sin(a);
    object.z = -25 * std::cos(a);
    object.headingDeg = o * 50;
    object.vertices = Model(0.1 + o * 0.1);
    object.parts = Parts();
    plan.objects.push_back(object);
  }
  plan.avatarList = Model(0.9);
  plan.avatarParts = Parts();
  return plan;
}

std::vector<Frame> Draw(const SceneSpec& plan, bool lists, bool cull) {
  recordStaticLists = lists;
  viewCulling = cull;
  const int least = minModelRunVertices;
  minModelRunVertices = 1;  // the models' runs are short: recorded all the same
  std::vector<Frame> frames;
  headless::Options options;
  options.screenWidth = 160;
  options.screenHeight = 120;
  options.captureFrames = true;
  RunScene(
      plan, 8, options,
      [](int n) {
        if (n == 2) headless::PressKey(VK_LEFT);
        if (n == 2) headless::PressKey(VK_UP);
        if (n == 5) headless::MoveMouse(40, 10);
      },
      [&](int) {
        Frame f;
        f.picture = headless::LastFrame().rgba;
        glGetFloatv(GL_CURRENT_COLOR, f.colour.data());
        glGetFloatv(GL_CURRENT_TEXTURE_COORDS, f.texCoord.data());
        glGetDoublev(GL_MODELVIEW_MATRIX, f.modelview.data());
        f.texturing = glIsEnabled(GL_TEXTURE_2D) == GL_TRUE;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &f.binding);
        f.bookkeeping = {static_cast<double>(boundTexture),
                         static_cast<double>(activePart),
                         static_cast<double>(partTransformActive),
                         static_cast<double>(avatarPartActive),
                         savedAngleX,
                         savedAngleY,
                         savedAngleZ};
        frames.push_back(f);
      },
      {CITYWALK_TEST_DATA "/bmp/g/pal8.bmp", CITYWALK_TEST_DATA "/bmp/g/rgb24.bmp"});
  recordStaticLists = true;
  viewCulling = true;
  minModelRunVertices = least;
  return frames;
}

TEST(ModelListPictures, ObjectsAndAvatarFromListsDrawAsVertexByVertex) {
  for (int mode = 1; mode <= 4; ++mode) {
    for (const int distanceTest : {0, 1}) {
      const SceneSpec plan = Scene(mode, distanceTest);
      for (const bool cull : {true, false}) {
        const std::vector<Frame> immediate = Draw(plan, false, cull);
        const std::vector<Frame> lists = Draw(plan, true, cull);
        ASSERT_EQ(immediate.size(), 8u);
        ASSERT_EQ(lists.size(), 8u);
        for (std::size_t n = 0; n < immediate.size(); ++n) {
          const auto where = ::testing::Message()
                             << "mode " << mode << " distance test " << distanceTest << " culling "
                             << cull << " frame " << n + 1;
          ASSERT_FALSE(immediate[n].picture.empty()) << where;
          EXPECT_TRUE(lists[n].picture == immediate[n].picture) << where;
          EXPECT_EQ(lists[n].colour, immediate[n].colour) << where;
          EXPECT_EQ(lists[n].texCoord, immediate[n].texCoord) << where;
          EXPECT_EQ(lists[n].modelview, immediate[n].modelview) << where;
          EXPECT_EQ(lists[n].texturing, immediate[n].texturing) << where;
          EXPECT_EQ(lists[n].binding, immediate[n].binding) << where;
          EXPECT_EQ(lists[n].bookkeeping, immediate[n].bookkeeping) << where;
        }
      }
    }
  }
}

}  // namespace
