// The walking figure of mode 3: the walking rules of mode 1 without jump and crouch, with an
// obstacle square four times as large, the heading shown by the camera smoothed, and the
// chase camera placed right before the figure is drawn.
#include "motion/walker.h"

#include "motion/chase.h"
#include "motion/step.h"
#include "motion/viewer.h"
#include "scene/scene.h"

namespace {

// A move of the figure on one channel; true when every deflection was blocked (both speeds
// stop, the rest of the frame's motion is skipped).
bool FigureStep(StepChannel channel) {
  return DeflectedStep(channel, 4 * collisionRadius, 0.01, walkDeflectLimit, walkSlowdownFactor);
}

}  // namespace

// The order is fixed: smoothing, sideways step, turn, forward step. So the sideways step
// takes the heading before this frame's turn, the forward step the heading after it, and
// the camera still shows the smoothed heading from the start of the frame.
void WalkerStep() {
  SmoothHeadingStep(true);
  if (turnStyle == 1 && sideKey == 1) {
    motionKind = kFigureSidestep;
    moveAngle = (-heading + 90) * degToRad;
    if (keyRight == 1) Accelerate(sideSpeed, true, walkMaxSpeed, walkAccel);
    if (keyLeft == 1) Accelerate(sideSpeed, false, walkMaxSpeed, walkAccel);
    if (FigureStep(StepChannel::Side)) return;
  }
  if (turnStyle == 2 && sideKey == 1) {
    motionKind = kFigureTurning;
    if (keyLeft == 1) turnRate = walkTurnStep;
    if (keyRight == 1) turnRate = -walkTurnStep;
    if (keyDown == 1) turnRate = -turnRate;  // mirrored while walking back
    heading += turnRate;
  }
  if (moveKey == 1) {
    moveAngle = -heading * degToRad;
    if (keyUp == 1) {
      motionKind = kFigureForward;
      Accelerate(forwardSpeed, true, walkMaxSpeed, walkAccel);
    }
    if (keyDown == 1) {
      motionKind = kFigureBack;
      Accelerate(forwardSpeed, false, walkMaxSpeed, walkAccel);
    }
    FigureStep(StepChannel::Forward);
  }
}

void WalkerBeforeAvatar() {
  if (moveKey == 0 && sideKey == 0 && smoothHeading == heading) motionKind = kFigureIdle;
  ChaseCamera(kModeFollow);
}
