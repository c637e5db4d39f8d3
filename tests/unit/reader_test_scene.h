// Scenes for the reader tests: a small complete scene description, reading text straight into
// the tables, and the promise every read keeps whatever the file holds: no table is indexed
// past its end by the counts the reader leaves behind.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "scene/reader.h"
#include "scene/scene.h"
#include "scene_writer.h"

// Reads text as the scene file.
inline SceneDiagnostics ReadText(const std::string& text) {
  SceneDiagnostics diag;
  ReadSceneText(text.data(), text.size(), "test.mts", &diag);
  return diag;
}

// A scene with something in every item: two textured static polygons and an untextured one,
// two plain polygons, an avatar with two parts, three objects with points, parts and
// vertices, and three obstacle points.
inline SceneSpec SampleSpec() {
  SceneSpec plan;
  SceneSettingsSpec& s = plan.settings;
  s.displayModeIndex = 3;
  s.light0Enabled = 1;
  s.smoothShading = 1;
  s.fieldOfView = 60;
  s.farPlane = 12000.5;
  s.drawDistance = 800;
  s.distanceCulling = 1;
  s.light0Level = 0.75;
  s.bodyX = 100;
  s.bodyY = -12;
  s.bodyZ = 250;
  s.startTargetX = 130;
  s.startTargetZ = 210;
  s.startHeadingDeg = 45;
  s.collisionRadius = 6.5;
  s.ControlMode = 1;
  s.walkStepDivisor = 16;
  s.modeEyeX = 7;
  s.turnStyle = 2;
  s.clearRed = 0.25;
  s.clearBlue = 0.5;
  AddPolygon(plan.staticList, {{0, 0, 0}, {10, 0, 0}, {10, 0, 10}, {0, 0, 10}}, 1, 0.5, 0.25,
             "wall.bmp");
  AddPolygon(plan.staticList, {{0, -5, 0}, {10, -5, 0}, {10, -5, 10}}, 0.1, 0.2, 0.3,
             "roof tiles.bmp");
  AddPolygon(plan.staticList, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}, 0, 1, 0);
  AddPolygon(plan.plainList, {{0, 0, 0}, {1, 0, 0}, {1, 0, 1}}, 0.9, 0.8, 0.7);
  AddPolygon(plan.plainList, {{2, 0, 0}, {3, 0, 0}, {3, 0, 1}, {2, 0, 1}}, 0.6, 0.5, 0.4);
  plan.avatarHeadingOffset = 180;
  // Lists end at an untagged vertex (a list ending at a tagged one is worth a warning).
  AddPolygon(plan.avatarList, {{-1, -1, -2}, {1, -1, -2}, {0, -2, 0}}, 0.5, 0.5, 0.5, "", 1);
  AddPolygon(plan.avatarList, {{-1, 0, -2}, {1, 0, -2}, {1, 0, 2}, {-1, 0, 2}}, 0.2, 0.2, 0.8,
             "car.bmp");
  plan.avatarParts.resize(2);
  for (int p = 0; p < 2; ++p) {
    for (int m = 0; m < 7; ++m) {
      ScenePartRowSpec& r = plan.avatarParts[p][m];
      r.offsetX = p + 0.5;
      r.offsetY = -m;
      r.swingZ = 10.0 * (m + 1);
      r.swingX = p == 1 ? 30 : 0;
      r.tiltY = 5;
      r.steps = m + 2;
    }
  }
  for (int o = 0; o < 3; ++o) {
    SceneObjectSpec obj;
    obj.flagA = 1;
    obj.flagB = o % 2;
    obj.nearTest = 1;
    obj.nearDistance = 500 + o;
    obj.cullTest = o == 2 ? 1 : 0;
    obj.cullDistance = 900;
    for (int k = 0; k < o + 1; ++k) obj.waypoints.push_back({10.0 * o + k, -5.0 * k});
    obj.x = 1000.0 * (o + 1) + 0.75;
    obj.y = -1;
    obj.z = -300.0 * o;
    obj.targetX = 1;
    obj.targetY = 2;
    obj.targetZ = 3;
    obj.headingDeg = 90.0 * o;
    obj.headingOffset = 15;
    if (o != 1) AddPolygon(obj.vertices, {{0, -1, 0}, {1, -2, 0}, {0, -1, 1}}, 1, 1, 0, "", 0);
    AddPolygon(obj.vertices, {{0, 0, 0}, {2, 0, 0}, {2, 0, 4}, {0, 0, 4}}, 0.3, 0.3, 0.3,
               o == 1 ? "wall.bmp" : "bus.bmp", -10);
    obj.maxSpeed = 3 + o;
    obj.clearance = 20;
    obj.parts.resize(o == 2 ? 0 : 1);
    for (ScenePartSpec& part : obj.parts) {
      for (int m = 0; m < 7; ++m) {
        part[m].offsetZ = 1.5;
        part[m].swingY = 12;
        part[m].steps = 4;
      }
    }
    plan.objects.push_back(obj);
  }
  plan.posts = {{50, 60}, {-70.5, 80}, {0, -1e-3}};
  return plan;
}

// Every count the reader leaves stays within the tables it made, for the drawing and motion
// code that loop over them; and the lists are closed as the loader promises.
inline void ExpectTablesHoldCounts() {
  const auto fits = [](std::size_t size, int count) {
    return count < 0 || static_cast<std::size_t>(count) < size;
  };
  ASSERT_TRUE(fits(staticPolyEnd.size(), staticVertexCount));
  ASSERT_TRUE(fits(staticX.size(), staticVertexCount));
  ASSERT_TRUE(fits(staticTextured.size(), staticVertexCount));
  ASSERT_LE(staticVertexCount, static_cast<int>(staticTexName.size()));
  ASSERT_TRUE(fits(plainPolyEnd.size(), plainVertexCount));
  ASSERT_TRUE(fits(plainZ.size(), plainVertexCount));
  ASSERT_TRUE(fits(avatarPolyEnd.size(), avatarVertexCount));
  ASSERT_TRUE(fits(avatarPartOf.size(), avatarVertexCount));
  ASSERT_LE(avatarVertexCount, static_cast<int>(avatarTexName.size()));
  ASSERT_TRUE(fits(obstacleX.size(), obstacleCount));
  ASSERT_TRUE(fits(obstacleZ.size(), obstacleCount));
  ASSERT_LE(avatarPartLastIndex, kPartSlots - 1);
  ASSERT_LE(objectLastIndex, kObjectSlots - 1);
  if (staticVertexCount >= 0) {
    ASSERT_EQ(staticPolyEnd[staticVertexCount], 1);
  }
  if (avatarVertexCount >= 0) {
    ASSERT_EQ(avatarPolyEnd[avatarVertexCount], 1);
  }
  const std::size_t columns = static_cast<std::size_t>(objectLastIndex + 1);
  if (objectLastIndex < 0) return;
  ASSERT_GE(objectVertexMax, 1);
  ASSERT_EQ(objectVertexCount.size(), columns);
  ASSERT_GE(objectWaypointCount.size(), columns);
  for (const auto* table : {&objVtxX, &objVtxRed, &objVtxTexT}) {
    ASSERT_EQ(table->size(), static_cast<std::size_t>(objectVertexMax + 1));
    for (const auto& row : *table) ASSERT_EQ(row.size(), columns);
  }
  for (const auto* table : {&objVtxPolyEnd, &objVtxTextured, &objVtxPart}) {
    ASSERT_EQ(table->size(), static_cast<std::size_t>(objectVertexMax + 1));
    for (const auto& row : *table) ASSERT_EQ(row.size(), columns);
  }
  for (std::size_t o = 0; o < columns; ++o) {
    ASSERT_LE(objectVertexCount[o], objectVertexMax);
    ASSERT_LE(objectVertexCount[o], static_cast<int>(objVtxTexName.size()));
    ASSERT_LE(objectPartLastIndex[o], kPartSlots - 1);
    ASSERT_LE(objectWaypointCount[o], waypointRowMax);
    ASSERT_GE(objectTurnClock[o], 0);
    ASSERT_LE(objectTurnClock[o], 430);
    if (objectVertexCount[o] >= 0) {
      ASSERT_EQ(objVtxPolyEnd[objectVertexCount[o]][o], 1);
    }
  }
  if (waypointRowMax >= 1) {
    ASSERT_EQ(waypointX.size(), static_cast<std::size_t>(waypointRowMax + 1));
    for (const auto& row : waypointX) ASSERT_EQ(row.size(), columns);
    for (const auto& row : waypointZ) ASSERT_EQ(row.size(), columns);
  }
}
