// Driving. Every quantity changes by a fixed amount per frame. The paths of a frame: a
// handbrake turn (Space with a steering key) ends the frame by itself; otherwise steering or
// self-centring comes first, then exactly one of handbrake braking, throttle and brake,
// rolling, or standstill.
#include "motion/vehicle.h"

#include <cmath>

#include "motion/camera.h"
#include "motion/viewer.h"
#include "motion/walk.h"
#include "scene/scene.h"

double bodyPitch, bodyPitchOvershoot, bodyRoll;
int braking, handbrakeTurn, highSpeed = 1;
double steerLimit, handbrakeTurnLimit;

namespace {

constexpr double kHandbrakeSpeedLoss = 0.2;  // per frame of a handbrake turn
constexpr double kCrawlSpeed = 0.1;          // braking through zero ends at this speed
constexpr double kDeflectIncrement = 0.1;    // radians per deflection tried
constexpr double kHandbrakeRollDivisor = 1.5;
// Body sway: the swing step (5 pitch steps) and the settling bound and rebound (6 pitch
// steps), written as the values they stand for: 6.0 * 0.2 computed in double is a hair above
// 1.2 and would settle a swing a frame early.
constexpr double kSwingStep = 1.0;
constexpr double kSettle = 1.2;
constexpr double kSwingDecay = 1.4;

// Whether this frame's rules are those of the chase view (mode 4).
bool chaseRules = false;

// heading changed: in mode 2 it is wrapped and the view angle follows; in the chase view only
// the smoothing does that.
void HeadingChanged() {
  if (chaseRules) return;
  WrapHeading();
  ViewAngle();
}

// Target and lights follow the car (mode 2 only).
void FollowCar() {
  if (!chaseRules) LookTarget();
}
void CarLights() {
  if (!chaseRules) ViewerLights();
}

double ObstacleHalfSize() { return chaseRules ? 2 * collisionRadius : collisionRadius; }

// value moves by step towards zero and stops there.
void TowardsZero(double& value, double step) {
  if (value > 0) {
    value -= step;
    if (value < 0) value = 0;
  } else if (value < 0) {
    value += step;
    if (value > 0) value = 0;
  }
}

// The body pitches forward (nose down) while a handbrake slows a car going forward, back
// while it slows one going backward.
void HandbrakePitch() {
  if (forwardSpeed > 0) {
    bodyPitch -= 4 * pitchStep;
    if (bodyPitch < -bodyPitchLimit) bodyPitch = -bodyPitchLimit;
    bodyPitchOvershoot = bodyPitch - pitchStep;
  } else if (forwardSpeed < 0) {
    bodyPitch += 4 * pitchStep;
    if (bodyPitch > bodyPitchLimit) bodyPitch = bodyPitchLimit;
    bodyPitchOvershoot = bodyPitch + pitchStep;
  }
}

// The move of a frame: false when the car was stopped by what blocks it.
bool Move() { return !VehicleDeflectedStep(ObstacleHalfSize(), chaseRules); }

// Path A: the car slides round with Space and a steering key; it moves one more turn rate
// ahead of its heading.
void HandbrakeTurnPath() {
  braking = 1;
  handbrakeTurn = 1;
  handbrakeTurnLimit = forwardSpeed * turnPerSpeed * handbrakeTurnFactor;
  if (keyLeft == 1) {
    HandbrakePitch();
    if (forwardSpeed > 0) {
      turnRate += handbrakeSteerStep;
      if (turnRate > handbrakeTurnLimit) turnRate = handbrakeTurnLimit;
    } else if (forwardSpeed < 0) {
      turnRate -= handbrakeSteerStep;
      if (turnRate < handbrakeTurnLimit) turnRate = handbrakeTurnLimit;
    } else {
      turnRate = 0;
    }
  }
  if (keyRight == 1) {
    HandbrakePitch();
    if (forwardSpeed > 0) {
      turnRate -= handbrakeSteerStep;
      if (turnRate < -handbrakeTurnLimit) turnRate = -handbrakeTurnLimit;
    } else if (forwardSpeed < 0) {
      turnRate += handbrakeSteerStep;
      if (turnRate > -handbrakeTurnLimit) turnRate = -handbrakeTurnLimit;
    } else {
      turnRate = 0;
    }
  }
  heading += turnRate;
  HeadingChanged();
  TowardsZero(forwardSpeed, kHandbrakeSpeedLoss);
  moveAngle = -heading * degToRad - turnRate * degToRad;
  if (!Move()) return;
  FollowCar();
  bodyRoll = turnRate / kHandbrakeRollDivisor * bodyRollFactor;
  CarLights();
}

// Path B1: steering, up to forwardSpeed x turnPerSpeed; a steering key against the current
// turn first takes the counter-steer step. Braking (a drive key against the motion) or Ctrl
// freezes the wheel: no turn at all this frame.
void SteeringPath() {
  handbrakeTurn = 0;
  steerLimit = forwardSpeed * turnPerSpeed;
  if ((keyDown == 1 && forwardSpeed > 0) || (keyUp == 1 && forwardSpeed < 0) || keyCtrl == 1)
    return;
  if (keyLeft == 1) {
    if (forwardSpeed > 0) {
      if (turnRate < 0) turnRate += steerReturnStep;
      turnRate += steerStep;
      if (turnRate > steerLimit) turnRate = steerLimit;
    } else if (forwardSpeed < 0) {
      if (turnRate > 0) turnRate -= steerReturnStep;
      turnRate -= steerStep;
      if (turnRate < steerLimit) turnRate = steerLimit;
    } else {
      turnRate = 0;
    }
  }
  if (keyRight == 1) {
    if (forwardSpeed > 0) {
      if (turnRate > 0) turnRate -= steerReturnStep;
      turnRate -= steerStep;
      if (turnRate < -steerLimit) turnRate = -steerLimit;
    } else if (forwardSpeed < 0) {
      if (turnRate < 0) turnRate += steerReturnStep;
      turnRate += steerStep;
      if (turnRate > -steerLimit) turnRate = -steerLimit;
    } else {
      turnRate = 0;
    }
  }
  if (turnRate > driveMaxTurnRate) turnRate = driveMaxTurnRate;
  if (turnRate < -driveMaxTurnRate) turnRate = -driveMaxTurnRate;
  heading += turnRate;
  HeadingChanged();
}

// Path B2: the wheel returns by itself, at |forwardSpeed| after a handbrake turn. Passing
// zero (not landing on it) levels the body's roll.
void SelfCentringPath() {
  const double rate = handbrakeTurn == 1 ? std::fabs(forwardSpeed) : steerReturnStep;
  if (turnRate > 0) {
    turnRate -= rate;
    if (turnRate < 0) {
      turnRate = 0;
      bodyRoll = 0;
    }
  } else if (turnRate < 0) {
    turnRate += rate;
    if (turnRate > 0) {
      turnRate = 0;
      bodyRoll = 0;
    }
  }
  heading += turnRate;
  HeadingChanged();
}

// Path C: Space alone brakes; the roll stays as it is.
void HandbrakeBrakingPath() {
  braking = 1;
  HandbrakePitch();
  if (forwardSpeed > 0) {
    forwardSpeed -= handbrakeDecel;
    if (forwardSpeed < 0) forwardSpeed = 0;
  } else if (forwardSpeed < 0) {
    forwardSpeed += handbrakeDecel;
    if (forwardSpeed > 0) forwardSpeed = 0;
  }
  moveAngle = -heading * degToRad;
  if (!Move()) return;
  FollowCar();
  CarLights();
}

// The end of paths D and E: the move, then target, roll from the turn rate, and lights.
void MoveAndRoll() {
  moveAngle = -heading * degToRad;
  if (!Move()) return;
  FollowCar();
  if (turnRate != 0) bodyRoll = turnRate * bodyRollFactor;
  CarLights();
}

// Path D: Up is the throttle, Down the brake and then reverse; braking through zero ends at
// a crawl of 0.1 the other way. The body pitches back under throttle, forward under braking,
// more with Ctrl ("another half step" is a second addition).
void ThrottlePath() {
  braking = 0;
  if (keyUp == 1) {
    bodyPitch += pitchStep;
    if (acceleration == throttleBoostStep) bodyPitch += pitchStep / 2;
    if (forwardSpeed < driveMaxSpeed) forwardSpeed += acceleration;
    if (forwardSpeed < 0) {
      braking = 1;
      forwardSpeed += brakeDecel;
      if (forwardSpeed > kCrawlSpeed) forwardSpeed = kCrawlSpeed;
      bodyPitch += 2 * pitchStep;
    }
    if (bodyPitch > bodyPitchLimit) bodyPitch = bodyPitchLimit;
    bodyPitchOvershoot = bodyPitch + pitchStep;
    highSpeed = forwardSpeed >= driveMaxSpeed / 2 ? 1 : 0;
  }
  if (keyDown == 1) {
    bodyPitch -= pitchStep;
    if (acceleration == throttleBoostStep) bodyPitch -= pitchStep / 2;
    if (forwardSpeed > -driveMaxSpeed) forwardSpeed -= acceleration;
    if (forwardSpeed > 0) {
      braking = 1;
      forwardSpeed -= brakeDecel;
      if (forwardSpeed < kCrawlSpeed) forwardSpeed = -kCrawlSpeed;
      bodyPitch -= 2 * pitchStep;
    }
    if (bodyPitch < -bodyPitchLimit) bodyPitch = -bodyPitchLimit;
    bodyPitchOvershoot = bodyPitch - pitchStep;
    highSpeed = forwardSpeed <= -driveMaxSpeed / 2 ? 1 : 0;
  }
  MoveAndRoll();
}

// Path E: no drive key: the car rolls on, losing coastDecel a frame; below half the top
// speed (unless it braked) the body's pitch relaxes towards level.
void RollingPath() {
  if (forwardSpeed > 0) {
    forwardSpeed -= coastDecel;
    if (braking == 0 && forwardSpeed < driveMaxSpeed / 2) {
      bodyPitch -= pitchStep;
      if (bodyPitch < 0) bodyPitch = 0;
      bodyPitchOvershoot = bodyPitch - pitchStep;
    }
    if (forwardSpeed < 0) forwardSpeed = 0;
  } else if (forwardSpeed < 0) {
    forwardSpeed += coastDecel;
    if (braking == 0 && forwardSpeed > -driveMaxSpeed / 2) {
      bodyPitch += pitchStep;
      if (bodyPitch > 0) bodyPitch = 0;
      bodyPitchOvershoot = bodyPitch + pitchStep;
    }
    if (forwardSpeed > 0) forwardSpeed = 0;
  }
  MoveAndRoll();
}

// The paths of one frame, under the current rules.
void DrivePaths() {
  if (sideKey == 1 && keySpace == 1) {
    HandbrakeTurnPath();
    return;
  }
  if (sideKey == 1) {
    SteeringPath();
  } else if (turnRate != 0) {
    SelfCentringPath();
  }
  if (keySpace == 1) {
    HandbrakeBrakingPath();
  } else if (moveKey == 1) {
    ThrottlePath();
  } else if (forwardSpeed != 0) {
    RollingPath();
  } else {
    TowardsZero(bodyRoll, bodyRollFactor);  // path F: standing, the roll dies away
  }
}

// Before the slow-down of a deflected car step: the heading turns towards the free side by
// |forwardSpeed| / slideTurnPercent (stored as 100 / the file's percent).
void CorrectHeading() {
  const double turn = std::fabs(forwardSpeed) / slideTurnPercent;
  if (forwardDeflection < 0) {
    forwardDeflection = -forwardDeflection;
    heading += turn;
  } else {
    heading -= turn;
  }
  HeadingChanged();
}

}  // namespace

void DriveStep() {
  chaseRules = false;
  DrivePaths();
}

void ChaseDrivePaths() {
  chaseRules = true;
  DrivePaths();
}

bool VehicleDeflectedStep(double halfSize, bool chase) {
  chaseRules = chase;
  DeflectVariant variant;
  variant.beforeSlowdown = CorrectHeading;
  variant.giveUpStopsSide = false;
  if (!DeflectedStep(StepChannel::Forward, halfSize, kDeflectIncrement, driveDeflectLimit,
                     driveSlowdownFactor, variant))
    return false;
  TowardsZero(bodyRoll, bodyRollFactor);
  return true;
}

// P is bodyPitch, O bodyPitchOvershoot, s pitchStep, v trembleAmplitude. At speed the body
// returns to level by k s a frame (k 2.0 in mode 2, 2.4 in mode 4). At rest (O = 0) it
// trembles: in mode 2 v flips sign every frame (the placement tilts by it), in mode 4 it is
// added to P. Standing or braking, P travels 5 s a frame towards the mirror point -O; past it,
// O changes sign and shrinks by 1.4 and P springs back 6 s; within 6 s of level both settle.
void BodySway(int mode) {
  double& p = bodyPitch;
  double& o = bodyPitchOvershoot;
  const double k = mode == kModeDrive ? 2.0 : 2.4;
  if (forwardSpeed != 0 && highSpeed == 1) {
    if (p > 0) {
      p -= k * pitchStep;
      if (p < 0) p = 0;
      o = p - pitchStep;
      return;
    }
    if (p < 0) {
      p += k * pitchStep;
      if (p > 0) p = 0;
      o = p + pitchStep;
      return;
    }
  }
  if (o == 0) {
    if (mode != kModeDrive) p -= trembleAmplitude;
    trembleAmplitude = -trembleAmplitude;
    return;
  }
  if (forwardSpeed != 0 && braking != 1) return;
  const auto settle = [&] {
    if (p != 0 && o != 0 && std::fabs(p) < kSettle && std::fabs(o) < kSettle) p = o = 0;
  };
  if (p < o) {
    p -= kSwingStep;
    settle();
    if (p < -o) {
      o = o / -kSwingDecay;
      p += kSettle;
    }
  } else if (p > o) {
    p += kSwingStep;
    settle();
    if (p > -o) {
      o = o / -kSwingDecay;
      p -= kSettle;
    }
  }
}

void ResetVehicle() {
  bodyPitch = bodyPitchOvershoot = bodyRoll = 0;
  braking = handbrakeTurn = 0;
  highSpeed = 1;
  steerLimit = handbrakeTurnLimit = 0;
  chaseRules = false;
}
