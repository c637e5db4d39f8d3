// What the map's tags mean to the town: which objects are buildings, which areas colour the
// ground, which ways are streets and how wide, and which tags are read at all.
#pragma once

#include "osm_read.h"

// The layers of the ground, lowest first: where two overlap, the higher one shows.
enum class Ground { kGround, kGreen, kWater, kPath, kRoad };

// A class of street: its highway value, width in metres (the width tag wins), and who uses
// it.
struct StreetClass {
  const char* highway;
  double width;
  bool drivable;  // cars drive it
  bool walkable;  // people walk it
};

// The street class of a way's tags, or nullptr when it is not a street that is built (another
// kind of highway, an area, a tunnel).
const StreetClass* StreetClassOf(const MapTags& tags);

// Whether the tags make a building, or a building part.
bool IsBuilding(const MapTags& tags);
bool IsBuildingPart(const MapTags& tags);

// The layer an area's tags colour the ground with; kGround for none.
Ground AreaGroundOf(const MapTags& tags);

// Whether the map tool keeps tags with this key.
bool IsTagRead(const char* key);
