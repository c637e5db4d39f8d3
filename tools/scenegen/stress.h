// Random scenes built to find where the ways of drawing a frame part: display lists against
// vertex by vertex, and leaving out what cannot be seen against sending everything.
#pragma once

#include <cstdint>
#include <string>

#include "output_files.h"
#include "scene_writer.h"

// The scene of one seed (the same seed, the same scene, with any standard library): towers
// overlapping and sharing faces, walls a hair apart or grazing the line of sight, polygons
// that are not flat or have no area, large polygons of more than 8 vertices, polygons across
// the near plane, tiny and huge ones, a missing texture and an unknown textured flag; the
// field of view from 1 to 179 degrees, the far plane up to 10^6, any control mode, lights and
// shading; moving objects and an avatar with swinging parts, some long enough to be recorded.
// Uses the demo textures (DemoTextureFiles) and its own (StressTextureFile).
SceneSpec StressScene(std::uint64_t seed);
// The stress scenes' own texture (texels.bmp) as a file of folder dir, to be written with
// the scene.
OutputFile StressTextureFile(const std::string& dir);
