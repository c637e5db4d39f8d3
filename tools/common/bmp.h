// Uncompressed 24-bit Windows bitmaps: replay snapshots and their checks, demo textures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Picture {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgb;  // top-down rows, 3 bytes a pixel
};

// The bytes of a bottom-up 24-bit BMP file of rows of RGBA pixels given bottom-up; "" when the
// size does not fit the pixels.
std::string BmpBytes(int width, int height, const std::vector<std::uint8_t>& rgbaBottomUp);
// Writes a bottom-up 24-bit BMP from rows of RGBA pixels given bottom-up (as GL reads them).
bool WriteBmp(const std::string& path, int width, int height,
              const std::vector<std::uint8_t>& rgbaBottomUp);
// Reads an uncompressed 24-bit BMP (bottom-up or top-down); false with error on anything else.
bool ReadBmp(const std::string& path, Picture& picture, std::string& error);
