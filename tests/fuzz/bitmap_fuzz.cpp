// libFuzzer target for the bitmap decoder: any bytes as a texture file. Decoding must not
// crash or touch memory outside the bytes given, and an accepted picture has exactly its
// pixels, within the size limit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "scene/bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ImageRecord image;
  std::string message;
  if (DecodeBitmap(data, size, image, message)) {
    if (image.width < 1 || image.height < 1 || image.width > kMaxBitmapSide ||
        image.height > kMaxBitmapSide ||
        image.pixels.size() != std::size_t(image.width) * std::size_t(image.height) * 3)
      std::abort();
  } else if (message.empty()) {
    std::abort();  // a refusal always says why
  }
  return 0;
}
