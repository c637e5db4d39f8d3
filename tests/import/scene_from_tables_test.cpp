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

// The demo scenes are written by the same writer: their text comes back line for line. The
// one exception: a part row that swings about no axis keeps no step count in the tables
// (its rates are 0 whatever it was), and comes back with steps 1.
TEST(SceneFromTables, DemoScenesComeBackLineForLine) {
  for (const char* mode : {"walk", "drive", "follow", "chase"}) {
    std::ifstream in(std::string(CITYWALK_SOURCE_DIR) + "/scenes/" + mode + "/" + kSceneFileName,
                     std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    ASSERT_FALSE(text.str().empty()) << mode;
    const std::vector<std::string> want = Lines(text.str()), got = Lines(ReadBack(text.str()));
    ASSERT_EQ(got.size(), want.size()) << mode;
    for (std::size_t i = 0; i < want.size(); ++i) {
      if (got[i] == want[i]) continue;
      std::stringstream a(want[i]), b(got[i]);
      std::vector<double> x, y;
      for (double d; a >> d;) x.push_back(d);
      for (double d; b >> d;) y.push_back(d);
      ASSERT_EQ(x.size(), 10u) << mode << " line " << i + 1 << ": " << want[i];
      EXPECT_TRUE(x[3] == 0 && x[4] == 0 && x[5] == 0 && y.size() == 10 && y[9] == 1 &&
                  std::equal(x.begin(), x.begin() + 9, y.begin()))
          << mode << " line " << i + 1 << ": " << want[i] << " came back as " << got[i];
    }
  }
}

// The values the reader converts or keeps only as rates come back as written: deflection
// limits (degrees to radians), the slide percentage (100 / it), the tremble of mode 2
// (/ 2.4) and step counts (swing / steps), including 0 and infinite steps.
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
  plan.avatarParts = {part};
  SceneObjectSpec object;
  AddPolygon(object.vertices, {{0, 0, 0}, {1, 0, 0}, {1, -1, 0}}, 0, 1, 0, "", -10);
  object.parts = {part};
  plan.objects = {object};
  const std::string text = WriteSceneText(plan);
  EXPECT_EQ(ReadBack(text), text);
}

}  // namespace
