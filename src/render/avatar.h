// Drawing the user's own model, placed for the control mode.
#pragma once

extern int avatarPartActive;  // 1 while an avatar part transform is applied

// Draws the user's own model, placed for the control mode, under the camera in force; the
// motion of the frame (motion/modes.h) has moved and placed everything before.
void DrawAvatar();
// Records the avatar's list into display lists, once the textures are built (as
// RecordObjectLists).
void RecordAvatarList();
// No avatar part transform applied, no list recorded.
void ResetAvatar();
