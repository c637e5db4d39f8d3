// Control mode 2: the car driven from the driver's seat.
#pragma once

// One frame of driving: the car's paths from the seat (motion/vehicle.h).
void DriveStep();
// Right before the car body is drawn: a standing car's turn rate drops to 0, the body sways,
// and the driver's camera is loaded (lifted by the crouch offset).
void DriveBeforeAvatar();
