// Polygon-list drawing shared by every drawing stage, and the static scene lists.
#pragma once

#include <vector>

extern int boundTexture;  // texture bound last by any drawing stage; reset every frame

// Binds a texture unless it is the one bound last.
void BindTextureCached(int id);
// Nothing bound yet.
void ResetDrawing();
// Draws the plain list (coloured, untextured polygons).
void DrawPlainList();
// Draws the static list, plain and textured polygons, with the optional distance test.
void DrawStaticList();
