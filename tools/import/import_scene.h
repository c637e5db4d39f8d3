// Adding a model to a scene: read the scene, read the model (guarded_read.h), place it, fit
// it to its budget, plan its bitmaps, check the new scene and write everything.
#pragma once

#include <string>

#include "options.h"

struct ImportReport {
  std::string summary;   // standard output: the mesh lines (--verbose), the model's and the
                         // scene's summaries
  std::string problems;  // standard error: each distinct problem once
};

// Does the whole import into the folder options.dir, which exists; false with "FILE: reason"
// in error when refused, and then the folder is as it was (report.problems may then hold the
// reading's messages, with --verbose).
bool ImportIntoScene(const ImportOptions& options, ImportReport& report, std::string& error);
