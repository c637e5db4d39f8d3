// The command line of citywalk-import.
#pragma once

#include <string>
#include <vector>

#include "command_options.h"

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
  std::vector<std::string> partTexts;  // --part as given, read once --as is known
  std::vector<PartOption> parts;
  double atX = 0, atZ = 0;
  double heading = 0;
  double turn = 0;           // turns the model itself, before placing it
  double scale = 0;          // > 0: --scale, the factor from file units to scene units
  double size = 0;           // > 0: the largest horizontal extent becomes this
  double metresPerUnit = 0;  // > 0: --unit, the length of one file unit
  std::string unitName;      // --unit as given
  char up = 'y';
  bool posts = false;
  double speed = 1;
  double clearance = -1;  // < 0: half the model's smaller horizontal extent
  bool avoidPosts = false;
  long maxVertices = 0;           // > 0: at most this many vertices for the model
  bool verbose = false;           // a line for each mesh
  double memoryLimitMiB = 0;      // the reading's memory limit (0: the default)
  double timeLimitSeconds = 300;  // the reading's time limit
};

// The tool's command line: its options read into options, the words that are not options
// added to operands; the usage made from the same rows.
CommandLine ImportCommandLine(ImportOptions& options, std::vector<std::string>& operands);
// Takes DIR and MODEL from the operands and checks the options that go together; false with
// the reason in error.
bool CheckImportOptions(ImportOptions& options, const std::vector<std::string>& operands,
                        std::string& error);
