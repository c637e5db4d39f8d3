// Drawing the moving objects.
#pragma once

// Draws object i at its position and heading.
void DrawObjects(int i);

// The part transform in force while a list is drawn, shared by the objects and the avatar:
// the part applied last and its three angles as they were when it was applied.
extern int partTransformActive;  // 1 while an object part transform is applied
extern int activePart;
extern double savedAngleX, savedAngleY, savedAngleZ;

// No part transform applied.
void ResetPartTransforms();
