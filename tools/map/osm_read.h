// Reading OpenStreetMap data (XML, PBF, gzip or bzip2 XML) with libosmium: the buildings and
// areas assembled into polygons by libosmium's area assembler, the streets as lines of
// points, each object once (its latest version), in the order of their ids so that the same
// data in any format gives the same result.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// A point of the map in degrees.
struct LatLon {
  double lat = 0, lon = 0;
};

// An object's tags that the map tool reads (key, value), sorted by key.
struct MapTags {
  std::vector<std::pair<std::string, std::string>> items;
  // The value of key, or nullptr.
  const char* Get(const char* key) const;
};

// One polygon of an area: an outer ring and its holes, each closed (the last point repeats
// the first).
struct MapPolygon {
  std::vector<LatLon> outer;
  std::vector<std::vector<LatLon>> inners;
};

// An area assembled from a closed way or a multipolygon relation.
struct MapArea {
  std::int64_t id = 0;  // the way's or relation's id
  bool relation = false;
  MapTags tags;
  std::vector<MapPolygon> polygons;
};

// A street: a highway way's points, in runs where nodes were missing from the data.
struct MapStreet {
  std::int64_t id = 0;
  MapTags tags;
  std::vector<std::vector<LatLon>> runs;
};

// Buildings the data holds that cannot be built, by reason.
struct BuildingsLeftOut {
  int notClosed = 0;     // a way whose ends differ
  int missingNodes = 0;  // nodes or member ways missing (an extract cut through it)
  int noArea = 0;        // its nodes enclose nothing
  int rejected = 0;      // the area assembler refused it (crossing or open rings)
};

struct MapData {
  bool hasBounds = false;  // the bounds the file declares, else those of its nodes
  LatLon boundsMin, boundsMax;
  std::size_t nodes = 0, ways = 0, relations = 0;  // objects read
  std::vector<MapArea> buildings;  // building and building:part, by id (ways before relations)
  std::vector<MapArea> areas;      // parks, water, parking and squares
  std::vector<MapStreet> streets;  // highway ways, by id
  BuildingsLeftOut leftOut;
  int areasLeftOut = 0;  // areas that could not be assembled
};

// Reads the OpenStreetMap data held in bytes (its format found from its first bytes); false
// with the reason in error when they are not OpenStreetMap data or are damaged.
bool ReadMapBytes(const char* bytes, std::size_t size, MapData& data, std::string& error);
