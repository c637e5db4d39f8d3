// Reading the scene tables back into a SceneSpec, item by item.
#include "scene_from_tables.h"

#include <charconv>
#include <cmath>
#include <functional>

#include "scene/scene.h"

namespace {

// How many characters the shortest exact text of value takes.
int TextLength(double value) {
  char buffer[32];
  return static_cast<int>(std::to_chars(buffer, buffer + sizeof buffer, value).ptr - buffer);
}

// The file value that the reader turned into held by forward: the shortest among the doubles
// near guess that forward maps to held exactly (guess when none does).
double Recover(double held, double guess, const std::function<double(double)>& forward) {
  auto same = [&](double a, double b) {
    return a == b ? std::signbit(a) == std::signbit(b) || a != 0 : std::isnan(a) && std::isnan(b);
  };
  if (!std::isfinite(guess)) return guess;
  double best = guess;
  bool found = same(forward(guess), held);
  double below = guess, above = guess;
  for (int k = 0; k < 64; ++k) {
    for (double candidate :
         {below = std::nextafter(below, -INFINITY), above = std::nextafter(above, INFINITY)}) {
      if (!same(forward(candidate), held)) continue;
      if (!found || TextLength(candidate) < TextLength(best)) best = candidate;
      found = true;
    }
  }
  return best;
}

// Colour, position, closing flag and texture fields of one vertex.
SceneVertexSpec Vertex(double r, double g, double b, double x, double y, double z, int end,
                       double s, double t, int textured, const std::string& name, int part) {
  SceneVertexSpec v;
  v.red = r;
  v.green = g;
  v.blue = b;
  v.x = x;
  v.y = y;
  v.z = z;
  v.polyEnd = end;
  v.texS = s;
  v.texT = t;
  v.textured = textured;
  v.texName = name;
  v.part = part;
  return v;
}

// Each setting's table value beside the SceneSettingsSpec field that holds it as the file
// gives it (the motion settings: motion[k], k as in kMotionSettings).
const std::pair<int*, int SceneSettingsSpec::*> kIntFields[] = {
    {&displayModeIndex, &SceneSettingsSpec::displayModeIndex},
    {&light0Enabled, &SceneSettingsSpec::light0Enabled},
    {&light1Enabled, &SceneSettingsSpec::light1Enabled},
    {&smoothShading, &SceneSettingsSpec::smoothShading},
    {&fieldOfView, &SceneSettingsSpec::fieldOfView},
    {&windowMaximized, &SceneSettingsSpec::windowMaximized},
    {&changeDisplayMode, &SceneSettingsSpec::changeDisplayMode},
    {&drawDistance, &SceneSettingsSpec::drawDistance},
    {&distanceCulling, &SceneSettingsSpec::distanceCulling},
    {&linearMagFilter, &SceneSettingsSpec::linearMagFilter},
    {&ControlMode, &SceneSettingsSpec::ControlMode},
    {&walkStepDivisor, &SceneSettingsSpec::walkStepDivisor},
    {&driveStepDivisor, &SceneSettingsSpec::driveStepDivisor},
    {&turnStyle, &SceneSettingsSpec::turnStyle}};
const std::pair<double*, double SceneSettingsSpec::*> kDoubleFields[] = {
    {&farPlane, &SceneSettingsSpec::farPlane},
    {&light0Level, &SceneSettingsSpec::light0Level},
    {&light1Level, &SceneSettingsSpec::light1Level},
    {&bodyX, &SceneSettingsSpec::bodyX},
    {&bodyY, &SceneSettingsSpec::bodyY},
    {&bodyZ, &SceneSettingsSpec::bodyZ},
    {&startTargetX, &SceneSettingsSpec::startTargetX},
    {&startTargetY, &SceneSettingsSpec::startTargetY},
    {&startTargetZ, &SceneSettingsSpec::startTargetZ},
    {&startHeadingDeg, &SceneSettingsSpec::startHeadingDeg},
    {&collisionRadius, &SceneSettingsSpec::collisionRadius},
    {&modeEyeX, &SceneSettingsSpec::modeEyeX},
    {&modeEyeY, &SceneSettingsSpec::modeEyeY},
    {&modeEyeZ, &SceneSettingsSpec::modeEyeZ},
    {&modeRefX, &SceneSettingsSpec::modeRefX},
    {&modeRefY, &SceneSettingsSpec::modeRefY},
    {&modeRefZ, &SceneSettingsSpec::modeRefZ},
    {&clearRed, &SceneSettingsSpec::clearRed},
    {&clearGreen, &SceneSettingsSpec::clearGreen},
    {&clearBlue, &SceneSettingsSpec::clearBlue}};

void ReadSettings(SceneSettingsSpec& s) {
  for (const auto& [value, field] : kIntFields) s.*field = *value;
  for (const auto& [value, field] : kDoubleFields) s.*field = *value;
  for (std::size_t i = 0; i < kMotionSettings.size(); ++i) s.motion[i] = *kMotionSettings[i].value;
  // The four the reader converted once read (see DeriveMotionValues).
  const double toRad = degToRad;
  auto fromDegrees = [toRad](double held) {
    return Recover(held, held / toRad, [toRad](double d) { return d * toRad; });
  };
  s.motion[8] = fromDegrees(walkDeflectLimit);
  s.motion[23] = fromDegrees(driveDeflectLimit);
  s.motion[21] = Recover(slideTurnPercent, 100 / slideTurnPercent,
                         [](double percent) { return 100 / percent; });
  if (ControlMode == kModeDrive)
    s.motion[25] = Recover(trembleAmplitude, trembleAmplitude * 2.4,
                           [](double amplitude) { return amplitude / 2.4; });
}

void ReadAvatar(SceneSpec& plan) {
  if (avatarVertexCount <= 0) return;
  plan.avatarHeadingOffset = avatarHeadingOffset;
  for (int v = 1; v <= avatarVertexCount; ++v) {
    plan.avatarList.push_back(Vertex(avatarRed[v], avatarGreen[v], avatarBlue[v], avatarX[v],
                                     avatarY[v], avatarZ[v], avatarPolyEnd[v], avatarTexS[v],
                                     avatarTexT[v], avatarTextured[v - 1], avatarTexName[v - 1],
                                     avatarPartOf[v]));
  }
  for (int p = 0; p <= avatarPartLastIndex; ++p) {
    ScenePartSpec part;
    for (int m = 0; m < kMotionStates; ++m) {
      ScenePartRowSpec& r = part[m];
      r.offsetX = avatarPartOffsetX[p][m];
      r.offsetY = avatarPartOffsetY[p][m];
      r.offsetZ = avatarPartOffsetZ[p][m];
      r.swingZ = avatarPartSwingZ[p][m];
      r.swingY = avatarPartSwingY[p][m];
      r.swingX = avatarPartSwingX[p][m];
      r.tiltZ = avatarPartTiltZ[p][m];
      r.tiltY = avatarPartTiltY[p][m];
      r.tiltX = avatarPartTiltX[p][m];
      r.steps = avatarPartSteps[p][m];
    }
    plan.avatarParts.push_back(part);
  }
}

SceneObjectSpec ReadObject(int o) {
  SceneObjectSpec e;
  e.flagA = objectFlagA[o];
  e.flagB = objectFlagB[o];
  e.nearTest = objectNearTest[o];
  e.nearDistance = objectNearDistance[o];
  e.cullTest = objectCullTest[o];
  e.cullDistance = objectCullDistance[o];
  for (int k = 1; k <= objectWaypointCount[o]; ++k)
    e.waypoints.emplace_back(waypointX[k][o], waypointZ[k][o]);
  e.x = objectX[o];
  e.y = objectY[o];
  e.z = objectZ[o];
  e.targetX = objectTargetX[o];
  e.targetY = objectTargetY[o];
  e.targetZ = objectTargetZ[o];
  e.headingDeg = objectHeadingDeg[o];
  e.headingOffset = objectHeadingOffset[o];
  for (int v = 1; v <= objectVertexCount[o]; ++v)
    e.vertices.push_back(Vertex(objVtxRed[v][o], objVtxGreen[v][o], objVtxBlue[v][o], objVtxX[v][o],
                                objVtxY[v][o], objVtxZ[v][o], objVtxPolyEnd[v][o], objVtxTexS[v][o],
                                objVtxTexT[v][o], objVtxTextured[v - 1][o], objVtxTexName[v - 1][o],
                                objVtxPart[v][o]));
  e.maxSpeed = objectMaxSpeed[o];
  e.clearance = objectClearance[o];
  for (int p = 0; p <= objectPartLastIndex[o]; ++p) {
    ScenePartSpec part;
    for (int m = 0; m < kMotionStates; ++m) {
      ScenePartRowSpec& r = part[m];
      r.offsetX = objPartOffsetX[p][m][o];
      r.offsetY = objPartOffsetY[p][m][o];
      r.offsetZ = objPartOffsetZ[p][m][o];
      r.swingZ = objPartSwingZ[p][m][o];
      r.swingY = objPartSwingY[p][m][o];
      r.swingX = objPartSwingX[p][m][o];
      r.steps = objPartSteps[p][m][o];
    }
    e.parts.push_back(part);
  }
  return e;
}

}  // namespace

SettingFieldPointers SettingField(SceneSettingsSpec& settings, const SceneSetting& setting) {
  for (const auto& [value, field] : kIntFields)
    if (value == setting.intValue) return {&(settings.*field), nullptr};
  for (const auto& [value, field] : kDoubleFields)
    if (value == setting.doubleValue) return {nullptr, &(settings.*field)};
  for (std::size_t k = 0; k < kMotionSettings.size(); ++k)
    if (kMotionSettings[k].value == setting.doubleValue) return {nullptr, &settings.motion[k]};
  return {};
}

SceneSpec SceneSpecFromTables() {
  SceneSpec plan;
  ReadSettings(plan.settings);
  for (int v = 1; v <= staticVertexCount; ++v)
    plan.staticList.push_back(Vertex(staticRed[v], staticGreen[v], staticBlue[v], staticX[v],
                                     staticY[v], staticZ[v], staticPolyEnd[v], staticTexS[v],
                                     staticTexT[v], staticTextured[v - 1], staticTexName[v - 1],
                                     -10));
  for (int v = 1; v <= plainVertexCount; ++v)
    plan.plainList.push_back(Vertex(plainRed[v], plainGreen[v], plainBlue[v], plainX[v], plainY[v],
                                    plainZ[v], plainPolyEnd[v], 0, 0, 0, "", -10));
  ReadAvatar(plan);
  for (int o = 0; o <= objectLastIndex; ++o) plan.objects.push_back(ReadObject(o));
  plan.objectVertexMax = objectVertexMax;
  for (int k = 1; k <= obstacleCount; ++k) plan.posts.emplace_back(obstacleX[k], obstacleZ[k]);
  return plan;
}
