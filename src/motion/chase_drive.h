// Control mode 4: the car of mode 2 watched from behind by the chase camera.
#pragma once

// One frame of the car: the heading smoothing, then the car's paths in the chase view
// (motion/vehicle.h).
void ChaseDriveStep();
// Right before the car body is drawn: a standing car's turn rate drops to 0, the chase camera
// is placed, and the body sways.
void ChaseDriveBeforeAvatar();
