// The local tangent plane of the WGS 84 ellipsoid.
#include "projection.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kSemiMajor = 6378137.0;
constexpr double kFlattening = 1 / 298.257223563;
constexpr double kEccentricity2 = kFlattening * (2 - kFlattening);

// A point on the ellipsoid at (lat, lon) in earth-centred coordinates (metres).
void EarthCentred(LatLon p, double& x, double& y, double& z) {
  const double lat = p.lat * std::numbers::pi / 180, lon = p.lon * std::numbers::pi / 180;
  const double n = kSemiMajor / std::sqrt(1 - kEccentricity2 * std::sin(lat) * std::sin(lat));
  x = n * std::cos(lat) * std::cos(lon);
  y = n * std::cos(lat) * std::sin(lon);
  z = n * (1 - kEccentricity2) * std::sin(lat);
}

}  // namespace

Projection ProjectionAt(LatLon origin) {
  Projection p;
  const double lat = origin.lat * std::numbers::pi / 180, lon = origin.lon * std::numbers::pi / 180;
  p.sinLat = std::sin(lat);
  p.cosLat = std::cos(lat);
  p.sinLon = std::sin(lon);
  p.cosLon = std::cos(lon);
  EarthCentred(origin, p.x0, p.y0, p.z0);
  return p;
}

Vec2 Project(const Projection& p, LatLon point) {
  double x, y, z;
  EarthCentred(point, x, y, z);
  const double dx = x - p.x0, dy = y - p.y0, dz = z - p.z0;
  const double east = -p.sinLon * dx + p.cosLon * dy;
  const double north = -p.sinLat * p.cosLon * dx - p.sinLat * p.sinLon * dy + p.cosLat * dz;
  return {east * kUnitsPerMetre, -north * kUnitsPerMetre};
}

Ring GroundRing(const std::vector<LatLon>& points, const Projection& projection, bool outer) {
  Ring ring;
  for (const LatLon& p : points) {
    const Vec2 v = Project(projection, p);
    if (ring.empty() || !(ring.back() == v)) ring.push_back(v);
  }
  while (ring.size() > 1 && ring.front() == ring.back()) ring.pop_back();
  if (ring.size() < 3) return {};
  if ((TwiceArea(ring) > 0) != outer) std::reverse(ring.begin(), ring.end());
  return ring;
}
