// Reading Windows bitmap files into RGB images for textures.
#pragma once

#include <cstddef>
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

// Decodes a bitmap held in memory (with a file header, or a bare DIB). On failure returns
// false and sets message to the text the user is shown.
bool DecodeBitmap(const std::uint8_t* data, std::size_t size, ImageRecord& image,
                  std::string& message);
// Reads and decodes a bitmap file without showing anything; message as for DecodeBitmap,
// or the "Failed to open DIB file" text when the file cannot be read.
bool ReadBitmapFile(const char* fileName, ImageRecord& image, std::string& message);

// Reads a bitmap file; on failure shows the reason in an "Error" message box and returns
// nullptr. The record lives for the whole run.
ImageRecord* LoadBitmapImage(const char* fileName);
