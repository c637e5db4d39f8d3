// Procedural texture bitmaps for the demo scenes, written as 24-bit bottom-up bitmaps.
#include "demo_textures.h"

#include <array>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "bmp.h"

double TextureNoise(int x, int y, int seed) {
  std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u +
                    static_cast<std::uint32_t>(y) * 668265263u +
                    static_cast<std::uint32_t>(seed) * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return static_cast<double>((h ^ (h >> 16)) & 0xffff) / 65535.0;
}

namespace {

std::uint8_t Clamp(double v) { return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }

double Noise(int x, int y, int seed) { return TextureNoise(x, y, seed); }

}  // namespace

bool WriteTexture(const std::string& path, int size, const std::function<Rgb(int, int)>& paint) {
  std::vector<std::uint8_t> rgba(static_cast<std::size_t>(size) * size * 4, 255);
  for (int y = 0; y < size; ++y) {
    std::uint8_t* row = &rgba[static_cast<std::size_t>(size - 1 - y) * size * 4];  // bottom-up
    for (int x = 0; x < size; ++x) {
      const Rgb c = paint(x, y);
      for (int k = 0; k < 3; ++k) row[x * 4 + k] = Clamp(c[k]);
    }
  }
  return WriteBmp(path, size, size, rgba);
}

namespace {

Rgb Brick(int x, int y) {
  const int course = y / 8;
  const int shifted = x + (course % 2) * 8;
  if (y % 8 == 7 || shifted % 16 == 15) return {190, 185, 175};  // mortar
  const double n = Noise(shifted / 16, course, 1) * 40 + Noise(x, y, 2) * 20;
  return {static_cast<int>(140 + n), static_cast<int>(60 + n / 2), static_cast<int>(45 + n / 3)};
}

Rgb Facade(int x, int y) {
  const int cx = x % 32, cy = y % 32;
  const bool window = cx >= 6 && cx < 26 && cy >= 8 && cy < 26;
  const double n = Noise(x, y, 3) * 12;
  if (!window)
    return {static_cast<int>(200 + n), static_cast<int>(196 + n), static_cast<int>(180 + n)};
  if (cx == 16 || cy == 17) return {90, 80, 70};  // window frame
  const double lit = Noise(x / 32, y / 32, 4) > 0.7 ? 120 : 0;
  return {static_cast<int>(40 + lit + n), static_cast<int>(70 + lit * 0.8 + n),
          static_cast<int>(110 + lit * 0.3 + n)};
}

Rgb Asphalt(int x, int y) {
  const double n = Noise(x, y, 5) * 30 + Noise(x / 4, y / 4, 6) * 15;
  return {static_cast<int>(60 + n), static_cast<int>(60 + n), static_cast<int>(64 + n)};
}

Rgb Pavement(int x, int y) {
  if (x % 16 == 0 || y % 16 == 0) return {120, 118, 112};
  const double n = Noise(x, y, 7) * 20;
  return {static_cast<int>(170 + n), static_cast<int>(165 + n), static_cast<int>(155 + n)};
}

Rgb Grass(int x, int y) {
  const double n = Noise(x, y, 8) * 50;
  return {static_cast<int>(40 + n / 2), static_cast<int>(110 + n), static_cast<int>(35 + n / 3)};
}

constexpr std::pair<const char*, Rgb (*)(int, int)> kTextures[] = {{"brick.bmp", Brick},
                                                                   {"facade.bmp", Facade},
                                                                   {"asphalt.bmp", Asphalt},
                                                                   {"pavement.bmp", Pavement},
                                                                   {"grass.bmp", Grass}};
constexpr int kSide = 64;

}  // namespace

std::array<double, 3> DemoTextureMean(const std::string& name) {
  std::array<double, 3> mean = {0, 0, 0};
  for (const auto& [file, paint] : kTextures) {
    if (name != file) continue;
    for (int y = 0; y < kSide; ++y)
      for (int x = 0; x < kSide; ++x) {
        const Rgb c = paint(x, y);
        for (int k = 0; k < 3; ++k) mean[k] += Clamp(c[k]) / (255.0 * kSide * kSide);
      }
  }
  return mean;
}

std::vector<OutputFile> DemoTextureFiles(const std::string& dir) {
  const std::string base = dir.empty() ? "" : dir + "/";
  std::vector<OutputFile> files;
  for (const auto& texture : kTextures) {
    const auto paint = texture.second;  // a copy for the lambda (not a structured binding)
    files.push_back({base + texture.first, [paint](const std::string& path) {
                       return WriteTexture(path, kSide, paint);
                     }});
  }
  return files;
}
