// Reading Windows bitmap files into RGB images for textures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A loaded texture bitmap: width x height pixels, 3 bytes each (red, green, blue), rows
// tightly packed, first row = the bottom row of the picture.
struct ImageRecord {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;
};

// Reads a bitmap file; on failure shows the reason in an "Error" message box and returns
// nullptr. The record lives for the whole run.
ImageRecord* LoadBitmapImage(const char* fileName);
