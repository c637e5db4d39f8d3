// The whole town: the map's buildings, streets, areas and traffic within the radius kept,
// as a scene, with a short report of what was placed, what was left out and why.
#pragma once

#include <string>

#include "buildings.h"
#include "options.h"
#include "osm_read.h"
#include "scene_writer.h"

// Builds the town's scene from the data as the options ask; false with the reason in error
// when it cannot (no data near the origin, nothing left to place). report gets the lines for
// standard output, notes the tags that were ignored.
bool BuildTown(const MapData& data, const MapOptions& options, SceneSpec& scene,
               std::string& report, MapNotes& notes, std::string& error);
