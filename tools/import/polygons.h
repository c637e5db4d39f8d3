// Turning a model's faces into the polygons of a scene list: flat convex faces stay whole,
// the rest become triangles; coplanar triangle pairs merge into quads where that is exact;
// meshes too large for their budget are simplified.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "model.h"

struct PolyCorner {
  Vec3 p;
  double s = 0, t = 0;
};

struct Polygon {
  std::vector<PolyCorner> corners;
  int mesh = 0;  // index into the model's meshes
  Vec3 colour = {1, 1, 1};
};

// The polygons of mesh number index (its faces, triangles merged back into quads).
std::vector<Polygon> MeshPolygons(const Model& model, int index);
// The polygons of every mesh, the whole model simplified to at most targetTriangles
// triangles before merging.
std::vector<std::vector<Polygon>> SimplifiedModel(const Model& model, std::size_t targetTriangles);
// Corners in all of polygons.
std::size_t CornerCount(const std::vector<Polygon>& polygons);
// Triangles that mesh number index has once its faces are triangulated.
std::size_t TriangleCount(const Model& model, int index);
