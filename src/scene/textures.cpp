// Texture objects.
#include "scene/textures.h"

void BuildTextures() {}
