// Walls that buildings share. Terraced houses and the buildings of a town centre stand wall to
// wall: each footprint has an edge on the same line, and two walls in one plane would fight
// over their pixels (the depth buffer cannot order them) wherever both can be seen. So a wall
// is drawn only where no other building's wall on the same line covers it: beside a lower
// neighbour only above its roof, beside one as high not at all (it is inside the row).
#pragma once

#include <vector>

#include "buildings.h"

// One piece of a wall to draw: along the footprint edge from a to c (texture s from s0 to s1,
// the window bays as along the whole edge), between heights bottom and top (metres).
struct WallPiece {
  const Building* building;
  Vec2 a, c;
  double s0, s1;
  double bottom, top;
};

// Every wall of the buildings, less what other buildings' walls on the same lines cover, in
// the buildings' order.
std::vector<WallPiece> WallPieces(const std::vector<Building>& buildings);
