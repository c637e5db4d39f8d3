// The map's degrees onto the scene's ground: the plane touching the earth (WGS 84) at the
// origin, x east and z south, 10 scene units to the metre. Within 10 km of the origin a
// distance on it differs from the distance on the ground by far less than 1 part in 1,000.
#pragma once

#include "geometry.h"
#include "osm_read.h"

inline constexpr double kUnitsPerMetre = 10;

struct Projection {
  double sinLat = 0, cosLat = 1, sinLon = 0, cosLon = 0;
  double x0 = 0, y0 = 0, z0 = 0;  // the origin, earth-centred (metres)
};

// The projection onto the plane touching the earth at origin.
Projection ProjectionAt(LatLon origin);

// Where a point of the map lies on the scene's ground.
Vec2 Project(const Projection& projection, LatLon point);

// A ring of map points on the ground: repeated points dropped, turning positively for an outer
// ring and negatively for a hole; empty when fewer than three points are left.
Ring GroundRing(const std::vector<LatLon>& points, const Projection& projection, bool outer);
