// One bitmap per distinct picture: polygons that show the same picture share one BMP, across
// meshes, materials and texture files, and across imports into one scene, since a bitmap is
// found by its content. A new bitmap is named after its source and its content
// ("asphalt-3f2a9c1b.bmp"): short, and the same whenever the same picture is imported.
#pragma once

#include <string>
#include <vector>

#include "model.h"
#include "output_files.h"

struct BitmapPlan {
  std::vector<std::string> names;  // by picture of the model, "" for those not used
  std::vector<OutputFile> files;   // the bitmaps to write
  int found = 0;                   // pictures the folder holds already
};

// The bitmaps of the model's pictures that used says the polygons show, for the scene folder
// dir.
BitmapPlan PlanBitmaps(const Model& model, const std::vector<bool>& used, const std::string& dir);
