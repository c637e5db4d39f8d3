// The command line of citywalk-import.
#pragma once

#include <string>
#include <vector>

enum class ImportAs { kStatic, kObject, kAvatar };

// --part NODE:AXIS:DEGREES:FRAMES[:ROWS]: the meshes under node NODE swing about AXIS.
struct PartOption {
  std::string node;
  char axis = 'x';
  double degrees = 0;
  double frames = 1;
  std::vector<int> rows;  // motion states in which it swings
};

struct ImportOptions {
  std::string dir, model;
  ImportAs as = ImportAs::kStatic;
  std::vector<PartOption> parts;
  double atX = 0, atZ = 0;
  double heading = 0;
  double turn = 0;  // turns the model itself, before placing it
  double scale = 1;
  double size = 0;  // > 0: the largest horizontal extent becomes this
  char up = 'y';
  bool posts = false;
  double speed = 1;
  double clearance = -1;  // < 0: half the model's smaller horizontal extent
  bool avoidPosts = false;
  long maxVertices = 0;  // > 0: at most this many vertices for the model
};

// Reads argv into options; false with the reason in error when an option is unknown, lacks
// its value or is out of range. help is set for --help.
bool ParseImportOptions(int argc, char** argv, ImportOptions& options, bool& help,
                        std::string& error);

// The usage text.
const char* ImportUsage();
