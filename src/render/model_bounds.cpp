// The models' bounds.
#include "render/model_bounds.h"

#include <cmath>

#include "scene/scene.h"

std::vector<ModelBounds> objectBounds;
ModelBounds avatarBounds;

namespace {

// The bounds of vertices 1..count given by their coordinates and part tags.
template <typename X, typename Y, typename Z, typename Tag>
ModelBounds BoundsOf(int count, X x, Y y, Z z, Tag tag) {
  ModelBounds b;
  if (count <= 0) return b;
  double lo[3] = {x(1), y(1), z(1)}, hi[3] = {x(1), y(1), z(1)};
  for (int v = 1; v <= count; ++v) {
    const double p[3] = {x(v), y(v), z(v)};
    for (int a = 0; a < 3; ++a) {
      if (!(p[a] >= lo[a])) lo[a] = p[a];  // a coordinate that is not a number stays
      if (!(p[a] <= hi[a])) hi[a] = p[a];
    }
    const int t = tag(v);
    if (t >= 0 && t < kPartSlots) b.partTags |= 1u << t;
    if (v == 1 || t != tag(v - 1)) ++b.switches;
  }
  b.x = (lo[0] + hi[0]) / 2;
  b.y = (lo[1] + hi[1]) / 2;
  b.z = (lo[2] + hi[2]) / 2;
  for (int v = 1; v <= count; ++v) {
    const double d = std::hypot(x(v) - b.x, y(v) - b.y, z(v) - b.z);
    if (!(d <= b.radius)) b.radius = d;
  }
  b.known = true;
  return b;
}

}  // namespace

void PrepareModelBounds() {
  objectBounds.assign(kObjectSlots, ModelBounds{});
  for (int o = 0; o <= objectLastIndex && o < static_cast<int>(objectVertexCount.size()); ++o) {
    const int count = objectVertexCount[o];
    if (count <= 0 || count >= static_cast<int>(objVtxX.size())) continue;
    objectBounds[o] = BoundsOf(
        count, [o](int v) { return objVtxX[v][o]; }, [o](int v) { return objVtxY[v][o]; },
        [o](int v) { return objVtxZ[v][o]; }, [o](int v) { return objVtxPart[v][o]; });
  }
  avatarBounds = {};
  if (avatarVertexCount > 0 && avatarVertexCount < static_cast<int>(avatarX.size()))
    avatarBounds = BoundsOf(
        avatarVertexCount, [](int v) { return avatarX[v]; }, [](int v) { return avatarY[v]; },
        [](int v) { return avatarZ[v]; }, [](int v) { return avatarPartOf[v]; });
}

void ResetModelBounds() {
  objectBounds.clear();
  avatarBounds = {};
}
