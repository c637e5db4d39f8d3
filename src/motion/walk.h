// First-person walking (control mode 1). It walks by the obstacle-tested step of every mode
// (motion/step.h), which its users find here too.
#pragma once

#include "motion/step.h"

// One frame of walking: crouch, stand up, jump, then sidestep, turn and walk.
void WalkModeStep();

// The horizontal move of a jump frame along the last moveAngle at forwardSpeed. Returns true
// when it was blocked (the step is undone and both speeds stop).
bool JumpMove();
