// The ground of the town as one flat partition into the plain list: road strips along the
// streets' centrelines, paths, water, green and plain ground, cut apart so that no two of its
// polygons overlap.
//
// Why roads never flicker over the ground. Two polygons in one plane fight over their pixels
// when both are drawn there: the depth buffer (16 bits in the program's pixel format) cannot
// order them, at any distance. A road lifted above the ground would win near the eye only:
// with 16 bits and the near plane at 1 unit, depth steps reach several metres at 500 m, and
// no lift that a car or a walker would not notice is safe. So nothing is laid twice: the
// ground is cut into pieces by the outlines of every layer (GLU's tessellator, one run over
// all the outlines, so that neighbouring pieces share their edges and corners exactly and no
// crack opens between them), and each piece is given the colour of the highest layer that
// covers it. Each pixel of the ground is covered by exactly one polygon.
#pragma once

#include <string>
#include <vector>

#include "scene_writer.h"
#include "streets.h"

struct GroundCounts {
  int polygons = 0;
  int vertices = 0;
};

// Lays the ground within radius (scene units) of the origin into the plain list.
bool AddGround(SceneSpec& scene, const std::vector<Street>& streets,
               const std::vector<GroundArea>& areas, double radius, GroundCounts& counts,
               std::string& error);

// The colour of each layer (index: Ground), from the demo's textures where it has one.
std::array<double, 3> GroundColour(Ground layer);
