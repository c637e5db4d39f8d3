// Moving object motion: each object speeds up to its top speed, turns on a scripted cycle,
// and steers around its own points and the scene's posts. Objects never test each other or
// the viewer.
#include "motion/objects.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>

#include "motion/point_grid.h"
#include "motion/step.h"
#include "motion/viewer.h"
#include "scene/scene.h"

namespace {

// An object's turn clock counts its frames: at clock 151 to 219 its heading turns by -2
// degrees a frame, at 370 to 439 by +2; at 439 the clock goes back to 0 before its count.
constexpr int kFirstTurnAfter = 150;
constexpr int kFirstTurnBefore = 220;
constexpr int kSecondTurnFrom = 370;
constexpr int kTurnCycleFrames = 440;

// The step being tried, subtracted from objectCurX and objectCurZ.
double objectStepX, objectStepZ;

// Takes a step of the given length along the given direction (radians).
void TakeStep(int i, double angle, double length) {
  objectStepZ = std::cos(angle) * length;
  objectStepX = std::sin(angle) * length;
  objectCurX[i] -= objectStepX;
  objectCurZ[i] -= objectStepZ;
}

// Takes the last step back.
void UndoStep(int i) {
  objectCurX[i] += objectStepX;
  objectCurZ[i] += objectStepZ;
}

// Keeps the step: the object now stands where the step took it.
void AcceptStep(int i) {
  objectMoveX[i] -= objectStepX;
  objectMoveZ[i] -= objectStepZ;
}

// The step direction of object i's heading.
double StepAngle(int i) { return -objectHeading[i] * degToRad; }

// Keeps an object's heading within -360..360 by one turn at most.
void WrapObjectHeading(int i) {
  if (objectHeading[i] > 360) objectHeading[i] -= 360;
  if (objectHeading[i] < -360) objectHeading[i] += 360;
}

// True when (x, z) lies strictly inside the square of half-size h around (px, pz).
bool Inside(double x, double z, double px, double pz, double h) {
  return x - px < h && px - x < h && z - pz < h && pz - z < h;
}

// Whether object i's current position is blocked: by one of its own points (when it avoids
// them) within waypointHalf, then by one of the scene's posts (when it avoids them) within
// postHalf. The first point that blocks ends the test.
bool Blocked(int i, double waypointHalf, double postHalf) {
  const double x = objectCurX[i], z = objectCurZ[i];
  return (objectFlagB[i] == 1 && OwnPointsHit(i, x, z, waypointHalf)) ||
         (objectFlagA[i] == 1 && ObstacleHit(x, z, postHalf));
}

// Turns away from what blocks by 10 degrees and tries a slowed step along the new heading;
// when that is free the evasion ends. savedSpeed is the speed of the frame's first step.
void TurnAway(int i, double savedSpeed) {
  if (objectSwerve[i] < 0) {
    objectSwerve[i] = -objectSwerve[i];
    objectHeading[i] += 10;
  } else {
    objectHeading[i] -= 10;
  }
  WrapObjectHeading(i);
  objectSwerve[i] *= 2.5;
  if (objectSwerve[i] < 1) objectSwerve[i] = 1;
  if (objectSwerve[i] > kMaxObjectSwerve) objectSwerve[i] = kMaxObjectSwerve;  // stays finite
  objectSpeed[i] = savedSpeed / objectSwerve[i];
  TakeStep(i, StepAngle(i), objectSpeed[i]);
  // The posts are tested with the clearance itself here, not twice it.
  if (Blocked(i, 2 * objectClearance[i], objectClearance[i])) {
    UndoStep(i);  // still evading; the swerve search goes on next frame where it stands
    return;
  }
  objectEvading[i] = 0;
  objectSwerve[i] = 0;
  objectSwervePhase[i] = 1;
  AcceptStep(i);
}

}  // namespace

// A refused step is probed again along headings swerved by +0.4, +0.8, ... below pi/2, then
// -0.4, -0.8, ... down to -pi/2; the search state carries over from frame to frame until a
// turned, slowed step is free, and the speed stays reduced after it. A carried swerve can
// grow so large that subtracting 0.4 no longer changes it: no object probes more than
// kMaxObjectProbes times in one frame, and one that reaches the bound turns away as at the
// end of the search.
void MoveObjects(int i) {
  const double bodyXNow = bodyX + travelX, bodyZNow = bodyZ + travelZ;
  if (objectCullTest[i] != 0 && !Inside(objectX[i] + objectMoveX[i], objectZ[i] + objectMoveZ[i],
                                        bodyXNow, bodyZNow, objectCullDistance[i]))
    return;  // frozen: not even its clock moves

  objectMotionState[i] = 1;
  if (objectAccelForward[i] == 1) Accelerate(objectSpeed[i], true, objectMaxSpeed[i], walkAccel);
  if (objectAccelReverse[i] == 1) Accelerate(objectSpeed[i], false, objectMaxSpeed[i], walkAccel);
  TakeStep(i, StepAngle(i), objectSpeed[i]);
  const double savedSpeed = objectSpeed[i];

  const int clock = objectTurnClock[i];
  if (clock > kFirstTurnAfter && clock < kFirstTurnBefore) {
    UndoStep(i);
    objectHeading[i] -= 2;
    WrapObjectHeading(i);
    TakeStep(i, StepAngle(i), objectSpeed[i]);
  } else if (clock >= kSecondTurnFrom && clock < kTurnCycleFrames) {
    UndoStep(i);
    objectHeading[i] += 2;
    WrapObjectHeading(i);
    TakeStep(i, StepAngle(i), objectSpeed[i]);
    if (clock == kTurnCycleFrames - 1) objectTurnClock[i] = 0;
  }

  const double clearance = objectClearance[i];
  int probes = 0;
  bool turnAway = false;
  while (Blocked(i, 2 * clearance, 2 * clearance)) {
    UndoStep(i);
    objectEvading[i] = 1;
    if (probes == kMaxObjectProbes) {
      turnAway = true;
      break;
    }
    objectSpeed[i] = savedSpeed < 0 ? -clearance : clearance;
    if (objectSwervePhase[i] == 1) {
      objectSwerve[i] += 0.4;
      if (objectSwerve[i] >= std::numbers::pi / 2) {
        objectSwervePhase[i] = 2;
        objectSwerve[i] = 0;
      }
    }
    if (objectSwervePhase[i] == 2) {
      objectSwerve[i] -= 0.4;
      if (objectSwerve[i] <= -std::numbers::pi / 2) {
        turnAway = true;
        break;
      }
    }
    TakeStep(i, StepAngle(i) + objectSwerve[i], objectSpeed[i]);
    ++probes;
  }
  if (!turnAway) {
    if (objectEvading[i] == 0) {
      AcceptStep(i);
    } else {
      UndoStep(i);  // free, but an evasion is under way: it ends by turning away
      turnAway = true;
    }
  }
  if (turnAway) TurnAway(i, savedSpeed);
  objectTurnClock[i] += 1;
}
