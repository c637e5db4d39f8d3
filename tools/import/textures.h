// Texture pictures: any file a model names decoded to RGBA and scaled to at most kMaxTextureSide
// a side. PNG and JPEG are decoded by stb_image (bench/texture_bench measures it faster there);
// SGI (.rgb), DDS (uncompressed and DXT1/3/5), TGA, TIFF, PSD, BMP and GIF by ImageMagick's
// readers, each chosen by the file's signature and only those readers allowed.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

inline constexpr int kMaxTextureSide = 1024;  // the bitmaps written are at most this a side
inline constexpr int kMaxSourceSide = 16384;  // larger pictures are refused undecoded

// A decoded picture, RGBA rows bottom-up (the bitmap's and the program's order: texture
// coordinate t = 0 is the bottom row), and the name it came from.
struct TexturePicture {
  std::string name;  // the file's name, or the model's for an embedded picture
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgbaBottomUp;
};

// Decodes a picture file's bytes and scales it; false with the reason in error ("an unknown
// picture format", the decoder's reason).
bool DecodePicture(std::span<const std::uint8_t> bytes, const std::string& name,
                   TexturePicture& picture, std::string& error);

// A picture from texels already decoded, rows top-down RGBA, scaled.
TexturePicture PictureFromTopDown(const std::uint8_t* rows, int width, int height);

// The two decoders on their own, rows top-down RGBA (the benchmark compares them).
bool DecodeWithStb(std::span<const std::uint8_t> bytes, int& width, int& height,
                   std::vector<std::uint8_t>& rgba, std::string& error);
bool DecodeWithMagick(std::span<const std::uint8_t> bytes, const char* format, int& width,
                      int& height, std::vector<std::uint8_t>& rgba, std::string& error);

// The picture format of bytes by their signature (TGA, which has none, by name's ending):
// "PNG", "JPEG", "SGI", ..., or nullptr when it is none the decoders take.
const char* PictureFormat(std::span<const std::uint8_t> bytes, const std::string& name);
