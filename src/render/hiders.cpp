// Laying the static list's polygons as hiders, and sorting out the hidden polygons of a run.
#include "render/hiders.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace {

constexpr double kNoBound = std::numeric_limits<double>::infinity();

// Where a list's positions fall on the window for the view the hiders were laid for, each
// placed when first needed (placed for generation stamp).
struct WindowPoints {
  std::vector<WindowPoint> at;
  std::vector<unsigned> stamp;
};

// The static list's polygons laid on the window's tiles as hiders for the view they were laid
// for (built: once the view has been seen), and where each of its polygons falls.
struct Hiders {
  OcclusionTiles tiles;
  ViewVolume view;
  bool built = false;
  unsigned generation = 0;            // counts the views laid for
  std::vector<WindowPolygon> placed;  // by polygon of the static list (not placed: grouped)
  std::vector<char> grouped;          // by polygon of the static list: in a group hidden whole
  WindowPoints plainPoints, staticPoints;
  std::vector<const WindowPoint*> corners;    // scratch: a polygon's vertices on the window
  std::vector<std::pair<double, int>> order;  // scratch: static runs in view, nearest first
  ViewFrame frame;                            // the view, for Allowance
  std::vector<double> allowances;             // scratch: a group's polygons' (SortGroup)
} hiders;

// Gathers where the vertices of polygon k of a list fall on the window into hiders.corners, and
// returns how many it has.
int PlaceCorners(const ListCalls& kept, int k, WindowPoints& points) {
  const ListCalls::Polygon polygon = kept.polygons[k];
  if (points.at.size() != kept.points.size() / 3) {
    points.at.assign(kept.points.size() / 3, WindowPoint{});
    points.stamp.assign(kept.points.size() / 3, 0);
  }
  hiders.corners.resize(polygon.count);
  for (int v = 0; v < polygon.count; ++v) {
    const int corner = kept.corners[polygon.first + v];
    if (points.stamp[corner] != hiders.generation) {
      points.at[corner] = hiders.tiles.Place(&kept.points[3 * static_cast<std::size_t>(corner)]);
      points.stamp[corner] = hiders.generation;
    }
    hiders.corners[v] = &points.at[corner];
  }
  return polygon.count;
}

// Sorts out polygons first to end of a list, whose vertices lie in the box lo to hi, as a
// group: when the box is hidden, so is each of them whose setup (by its shape: render/
// occlusion_margins.h, item 4) loses no more than the most the box can give, marked in hidden
// (by polygon from first); each other one goes to place(k). Returns how many it marked, or -1
// when the box is not hidden (nothing marked or placed).
template <typename Place>
int SortGroup(const double lo[3], const double hi[3], const ListCalls& kept, int first, int end,
              char* hidden, Place place) {
  const OcclusionTiles& tiles = hiders.tiles;
  if (lo[0] > hi[0]) return -1;
  const WindowBox box = tiles.PlaceBox(lo, hi);
  if (!tiles.Hidden(box, 0)) return -1;
  double allowance = 0;
  std::vector<double>& each = hiders.allowances;
  each.resize(end - first);
  for (int k = first; k < end; ++k) {
    each[k - first] = tiles.Allowance(box, hiders.frame, kept.shapes[k]);
    if (each[k - first] < kNoBound) allowance = std::max(allowance, each[k - first]);
  }
  const bool some = tiles.Hidden(box, allowance);
  int marked = 0;
  for (int k = first; k < end; ++k) {
    if (some && each[k - first] < kNoBound) {
      hidden[k - first] = 1;
      ++marked;
    } else {
      place(k);
    }
  }
  return marked;
}

// Sorts out the polygons of a run in view: marks in hidden (by polygon of the run) those hidden
// in the run or in one of its clusters as a group, and gives each other one to place(k).
// Returns how many it marked.
template <typename Place>
int SortOut(const Run& run, const ListCalls& kept, char* hidden, Place place) {
  const int count = run.endPolygon - run.firstPolygon;
  std::fill(hidden, hidden + count, 0);
  const int whole =
      SortGroup(run.lo, run.hi, kept, run.firstPolygon, run.endPolygon, hidden, place);
  if (whole >= 0) return whole;
  int marked = 0;
  for (int c = run.firstCluster; c < run.endCluster; ++c) {
    const ListCalls::Cluster& cluster = kept.clusters[c];
    const int group =
        SortGroup(cluster.lo, cluster.hi, kept, cluster.firstPolygon, cluster.endPolygon,
                  hidden + (cluster.firstPolygon - run.firstPolygon), place);
    if (group >= 0) {
      marked += group;
    } else {
      for (int k = cluster.firstPolygon; k < cluster.endPolygon; ++k) place(k);
    }
  }
  return marked;
}

}  // namespace

void LayHiders(const ViewVolume& view, const std::vector<Run>& runs, const ListCalls& calls) {
  OcclusionTiles tiles;
  tiles.Begin(view);
  if (hiders.built && view == hiders.view && tiles.SameWindow(hiders.tiles)) return;
  hiders.tiles = std::move(tiles);
  hiders.view = view;
  hiders.built = true;
  ++hiders.generation;
  if (!hiders.tiles.usable) return;
  hiders.frame = OcclusionTiles::Frame(view);
  hiders.placed.assign(calls.polygons.size(), WindowPolygon{});
  hiders.grouped.assign(calls.polygons.size(), 0);
  hiders.order.clear();
  const double* m = view.Matrix();
  for (std::size_t r = 0; r < runs.size(); ++r) {
    const Run& run = runs[r];
    if (run.Empty() || view.BoxOutside(run.lo, run.hi)) continue;
    double w = m[15];
    for (int a = 0; a < 3; ++a) w += m[4 * a + 3] * (run.lo[a] + run.hi[a]) / 2;
    hiders.order.emplace_back(w, static_cast<int>(r));
  }
  std::sort(hiders.order.begin(), hiders.order.end());
  for (const auto& [depth, r] : hiders.order) {
    const Run& run = runs[r];
    SortOut(run, calls, &hiders.grouped[run.firstPolygon], [&calls](int k) {
      const int count = PlaceCorners(calls, k, hiders.staticPoints);
      hiders.placed[k] = hiders.tiles.LayHider(hiders.corners.data(), count);
    });
  }
}

int MarkHidden(const Run& run, const ListCalls& kept, bool scenery, std::vector<char>& hidden) {
  OcclusionTiles& tiles = hiders.tiles;
  const int count = run.endPolygon - run.firstPolygon;
  hidden.resize(count);
  int left = 0;
  if (scenery) {
    for (int k = run.firstPolygon; k < run.endPolygon; ++k) {
      const bool out = hiders.grouped[k] || tiles.Hidden(hiders.placed[k]);
      hidden[k - run.firstPolygon] = out;
      left += out;
    }
    return left;
  }
  const int grouped = SortOut(run, kept, hidden.data(), [&](int k) {
    const int corners = PlaceCorners(kept, k, hiders.plainPoints);
    if (!tiles.Hidden(tiles.PlacePolygon(hiders.corners.data(), corners))) return;
    hidden[k - run.firstPolygon] = 1;
    ++left;
  });
  return left + grouped;
}

OcclusionTiles& SceneryHiders() { return hiders.tiles; }

void ForgetHiders() { hiders = {}; }
