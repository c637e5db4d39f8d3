// The viewer's run-time motion state, shared by input, the four control modes, the cameras
// and the avatar drawing, and the control flags that the keys set and the motion reads once
// a frame. Everything starts at 0 except the deflection phases (1).
#pragma once

// Key flags, 0 or 1: an arrow key, Space or Ctrl is held; moveKey while Up or Down is held,
// sideKey while Left or Right is held (each set by either key, cleared when both are up).
extern int keyUp, keyDown, keyLeft, keyRight, keySpace, keyCtrl;
extern int moveKey, sideKey;

extern double turnRate;          // heading change of the latest look message or turn key, degrees
extern double lookPitch;         // mouse-look pitch, degrees
extern double forwardSpeed;      // signed speed along the heading, units per frame
extern double sideSpeed;         // signed sidestep speed
extern double moveAngle;         // heading of the current step, radians
extern double stepX, stepZ;      // the step last applied (subtracted from eyeX, eyeZ)
extern int stepBlocked;          // 1 when the last step met an obstacle
extern double travelX, travelZ;  // displacement of the eye since start

// The deflected-step channels. Each keeps its own deflected heading.
extern double forwardSpeedSaved, forwardDeflection, forwardDeflectHeading;
extern int forwardDeflectPhase;
extern double sideSpeedSaved, sideDeflection, sideDeflectHeading;
extern int sideDeflectPhase;

// Crouch and jump (walking mode).
extern double crouchOffset, jumpLift;
extern int jumpRising, jumpFalling, jumpLatch;

// What the user's figure is doing, selecting its part animation row (kFigureIdle ..).
extern int motionKind;
inline constexpr int kFigureIdle = 0;
inline constexpr int kFigureForward = 1;   // walking forward
inline constexpr int kFigureBack = 2;      // walking back
inline constexpr int kFigureTurning = 3;   // turning
inline constexpr int kFigureSidestep = 4;  // stepping sideways

// The chase camera's boom length in use (modes 3 and 4).
extern double cameraDistance;

// Back to the start-up state.
void ResetViewer();
