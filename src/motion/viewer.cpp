// The viewer's run-time motion state.
#include "motion/viewer.h"

int keyUp, keyDown, keyLeft, keyRight, keySpace, keyCtrl;
int moveKey, sideKey;

double turnRate, lookPitch, forwardSpeed, sideSpeed, moveAngle, stepX, stepZ;
int stepBlocked;
double travelX, travelZ;
double forwardSpeedSaved, forwardDeflection, forwardDeflectHeading;
int forwardDeflectPhase = 1;
double sideSpeedSaved, sideDeflection, sideDeflectHeading;
int sideDeflectPhase = 1;
double crouchOffset, jumpLift;
int jumpRising, jumpFalling, jumpLatch;
int motionKind;
double cameraDistance;

void ResetViewer() {
  keyUp = keyDown = keyLeft = keyRight = keySpace = keyCtrl = 0;
  moveKey = sideKey = 0;
  turnRate = lookPitch = forwardSpeed = sideSpeed = moveAngle = stepX = stepZ = 0;
  stepBlocked = 0;
  travelX = travelZ = 0;
  forwardSpeedSaved = forwardDeflection = forwardDeflectHeading = 0;
  forwardDeflectPhase = 1;
  sideSpeedSaved = sideDeflection = sideDeflectHeading = 0;
  sideDeflectPhase = 1;
  crouchOffset = jumpLift = 0;
  jumpRising = jumpFalling = jumpLatch = 0;
  motionKind = 0;
  cameraDistance = 0;
}
