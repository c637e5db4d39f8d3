// Sending only what can be seen: the view volume of the matrices in force, and tests of
// boxes, spheres and polygons against it. Something is left out only when all of it lies
// outside one plane of the volume (near plane, far plane, four sides) by a margin far above
// the rounding of the float matrices, so it could not have produced a pixel.
#pragma once

#include <vector>

// Whether what cannot be seen is left out. On by default; citywalk-replay --no-culling turns
// it off to compare. A run option of the process: ResetProgramState leaves it alone.
extern bool viewCulling;

// The projection times the modelview matrix in force when Read was called.
class ViewVolume {
 public:
  // Reads both matrices from OpenGL. Without a context, or with a matrix that is not finite,
  // nothing is ever outside.
  void Read();
  // Whether every point p satisfies one plane's outside test: points is x, y, z triples.
  bool PointsOutside(const double* points, int count) const;
  // Whether the axis-aligned box lies wholly outside.
  bool BoxOutside(const double lo[3], const double hi[3]) const;
  // Whether the sphere lies wholly outside.
  bool SphereOutside(double x, double y, double z, double radius) const;
  bool usable = false;

 private:
  double m_[16] = {};  // column-major, as OpenGL keeps it
  double Row(int r, int c) const { return m_[r + 4 * c]; }
};

// A model's bounds for the sphere test: the centre of its vertices' box, the farthest vertex
// from it, and which part tags its vertices carry (bit p for part p).
struct ModelBounds {
  double x = 0, y = 0, z = 0, radius = 0;
  unsigned partTags = 0;
  bool known = false;
};

// The bounds of each object and of the avatar, worked out at load (PrepareModelBounds);
// models without known bounds are always drawn.
extern std::vector<ModelBounds> objectBounds;
extern ModelBounds avatarBounds;
// Works out objectBounds and avatarBounds from the loaded lists.
void PrepareModelBounds();
// Forgets the bounds.
void ResetModelBounds();
// The radius that holds a model wherever its parts swing: a part turns its vertices about its
// pivot, so a vertex stays within (pivot - centre) + (vertex - pivot) of the centre, which is
// at most twice the pivot's distance plus the vertex's. pivotDistance(p) gives |pivot - centre|.
template <typename PivotDistance>
double SwungRadius(const ModelBounds& b, PivotDistance pivotDistance) {
  double farthest = 0;
  for (int p = 0; p < 32; ++p)
    if (b.partTags & (1u << p)) {
      const double d = pivotDistance(p);
      if (!(d <= farthest)) farthest = d;  // a distance that is not a number stays
    }
  return b.radius + 2 * farthest;
}
