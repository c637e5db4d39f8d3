// Procedural texture bitmaps for the demo scenes.
#pragma once

#include <string>
#include <vector>

#include "output_files.h"

// The demo textures (brick.bmp, facade.bmp, asphalt.bmp, pavement.bmp, grass.bmp) as files of
// folder dir, to be written with the scene.
std::vector<OutputFile> DemoTextureFiles(const std::string& dir);
