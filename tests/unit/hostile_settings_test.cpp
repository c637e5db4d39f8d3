// Hostile settings in every control mode: each setting that feeds a loop, a division, a step
// or a distance is given 0, -1, NaN, +-infinity and +-1e308 in turn, and the whole program runs
// 200 frames of held, turning, jumping, braking and mouse-looking input in a small scene with
// posts to deflect from, two moving objects and an avatar. Every run must draw all its frames
// and end with 0, without a hang (the test's time limit) or a sanitizer report.
//
// A scene file cannot hold NaN: a NaN is put into the setting as loaded, before the first
// frame, as a sum of infinities would make it. The values the loader derives (steps, look
// distances, the boom) get every value that way.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "scene/scene.h"
#include "unit/program_run.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr int kFrames = 200;

struct Setting {
  const char* name;
  int motionIndex;  // index into the 26 motion settings, -1 for another setting
  double SceneSettingsSpec::*field;
  double* loaded;  // the value as the program holds it after loading
};

// Every double setting that the per-frame arithmetic uses, with where it lives once loaded.
std::vector<Setting> FileSettings() {
  std::vector<Setting> settings;
  for (std::size_t k = 0; k < kMotionSettings.size(); ++k)
    settings.push_back(
        {kMotionSettings[k].name, static_cast<int>(k), nullptr, kMotionSettings[k].value});
  settings.push_back(
      {"collisionRadius", -1, &SceneSettingsSpec::collisionRadius, &collisionRadius});
  settings.push_back({"farPlane", -1, &SceneSettingsSpec::farPlane, &farPlane});
  settings.push_back({"startTargetZ", -1, &SceneSettingsSpec::startTargetZ, &lookDistance});
  settings.push_back({"startHeadingDeg", -1, &SceneSettingsSpec::startHeadingDeg, &heading});
  settings.push_back({"modeEyeZ", -1, &SceneSettingsSpec::modeEyeZ, &lookRefDistanceSaved});
  settings.push_back({"bodyY", -1, &SceneSettingsSpec::bodyY, &eyeY});
  return settings;
}

// Values the loader derives, given hostile values before the first frame.
std::vector<Setting> DerivedValues() {
  return {{"walkStep", -1, nullptr, &walkStep},
          {"walkStepTen", -1, nullptr, &walkStepTen},
          {"driveStep", -1, nullptr, &driveStep},
          {"driveStepTriple", -1, nullptr, &driveStepTriple},
          {"collisionStep", -1, nullptr, &collisionStep},
          {"jumpStep", -1, nullptr, &jumpStep},
          {"acceleration", -1, nullptr, &acceleration},
          {"lookRefDistance", -1, nullptr, &lookRefDistance}};
}

struct IntSetting {
  const char* name;
  int SceneSettingsSpec::*field;
};

const IntSetting kIntSettings[] = {{"walkStepDivisor", &SceneSettingsSpec::walkStepDivisor},
                                   {"driveStepDivisor", &SceneSettingsSpec::driveStepDivisor},
                                   {"fieldOfView", &SceneSettingsSpec::fieldOfView},
                                   {"drawDistance", &SceneSettingsSpec::drawDistance},
                                   {"turnStyle", &SceneSettingsSpec::turnStyle}};

// A street 60 wide with posts along both sides and across the far end, a box, an avatar of
// two tagged parts, and two objects going round their waypoints, one of them across the
// viewer's way.
SceneSpec Street(int mode) {
  SceneSpec plan;
  SceneSettingsSpec& s = plan.settings;
  s.ControlMode = mode;
  s.fieldOfView = 60;
  s.farPlane = 2000;
  s.drawDistance = 1000;
  s.bodyY = -17;
  s.startTargetZ = -100;
  s.modeEyeY = 10;
  s.modeEyeZ = 30;
  AddPolygon(plan.staticList, {{-30, -20, 40}, {30, -20, 40}, {30, -20, -200}, {-30, -20, -200}},
             0.4, 0.4, 0.4);
  AddPolygon(plan.plainList, {{-5, -20, -60}, {5, -20, -60}, {5, 0, -60}, {-5, 0, -60}}, 0.8, 0.2,
             0.1);
  for (double z = 30; z >= -200; z -= 10) {
    plan.posts.push_back({-30, z});
    plan.posts.push_back({30, z});
  }
  for (double x = -30; x <= 30; x += 5) plan.posts.push_back({x, -200});
  plan.posts.push_back({0, -60});
  AddPolygon(plan.avatarList, {{-2, 0, -2}, {2, 0, -2}, {2, 0, 2}, {-2, 0, 2}}, 0, 0, 1, "", 0);
  AddPolygon(plan.avatarList, {{-1, 0, 0}, {1, 0, 0}, {0, 3, 0}}, 1, 1, 0, "", 1);
  plan.avatarParts.resize(2);
  for (auto& row : plan.avatarParts[1]) {
    row.swingX = 20;
    row.steps = 4;
  }
  for (int o = 0; o < 2; ++o) {
    SceneObjectSpec obj;
    obj.x = o == 0 ? -10 : 10;
    obj.z = -100;
    obj.flagA = 1;
    obj.maxSpeed = 1.5;
    obj.clearance = 3;
    obj.waypoints = o == 0 ? std::vector<std::pair<double, double>>{{-10, -150}, {-10, 0}}
                           : std::vector<std::pair<double, double>>{{20, -80}, {-20, -80}};
    AddPolygon(obj.vertices, {{-1, 0, 0}, {1, 0, 0}, {0, 2, 0}}, 0, 1, 0, "", 0);
    obj.parts.resize(1);
    plan.objects.push_back(obj);
  }
  return plan;
}

// The input of frame n: forward held for most of the run, turns both ways, jumps or the
// handbrake, crouching or the boost, a stretch of braking, the mouse going round, and a drag.
void Input(int n) {
  if (n == 1) headless::PressKey(VK_UP);
  if (n % 40 == 10) headless::PressKey(VK_LEFT);
  if (n % 40 == 25) headless::ReleaseKey(VK_LEFT);
  if (n % 60 == 30) headless::PressKey(VK_RIGHT);
  if (n % 60 == 45) headless::ReleaseKey(VK_RIGHT);
  if (n % 50 == 20) headless::PressKey(VK_SPACE);
  if (n % 50 == 26) headless::ReleaseKey(VK_SPACE);
  if (n % 70 == 35) headless::PressKey(VK_CONTROL);
  if (n % 70 == 50) headless::ReleaseKey(VK_CONTROL);
  if (n == 100) headless::ReleaseKey(VK_UP);
  if (n == 110) headless::PressKey(VK_DOWN);
  if (n == 140) headless::ReleaseKey(VK_DOWN);
  if (n == 150) headless::PressKey(VK_UP);
  if (n % 3 == 0) headless::MoveMouse(40 + (n * 7) % 100, 30 + (n * 13) % 80);
  if (n == 170) headless::PressLeftButton(50, 50);
  if (n == 180) headless::ReleaseLeftButton(90, 70);
}

headless::Options SmallScreen() {
  headless::Options options;
  options.screenWidth = 160;
  options.screenHeight = 120;
  return options;
}

// Runs plan for kFrames frames; before frame 1, if given, sets *loaded to injected.
void ExpectAllFrames(const SceneSpec& plan, double* loaded, double injected,
                     const std::string& what) {
  const ProgramRun run = RunScene(plan, kFrames, SmallScreen(), [&](int n) {
    if (n == 1 && loaded != nullptr) *loaded = injected;
    Input(n);
  });
  EXPECT_EQ(run.result, 0) << what;
  EXPECT_EQ(run.framesDrawn, kFrames) << what;
}

std::string Describe(int mode, const char* name, double value, const char* how) {
  return "mode " + std::to_string(mode) + ", " + name + " = " + std::to_string(value) + " " + how;
}

class HostileSettings : public testing::TestWithParam<int> {};

TEST_P(HostileSettings, EverySettingFedLoopsAndDivisionsRunsToTheEnd) {
  const int mode = GetParam();
  const double written[] = {0, -1, kInf, -kInf, 1e308, -1e308};
  for (const Setting& setting : FileSettings()) {
    for (double value : written) {
      SceneSpec plan = Street(mode);
      if (setting.motionIndex >= 0)
        plan.settings.motion[setting.motionIndex] = value;
      else
        plan.settings.*setting.field = value;
      ExpectAllFrames(plan, nullptr, 0, Describe(mode, setting.name, value, "in the file"));
    }
    ExpectAllFrames(Street(mode), setting.loaded, kNaN,
                    Describe(mode, setting.name, kNaN, "once loaded"));
  }
}

TEST_P(HostileSettings, EveryDerivedValueRunsToTheEnd) {
  const int mode = GetParam();
  const double injected[] = {0, -1, kNaN, kInf, -kInf, 1e308};
  for (const Setting& setting : DerivedValues())
    for (double value : injected)
      ExpectAllFrames(Street(mode), setting.loaded, value,
                      Describe(mode, setting.name, value, "once loaded"));
}

TEST_P(HostileSettings, EveryWholeNumberSettingRunsToTheEnd) {
  const int mode = GetParam();
  const int written[] = {0, -1, INT_MAX, INT_MIN};
  for (const IntSetting& setting : kIntSettings) {
    for (int value : written) {
      SceneSpec plan = Street(mode);
      plan.settings.*setting.field = value;
      plan.settings.distanceCulling = setting.field == &SceneSettingsSpec::drawDistance;
      ExpectAllFrames(plan, nullptr, 0, Describe(mode, setting.name, value, "in the file"));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, HostileSettings, testing::Values(1, 2, 3, 4),
                         [](const testing::TestParamInfo<int>& info) {
                           return "Mode" + std::to_string(info.param);
                         });

}  // namespace
