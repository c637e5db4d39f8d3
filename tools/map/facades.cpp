// Procedural façades: the tile's lower edge is the floor of a level (bitmap rows go up from
// the bottom), its window sits a third of the way up.
#include "facades.h"

#include "demo_textures.h"

namespace {

constexpr int kSide = 64;

// Whether (x, y) (y from the top) lies in the window, and on its frame.
bool InWindow(int x, int y) { return x >= 16 && x < 48 && y >= 12 && y < 42; }
bool OnFrame(int x, int y) {
  return x == 16 || x == 47 || y == 12 || y == 41 || x == 31 || y == 26;
}

// Glass: dark blue, a few panes lit.
Rgb Glass(int x, int y, int seed) {
  const double n = TextureNoise(x, y, seed) * 14;
  const double lit = TextureNoise(x / 16, y / 15, seed + 1) > 0.75 ? 110 : 0;
  return {static_cast<int>(45 + lit + n), static_cast<int>(70 + lit * 0.8 + n),
          static_cast<int>(105 + lit * 0.3 + n)};
}

// A wall colour with a little noise.
Rgb Plain(int x, int y, int seed, int r, int g, int b, double amount) {
  const double n = (TextureNoise(x, y, seed) - 0.5) * amount;
  return {static_cast<int>(r + n), static_cast<int>(g + n), static_cast<int>(b + n)};
}

// A windowed wall: the window framed in frame colour over the wall's own texel.
Rgb Windowed(int x, int y, Rgb wall, Rgb frame, int seed) {
  if (!InWindow(x, y)) return wall;
  return OnFrame(x, y) ? frame : Glass(x, y, seed);
}

Rgb Brick(int x, int y) {
  const int course = y / 6, shifted = x + (course % 2) * 6;
  Rgb wall = y % 6 == 5 || shifted % 12 == 11 ? Rgb{185, 180, 170}
                                              : Plain(shifted / 12, course, 21, 150, 72, 55, 40);
  return Windowed(x, y, wall, {235, 235, 230}, 22);
}

Rgb Plaster(int x, int y) {
  return Windowed(x, y, Plain(x, y, 23, 222, 210, 180, 16), {110, 90, 70}, 24);
}

Rgb Siding(int x, int y) {
  const Rgb board = y % 8 == 7 ? Rgb{150, 160, 165} : Plain(x / 8, y / 8, 25, 196, 206, 212, 10);
  return Windowed(x, y, board, {245, 245, 245}, 26);
}

Rgb Office(int x, int y) {
  if (y < 6 || x < 3 || x >= 61) return Plain(x, y, 27, 150, 155, 160, 10);  // the slab
  if (x % 16 == 0) return {90, 95, 100};                                     // mullions
  return Glass(x, y, 28);
}

Rgb Planks(int x, int y) {
  const Rgb wood = x % 10 == 9 ? Rgb{70, 50, 35} : Plain(x / 10, y, 29, 120, 88, 60, 18);
  return wood;
}

Rgb Gravel(int x, int y) {
  const double n = TextureNoise(x, y, 30) * 60 + TextureNoise(x / 3, y / 3, 31) * 30;
  return {static_cast<int>(150 + n), static_cast<int>(150 + n), static_cast<int>(150 + n)};
}

constexpr Rgb (*kPaint[])(int, int) = {Brick, Plaster, Siding, Office, Planks};
constexpr const char* kNames[] = {"facade-brick.bmp", "facade-plaster.bmp", "facade-siding.bmp",
                                  "facade-glass.bmp", "facade-planks.bmp"};

}  // namespace

const char* FacadeFile(Facade style) { return kNames[static_cast<int>(style)]; }

std::vector<OutputFile> TownTextureFiles(const std::string& dir) {
  const std::string base = dir.empty() ? "" : dir + "/";
  std::vector<OutputFile> files;
  for (int style = 0; style < 5; ++style) {
    const auto paint = kPaint[style];
    files.push_back({base + kNames[style], [paint](const std::string& path) {
                       return WriteTexture(path, kSide, paint);
                     }});
  }
  files.push_back({base + kRoofFile,
                   [](const std::string& path) { return WriteTexture(path, kSide, Gravel); }});
  return files;
}
