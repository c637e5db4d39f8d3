// The car of modes 2 and 4. Every quantity changes by a fixed amount per frame. The paths of a
// frame: a handbrake turn (Space with a steering key) ends the frame by itself; otherwise steering
// or self-centring comes first, then exactly one of handbrake braking, throttle and brake, rolling,
// or standstill.
#include "motion/vehicle.h"

#include <cmath>

#include "motion/camera.h"
#include "motion/step.h"
#include "motion/viewer.h"
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

// heading changed: from the driver's seat it is wrapped and the view angle follows; in the
// chase view only the smoothing does that.
void HeadingChanged(const CarView& view) {
  if (!view.fromSeat) return;
  WrapHeading();
  ViewAngle();
}

// Target and lights follow the car (from the driver's seat only).
void FollowCar(const CarView& view) {
  if (view.fromSeat) LookTarget();
}
void CarLights(const CarView& view) {
  if (view.fromSeat) ViewerLights();
}

double ObstacleHalfSize(const CarView& view) {
  return view.doubleSquares ? 2 * collisionRadius : collisionRadius;
}

// value moves by step in direction d: up for d = +1, down for d = -1.
void StepBy(double& value, int d, double step) {
  if (d > 0) {
    value += step;
  } else {
    value -= step;
  }
}

// Whether value lies beyond bound in direction d.
bool Beyond(double value, int d, double bound) { return d > 0 ? value > bound : value < bound; }

// One steering key's turn of the wheel; side is +1 for Left, -1 for Right. Going forward the
// turn rate moves by step towards side (backward the other way) up to side x limit, where
// limit = forwardSpeed x a factor; a standing car's wheel is straight. With counterSteer a
// turn rate against the direction first takes the counter-steer step steerReturnStep.
void TurnWheel(int side, double step, double limit, bool counterSteer) {
  int d = 0;
  if (forwardSpeed > 0) {
    d = side;
  } else if (forwardSpeed < 0) {
    d = -side;
  } else {
    turnRate = 0;
    return;
  }
  const double bound = side > 0 ? limit : -limit;
  if (counterSteer && Beyond(turnRate, -d, 0)) StepBy(turnRate, d, steerReturnStep);
  StepBy(turnRate, d, step);
  if (Beyond(turnRate, d, bound)) turnRate = bound;
}

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

// Before the slow-down of a deflected car step: the heading turns towards the free side by
// |forwardSpeed| / slideTurnPercent (stored as 100 / the file's percent).
void CorrectHeading(const CarView& view) {
  const double turn = std::fabs(forwardSpeed) / slideTurnPercent;
  if (forwardDeflection < 0) {
    forwardDeflection = -forwardDeflection;
    heading += turn;
  } else {
    heading -= turn;
  }
  HeadingChanged(view);
}

// The move of a car along moveAngle at forwardSpeed: deflections of 0.1 radian up to
// driveDeflectLimit each way, the heading turned by |forwardSpeed| / slideTurnPercent towards a
// free deflection, the speed divided by max(1, deflection x driveSlowdownFactor) for good.
// Returns false when every deflection was blocked: the car stops where it stood and its roll
// decays.
bool Move(const CarView& view) {
  DeflectVariant variant;
  variant.beforeSlowdown = [&view] { CorrectHeading(view); };
  variant.giveUpStopsSide = false;
  if (!DeflectedStep(StepChannel::Forward, ObstacleHalfSize(view), kDeflectIncrement,
                     driveDeflectLimit, driveSlowdownFactor, variant))
    return true;
  TowardsZero(bodyRoll, bodyRollFactor);
  return false;
}

// Path A: the car slides round with Space and a steering key; it moves one more turn rate
// ahead of its heading.
void HandbrakeTurnPath(const CarView& view) {
  braking = 1;
  handbrakeTurn = 1;
  handbrakeTurnLimit = forwardSpeed * turnPerSpeed * handbrakeTurnFactor;
  for (const int side : {+1, -1}) {
    if ((side > 0 ? keyLeft : keyRight) != 1) continue;
    HandbrakePitch();
    TurnWheel(side, handbrakeSteerStep, handbrakeTurnLimit, false);
  }
  heading += turnRate;
  HeadingChanged(view);
  TowardsZero(forwardSpeed, kHandbrakeSpeedLoss);
  moveAngle = -heading * degToRad - turnRate * degToRad;
  if (!Move(view)) return;
  FollowCar(view);
  bodyRoll = turnRate / kHandbrakeRollDivisor * bodyRollFactor;
  CarLights(view);
}

// Path B1: steering, up to forwardSpeed x turnPerSpeed; a steering key against the current
// turn first takes the counter-steer step. Braking (a drive key against the motion) or Ctrl
// freezes the wheel: no turn at all this frame.
void SteeringPath(const CarView& view) {
  handbrakeTurn = 0;
  steerLimit = forwardSpeed * turnPerSpeed;
  if ((keyDown == 1 && forwardSpeed > 0) || (keyUp == 1 && forwardSpeed < 0) || keyCtrl == 1)
    return;
  if (keyLeft == 1) TurnWheel(+1, steerStep, steerLimit, true);
  if (keyRight == 1) TurnWheel(-1, steerStep, steerLimit, true);
  if (turnRate > driveMaxTurnRate) turnRate = driveMaxTurnRate;
  if (turnRate < -driveMaxTurnRate) turnRate = -driveMaxTurnRate;
  heading += turnRate;
  HeadingChanged(view);
}

// Path B2: the wheel returns by itself, at |forwardSpeed| after a handbrake turn. Passing
// zero (not landing on it) levels the body's roll.
void SelfCentringPath(const CarView& view) {
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
  HeadingChanged(view);
}

// Path C: Space alone brakes; the roll stays as it is.
void HandbrakeBrakingPath(const CarView& view) {
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
  if (!Move(view)) return;
  FollowCar(view);
  CarLights(view);
}

// The end of paths D and E: the move, then target, roll from the turn rate, and lights.
void MoveAndRoll(const CarView& view) {
  moveAngle = -heading * degToRad;
  if (!Move(view)) return;
  FollowCar(view);
  if (turnRate != 0) bodyRoll = turnRate * bodyRollFactor;
  CarLights(view);
}

// Path D: Up is the throttle, Down the brake and then reverse; braking through zero ends at
// a crawl of 0.1 the other way. The body pitches back under throttle, forward under braking,
// more with Ctrl ("another half step" is a second addition).
void ThrottlePath(const CarView& view) {
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
  MoveAndRoll(view);
}

// Path E: no drive key: the car rolls on, losing coastDecel a frame; below half the top
// speed (unless it braked) the body's pitch relaxes towards level.
void RollingPath(const CarView& view) {
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
  MoveAndRoll(view);
}

}  // namespace

void CarPaths(const CarView& view) {
  if (sideKey == 1 && keySpace == 1) {
    HandbrakeTurnPath(view);
    return;
  }
  if (sideKey == 1) {
    SteeringPath(view);
  } else if (turnRate != 0) {
    SelfCentringPath(view);
  }
  if (keySpace == 1) {
    HandbrakeBrakingPath(view);
  } else if (moveKey == 1) {
    ThrottlePath(view);
  } else if (forwardSpeed != 0) {
    RollingPath(view);
  } else {
    TowardsZero(bodyRoll, bodyRollFactor);  // path F: standing, the roll dies away
  }
}

// P is bodyPitch, O bodyPitchOvershoot, s pitchStep, v trembleAmplitude. At speed the body
// returns to level by k s a frame (k = levelSteps). At rest (O = 0) it trembles: v flips sign
// every frame (from the driver's seat the placement tilts by it; in the chase view it goes
// into P first). Standing or braking, P travels 5 s a frame towards the mirror point -O; past
// it, O changes sign and shrinks by 1.4 and P springs back 6 s; within 6 s of level both
// settle.
void BodySway(const CarView& view) {
  double& p = bodyPitch;
  double& o = bodyPitchOvershoot;
  const double k = view.levelSteps;
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
    if (view.trembleInPitch) p -= trembleAmplitude;
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
}
