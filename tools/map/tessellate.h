// Polygons with holes and overlapping outlines cut into triangles, or merged into the rings
// that bound them, by GLU's tessellator (it needs no GL context).
#pragma once

#include <array>
#include <vector>

#include "geometry.h"

// Which regions are inside: where the rings wind around a point other than 0 times (rings
// with a positive TwiceArea count +1, the others -1), or an odd number of times.
enum class Winding { kNonzero, kOdd };

struct Triangles {
  std::vector<Vec2> vertices;               // the rings' points and the crossings found
  std::vector<std::array<int, 3>> corners;  // each triangle's vertices
};

// The regions inside the rings as triangles; false when the tessellator fails. No triangle
// crosses a ring: each lies in one piece of the plane that the rings cut it into.
bool Tessellate(const std::vector<Ring>& rings, Winding winding, Triangles& out);

// The rings bounding the regions inside the given rings: outer rings with a positive
// TwiceArea, holes negative. False when the tessellator fails.
bool Outline(const std::vector<Ring>& rings, Winding winding, std::vector<Ring>& out);
