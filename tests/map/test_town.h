// The test maps (tests/map/*.osm, made by hand) built into towns as citywalk-map builds them.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "osm_read.h"
#include "town.h"

// The map's bytes.
inline std::string MapBytes(const std::string& name) {
  std::ifstream in(std::string(CITYWALK_MAP_DATA) + "/" + name + ".osm", std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A test map read and built; the scene, report and notes in the fields.
struct TestTown {
  MapData data;
  SceneSpec scene;
  std::string report;
  MapNotes notes;
  bool built = false;

  // Builds map name (origin at 52 N 5 E, where the maps' metres are counted from, unless the
  // options give another).
  explicit TestTown(const std::string& name, MapOptions options = {}) {
    if (!options.hasOrigin) {
      options.hasOrigin = true;
      options.originLat = 52;
      options.originLon = 5;
    }
    const std::string bytes = MapBytes(name);
    std::string error;
    EXPECT_TRUE(ReadMapBytes(bytes.data(), bytes.size(), data, error)) << error;
    built = BuildTown(data, options, scene, report, notes, error);
    EXPECT_TRUE(built) << error;
  }
};
