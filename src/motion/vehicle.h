// The car that the vehicle modes share (driven from the driver's seat in mode 2, watched from
// behind in mode 4): its paths of a frame with the deflected step of a car, and the car body's
// pitch, roll, rocking and trembling.
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

// What the driver's seat (mode 2) and the chase view (mode 4) do differently with the car.
struct CarView {
  // Every turn wraps the heading and sets the view angle, and the look-at target and the
  // lights follow the car. In the chase view the heading smoothing and the chase camera do
  // that instead.
  bool fromSeat;
  // The car is tested against squares of twice collisionRadius instead of collisionRadius.
  bool doubleSquares;
  // Pitch steps a frame by which the body returns to level at speed.
  double levelSteps;
  // At rest the tremble goes into the body's pitch too (else only its sign flips, and the
  // avatar's placement tilts by it).
  bool trembleInPitch;
};
inline constexpr CarView kDriverSeat{true, false, 2.0, false};
inline constexpr CarView kChaseView{false, true, 2.4, true};

// One frame of the car's paths: steering, throttle, brake and handbrake, body pitch and roll,
// the deflected move, then (from the seat) target and lights. A deflected move turns the
// heading by |forwardSpeed| / slideTurnPercent towards the free side.
void CarPaths(const CarView& view);

// One frame of the car body's swing: back to level at speed, trembling at rest, rocking after
// a stop or while braking.
void BodySway(const CarView& view);

// Back to the start-up state.
void ResetVehicle();
