// What the chase views of modes 3 and 4 share: the smoothing of the heading they show, and
// the chase camera, a boom behind the body that stops short of the posts.
#pragma once

// smoothHeading catches up with heading: by half the difference, at least 3 degrees, and it
// snaps (wrapping heading) when closer than that. The walking figure's form truncates the
// step to whole degrees; the car's does not.
void SmoothHeadingStep(bool wholeDegrees);

// Places the chase camera for mode 3 or 4: finds the boom length (lookRefDistance), eases the
// camera distance towards it, and sets lookEyeX, lookEyeZ and the target a full boom length
// in front of the camera.
void ChaseCamera(int mode);
// Loads the chase camera placed this frame, as the view of the next frame: the eye lifted by
// the mouse-look pitch over the camera distance above modeEyeY.
void LoadChaseView();
