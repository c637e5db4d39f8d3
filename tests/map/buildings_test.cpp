// Buildings of a map: heights, levels and bases from the tags (metres, levels of 3 m, the
// defaults), a courtyard kept open in the roof, and footprints that cannot be built left out
// and counted by reason.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "map/test_town.h"

namespace {

// The polygons of a list, each as its vertices.
std::vector<std::vector<SceneVertexSpec>> Polygons(const std::vector<SceneVertexSpec>& list) {
  std::vector<std::vector<SceneVertexSpec>> polygons(1);
  for (const SceneVertexSpec& v : list) {
    polygons.back().push_back(v);
    if (v.polyEnd == 1) polygons.emplace_back();
  }
  polygons.pop_back();
  return polygons;
}

// The wall quads of the static list (the polygons that are not flat) whose first corner lies
// between x0 and x1, as their lowest and highest y and highest texture t.
struct Walls {
  int count = 0;
  double bottom = -1e9, top = 1e9, levels = 0;
};

Walls WallsBetween(const SceneSpec& scene, double x0, double x1) {
  Walls w;
  for (const auto& p : Polygons(scene.staticList)) {
    if (p.size() != 4 || p[0].y == p[2].y || p[0].x < x0 || p[0].x > x1) continue;
    ++w.count;
    w.bottom = std::max(w.bottom, p[0].y);
    w.top = std::min(w.top, p[2].y);
    w.levels = std::max(w.levels, p[2].texT);
  }
  return w;
}

}  // namespace

// heights.osm: ten 10 x 10 m buildings 20 m apart along x (y points down, 10 units a metre),
// then an outline with a part inside. Expected top and base (m) and façade levels by the rules:
// height in metres (a trailing m allowed), else 3 m a level, else 6 m (3 m for a shed or a
// garage); min_height or 3 m a min_level raises the base; a base not below the top is dropped.
TEST(MapBuildings, HeightsLevelsAndBasesFromTheTags) {
  const TestTown town("heights");
  ASSERT_TRUE(town.built);
  struct Case {
    double top, base, levels;
  };
  const Case cases[] = {{12, 0, 4}, {7.5, 0, 3}, {12, 0, 4}, {9, 3, 3}, {9, 3, 3},
                        {3, 0, 1},  {6, 0, 2},   {4, 0, 1},  {5, 0, 2}, {6, 0, 2}};
  // levels: the top's t, a tile a level: 7.5 m is 3 levels of 2.5 m, 4 m one of 4 m, 5 m two.
  for (int k = 0; k < 10; ++k) {
    const Walls w = WallsBetween(town.scene, 200.0 * k - 50, 200.0 * k + 150);
    EXPECT_EQ(w.count, 4) << "building " << k;
    EXPECT_DOUBLE_EQ(w.top, -cases[k].top * 10) << "building " << k;
    EXPECT_DOUBLE_EQ(w.bottom, -cases[k].base * 10) << "building " << k;
    EXPECT_NEAR(w.levels, cases[k].levels, 1e-4) << "building " << k;
  }
  // The outline (8 m) gives way to its part (20 m) inside it.
  const Walls part = WallsBetween(town.scene, 1950, 2250);
  EXPECT_EQ(part.count, 4);
  EXPECT_DOUBLE_EQ(part.top, -200);
  EXPECT_NE(town.report.find("1 outlines drawn by their parts"), std::string::npos);
  // The two tags that could not be used, noted by way.
  ASSERT_EQ(town.notes.lines.size(), 2u);
  EXPECT_EQ(town.notes.lines[0], "way 7: height \"tall\" is not a usable number; ignored");
  EXPECT_NE(town.notes.lines[1].find("way 9: its base"), std::string::npos);
}

// courtyard.osm: a 30 x 30 m block round a 10 x 10 m courtyard (a multipolygon with an inner
// ring), an L-shaped house of 20 x 10 + 10 x 20 m, and two 10 x 10 m terraced houses wall to
// wall along x = 90 m, 6 and 9 m high. The roofs cover 800 and 400 m², none of it over the
// courtyard; the block has 8 walls (4 round the courtyard), the house 6; of the terraces' wall
// between them only the higher one's part above the lower roof is drawn.
TEST(MapBuildings, CourtyardIsKeptOpenAndAConcaveHouseRoofedWhole) {
  const TestTown town("courtyard");
  ASSERT_TRUE(town.built);
  double block = 0, house = 0, terraces = 0;
  for (const auto& t : Polygons(town.scene.staticList)) {
    if (t.size() != 3) continue;  // walls are quads, roofs triangles
    const double area =
        std::fabs((t[1].x - t[0].x) * (t[2].z - t[0].z) - (t[2].x - t[0].x) * (t[1].z - t[0].z)) /
        2;
    const double cx = (t[0].x + t[1].x + t[2].x) / 3, cz = (t[0].z + t[1].z + t[2].z) / 3;
    (cx < 400 ? block : cx < 750 ? house : terraces) += area;
    if (cx < 400) {
      EXPECT_FALSE(cx > 102 && cx < 198 && cz < -102 && cz > -198);  // not in the courtyard
    }
  }
  EXPECT_NEAR(block, 80000, 80);  // square units, to 1 part in 1,000
  EXPECT_NEAR(house, 40000, 40);
  EXPECT_NEAR(terraces, 20000, 20);
  EXPECT_EQ(WallsBetween(town.scene, -50, 400).count, 8);
  EXPECT_EQ(WallsBetween(town.scene, 400, 750).count, 6);
  int shared = 0;
  for (const auto& p : Polygons(town.scene.staticList)) {
    if (p.size() != 4 || std::fabs(p[0].x - 900) > 1 || std::fabs(p[1].x - 900) > 1) continue;
    ++shared;
    EXPECT_DOUBLE_EQ(p[0].y, -60);    // from the lower roof
    EXPECT_DOUBLE_EQ(p[2].y, -90);    // to the higher one
    EXPECT_NEAR(p[0].texT, 2, 1e-4);  // the higher house's third level
  }
  EXPECT_EQ(shared, 1);
  EXPECT_EQ(WallsBetween(town.scene, 750, 1050).count, 3 + 4);
}

// broken.osm: a way that is not closed, one with a node and a relation with a member missing
// from the data, three nodes in a line, a ring crossing itself; and one good building.
TEST(MapBuildings, FootprintsThatCannotBeBuiltAreLeftOutByReason) {
  const TestTown town("broken");
  ASSERT_TRUE(town.built);
  EXPECT_EQ(town.data.leftOut.notClosed, 1);
  EXPECT_EQ(town.data.leftOut.missingNodes, 2);
  EXPECT_EQ(town.data.leftOut.noArea, 1);
  EXPECT_EQ(town.data.leftOut.rejected, 1);
  EXPECT_EQ(WallsBetween(town.scene, -1e9, 1e9).count, 4);  // the good one
  EXPECT_NE(town.report.find("  left out:  1 not closed, 2 missing nodes or members, 1 without "
                             "area, 1 refused by the area assembler"),
            std::string::npos)
      << town.report;
}
