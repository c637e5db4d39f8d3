// A height field of the model's flat polygons, its areas by flood fill, and the longest view.
#include "start.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kMaxSlopeDeg = 15;
constexpr int kMaxCells = 400;
// The rasterizing's work is bounded: a model of many large polygons lying over each other
// is sampled until this many cell tests were made.
constexpr long long kMaxCellTests = 50'000'000;
constexpr double kDegToRad = 0.017453292519943295;

struct HeightGrid {
  double x0 = 0, z0 = 0, cell = 10;
  int nx = 1, nz = 1;
  std::vector<double> top;  // the topmost flat surface's y at each cell's centre, or +infinity
  long long tests = 0;

  double CentreX(int i) const { return x0 + (i + 0.5) * cell; }
  double CentreZ(int k) const { return z0 + (k + 0.5) * cell; }

  // Lays triangle a b c of the plane with normal n (n[1] != 0) on the cells it covers.
  void Triangle(const Vec3& a, const Vec3& b, const Vec3& c, const Vec3& n) {
    const int i0 = std::max(0, static_cast<int>((std::min({a[0], b[0], c[0]}) - x0) / cell));
    const int i1 = std::min(nx - 1, static_cast<int>((std::max({a[0], b[0], c[0]}) - x0) / cell));
    const int k0 = std::max(0, static_cast<int>((std::min({a[2], b[2], c[2]}) - z0) / cell));
    const int k1 = std::min(nz - 1, static_cast<int>((std::max({a[2], b[2], c[2]}) - z0) / cell));
    auto side = [](const Vec3& p, const Vec3& q, double x, double z) {
      return (q[0] - p[0]) * (z - p[2]) - (q[2] - p[2]) * (x - p[0]);
    };
    for (int k = k0; k <= k1 && tests < kMaxCellTests; ++k) {
      for (int i = i0; i <= i1; ++i, ++tests) {
        const double x = CentreX(i), z = CentreZ(k);
        const double s1 = side(a, b, x, z), s2 = side(b, c, x, z), s3 = side(c, a, x, z);
        if (!((s1 >= 0 && s2 >= 0 && s3 >= 0) || (s1 <= 0 && s2 <= 0 && s3 <= 0))) continue;
        const double y = a[1] - (n[0] * (x - a[0]) + n[2] * (z - a[2])) / n[1];
        double& t = top[static_cast<std::size_t>(k) * nx + i];
        if (std::isfinite(y)) t = std::min(t, y);
      }
    }
  }

  // Lays every polygon that slopes less than kMaxSlopeDeg (either side up).
  void Polygons(const std::vector<std::vector<Polygon>>& meshes) {
    for (const std::vector<Polygon>& polygons : meshes)
      for (const Polygon& polygon : polygons) {
        const auto& p = polygon.corners;
        Vec3 n = {0, 0, 0};
        for (std::size_t i = 0; i < p.size(); ++i) {
          const Vec3& u = p[i].p;
          const Vec3& v = p[(i + 1) % p.size()].p;
          n[0] += (u[1] - v[1]) * (u[2] + v[2]);
          n[1] += (u[2] - v[2]) * (u[0] + v[0]);
          n[2] += (u[0] - v[0]) * (u[1] + v[1]);
        }
        const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        if (!(std::fabs(n[1]) >= std::cos(kMaxSlopeDeg * kDegToRad) * length)) continue;
        for (std::size_t i = 1; i + 1 < p.size(); ++i) Triangle(p[0].p, p[i].p, p[i + 1].p, n);
      }
  }
};

// The areas of the grid: each cell's area number (-1 for no surface), and each area's size.
std::vector<int> Areas(const HeightGrid& g, std::vector<int>& sizes) {
  std::vector<int> area(g.top.size(), -1);
  const double step = g.cell * std::tan(kMaxSlopeDeg * kDegToRad) + 1;
  std::vector<std::size_t> stack;
  for (std::size_t seed = 0; seed < g.top.size(); ++seed) {
    if (area[seed] >= 0 || !std::isfinite(g.top[seed])) continue;
    const int label = static_cast<int>(sizes.size());
    sizes.push_back(0);
    area[seed] = label;
    stack.push_back(seed);
    while (!stack.empty()) {
      const std::size_t c = stack.back();
      stack.pop_back();
      ++sizes[label];
      const int i = static_cast<int>(c % g.nx), k = static_cast<int>(c / g.nx);
      const int di[4] = {1, -1, 0, 0}, dk[4] = {0, 0, 1, -1};
      for (int d = 0; d < 4; ++d) {
        const int ni = i + di[d], nk = k + dk[d];
        if (ni < 0 || nk < 0 || ni >= g.nx || nk >= g.nz) continue;
        const std::size_t n = static_cast<std::size_t>(nk) * g.nx + ni;
        if (area[n] >= 0 || !std::isfinite(g.top[n]) || std::fabs(g.top[n] - g.top[c]) > step)
          continue;
        area[n] = label;
        stack.push_back(n);
      }
    }
  }
  return area;
}

}  // namespace

bool FindStartOnModel(const Bounds& b, const std::vector<std::vector<Polygon>>& polygons,
                      StartPlace& start) {
  HeightGrid g;
  const double width = b.max[0] - b.min[0], depth = b.max[2] - b.min[2];
  g.cell = std::max(10.0, std::max(width, depth) / kMaxCells);
  g.x0 = b.min[0];
  g.z0 = b.min[2];
  g.nx = std::max(1, static_cast<int>(std::ceil(width / g.cell)));
  g.nz = std::max(1, static_cast<int>(std::ceil(depth / g.cell)));
  g.top.assign(static_cast<std::size_t>(g.nx) * g.nz, std::numeric_limits<double>::infinity());
  g.Polygons(polygons);
  std::vector<int> sizes;
  const std::vector<int> area = Areas(g, sizes);
  if (sizes.empty()) return false;
  const int largest =
      static_cast<int>(std::max_element(sizes.begin(), sizes.end()) - sizes.begin());
  // Its cell nearest the model's middle.
  const double cx = (b.min[0] + b.max[0]) / 2, cz = (b.min[2] + b.max[2]) / 2;
  std::size_t best = 0;
  double bestDistance = std::numeric_limits<double>::infinity();
  for (std::size_t c = 0; c < area.size(); ++c) {
    if (area[c] != largest) continue;
    const double dx = g.CentreX(static_cast<int>(c % g.nx)) - cx;
    const double dz = g.CentreZ(static_cast<int>(c / g.nx)) - cz;
    if (dx * dx + dz * dz < bestDistance) {
      bestDistance = dx * dx + dz * dz;
      best = c;
    }
  }
  const int bi = static_cast<int>(best % g.nx), bk = static_cast<int>(best / g.nx);
  start.x = g.CentreX(bi);
  start.z = g.CentreZ(bk);
  start.surfaceY = g.top[best];
  // The heading along which the area reaches farthest, of 16 (heading 0 looks along -z, 90
  // along +x).
  int bestReach = -1;
  for (int d = 0; d < 16; ++d) {
    const double h = d * 22.5 * kDegToRad;
    int reach = 0;
    for (;; ++reach) {
      const int i = static_cast<int>(
          std::floor((start.x + (reach + 1) * g.cell * std::sin(h) - g.x0) / g.cell));
      const int k = static_cast<int>(
          std::floor((start.z - (reach + 1) * g.cell * std::cos(h) - g.z0) / g.cell));
      if (i < 0 || k < 0 || i >= g.nx || k >= g.nz ||
          area[static_cast<std::size_t>(k) * g.nx + i] != largest)
        break;
    }
    if (reach > bestReach) {
      bestReach = reach;
      start.headingDeg = d * 22.5;
    }
  }
  return true;
}
