// Moving objects and the user's own model.
#pragma once

// Advances object i by one frame.
void MoveObjects(int i);
// Draws object i at its position and heading.
void DrawObjects(int i);
// Draws the user's own model, placed for the control mode.
void DrawAvatar();
