// Texture decoding with stb_image (PNG, JPEG, TGA, BMP, ...) and scaling by area averages.
#include "textures.h"

#include <stb/stb_image.h>

#include <algorithm>

namespace {

constexpr int kMaxSide = 1024;

// rows top-down RGBA (as decoders and the library give them) into a picture, scaled down
// by averaging the source pixels under each target pixel when a side exceeds kMaxSide.
TexturePicture FromTopDown(const unsigned char* rows, int width, int height) {
  const double factor = std::max(1.0, std::max(width, height) / static_cast<double>(kMaxSide));
  TexturePicture out;
  out.width = std::max(1, static_cast<int>(width / factor));
  out.height = std::max(1, static_cast<int>(height / factor));
  out.rgbaBottomUp.resize(static_cast<std::size_t>(out.width) * out.height * 4);
  for (int y = 0; y < out.height; ++y) {
    const int y0 = static_cast<int>(static_cast<long long>(y) * height / out.height);
    const int y1 =
        std::max(y0 + 1, static_cast<int>(static_cast<long long>(y + 1) * height / out.height));
    for (int x = 0; x < out.width; ++x) {
      const int x0 = static_cast<int>(static_cast<long long>(x) * width / out.width);
      const int x1 =
          std::max(x0 + 1, static_cast<int>(static_cast<long long>(x + 1) * width / out.width));
      unsigned long sum[4] = {0, 0, 0, 0};
      for (int sy = y0; sy < y1; ++sy)
        for (int sx = x0; sx < x1; ++sx)
          for (int c = 0; c < 4; ++c)
            sum[c] += rows[(static_cast<std::size_t>(sy) * width + sx) * 4 + c];
      const unsigned long n = static_cast<unsigned long>((y1 - y0) * (x1 - x0));
      // Row y from the top is row height - 1 - y from the bottom.
      std::uint8_t* to =
          &out.rgbaBottomUp[(static_cast<std::size_t>(out.height - 1 - y) * out.width + x) * 4];
      for (int c = 0; c < 4; ++c) to[c] = static_cast<std::uint8_t>((sum[c] + n / 2) / n);
    }
  }
  return out;
}

bool Decoded(unsigned char* pixels, int width, int height, TexturePicture& picture,
             std::string& error) {
  if (pixels == nullptr) {
    const char* reason = stbi_failure_reason();
    error = std::string("cannot decode it") + (reason ? std::string(": ") + reason : "");
    return false;
  }
  picture = FromTopDown(pixels, width, height);
  stbi_image_free(pixels);
  return true;
}

}  // namespace

bool DecodeTexture(const Model& model, const ModelMaterial& material, TexturePicture& picture,
                   std::string& error) {
  int width = 0, height = 0, channels = 0;
  const int e = material.texture.embedded;
  if (e < 0) {
    unsigned char* pixels = stbi_load(material.texture.file.c_str(), &width, &height, &channels, 4);
    return Decoded(pixels, width, height, picture, error);
  }
  if (e >= static_cast<int>(model.embedded.size())) {
    error = "no such embedded texture";
    return false;
  }
  if (model.embeddedSize[e][0] > 0) {
    picture = FromTopDown(model.embeddedRgba[e].data(), model.embeddedSize[e][0],
                          model.embeddedSize[e][1]);
    return true;
  }
  const std::vector<unsigned char>& bytes = model.embedded[e];
  if (bytes.empty() || bytes.size() > 0x7FFFFFFF) {
    error = "the embedded texture is empty";
    return false;
  }
  unsigned char* pixels = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()),
                                                &width, &height, &channels, 4);
  return Decoded(pixels, width, height, picture, error);
}
