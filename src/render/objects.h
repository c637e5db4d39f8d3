// Drawing the moving objects, each at its position and heading with its parts swinging.
#pragma once

extern int partTransformActive;  // 1 while an object's part transform is applied

// Draws object i, when it is near enough to the viewer: placed, parts swung, its list drawn
// with the part transforms switched polygon by polygon, and every transform undone.
void DrawObjects(int i);
// Bracket the frame's objects: the view volume is read once, at the first object tested, and
// each later object's test composes its placement onto it on the processor instead of reading
// OpenGL's matrices (which makes Mesa send the vertices queued; objects drawn outside the two
// read them).
void BeginObjects();
void EndObjects();
// After a polygon of object i's list closed at a vertex with this part tag: undoes the part
// transform in force if the tag differs, then applies the tagged part's if none is in force.
// Returns whether it changed the matrix.
bool SwitchPartTransform(int i, int tag);
// Records each object's list into display lists, once the textures are built, so that each
// frame replays them with the part switches between instead of sending every vertex again.
// Nothing is recorded without a rendering context or with recordStaticLists off.
void RecordObjectLists();
// No part transform applied, no list recorded.
void ResetPartTransforms();
