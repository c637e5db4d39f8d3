// Buildings: footprints on the scene's ground, their heights from the tags, walls of one
// textured quad per footprint edge, a flat roof tessellated with its courtyards, and the posts
// that line every wall.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "facades.h"
#include "geometry.h"
#include "osm_read.h"
#include "projection.h"
#include "scene_writer.h"
#include "tessellate.h"

// Notes about tags that were ignored, for standard error.
struct MapNotes {
  std::vector<std::string> lines;
};

struct Building {
  std::int64_t id = 0;
  bool relation = false, part = false;
  std::vector<Ring> rings;  // outer rings turn positively, holes negatively
  double height = 6, minHeight = 0, levelHeight = 3;  // metres
  Facade style = Facade::kBrick;
  int roofColour = 0;
  double reach = 0;  // the farthest point of the footprint from the origin (scene units)
  Triangles roof;    // cut by Roof
  int vertices = 0;  // static-list vertices of its walls (uncut by neighbours) and roof
};

// Buildings that could not be built, beyond those the reader counted.
struct BuildingCounts {
  int noArea = 0;         // footprints without area
  int untessellated = 0;  // roofs the tessellator could not cut
  int outlines = 0;       // building outlines shown by their parts instead
};

// The buildings of the data on the scene's ground, with heights and styles; outlines that hold
// building parts give way to their parts. Roofs are cut later, for the buildings kept (Roof).
std::vector<Building> PlaceBuildings(const MapData& data, const Projection& projection,
                                     BuildingCounts& counts, MapNotes& notes);

// Cuts the building's roof and counts its vertices; false when the tessellator cannot.
bool Roof(Building& b);

// Whether p lies inside one of the buildings' footprints.
bool InsideBuilding(Vec2 p, const std::vector<Building>& buildings);

// Adds the walls of the buildings to the static list (grouped by façade style), then their
// roofs. Walls that other buildings' walls cover are left out (shared_walls.h).
void AddBuildings(SceneSpec& scene, const std::vector<Building>& buildings);

// How many static-list vertices AddBuildings adds for the buildings.
int StaticVertices(const std::vector<Building>& buildings);

// Posts along every wall, no farther apart than kPostSpacing.
void AddWallPosts(SceneSpec& scene, const std::vector<Building>& buildings);

// The walls' posts are this close (scene units). A point within H - spacing / 2 of a wall
// lies inside the blocking square (half-size H) of a post, so no step or probe shorter than
// 2 H - spacing crosses a wall. The town's smallest H is the walking collision radius, 8 (the
// follow mode tests 4 x 3, the chase mode 2 x 8), its longest step or probe 8: the driving
// mode's probe of collisionRadius (its speed stays below 5), and 8 < 2 x 8 - 4 = 12.
inline constexpr double kPostSpacing = 4;
