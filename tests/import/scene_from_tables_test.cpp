// A scene read by the program's reader and turned back into a SceneSpec writes the same text:
// what citywalk-import keeps of a scene it adds a model to.
#include "scene_from_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "scene/reader.h"

namespace {

std::string ReadBack(const std::string& text) {
  SceneDiagnostics diag;
  ReadSceneText(text.data(), text.size(), "test", &diag);
  EXPECT_FALSE(diag.streamFailed);
  return WriteSceneText(SceneSpecFromTables());
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::stringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The demo scenes are written by the same writer: their text comes back line for line.
TEST(SceneFromTables, DemoScenesComeBackLineForLine) {
  for (const char* mode : {"walk", "drive", "follow", "chase"}) {
    std::ifstream in(std::string(CITYWALK_SOURCE_DIR) + "/scenes/" + mode + "/" + kSceneFileName,
                     std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    ASSERT_FALSE(text.str().empty()) << mode;
    const std::vector<std::string> want = Lines(text.str()), got = Lines(ReadBack(text.str()));
    ASSERT_EQ(got.size(), want.size()) << mode;
    for (std::size_t i = 0; i < want.size(); ++i)
      ASSERT_EQ(got[i], want[i]) << mode << " line " << i + 1;
  }
}

// The values the reader converts come back as written: deflection
// limits (degrees to radians), the slide percentage (100 / it), the tremble of mode 2
// (/ 2.4), and step counts, including 0 and infinite steps and those of rows that do not swing.
TEST(SceneFromTables, ConvertedValuesComeBackAsWritten) {
  SceneSpec plan;
  plan.settings.ControlMode = 2;
  plan.settings.motion[8] = 1.3;
  plan.settings.motion[21] = 33;
  plan.settings.motion[23] = 47.1;
  plan.settings.motion[25] = 0.19;
  AddPolygon(plan.avatarList, {{0, 0, 0}, {1, 0, 0}, {1, -1, 0}}, 1, 0, 0, "", -10);
  ScenePartSpec part;
  part[0].swingX = 7;
  part[0].steps = 3;
  part[1].swingY = -40;
  part[1].steps = 0;
  part[2].swingZ = 0.3;
  part[2].steps = INFINITY;
  part[3].swingZ = 12.5;
  part[3].steps = 0.7;
  part[4].steps = 3;  // swings about no axis: its rates are 0 whatever the count
  plan.avatarParts = {part};
  SceneObjectSpec object;
  AddPolygon(object.vertices, {{0, 0, 0}, {1, 0, 0}, {1, -1, 0}}, 0, 1, 0, "", -10);
  object.parts = {part};
  plan.objects = {object};
  const std::string text = WriteSceneText(plan);
  EXPECT_EQ(ReadBack(text), text);
}

// Every setting the scene's table names has its field in a SceneSpec, and a value put there
// is written where the reader reads that name: each setting given a value of its own comes back
// under its own name (a swapped or missing pair would show as another's value or none).
TEST(SceneFromTables, EverySettingComesBackUnderItsName) {
  SceneSpec plan;
  const std::vector<SceneSetting>& settings = SceneSettings();
  for (std::size_t k = 0; k < settings.size(); ++k) {
    const SettingFieldPointers field = SettingField(plan.settings, settings[k]);
    ASSERT_TRUE((field.intField != nullptr) != (field.doubleField != nullptr)) << settings[k].name;
    if (field.intField) *field.intField = 100 + static_cast<int>(k);
    if (field.doubleField) *field.doubleField = 3 + 0.25 * static_cast<double>(k);
  }
  const std::string text = WriteSceneText(plan);
  SceneDiagnostics diag;
  ReadSceneText(text.data(), text.size(), "test", &diag);
  ASSERT_FALSE(diag.streamFailed);
  SceneSpec back = SceneSpecFromTables();
  for (std::size_t k = 0; k < settings.size(); ++k) {
    const SettingFieldPointers field = SettingField(back.settings, settings[k]);
    if (field.intField) {
      EXPECT_EQ(*field.intField, 100 + static_cast<int>(k)) << settings[k].name;
    } else {
      EXPECT_EQ(*field.doubleField, 3 + 0.25 * static_cast<double>(k)) << settings[k].name;
    }
  }
}

}  // namespace
