// The table of citywalk-map's options, and the parser and the usage text made from it.
#include "options.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

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

constexpr MapOption kOptions[] = {
    {"--origin", "LAT,LON",
     "the point that becomes the scene's middle (default: the middle of the data)", SetOrigin},
    {"--radius", "METRES",
     "keep what lies within this distance of it (default: as far as the scene holds)", SetRadius},
    {"--mode", "walk|drive|follow|chase", "the control mode (default walk)", SetMode},
    {"--cars", "N", "cars on the streets (default: as many as the streets take)",
     [](const std::string& v, MapOptions& o, std::string& e) {
       return SetCount("--cars", v, o.cars, e);
     }},
    {"--people", "N", "people on the paths (default: the rest of the 50 moving objects)",
     [](const std::string& v, MapOptions& o, std::string& e) {
       return SetCount("--people", v, o.people, e);
     }},
    {"--replace", nullptr, "replace the scene already in DIR",
     [](const std::string&, MapOptions& o, std::string&) { return o.replace = true; }},
    {"--help", nullptr, "this text", nullptr},
};

}  // namespace

std::span<const MapOption> MapOptionTable() { return kOptions; }

std::string MapUsage() {
  std::string text =
      "usage: citywalk-map DIR MAP [options]\n"
      "Builds a scene to walk and drive through from OpenStreetMap data MAP (.osm, .osm.pbf,\n"
      ".osm.gz, .osm.bz2) into folder DIR (made when missing): buildings, streets, traffic.\n";
  for (const MapOption& option : kOptions) {
    std::string left = std::string("  ") + option.name;
    if (option.value) left += std::string(" ") + option.value;
    if (left.size() < 28)
      left.resize(28, ' ');
    else
      left += "\n" + std::string(28, ' ');
    text += left + option.help + "\n";
  }
  text += "Exit status: 0 done, 1 refused input, 2 missing file.\n";
  return text;
}

bool ParseMapOptions(int argc, char** argv, MapOptions& o, bool& help, std::string& error) {
  help = false;
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const MapOption* option = nullptr;
    for (const MapOption& candidate : kOptions)
      if (arg == candidate.name || (arg == "-h" && candidate.apply == nullptr)) option = &candidate;
    if (option == nullptr) {
      if (arg.size() > 1 && arg[0] == '-') {
        error = arg + ": unknown option (see --help)";
        return false;
      }
      positional.push_back(arg);
      continue;
    }
    if (option->apply == nullptr) {
      help = true;
      return true;
    }
    std::string value;
    if (option->value) {
      if (i + 1 >= argc) {
        error = arg + ": wants " + option->value;
        return false;
      }
      value = argv[++i];
    }
    if (!option->apply(value, o, error)) return false;
  }
  if (positional.size() != 2) {
    error = "usage: citywalk-map DIR MAP [options] (see --help)";
    return false;
  }
  o.dir = positional[0];
  o.map = positional[1];
  if (o.cars >= 0 && o.people >= 0 && o.cars + o.people > kObjectSlots) {
    error =
        "--cars and --people: at most " + std::to_string(kObjectSlots) + " moving objects together";
    return false;
  }
  return true;
}
