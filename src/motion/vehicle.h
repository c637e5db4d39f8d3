// The car of the vehicle modes: driving (control mode 2, and the chase view of mode 4), the
// deflected step of a car, and the car body's pitch, roll, rocking and trembling.
#pragma once

// Car body and drive state (0 at start, except highSpeed 1).
extern double bodyPitch;           // pitch of the car body, degrees, within +-bodyPitchLimit
extern double bodyPitchOvershoot;  // the far side of the body's swing; 0 = at rest
extern double bodyRoll;            // roll of the car body, degrees
extern int braking;                // 1 once a brake or handbrake input acts
extern int handbrakeTurn;          // 1 after steering with Space held
extern int highSpeed;              // 1 while the drive key keeps the speed at half the top or more
extern double steerLimit, handbrakeTurnLimit;  // this frame's turn-rate limits

inline constexpr double turnPerSpeed = 1.5;  // steering limit per unit of speed
inline constexpr double pitchStep = 0.2;     // body pitch step, degrees

// One frame of driving from the driver's seat (mode 2): steering, throttle, brake and
// handbrake, body pitch and roll, the deflected move, then target and lights.
void DriveStep();
// The car's paths of a frame as the chase view drives them (mode 4): the same rules without
// wrapping the heading, the view angle, the target or the lights, with twice the obstacle
// square. The heading smoothing that comes first is the caller's.
void ChaseDrivePaths();

// The move of a car along moveAngle at forwardSpeed, tested against squares of half-size
// halfSize: deflections of 0.1 radian up to driveDeflectLimit each way, the heading turned by
// |forwardSpeed| / slideTurnPercent towards a free deflection (then wrapped and the view angle
// set, unless chase), the speed divided by max(1, deflection x driveSlowdownFactor) for good.
// Returns true when every deflection was blocked: the car stops where it stood and its roll
// decays.
bool VehicleDeflectedStep(double halfSize, bool chase);

// One frame of the car body's swing (mode 2 or 4): back to level at speed, trembling at rest,
// rocking after a stop or while braking.
void BodySway(int mode);

// Back to the start-up state.
void ResetVehicle();
