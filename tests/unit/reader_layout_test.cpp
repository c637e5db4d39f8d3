// The scene file's layout read into the tables: defaults, the optional avatar block, colours
// at polygon starts, objects, failed fields, and the values derived after reading.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>

#include "reader_test_scene.h"

namespace {

constexpr double kDegToRad = 0.017453292519943295;

// Items 2 to 6 with the default settings (mode given).
std::string Settings(int mode = 2) {
  return "1 0 0 0 0 0 0 0 1000 0 1 0 0\n0 0 0 0 0 0 0 8\n" + std::to_string(mode) +
         " 20 10\n0 0 0 0 0 0 1\n"
         "2 5 1 70 70 6 20 3 1.2 5 7 0.07 0.3 0.4 0.4 0.7 0.01 0.2 0.5 1.5 0.8 50 2 60 4 0.17\n";
}

// The state without a scene file: defaults, and the values derived from them.
void ExpectDefaultScene() {
  EXPECT_EQ(staticVertexCount, 0);
  EXPECT_EQ(plainVertexCount, 0);
  EXPECT_EQ(avatarVertexCount, 0);
  EXPECT_EQ(objectLastIndex, -1);
  EXPECT_EQ(obstacleCount, 0);
  EXPECT_EQ(staticPolyEnd.size(), 1u);
  EXPECT_EQ(staticPolyEnd[0], 1);
  EXPECT_EQ(plainPolyEnd[0], 1);
  EXPECT_EQ(avatarPolyEnd[0], 1);
  EXPECT_EQ(ControlMode, 2);
  EXPECT_EQ(drawDistance, 1000);
  EXPECT_EQ(displayModeIndex, 1);
  EXPECT_EQ(collisionRadius, 8.0);
  EXPECT_EQ(walkStep, 0.1);                 // 2 / 20
  EXPECT_EQ(walkStepTen, 1.0);              // 0.1 * 10
  EXPECT_EQ(driveStep, 0.5);                // 5 / 10
  EXPECT_EQ(driveStepTriple, 1.5);          // 0.5 * 3
  EXPECT_EQ(trembleAmplitude, 0.17 / 2.4);  // mode 2
  EXPECT_EQ(jumpStep, 2.5);                 // 20 / 8
  EXPECT_EQ(acceleration, 0.07);
  EXPECT_EQ(collisionStep, 8.0);
  EXPECT_EQ(walkDeflectLimit, 1.2 * kDegToRad);
  EXPECT_EQ(driveDeflectLimit, 60 * kDegToRad);
  EXPECT_EQ(slideTurnPercent, 2.0);  // 100 / 50
  EXPECT_EQ(headingRad, -270 * kDegToRad);
}

TEST(ReaderLayout, MissingEmptyAndBlankFilesGiveTheDefaults) {
  SceneDiagnostics diag;
  ReadText("5 5 5 5 5");  // something else first, so that the reset is seen
  EXPECT_FALSE(ReadSceneFile("/nonexistent/folder/scene.mts", &diag));
  EXPECT_FALSE(diag.opened);
  ExpectDefaultScene();
  for (const char* text : {"", " \r\n\t\n"}) {
    ReadText("5 5 5 5 5");
    diag = ReadText(text);
    ExpectDefaultScene();
    ASSERT_EQ(diag.items.size(), 1u);
    EXPECT_NE(diag.items[0].message.find("ends before `staticVertexCount`"), std::string::npos);
  }
}

TEST(ReaderLayout, AvatarBlockOnlyWithAvatarVertices) {
  const std::string object = "0\n0 0 0 0 0 0 0\n0.1 0.2 0.3\n";
  const std::string headers = "0 11 12 13 14 15 16 17 18\n3.5 9 -1\n";
  // No avatar vertices: the field after the background colour is the object's vertex count.
  ReadText("0 0 0 0 1\n" + Settings() + object + headers);
  EXPECT_EQ(objectLastIndex, 0);
  EXPECT_EQ(clearBlue, 0.3);
  EXPECT_EQ(avatarHeadingOffset, 0);
  EXPECT_EQ(objectVertexCount[0], 0);
  EXPECT_EQ(objectX[0], 11);
  EXPECT_EQ(objectHeadingOffset[0], 18);
  EXPECT_EQ(objectMaxSpeed[0], 3.5);
  EXPECT_EQ(objectClearance[0], 9);
  EXPECT_EQ(objectPartLastIndex[0], -1);
  // Any other count, a negative one too, reads the block (without making avatar tables).
  ReadText("0 0 -1 0 1\n" + Settings() + object + "45 -1\n" + headers);
  EXPECT_EQ(avatarHeadingOffset, 45);
  EXPECT_EQ(avatarPartLastIndex, -1);
  EXPECT_EQ(objectX[0], 11);
  EXPECT_EQ(avatarPolyEnd.size(), 1u);
}

TEST(ReaderLayout, ColourOnlyWhereAPolygonBegins) {
  const std::string text = "5 0 0 -1 0\n" + Settings() + "0\n0 0 0\n" +
                           "0.1 0.2 0.3  1 2 3 0  0 0 0 *\n"  // begins, continues
                           "4 5 6 1  0 0 0 *\n"               // closes
                           "0.7 0.8 0.9  7 8 9 0  0 0 0 *\n"  // begins
                           "10 11 12 0  0 0 0 *\n"            // flag 0 on what looks last
                           "13 14 15 1  0 0 0 *\n";           // the polygon goes on to here
  const SceneDiagnostics diag = ReadText(text);
  EXPECT_FALSE(diag.streamFailed);
  EXPECT_EQ(staticRed[1], 0.1);
  EXPECT_EQ(staticBlue[1], 0.3);
  EXPECT_EQ(staticX[2], 4);
  EXPECT_EQ(staticRed[3], 0.7);
  EXPECT_EQ(staticX[3], 7);
  EXPECT_EQ(staticX[4], 10);
  EXPECT_EQ(staticX[5], 13);
  EXPECT_EQ(staticPolyEnd[4], 0);
  EXPECT_EQ(staticPolyEnd[5], 1);
  // The first polygon has two vertices: the checker says so.
  ASSERT_EQ(diag.items.size(), 1u);
  EXPECT_EQ(diag.items[0].line, 9);
  EXPECT_NE(diag.items[0].message.find("polygon of 2 vertices"), std::string::npos);
}

TEST(ReaderLayout, ObjectLastIndexZeroIsOneObjectInEveryBlock) {
  SceneSpec plan;
  SceneObjectSpec o;
  o.flagA = 1;
  o.nearTest = 1;
  o.nearDistance = 300;
  o.waypoints = {{5, 6}, {7, 8}};
  o.x = -20.5;
  o.z = 40;
  o.headingDeg = 30;
  AddPolygon(o.vertices, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}, 0.5, 0.5, 0.5, "obj.bmp", 2);
  o.maxSpeed = 4;
  o.parts.resize(1);
  o.parts[0][3].swingX = 9;
  o.parts[0][3].steps = 3;
  plan.objects = {o};
  const std::string text = WriteSceneText(plan);
  ASSERT_EQ(text.substr(0, 10), "0 0 0 0 3\n");
  ReadText(text);
  ASSERT_EQ(objectLastIndex, 0);
  EXPECT_EQ(objectNearDistance[0], 300);
  EXPECT_EQ(objectWaypointCount[0], 2);
  EXPECT_EQ(waypointRowMax, 2);
  EXPECT_EQ(waypointZ[2][0], 8);
  EXPECT_EQ(objVtxPart[3][0], 2);
  EXPECT_EQ(objVtxTexName[0][0], "obj.bmp");
  EXPECT_EQ(objPartRateX[0][3][0], 3);
  // Derived at its header: heading, working position, start of the motion state.
  EXPECT_EQ(objectHeading[0], -30);
  EXPECT_EQ(objectCurX[0], -20.5);
  EXPECT_EQ(objectCurZ[0], 40);
  EXPECT_EQ(objectSwervePhase[0], 1);
  EXPECT_EQ(objectAccelForward[0], 1);
  EXPECT_EQ(objectAccelReverse[0], 0);
  EXPECT_EQ(objectTurnClock[0], 20);
}

TEST(ReaderLayout, TurnClockStartsFromTheObjectsPosition) {
  SceneSpec plan;
  plan.objects.resize(50);
  // Index: x, and the start worked out by hand (divisor k / 2; k = 10, 5, 13, 7 for
  // objects 0..3, the index otherwise).
  const struct {
    int index;
    double x;
    int clock;
  } cases[] = {
      {0, 100000, 160},                      // /5: 20000, 4000, 800, 160
      {1, 1000, 250},                        // /2: 500, 250
      {2, 1000, 166},                        // /6
      {3, -1000.99, 333},                    // |-1000| / 3
      {4, 1000, 250},                        // /2 twice
      {5, 431, 215},                         // /2
      {6, 430.99, 430},                      // not above 430
      {7, -0.5, 0},       {8, 100000, 390},  // /4: 25000, 6250, 1562, 390
      {9, 1e300, 127},  // beyond the int range: 2147483647, then /4 twelve times
      {49, 5000, 208},  // /24
  };
  for (const auto& c : cases) plan.objects[c.index].x = c.x;
  ReadText(WriteSceneText(plan));
  ASSERT_EQ(objectLastIndex, 49);
  for (const auto& c : cases) EXPECT_EQ(objectTurnClock[c.index], c.clock) << c.index;
}

TEST(ReaderLayout, ViewValuesByControlMode) {
  SceneSpec plan;
  SceneSettingsSpec& s = plan.settings;
  s.bodyX = 3;
  s.bodyY = -2;
  s.bodyZ = 4;
  s.startTargetX = 0;
  s.startTargetY = 9;
  s.startTargetZ = 0;
  s.startHeadingDeg = 30;
  s.modeEyeX = 7;
  s.modeEyeY = 1;
  s.modeEyeZ = 9;
  s.modeRefX = 1;
  s.modeRefZ = 1;
  for (int mode : {1, 2, 3, 4}) {
    s.ControlMode = mode;
    ReadText(WriteSceneText(plan));
    const bool chase = mode >= 3;
    EXPECT_EQ(heading, -30);
    EXPECT_EQ(smoothHeading, -30);
    EXPECT_EQ(headingRad, (30 - 270) * kDegToRad);
    EXPECT_EQ(eyeX, 3);
    EXPECT_EQ(eyeY, -2);
    EXPECT_EQ(eyeZ, 4);
    EXPECT_EQ(targetX, chase ? 3 : 0);
    EXPECT_EQ(targetY, chase ? -2 : 9);
    EXPECT_EQ(targetZ, chase ? 4 : 0);
    EXPECT_EQ(lookEyeX, chase ? 7 : 0);
    EXPECT_EQ(lookEyeY, chase ? 1 : 0);
    EXPECT_EQ(lookEyeZ, chase ? 9 : 0);
    EXPECT_EQ(lookDistance, 5);      // 3-4-5
    EXPECT_EQ(lookRefDistance, 10);  // 6-8-10
    EXPECT_EQ(lookRefDistanceSaved, 10);
  }
}

TEST(ReaderLayout, MotionValuesAndConversions) {
  SceneSpec plan;
  SceneSettingsSpec& s = plan.settings;
  s.walkStepDivisor = 8;
  s.driveStepDivisor = 0;
  s.motion[0] = 3;      // walkMaxSpeed
  s.motion[6] = 12;     // jumpHeight
  s.motion[8] = 90;     // walkDeflectLimit
  s.motion[11] = 0.25;  // throttleStep
  s.motion[21] = 40;    // slideTurnPercent
  s.motion[23] = 180;   // driveDeflectLimit
  s.motion[25] = 1.2;   // trembleAmplitude
  s.collisionRadius = 2.5;
  for (int mode : {1, 2}) {
    s.ControlMode = mode;
    ReadText(WriteSceneText(plan));
    EXPECT_EQ(walkStep, 0.375);
    EXPECT_EQ(walkStepTen, 3.75);
    EXPECT_EQ(driveStep, std::numeric_limits<double>::infinity());  // 5 / 0
    EXPECT_EQ(jumpStep, 1.5);
    EXPECT_EQ(acceleration, 0.25);
    EXPECT_EQ(collisionStep, 2.5);
    EXPECT_EQ(walkDeflectLimit, 90 * kDegToRad);
    EXPECT_EQ(driveDeflectLimit, 180 * kDegToRad);
    EXPECT_EQ(slideTurnPercent, 2.5);
    EXPECT_EQ(trembleAmplitude, mode == 2 ? 0.5 : 1.2);
  }
}

TEST(ReaderLayout, FailedFieldsStoreZeroForIntsAndKeepTheRest) {
  // A malformed count: it reads 0, what came before stays, nothing after is read.
  SceneDiagnostics diag = ReadText("3 x 5 0 1\n" + Settings(1));
  EXPECT_EQ(staticVertexCount, 3);
  EXPECT_EQ(staticPolyEnd.size(), 13u);
  EXPECT_EQ(plainVertexCount, 0);
  EXPECT_EQ(avatarVertexCount, 0);
  EXPECT_EQ(objectLastIndex, -1);
  EXPECT_EQ(ControlMode, 2);
  EXPECT_EQ(walkStep, 0.1);  // still derived
  EXPECT_EQ(staticPolyEnd[3], 1);
  ASSERT_EQ(diag.items.size(), 1u);
  EXPECT_EQ(diag.items[0].line, 1);
  EXPECT_EQ(diag.items[0].column, 3);
  EXPECT_EQ(diag.items[0].severity, SceneSeverity::kError);
  EXPECT_NE(diag.items[0].message.find("`plainVertexCount`: expected a number, found \"x\""),
            std::string::npos);

  // A malformed double keeps its default.
  ReadText("0 0 0 -1 0\n1 0 0 0 0 0 0 0 1000 0 1 0 0\n1 2 3 4 5 6 7 zzz 1");
  EXPECT_EQ(startHeadingDeg, 7);
  EXPECT_EQ(collisionRadius, 8);
  EXPECT_EQ(ControlMode, 2);

  // A malformed int inside the objects: the object stays, later ones keep their values.
  ReadText("0 0 0 1 2\n" + Settings() + "0\n1 1 0 5 0 0 0\n0 -- 0 0 0 0 0");
  EXPECT_EQ(objectLastIndex, 1);
  EXPECT_EQ(objectNearDistance[0], 5);
  EXPECT_EQ(objectFlagB[1], 0);
  EXPECT_EQ(objectFlagA[1], 0);
  EXPECT_EQ(objectSwervePhase[1], 1);  // object start values are still derived
}

TEST(ReaderLayout, PartRatesAreSwingOverStepCount) {
  std::string text = "0 0 1 -1 0\n" + Settings() + "0\n0 0 0\n0 1\n";
  for (int m = 0; m < 6; ++m) text += "0 0 0  6 3 0  0 0 0  2\n";
  text += "0 0 0  6 3 0  0 0 0  4\n";  // part 0, state 6
  text += "0 0 0  8 0 0  0 0 0\n";     // part 1, state 0: the file ends before its steps
  ReadText(text);
  EXPECT_EQ(avatarPartRateZ[0][0], 3);
  EXPECT_EQ(avatarPartRateY[0][5], 1.5);
  EXPECT_EQ(avatarPartRateX[0][5], 0);
  EXPECT_EQ(avatarPartRateZ[0][6], 1.5);
  EXPECT_EQ(avatarPartRateY[0][6], 0.75);
  // The missing step count is the one read last.
  EXPECT_EQ(avatarPartRateZ[1][0], 2);
  EXPECT_EQ(avatarPartRateZ[1][6], 0);

  std::string zero = "0 0 1 -1 0\n" + Settings() + "0\n0 0 0\n0 0\n";
  for (int m = 0; m < 7; ++m) zero += "0 0 0  5 0 0  0 0 0  0\n";
  ReadText(zero);
  EXPECT_EQ(avatarPartRateZ[0][2], std::numeric_limits<double>::infinity());
  EXPECT_TRUE(std::isnan(avatarPartRateY[0][2]));
}

TEST(ReaderLayout, LastPolygonsClosedExceptThePlainList) {
  SceneSpec plan;
  AddPolygon(plan.staticList, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}, 1, 1, 1);
  AddPolygon(plan.plainList, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}, 1, 1, 1);
  AddPolygon(plan.avatarList, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}, 1, 1, 1);
  plan.objects.resize(2);
  AddPolygon(plan.objects[1].vertices, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}, 1, 1, 1);
  plan.staticList.back().polyEnd = 0;
  plan.plainList.back().polyEnd = 0;
  plan.avatarList.back().polyEnd = 0;
  plan.objects[1].vertices.back().polyEnd = 0;
  plan.objectVertexMax = 5;
  const SceneDiagnostics diag = ReadText(WriteSceneText(plan));
  EXPECT_EQ(staticPolyEnd[3], 1);
  EXPECT_EQ(avatarPolyEnd[3], 1);
  EXPECT_EQ(objVtxPolyEnd[3][1], 1);
  EXPECT_EQ(objVtxPolyEnd[0][0], 1);  // object 0 has no vertices: row 0 stays closed
  EXPECT_EQ(plainPolyEnd[3], 0);
  ASSERT_EQ(diag.items.size(), 1u);
  EXPECT_NE(diag.items[0].message.find("last plain vertex (3) does not close"), std::string::npos);
}

TEST(ReaderLayout, NegativeCountsMakeNothing) {
  const SceneDiagnostics diag = ReadText("-5 -3 -2 -7 -1\n" + Settings() + "-4\n0 0 0\n9 -3\n");
  EXPECT_FALSE(diag.streamFailed);
  EXPECT_EQ(staticVertexCount, -5);
  EXPECT_EQ(staticPolyEnd.size(), 1u);
  EXPECT_EQ(plainPolyEnd.size(), 1u);
  EXPECT_EQ(avatarPolyEnd.size(), 1u);
  EXPECT_EQ(objectLastIndex, -7);
  EXPECT_EQ(obstacleCount, -4);
  EXPECT_EQ(obstacleX.size(), 1u);
  EXPECT_EQ(avatarHeadingOffset, 9);
  EXPECT_EQ(avatarPartLastIndex, -3);
  ExpectTablesHoldCounts();
}

}  // namespace

namespace {

// What the checker reports beside failures: unusual texture flags, part tags that name no
// part, a list ending at a tagged vertex, values beyond the int or double range, data after
// the last item; with their places.
TEST(ReaderLayout, WarningsAtTheirPlaces) {
  const std::string text = "2 0 2 -1 0\n" + Settings() + "0\n0 0 0\n0 0\n" +
                           "0 0 0  0 0 0  0 0 0  1\n0 0 0  0 0 0  0 0 0  1\n"
                           "0 0 0  0 0 0  0 0 0  1\n0 0 0  0 0 0  0 0 0  1\n"
                           "0 0 0  0 0 0  0 0 0  1\n0 0 0  0 0 0  0 0 0  1\n"
                           "0 0 0  0 0 0  0 0 0  1\n"                  // lines 10-16: part 0
                           "1 1 1 7 0 0 0 1 0 0 1 *a.bmp\n"            // 17: avatar vertex 1
                           "1 1 1 0 0 0 0 99999999999 0 0 2 *b.bmp\n"  // 18: avatar vertex 2
                           "0.5 0.5 0.5 1e999 0 0 1 0 0 1 *c.bmp\n"    // 19: static vertex 1
                           "0.5 0.5 0.5 0 0 0 1 1 0 0 *a.bmp\n"        // 20: static vertex 2
                           "junk\n";
  const SceneDiagnostics diag = ReadText(text);
  EXPECT_FALSE(diag.streamFailed);
  struct Expect {
    int line, column;
    const char* text;
  } expected[] = {
      {17, 1, "polygon of 1 vertex (avatar vertices 1..1)"},
      {17, 7, "`avatarPartOf` of avatar vertex 1: part tag 7 names no part"},
      {18, 1, "polygon of 1 vertex (avatar vertices 2..2)"},
      {18, 15,
       "`avatarPolyEnd` of avatar vertex 2: value beyond the int range, read as 2147483647"},
      {18, 31, "`avatarTextured` of avatar vertex 2: texture flag 2 is neither 0 nor 1"},
      {18, 33, "the avatar list ends at a vertex of part 0: that part's transform is still"},
      {19, 1, "polygon of 1 vertex (static vertices 1..1)"},
      {19, 13,
       "`staticX` of static vertex 1: number beyond the range of a double, read as infinity"},
      {20, 1, "polygon of 1 vertex (static vertices 2..2)"},
      {21, 1, "5 bytes after the last plain vertex are never read"},
  };
  ASSERT_EQ(diag.items.size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(diag.items[i].line, expected[i].line) << i;
    EXPECT_EQ(diag.items[i].column, expected[i].column) << i;
    EXPECT_EQ(diag.items[i].severity, SceneSeverity::kWarning) << i;
    EXPECT_NE(diag.items[i].message.find(expected[i].text), std::string::npos)
        << diag.items[i].message;
  }
  // Textures of vertices whose flag is 1, each name once, at its first use.
  ASSERT_EQ(diag.textures.size(), 2u);
  EXPECT_EQ(diag.textures[0].name, "a.bmp");
  EXPECT_EQ(diag.textures[0].line, 17);
  EXPECT_EQ(diag.textures[0].column, 24);
  EXPECT_EQ(diag.textures[1].name, "c.bmp");
  EXPECT_EQ(staticX[1], std::numeric_limits<double>::infinity());
}

}  // namespace
