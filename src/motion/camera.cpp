// Projection and camera rules.
#include "motion/camera.h"

double viewCentreX, viewCentreY;

void ReshapeView(int, int) {}
void WalkCamera(double, std::initializer_list<double>, bool, bool) {}
void WrapHeading() {}
void ViewAngle() {}
void LookTarget() {}
void ViewerLights() {}
