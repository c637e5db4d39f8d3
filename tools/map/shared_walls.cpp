// Wall pieces: each footprint edge cut where other buildings' edges lie along it, and the
// heights their walls cover taken out.
#include "shared_walls.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace {

constexpr double kOnLine = 0.05;  // scene units: an edge this close to another's line is on it
constexpr double kCell = 200;     // the grid that finds edges near one another
constexpr double kBay = 35;       // a window bay is about 3.5 m wide

struct Edge {
  const Building* building;
  Vec2 a, c;
  double bays;
};

// A height range (metres).
using Span = std::pair<double, double>;

// What is left of span after taking out each of covers.
std::vector<Span> Uncovered(Span span, std::vector<Span> covers) {
  std::sort(covers.begin(), covers.end());
  std::vector<Span> left;
  double from = span.first;
  for (const Span& c : covers) {
    if (c.first > from) left.push_back({from, std::min(c.first, span.second)});
    from = std::max(from, c.second);
    if (from >= span.second) break;
  }
  if (from < span.second) left.push_back({from, span.second});
  left.erase(std::remove_if(left.begin(), left.end(),
                            [](const Span& s) { return s.second - s.first < 0.01; }),
             left.end());
  return left;
}

// The other edges lying along e, each as the stretch of e it covers (0..1) and its heights.
struct Cover {
  double from, to;
  Span heights;
};

std::vector<Cover> CoversOf(const Edge& e, const std::vector<Edge>& edges,
                            const std::vector<int>& near) {
  std::vector<Cover> covers;
  const Vec2 d = e.c - e.a;
  const double length = Length(d);
  if (length == 0) return covers;
  const Vec2 u = d * (1 / length);
  for (int k : near) {
    const Edge& f = edges[k];
    if (f.building == e.building) continue;
    const auto off = [&](Vec2 p) { return std::fabs(Cross(u, p - e.a)); };
    if (off(f.a) > kOnLine || off(f.c) > kOnLine) continue;
    const double t0 = Dot(f.a - e.a, u) / length, t1 = Dot(f.c - e.a, u) / length;
    const double from = std::max(0.0, std::min(t0, t1)), to = std::min(1.0, std::max(t0, t1));
    if ((to - from) * length > 0.01)
      covers.push_back({from, to, {f.building->minHeight, f.building->height}});
  }
  return covers;
}

// The pieces of edge e left visible by its covers.
void Pieces(const Edge& e, const std::vector<Cover>& covers, std::vector<WallPiece>& out) {
  std::vector<double> cuts = {0, 1};
  for (const Cover& c : covers) cuts.insert(cuts.end(), {c.from, c.to});
  std::sort(cuts.begin(), cuts.end());
  cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
  const Span whole = {e.building->minHeight, e.building->height};
  for (std::size_t i = 0; i + 1 < cuts.size(); ++i) {
    const double mid = (cuts[i] + cuts[i + 1]) / 2;
    std::vector<Span> over;
    for (const Cover& c : covers)
      if (c.from < mid && mid < c.to) over.push_back(c.heights);
    const Vec2 a = e.a + (e.c - e.a) * cuts[i], c = e.a + (e.c - e.a) * cuts[i + 1];
    for (const Span& s : Uncovered(whole, over))
      out.push_back({e.building, a, c, e.bays * cuts[i], e.bays * cuts[i + 1], s.first, s.second});
  }
}

long CellKey(long x, long z) { return x * 1000003 + z; }

}  // namespace

std::vector<WallPiece> WallPieces(const std::vector<Building>& buildings) {
  std::vector<Edge> edges;
  for (const Building& b : buildings)
    for (const Ring& ring : b.rings)
      for (std::size_t i = 0; i < ring.size(); ++i) {
        const Vec2 a = Snap(ring[i]), c = Snap(ring[(i + 1) % ring.size()]);
        edges.push_back({&b, a, c, std::max(1.0, std::round(Length(c - a) / kBay))});
      }
  std::map<long, std::vector<int>> cells;
  const auto cellsOf = [](const Edge& e, auto visit) {
    for (long x = static_cast<long>(std::floor(std::min(e.a.x, e.c.x) / kCell));
         x <= static_cast<long>(std::floor(std::max(e.a.x, e.c.x) / kCell)); ++x)
      for (long z = static_cast<long>(std::floor(std::min(e.a.z, e.c.z) / kCell));
           z <= static_cast<long>(std::floor(std::max(e.a.z, e.c.z) / kCell)); ++z)
        visit(CellKey(x, z));
  };
  for (std::size_t k = 0; k < edges.size(); ++k)
    cellsOf(edges[k], [&](long key) { cells[key].push_back(static_cast<int>(k)); });
  std::vector<WallPiece> pieces;
  for (const Edge& e : edges) {
    std::vector<int> near;
    cellsOf(e, [&](long key) {
      const auto& list = cells[key];
      near.insert(near.end(), list.begin(), list.end());
    });
    std::sort(near.begin(), near.end());
    near.erase(std::unique(near.begin(), near.end()), near.end());
    Pieces(e, CoversOf(e, edges, near), pieces);
  }
  return pieces;
}
