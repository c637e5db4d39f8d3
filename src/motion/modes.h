// The control modes' motion in the order of a frame: each mode's step before anything is
// drawn, its work right before the avatar is drawn, and the camera it loads right after.
// Adding a mode means one row in modes.cpp (and see the README's recipe).
#pragma once

// The frame's motion of the current control mode; other modes move nothing.
void ModeStep();
// The current mode's motion right before the avatar is drawn (turn-rate and figure resets,
// body sway, chase camera, the driver's camera load).
void ModeBeforeAvatar();
// The current mode's camera load right after the avatar is drawn (the chase view of the
// next frame).
void ModeAfterAvatar();
