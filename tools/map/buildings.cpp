// Buildings from their footprints and tags.
#include "buildings.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "map_classes.h"
#include "shared_walls.h"

namespace {

constexpr double kLevel = 3;          // metres a level
constexpr double kDefaultHeight = 6;  // a building without height or levels
constexpr double kSmallHeight = 3;    // a shed, a garage, a carport, a roof
constexpr double kTallest = 1000;     // heights beyond are taken for mistakes
constexpr double kRoofTexel = 40;     // the roof's gravel repeats every 4 m
constexpr double kLeastArea = 1;      // square scene units (0.01 m²): less is no area

constexpr const char* kSmallKinds[] = {"shed", "garage", "garages", "carport", "roof"};

// Roof colours, chosen by the building's id.
constexpr double kRoofColours[][3] = {{0.55, 0.55, 0.58}, {0.62, 0.32, 0.26}, {0.42, 0.3, 0.24},
                                      {0.33, 0.36, 0.4},  {0.7, 0.68, 0.62},  {0.3, 0.42, 0.33}};

// A well-mixed hash of an object's id, so that styles do not follow the ids' order.
std::uint64_t Mix(std::uint64_t v) {
  v += 0x9e3779b97f4a7c15ULL;
  v = (v ^ (v >> 30)) * 0xbf58476d1ce4e5b9ULL;
  v = (v ^ (v >> 27)) * 0x94d049bb133111ebULL;
  return v ^ (v >> 31);
}

// A length in metres from a tag: a number, optionally followed by "m".
bool Metres(const char* text, double& value) {
  std::string t = text;
  while (!t.empty() && t.back() == ' ') t.pop_back();
  if (!t.empty() && t.back() == 'm') t.pop_back();
  while (!t.empty() && t.back() == ' ') t.pop_back();
  std::size_t start = 0;
  while (start < t.size() && t[start] == ' ') ++start;
  const char* end = t.data() + t.size();
  const auto result = std::from_chars(t.data() + start, end, value);
  return result.ec == std::errc() && result.ptr == end && start < t.size() && std::isfinite(value);
}

std::string Name(const MapArea& area) {
  return (area.relation ? "relation " : "way ") + std::to_string(area.id);
}

// A tag in metres within [low, high) (a count of levels times kLevel when levels is set);
// a tag that is present but not such a number is noted and ignored.
bool TagMetres(const MapArea& area, const char* key, double scale, double low, double high,
               double& value, MapNotes& notes) {
  const char* text = area.tags.Get(key);
  if (!text) return false;
  double v = 0;
  if (Metres(text, v) && v >= low && v * scale < high) {
    value = v * scale;
    return true;
  }
  notes.lines.push_back(Name(area) + ": " + key + " \"" + text +
                        "\" is not a usable number; ignored");
  return false;
}

// Height, base and level height of a building from its tags.
void Heights(const MapArea& area, Building& b, MapNotes& notes) {
  const char* kind = area.tags.Get("building");
  bool small = false;
  for (const char* k : kSmallKinds) small = small || (kind && std::strcmp(kind, k) == 0);
  double levels = 0;
  const bool hasLevels =
      TagMetres(area, "building:levels", 1, 0.5, kTallest / kLevel, levels, notes);
  b.height = small ? kSmallHeight : kDefaultHeight;
  if (!TagMetres(area, "height", 1, 0.1, kTallest, b.height, notes) && hasLevels)
    b.height = levels * kLevel;
  if (!TagMetres(area, "min_height", 1, 0, kTallest, b.minHeight, notes))
    TagMetres(area, "building:min_level", kLevel, 0, kTallest, b.minHeight, notes);
  if (b.minHeight >= b.height) {
    char text[96];
    std::snprintf(text, sizeof text,
                  ": its base (%g m) is not below its top (%g m); built from "
                  "the ground",
                  b.minHeight, b.height);
    notes.lines.push_back(Name(area) + text);
    b.minHeight = 0;
  }
  const double count = hasLevels ? levels : std::max(1.0, std::round(b.height / kLevel));
  b.levelHeight = b.height / count;
  b.style = small ? Facade::kPlanks
                  : static_cast<Facade>(Mix(area.id * 2 + area.relation) % kWindowedFacades);
  b.roofColour =
      static_cast<int>((Mix(area.id * 2 + area.relation) >> 8) % std::size(kRoofColours));
}

// The footprint of an area on the ground; false when it has no area.
bool Footprint(const MapArea& area, const Projection& projection, Building& b) {
  double area2 = 0;
  for (const MapPolygon& polygon : area.polygons) {
    Ring outer = GroundRing(polygon.outer, projection, true);
    if (outer.empty()) continue;
    area2 += TwiceArea(outer);
    b.rings.push_back(std::move(outer));
    for (const auto& inner : polygon.inners) {
      Ring hole = GroundRing(inner, projection, false);
      if (hole.empty()) continue;
      area2 += TwiceArea(hole);
      b.rings.push_back(std::move(hole));
    }
  }
  for (const Ring& ring : b.rings)
    for (const Vec2& p : ring) b.reach = std::max(b.reach, Length(p));
  return area2 / 2 >= kLeastArea;
}

}  // namespace

namespace {

// A point inside a building: the middle of the first triangle of its roof.
Vec2 InsidePoint(const Building& b) {
  const auto& t = b.roof.corners.front();
  return (b.roof.vertices[t[0]] + b.roof.vertices[t[1]] + b.roof.vertices[t[2]]) * (1.0 / 3);
}

// Leaves out the outlines of buildings that have parts inside them: the parts show them.
void GiveWayToParts(std::vector<Building>& buildings, BuildingCounts& counts) {
  std::vector<Vec2> parts;
  for (const Building& b : buildings)
    if (b.part) parts.push_back(InsidePoint(b));
  if (parts.empty()) return;
  const auto outline = [&parts](const Building& b) {
    if (b.part) return false;
    for (const Vec2& p : parts)
      if (InsideRings(p, b.rings)) return true;
    return false;
  };
  const std::size_t before = buildings.size();
  buildings.erase(std::remove_if(buildings.begin(), buildings.end(), outline), buildings.end());
  counts.outlines += static_cast<int>(before - buildings.size());
}

}  // namespace

std::vector<Building> PlaceBuildings(const MapData& data, const Projection& projection,
                                     BuildingCounts& counts, MapNotes& notes) {
  std::vector<Building> buildings;
  for (const MapArea& area : data.buildings) {
    Building b;
    b.id = area.id;
    b.relation = area.relation;
    b.part = IsBuildingPart(area.tags);
    if (!Footprint(area, projection, b)) {
      ++counts.noArea;
      continue;
    }
    if (b.part && !Roof(b)) {  // a part's roof tells where it stands (GiveWayToParts)
      ++counts.untessellated;
      continue;
    }
    Heights(area, b, notes);
    buildings.push_back(std::move(b));
  }
  GiveWayToParts(buildings, counts);
  return buildings;
}

bool Roof(Building& b) {
  if (!b.roof.corners.empty()) return true;
  if (!Tessellate(b.rings, Winding::kNonzero, b.roof) || b.roof.corners.empty()) return false;
  b.vertices = 3 * static_cast<int>(b.roof.corners.size());
  for (const Ring& ring : b.rings) b.vertices += 4 * static_cast<int>(ring.size());
  return true;
}

bool InsideBuilding(Vec2 p, const std::vector<Building>& buildings) {
  for (const Building& b : buildings)
    if (InsideRings(p, b.rings)) return true;
  return false;
}

namespace {

// One piece of wall: from a to c between its heights, its windows a whole number of bays
// across the footprint edge and one level high; shaded by the way it faces.
void AddWall(SceneSpec& scene, const WallPiece& w) {
  const Building& b = *w.building;
  const Vec2 a = w.a, c = w.c;
  const double length = Length(c - a);
  const double bottom = -w.bottom * kUnitsPerMetre, top = -w.top * kUnitsPerMetre;
  const double t0 = std::round(w.bottom / b.levelHeight * 1e4) / 1e4;
  const double t1 = std::round(w.top / b.levelHeight * 1e4) / 1e4;
  const double s0 = std::round(w.s0 * 1e4) / 1e4, s1 = std::round(w.s1 * 1e4) / 1e4;
  // Outward is to the right of a ring that turns positively (x east, z south).
  const Vec2 out = length > 0 ? Vec2{(c - a).z, -(c - a).x} * (1 / length) : Vec2{};
  const double shade = 0.8 + 0.2 * (0.6 * out.x - 0.8 * out.z);
  const double corners[4][5] = {{a.x, bottom, a.z, s0, t0},
                                {c.x, bottom, c.z, s1, t0},
                                {c.x, top, c.z, s1, t1},
                                {a.x, top, a.z, s0, t1}};
  for (int k = 0; k < 4; ++k) {
    SceneVertexSpec v;
    v.red = v.green = v.blue = shade;
    v.x = Snap(corners[k][0]);
    v.y = corners[k][1];
    v.z = Snap(corners[k][2]);
    v.texS = corners[k][3];
    v.texT = corners[k][4];
    v.textured = 1;
    v.texName = FacadeFile(b.style);
    v.polyEnd = k == 3;
    scene.staticList.push_back(v);
  }
}

// The flat roof: its triangles at the building's top, the gravel laid by the map's axes.
void AddRoof(SceneSpec& scene, const Building& b) {
  const double* colour = kRoofColours[b.roofColour];
  for (const auto& t : b.roof.corners) {
    for (int k = 0; k < 3; ++k) {
      const Vec2 p = Snap(b.roof.vertices[t[k]]);
      SceneVertexSpec v;
      v.red = colour[0];
      v.green = colour[1];
      v.blue = colour[2];
      v.x = p.x;
      v.y = -b.height * kUnitsPerMetre;
      v.z = p.z;
      v.texS = std::round(p.x / kRoofTexel * 1e4) / 1e4;
      v.texT = std::round(p.z / kRoofTexel * 1e4) / 1e4;
      v.textured = 1;
      v.texName = kRoofFile;
      v.polyEnd = k == 2;
      scene.staticList.push_back(v);
    }
  }
}

}  // namespace

void AddBuildings(SceneSpec& scene, const std::vector<Building>& buildings) {
  const std::vector<WallPiece> pieces = WallPieces(buildings);
  for (int style = 0; style <= static_cast<int>(Facade::kPlanks); ++style)
    for (const WallPiece& w : pieces)
      if (static_cast<int>(w.building->style) == style) AddWall(scene, w);
  for (const Building& b : buildings) AddRoof(scene, b);
}

int StaticVertices(const std::vector<Building>& buildings) {
  int vertices = 4 * static_cast<int>(WallPieces(buildings).size());
  for (const Building& b : buildings) vertices += 3 * static_cast<int>(b.roof.corners.size());
  return vertices;
}

void AddWallPosts(SceneSpec& scene, const std::vector<Building>& buildings) {
  for (const Building& b : buildings)
    for (const Ring& ring : b.rings)
      for (std::size_t i = 0; i < ring.size(); ++i) {
        const Vec2 a = ring[i], c = ring[(i + 1) % ring.size()];
        const int steps = std::max(1, static_cast<int>(std::ceil(Length(c - a) / kPostSpacing)));
        for (int k = 0; k < steps; ++k) {
          const Vec2 p = Snap(a + (c - a) * (static_cast<double>(k) / steps));
          scene.posts.emplace_back(p.x, p.z);
        }
      }
}
