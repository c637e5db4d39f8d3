// A small walking scene for the walking and input tests, loaded by the program's own reader:
// control mode 1, the default motion settings, the eye at the origin.
#pragma once

#include <cmath>
#include <utility>
#include <vector>

#include "common/keys.h"
#include "common/scene_load.h"
#include "motion/viewer.h"
#include "motion/walk.h"
#include "scene/scene.h"

// Loads the walking scene with the given heading (degrees; 0 looks north, -z), the look-at
// target 100 ahead, and posts at the given (x, z) points.
inline void SetUpWalkScene(double startHeading = 0,
                           std::vector<std::pair<double, double>> posts = {}) {
  SceneSpec plan;
  plan.settings.ControlMode = 1;
  plan.settings.startHeadingDeg = -startHeading;
  const double ahead = (90 - startHeading) * degToRad;
  plan.settings.startTargetX = 100 * std::cos(ahead);
  plan.settings.startTargetZ = -100 * std::sin(ahead);
  plan.posts = std::move(posts);
  LoadScene(plan);
}
