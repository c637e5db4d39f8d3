// What an import tells its user: by default one summary of the model and one of the scene on
// standard output, and each distinct problem once on standard error with how many meshes it
// touches ("texture 'x.rgb' missing: 18 meshes drawn in colour"); with --verbose also a line
// for each mesh.
#pragma once

#include <string>
#include <vector>

#include "bitmaps.h"
#include "place.h"
#include "polygons.h"

// The problems, each a line "citywalk-import: MODEL: what".
std::string ProblemLines(const std::string& modelPath, const Model& model, const ModelScale& scale);

// A line for each mesh that kept polygons: its vertices and polygons, its bitmap, its part.
std::string MeshLines(const Model& model, const std::vector<std::vector<Polygon>>& polygons,
                      const std::vector<std::string>& bitmapByMaterial);

// The model's summary: meshes, vertices and polygons placed, what was simplified, the bitmaps
// written and found, and the scale.
std::string ModelSummary(const std::string& modelPath, const Model& model,
                         const std::vector<std::vector<Polygon>>& polygons,
                         const std::string& simplified, const BitmapPlan& bitmaps,
                         const ModelScale& scale);
