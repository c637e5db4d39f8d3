// Control mode 4: the car of mode 2 watched from behind. The car follows the rules of the
// driver's seat without wrapping the heading, the view angle, the target or the lights (the
// smoothing and the chase camera do those), with twice the obstacle square.
#include "motion/chase_drive.h"

#include "motion/chase.h"
#include "motion/vehicle.h"
#include "motion/viewer.h"
#include "scene/scene.h"

void ChaseDriveStep() {
  SmoothHeadingStep(false);
  CarPaths(kChaseView);
}

void ChaseDriveBeforeAvatar() {
  if (forwardSpeed == 0) turnRate = 0;
  ChaseCamera(kModeChase);
  BodySway(kChaseView);
}
