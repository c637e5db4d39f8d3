// Polygon-list drawing shared by every drawing stage, and the static scene lists.
#pragma once

#include <vector>

extern int boundTexture;  // texture bound last by any drawing stage; reset every frame

// Whether the plain and static lists are recorded once into OpenGL display lists (when the
// distance test is off). On by default; citywalk-replay --immediate turns it off to compare.
// A run option of the process: ResetProgramState leaves it alone.
extern bool recordStaticLists;

// Binds a texture unless it is the one bound last.
void BindTextureCached(int id);
// Records the plain and the static list into display lists, once the textures are built, so
// that each frame replays them instead of sending every vertex again. Nothing is recorded
// while the distance test is on (what it draws depends on the eye), without a rendering
// context, or with recordStaticLists off.
void RecordStaticLists();
// Nothing bound, nothing recorded.
void ResetDrawing();
// Draws the plain list (coloured, untextured polygons).
void DrawPlainList();
// Draws the static list, plain and textured polygons, with the optional distance test.
void DrawStaticList();
