// First-person walking (control mode 1) and the obstacle-tested step shared by every mode.
#pragma once

// One frame of walking: crouch, stand up, jump, then sidestep, turn and walk.
void WalkModeStep();

// The viewer's two deflection channels (forward/back and sidestep), each with its own speed,
// saved speed, deflection, phase and deflected heading (motion/viewer.h).
enum class StepChannel { Forward, Side };

// One obstacle-tested step along moveAngle on the given channel. halfSize: the obstacle
// square's half-size; increment: deflection tried per probe (radians); limit: largest
// deflection; slowdown: slow-down factor after a deflected step. Returns true when every
// deflection was blocked and the step was given up.
bool DeflectedStep(StepChannel channel, double halfSize, double increment, double limit,
                   double slowdown);

// The horizontal move of a jump frame. Returns true when it was blocked.
bool JumpMove();

// True when (x, z) lies strictly inside the square of half-size halfSize around an obstacle
// point; the first hit in index order is the one that counts.
bool ObstacleHit(double x, double z, double halfSize);
