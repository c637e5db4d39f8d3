// Where a walker starts on a large model: on its largest flat area, at the point of it nearest
// the model's middle, looking the way that area reaches farthest.
#pragma once

#include <vector>

#include "place.h"
#include "polygons.h"

// A new scene whose model is wider than this (about 100 m) starts on it rather than in front.
inline constexpr double kStartInsideExtent = 1000;

struct StartPlace {
  double x = 0, z = 0;
  double surfaceY = 0;  // the height of the ground under the start (y points down)
  double headingDeg = 0;
};

// Finds the start on the placed polygons within bounds: a grid of cells (at least 10 units, a
// metre, at most 400 a side) holds the topmost polygon that slopes less than 15 degrees above
// each cell's centre; cells whose neighbours' heights step less than that slope allows make
// one area. False when no polygon is flat enough.
bool FindStartOnModel(const Bounds& bounds, const std::vector<std::vector<Polygon>>& polygons,
                      StartPlace& start);
