// Each model's bounds for the view and hidden tests: worked out once the scene is loaded
// (before its lists are recorded), forgotten with the program's state.
#pragma once

#include <vector>

// A model's bounds for the sphere test: the centre of its vertices' box, the farthest vertex
// from it, and which part tags its vertices carry (bit p for part p).
struct ModelBounds {
  double x = 0, y = 0, z = 0, radius = 0;
  unsigned partTags = 0;
  int switches = 0;  // how many times the part tag changes along the list, the start counted
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
