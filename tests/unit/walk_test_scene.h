// A small walking scene for the walking and input tests: the start-up state with the values the
// loader derives from the defaults, control mode 1, the eye at the origin.
#pragma once

#include <vector>

#include "app/input.h"
#include "app/shell.h"
#include "motion/viewer.h"
#include "motion/walk.h"
#include "scene/scene.h"

// Start-up state of a mode-1 scene with the default motion settings and the given heading.
inline void SetUpWalkScene(double startHeading = 0) {
  ResetProgramState();
  ControlMode = 1;
  jumpStep = jumpHeight / 8;
  collisionStep = collisionRadius;
  walkDeflectLimit *= degToRad;
  acceleration = throttleStep;
  eyeX = eyeY = eyeZ = 0;
  heading = startHeading;
  headingRad = -(heading - 90) * degToRad;
  lookDistance = 100;
}

// Replaces the obstacle points by the given ones (index 1..n).
inline void SetObstacles(const std::vector<double>& xs, const std::vector<double>& zs) {
  obstacleCount = static_cast<int>(xs.size());
  obstacleX.assign(1, 0.0);
  obstacleZ.assign(1, 0.0);
  obstacleX.insert(obstacleX.end(), xs.begin(), xs.end());
  obstacleZ.insert(obstacleZ.end(), zs.begin(), zs.end());
}

// Presses or releases a key as the window procedure would.
inline void Press(WPARAM key) { OnKeyDown(key, 0); }
inline void Release(WPARAM key) { OnKeyUp(key, 0); }
