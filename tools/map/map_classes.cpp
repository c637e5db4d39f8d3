// The tables of what tags mean.
#include "map_classes.h"

#include <cstring>

namespace {

constexpr StreetClass kStreets[] = {
    {"motorway", 10, true, false},    {"motorway_link", 10, true, false},
    {"trunk", 10, true, false},       {"trunk_link", 10, true, false},
    {"primary", 10, true, false},     {"primary_link", 10, true, false},
    {"secondary", 8, true, true},     {"secondary_link", 8, true, true},
    {"tertiary", 8, true, true},      {"tertiary_link", 8, true, true},
    {"residential", 6, true, true},   {"unclassified", 6, true, true},
    {"living_street", 6, true, true}, {"road", 6, true, true},
    {"service", 4, true, true},       {"footway", 2, false, true},
    {"path", 2, false, true},         {"cycleway", 2, false, true},
    {"pedestrian", 2, false, true},   {"steps", 2, false, true},
};

// Areas by tag, highest layer first where one object carries several.
struct AreaTag {
  const char* key;
  const char* value;
  Ground ground;
};
constexpr AreaTag kAreas[] = {
    {"amenity", "parking", Ground::kRoad},        {"highway", "pedestrian", Ground::kPath},
    {"highway", "footway", Ground::kPath},        {"place", "square", Ground::kPath},
    {"natural", "water", Ground::kWater},         {"waterway", "riverbank", Ground::kWater},
    {"landuse", "reservoir", Ground::kWater},     {"landuse", "basin", Ground::kWater},
    {"leisure", "park", Ground::kGreen},          {"leisure", "garden", Ground::kGreen},
    {"leisure", "pitch", Ground::kGreen},         {"leisure", "playground", Ground::kGreen},
    {"leisure", "golf_course", Ground::kGreen},   {"landuse", "grass", Ground::kGreen},
    {"landuse", "meadow", Ground::kGreen},        {"landuse", "recreation_ground", Ground::kGreen},
    {"landuse", "village_green", Ground::kGreen}, {"landuse", "cemetery", Ground::kGreen},
    {"landuse", "forest", Ground::kGreen},        {"natural", "wood", Ground::kGreen},
    {"natural", "scrub", Ground::kGreen},         {"natural", "grassland", Ground::kGreen},
    {"natural", "heath", Ground::kGreen},
};

constexpr const char* kKeysRead[] = {
    "building",
    "building:part",
    "height",
    "min_height",
    "building:levels",
    "building:min_level",
    "highway",
    "width",
    "area",
    "tunnel",
    "amenity",
    "place",
    "natural",
    "waterway",
    "landuse",
    "leisure",
    "type",
};

bool Is(const char* value, const char* want) { return value && std::strcmp(value, want) == 0; }

// A tag that says yes in any way but "no".
bool Yes(const char* value) { return value && !Is(value, "no"); }

}  // namespace

const StreetClass* StreetClassOf(const MapTags& tags) {
  if (Is(tags.Get("area"), "yes") || Yes(tags.Get("tunnel"))) return nullptr;
  const char* highway = tags.Get("highway");
  if (!highway) return nullptr;
  for (const StreetClass& c : kStreets)
    if (Is(highway, c.highway)) return &c;
  return nullptr;
}

bool IsBuildingPart(const MapTags& tags) { return Yes(tags.Get("building:part")); }

bool IsBuilding(const MapTags& tags) { return Yes(tags.Get("building")) || IsBuildingPart(tags); }

Ground AreaGroundOf(const MapTags& tags) {
  const bool highwayArea = Is(tags.Get("area"), "yes");
  for (const AreaTag& a : kAreas) {
    if (!Is(tags.Get(a.key), a.value)) continue;
    if (std::strcmp(a.key, "highway") == 0 && !highwayArea) continue;  // a line, not an area
    return a.ground;
  }
  return Ground::kGround;
}

bool IsTagRead(const char* key) {
  for (const char* k : kKeysRead)
    if (std::strcmp(k, key) == 0) return true;
  return false;
}
