// The walking figure of mode 3: the walking rules of mode 1 without jump and crouch, with an
// obstacle square four times as large, the heading shown by the camera smoothed, and no
// camera or light work here (the chase camera follows in the drawing).
#include "motion/walker.h"

#include <climits>
#include <cmath>

#include "motion/camera.h"
#include "motion/vehicle.h"
#include "motion/viewer.h"
#include "motion/walk.h"
#include "scene/scene.h"

namespace {

constexpr double kSmoothDivisor = 2.0;
constexpr double kSmoothMinStep = 3.0;

// Half the difference truncated to a whole number of degrees, made non-negative; differences
// beyond the int range count as its largest value, one that is not a number as 0.
int WholeHalf(double difference) {
  const double half = std::trunc(difference / kSmoothDivisor);
  if (std::isnan(half)) return 0;
  if (std::fabs(half) >= static_cast<double>(INT_MAX)) return INT_MAX;
  return std::abs(static_cast<int>(half));
}

// Speeds a channel up towards +-walkMaxSpeed; a reversal starts at once from walkAccel.
void Accelerate(double& speed, bool positive) {
  if (positive) {
    if (speed < walkMaxSpeed) speed += walkAccel;
    if (speed < 0) speed = walkAccel;
  } else {
    if (speed > -walkMaxSpeed) speed -= walkAccel;
    if (speed > 0) speed = -walkAccel;
  }
}

// A move of the figure on one channel; true when every deflection was blocked (both speeds
// stop, the rest of the frame's motion is skipped).
bool FigureStep(StepChannel channel) {
  return DeflectedStep(channel, 4 * collisionRadius, 0.01, walkDeflectLimit, walkSlowdownFactor);
}

}  // namespace

// heading is wrapped only when the smoothing snaps to it.
void SmoothHeadingStep(bool wholeDegrees) {
  if (smoothHeading == heading) return;
  double n = wholeDegrees ? WholeHalf(heading - smoothHeading)
                          : std::fabs(heading - smoothHeading) / kSmoothDivisor;
  if (n < kSmoothMinStep) n = wholeDegrees ? std::trunc(kSmoothMinStep) : kSmoothMinStep;
  if (heading - smoothHeading < n && smoothHeading - heading < n) {
    WrapHeading();
    smoothHeading = heading;
  } else {
    if (smoothHeading < heading) smoothHeading += n;
    if (smoothHeading > heading) smoothHeading -= n;
  }
  ViewAngle();
}

// The order is fixed: smoothing, sideways step, turn, forward step. So the sideways step
// takes the heading before this frame's turn, the forward step the heading after it, and
// the camera still shows the smoothed heading from the start of the frame.
void WalkerStep() {
  SmoothHeadingStep(true);
  if (turnStyle == 1 && sideKey == 1) {
    motionKind = 4;
    moveAngle = (-heading + 90) * degToRad;
    if (keyRight == 1) Accelerate(sideSpeed, true);
    if (keyLeft == 1) Accelerate(sideSpeed, false);
    if (FigureStep(StepChannel::Side)) return;
  }
  if (turnStyle == 2 && sideKey == 1) {
    motionKind = 3;
    if (keyLeft == 1) turnRate = walkTurnStep;
    if (keyRight == 1) turnRate = -walkTurnStep;
    if (keyDown == 1) turnRate = -turnRate;  // mirrored while walking back
    heading += turnRate;
  }
  if (moveKey == 1) {
    moveAngle = -heading * degToRad;
    if (keyUp == 1) {
      motionKind = 1;
      Accelerate(forwardSpeed, true);
    }
    if (keyDown == 1) {
      motionKind = 2;
      Accelerate(forwardSpeed, false);
    }
    FigureStep(StepChannel::Forward);
  }
}

void ChaseDriveStep() {
  SmoothHeadingStep(false);
  ChaseDrivePaths();
}
