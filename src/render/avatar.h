// Drawing the user's own model, placed for the control mode.
#pragma once

extern int avatarPartActive;  // 1 while an avatar part transform is applied

// Draws the user's own model; in mode 2 it first loads the driver's camera and rocks the car
// body, in modes 3 and 4 it places the chase camera and loads it for the next frame.
void DrawAvatar();
// No avatar part transform applied.
void ResetAvatar();
