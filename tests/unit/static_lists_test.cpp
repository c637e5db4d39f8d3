// The plain and static lists recorded into display lists leave OpenGL and the texture-binding
// cache as the immediate walk leaves them (the objects and the avatar drawn after them rely on
// it): the current colour, GL_TEXTURE_2D, the texture bound, and boundTexture. With the
// distance test on nothing is recorded.
#include <gtest/gtest.h>

#include <array>

#include "render/polylist.h"
#include "render/texture_binding.h"
#include "scene/scene.h"
#include "unit/program_run.h"

namespace {

struct ListState {
  std::array<float, 4> colour{};
  bool texturing = false;
  int binding = 0;
  int cached = 0;
  bool operator==(const ListState&) const = default;
};

// The state after the first frame of a scene without objects or avatar in mode 0: what the
// static list left.
ListState StateAfterLists(const SceneSpec& plan, bool record) {
  recordStaticLists = record;
  ListState state;
  RunScene(plan, 1, {}, nullptr,
           [&](int) {
             glGetFloatv(GL_CURRENT_COLOR, state.colour.data());
             state.texturing = glIsEnabled(GL_TEXTURE_2D) == GL_TRUE;
             glGetIntegerv(GL_TEXTURE_BINDING_2D, &state.binding);
             state.cached = boundTexture;
           },
           {CITYWALK_TEST_DATA "/bmp/g/pal8.bmp", CITYWALK_TEST_DATA "/bmp/g/rgb24.bmp"});
  recordStaticLists = true;
  return state;
}

SceneSpec Scene(const std::vector<std::pair<std::string, int>>& polygons, int culling = 0) {
  SceneSpec plan;
  plan.settings.ControlMode = 0;
  plan.settings.fieldOfView = 90;
  plan.settings.farPlane = 1000;
  plan.settings.startTargetZ = -100;
  plan.settings.distanceCulling = culling;
  plan.settings.drawDistance = 150;
  double x = -100;
  for (const auto& [texture, flag] : polygons) {
    AddPolygon(plan.staticList, {{x, -10, -100}, {x + 20, -10, -100}, {x + 20, 10, -100}},
               0.25 + x / 1000, 0.5, 0.75, texture);
    plan.staticList[plan.staticList.size() - 3].textured = flag;
    x += 30;
  }
  AddPolygon(plan.plainList, {{0, 20, -100}, {10, 20, -100}, {10, 30, -100}}, 0.9, 0.1, 0.1);
  return plan;
}

TEST(StaticLists, LeaveTheStateTheImmediateWalkLeaves) {
  const std::vector<SceneSpec> scenes = {
      // ends textured, after a hand-over from plain
      Scene({{"pal8.bmp", 1}, {"", 0}, {"rgb24.bmp", 1}}),
      // ends plain after textured polygons
      Scene({{"pal8.bmp", 1}, {"rgb24.bmp", 1}, {"", 0}}),
      // ends with a polygon of an unknown flag (its colour is set, nothing drawn)
      Scene({{"rgb24.bmp", 1}, {"", 2}}),
      // a missing texture: drawn untextured
      Scene({{"pal8.bmp", 1}, {"missing.bmp", 1}}),
  };
  for (std::size_t k = 0; k < scenes.size(); ++k) {
    const ListState immediate = StateAfterLists(scenes[k], false);
    const ListState recorded = StateAfterLists(scenes[k], true);
    EXPECT_EQ(recorded, immediate) << "scene " << k;
    EXPECT_EQ(immediate.binding, immediate.cached) << "scene " << k;
  }
  // The walk's state, worked out: the last polygon's colour, and what the last drawn polygon
  // needed.
  const ListState endsTextured = StateAfterLists(scenes[0], true);
  EXPECT_FLOAT_EQ(endsTextured.colour[0], 0.25f + (-100 + 60) / 1000.0f);
  EXPECT_TRUE(endsTextured.texturing);
  EXPECT_NE(endsTextured.cached, 0);
  EXPECT_FALSE(StateAfterLists(scenes[1], true).texturing);
  EXPECT_FALSE(StateAfterLists(scenes[3], true).texturing);
}

TEST(StaticLists, NothingIsRecordedWithTheDistanceTestOn) {
  // What the distance test draws depends on where the eye is: no recording could hold it.
  const SceneSpec plan = Scene({{"pal8.bmp", 1}, {"pal8.bmp", 1}, {"pal8.bmp", 1}}, 1);
  recordStaticLists = true;
  int lists = -1;
  RunScene(plan, 1, {}, nullptr, [&](int) { lists = glIsList(1) ? 1 : 0; });
  EXPECT_EQ(lists, 0);
  RunScene(Scene({{"pal8.bmp", 1}}), 1, {}, nullptr, [&](int) { lists = glIsList(1) ? 1 : 0; });
  EXPECT_EQ(lists, 1);
}

}  // namespace
