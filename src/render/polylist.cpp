// Polygon-list drawing.
#include "render/polylist.h"

int boundTexture;

void BindTextureCached(int) {}
void DrawPlainList() {}
void DrawStaticList() {}
