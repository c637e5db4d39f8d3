// A material's diffuse texture as a 24-bit bitmap beside the scene.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model.h"

// A decoded picture, RGBA rows bottom-up (the bitmap's and the program's order: texture
// coordinate t = 0 is the bottom row).
struct TexturePicture {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgbaBottomUp;
};

// Decodes the texture of material (a file beside the model, or embedded) and scales it to
// at most 1024 on a side; false with the reason in error when it cannot be read.
bool DecodeTexture(const Model& model, const ModelMaterial& material, TexturePicture& picture,
                   std::string& error);
