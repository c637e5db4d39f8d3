// One texture object per distinct texture file name of the scene.
#pragma once

// Loads every textured vertex's image once per name and builds its mipmapped texture.
void BuildTextures();
