// Streets on the scene's ground: each highway way's points as a line with its class and
// width, and the areas that colour the ground (parks, water, parking, squares).
#pragma once

#include <cstdint>
#include <vector>

#include "buildings.h"
#include "map_classes.h"

struct Street {
  std::int64_t id = 0;
  const StreetClass* kind = nullptr;
  double width = 0;  // scene units
  std::vector<Vec2> points;
};

struct GroundArea {
  Ground layer = Ground::kGround;
  std::vector<Ring> rings;  // outer rings turn positively, holes negatively
  double reach = 0;         // its farthest point from the origin (scene units)
};

// The streets of the data, one per run of points (a way cut by missing nodes gives several);
// a width tag that is not a usable number is noted and the class's width used.
std::vector<Street> PlaceStreets(const MapData& data, const Projection& projection,
                                 MapNotes& notes);

// The areas of the data on the ground.
std::vector<GroundArea> PlaceGroundAreas(const MapData& data, const Projection& projection);

// The farthest point of a street from the origin.
double Reach(const Street& street);
