// The town built step by step: origin and projection, buildings and the radius they fit in,
// streets, ground, traffic and the viewer's start.
#include "town.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "demo_viewer.h"
#include "ground.h"
#include "scene/scene.h"
#include "streets.h"
#include "traffic.h"

namespace {

// The town shows to about 500 m: polygons of the static list with no corner within 500 m
// along x or z of the eye are not drawn, nor farther than 600 m ahead.
constexpr double kDrawDistance = 5000, kFarPlane = 6000;

// What is kept and why the radius stopped where it did.
struct Kept {
  double radius = 0;  // scene units
  std::vector<Building> buildings;
  std::vector<Street> streets;
  std::vector<GroundArea> areas;
  int staticVertices = 0;
  std::string why;
};

std::string Metres(double units) {
  char text[32];
  std::snprintf(text, sizeof text, "%.0f m", units / kUnitsPerMetre);
  return text;
}

// Keeps the buildings nearest the origin while the static list holds them, within the
// radius asked (or kMaxRadius); the radius stops before the first that does not fit.
void KeepWithin(std::vector<Building> buildings, double asked, bool askedByUser, Kept& kept,
                BuildingCounts& counts) {
  std::stable_sort(buildings.begin(), buildings.end(),
                   [](const Building& a, const Building& b) { return a.reach < b.reach; });
  kept.radius = asked;
  kept.why = askedByUser ? "as asked" : "everything the data holds";
  for (Building& b : buildings) {
    if (b.reach >= asked) break;
    if (!Roof(b)) {
      ++counts.untessellated;
      continue;
    }
    if (kept.staticVertices + b.vertices > kStaticNameSlots) {
      kept.radius = b.reach;
      kept.why = "the static list (" + std::to_string(kStaticNameSlots) +
                 " vertices) holds no more buildings";
      break;
    }
    kept.staticVertices += b.vertices;
    kept.buildings.push_back(std::move(b));
  }
  // Buildings as far as the one that did not fit are left out with it.
  while (!kept.buildings.empty() && kept.buildings.back().reach >= kept.radius) {
    kept.staticVertices -= kept.buildings.back().vertices;
    kept.buildings.pop_back();
  }
  // Walls cut by their neighbours may take more vertices than whole ones: the farthest
  // buildings go until the list holds them.
  kept.staticVertices = StaticVertices(kept.buildings);
  while (kept.staticVertices > kStaticNameSlots) {
    kept.radius = kept.buildings.back().reach;
    kept.why = "the static list (" + std::to_string(kStaticNameSlots) +
               " vertices) holds no more buildings";
    while (!kept.buildings.empty() && kept.buildings.back().reach >= kept.radius)
      kept.buildings.pop_back();
    kept.staticVertices = StaticVertices(kept.buildings);
  }
}

// The ground's plain list is kept near this many vertices, so that frames stay fast: the
// demo town's 1,632 street segments and its areas take 37,854, so the estimate is 24 a
// segment and 3 a corner of an area.
constexpr int kGroundVertices = 250000;

// Whether an area reaches into the disc of the radius (its box meets the disc's box).
bool Meets(const GroundArea& a, double radius) {
  double x0 = INFINITY, x1 = -INFINITY, z0 = INFINITY, z1 = -INFINITY;
  for (const Ring& r : a.rings)
    for (const Vec2& p : r)
      x0 = std::min(x0, p.x), x1 = std::max(x1, p.x), z0 = std::min(z0, p.z),
      z1 = std::max(z1, p.z);
  return x0 < radius && x1 > -radius && z0 < radius && z1 > -radius;
}

// Brings the radius in while the ground within it would take more than kGroundVertices (the
// street segments and area corners nearest the origin counted first), leaving out the
// buildings beyond.
void FitGround(const std::vector<Street>& streets, const std::vector<GroundArea>& areas,
               Kept& kept) {
  std::vector<std::pair<double, int>> items;  // (farthest point, estimated vertices)
  for (const Street& s : streets)
    for (std::size_t i = 0; i + 1 < s.points.size(); ++i)
      items.push_back({std::max(Length(s.points[i]), Length(s.points[i + 1])), 24});
  for (const GroundArea& a : areas)
    for (const Ring& r : a.rings)
      for (const Vec2& p : r) items.push_back({Length(p), 3});
  std::sort(items.begin(), items.end());
  long total = 0;
  for (const auto& [reach, cost] : items) {
    if (reach >= kept.radius) return;
    if ((total += cost) <= kGroundVertices) continue;
    kept.radius = reach;
    kept.why = "the ground (about " + std::to_string(kGroundVertices) +
               " vertices of the plain list) holds no more streets";
    while (!kept.buildings.empty() && kept.buildings.back().reach >= kept.radius)
      kept.buildings.pop_back();
    kept.staticVertices = StaticVertices(kept.buildings);
    return;
  }
}

// The farthest any building or street of the data reaches, up to limit; anyNear tells
// whether one comes within limit at all.
double DataReach(const std::vector<Building>& buildings, const std::vector<Street>& streets,
                 double limit, bool& anyNear) {
  double reach = 0;
  anyNear = false;
  const auto see = [&](double r, double nearest) {
    if (nearest < limit) anyNear = true;
    reach = std::max(reach, std::min(r, limit));
  };
  for (const Building& b : buildings) see(b.reach, b.reach);
  for (const Street& s : streets) {
    double nearest = INFINITY;
    for (const Vec2& p : s.points) nearest = std::min(nearest, Length(p));
    see(Reach(s), nearest);
  }
  return reach;
}

}  // namespace

namespace {

// The half-size of the squares round the posts that the viewer of mode is tested against.
double ViewerSquare(int mode) {
  const double radius = mode == kModeFollow ? 3 : defaults::collisionRadius;
  return mode == kModeFollow ? 4 * radius : mode == kModeChase ? 2 * radius : radius;
}

// Whether the viewer may stand at p: outside every building and clear of every post.
bool FreeAt(Vec2 p, const SceneSpec& scene, const std::vector<Building>& buildings, double half) {
  for (const auto& [x, z] : scene.posts)
    if (std::fabs(p.x - x) < half && std::fabs(p.z - z) < half) return false;
  return !InsideBuilding(p, buildings);
}

// How many buildings lie ahead of p within 300 m, in a cone of 30 degrees each side of the
// direction d.
int BuildingsAhead(Vec2 p, Vec2 d, const std::vector<Building>& buildings) {
  int count = 0;
  for (const Building& b : buildings) {
    const Vec2 to = b.rings.front().front() - p;
    const double distance = Length(to);
    if (distance > 0 && distance < 3000 && Dot(to, d) > distance * std::cos(std::numbers::pi / 6))
      ++count;
  }
  return count;
}

// The viewer's start: on the street nearest the origin that the mode may use (any path or
// street for walking, a street cars drive for driving), where it is free, facing along the
// street the way that shows more of the town. False when there is no such place.
bool PlaceStart(SceneSpec& scene, const Kept& kept, int mode) {
  const bool driving = mode == kModeDrive || mode == kModeChase;
  struct Spot {
    double distance;
    Vec2 p, d;
  };
  std::vector<Spot> spots;
  for (const Street& s : kept.streets) {
    if (driving && !s.kind->drivable) continue;
    for (std::size_t i = 0; i + 1 < s.points.size(); ++i) {
      const Vec2 a = s.points[i], b = s.points[i + 1], d = b - a;
      const int steps = std::max(1, static_cast<int>(Length(d) / 10));
      for (int k = 0; k <= steps; ++k) {
        const Vec2 p = a + d * (static_cast<double>(k) / steps);
        if (Length(p) < kept.radius) spots.push_back({Length(p), p, d * (1 / Length(d))});
      }
    }
  }
  std::stable_sort(spots.begin(), spots.end(),
                   [](const Spot& a, const Spot& b) { return a.distance < b.distance; });
  const double half = ViewerSquare(mode) + 2;
  for (const Spot& spot : spots) {
    if (!FreeAt(spot.p, scene, kept.buildings, half)) continue;
    Vec2 d = spot.d;
    if (BuildingsAhead(spot.p, d * -1, kept.buildings) > BuildingsAhead(spot.p, d, kept.buildings))
      d = d * -1;
    const double heading = std::round(std::atan2(-d.x, -d.z) * 180 / std::numbers::pi * 100) / 100;
    PlaceViewer(scene, mode, Snap(spot.p.x), Snap(spot.p.z), heading);
    return true;
  }
  return false;
}

// The settings of every town: the demo's, seen to about 500 m.
void TownSettings(SceneSettingsSpec& s) {
  DemoSettings(s);
  s.farPlane = kFarPlane;
  s.drawDistance = static_cast<int>(kDrawDistance);
  s.distanceCulling = 1;
}

}  // namespace

namespace {

std::string Count(long n) {
  std::string digits = std::to_string(n), text;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0 && digits[i - 1] != '-') text += ',';
    text += digits[i];
  }
  return text;
}

// The lines of the report.
std::string Report(const MapData& data, const BuildingCounts& counts, int placedAll,
                   const Kept& kept, const GroundCounts& ground, const TrafficCounts& traffic,
                   const SceneSpec& scene, LatLon origin) {
  char head[160];
  std::snprintf(head, sizeof head, "town within %s of %.6f,%.6f (%s)\n",
                Metres(kept.radius).c_str(), origin.lat, origin.lon, kept.why.c_str());
  double metres = 0;
  for (const Street& s : kept.streets)
    for (std::size_t i = 0; i + 1 < s.points.size(); ++i)
      metres += Length(s.points[i + 1] - s.points[i]) / kUnitsPerMetre;
  const BuildingsLeftOut& out = data.leftOut;
  std::string text = head;
  text += "  buildings: " + Count(static_cast<long>(kept.buildings.size())) +
          " placed (static list: " + Count(kept.staticVertices) + " of " + Count(kStaticNameSlots) +
          " vertices)\n";
  text += "  left out:  " + Count(out.notClosed) + " not closed, " + Count(out.missingNodes) +
          " missing nodes or members, " + Count(out.noArea + counts.noArea) + " without area, " +
          Count(out.rejected + counts.untessellated) + " refused by the area assembler, " +
          Count(placedAll - static_cast<long>(kept.buildings.size())) + " beyond the radius, " +
          Count(counts.outlines) + " outlines drawn by their parts\n";
  text += "  streets:   " + Count(static_cast<long>(kept.streets.size())) + " lines, " +
          Count(std::lround(metres)) + " m; ground: " + Count(ground.polygons) +
          " polygons (plain list: " + Count(ground.vertices) + " vertices)\n";
  text += "  posts:     " + Count(static_cast<long>(scene.posts.size())) + " along the walls\n";
  const auto asked = [](int asked, int placed) {
    return asked > placed ? "; " + Count(asked) + " asked, the routes take no more" : std::string();
  };
  text += "  cars:      " + Count(traffic.cars) + " on " + Count(traffic.carRoutes) +
          " routes round blocks (room for " + Count(traffic.carsRoom) +
          asked(traffic.askedCars, traffic.cars) + ")\n";
  text += "  people:    " + Count(traffic.people) + " on " + Count(traffic.peopleRoutes) +
          " routes, " + Count(traffic.pavementRoutes) + " of them along pavements (room for " +
          Count(traffic.peopleRoom) + asked(traffic.askedPeople, traffic.people) + ")\n";
  text += "  traffic:   each driven 10 minutes by the program's own motion without stalling; " +
          Count(traffic.stalled) + " left out that stalled wherever they were put\n";
  return text;
}

// The origin: asked, or the middle of the data's bounds.
LatLon OriginOf(const MapData& data, const MapOptions& options) {
  if (options.hasOrigin) return {options.originLat, options.originLon};
  return {(data.boundsMin.lat + data.boundsMax.lat) / 2,
          (data.boundsMin.lon + data.boundsMax.lon) / 2};
}

}  // namespace

bool BuildTown(const MapData& data, const MapOptions& options, SceneSpec& scene,
               std::string& report, MapNotes& notes, std::string& error) {
  const LatLon origin = OriginOf(data, options);
  const Projection projection = ProjectionAt(origin);
  BuildingCounts counts;
  std::vector<Building> buildings = PlaceBuildings(data, projection, counts, notes);
  std::vector<Street> streets = PlaceStreets(data, projection, notes);
  const double limit = (options.radius > 0 ? options.radius : kMaxRadius) * kUnitsPerMetre;
  bool anyNear = false;
  const double reach = DataReach(buildings, streets, limit, anyNear);
  char where[64];
  std::snprintf(where, sizeof where, "%.6f,%.6f", origin.lat, origin.lon);
  if (!anyNear) {
    error = "no buildings or streets within " + Metres(limit) + " of " + where;
    return false;
  }
  Kept kept;
  const int placedAll = static_cast<int>(buildings.size());
  KeepWithin(std::move(buildings), options.radius > 0 ? limit : reach * (1 + 1e-9) + 1,
             options.radius > 0, kept, counts);
  std::vector<GroundArea> areas = PlaceGroundAreas(data, projection);
  FitGround(streets, areas, kept);
  for (Street& s : streets)
    if (std::any_of(s.points.begin(), s.points.end(),
                    [&](Vec2 p) { return Length(p) < kept.radius; }))
      kept.streets.push_back(std::move(s));
  for (GroundArea& a : areas)
    if (Meets(a, kept.radius)) kept.areas.push_back(std::move(a));
  TownSettings(scene.settings);
  AddBuildings(scene, kept.buildings);
  AddWallPosts(scene, kept.buildings);
  GroundCounts ground;
  if (!AddGround(scene, kept.streets, kept.areas, kept.radius, ground, error)) return false;
  TrafficCounts traffic;
  AddTraffic(scene, kept.streets, kept.radius, {options.cars, options.people}, traffic);
  if (!PlaceStart(scene, kept, options.mode)) {
    error = std::string("no free place on a ") +
            (options.mode == kModeDrive || options.mode == kModeChase ? "street cars drive"
                                                                      : "street or path") +
            " within " + Metres(kept.radius) + " of " + where + " to start from";
    return false;
  }
  report = Report(data, counts, placedAll, kept, ground, traffic, scene, origin);
  return true;
}
