// The ground partition: each layer's outline, one tessellation of all of them, each piece
// coloured by the highest layer over it.
#include "ground.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "demo_textures.h"
#include "tessellate.h"

namespace {

constexpr int kDiscCorners = 96;  // the ground's edge
constexpr int kCapCorners = 8;    // a street's round end
constexpr int kLayers = 5;        // Ground::kGround .. Ground::kRoad

// Rings that turn positively: the strip of a street, a rectangle per segment, a triangle
// filling the outside of each bend and an octagon round each end.
void StreetRings(const Street& s, std::vector<Ring>& rings) {
  const double half = s.width / 2;
  const auto side = [half](Vec2 a, Vec2 b) {
    const Vec2 d = b - a;
    const double length = Length(d);
    return Vec2{-d.z, d.x} * (half / length);
  };
  const std::size_t n = s.points.size();
  for (std::size_t i = 0; i + 1 < n; ++i) {
    const Vec2 a = s.points[i], b = s.points[i + 1], o = side(a, b);
    Ring r = {a - o, b - o, b + o, a + o};
    if (TwiceArea(r) < 0) std::reverse(r.begin(), r.end());
    rings.push_back(r);
    if (i + 2 < n) {
      const Vec2 o2 = side(b, s.points[i + 2]);
      const bool left = Cross(b - a, s.points[i + 2] - b) < 0;  // the outside of the bend
      Ring bend = left ? Ring{b, b + o, b + o2} : Ring{b, b - o, b - o2};
      if (TwiceArea(bend) < 0) std::reverse(bend.begin(), bend.end());
      rings.push_back(bend);
    }
  }
  for (const Vec2 end : {s.points.front(), s.points.back()}) {
    Ring cap;
    for (int k = 0; k < kCapCorners; ++k) {
      const double a = 2 * std::numbers::pi * (k + 0.5) / kCapCorners;
      cap.push_back(end + Vec2{std::cos(a), std::sin(a)} * half);
    }
    rings.push_back(cap);
  }
}

// The outline of what covers each layer.
bool LayerOutlines(const std::vector<Street>& streets, const std::vector<GroundArea>& areas,
                   std::vector<std::vector<Ring>>& outlines) {
  std::vector<std::vector<Ring>> shapes(kLayers);
  for (const Street& s : streets)
    StreetRings(s, shapes[static_cast<int>(s.kind->drivable ? Ground::kRoad : Ground::kPath)]);
  for (const GroundArea& a : areas)
    shapes[static_cast<int>(a.layer)].insert(shapes[static_cast<int>(a.layer)].end(),
                                             a.rings.begin(), a.rings.end());
  outlines.assign(kLayers, {});
  for (int layer = 1; layer < kLayers; ++layer)
    if (!shapes[layer].empty() && !Outline(shapes[layer], Winding::kNonzero, outlines[layer]))
      return false;
  return true;
}

// Edges of rings sorted into rows of the ground, for the even-odd test of many points.
struct RingRows {
  double z0 = 0, height = 1;
  std::vector<std::vector<std::pair<Vec2, Vec2>>> rows;

  explicit RingRows(const std::vector<Ring>& rings) {
    double lo = INFINITY, hi = -INFINITY;
    for (const Ring& r : rings)
      for (const Vec2& p : r) lo = std::min(lo, p.z), hi = std::max(hi, p.z);
    if (!(lo <= hi)) return;
    z0 = lo;
    height = std::max(10.0, (hi - lo) / 4096);
    rows.resize(static_cast<std::size_t>((hi - lo) / height) + 1);
    for (const Ring& r : rings)
      for (std::size_t i = 0; i < r.size(); ++i) {
        const Vec2 a = r[i], b = r[(i + 1) % r.size()];
        for (std::size_t row = Row(std::min(a.z, b.z)); row <= Row(std::max(a.z, b.z)); ++row)
          rows[row].push_back({a, b});
      }
  }
  std::size_t Row(double z) const {
    const double t = std::floor((z - z0) / height);
    return t < 0 ? 0 : std::min(rows.size() - 1, static_cast<std::size_t>(t));
  }
  bool Inside(Vec2 p) const {
    if (rows.empty() || p.z < z0) return false;
    bool inside = false;
    for (const auto& [a, b] : rows[Row(p.z)])
      if ((a.z > p.z) != (b.z > p.z) && p.x < (b.x - a.x) * (p.z - a.z) / (b.z - a.z) + a.x)
        inside = !inside;
    return inside;
  }
};

// The ground's edge: a polygon of kDiscCorners corners round the circle of radius.
Ring Disc(double radius) {
  Ring disc;
  for (int k = 0; k < kDiscCorners; ++k) {
    const double a = 2 * std::numbers::pi * k / kDiscCorners;
    disc.push_back({radius * std::cos(a), radius * std::sin(a)});
  }
  return disc;
}

}  // namespace

std::array<double, 3> GroundColour(Ground layer) {
  switch (layer) {
    case Ground::kRoad:
      return DemoTextureMean("asphalt.bmp");
    case Ground::kPath:
      return DemoTextureMean("pavement.bmp");
    case Ground::kGreen:
      return DemoTextureMean("grass.bmp");
    case Ground::kWater:
      return {0.24, 0.42, 0.62};
    case Ground::kGround:
      break;
  }
  const auto grass = DemoTextureMean("grass.bmp"), pavement = DemoTextureMean("pavement.bmp");
  return {0.5 * grass[0] + 0.5 * pavement[0], 0.5 * grass[1] + 0.5 * pavement[1],
          0.5 * grass[2] + 0.5 * pavement[2]};
}

bool AddGround(SceneSpec& scene, const std::vector<Street>& streets,
               const std::vector<GroundArea>& areas, double radius, GroundCounts& counts,
               std::string& error) {
  std::vector<std::vector<Ring>> outlines;
  if (!LayerOutlines(streets, areas, outlines)) {
    error = "the tessellator could not outline the streets and areas";
    return false;
  }
  std::vector<Ring> all = {Disc(radius)};
  for (const auto& layer : outlines) all.insert(all.end(), layer.begin(), layer.end());
  Triangles pieces;
  if (!Tessellate(all, Winding::kNonzero, pieces)) {
    error = "the tessellator could not cut the ground";
    return false;
  }
  const RingRows disc({all.front()});
  std::vector<RingRows> layers;
  for (const auto& layer : outlines) layers.emplace_back(layer);
  std::array<std::array<double, 3>, kLayers> colours;
  for (int layer = 0; layer < kLayers; ++layer) colours[layer] = GroundColour(Ground(layer));
  std::array<std::vector<std::array<int, 3>>, kLayers> byLayer;
  for (const auto& t : pieces.corners) {
    const Vec2 a = pieces.vertices[t[0]], b = pieces.vertices[t[1]], c = pieces.vertices[t[2]];
    if (Cross(b - a, c - a) == 0) continue;  // no area
    const Vec2 middle = (a + b + c) * (1.0 / 3);
    if (!disc.Inside(middle)) continue;
    int layer = kLayers - 1;
    while (layer > 0 && !layers[layer].Inside(middle)) --layer;
    byLayer[layer].push_back(t);
  }
  for (int layer = 0; layer < kLayers; ++layer)
    for (const auto& t : byLayer[layer]) {
      std::vector<std::array<double, 3>> corners;
      for (int k = 0; k < 3; ++k) {
        const Vec2 p = Snap(pieces.vertices[t[k]]);
        corners.push_back({p.x, 0, p.z});
      }
      AddPolygon(scene.plainList, corners, colours[layer][0], colours[layer][1], colours[layer][2]);
      ++counts.polygons;
      counts.vertices += 3;
    }
  return true;
}
