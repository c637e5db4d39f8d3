// Procedural texture bitmaps for the demo scenes.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "output_files.h"

using Rgb = std::array<int, 3>;

// A small deterministic noise in 0..1 from integer coordinates.
double TextureNoise(int x, int y, int seed);
// Writes a size x size bitmap whose pixel (x, y), y counted from the top, is paint(x, y).
bool WriteTexture(const std::string& path, int size, const std::function<Rgb(int, int)>& paint);
// The mean colour (0..1) of the demo texture of that file name (brick.bmp, ..., grass.bmp).
std::array<double, 3> DemoTextureMean(const std::string& name);

using Rgb = std::array<int, 3>;

// A small deterministic noise in 0..1 from integer coordinates.
double TextureNoise(int x, int y, int seed);
// Writes a size x size bitmap whose pixel (x, y), y counted from the top, is paint(x, y).
bool WriteTexture(const std::string& path, int size, const std::function<Rgb(int, int)>& paint);
// The mean colour (0..1) of the demo texture of that file name (brick.bmp, ..., grass.bmp).
std::array<double, 3> DemoTextureMean(const std::string& name);

// The demo textures (brick.bmp, facade.bmp, asphalt.bmp, pavement.bmp, grass.bmp) as files of
// folder dir, to be written with the scene.
std::vector<OutputFile> DemoTextureFiles(const std::string& dir);
