// Scenes written by the scene writer read back into exactly the values written.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "reader_test_scene.h"

namespace {

constexpr double kDegToRad = 0.017453292519943295;

// The list columns hold what plan gives, colours at polygon starts.
void ExpectStaticList(const std::vector<SceneVertexSpec>& list) {
  ASSERT_EQ(staticVertexCount, static_cast<int>(list.size()));
  int previousEnd = 1;
  for (int v = 1; v <= staticVertexCount; ++v) {
    const SceneVertexSpec& e = list[v - 1];
    if (previousEnd == 1) {
      EXPECT_EQ(staticRed[v], e.red);
      EXPECT_EQ(staticGreen[v], e.green);
      EXPECT_EQ(staticBlue[v], e.blue);
    }
    previousEnd = e.polyEnd;
    EXPECT_EQ(staticX[v], e.x);
    EXPECT_EQ(staticY[v], e.y);
    EXPECT_EQ(staticZ[v], e.z);
    EXPECT_EQ(staticPolyEnd[v], v == staticVertexCount ? 1 : e.polyEnd);
    EXPECT_EQ(staticTexS[v], e.texS);
    EXPECT_EQ(staticTexT[v], e.texT);
    EXPECT_EQ(staticTextured[v - 1], e.textured);
    EXPECT_EQ(staticTexName[v - 1], e.texName);
  }
}

void ExpectAvatarList(const std::vector<SceneVertexSpec>& list) {
  ASSERT_EQ(avatarVertexCount, static_cast<int>(list.size()));
  for (int v = 1; v <= avatarVertexCount; ++v) {
    const SceneVertexSpec& e = list[v - 1];
    if (v == 1 || list[v - 2].polyEnd == 1) {
      EXPECT_EQ(avatarGreen[v], e.green);
    }
    EXPECT_EQ(avatarPartOf[v], e.part);
    EXPECT_EQ(avatarX[v], e.x);
    EXPECT_EQ(avatarZ[v], e.z);
    EXPECT_EQ(avatarTexT[v], e.texT);
    EXPECT_EQ(avatarTextured[v - 1], e.textured);
    EXPECT_EQ(avatarTexName[v - 1], e.texName);
  }
}

void ExpectObjects(const SceneSpec& plan) {
  ASSERT_EQ(objectLastIndex, static_cast<int>(plan.objects.size()) - 1);
  for (int o = 0; o <= objectLastIndex; ++o) {
    const SceneObjectSpec& e = plan.objects[o];
    EXPECT_EQ(objectFlagA[o], e.flagA);
    EXPECT_EQ(objectFlagB[o], e.flagB);
    EXPECT_EQ(objectNearTest[o], e.nearTest);
    EXPECT_EQ(objectNearDistance[o], e.nearDistance);
    EXPECT_EQ(objectCullTest[o], e.cullTest);
    EXPECT_EQ(objectCullDistance[o], e.cullDistance);
    ASSERT_EQ(objectWaypointCount[o], static_cast<int>(e.waypoints.size()));
    for (int k = 1; k <= objectWaypointCount[o]; ++k) {
      EXPECT_EQ(waypointX[k][o], e.waypoints[k - 1].first);
      EXPECT_EQ(waypointZ[k][o], e.waypoints[k - 1].second);
    }
    EXPECT_EQ(objectX[o], e.x);
    EXPECT_EQ(objectY[o], e.y);
    EXPECT_EQ(objectZ[o], e.z);
    EXPECT_EQ(objectTargetX[o], e.targetX);
    EXPECT_EQ(objectTargetZ[o], e.targetZ);
    EXPECT_EQ(objectHeadingDeg[o], e.headingDeg);
    EXPECT_EQ(objectHeadingOffset[o], e.headingOffset);
    EXPECT_EQ(objectHeading[o], -e.headingDeg);
    ASSERT_EQ(objectVertexCount[o], static_cast<int>(e.vertices.size()));
    for (int v = 1; v <= objectVertexCount[o]; ++v) {
      const SceneVertexSpec& x = e.vertices[v - 1];
      if (v == 1 || e.vertices[v - 2].polyEnd == 1) {
        EXPECT_EQ(objVtxRed[v][o], x.red);
      }
      EXPECT_EQ(objVtxPart[v][o], x.part);
      EXPECT_EQ(objVtxX[v][o], x.x);
      EXPECT_EQ(objVtxY[v][o], x.y);
      EXPECT_EQ(objVtxPolyEnd[v][o], v == objectVertexCount[o] ? 1 : x.polyEnd);
      EXPECT_EQ(objVtxTexS[v][o], x.texS);
      EXPECT_EQ(objVtxTextured[v - 1][o], x.textured);
      EXPECT_EQ(objVtxTexName[v - 1][o], x.texName);
    }
    EXPECT_EQ(objectMaxSpeed[o], e.maxSpeed);
    EXPECT_EQ(objectClearance[o], e.clearance);
    ASSERT_EQ(objectPartLastIndex[o], static_cast<int>(e.parts.size()) - 1);
    for (int p = 0; p <= objectPartLastIndex[o]; ++p) {
      for (int m = 0; m < 7; ++m) {
        const ScenePartRowSpec& r = e.parts[p][m];
        EXPECT_EQ(objPartOffsetZ[p][m][o], r.offsetZ);
        EXPECT_EQ(objPartSwingY[p][m][o], r.swingY);
        EXPECT_EQ(objPartRateY[p][m][o], r.swingY / r.steps);
        EXPECT_EQ(objPartRateZ[p][m][o], r.swingZ / r.steps);
      }
    }
  }
}

TEST(ReaderRoundTrip, SampleSceneReadsBackExactly) {
  const SceneSpec plan = SampleSpec();
  const SceneDiagnostics diag = ReadText(WriteSceneText(plan));
  EXPECT_FALSE(diag.streamFailed);
  EXPECT_TRUE(diag.items.empty()) << diag.items[0].message;
  const SceneSettingsSpec& s = plan.settings;
  EXPECT_EQ(displayModeIndex, s.displayModeIndex);
  EXPECT_EQ(light0Enabled, s.light0Enabled);
  EXPECT_EQ(smoothShading, s.smoothShading);
  EXPECT_EQ(fieldOfView, s.fieldOfView);
  EXPECT_EQ(farPlane, s.farPlane);
  EXPECT_EQ(drawDistance, s.drawDistance);
  EXPECT_EQ(distanceCulling, s.distanceCulling);
  EXPECT_EQ(light0Level, s.light0Level);
  EXPECT_EQ(bodyY, s.bodyY);
  EXPECT_EQ(startTargetZ, s.startTargetZ);
  EXPECT_EQ(collisionRadius, s.collisionRadius);
  EXPECT_EQ(ControlMode, s.ControlMode);
  EXPECT_EQ(walkStepDivisor, s.walkStepDivisor);
  EXPECT_EQ(modeEyeX, s.modeEyeX);
  EXPECT_EQ(turnStyle, s.turnStyle);
  EXPECT_EQ(walkMaxSpeed, s.motion[0]);
  EXPECT_EQ(walkDeflectLimit, s.motion[8] * kDegToRad);
  EXPECT_EQ(coastDecel, s.motion[16]);
  EXPECT_EQ(bodyPitchLimit, s.motion[24]);
  EXPECT_EQ(trembleAmplitude, s.motion[25]);  // mode 1: kept
  EXPECT_EQ(clearRed, s.clearRed);
  EXPECT_EQ(clearBlue, s.clearBlue);
  ExpectStaticList(plan.staticList);
  ASSERT_EQ(plainVertexCount, 7);
  EXPECT_EQ(plainRed[4], 0.6);
  EXPECT_EQ(plainZ[6], 1);
  EXPECT_EQ(plainPolyEnd[7], 1);
  EXPECT_EQ(avatarHeadingOffset, 180);
  EXPECT_EQ(avatarPartLastIndex, 1);
  EXPECT_EQ(avatarPartSwingX[1][4], 30);
  EXPECT_EQ(avatarPartTiltY[0][2], 5);
  EXPECT_EQ(avatarPartOffsetY[1][6], -6);
  EXPECT_EQ(avatarPartRateZ[1][3], 40.0 / 5);
  ExpectAvatarList(plan.avatarList);
  ExpectObjects(plan);
  ASSERT_EQ(obstacleCount, 3);
  EXPECT_EQ(obstacleX[2], -70.5);
  EXPECT_EQ(obstacleZ[3], -1e-3);
  ASSERT_EQ(diag.textures.size(), 4u);
  EXPECT_EQ(diag.textures[0].name, "car.bmp");  // the avatar comes first in the file
  EXPECT_EQ(diag.textures[3].name, "roof tiles.bmp");
  ExpectTablesHoldCounts();
}

TEST(ReaderRoundTrip, RandomValuesReadBackBitForBit) {
  std::mt19937_64 random(20261207);
  std::uniform_int_distribution<std::uint64_t> bits;
  std::uniform_real_distribution<double> ordinary(-1e4, 1e4);
  // Finite doubles of every size, ordinary ones and whole numbers.
  auto value = [&]() {
    switch (random() % 3) {
      case 0: {
        double d;
        do {
          const std::uint64_t b = bits(random);
          std::memcpy(&d, &b, sizeof d);
        } while (!std::isfinite(d));
        return d;
      }
      case 1:
        return ordinary(random);
      default:
        return std::trunc(ordinary(random));
    }
  };
  for (int round = 0; round < 20; ++round) {
    SceneSpec plan;
    plan.settings.farPlane = value();
    plan.settings.bodyX = value();
    plan.settings.ControlMode = 1;
    for (int i = 0; i < 200; ++i) {
      AddPolygon(
          plan.staticList,
          {{value(), value(), value()}, {value(), value(), value()}, {value(), value(), value()}},
          value(), value(), value(), i % 2 ? "t.bmp" : "");
      plan.staticList.back().texT = value();
    }
    plan.objects.resize(2);
    plan.objects[1].x = value();
    plan.objects[1].waypoints = {{value(), value()}};
    AddPolygon(plan.objects[1].vertices, {{value(), value(), value()}}, value(), value(), value());
    plan.posts = {{value(), value()}};
    ReadText(WriteSceneText(plan));
    EXPECT_EQ(farPlane, plan.settings.farPlane);
    EXPECT_EQ(bodyX, plan.settings.bodyX);
    ExpectStaticList(plan.staticList);
    ExpectObjects(plan);
    EXPECT_EQ(obstacleX[1], plan.posts[0].first);
    EXPECT_EQ(obstacleZ[1], plan.posts[0].second);
    ExpectTablesHoldCounts();
  }
}

// The file on disk: found by its name in UTF-8 or in the Windows code page, read the same.
TEST(ReaderRoundTrip, SceneFileFoundByEitherName) {
  const std::string dir = ::testing::TempDir() + "citywalk_reader_find";
  std::remove((dir + "/" + kSceneFileName).c_str());
  std::remove((dir + "/" + kSceneFileName1251).c_str());
  std::remove(dir.c_str());
  EXPECT_EQ(FindSceneFile(dir), "");  // no folder
  ASSERT_EQ(std::system(("mkdir -p '" + dir + "'").c_str()), 0);
  EXPECT_EQ(FindSceneFile(dir), "");
  const SceneSpec plan = SampleSpec();
  ASSERT_TRUE(WriteSceneFile(dir + "/" + kSceneFileName1251, plan));
  EXPECT_EQ(FindSceneFile(dir), dir + "/" + kSceneFileName1251);
  ASSERT_TRUE(WriteSceneFile(dir + "/" + kSceneFileName, plan));
  const std::string path = FindSceneFile(dir);
  EXPECT_EQ(path, dir + "/" + kSceneFileName);
  SceneDiagnostics diag;
  EXPECT_TRUE(ReadSceneFile(path, &diag));
  EXPECT_EQ(diag.fileBytes, WriteSceneText(plan).size());
  ExpectStaticList(plan.staticList);
  ExpectObjects(plan);

  // Messages name the code-page file by its own name.
  const std::string legacy = dir + "/" + kSceneFileName1251;
  std::FILE* file = std::fopen(legacy.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fputs("0 0 0 77 1\n", file);
  std::fclose(file);
  ::testing::internal::CaptureStderr();
  EXPECT_TRUE(ReadSceneFile(legacy, nullptr));
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(err.rfind("citywalk: " + dir + "/" + kSceneFileName + ":1:7: `objectLastIndex`", 0), 0u)
      << err;
}

}  // namespace
