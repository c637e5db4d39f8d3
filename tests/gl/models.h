// Models for the drawing tests: one moving object loaded as the program loads a scene, and
// the avatar's tables laid out by hand.
#pragma once

#include <vector>

#include "common/scene_load.h"
#include "gl/recorder.h"
#include "scene/scene.h"

// One object at (10, -1, 20), heading 30 degrees and offset 5, of triangles closing at the
// given part tags; part 0 pivots at (1, 2, 3) and swings about x and z by 4 a frame, part 1
// stands still at the origin. The recorder's log starts empty.
inline void LoadObject(const std::vector<int>& tags, int nearTest = 0, double nearDistance = 0) {
  SceneSpec plan;
  plan.settings.ControlMode = 1;
  SceneObjectSpec o;
  o.x = 10;
  o.y = -1;
  o.z = 20;
  o.headingDeg = 30;
  o.headingOffset = 5;
  o.nearTest = nearTest;
  o.nearDistance = nearDistance;
  for (std::size_t k = 0; k < tags.size(); ++k)
    AddPolygon(o.vertices, {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}}, 0.5, 0.5, 0.5, "", tags[k]);
  o.parts.resize(2);
  ScenePartRowSpec& row = o.parts[0][0];
  row.offsetX = 1;
  row.offsetY = 2;
  row.offsetZ = 3;
  row.swingX = 30;
  row.swingZ = 30;
  row.steps = 7.5;  // 30 / 7.5 = 4 a frame
  plan.objects.push_back(o);
  LoadScene(plan);
  recorder::Clear();
}

// An avatar list of n vertices, all zero, no polygon closed, no part carrying any.
inline void SizeAvatarList(int n) {
  avatarVertexCount = n;
  for (auto* c : {&avatarRed, &avatarGreen, &avatarBlue, &avatarX, &avatarY, &avatarZ, &avatarTexS,
                  &avatarTexT})
    c->assign(n + 1, 0.0);
  for (auto* c : {&avatarPolyEnd, &avatarTextured, &avatarTexId}) c->assign(n + 1, 0);
  avatarPartOf.assign(n + 1, kNoPart);
  avatarPolyEnd[0] = 1;
}
