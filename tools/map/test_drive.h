// Test drives: each moving object of a scene driven by the program's own motion code, on its
// own, to see whether it ever stands still.
#pragma once

#include <vector>

#include "scene_writer.h"

// Moving objects stand still no longer than this many frames on end unless they stall: an
// object that does is caught between its points, shaking, for good.
inline constexpr int kStallFrames = 100;

// For each object of scene marked in test, whether it stalls within frames of its own motion
// (frozen far from the viewer, an object does not move; its motion resumes as it was, so its
// own frames are what count). The scene's other lists are not used. The program's tables are
// left holding the objects.
std::vector<bool> Stalls(const SceneSpec& scene, const std::vector<bool>& test, int frames);
