// The chase camera of modes 3 and 4: a boom behind the body that stops short of the posts.
#pragma once

// Places the chase camera for mode 3 or 4: finds the boom length (lookRefDistance), eases the
// camera distance towards it, and sets lookEyeX, lookEyeZ and the target a full boom length
// in front of the camera.
void ChaseCamera(int mode);
