// The chase views: the heading smoothing and the chase camera. The boom is extended step by
// step from the body until it reaches its full length (lookRefDistanceSaved) or until the
// camera would stand inside a post's square; the camera distance follows at once when
// shorter, eases out when longer. While the heading shown still lags the real one, the camera
// pulls in faster.
#include "motion/chase.h"

#include <climits>
#include <cmath>
#include <cstdlib>

#include "motion/camera.h"
#include "motion/step.h"
#include "motion/viewer.h"
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

// The camera on the boom at distance d behind the body.
void PlaceCamera(double d) {
  lookEyeX = eyeX - std::cos(headingRad) * d;
  lookEyeZ = eyeZ + std::sin(headingRad) * d;
}

// The boom length this frame: b at a time until a post's square holds the camera (then one
// step back) or the full length is reached. A step that is not a positive finite number
// would never end the search: the full length is taken then; and the search stops after
// kMaxBoomExtensions extensions where it has got to.
double BoomLength(double b) {
  if (!(b > 0 && std::isfinite(b))) return lookRefDistanceSaved;
  double length = b;
  PlaceCamera(length);
  for (int extensions = 0;; ++extensions) {
    if (ObstacleHit(lookEyeX, lookEyeZ, collisionRadius)) return length - b;
    if (length >= lookRefDistanceSaved) return lookRefDistanceSaved;
    if (extensions == kMaxBoomExtensions) return length;
    length += b;
    PlaceCamera(length);
  }
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

void ChaseCamera(int mode) {
  const bool walking = mode == kModeFollow;
  const double b = walking ? walkStep : driveStep;
  const double grow = walking ? walkStepTen : driveStepTriple;
  const double shrink = walking ? walkMaxSpeed : driveMaxSpeed;
  const double lag = std::fabs(smoothHeading - heading);

  lookRefDistance = BoomLength(b);
  const double length = lookRefDistance;
  if (walking && sideKey == 1 && turnStyle == 1) {
    cameraDistance = length;  // sidestepping: the camera keeps to the boom
  } else {
    if (cameraDistance < length) {
      cameraDistance += grow;
      if (cameraDistance > length) cameraDistance = length;
    }
    if (cameraDistance > length) {
      cameraDistance -= 3 * lag + shrink;
      if (cameraDistance < length) cameraDistance = length;
    }
  }
  PlaceCamera(cameraDistance);
  targetX = lookEyeX + std::cos(headingRad) * lookRefDistanceSaved;
  targetZ = lookEyeZ - std::sin(headingRad) * lookRefDistanceSaved;
}

void LoadChaseView() {
  lookEyeY = std::tan(lookPitch * degToRad) * cameraDistance + modeEyeY;
  LoadLookAt(lookEyeX, lookEyeY, lookEyeZ, targetX, targetY, targetZ);
}
