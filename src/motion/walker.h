// Control mode 3: a walking figure watched from outside, and the smoothing of the heading
// that the chase views show (modes 3 and 4).
#pragma once

// One frame of the figure: heading smoothing, sideways step, turn, forward step.
void WalkerStep();
// One frame of the car watched from outside (mode 4): the heading smoothing, then the car's
// paths of driving.
void ChaseDriveStep();

// smoothHeading catches up with heading: by half the difference, at least 3 degrees, and it
// snaps (wrapping heading) when closer than that. The walking figure's form truncates the
// step to whole degrees; the car's does not.
void SmoothHeadingStep(bool wholeDegrees);
