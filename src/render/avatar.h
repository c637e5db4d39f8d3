// Drawing the user's own model, placed for the control mode.
#pragma once

// Draws the user's own model; in the vehicle and chase modes it also loads the camera.
void DrawAvatar();
