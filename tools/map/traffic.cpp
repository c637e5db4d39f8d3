// Routes round the blocks of the street graph, and the cars and people on them.
#include "traffic.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>

#include "models.h"
#include "scene/scene.h"
#include "test_drive.h"

namespace {

// How each kind of moving object is kept to its route. An object is blocked by its own points
// within twice its clearance, a square of half-size 12 for a car (3 for a person); the sides of
// its route stand farther from the centreline than that square turned 45 degrees reaches (17
// for a car), so that the centreline is always free.
//   An object that meets a side swerves, turns by 10 degrees and tries a slowed step; where a
// side runs slantwise, the squares of its points make a staircase, and an object can catch on
// a stair whose rise is comparable to its step, or in a sharp corner, and shake there for
// ever. So the points of a slanting side stand so close that each stair rises at most riser
// (a tenth of a car's step, a fifth of a person's), a side along x or z only as close as
// widest, every corner of a route is rounded to turningRadius, and routes with hairpins are
// not taken (Roundable). Driven by the program's own motion, the demo town's 50 objects went
// 100,000 frames without stalling; each object is still test-driven before it is placed
// (TestDrive), and tests/map/traffic_test.cpp drives a town's traffic for 45,000 frames.
struct Mover {
  double clearance, side, riser, widest, turningRadius;
  double gap;      // one object for every this much of a route
  double longest;  // the longest route
  double speeds[3];
};
constexpr Mover kCars = {6, 23, 0.25, 3, 100, 1500, 6000, {3, 3.25, 3.5}};
constexpr Mover kPeople = {1.5, 7, 0.1, 1.5, 20, 600, 3000, {0.4, 0.45, 0.5}};
// Routes are at least 60 m round.
constexpr double kShortestRoute = 600;
constexpr int kMostPerRoute = 3;
// Every object is test-driven for 10 minutes of its own motion (at 25 frames a second), and
// moved at most twice before it is left out.
constexpr int kTestFrames = 15000;
constexpr int kAttempts = 3;
// A pavement runs this far beyond the street's edge (1.5 m).
constexpr double kPavement = 15;
// Objects farther than 500 m from the viewer are not drawn and stand still.
constexpr double kObjectReach = 5000;

// The street graph of one kind of user: points where streets meet or bend, and for each the
// points it is joined to, sorted by direction.
struct Graph {
  std::vector<Vec2> points;
  std::vector<std::vector<int>> next;
  std::map<std::pair<int, int>, double> width;  // each street segment's width (u < v)
};

int PointIndex(Graph& g, std::map<std::pair<double, double>, int>& index, Vec2 p) {
  const auto [it, added] =
      index.emplace(std::make_pair(p.x, p.z), static_cast<int>(g.points.size()));
  if (added) {
    g.points.push_back(p);
    g.next.emplace_back();
  }
  return it->second;
}

// The segments of the chosen streets lying wholly within radius, as a graph.
Graph BuildGraph(const std::vector<Street>& streets, bool drivable, double radius) {
  Graph g;
  std::map<std::pair<double, double>, int> index;
  for (const Street& s : streets) {
    if (drivable ? !s.kind->drivable : s.kind->drivable) continue;
    for (std::size_t i = 0; i + 1 < s.points.size(); ++i) {
      const Vec2 a = s.points[i], b = s.points[i + 1];
      if (Length(a) >= radius || Length(b) >= radius) continue;
      const int u = PointIndex(g, index, a), v = PointIndex(g, index, b);
      if (u == v) continue;
      g.next[u].push_back(v);
      g.next[v].push_back(u);
      double& w = g.width[{std::min(u, v), std::max(u, v)}];
      w = std::max(w, s.width);
    }
  }
  for (std::size_t u = 0; u < g.points.size(); ++u) {
    auto& n = g.next[u];
    const Vec2 p = g.points[u];
    std::sort(n.begin(), n.end(), [&g, p](int a, int b) {
      const Vec2 da = g.points[a] - p, db = g.points[b] - p;
      return std::atan2(da.z, da.x) < std::atan2(db.z, db.x);
    });
    n.erase(std::unique(n.begin(), n.end()), n.end());
  }
  return g;
}

// Removes dead ends, again and again, so that every route can go on at every corner.
void PruneDeadEnds(Graph& g) {
  std::vector<int> ends;
  for (std::size_t u = 0; u < g.next.size(); ++u)
    if (g.next[u].size() == 1) ends.push_back(static_cast<int>(u));
  while (!ends.empty()) {
    const int u = ends.back();
    ends.pop_back();
    if (g.next[u].size() != 1) continue;
    const int v = g.next[u].front();
    g.next[u].clear();
    auto& nv = g.next[v];
    nv.erase(std::find(nv.begin(), nv.end(), u));
    if (nv.size() == 1) ends.push_back(v);
  }
}

double RouteLength(const std::vector<Vec2>& corners) {
  double length = 0;
  for (std::size_t i = 0; i < corners.size(); ++i)
    length += Length(corners[(i + 1) % corners.size()] - corners[i]);
  return length;
}

// The faces of the graph: from each street segment in each direction, keep turning into the
// next street to the left until back at the start. Inner faces turn positively; the outer
// face of each part of the graph turns the other way.
std::vector<std::vector<int>> Faces(const Graph& g) {
  std::vector<std::vector<bool>> done(g.next.size());
  for (std::size_t u = 0; u < g.next.size(); ++u) done[u].assign(g.next[u].size(), false);
  std::vector<std::vector<int>> faces;
  for (std::size_t start = 0; start < g.next.size(); ++start)
    for (std::size_t slot = 0; slot < g.next[start].size(); ++slot) {
      if (done[start][slot]) continue;
      std::vector<int> face;
      int u = static_cast<int>(start);
      std::size_t s = slot;
      while (!done[u][s]) {
        done[u][s] = true;
        face.push_back(u);
        const int v = g.next[u][s];
        const auto& nv = g.next[v];
        const std::size_t back = std::find(nv.begin(), nv.end(), u) - nv.begin();
        s = (back + nv.size() - 1) % nv.size();
        u = v;
      }
      faces.push_back(std::move(face));
    }
  return faces;
}

}  // namespace

namespace {

// Whether two segments cross (touching ends do not count).
bool Cross(Vec2 a, Vec2 b, Vec2 c, Vec2 d) {
  const double d1 = Cross(b - a, c - a), d2 = Cross(b - a, d - a);
  const double d3 = Cross(d - c, a - c), d4 = Cross(d - c, b - c);
  return ((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0));
}

// Whether a ring's edges cross one another.
bool SelfCrossing(const std::vector<Vec2>& r) {
  const std::size_t n = r.size();
  for (std::size_t i = 0; i < n; ++i)
    for (std::size_t j = i + 2; j < n; ++j) {
      if (i == 0 && j == n - 1) continue;
      if (Cross(r[i], r[(i + 1) % n], r[j], r[(j + 1) % n])) return true;
    }
  return false;
}

// The pavement round a block: the face's centreline moved inwards by half the street's width
// and kPavement. Empty when the block is too small or its shape folds over.
std::vector<Vec2> Pavement(const Graph& g, const std::vector<int>& face) {
  const std::size_t n = face.size();
  std::vector<Vec2> offsetA(n), direction(n);
  for (std::size_t i = 0; i < n; ++i) {
    const int u = face[i], v = face[(i + 1) % n];
    const Vec2 d = g.points[v] - g.points[u];
    const double length = Length(d);
    if (length == 0) return {};
    direction[i] = d * (1 / length);
    const double inset = g.width.at({std::min(u, v), std::max(u, v)}) / 2 + kPavement;
    offsetA[i] = g.points[u] + Vec2{-direction[i].z, direction[i].x} * inset;  // inwards: left
  }
  std::vector<Vec2> ring(n);
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t p = (i + n - 1) % n;
    const double turn = Cross(direction[p], direction[i]);
    if (std::fabs(turn) < 1e-6) {
      ring[i] = offsetA[i];
      continue;
    }
    // Where the previous side's line meets this one's.
    const double t = Cross(offsetA[i] - offsetA[p], direction[i]) / turn;
    ring[i] = offsetA[p] + direction[p] * t;
  }
  for (std::size_t i = 0; i < n; ++i)
    if (Dot(ring[(i + 1) % n] - ring[i], direction[i]) <= 0) return {};
  if (TwiceArea(ring) <= 0 || SelfCrossing(ring)) return {};
  return ring;
}

// The corners rounded: each corner's turn spread along an arc of radius (less where the
// streets beside it are short), in steps of at most 10 degrees.
std::vector<Vec2> Rounded(const std::vector<Vec2>& corners, double radius) {
  const std::size_t n = corners.size();
  std::vector<Vec2> out;
  for (std::size_t i = 0; i < n; ++i) {
    const Vec2 p = corners[(i + n - 1) % n], q = corners[i], r = corners[(i + 1) % n];
    const double l1 = Length(q - p), l2 = Length(r - q);
    const Vec2 u1 = (q - p) * (1 / l1), u2 = (r - q) * (1 / l2);
    const double turn = std::acos(std::clamp(Dot(u1, u2), -1.0, 1.0));
    if (turn < std::numbers::pi / 180) {
      out.push_back(q);
      continue;
    }
    const double t = std::min(radius * std::tan(std::min(turn, 3.0) / 2), std::min(l1, l2) / 2);
    const Vec2 a = q - u1 * t, b = q + u2 * t;
    const int steps = std::max(1, static_cast<int>(std::ceil(turn / (std::numbers::pi / 18))));
    for (int k = 0; k <= steps; ++k) {  // a quadratic curve from a to b, q its control point
      const double f = static_cast<double>(k) / steps;
      out.push_back(a * ((1 - f) * (1 - f)) + q * (2 * (1 - f) * f) + b * (f * f));
    }
  }
  std::vector<Vec2> clean;
  for (const Vec2& v : out)
    if (clean.empty() || Length(v - clean.back()) > 1e-6) clean.push_back(v);
  while (clean.size() > 1 && Length(clean.front() - clean.back()) <= 1e-6) clean.pop_back();
  return clean;
}

// Whether every corner of a route can be rounded to at least half the mover's turning radius
// and turns by less than 135 degrees: hairpins and tight corners leave spikes of points that
// an object catches on.
bool Roundable(const std::vector<Vec2>& corners, const Mover& mover) {
  const std::size_t n = corners.size();
  for (std::size_t i = 0; i < n; ++i) {
    const Vec2 p = corners[(i + n - 1) % n], q = corners[i], r = corners[(i + 1) % n];
    const double l1 = Length(q - p), l2 = Length(r - q);
    if (l1 == 0 || l2 == 0) return false;
    const double turn = std::acos(std::clamp(Dot(q - p, r - q) / (l1 * l2), -1.0, 1.0));
    if (turn > 0.75 * std::numbers::pi) return false;
    if (turn > std::numbers::pi / 180 &&
        std::min(l1, l2) / 2 / std::tan(turn / 2) < mover.turningRadius / 2)
      return false;
  }
  return true;
}

// The route round a face, if it is a block of the right size.
bool FaceRoute(const Graph& g, const std::vector<int>& face, bool pavement, const Mover& mover,
               double radius, Route& route) {
  std::vector<Vec2> corners;
  for (int u : face) corners.push_back(g.points[u]);
  if (corners.size() < 3 || TwiceArea(corners) <= 0) return false;  // the outer face
  if (pavement) {
    if (SelfCrossing(corners)) return false;
    corners = Pavement(g, face);
    if (corners.empty()) return false;
  }
  if (!Roundable(corners, mover)) return false;
  corners = Rounded(corners, mover.turningRadius);
  const double length = RouteLength(corners);
  if (corners.size() < 3 || length < kShortestRoute || length > mover.longest) return false;
  for (const Vec2& p : corners)
    if (Length(p) >= radius) return false;
  route = {std::move(corners), length, pavement};
  return true;
}

// The nearest corner of a route to the origin.
double Nearest(const Route& route) {
  double nearest = INFINITY;
  for (const Vec2& p : route.corners) nearest = std::min(nearest, Length(p));
  return nearest;
}

// The routes round the blocks of a graph.
std::vector<Route> GraphRoutes(Graph g, bool pavement, const Mover& mover, double radius) {
  PruneDeadEnds(g);
  std::vector<Route> routes;
  for (const std::vector<int>& face : Faces(g)) {
    Route route;
    if (FaceRoute(g, face, pavement, mover, radius, route)) routes.push_back(std::move(route));
  }
  return routes;
}

}  // namespace

std::vector<Route> BlockRoutes(const std::vector<Street>& streets, bool drivable, double radius) {
  std::vector<Route> routes =
      GraphRoutes(BuildGraph(streets, drivable, radius), false, drivable ? kCars : kPeople, radius);
  if (!drivable) {  // people walk the paths, and the pavements of the streets
    const std::vector<Route> pavements =
        GraphRoutes(BuildGraph(streets, true, radius), true, kPeople, radius);
    routes.insert(routes.end(), pavements.begin(), pavements.end());
  }
  std::stable_sort(routes.begin(), routes.end(),
                   [](const Route& a, const Route& b) { return Nearest(a) < Nearest(b); });
  return routes;
}

namespace {

// The route's segments, each once, in a grid of cells for finding those near a point.
struct SegmentGrid {
  std::vector<std::pair<Vec2, Vec2>> segments;
  double cell = 1;
  std::map<std::pair<long, long>, std::vector<int>> cells;

  SegmentGrid(const Route& route, double reach) : cell(std::max(reach, 1.0)) {
    std::map<std::pair<std::pair<double, double>, std::pair<double, double>>, bool> seen;
    const auto& c = route.corners;
    for (std::size_t i = 0; i < c.size(); ++i) {
      Vec2 a = c[i], b = c[(i + 1) % c.size()];
      if (std::make_pair(b.x, b.z) < std::make_pair(a.x, a.z)) std::swap(a, b);
      if (!seen.emplace(std::make_pair(std::make_pair(a.x, a.z), std::make_pair(b.x, b.z)), true)
               .second)
        continue;
      const int index = static_cast<int>(segments.size());
      segments.push_back({a, b});
      for (long x = Cell(std::min(a.x, b.x) - reach); x <= Cell(std::max(a.x, b.x) + reach); ++x)
        for (long z = Cell(std::min(a.z, b.z) - reach); z <= Cell(std::max(a.z, b.z) + reach); ++z)
          cells[{x, z}].push_back(index);
    }
  }
  long Cell(double v) const { return static_cast<long>(std::floor(v / cell)); }
  // Whether p lies closer than reach to a segment of the route.
  bool Near(Vec2 p, double reach) const {
    const auto it = cells.find({Cell(p.x), Cell(p.z)});
    if (it == cells.end()) return false;
    for (int s : it->second)
      if (SegmentDistance(p, segments[s].first, segments[s].second) < reach) return true;
    return false;
  }
};

}  // namespace

namespace {

// The spacing of points along a side running in direction (dx, dz) (a unit vector): each
// stair of their squares rises at most riser, and no two are farther apart than widest.
double Spacing(double dx, double dz, double riser, double widest) {
  const double slant = std::min(std::fabs(dx), std::fabs(dz));
  return slant * widest > riser ? riser / slant : widest;
}

}  // namespace

std::vector<std::pair<double, double>> RouteSides(const Route& route, double halfWidth,
                                                  double riser, double widest) {
  const SegmentGrid grid(route, halfWidth);
  const double reach = halfWidth * (1 - 1e-9);
  std::vector<std::pair<double, double>> points;
  const auto keep = [&](Vec2 p) {
    if (!grid.Near(p, reach)) points.emplace_back(Snap(p.x), Snap(p.z));
  };
  // Both sides of every segment, and a circle round every corner: what no segment's band
  // covers is the edge of the route's band.
  for (const auto& [a, b] : grid.segments) {
    const Vec2 d = b - a;
    const double length = Length(d);
    const Vec2 side = Vec2{-d.z, d.x} * (halfWidth / length);
    const double spacing = Spacing(d.x / length, d.z / length, riser, widest);
    const int steps = std::max(1, static_cast<int>(std::ceil(length / spacing)));
    for (int k = 0; k <= steps; ++k) {
      const Vec2 p = a + d * (static_cast<double>(k) / steps);
      keep(p + side);
      keep(p - side);
    }
  }
  for (const Vec2& corner : route.corners)
    for (double angle = 0; angle < 2 * std::numbers::pi;) {
      keep(corner + Vec2{std::cos(angle), std::sin(angle)} * halfWidth);
      angle += Spacing(std::sin(angle), std::cos(angle), riser, widest) / halfWidth;
    }
  return points;
}

namespace {

// A place along a route (a share of its length from its first corner) and the heading of
// travel there (the scene's degrees: 0 faces north, -z; 90 west).
void PlaceOnRoute(const Route& route, double share, double& x, double& z, double& heading) {
  double left = share * route.length;
  const auto& c = route.corners;
  for (std::size_t i = 0; i < c.size(); ++i) {
    const Vec2 a = c[i], b = c[(i + 1) % c.size()];
    const double length = Length(b - a);
    if (left <= length || i + 1 == c.size()) {
      const Vec2 p = a + (b - a) * (std::min(left, length) / length);
      x = p.x;
      z = p.z;
      heading = std::atan2(-(b - a).x, -(b - a).z) * 180 / std::numbers::pi;
      return;
    }
    left -= length;
  }
}

// How many objects each route takes, one for every gap of its length, at most three.
int Room(const Route& route, double gap) {
  return std::clamp(static_cast<int>(route.length / gap), 1, kMostPerRoute);
}

// Where an object goes: its route, how far along it (a share of its length), which way it
// faces, and what kind of object it is.
struct Placement {
  const Route* route;
  double share;
  bool reversed;
  const Mover* mover;
};

// count places on the routes nearest the origin, each route taking as many as it has room for:
// the traffic is where the viewer starts (objects far from the viewer stand still anyway).
std::vector<Placement> Spread(const std::vector<Route>& routes, const Mover& mover, int count) {
  std::vector<int> on(routes.size(), 0);
  int placed = 0;
  for (std::size_t r = 0; r < routes.size() && placed < count; ++r) {
    on[r] = std::min(Room(routes[r], mover.gap), count - placed);
    placed += on[r];
  }
  std::vector<Placement> places;
  for (std::size_t r = 0; r < routes.size(); ++r)
    for (int k = 0; k < on[r]; ++k)
      places.push_back({&routes[r], (k + 0.5) / on[r], false, &mover});
  return places;
}

// The object at a place: a car or a person of the n-th colour, on its route, keeping to its
// own points (not the posts), moving only within 500 m of the viewer and drawn only there.
SceneObjectSpec ObjectAt(const Placement& place, int n) {
  static const Colour paints[] = {{0.75, 0.1, 0.1}, {0.1, 0.3, 0.7},    {0.9, 0.8, 0.2},
                                  {0.2, 0.6, 0.3},  {0.85, 0.85, 0.85}, {0.15, 0.15, 0.15},
                                  {0.9, 0.45, 0.1}, {0.5, 0.2, 0.6}};
  static const Colour clothes[] = {{0.6, 0.1, 0.15}, {0.1, 0.4, 0.6},  {0.8, 0.7, 0.3},
                                   {0.3, 0.5, 0.2},  {0.5, 0.5, 0.55}, {0.7, 0.35, 0.5}};
  const Mover& mover = *place.mover;
  SceneObjectSpec o = &mover == &kCars ? Car(paints[n % 8]) : Pedestrian(clothes[n % 6]);
  PlaceOnRoute(*place.route, place.share, o.x, o.z, o.headingDeg);
  o.x = Snap(o.x);
  o.z = Snap(o.z);
  if (place.reversed) o.headingDeg += o.headingDeg > 0 ? -180 : 180;
  o.flagA = 0;
  o.flagB = 1;
  o.nearTest = o.cullTest = 1;
  o.nearDistance = o.cullDistance = kObjectReach;
  o.clearance = mover.clearance;
  o.maxSpeed = mover.speeds[n % 3];
  o.waypoints = RouteSides(*place.route, mover.side, mover.riser, mover.widest);
  return o;
}

// How many objects of each kind: as asked, else filling the objects' slots half and half as
// far as the routes have room, the rest to the other kind.
void Counts(const TrafficPlan& plan, TrafficCounts& counts, int& cars, int& people) {
  cars = plan.cars;
  people = plan.people;
  if (cars < 0 && people < 0) {
    cars = std::min(counts.carsRoom, kObjectSlots / 2);
    people = std::min(counts.peopleRoom, kObjectSlots - cars);
    cars = std::min(counts.carsRoom, kObjectSlots - people);
  } else if (cars < 0) {
    cars = std::min(counts.carsRoom, kObjectSlots - people);
  } else if (people < 0) {
    people = std::min(counts.peopleRoom, kObjectSlots - std::min(cars, counts.carsRoom));
  }
  cars = std::min(cars, counts.carsRoom);
  people = std::min(people, counts.peopleRoom);
}

// Drives every object on its own for kTestFrames, and moves those that stall elsewhere along
// their routes (turned round every other time); one that stalls kAttempts times is left out,
// and the others, whose numbers then change (an object's turns depend on its number), are
// driven again. Every object left has driven kTestFrames without stalling.
void TestDrive(SceneSpec& scene, std::vector<Placement>& places, TrafficCounts& counts) {
  std::vector<int> tries(places.size(), 0);
  std::vector<bool> test(places.size(), true);
  for (int round = 0; round < kObjectSlots + kAttempts; ++round) {
    scene.objects.clear();
    for (std::size_t i = 0; i < places.size(); ++i) scene.objects.push_back(ObjectAt(places[i], i));
    const std::vector<bool> stalls = Stalls(scene, test, kTestFrames);
    std::vector<Placement> next;
    std::vector<int> nextTries;
    bool dropped = false, moved = false;
    for (std::size_t i = 0; i < places.size(); ++i) {
      Placement p = places[i];
      if (stalls[i] && ++tries[i] >= kAttempts) {
        dropped = true;
        ++counts.stalled;
        continue;
      }
      if (stalls[i]) {
        p.share = std::fmod(p.share + 0.37, 1.0);
        p.reversed = !p.reversed;
        moved = true;
      }
      next.push_back(p);
      nextTries.push_back(tries[i]);
      test[next.size() - 1] = stalls[i] || dropped;
    }
    places = next;
    tries = nextTries;
    test.resize(places.size());
    if (!dropped && !moved) return;
  }
}

}  // namespace

void AddTraffic(SceneSpec& scene, const std::vector<Street>& streets, double radius,
                const TrafficPlan& plan, TrafficCounts& counts) {
  const std::vector<Route> carRoutes = BlockRoutes(streets, true, radius);
  const std::vector<Route> walks = BlockRoutes(streets, false, radius);
  counts.carRoutes = static_cast<int>(carRoutes.size());
  counts.peopleRoutes = static_cast<int>(walks.size());
  for (const Route& r : carRoutes) counts.carsRoom += Room(r, kCars.gap);
  for (const Route& r : walks) counts.peopleRoom += Room(r, kPeople.gap);
  for (const Route& r : walks) counts.pavementRoutes += r.pavement;
  counts.carsRoom = std::min(counts.carsRoom, kObjectSlots);
  counts.peopleRoom = std::min(counts.peopleRoom, kObjectSlots);
  int cars = 0, people = 0;
  counts.askedCars = plan.cars;
  counts.askedPeople = plan.people;
  Counts(plan, counts, cars, people);
  std::vector<Placement> places = Spread(carRoutes, kCars, cars);
  const std::vector<Placement> walkers = Spread(walks, kPeople, people);
  places.insert(places.end(), walkers.begin(), walkers.end());
  TestDrive(scene, places, counts);
  for (const Placement& p : places) {
    counts.cars += p.mover == &kCars;
    counts.people += p.mover == &kPeople;
  }
  for (const SceneObjectSpec& o : scene.objects)
    counts.points += static_cast<long>(o.waypoints.size());
}
