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

// Largest width or height of a bitmap that is read: larger pictures are refused (they are
// no use as textures, and a few bytes of run-length data could make one of gigabytes).
inline constexpr int kMaxBitmapSide = 8192;

// The file that a scene's texture name refers to, for a scene in folder ("" = the working
// directory). Names are used as the scene gives them; on systems whose paths use '/', a name
// written with Windows' '\' separators that does not exist as written is looked up with '/'
// instead, so scene folders copied from Windows keep their textures. The program and the
// checker both find textures through this.
std::string TextureFilePath(const std::string& folder, const std::string& name);
