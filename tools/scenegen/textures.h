// Procedural texture bitmaps for the demo scenes.
#pragma once

#include <string>

// Writes the demo textures (brick.bmp, facade.bmp, asphalt.bmp, pavement.bmp, grass.bmp) into
// folder dir; false when a file cannot be written.
bool WriteDemoTextures(const std::string& dir);
