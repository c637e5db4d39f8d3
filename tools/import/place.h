// Placing a model: scale, heading and position, and the new scene around a first model.
#pragma once

#include <vector>

#include "model.h"
#include "polygons.h"
#include "scene_writer.h"

struct Bounds {
  Vec3 min = {0, 0, 0}, max = {0, 0, 0};
};

// The box around every mesh of model (only meshes of part, unless part is -11).
Bounds ModelBounds(const Model& model, int part = -11);

// The scale from the model's file units to scene units (10 a metre), and what decided it:
// --scale, else --unit, else the unit the file states, else 1 (unitUnknown). --size, when
// given, wins over all of them (PlaceModel).
struct ModelScale {
  double factor = 1;
  std::string reason;  // "--unit cm", "glTF is in metres", ...
  bool unitUnknown = false;
};
ModelScale ChooseScale(const ImportOptions& options, const Model& model);

// Scales model by scale (or to --size), moves its footprint's centre to x = z = 0 and its
// lowest point (largest y: y points down) to y = ground, then turns it by heading degrees
// (0: its front faces -z; 90: +x) and moves it by (dx, 0, dz). False when --size meets a
// model with no horizontal extent, or a position leaves the range of numbers.
bool PlaceModel(Model& model, const ImportOptions& options, ModelScale& scale, double ground,
                double heading, double dx, double dz, std::string& error);

// A new scene around a model standing in bounds with the given polygons: a ground square, a
// sky colour and a mode-1 start view: in front of the model (on its -z side, heading 180)
// from a distance that shows it whole, or on it when it is wider than kStartInsideExtent
// (start.h), the eye 17 units above its largest flat area.
SceneSpec NewScene(const Bounds& bounds, const std::vector<std::vector<Polygon>>& polygons);

// Posts around the footprint in bounds, spaced less than twice radius apart.
std::vector<std::pair<double, double>> FootprintPosts(const Bounds& bounds, double radius);
