// First-person walking (control mode 1): crouch, jump, sidestep, turn and walk.
#include "motion/walk.h"

#include "motion/camera.h"
#include "motion/step.h"
#include "motion/viewer.h"
#include "scene/scene.h"

namespace {

// The walking camera after a sidestep, a turn or a walk.
void GroundCamera() { WalkCamera(crouchOffset, {0.0}, true, true); }

// The walking camera while crouching down or standing up: the stored target, no lights.
void CrouchCamera() { WalkCamera(crouchOffset, {crouchOffset}, false, false); }

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

bool JumpMove() {
  SetEyeStep(moveAngle, forwardSpeed);
  ApplyEyeStep();
  if (ObstacleHit(eyeX, eyeZ, collisionRadius)) {
    UndoEyeStep();
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
    if (keyRight == 1) Accelerate(sideSpeed, true, walkMaxSpeed, walkAccel);
    if (keyLeft == 1) Accelerate(sideSpeed, false, walkMaxSpeed, walkAccel);
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
    if (keyUp == 1) Accelerate(forwardSpeed, true, walkMaxSpeed, walkAccel);
    if (keyDown == 1) Accelerate(forwardSpeed, false, walkMaxSpeed, walkAccel);
    if (DeflectedStep(StepChannel::Forward, collisionRadius, 0.01, walkDeflectLimit,
                      walkSlowdownFactor))
      return;
    GroundCamera();
  }
}
