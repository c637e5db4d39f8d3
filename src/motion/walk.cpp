// Walking mode and the obstacle-tested step.
#include "motion/walk.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "motion/camera.h"
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

// Sets the step of the given speed along the given heading (radians).
void SetStep(double angle, double speed) {
  stepZ = std::cos(angle) * speed;
  stepX = std::sin(angle) * speed;
}

// Moves the eye by the current step.
void ApplyStep() {
  eyeX -= stepX;
  eyeZ -= stepZ;
}

// Takes the current step back.
void UndoStep() {
  eyeX += stepX;
  eyeZ += stepZ;
}

// The walking camera after a sidestep, a turn or a walk.
void GroundCamera() { WalkCamera(crouchOffset, {0.0}, true, true); }

// The walking camera while crouching down or standing up: the stored target, no lights.
void CrouchCamera() { WalkCamera(crouchOffset, {crouchOffset}, false, false); }

// Speeds up a channel toward +walkMaxSpeed (positive) or -walkMaxSpeed; a reversal starts
// at once from walkAccel in the new direction.
void Accelerate(double& speed, bool positive) {
  if (positive) {
    if (speed < walkMaxSpeed) speed += walkAccel;
    if (speed < 0) speed = walkAccel;
  } else {
    if (-walkMaxSpeed < speed) speed -= walkAccel;
    if (speed > 0) speed = -walkAccel;
  }
}

// Crouch, stand up or jump. Returns true when the frame's motion ends here (a jump frame).
bool VerticalPhase() {
  if (keyCtrl == 1) {
    if (crouchOffset < crouchDepth) {
      crouchOffset += crouchDepth / 2;
      CrouchCamera();
    }
    return false;
  }
  if (crouchOffset > 0) {
    crouchOffset -= crouchDepth / 2;
    if (crouchOffset < 0) crouchOffset = 0;
    CrouchCamera();
    return false;
  }
  if (jumpFalling == 1) {
    jumpLift -= jumpStep;
    if (jumpLift <= 0) {
      jumpLift = 0;
      jumpFalling = 0;
    }
    if (keySpace == 0) jumpLatch = 0;
    JumpMove();
    return true;
  }
  if ((keySpace == 1 || jumpRising == 1) && jumpLift < jumpHeight && jumpLatch == 0) {
    jumpRising = 1;
    jumpLift += jumpStep;
    if (jumpLift >= jumpHeight) {
      jumpLift = jumpHeight;
      jumpRising = 0;
      jumpFalling = 1;
      jumpLatch = 1;
    }
    if (JumpMove()) {
      jumpRising = 0;
      jumpFalling = 1;
      jumpLatch = 1;
    }
    return true;
  }
  return false;
}

}  // namespace

bool ObstacleHit(double x, double z, double halfSize) {
  // The tables may hold fewer rows than the count claims; only rows that exist are tested.
  const std::size_t rows = std::min(obstacleX.size(), obstacleZ.size());
  for (int i = 1; i <= obstacleCount && static_cast<std::size_t>(i) < rows; ++i) {
    if (x - obstacleX[i] < halfSize && obstacleX[i] - x < halfSize && z - obstacleZ[i] < halfSize &&
        obstacleZ[i] - z < halfSize)
      return true;
  }
  return false;
}

// stepBlocked is deliberately not cleared at the start: a step that follows a give-up or a
// blocked jump move is finished like a deflected one even when it is free, that is undone
// and redone along the channel's stored deflected heading (with the full speed, since the
// deflection is 0 by then). The speed keeps its reduced value after a deflected step, so the
// next frame accelerates from there.
bool DeflectedStep(StepChannel which, double halfSize, double increment, double limit,
                   double slowdown, const DeflectVariant& variant) {
  const Channel channel = ChannelOf(which);
  SetStep(moveAngle, channel.speed);
  ApplyStep();
  channel.saved = channel.speed;

  int probes = 0;
  while (ObstacleHit(eyeX, eyeZ, halfSize)) {
    UndoStep();
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
    SetStep(channel.deflectHeading, channel.speed);
    ApplyStep();
  }

  if (stepBlocked == 1) {
    UndoStep();
    if (variant.beforeSlowdown) variant.beforeSlowdown();
    channel.deflection = std::fabs(channel.deflection) * slowdown;
    if (channel.deflection < 1) channel.deflection = 1;
    channel.speed = channel.saved / channel.deflection;
    SetStep(channel.deflectHeading, channel.speed);
    ApplyStep();
    stepBlocked = 0;
    channel.deflection = 0;
    channel.phase = 1;
  }
  travelZ -= stepZ;
  travelX -= stepX;
  return false;
}

bool JumpMove() {
  SetStep(moveAngle, forwardSpeed);
  ApplyStep();
  if (ObstacleHit(eyeX, eyeZ, collisionRadius)) {
    UndoStep();
    forwardSpeed = 0;
    sideSpeed = 0;
    stepBlocked = 1;
    return true;
  }
  stepBlocked = 0;
  travelZ -= stepZ;
  travelX -= stepX;
  WalkCamera(-jumpLift, {-jumpLift}, true, true);
  return false;
}

// While Ctrl is held or the viewer is still standing up, a jump does not advance; it goes on
// where it stopped once the viewer stands again.
void WalkModeStep() {
  if (VerticalPhase()) return;

  if (turnStyle == 1 && sideKey == 1) {
    moveAngle = (90 - heading) * degToRad;
    if (keyRight == 1) Accelerate(sideSpeed, true);
    if (keyLeft == 1) Accelerate(sideSpeed, false);
    if (DeflectedStep(StepChannel::Side, collisionRadius, 0.01, walkDeflectLimit,
                      walkSlowdownFactor))
      return;
    GroundCamera();
  }

  if (turnStyle == 2 && sideKey == 1) {
    if (keyLeft == 1) turnRate = walkTurnStep;
    if (keyRight == 1) turnRate = -walkTurnStep;
    if (keyDown == 1) turnRate = -turnRate;  // mirrored while reversing
    heading += turnRate;
    WrapHeading();
    ViewAngle();
    if (moveKey != 1) {
      GroundCamera();
      return;
    }
  }

  if (moveKey == 1) {
    moveAngle = -heading * degToRad;
    if (keyUp == 1) Accelerate(forwardSpeed, true);
    if (keyDown == 1) Accelerate(forwardSpeed, false);
    if (DeflectedStep(StepChannel::Forward, collisionRadius, 0.01, walkDeflectLimit,
                      walkSlowdownFactor))
      return;
    GroundCamera();
  }
}
