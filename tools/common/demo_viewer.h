// How the demo scenes set up the viewer: the settings every demo shares (view, walking
// speeds, sky), and for each control mode where the viewer stands, its eye height, the chase
// camera's boom and the user's own model. citywalk-scenegen's demos and the towns of
// citywalk-map are set up by the same rules.
#pragma once

#include "scene_writer.h"

// The settings every demo shares: field of view, walking speeds and turn step, the moving
// objects' acceleration and the sky colour.
void DemoSettings(SceneSettingsSpec& s);

// The walker's eye height (the scene's y axis points down: the eye is at -17).
inline constexpr double kDemoEyeHeight = 17;

// The viewer stands (or sits) at (x, z) at eye height eye with the given heading (degrees, as
// the scene file gives it: 0 faces north, -z, and 90 faces west, -x), looking 100 units ahead.
void StartAt(SceneSettingsSpec& s, double x, double z, double eye, double headingDeg);

// The viewer of control mode mode (kModeWalk .. kModeChase) standing or sitting at (x, z)
// with the given heading, with the mode's eye height, boom and own model.
void PlaceViewer(SceneSpec& scene, int mode, double x, double z, double headingDeg);
