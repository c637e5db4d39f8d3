// The posts sorted into square cells of the ground, and the obstacle test that looks only at
// the cells a square can reach.
//
// Why the grid gives the scan's answer. A post (px, pz) hits when x - px < h, px - x < h,
// z - pz < h and pz - z < h, each difference rounded to a double. Rounding is monotone and h
// is a double, so the rounded x - px is below h exactly when the true difference is: the posts
// that hit are exactly those with px strictly between x - h and x + h (and pz likewise), in
// true arithmetic. A post with an infinite or undefined coordinate never hits (one of its
// differences is +infinity or undefined, and neither is below any h), and no post hits when
// h is not above 0 or x or z is not finite; those cases need no grid.
//   A post lies in column CellOf(px): (px - minX) x inverse cell size, rounded twice, clamped
// and truncated, all monotone in px. The test takes the columns from CellOf(lo) to
// CellOf(hi), where lo = (x - h) - m and hi = (x + h) + m with the margin
// m = (|x| + h) x 2^-50: the rounding of x - h and of the subtraction of m together err by at
// most about 2 x 2^-53 x (|x| + h), a quarter of m, so lo as computed is below the true x - h
// and hi above the true x + h. Every post that hits therefore lies in a column (and a row)
// of the window, and each post of the window is tested with the scan's own comparison.
#include "motion/post_grid.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "scene/scene.h"

namespace {

// Cell side in scene units when the posts' extent allows it: a little more than the squares
// the modes test (8 to 32 units), so that a test reads a few cells.
constexpr double kCellSide = 16;
// The grid never has more cells than this (16 MB of cell starts), nor more than 16 per post
// beyond 65,536; a wider town gets larger cells.
constexpr double kMostCells = 4194304;
// Posts farther out than this on either axis are kept apart and tested at every test (a
// scene's stray far post must not stretch the cells over the whole town).
constexpr double kGridReach = 1e7;
// A test whose window spans more cells than this, or more than one cell per eight posts,
// scans instead (a huge square: reading the cells would cost more).
constexpr long long kMostWindowCells = 16;

// What the grid was built from: rebuilt when any of it changes.
struct GridKey {
  unsigned long edition = 0;
  int count = 0;
  const double* xs = nullptr;
  const double* zs = nullptr;
  std::size_t xSize = 0, zSize = 0;
  bool operator==(const GridKey&) const = default;
};

struct PostGrid {
  bool built = false;
  GridKey key;
  int rows = 0;      // the posts 1..rows - 1 that the scan tests
  bool scan = true;  // too few posts, or an extent no grid can cover: scan
  int posts = 0;     // posts in the grid (those with finite coordinates)
  double minX = 0, minZ = 0, inverse = 1;
  int columns = 1, cellRows = 1;
  std::vector<unsigned> start;     // first post of each cell (row-major), and the end
  std::vector<double> px, pz;      // the posts' coordinates, cell by cell
  std::vector<double> farX, farZ;  // posts beyond kGridReach
};

PostGrid grid;
PostTestStats last;

GridKey CurrentKey() {
  return {sceneEdition,     obstacleCount,    obstacleX.data(),
          obstacleZ.data(), obstacleX.size(), obstacleZ.size()};
}

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

// Every post the tables hold, tested in order.
bool Scan(double x, double z, double h) {
  last = {false, 0};
  for (int i = 1; i <= obstacleCount && i < grid.rows; ++i) {
    ++last.compared;
    if (Inside(x, z, obstacleX[i], obstacleZ[i], h)) return true;
  }
  return false;
}

// Chooses the cells for the extent of the posts in the grid; false when none can cover it.
bool LayOut(double minX, double maxX, double minZ, double maxZ) {
  const double width = maxX - minX, depth = maxZ - minZ;
  if (!std::isfinite(width) || !std::isfinite(depth)) return false;
  const double most = std::min(kMostCells, std::max(65536.0, 16.0 * grid.posts));
  double side = kCellSide;
  if ((width / side + 1) * (depth / side + 1) > most) side = std::sqrt(width * depth / most) * 1.01;
  while ((std::floor(width / side) + 1) * (std::floor(depth / side) + 1) > most) side *= 1.1;
  if (!(side > 0) || !std::isfinite(side)) return false;
  grid.minX = minX;
  grid.minZ = minZ;
  grid.inverse = 1 / side;
  grid.columns = CellOf(maxX, minX, grid.inverse, 1 << 30) + 1;
  grid.cellRows = CellOf(maxZ, minZ, grid.inverse, 1 << 30) + 1;
  return static_cast<double>(grid.columns) * grid.cellRows <= most;
}

// Whether post i goes into the cells: finite and within kGridReach.
bool InGrid(int i) {
  return std::fabs(obstacleX[i]) <= kGridReach && std::fabs(obstacleZ[i]) <= kGridReach;
}

// Sorts the posts with finite coordinates into their cells, or among the far ones.
void Build() {
  grid = PostGrid{};
  grid.built = true;
  grid.key = CurrentKey();
  grid.rows = static_cast<int>(std::min(obstacleX.size(), obstacleZ.size()));
  const int lastPost = std::min(obstacleCount, grid.rows - 1);
  if (lastPost < kPostGridLeast) return;
  double minX = INFINITY, maxX = -INFINITY, minZ = INFINITY, maxZ = -INFINITY;
  for (int i = 1; i <= lastPost; ++i) {
    if (!InGrid(i)) {
      if (std::isfinite(obstacleX[i]) && std::isfinite(obstacleZ[i])) {
        grid.farX.push_back(obstacleX[i]);
        grid.farZ.push_back(obstacleZ[i]);
      }
      continue;
    }
    ++grid.posts;
    minX = std::min(minX, obstacleX[i]);
    maxX = std::max(maxX, obstacleX[i]);
    minZ = std::min(minZ, obstacleZ[i]);
    maxZ = std::max(maxZ, obstacleZ[i]);
  }
  if (grid.posts == 0 || !LayOut(minX, maxX, minZ, maxZ)) return;
  const std::size_t cells = static_cast<std::size_t>(grid.columns) * grid.cellRows;
  std::vector<unsigned> cellOf(static_cast<std::size_t>(lastPost) + 1, 0);
  grid.start.assign(cells + 1, 0);
  for (int i = 1; i <= lastPost; ++i) {
    if (!InGrid(i)) continue;
    const int cx = CellOf(obstacleX[i], grid.minX, grid.inverse, grid.columns);
    const int cz = CellOf(obstacleZ[i], grid.minZ, grid.inverse, grid.cellRows);
    cellOf[i] = static_cast<unsigned>(cz) * grid.columns + cx;
    ++grid.start[cellOf[i] + 1];
  }
  for (std::size_t c = 0; c < cells; ++c) grid.start[c + 1] += grid.start[c];
  std::vector<unsigned> fill(grid.start.begin(), grid.start.end() - 1);
  grid.px.resize(grid.posts);
  grid.pz.resize(grid.posts);
  for (int i = 1; i <= lastPost; ++i) {
    if (!InGrid(i)) continue;
    const unsigned k = fill[cellOf[i]]++;
    grid.px[k] = obstacleX[i];
    grid.pz[k] = obstacleZ[i];
  }
  grid.scan = false;
}

}  // namespace

bool PostsHit(double x, double z, double h) {
  if (!grid.built || !(grid.key == CurrentKey())) Build();
  if (grid.scan || h == INFINITY) return Scan(x, z, h);
  last = {true, 0};
  if (!(h > 0) || !std::isfinite(x) || !std::isfinite(z)) return false;
  const double mx = (std::fabs(x) + h) * 0x1p-50, mz = (std::fabs(z) + h) * 0x1p-50;
  const int x0 = CellOf(x - h - mx, grid.minX, grid.inverse, grid.columns);
  const int x1 = CellOf(x + h + mx, grid.minX, grid.inverse, grid.columns);
  const int z0 = CellOf(z - h - mz, grid.minZ, grid.inverse, grid.cellRows);
  const int z1 = CellOf(z + h + mz, grid.minZ, grid.inverse, grid.cellRows);
  const long long window = static_cast<long long>(x1 - x0 + 1) * (z1 - z0 + 1);
  if (window > kMostWindowCells && window > grid.posts / 8) return Scan(x, z, h);
  for (std::size_t k = 0; k < grid.farX.size(); ++k) {
    ++last.compared;
    if (Inside(x, z, grid.farX[k], grid.farZ[k], h)) return true;
  }
  for (int row = z0; row <= z1; ++row) {
    const std::size_t base = static_cast<std::size_t>(row) * grid.columns;
    const unsigned end = grid.start[base + x1 + 1];
    for (unsigned k = grid.start[base + x0]; k < end; ++k) {
      ++last.compared;
      if (Inside(x, z, grid.px[k], grid.pz[k], h)) return true;
    }
  }
  return false;
}

void ResetPostGrid() {
  grid = PostGrid{};
  last = {};
}

PostTestStats LastPostTest() { return last; }
