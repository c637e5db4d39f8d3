// Walking mode and the obstacle-tested step.
#include "motion/walk.h"

void WalkModeStep() {}
bool DeflectedStep(StepChannel, double, double, double, double) { return false; }
bool JumpMove() { return false; }
bool ObstacleHit(double, double, double) { return false; }
