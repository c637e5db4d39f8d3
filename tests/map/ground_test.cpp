// The ground of a town is one partition of the disc it lies on: every polygon a triangle that
// shares each edge whole with one neighbour (or lies on the disc's edge), none overlapping, all
// together covering the disc; and each piece has the colour of the highest layer over it:
// streets, then paths, water, green, bare ground.
#include "ground.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "map/test_town.h"

namespace {

using Corner = std::pair<double, double>;
struct Triangle {
  Corner a, b, c;
  std::array<double, 3> colour;
};

std::vector<Triangle> GroundTriangles(const SceneSpec& scene) {
  std::vector<Triangle> triangles;
  const auto& list = scene.plainList;
  for (std::size_t v = 0; v + 2 < list.size(); v += 3) {
    EXPECT_EQ(list[v + 2].polyEnd, 1);
    triangles.push_back({{list[v].x, list[v].z},
                         {list[v + 1].x, list[v + 1].z},
                         {list[v + 2].x, list[v + 2].z},
                         {list[v].red, list[v].green, list[v].blue}});
  }
  return triangles;
}

double Side(Corner p, Corner a, Corner b) {
  return (b.first - a.first) * (p.second - a.second) - (b.second - a.second) * (p.first - a.first);
}

bool Contains(const Triangle& t, Corner p) {
  const double s1 = Side(p, t.a, t.b), s2 = Side(p, t.b, t.c), s3 = Side(p, t.c, t.a);
  return (s1 > 0 && s2 > 0 && s3 > 0) || (s1 < 0 && s2 < 0 && s3 < 0);
}

// blocks.osm in metres east and north of 52 N 5 E: streets along north -100, 0, 100 (the middle
// one 8 m wide by its width tag, the others 6 m; "wide" is no number) from east -120 to 120,
// and along east -120, 0 (a tertiary street, 8 m), 120; a footway (2 m) round the rectangle
// 20..100 x 20..80; a pond 45..75 x 40..60 in a park 5..115 x 5..95. The layer at (e, n), or
// -1 within margin of an edge between layers, or within 5 m of a street's end (where the strip
// is closed by a polygon round the end node).
int LayerAt(double e, double n, double margin) {
  for (const double ee : {-120.0, 0.0, 120.0})
    for (const double nn : {-100.0, 0.0, 100.0})
      if (std::hypot(e - ee, n - nn) < 5 && (std::fabs(ee) == 120 || std::fabs(nn) == 100))
        return -1;
  const auto near = [margin](double d, double half) {
    return std::fabs(d - half) < margin ? -1 : d < half ? 1 : 0;
  };
  int road = 0;
  for (const double row : {-100.0, 0.0, 100.0}) {
    if (e < -120 || e > 120) continue;
    const int r = near(std::fabs(n - row), row == 0 ? 4 : 3);
    if (r != 0) road = r;
  }
  for (const double column : {-120.0, 0.0, 120.0}) {
    if (n < -100 || n > 100) continue;
    const int r = near(std::fabs(e - column), column == 0 ? 4 : 3);
    if (r != 0 && road != 1) road = r;
  }
  if (road != 0) return road == 1 ? static_cast<int>(Ground::kRoad) : -1;
  const double ring = std::min({std::hypot(std::max({20 - e, 0.0, e - 100}), n - 20),
                                std::hypot(std::max({20 - e, 0.0, e - 100}), n - 80),
                                std::hypot(e - 20, std::max({20 - n, 0.0, n - 80})),
                                std::hypot(e - 100, std::max({20 - n, 0.0, n - 80}))});
  const int path = near(ring, 1);
  if (path != 0) return path == 1 ? static_cast<int>(Ground::kPath) : -1;
  const auto inside = [margin](double e, double n, double e0, double e1, double n0, double n1) {
    const double d = std::min({e - e0, e1 - e, n - n0, n1 - n});
    return std::fabs(d) < margin ? -1 : d > 0 ? 1 : 0;
  };
  const int pond = inside(e, n, 45, 75, 40, 60), park = inside(e, n, 5, 115, 5, 95);
  if (pond != 0) return pond == 1 ? static_cast<int>(Ground::kWater) : -1;
  if (park != 0) return park == 1 ? static_cast<int>(Ground::kGreen) : -1;
  return static_cast<int>(Ground::kGround);
}

}  // namespace

TEST(MapGround, OnePartitionOfTheDiscColouredByTheHighestLayer) {
  const TestTown town("blocks");
  ASSERT_TRUE(town.built);
  const std::vector<Triangle> triangles = GroundTriangles(town.scene);
  ASSERT_GT(triangles.size(), 50u);

  // Each edge is shared by exactly two triangles, or lies on the disc's edge (its corners no
  // nearer the origin than the middle of the disc's sides; streets cut those sides).
  std::map<std::pair<Corner, Corner>, int> edges;
  double radius = 0, area = 0;
  for (const Triangle& t : triangles) {
    for (const auto& [p, q] : {std::pair{t.a, t.b}, std::pair{t.b, t.c}, std::pair{t.c, t.a}})
      ++edges[p < q ? std::pair{p, q} : std::pair{q, p}];
    for (const Corner& p : {t.a, t.b, t.c})
      radius = std::max(radius, std::hypot(p.first, p.second));
    area += std::fabs(Side(t.c, t.a, t.b)) / 2;
  }
  int rim = 0;
  const double side = radius * std::cos(M_PI / 96) - 0.02;
  for (const auto& [edge, count] : edges) {
    if (count == 2) continue;
    ++rim;
    EXPECT_EQ(count, 1);
    EXPECT_GE(std::hypot(edge.first.first, edge.first.second), side);
    EXPECT_GE(std::hypot(edge.second.first, edge.second.second), side);
  }
  EXPECT_GE(rim, 96);  // the disc's edge
  const double disc = 96 * radius * radius * std::sin(2 * M_PI / 96) / 2;
  EXPECT_NEAR(area, disc, 2 * M_PI * radius * 0.01);  // no overlap, no gap (corners to 0.01)

  // Points of every layer, each in exactly one triangle, of the layer's colour.
  std::uint64_t seed = 7;
  int checked[5] = {0, 0, 0, 0, 0};
  for (int k = 0; k < 20000; ++k) {
    seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
    const double e = -140 + 280 * static_cast<double>(seed >> 40) / 16777216.0;
    const double n = -120 + 240 * static_cast<double>((seed >> 16) & 0xffffff) / 16777216.0;
    const int layer = LayerAt(e, n, 0.3);
    if (layer < 0 || std::hypot(e, n) * 10 > radius * 0.99) continue;
    int in = 0;
    for (const Triangle& t : triangles) {
      if (!Contains(t, {e * 10, -n * 10})) continue;
      ++in;
      EXPECT_EQ(t.colour, GroundColour(static_cast<Ground>(layer))) << e << " " << n;
    }
    EXPECT_EQ(in, 1) << e << " " << n;
    ++checked[layer];
  }
  for (int layer = 0; layer < 5; ++layer) EXPECT_GT(checked[layer], 100) << "layer " << layer;
}
