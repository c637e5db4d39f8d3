// Points sorted into square cells of the ground, and the obstacle tests that look only at the
// cells a square can reach.
//
// Why the grid gives the scan's answer. A point (px, pz) hits when x - px < h, px - x < h,
// z - pz < h and pz - z < h, each difference rounded to a double. Rounding is monotone and h
// is a double, so the rounded x - px is below h exactly when the true difference is: the points
// that hit are exactly those with px strictly between x - h and x + h (and pz likewise), in
// true arithmetic. A point with an infinite or undefined coordinate never hits (one of its
// differences is +infinity or undefined, and neither is below any h), and no point hits when
// h is not above 0 or x or z is not finite; those cases need no grid.
//   A point lies in column CellOf(px): (px - minX) x inverse cell size, rounded twice, clamped
// and truncated, all monotone in px. The test takes the columns from CellOf(lo) to
// CellOf(hi), where lo = (x - h) - m and hi = (x + h) + m with the margin
// m = (|x| + h) x 2^-50: the rounding of x - h and of the subtraction of m together err by at
// most about 2 x 2^-53 x (|x| + h), a quarter of m, so lo as computed is below the true x - h
// and hi above the true x + h. Every point that hits therefore lies in a column (and a row)
// of the window, and each point of the window is tested with the scan's own comparison.
#include "motion/point_grid.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "scene/scene.h"

namespace {

// Cell side in scene units when the points' extent allows it: a little more than the squares
// the modes test (8 to 32 units), so that a test reads a few cells.
constexpr double kCellSide = 16;
// A grid never has more cells than this (16 MB of cell starts), nor more than 16 per point
// beyond 65,536; a wider town gets larger cells.
constexpr double kMostCells = 4194304;
// Points farther out than this on either axis are kept apart and tested at every test (a
// scene's stray far point must not stretch the cells over the whole town).
constexpr double kGridReach = 1e7;
// A test whose window spans more cells than this, or more than one cell per eight points,
// scans instead (a huge square: reading the cells would cost more).
constexpr long long kMostWindowCells = 16;
// Most steps are taken where no point is near (a street between the walls): a bitmap of small
// squares of side kClearSide tells at once that no point lies within kClearReach squares of
// the square a test is in, along x or z. A point that hits lies less than h from the tested
// place on each axis, so when h < (kClearReach - 1) x kClearSide its square is at most
// kClearReach - 1 squares away (the rounding in the squares' numbering, monotone and far below
// a square, moves two numbers apart by less than one more): then a clear bit answers no.
// (16 units: the walking and driving modes' squares; the others look at the cells.)
constexpr double kClearSide = 8;
constexpr int kClearReach = 3;
constexpr double kMostClearBits = 1 << 27;  // 16 MB

struct Point {
  double x, z;
};

// What a grid was built from: rebuilt when any of it changes.
struct GridKey {
  unsigned long edition = 0;
  int count = 0;
  const void* xs = nullptr;
  const void* zs = nullptr;
  std::size_t xSize = 0, zSize = 0;
  bool operator==(const GridKey&) const = default;
};

struct PointGrid {
  bool built = false;
  GridKey key;
  std::vector<double> ox, oz;  // the points the scan tests, in its order
  bool scan = true;            // too few points, or an extent no grid can cover: scan
  int points = 0;              // points in the cells
  double minX = 0, minZ = 0, inverse = 1;
  int columns = 1, rows = 1;
  std::vector<unsigned> start;  // first point of each cell (row-major), and the end
  std::vector<Point> cell;      // the points, cell by cell
  std::vector<Point> far;       // points beyond kGridReach
  // Bit (row-major, squares of kClearSide) set when a point lies within kClearReach squares.
  std::vector<std::uint64_t> near;
  int nearColumns = 0, nearRows = 0;
  double nearInverse = 1;
};

PointGrid posts;
PointGrid own[kObjectSlots];
PointTestStats last;

// The scan's comparison: (x, z) strictly inside the square of half-size h around (px, pz).
inline bool Inside(double x, double z, double px, double pz, double h) {
  return x - px < h && px - x < h && z - pz < h && pz - z < h;
}

// The cell column (or row) of v, in 0..n - 1; monotone in v.
inline int CellOf(double v, double low, double inverse, int n) {
  const double t = (v - low) * inverse;
  if (!(t >= 0)) return 0;
  if (t >= n) return n - 1;
  return static_cast<int>(t);
}

// Every point, tested in order.
bool Scan(const PointGrid& g, double x, double z, double h) {
  last = {false, 0};
  for (std::size_t k = 0; k < g.ox.size(); ++k) {
    ++last.compared;
    if (Inside(x, z, g.ox[k], g.oz[k], h)) return true;
  }
  return false;
}

// Whether point k goes into the cells: finite and within kGridReach.
bool InCells(const PointGrid& g, std::size_t k) {
  return std::fabs(g.ox[k]) <= kGridReach && std::fabs(g.oz[k]) <= kGridReach;
}

// Chooses the cells for the extent of the points in the cells; false when none can cover it.
bool LayOut(PointGrid& g, double minX, double maxX, double minZ, double maxZ) {
  const double width = maxX - minX, depth = maxZ - minZ;
  if (!std::isfinite(width) || !std::isfinite(depth)) return false;
  const double most = std::min(kMostCells, std::max(65536.0, 16.0 * g.points));
  double side = kCellSide;
  if ((width / side + 1) * (depth / side + 1) > most) side = std::sqrt(width * depth / most) * 1.01;
  while ((std::floor(width / side) + 1) * (std::floor(depth / side) + 1) > most) side *= 1.1;
  if (!(side > 0) || !std::isfinite(side)) return false;
  g.minX = minX;
  g.minZ = minZ;
  g.inverse = 1 / side;
  g.columns = CellOf(maxX, minX, g.inverse, 1 << 30) + 1;
  g.rows = CellOf(maxZ, minZ, g.inverse, 1 << 30) + 1;
  return static_cast<double>(g.columns) * g.rows <= most;
}

// Marks the small squares with a point within kClearReach squares (when the bitmap fits).
void MarkNear(PointGrid& g, double maxX, double maxZ) {
  g.nearInverse = 1 / kClearSide;
  g.nearColumns = CellOf(maxX, g.minX, g.nearInverse, 1 << 30) + 1;
  g.nearRows = CellOf(maxZ, g.minZ, g.nearInverse, 1 << 30) + 1;
  if (static_cast<double>(g.nearColumns) * g.nearRows > kMostClearBits) return;
  const std::size_t columns = static_cast<std::size_t>(g.nearColumns);
  g.near.assign((columns * g.nearRows + 63) / 64, 0);
  for (const Point& p : g.cell) {
    const int cx = CellOf(p.x, g.minX, g.nearInverse, g.nearColumns);
    const int cz = CellOf(p.z, g.minZ, g.nearInverse, g.nearRows);
    for (int z = std::max(0, cz - kClearReach); z <= std::min(g.nearRows - 1, cz + kClearReach);
         ++z)
      for (int x = std::max(0, cx - kClearReach);
           x <= std::min(g.nearColumns - 1, cx + kClearReach); ++x) {
        const std::size_t bit = z * columns + x;
        g.near[bit / 64] |= std::uint64_t{1} << (bit % 64);
      }
  }
}

// Sorts the points (g.ox, g.oz, already copied in the scan's order) into their cells, or
// among the far ones; those not finite never hit and are left out.
void Sort(PointGrid& g) {
  if (g.ox.size() < static_cast<std::size_t>(kPointGridLeast)) return;
  double minX = INFINITY, maxX = -INFINITY, minZ = INFINITY, maxZ = -INFINITY;
  for (std::size_t k = 0; k < g.ox.size(); ++k) {
    if (!InCells(g, k)) {
      if (std::isfinite(g.ox[k]) && std::isfinite(g.oz[k])) g.far.push_back({g.ox[k], g.oz[k]});
      continue;
    }
    ++g.points;
    minX = std::min(minX, g.ox[k]);
    maxX = std::max(maxX, g.ox[k]);
    minZ = std::min(minZ, g.oz[k]);
    maxZ = std::max(maxZ, g.oz[k]);
  }
  if (g.points == 0 || !LayOut(g, minX, maxX, minZ, maxZ)) return;
  const std::size_t cells = static_cast<std::size_t>(g.columns) * g.rows;
  std::vector<unsigned> cellOf(g.ox.size(), 0);
  g.start.assign(cells + 1, 0);
  for (std::size_t k = 0; k < g.ox.size(); ++k) {
    if (!InCells(g, k)) continue;
    const int cx = CellOf(g.ox[k], g.minX, g.inverse, g.columns);
    const int cz = CellOf(g.oz[k], g.minZ, g.inverse, g.rows);
    cellOf[k] = static_cast<unsigned>(cz) * g.columns + cx;
    ++g.start[cellOf[k] + 1];
  }
  for (std::size_t c = 0; c < cells; ++c) g.start[c + 1] += g.start[c];
  std::vector<unsigned> fill(g.start.begin(), g.start.end() - 1);
  g.cell.resize(g.points);
  for (std::size_t k = 0; k < g.ox.size(); ++k)
    if (InCells(g, k)) g.cell[fill[cellOf[k]]++] = {g.ox[k], g.oz[k]};
  MarkNear(g, maxX, maxZ);
  g.scan = false;
}

// The test on a grid: the cells of the window of (x, z), or the scan.
// Whether the bitmap says no point is near (x, z) for a test of half-size h. Also right for a
// place that is not finite or a half-size not above 0 (no point hits those at all).
inline bool ClearAround(const PointGrid& g, double x, double z, double h) {
  if (g.near.empty() || !g.far.empty() || !(h < (kClearReach - 1) * kClearSide)) return false;
  const int cx = CellOf(x, g.minX, g.nearInverse, g.nearColumns);
  const int cz = CellOf(z, g.minZ, g.nearInverse, g.nearRows);
  const std::size_t bit = static_cast<std::size_t>(cz) * g.nearColumns + cx;
  return (g.near[bit / 64] >> (bit % 64) & 1) == 0;
}

bool Hit(const PointGrid& g, double x, double z, double h) {
  if (g.scan || h == INFINITY) return Scan(g, x, z, h);
  last = {true, 0};
  if (!(h > 0) || !std::isfinite(x) || !std::isfinite(z)) return false;
  const double mx = (std::fabs(x) + h) * 0x1p-50, mz = (std::fabs(z) + h) * 0x1p-50;
  const int x0 = CellOf(x - h - mx, g.minX, g.inverse, g.columns);
  const int x1 = CellOf(x + h + mx, g.minX, g.inverse, g.columns);
  const int z0 = CellOf(z - h - mz, g.minZ, g.inverse, g.rows);
  const int z1 = CellOf(z + h + mz, g.minZ, g.inverse, g.rows);
  const long long window = static_cast<long long>(x1 - x0 + 1) * (z1 - z0 + 1);
  if (window > kMostWindowCells && window > g.points / 8) return Scan(g, x, z, h);
  int compared = 0;
  bool hit = false;
  for (const Point& p : g.far) {
    ++compared;
    if ((hit = Inside(x, z, p.x, p.z, h))) break;
  }
  for (int row = z0; row <= z1 && !hit; ++row) {
    const std::size_t base = static_cast<std::size_t>(row) * g.columns;
    const Point* end = g.cell.data() + g.start[base + x1 + 1];
    for (const Point* p = g.cell.data() + g.start[base + x0]; p < end; ++p) {
      ++compared;
      if ((hit = Inside(x, z, p->x, p->z, h))) break;
    }
  }
  last.compared = compared;
  return hit;
}

GridKey PostsKey() {
  return {sceneEdition,     obstacleCount,    obstacleX.data(),
          obstacleZ.data(), obstacleX.size(), obstacleZ.size()};
}

GridKey OwnKey(int i) {
  const int count =
      static_cast<std::size_t>(i) < objectWaypointCount.size() ? objectWaypointCount[i] : 0;
  return {sceneEdition,     count,           waypointX.data(), waypointZ.data(),
          waypointX.size(), waypointZ.size()};
}

}  // namespace

bool PostsHit(double x, double z, double h) {
  if (posts.built && posts.key.edition == sceneEdition && posts.key.count == obstacleCount &&
      ClearAround(posts, x, z, h) && posts.key == PostsKey()) {
    last = {true, 0};
    return false;
  }
  if (!posts.built || !(posts.key == PostsKey())) {
    posts = PointGrid{};
    posts.built = true;
    posts.key = PostsKey();
    const std::size_t rows = std::min(obstacleX.size(), obstacleZ.size());
    for (int k = 1; k <= obstacleCount && static_cast<std::size_t>(k) < rows; ++k) {
      posts.ox.push_back(obstacleX[k]);
      posts.oz.push_back(obstacleZ[k]);
    }
    Sort(posts);
  }
  return Hit(posts, x, z, h);
}

bool OwnPointsHit(int i, double x, double z, double h) {
  PointGrid& g = own[i];
  if (!g.built || !(g.key == OwnKey(i))) {
    g = PointGrid{};
    g.built = true;
    g.key = OwnKey(i);
    const std::size_t rows = std::min(waypointX.size(), waypointZ.size());
    for (int k = 1; k <= g.key.count && static_cast<std::size_t>(k) < rows; ++k) {
      if (static_cast<std::size_t>(i) >= waypointX[k].size() ||
          static_cast<std::size_t>(i) >= waypointZ[k].size())
        break;
      g.ox.push_back(waypointX[k][i]);
      g.oz.push_back(waypointZ[k][i]);
    }
    Sort(g);
  }
  return Hit(g, x, z, h);
}

void ResetPointGrids() {
  posts = PointGrid{};
  for (PointGrid& g : own) g = PointGrid{};
  last = {};
}

PointTestStats LastPointTest() { return last; }
