// citywalk-map's command line: one table of options that both the parser and the usage text
// read.
#pragma once

#include <span>
#include <string>

struct MapOptions {
  std::string dir, map;
  bool hasOrigin = false;
  double originLat = 0, originLon = 0;
  double radius = 0;           // metres; 0: the largest that fits the budgets
  int mode = 1;                // the control mode, kModeWalk .. kModeChase
  int cars = -1, people = -1;  // -1: as many as the streets allow
  bool replace = false;
};

// One option: its name, the value it takes (nullptr for a flag), its line of the usage text,
// and what it does to the options (false with the reason in error for a value out of range).
struct MapOption {
  const char* name;
  const char* value;
  const char* help;
  bool (*apply)(const std::string& value, MapOptions& options, std::string& error);
};

// The options, in the order the usage text lists them.
std::span<const MapOption> MapOptionTable();

// Reads argv into options; false with the reason in error when an option is unknown, lacks
// its value or is out of range. help is set for --help.
bool ParseMapOptions(int argc, char** argv, MapOptions& options, bool& help, std::string& error);

// The usage text, made from the table.
std::string MapUsage();

// The farthest the flat projection reaches (metres): within it, distances are good to 1 part
// in 1,000.
inline constexpr double kMaxRadius = 10000;
