// Control mode 2: the car driven from the driver's seat.
#include "motion/drive.h"

#include "motion/camera.h"
#include "motion/vehicle.h"
#include "motion/viewer.h"
#include "scene/scene.h"

void DriveStep() { CarPaths(kDriverSeat); }

void DriveBeforeAvatar() {
  if (forwardSpeed == 0) turnRate = 0;
  BodySway(kDriverSeat);
  LoadLookAt(eyeX, eyeY + crouchOffset, eyeZ, targetX, targetY + crouchOffset, targetZ);
}
