// The rows of citywalk-map's options and what each checks.
#include "options.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "scene/scene.h"

namespace {

// A finite number filling the whole of text.
bool Number(const std::string& text, double& value) {
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value);
  return result.ec == std::errc() && result.ptr == end && std::isfinite(value);
}

bool SetOrigin(const std::string& value, MapOptions& o, std::string& error) {
  const std::size_t comma = value.find(',');
  if (comma == std::string::npos || !Number(value.substr(0, comma), o.originLat) ||
      !Number(value.substr(comma + 1), o.originLon)) {
    error = "--origin: wants LAT,LON in degrees (got '" + value + "')";
    return false;
  }
  if (std::fabs(o.originLat) > 90 || std::fabs(o.originLon) > 180) {
    error = "--origin: " + value + " is off the globe (latitude -90..90, longitude -180..180)";
    return false;
  }
  o.hasOrigin = true;
  return true;
}

bool SetRadius(const std::string& value, MapOptions& o, std::string& error) {
  if (!Number(value, o.radius) || o.radius <= 0 || o.radius > kMaxRadius) {
    char most[32];
    std::snprintf(most, sizeof most, "%.0f", kMaxRadius);
    error = "--radius: must be a number of metres above 0 and at most " + std::string(most) +
            " (got '" + value + "')";
    return false;
  }
  return true;
}

bool SetMode(const std::string& value, MapOptions& o, std::string& error) {
  const char* names[] = {"walk", "drive", "follow", "chase"};
  for (int m = 0; m < 4; ++m)
    if (value == names[m]) {
      o.mode = kModeWalk + m;
      return true;
    }
  error = "--mode: must be walk, drive, follow or chase (got '" + value + "')";
  return false;
}

// A whole number of moving objects, 0 .. kObjectSlots.
bool SetCount(const char* name, const std::string& value, int& count, std::string& error) {
  double n = 0;
  if (!Number(value, n) || n < 0 || n > kObjectSlots || n != std::floor(n)) {
    error = std::string(name) + ": must be a whole number from 0 to " +
            std::to_string(kObjectSlots) + " (got '" + value + "')";
    return false;
  }
  count = static_cast<int>(n);
  return true;
}

}  // namespace

CommandLine MapCommandLine(MapOptions& o) {
  const auto take = [&o](bool (*set)(const std::string&, MapOptions&, std::string&)) {
    return [&o, set](const std::string& value, std::string& error) { return set(value, o, error); };
  };
  CommandLine line{
      "citywalk-map",
      "DIR MAP",
      {{"--origin", "LAT,LON",
        "the point that becomes the scene's middle\n(default: the middle of the data)",
        take(SetOrigin)},
       {"--radius", "METRES",
        "keep what lies within this distance of it\n(default: as far as the scene holds)",
        take(SetRadius)},
       {"--mode", "walk|drive|follow|chase", "the control mode (default walk)", take(SetMode)},
       {"--cars", "N", "cars on the streets\n(default: as many as the streets take)",
        [&o](const std::string& v, std::string& e) { return SetCount("--cars", v, o.cars, e); }},
       {"--people", "N", "people on the paths\n(default: the rest of the 50 moving objects)",
        [&o](const std::string& v, std::string& e) {
          return SetCount("--people", v, o.people, e);
        }},
       {"--replace", "", "replace the scene already in DIR", TakeFlag(o.replace)}},
      [&o](const std::string& word, std::string& error) {
        if (o.dir.empty()) {
          o.dir = word;
        } else if (o.map.empty()) {
          o.map = word;
        } else {
          error = "one folder and one map only";
        }
        return error.empty();
      }};
  line.about =
      "Builds a scene to walk and drive through from OpenStreetMap data MAP (.osm, .osm.pbf,\n"
      ".osm.gz, .osm.bz2) into folder DIR (made when missing): buildings, streets, traffic.\n";
  line.statuses = "Exit status: 0 done, 1 refused input, 2 missing file.\n";
  line.brief = true;
  return line;
}

int ReadMapCommandLine(int argc, char** argv, MapOptions& options) {
  const CommandLine line = MapCommandLine(options);
  if (const int status = ReadCommandLine(line, argc, argv, 1); status >= 0) return status;
  std::string error;
  if (options.map.empty()) {
    error = "wants a folder and a map";
  } else if (options.cars >= 0 && options.people >= 0 &&
             options.cars + options.people > kObjectSlots) {
    error =
        "--cars and --people: at most " + std::to_string(kObjectSlots) + " moving objects together";
  }
  if (error.empty()) return -1;
  std::fprintf(stderr, "citywalk-map: %s (citywalk-map --help for the usage)\n", error.c_str());
  return 1;
}
