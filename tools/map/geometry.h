// Plane geometry of the town on the ground: points in scene units (x east, z south), rings
// and the few measures the map tool needs.
#pragma once

#include <cmath>
#include <vector>

struct Vec2 {
  double x = 0, z = 0;
};

inline Vec2 operator+(Vec2 a, Vec2 b) { return {a.x + b.x, a.z + b.z}; }
inline Vec2 operator-(Vec2 a, Vec2 b) { return {a.x - b.x, a.z - b.z}; }
inline Vec2 operator*(Vec2 a, double k) { return {a.x * k, a.z * k}; }
inline bool operator==(Vec2 a, Vec2 b) { return a.x == b.x && a.z == b.z; }
inline double Cross(Vec2 a, Vec2 b) { return a.x * b.z - a.z * b.x; }
inline double Dot(Vec2 a, Vec2 b) { return a.x * b.x + a.z * b.z; }
inline double Length(Vec2 a) { return std::hypot(a.x, a.z); }

// Positions are written to a hundredth of a unit (a millimetre): the scene file is about half
// as long as with every digit, and points that coincide still coincide.
inline double Snap(double v) { return std::round(v * 100) / 100; }
inline Vec2 Snap(Vec2 p) { return {Snap(p.x), Snap(p.z)}; }

// A closed ring of points, the last not repeating the first.
using Ring = std::vector<Vec2>;

// Twice the signed area of a ring: positive when it turns from +x towards +z.
inline double TwiceArea(const Ring& ring) {
  double sum = 0;
  for (std::size_t i = 0, n = ring.size(); i < n; ++i) sum += Cross(ring[i], ring[(i + 1) % n]);
  return sum;
}

// The distance from p to the segment from a to b.
inline double SegmentDistance(Vec2 p, Vec2 a, Vec2 b) {
  const Vec2 d = b - a;
  const double length2 = Dot(d, d);
  double t = length2 > 0 ? Dot(p - a, d) / length2 : 0;
  t = t < 0 ? 0 : t > 1 ? 1 : t;
  return Length(p - (a + d * t));
}

// Whether p lies inside the rings by the even-odd rule (holes are rings of their own).
inline bool InsideRings(Vec2 p, const std::vector<Ring>& rings) {
  bool inside = false;
  for (const Ring& ring : rings) {
    for (std::size_t i = 0, n = ring.size(), j = n - 1; i < n; j = i++) {
      const Vec2 a = ring[i], b = ring[j];
      if ((a.z > p.z) != (b.z > p.z) && p.x < (b.x - a.x) * (p.z - a.z) / (b.z - a.z) + a.x)
        inside = !inside;
    }
  }
  return inside;
}
