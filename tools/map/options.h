// citywalk-map's command line: its options are one table (tools/common/command_options.h) that
// both the parser and the usage text read.
#pragma once

#include <string>

#include "command_options.h"

struct MapOptions {
  std::string dir, map;
  bool hasOrigin = false;
  double originLat = 0, originLon = 0;
  double radius = 0;           // metres; 0: the largest that fits the budgets
  int mode = 1;                // the control mode, kModeWalk .. kModeChase
  int cars = -1, people = -1;  // -1: as many as the streets allow
  bool replace = false;
};

// The command line's table, its rows and operands writing into options.
CommandLine MapCommandLine(MapOptions& options);

// Reads argv into options: -1 to go on, else the status to end with (0 after --help, 1 after
// one line on standard error saying what is wrong).
int ReadMapCommandLine(int argc, char** argv, MapOptions& options);

// The farthest the flat projection reaches (metres): within it, distances are good to 1 part
// in 1,000.
inline constexpr double kMaxRadius = 10000;
