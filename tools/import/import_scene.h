// Adding a model to a scene: read the scene, place the model, fit it to its budget, write
// its bitmaps and the scene.
#pragma once

#include <string>

#include "options.h"

struct ImportReport {
  std::string text;  // a line per mesh and the scene's totals
};

// Does the whole import; false with "FILE: reason" in error when refused, and then the
// scene folder is as it was.
bool ImportIntoScene(const ImportOptions& options, ImportReport& report, std::string& error);
