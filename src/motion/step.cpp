// The obstacle-tested step, the obstacle test and the speed-up rule.
#include "motion/step.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "motion/point_grid.h"
#include "motion/viewer.h"
#include "scene/scene.h"

namespace {

// The state of one deflection channel.
struct Channel {
  double& speed;
  double& saved;
  double& deflection;
  int& phase;
  double& deflectHeading;
};

// The forward or the sidestep channel's variables.
Channel ChannelOf(StepChannel channel) {
  if (channel == StepChannel::Side)
    return {sideSpeed, sideSpeedSaved, sideDeflection, sideDeflectPhase, sideDeflectHeading};
  return {forwardSpeed, forwardSpeedSaved, forwardDeflection, forwardDeflectPhase,
          forwardDeflectHeading};
}

}  // namespace

void SetEyeStep(double angle, double speed) {
  stepZ = std::cos(angle) * speed;
  stepX = std::sin(angle) * speed;
}

void ApplyEyeStep() {
  eyeX -= stepX;
  eyeZ -= stepZ;
}

void UndoEyeStep() {
  eyeX += stepX;
  eyeZ += stepZ;
}

bool ObstacleHit(double x, double z, double halfSize) { return PostsHit(x, z, halfSize); }

// stepBlocked is deliberately not cleared at the start: a step that follows a give-up or a
// blocked jump move is finished like a deflected one even when it is free, that is undone
// and redone along the channel's stored deflected heading (with the full speed, since the
// deflection is 0 by then). The speed keeps its reduced value after a deflected step, so the
// next frame accelerates from there.
bool DeflectedStep(StepChannel which, double halfSize, double increment, double limit,
                   double slowdown, const DeflectVariant& variant) {
  const Channel channel = ChannelOf(which);
  SetEyeStep(moveAngle, channel.speed);
  ApplyEyeStep();
  channel.saved = channel.speed;

  int probes = 0;
  while (ObstacleHit(eyeX, eyeZ, halfSize)) {
    UndoEyeStep();
    stepBlocked = 1;
    channel.speed = channel.saved < 0 ? -collisionStep : collisionStep;
    if (channel.phase == 1) {
      channel.deflection += increment;
      if (channel.deflection >= limit) {
        channel.phase = 2;
        channel.deflection = 0;
      }
    }
    if (channel.phase == 2) channel.deflection -= increment;
    if ((channel.phase == 2 && channel.deflection <= -limit) || ++probes > kMaxDeflectProbes) {
      // Given up: the eye stays where it was before the step.
      channel.phase = 1;
      channel.deflection = 0;
      forwardSpeed = 0;
      if (variant.giveUpStopsSide) sideSpeed = 0;
      stepBlocked = 1;
      return true;
    }
    channel.deflectHeading = moveAngle + channel.deflection;
    SetEyeStep(channel.deflectHeading, channel.speed);
    ApplyEyeStep();
  }

  if (stepBlocked == 1) {
    UndoEyeStep();
    if (variant.beforeSlowdown) variant.beforeSlowdown();
    channel.deflection = std::fabs(channel.deflection) * slowdown;
    if (channel.deflection < 1) channel.deflection = 1;
    channel.speed = channel.saved / channel.deflection;
    SetEyeStep(channel.deflectHeading, channel.speed);
    ApplyEyeStep();
    stepBlocked = 0;
    channel.deflection = 0;
    channel.phase = 1;
  }
  travelZ -= stepZ;
  travelX -= stepX;
  return false;
}

void Accelerate(double& speed, bool positive, double top, double step) {
  if (positive) {
    if (speed < top) speed += step;
    if (speed < 0) speed = step;
  } else {
    if (speed > -top) speed -= step;
    if (speed > 0) speed = -step;
  }
}
