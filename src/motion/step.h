// The obstacle-tested step that every mode moves by, the obstacle test itself and the speed-up
// rule that the walking modes and the moving objects share.
#pragma once

#include <functional>

// The viewer's two deflection channels (forward/back and sidestep), each with its own speed,
// saved speed, deflection, phase and deflected heading (motion/viewer.h).
enum class StepChannel { Forward, Side };

// What a mode changes in the shared obstacle-tested step.
struct DeflectVariant {
  // Called once a deflected heading was found free and its probe undone, right before the
  // slow-down and the final step; the channel's speed, deflection and deflected heading are
  // still those of the search. The vehicles correct their heading here.
  std::function<void()> beforeSlowdown;
  // Whether giving up also stops the sidestep speed (walking) or leaves it (vehicles).
  bool giveUpStopsSide = true;
};

// No deflection search probes more often than this in one step: every limit up to a full turn
// each way is searched in full at the walking increment, and a nonsense limit from the scene
// file (huge, not a number) cannot hang the program when the viewer is boxed in.
inline constexpr int kMaxDeflectProbes = 2000;

// One obstacle-tested step of the channel's speed along moveAngle. A blocked step is retried
// along headings turned by +increment, +2 increment, ... below limit, then -increment, ...
// above -limit (radians), each a probe of collisionStep from the position before the step; a
// free heading is then walked with the saved speed divided by max(1, |deflection| x slowdown).
// halfSize: half-size of the square around each obstacle point. Returns true when every
// deflection was blocked and the step was given up (the eye stays put, both speeds stop).
bool DeflectedStep(StepChannel channel, double halfSize, double increment, double limit,
                   double slowdown, const DeflectVariant& variant = {});

// Sets the eye's step (stepX, stepZ) of the given speed along the given heading (radians).
void SetEyeStep(double angle, double speed);
// Moves the eye by the current step.
void ApplyEyeStep();
// Takes the current step back.
void UndoEyeStep();

// True when (x, z) lies strictly inside the square of half-size halfSize around one of the
// obstacle points 1..obstacleCount.
bool ObstacleHit(double x, double z, double halfSize);

// Speeds speed up by step towards +top (positive) or -top; a reversal starts at once from
// step in the new direction. The walker of modes 1 and 3 and every moving object speed up so.
void Accelerate(double& speed, bool positive, double top, double step);
