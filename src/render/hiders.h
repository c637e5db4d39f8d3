// The static list's polygons laid on the window's tiles as hiders, and the test that tells
// which polygons of a recorded list's run lie hidden behind them (render/occlusion.h).
#pragma once

#include <vector>

#include "render/cull.h"
#include "render/occlusion.h"
#include "render/record.h"

// Lays the static list's polygons in view on the tiles (runs and calls: the static list's as
// recorded), unless that was done for this view (the same matrices, and OpenGL's window and
// depth test as they were). The runs are taken nearest first (by the depth of their box's
// centre), so that a run or a cluster behind those laid is found hidden as a whole and its
// polygons are neither placed nor laid.
void LayHiders(const ViewVolume& view, const std::vector<Run>& runs, const ListCalls& calls);
// Marks in hidden (by polygon of the run, resized to the run) which polygons of a run in view
// lie hidden behind the hiders laid last, and returns how many. scenery: the run is the static
// list's, sorted out when its hiders were laid; else it is the plain list's, sorted out now (a
// run or a cluster as a whole, or one by one).
int MarkHidden(const Run& run, const ListCalls& kept, bool scenery, std::vector<char>& hidden);
// The static list's polygons as they were last laid on the window, to hide what lies behind
// them (not usable: nothing is hidden).
OcclusionTiles& SceneryHiders();
// Nothing laid.
void ForgetHiders();
