// Streets and ground areas from the map's ways and areas.
#include "streets.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace {

constexpr double kWidest = 100;  // metres; wider width tags are taken for mistakes

// A width in metres from a tag: a number, optionally followed by "m".
bool WidthMetres(const char* text, double& value) {
  std::string t = text;
  while (!t.empty() && (t.back() == ' ' || t.back() == 'm')) t.pop_back();
  const char* end = t.data() + t.size();
  const auto result = std::from_chars(t.data(), end, value);
  return result.ec == std::errc() && result.ptr == end && !t.empty() && value > 0 &&
         value <= kWidest;
}

}  // namespace

std::vector<Street> PlaceStreets(const MapData& data, const Projection& projection,
                                 MapNotes& notes) {
  std::vector<Street> streets;
  for (const MapStreet& way : data.streets) {
    Street street{way.id, StreetClassOf(way.tags), 0, {}};
    if (!street.kind) continue;
    double metres = street.kind->width;
    if (const char* width = way.tags.Get("width"); width && !WidthMetres(width, metres)) {
      notes.lines.push_back("way " + std::to_string(way.id) + ": width \"" + width +
                            "\" is not a usable number; ignored");
      metres = street.kind->width;
    }
    street.width = metres * kUnitsPerMetre;
    for (const auto& run : way.runs) {
      street.points.clear();
      for (const LatLon& p : run) {
        const Vec2 v = Project(projection, p);
        if (street.points.empty() || !(street.points.back() == v)) street.points.push_back(v);
      }
      if (street.points.size() >= 2) streets.push_back(street);
    }
  }
  return streets;
}

std::vector<GroundArea> PlaceGroundAreas(const MapData& data, const Projection& projection) {
  std::vector<GroundArea> areas;
  for (const MapArea& area : data.areas) {
    GroundArea ground{AreaGroundOf(area.tags), {}, 0};
    for (const MapPolygon& polygon : area.polygons) {
      Ring outer = GroundRing(polygon.outer, projection, true);
      if (outer.empty()) continue;
      ground.rings.push_back(std::move(outer));
      for (const auto& inner : polygon.inners) {
        Ring hole = GroundRing(inner, projection, false);
        if (!hole.empty()) ground.rings.push_back(std::move(hole));
      }
    }
    for (const Ring& ring : ground.rings)
      for (const Vec2& p : ring) ground.reach = std::max(ground.reach, Length(p));
    if (!ground.rings.empty()) areas.push_back(std::move(ground));
  }
  return areas;
}

double Reach(const Street& street) {
  double reach = 0;
  for (const Vec2& p : street.points) reach = std::max(reach, Length(p));
  return reach;
}
