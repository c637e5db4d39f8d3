// Random stress scenes: what the scene format allows, pushed to where drawing is fragile.
#include "stress.h"

#include <array>
#include <cmath>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

#include "bmp.h"

namespace {

using Corner = std::array<double, 3>;
using Corners = std::vector<Corner>;

// Our own generator (splitmix64) and draws made from its bits alone, so that a seed gives the
// same scene everywhere.
class Dice {
 public:
  explicit Dice(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  double Unit() { return static_cast<double>(Next() >> 11) * 0x1p-53; }
  double Range(double lo, double hi) { return lo + (hi - lo) * Unit(); }
  // Spread evenly over the orders of magnitude from lo to hi (both positive).
  double Scale(double lo, double hi) { return lo * std::pow(hi / lo, Unit()); }
  int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
  bool OneIn(int n) { return Below(n) == 0; }
  template <typename T, std::size_t N>
  T Pick(const std::array<T, N>& choices) {
    return choices[Below(static_cast<int>(N))];
  }

 private:
  std::uint64_t state_;
};

// The demo textures, the stress scenes' 4 x 4 texels (magnified and smoothed, their every
// shade is drawn somewhere), and a name no file has (the polygon is drawn untextured).
const std::array<std::string, 8> kTextures = {"brick.bmp",  "facade.bmp", "asphalt.bmp",
                                              "grass.bmp",  "texels.bmp", "texels.bmp",
                                              "texels.bmp", "missing.bmp"};

// A polygon's look: its colour, its texture ("": none), how often the texture repeats, and the
// textured flag written (1 or 0 from the texture, or another value).
struct Look {
  double r = 1, g = 1, b = 1;
  std::string texture;
  double repeat = 1;
  int flag = -1;  // -1: from the texture
};

// A colour channel: mostly tenths and hundredths, as scene authors write them, which put a
// channel (0.5 x 255 = 127.5) or a channel times a texel (0.78 x 125 = 97.5) right on the
// boundary between two levels, where the least error in drawing shows.
double Channel(Dice& dice) {
  const int kind = dice.Below(3);
  if (kind == 0) return dice.Below(11) / 10.0;
  if (kind == 1) return dice.Below(101) / 100.0;
  return dice.Unit();
}

Look RandomLook(Dice& dice) {
  Look look;
  look.r = Channel(dice);
  look.g = Channel(dice);
  look.b = Channel(dice);
  if (dice.OneIn(2)) look.texture = dice.Pick(kTextures);
  look.repeat = dice.Scale(0.05, 20);
  return look;
}

// Appends a polygon; its texture coordinates go round the unit square, times the repeat.
void Add(std::vector<SceneVertexSpec>& list, const Corners& corners, const Look& look,
         int part = kNoPart) {
  for (std::size_t i = 0; i < corners.size(); ++i) {
    SceneVertexSpec v;
    v.red = look.r;
    v.green = look.g;
    v.blue = look.b;
    v.x = corners[i][0];
    v.y = corners[i][1];
    v.z = corners[i][2];
    v.polyEnd = i + 1 == corners.size();
    const double a = 2 * std::numbers::pi * static_cast<double>(i) / corners.size();
    v.texS = (0.5 + 0.5 * std::cos(a)) * look.repeat;
    v.texT = (0.5 + 0.5 * std::sin(a)) * look.repeat;
    v.textured = look.flag >= 0 ? look.flag : !look.texture.empty();
    v.texName = look.texture;
    v.part = part;
    list.push_back(v);
  }
}

// An upright wall from (x0, z0) to (x1, z1), from the ground (y = 0) up to height (y points
// down).
Corners Wall(double x0, double z0, double x1, double z1, double height) {
  return {{x0, 0, z0}, {x1, 0, z1}, {x1, -height, z1}, {x0, -height, z0}};
}

// A regular polygon of n corners and radius r about c, upright (facing z) or flat.
Corners Disc(const Corner& c, double r, int n, bool upright) {
  Corners corners;
  for (int k = 0; k < n; ++k) {
    const double a = 2 * std::numbers::pi * k / n, u = r * std::cos(a), v = r * std::sin(a);
    corners.push_back(upright ? Corner{c[0] + u, c[1] + v, c[2]}
                              : Corner{c[0] + u, c[1], c[2] + v});
  }
  return corners;
}

void Settings(Dice& dice, SceneSettingsSpec& s) {
  s.fieldOfView =
      dice.OneIn(3) ? dice.Pick(std::array{1, 2, 3, 170, 178, 179}) : 1 + dice.Below(179);
  s.farPlane = dice.OneIn(3) ? dice.Pick(std::array{20.0, 3000.0, 1e5, 1e6}) : dice.Scale(20, 1e6);
  s.smoothShading = dice.Below(3);  // 2: OpenGL's default, smooth
  s.light0Enabled = dice.OneIn(4);
  s.light1Enabled = dice.OneIn(6);
  s.light0Level = dice.Unit();
  s.light1Level = dice.Unit();
  s.linearMagFilter = dice.OneIn(4) ? 0 : 1;
  s.distanceCulling = dice.OneIn(8);
  s.drawDistance = 50 + dice.Below(2000);
  s.ControlMode = dice.Pick(std::array{1, 1, 1, 2, 2, 3, 3, 4, 4, 0, 5});
  s.turnStyle = 1 + dice.Below(2);
  s.collisionRadius = 3;
  s.bodyX = dice.Range(-20, 20);
  s.bodyY = -dice.Scale(1, 60);
  s.bodyZ = dice.Range(-20, 40);
  s.startTargetX = s.bodyX;
  s.startTargetY = s.bodyY + dice.Range(-30, 30);
  s.startTargetZ = s.bodyZ - 100;
  s.modeEyeX = s.bodyX;
  s.modeEyeY = -dice.Scale(2, 80);
  s.modeEyeZ = s.bodyZ + dice.Scale(1, 100);
  s.modeRefX = s.bodyX;
  s.modeRefY = s.bodyY;
  s.modeRefZ = s.bodyZ;
  s.walkStepDivisor = 1 + dice.Below(20);
  s.motion[0] = dice.Scale(1, 10);   // walkMaxSpeed
  s.motion[2] = dice.Range(0.3, 2);  // walkAccel, also the objects' acceleration
  s.motion[5] = dice.Scale(1, 30);   // crouchDepth
  s.motion[6] = dice.Scale(2, 60);   // jumpHeight
  s.motion[9] = dice.Scale(1, 12);   // driveMaxSpeed
  s.clearRed = dice.Unit();
  s.clearGreen = dice.Unit();
  s.clearBlue = dice.Unit();
}

// Boxes of every size, overlapping where they fall, some with a twin on the same faces or a
// hair off them in another colour or texture.
void Towers(Dice& dice, SceneSpec& scene) {
  const int count = 5 + dice.Below(50);
  for (int t = 0; t < count; ++t) {
    const double cx = dice.Range(-300, 300), cz = dice.Range(-500, 60);
    const double hx = dice.Scale(0.3, 60), hz = dice.Scale(0.3, 60), h = dice.Scale(1, 300);
    const int copies = dice.OneIn(3) ? 2 : 1;
    for (int copy = 0; copy < copies; ++copy) {
      const double off = copy == 0 ? 0 : dice.Pick(std::array{0.0, 1e-4, 1e-2, 0.3});
      const double x0 = cx - hx + off, x1 = cx + hx + off, z0 = cz - hz, z1 = cz + hz;
      const Look look = RandomLook(dice);
      Add(scene.staticList, Wall(x0, z0, x1, z0, h), look);
      Add(scene.staticList, Wall(x1, z0, x1, z1, h), look);
      Add(scene.staticList, Wall(x1, z1, x0, z1, h), look);
      Add(scene.staticList, Wall(x0, z1, x0, z0, h), look);
      Add(scene.staticList, {{x0, -h, z0}, {x1, -h, z0}, {x1, -h, z1}, {x0, -h, z1}},
          RandomLook(dice));
    }
  }
}

// Walls grazing the line of sight from the start, pairs of walls a hair apart facing it, and
// a wall far out at the far plane's reach.
void Walls(Dice& dice, SceneSpec& scene) {
  const SceneSettingsSpec& s = scene.settings;
  for (int k = dice.Below(8); k > 0; --k) {
    const double a = dice.Range(-0.02, 0.02) + dice.Pick(std::array{0.0, std::numbers::pi / 2});
    const double x = s.bodyX + dice.Range(-5, 5), z = s.bodyZ - dice.Range(1, 30);
    const double length = dice.Scale(50, 5e4);
    Add(scene.staticList,
        Wall(x, z, x + length * std::sin(a), z - length * std::cos(a), dice.Scale(5, 500)),
        RandomLook(dice));
  }
  for (int k = dice.Below(6); k > 0; --k) {
    const double z = s.bodyZ - dice.Scale(5, 5e3), w = dice.Scale(5, 2e3),
                 gap = dice.Scale(1e-4, 2);
    const double x = s.bodyX + dice.Range(-w, w), h = dice.Scale(5, 2e3);
    Add(scene.staticList, Wall(x - w, z, x + w, z, h), RandomLook(dice));
    Add(scene.staticList, Wall(x - w, z - gap, x + w, z - gap, h), RandomLook(dice));
  }
  if (dice.OneIn(2)) {
    const double z = s.bodyZ - dice.Scale(1e3, 1e6), w = dice.Scale(1e3, 1e6);
    Add(scene.staticList, Wall(-w, z, w, z, w), RandomLook(dice));
  }
}

// Polygons that are not flat, have no area, have more than 8 corners (one after another), are
// tiny, cross the near plane at the start, and a polygon with an unknown textured flag.
void Oddities(Dice& dice, SceneSpec& scene) {
  const SceneSettingsSpec& s = scene.settings;
  auto near = [&](double spread) {
    return Corner{s.bodyX + dice.Range(-spread, spread), s.bodyY + dice.Range(-spread, spread),
                  s.bodyZ - dice.Range(0, 2 * spread)};
  };
  for (int k = dice.Below(10); k > 0; --k) {
    const Corner c = near(200);
    const double r = dice.Scale(1, 100), lift = dice.Scale(0.01, 30);
    Add(scene.staticList,
        {{c[0] - r, c[1], c[2]},
         {c[0] + r, c[1], c[2]},
         {c[0] + r, c[1] - r, c[2] + lift},
         {c[0] - r, c[1] - r, c[2]}},
        RandomLook(dice));
  }
  for (int k = dice.Below(6); k > 0; --k) {
    const Corner a = near(100), b = near(100);
    const Corner m = {(a[0] + b[0]) / 2, (a[1] + b[1]) / 2, (a[2] + b[2]) / 2};
    const int shape = dice.Below(4);
    if (shape == 0) Add(scene.staticList, {a, m, b}, RandomLook(dice));  // in a line
    if (shape == 1) Add(scene.staticList, {a, a, b, b}, RandomLook(dice));
    if (shape == 2) Add(scene.staticList, {a, b}, RandomLook(dice));
    if (shape == 3) Add(scene.staticList, {a}, RandomLook(dice));
  }
  for (int run = dice.Below(4); run > 0; --run) {
    const Look look = RandomLook(dice);
    for (int k = 1 + dice.Below(5); k > 0; --k)
      Add(scene.staticList, Disc(near(150), dice.Scale(1, 80), 9 + dice.Below(16), dice.OneIn(2)),
          dice.OneIn(2) ? look : RandomLook(dice));
  }
  for (int k = dice.Below(20); k > 0; --k)
    Add(scene.staticList, Disc(near(100), dice.Scale(1e-3, 0.3), 3 + dice.Below(3), true),
        RandomLook(dice));
  for (int k = dice.Below(4); k > 0; --k) {  // through the eye's start, and across near it
    const double r = dice.Scale(0.5, 50);
    Add(scene.staticList,
        {{s.bodyX - r, s.bodyY + r, s.bodyZ + r},
         {s.bodyX + r, s.bodyY + r, s.bodyZ - r},
         {s.bodyX + r, s.bodyY - r, s.bodyZ - r},
         {s.bodyX - r, s.bodyY - r, s.bodyZ + r}},
        RandomLook(dice));
  }
  if (dice.OneIn(4) && scene.staticList.size() > 4) {  // passed over where it stands
    Look look = RandomLook(dice);
    look.flag = 2 + dice.Below(3);
    Add(scene.staticList, Disc(near(50), 10, 4, true), look);
  }
}

// The ground: one huge polygon or a field of tiles, and a plain list partly on the same plane.
void Ground(Dice& dice, SceneSpec& scene) {
  const double size = dice.Pick(std::array{600.0, 1e4, 1e6});
  Add(scene.staticList, {{-size, 0, -size}, {size, 0, -size}, {size, 0, size}, {-size, 0, size}},
      RandomLook(dice));
  for (int k = dice.Below(40); k > 0; --k) {
    const double x = dice.Range(-200, 200), z = dice.Range(-300, 50), w = dice.Scale(1, 100);
    const double y = dice.OneIn(2) ? 0 : -dice.Scale(1e-3, 50);
    Look look = RandomLook(dice);
    look.texture.clear();
    Add(scene.plainList, {{x, y, z}, {x + w, y, z}, {x + w, y, z + w}, {x, y, z + w}}, look);
  }
}

// A model of boxes, each carrying a part (or none), with long or short runs between the part
// switches, and the parts' swings in every motion row.
SceneObjectSpec Model(Dice& dice, double size) {
  SceneObjectSpec model;
  const int parts = dice.Below(5), boxes = 1 + dice.Below(12), faces = dice.OneIn(2) ? 1 : 8;
  for (int b = 0; b < boxes; ++b) {
    const int part = parts > 0 && !dice.OneIn(3) ? dice.Below(parts) : kNoPart;
    const Corner c = {dice.Range(-size, size), -dice.Range(0, 2 * size), dice.Range(-size, size)};
    const double r = dice.Scale(size / 20, size);
    const Look look = RandomLook(dice);
    for (int f = 0; f < faces; ++f) {
      const double z = c[2] + r * (f - faces / 2.0) / faces;
      Add(model.vertices,
          Disc({c[0], c[1], z}, r, 4 + dice.Below(3) * (dice.OneIn(4) ? 4 : 0), true), look, part);
    }
  }
  model.vertices.back().part = kNoPart;
  for (int p = 0; p < parts; ++p) {
    ScenePartSpec spec{};
    for (ScenePartRowSpec& row : spec) {
      row.offsetX = dice.Range(-size, size);
      row.offsetY = -dice.Range(0, size);
      row.offsetZ = dice.Range(-size, size);
      row.swingX = dice.Range(-90, 90);
      row.swingY = dice.OneIn(2) ? dice.Range(-90, 90) : 0;
      row.swingZ = dice.OneIn(2) ? dice.Range(-90, 90) : 0;
      row.tiltX = dice.OneIn(3) ? dice.Range(-45, 45) : 0;
      row.steps = 1 + dice.Below(12);
    }
    model.parts.push_back(spec);
  }
  return model;
}

void Movers(Dice& dice, SceneSpec& scene) {
  const SceneSettingsSpec& s = scene.settings;
  for (int o = dice.Below(7); o > 0; --o) {
    SceneObjectSpec object = Model(dice, dice.Scale(1, 30));
    object.x = s.bodyX + dice.Range(-100, 100);
    object.z = s.bodyZ - dice.Range(0, 200);
    object.headingDeg = dice.Range(0, 360);
    object.maxSpeed = dice.Range(0, 3);
    object.clearance = 1;
    object.nearTest = dice.OneIn(4);
    object.nearDistance = dice.Scale(20, 500);
    scene.objects.push_back(object);
  }
  if (dice.OneIn(5)) return;
  const SceneObjectSpec avatar = Model(dice, dice.Scale(1, 10));
  scene.avatarList = avatar.vertices;
  scene.avatarParts = avatar.parts;
  scene.avatarHeadingOffset = dice.Range(-180, 180);
}

}  // namespace

// 4 x 4 texels of a few levels, equal ones side by side: magnified and smoothed, the texture
// has flat stretches of a level (125 x 0.78 = 97.5) as well as every shade between.
OutputFile StressTextureFile(const std::string& dir) {
  return {dir + "/texels.bmp", [](const std::string& path) {
            Dice dice(0);
            const std::array<std::uint8_t, 6> levels = {0, 50, 125, 130, 250, 255};
            std::vector<std::uint8_t> rgba(4 * 4 * 4, 255);
            for (int y = 0; y < 4; ++y)
              for (int x = 0; x < 4; ++x)
                for (int c = 0; c < 3; ++c)
                  rgba[4 * (4 * y + x) + c] = x % 2 == 1 && dice.OneIn(2)
                                                  ? rgba[4 * (4 * y + x - 1) + c]
                                                  : dice.Pick(levels);
            return WriteBmp(path, 4, 4, rgba);
          }};
}

SceneSpec StressScene(std::uint64_t seed) {
  Dice dice(seed);
  SceneSpec scene;
  Settings(dice, scene.settings);
  Ground(dice, scene);
  Towers(dice, scene);
  Walls(dice, scene);
  Oddities(dice, scene);
  Movers(dice, scene);
  for (int k = dice.Below(6); k > 0; --k)
    scene.posts.emplace_back(dice.Range(-200, 200), dice.Range(-300, 50));
  return scene;
}
