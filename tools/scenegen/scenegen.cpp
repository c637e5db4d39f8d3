// citywalk-scenegen DIR: writes the demo city (scene file and textures) into folder DIR.
//
// The city is a grid of blocks separated by streets, on asphalt: brick and office buildings
// with flat roofs on paved blocks, and a park with trees in the middle. Every building and
// tree is ringed by obstacle points so that the walker cannot pass through it, and a ring of
// points closes the city. Cars drive in the streets and people walk on the pavements: the
// cars avoid the obstacle points, the people those and their own points along the kerbs of
// their block. The walker starts in a street looking north (-z), with a car ahead.
#include <array>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

#include "command_options.h"
#include "demo_textures.h"
#include "demo_viewer.h"
#include "models.h"
#include "scene/reader.h"
#include "scene_writer.h"
#include "stress.h"

namespace {

constexpr double kBlock = 120;       // side of a block
constexpr double kPitch = 160;       // block + street
constexpr int kBlocksPerSide = 5;    // blocks -2..2 in x and z
constexpr double kTexel = 32;        // scene units per texture repeat
constexpr double kPostSpacing = 12;  // obstacle points along walls (half-size 8 closes gaps)
constexpr double kWallHalf = kBlock / 2 - 18;  // a building's half side: pavements 18 wide
constexpr double kCityEdge = 440;              // the ring of points around the city
constexpr double kCarClearance = 9;            // blocked within 18: cars keep to the streets
constexpr double kWalkerClearance = 1;         // blocked within 2: people keep to pavements
constexpr double kKerbSpacing = 3;             // people's own points: no gap for them

using Corner = std::array<double, 3>;

// Appends one textured quad with explicit texture coordinates (s, t) per corner.
void AddTexturedQuad(std::vector<SceneVertexSpec>& list, const std::array<Corner, 4>& corners,
                     const std::array<std::array<double, 2>, 4>& st, const std::string& texture) {
  for (int k = 0; k < 4; ++k) {
    SceneVertexSpec v;
    v.red = v.green = v.blue = 1;
    v.x = corners[k][0];
    v.y = corners[k][1];
    v.z = corners[k][2];
    v.texS = st[k][0];
    v.texT = st[k][1];
    v.textured = 1;
    v.texName = texture;
    v.polyEnd = k == 3;
    list.push_back(v);
  }
}

// A horizontal rectangle at height y, its texture repeating every kTexel units.
void AddGround(SceneSpec& scene, double x0, double z0, double x1, double z1, double y,
               const std::string& texture) {
  const double s = (x1 - x0) / kTexel, t = (z1 - z0) / kTexel;
  AddTexturedQuad(scene.staticList, {{{x0, y, z0}, {x1, y, z0}, {x1, y, z1}, {x0, y, z1}}},
                  {{{0, 0}, {s, 0}, {s, t}, {0, t}}}, texture);
}

// Obstacle points along the segment from (x0, z0) to (x1, z1).
void AddPostLine(SceneSpec& scene, double x0, double z0, double x1, double z1) {
  const double length = std::abs(x1 - x0) + std::abs(z1 - z0);
  const int steps = static_cast<int>(length / kPostSpacing) + 1;
  for (int k = 0; k <= steps; ++k) {
    const double f = static_cast<double>(k) / steps;
    scene.posts.emplace_back(x0 + (x1 - x0) * f, z0 + (z1 - z0) * f);
  }
}

// The four upright walls round the square (x0, z0)-(x1, z1) from the ground up to height
// top, going round x0z0, x1z0, x1z1, x0z1; the texture spans s across and t up each wall.
void AddWalls(SceneSpec& scene, double x0, double z0, double x1, double z1, double top, double s,
              double t, const std::string& wall) {
  const std::array<std::array<Corner, 2>, 4> walls = {{{{{x0, 0, z0}, {x1, 0, z0}}},
                                                       {{{x1, 0, z0}, {x1, 0, z1}}},
                                                       {{{x1, 0, z1}, {x0, 0, z1}}},
                                                       {{{x0, 0, z1}, {x0, 0, z0}}}}};
  for (const auto& w : walls) {
    const Corner a = w[0], b = w[1];
    AddTexturedQuad(scene.staticList, {{a, b, {b[0], top, b[2]}, {a[0], top, a[2]}}},
                    {{{0, 0}, {s, 0}, {s, t}, {0, t}}}, wall);
  }
}

// A box building: four textured walls and a plain roof, ringed by obstacle points.
void AddBuilding(SceneSpec& scene, double cx, double cz, double half, double height,
                 const std::string& wall, const std::array<double, 3>& roof) {
  const double x0 = cx - half, x1 = cx + half, z0 = cz - half, z1 = cz + half;
  const double top = -height;
  AddWalls(scene, x0, z0, x1, z1, top, 2 * half / kTexel, height / kTexel, wall);
  AddPolygon(scene.staticList, {{x0, top, z0}, {x1, top, z0}, {x1, top, z1}, {x0, top, z1}},
             roof[0], roof[1], roof[2]);
  AddPostLine(scene, x0, z0, x1, z0);
  AddPostLine(scene, x1, z0, x1, z1);
  AddPostLine(scene, x1, z1, x0, z1);
  AddPostLine(scene, x0, z1, x0, z0);
}

// A tree of the plain list: a trunk and a crown, each two crossed upright quads.
void AddTree(SceneSpec& scene, double x, double z, double size) {
  const double r = size * 0.08, h = size * 0.5, c = size * 0.45;
  AddPolygon(scene.plainList, {{x - r, 0, z}, {x + r, 0, z}, {x + r, -h, z}, {x - r, -h, z}}, 0.35,
             0.22, 0.1);
  AddPolygon(scene.plainList, {{x, 0, z - r}, {x, 0, z + r}, {x, -h, z + r}, {x, -h, z - r}}, 0.3,
             0.19, 0.08);
  AddPolygon(scene.plainList,
             {{x - c, -h * 0.8, z}, {x, -size, z}, {x + c, -h * 0.8, z}, {x, -h * 1.2, z}}, 0.1,
             0.45, 0.12);
  AddPolygon(scene.plainList,
             {{x, -h * 0.8, z - c}, {x, -size, z}, {x, -h * 0.8, z + c}, {x, -h * 1.2, z}}, 0.08,
             0.38, 0.1);
  scene.posts.emplace_back(x, z);
}

// People walk on the pavement ring of the block at (cx, cz), between two rings of their own
// points: along the building's walls and along the kerb (the park has no walls: there they
// walk on the grass among the trees' points as well).
SceneObjectSpec PersonOnBlock(double cx, double cz, double along, int side, const Colour& c) {
  SceneObjectSpec person = Pedestrian(c);
  const double r = (kWallHalf + kBlock / 2) / 2;  // the middle of the pavement
  const double headings[4] = {180, -90, 0, 90};   // west side going south: anticlockwise
  const double xs[4] = {-r, along, r, along};
  const double zs[4] = {along, -r, along, r};
  person.x = cx + xs[side];
  person.z = cz + zs[side];
  person.headingDeg = headings[side];
  person.maxSpeed = 0.4;
  person.clearance = kWalkerClearance;
  person.flagB = 1;
  const bool park = cx == 0 && cz == 0;
  person.flagA = park ? 1 : 0;
  for (const double h : {kBlock / 2, kWallHalf}) {
    if (park && h == kWallHalf) continue;
    const int steps = static_cast<int>(2 * h / kKerbSpacing);
    for (int k = 0; k < steps; ++k) {
      const double t = -h + 2 * h * k / steps;
      person.waypoints.emplace_back(cx + t, cz - h);
      person.waypoints.emplace_back(cx + h, cz + t);
      person.waypoints.emplace_back(cx - t, cz + h);
      person.waypoints.emplace_back(cx - h, cz - t);
    }
  }
  return person;
}

// A car on a street centre line, at (x, z) with the given heading (0 = north, -z).
SceneObjectSpec CarAt(double x, double z, double headingDeg, double topSpeed, const Colour& c) {
  SceneObjectSpec car = Car(c);
  car.x = x;
  car.z = z;
  car.headingDeg = headingDeg;
  car.maxSpeed = topSpeed;
  car.clearance = kCarClearance;
  car.flagA = 1;
  return car;
}

void AddTraffic(SceneSpec& scene) {
  const double street = kPitch / 2;  // street centre lines at +-80 and +-240
  const Colour paints[] = {{0.75, 0.1, 0.1}, {0.1, 0.3, 0.7},    {0.9, 0.8, 0.2},
                           {0.2, 0.6, 0.3},  {0.85, 0.85, 0.85}, {0.15, 0.15, 0.15},
                           {0.9, 0.45, 0.1}, {0.5, 0.2, 0.6}};
  struct Place {
    double x, z, heading, speed;
  };
  const Place cars[] = {
      {street, 200, 0, 2.5},        {-street, -200, 180, 2.5},   {3 * street, 0, 0, 3},
      {-3 * street, 120, 180, 3.5}, {-280, street, 90, 3},       {300, -street, -90, 2.5},
      {0, 3 * street, 90, 3},       {40, -3 * street, -90, 3.5},
  };
  int n = 0;
  for (const Place& p : cars)
    scene.objects.push_back(CarAt(p.x, p.z, p.heading, p.speed, paints[n++ % 8]));
  const Colour clothes[] = {{0.6, 0.1, 0.15}, {0.1, 0.4, 0.6},  {0.8, 0.7, 0.3},
                            {0.3, 0.5, 0.2},  {0.5, 0.5, 0.55}, {0.7, 0.35, 0.5}};
  struct Walk {
    int i, j, side;
    double along;
  };
  const Walk people[] = {{0, 1, 0, 20},   {1, 1, 1, -30}, {0, 2, 2, 0},  {1, 2, 3, 10},
                         {-1, 1, 2, -20}, {-1, 0, 0, 30}, {1, -1, 1, 0}, {0, 0, 3, -10},
                         {0, 1, 2, -40},  {1, 0, 0, 25}};
  n = 0;
  for (const Walk& w : people)
    scene.objects.push_back(
        PersonOnBlock(w.i * kPitch, w.j * kPitch, w.along, w.side, clothes[n++ % 6]));
}

// The city with its traffic and the settings every demo shares.
SceneSpec City() {
  SceneSpec scene;
  DemoSettings(scene.settings);
  scene.settings.farPlane = 4000;

  const double extent = (kBlocksPerSide / 2) * kPitch + kPitch / 2 + 200;
  AddGround(scene, -extent, -extent, extent, extent, 0, "asphalt.bmp");

  int n = 0;
  for (int i = -kBlocksPerSide / 2; i <= kBlocksPerSide / 2; ++i) {
    for (int j = -kBlocksPerSide / 2; j <= kBlocksPerSide / 2; ++j, ++n) {
      const double cx = i * kPitch, cz = j * kPitch, h = kBlock / 2;
      if (i == 0 && j == 0) {  // the park
        AddGround(scene, cx - h, cz - h, cx + h, cz + h, -0.5, "grass.bmp");
        for (int k = 0; k < 9; ++k)
          AddTree(scene, cx - 40 + (k % 3) * 40, cz - 40 + (k / 3) * 40, 26 + (k * 7) % 12);
        continue;
      }
      AddGround(scene, cx - h, cz - h, cx + h, cz + h, -0.5, "pavement.bmp");
      const double height = 40 + ((n * 37) % 5) * 24;
      const bool office = (i + j) % 2 == 0;
      AddBuilding(
          scene, cx, cz, kWallHalf, height, office ? "facade.bmp" : "brick.bmp",
          office ? std::array<double, 3>{0.45, 0.45, 0.5} : std::array<double, 3>{0.4, 0.25, 0.2});
    }
  }
  AddPostLine(scene, -kCityEdge, -kCityEdge, kCityEdge, -kCityEdge);
  AddPostLine(scene, kCityEdge, -kCityEdge, kCityEdge, kCityEdge);
  AddPostLine(scene, kCityEdge, kCityEdge, -kCityEdge, kCityEdge);
  AddPostLine(scene, -kCityEdge, kCityEdge, -kCityEdge, -kCityEdge);
  AddTraffic(scene);
  return scene;
}

// Control mode 1: walking in the first person, at the south edge of the city looking north.
SceneSpec WalkScene() {
  SceneSpec scene = City();
  PlaceViewer(scene, kModeWalk, kPitch / 2, 2.5 * kPitch - 10, 0);
  return scene;
}

// Control mode 2: the driver's seat of a car in a street with room to drive.
SceneSpec DriveScene() {
  SceneSpec scene = City();
  PlaceViewer(scene, kModeDrive, kPitch / 2 + 8, 2 * kPitch + 40, 0);
  return scene;
}

// Control mode 3: a walking figure in a street, watched from behind.
SceneSpec FollowScene() {
  SceneSpec scene = City();
  PlaceViewer(scene, kModeFollow, kPitch / 2, 2 * kPitch, 0);
  return scene;
}

// Control mode 4: the car of mode 2 in a street, watched from behind.
SceneSpec ChaseScene() {
  SceneSpec scene = City();
  PlaceViewer(scene, kModeChase, kPitch / 2 + 8, 2 * kPitch + 40, 0);
  return scene;
}

}  // namespace

// The data model at its capacity, for benchmarks: 25,000 textured quads in the static list
// (100,000 vertices: 5,000 towers of four walls and a roof), 25,000 coloured ground tiles in
// the plain list, an avatar of 6,500 vertices (small cubes below and behind the walker's eye),
// 50 objects of 2,000 vertices with 20 swinging parts each, and 20,000 posts (the towers'
// corners). The walker stands at one edge looking across the towers.
SceneSpec CapacityScene() {
  SceneSpec scene;
  SceneSettingsSpec& s = scene.settings;
  s.ControlMode = 1;
  s.fieldOfView = 60;
  s.farPlane = 3000;
  s.clearRed = 0.55;
  s.clearGreen = 0.72;
  s.clearBlue = 0.92;
  s.collisionRadius = 3;
  StartAt(s, 0, 30, kDemoEyeHeight, 0);
  constexpr int kColumns = 100, kRows = 50;  // towers
  constexpr double kSpacing = 20, kSide = 10;
  const double x0 = -kColumns * kSpacing / 2;
  // Towers of one texture come one after another, as a scene author would list them: the
  // textures are switched twice a frame, not at every tower.
  for (int pass = 0; pass < 2; ++pass) {
    for (int r = 0; r < kRows; ++r) {
      for (int c = 0; c < kColumns; ++c) {
        if ((r + c) % 2 != pass) continue;
        const double cx = x0 + c * kSpacing, cz = -r * kSpacing - 20, h = kSide / 2;
        const double top = -(12 + (c * 7 + r * 13) % 40);
        const std::string wall = pass ? "brick.bmp" : "facade.bmp";
        AddWalls(scene, cx - h, cz - h, cx + h, cz + h, top, 1, 2, wall);
        AddTexturedQuad(scene.staticList,
                        {{{cx - h, top, cz - h},
                          {cx + h, top, cz - h},
                          {cx + h, top, cz + h},
                          {cx - h, top, cz + h}}},
                        {{{0, 0}, {1, 0}, {1, 1}, {0, 1}}}, wall);
        for (const double dx : {-h, h})
          for (const double dz : {-h, h}) scene.posts.emplace_back(cx + dx, cz + dz);
      }
    }
  }
  constexpr int kTiles = 158;  // 158 x 158 tiles: 24,964 quads
  const double tile = kColumns * kSpacing / kTiles, tz0 = -kRows * kSpacing + 40;
  for (int i = 0; i < kTiles; ++i) {
    for (int j = 0; j < kTiles; ++j) {
      const double x = x0 + i * tile, z = tz0 + j * tile * kRows / kColumns * 1.0;
      const double dz = tile * kRows / kColumns;
      const double g = (i + j) % 2 ? 0.35 : 0.42;
      AddPolygon(scene.plainList,
                 {{x, 0.2, z}, {x + tile, 0.2, z}, {x + tile, 0.2, z + dz}, {x, 0.2, z + dz}}, g, g,
                 g + 0.03);
    }
  }
  for (int k = 0; k < 1625; ++k) {  // 6,500 vertices
    const double x = (k % 25) * 0.4 - 5, z = 2 + (k / 25) * 0.4;
    AddPolygon(scene.avatarList,
               {{x, 8, z}, {x + 0.3, 8, z}, {x + 0.3, 8, z + 0.3}, {x, 8, z + 0.3}}, 0.3, 0.3, 0.3);
  }
  for (int o = 0; o < 50; ++o) {
    SceneObjectSpec obj;
    obj.x = x0 + 100 + (o % 10) * 180;
    obj.z = -10 - (o / 10) * 200;
    obj.headingDeg = (o * 37) % 360;
    obj.maxSpeed = 1 + o % 3;
    obj.clearance = 4;
    obj.flagA = o < 10 ? 1 : 0;
    for (int q = 0; q < 500; ++q) {  // 2,000 vertices: a block of 500 small quads
      const double x = (q % 10) * 0.8 - 4, y = -1 - (q / 10 % 10) * 0.8, z = (q / 100) * 1.6 - 4;
      AddPolygon(obj.vertices, {{x, y, z}, {x + 0.7, y, z}, {x + 0.7, y - 0.7, z}, {x, y - 0.7, z}},
                 0.2 + 0.015 * o, 0.4, 0.6, q < 100 ? "brick.bmp" : "", (q / 25) % 20);
    }
    obj.vertices.back().part = kNoPart;  // the list ends untagged
    for (int p = 0; p < 20; ++p) {
      ScenePartSpec part{};
      for (ScenePartRowSpec& row : part) {
        row.offsetY = -4;
        row.swingX = 10 + p;
        row.steps = 5;
      }
      obj.parts.push_back(part);
    }
    scene.objects.push_back(obj);
  }
  return scene;
}

namespace {

// The demo scenes by name, the walk first (the default).
struct Demo {
  const char* name;
  const char* help;
  SceneSpec (*build)();
};
constexpr Demo kDemos[] = {{"walk", "the walking city (the default)", WalkScene},
                           {"drive", "the driving city", DriveScene},
                           {"follow", "the walking figure, watched from behind", FollowScene},
                           {"chase", "the car, watched from behind", ChaseScene},
                           {"capacity", "every table at its full size", CapacityScene}};

// The command line: -1 to go on, else the status to end with.
int ReadArguments(int argc, char** argv, const Demo*& demo, bool& stress, std::uint64_t& seed,
                  std::string& dir) {
  CommandLine line{
      "citywalk-scenegen", "DIR", {}, [&dir](const std::string& word, std::string& error) {
        if (!dir.empty()) error = "one folder only";
        if (dir.empty()) dir = word;
        return error.empty();
      }};
  for (const Demo& d : kDemos)
    if (&d != &kDemos[0])
      line.options.push_back(
          {std::string("--") + d.name, "", d.help, [&demo, &d](const std::string&, std::string&) {
             demo = &d;
             return true;
           }});
  const auto takeSeed = TakeNumber<std::uint64_t>(
      seed, 0, std::numeric_limits<std::uint64_t>::max(), "--stress needs a seed (a whole number)");
  line.options.push_back({"--stress", "SEED",
                          "a random scene built to part the ways of drawing, the same for a seed",
                          [&stress, takeSeed](const std::string& value, std::string& error) {
                            stress = true;
                            return takeSeed(value, error);
                          }});
  const int status = ::ReadCommandLine(line, argc, argv, 1);
  if (status >= 0 || !dir.empty()) return status;
  std::fprintf(stderr,
               "citywalk-scenegen: no folder given (citywalk-scenegen --help for the usage)\n");
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const Demo* demo = &kDemos[0];
  std::string dir;
  bool stress = false;
  std::uint64_t seed = 0;
  if (const int status = ReadArguments(argc, argv, demo, stress, seed, dir); status >= 0)
    return status;
  const SceneSpec scene = stress ? StressScene(seed) : demo->build();
  // The bitmaps first, the scene that names them last; all or nothing.
  std::vector<OutputFile> files = DemoTextureFiles(dir);
  if (stress) files.push_back(StressTextureFile(dir));
  files.push_back({dir + "/" + kSceneFileName,
                   [&scene](const std::string& path) { return WriteSceneFile(path, scene); }});
  std::vector<std::string> made;
  std::string error;
  if (!MakeOutputFolder(dir, made, error) || !WriteAllOrNothing(files, error)) {
    RemoveMadeFolders(made);
    std::fprintf(stderr, "citywalk-scenegen: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
