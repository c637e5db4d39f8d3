// Writing scene files from values held in memory: the tests write scenes and read them back,
// the demo-scene generator builds whole cities with it.
#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "scene/scene.h"

// One vertex of a polygon list. The colour is written only for a vertex that begins a
// polygon (the previous vertex closes one); texture fields and part are written only for
// the lists that have them.
struct SceneVertexSpec {
  double red = 0, green = 0, blue = 0;
  double x = 0, y = 0, z = 0;
  int polyEnd = 0;  // 1 = last vertex of its polygon
  double texS = 0, texT = 0;
  int textured = 0;
  std::string texName;
  int part = kNoPart;  // avatar and object lists: the part carrying the vertex
};

// One motion-state row of a part (objects have no tilt; theirs is not written).
struct ScenePartRowSpec {
  double offsetX = 0, offsetY = 0, offsetZ = 0;
  double swingZ = 0, swingY = 0, swingX = 0;
  double tiltZ = 0, tiltY = 0, tiltX = 0;
  double steps = 1;
};
using ScenePartSpec = std::array<ScenePartRowSpec, 7>;

struct SceneObjectSpec {
  int flagA = 0, flagB = 0;
  int nearTest = 0;
  double nearDistance = 0;
  int cullTest = 0;
  double cullDistance = 0;
  std::vector<std::pair<double, double>> waypoints;  // (x, z)
  double x = 0, y = 0, z = 0;
  double targetX = 0, targetY = 0, targetZ = 0;
  double headingDeg = 0, headingOffset = 0;
  std::vector<SceneVertexSpec> vertices;
  double maxSpeed = 0, clearance = 0;
  std::vector<ScenePartSpec> parts;
};

// Every setting, with the program's defaults (scene/scene.h).
struct SceneSettingsSpec {
  int displayModeIndex = defaults::displayModeIndex, light0Enabled = 0, light1Enabled = 0;
  int smoothShading = 0, fieldOfView = 0, windowMaximized = 0, changeDisplayMode = 0;
  double farPlane = 0;
  int drawDistance = defaults::drawDistance, distanceCulling = 0;
  int linearMagFilter = defaults::linearMagFilter;
  double light0Level = 0, light1Level = 0;
  double bodyX = 0, bodyY = 0, bodyZ = 0;
  double startTargetX = 0, startTargetY = 0, startTargetZ = 0;
  double startHeadingDeg = 0, collisionRadius = defaults::collisionRadius;
  int ControlMode = defaults::controlMode, walkStepDivisor = defaults::walkStepDivisor;
  int driveStepDivisor = defaults::driveStepDivisor;
  double modeEyeX = 0, modeEyeY = 0, modeEyeZ = 0;
  double modeRefX = 0, modeRefY = 0, modeRefZ = 0;
  int turnStyle = defaults::turnStyle;
  // The 26 motion settings in file order: walkMaxSpeed .. trembleAmplitude.
  std::array<double, 26> motion = defaults::motion;
  double clearRed = 0, clearGreen = 0, clearBlue = 0;
};

struct SceneSpec {
  SceneSettingsSpec settings;
  std::vector<SceneVertexSpec> staticList, plainList, avatarList;
  double avatarHeadingOffset = 0;
  std::vector<ScenePartSpec> avatarParts;
  std::vector<SceneObjectSpec> objects;
  int objectVertexMax = 0;                       // 0: the largest object vertex count, at least 1
  std::vector<std::pair<double, double>> posts;  // obstacle points (x, z)
};

// Appends one polygon with the given corners, colour and texture ("" = untextured); the
// texture coordinates go round the unit square.
void AddPolygon(std::vector<SceneVertexSpec>& list,
                const std::vector<std::array<double, 3>>& corners, double red, double green,
                double blue, const std::string& texture = "", int part = kNoPart);

// The scene file text for plan.
std::string WriteSceneText(const SceneSpec& plan);
// Writes the scene file text for plan to path; false when it cannot be written.
bool WriteSceneFile(const std::string& path, const SceneSpec& plan);
