// Moving object motion, read from scene text as the program reads it: the speed, the turn
// cycle from the loader's start clock, evasion of posts and of the object's own points, the
// freeze test, and the bound on probing. Expected values are worked out from the rules.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "common/scene_load.h"
#include "motion/objects.h"
#include "motion/viewer.h"
#include "scene/scene.h"

namespace {

// A scene of the given objects (a triangle each) and posts, the viewer at the origin; returns
// what the checker would report of it.
SceneDiagnostics Load(std::vector<SceneObjectSpec> objects,
                      std::vector<std::pair<double, double>> posts = {}) {
  SceneSpec plan;
  plan.settings.ControlMode = 1;
  for (auto& o : objects) AddPolygon(o.vertices, {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}}, 1, 0, 0);
  plan.objects = std::move(objects);
  plan.posts = std::move(posts);
  return LoadScene(plan);
}

SceneObjectSpec Object(double x, double z, double maxSpeed, double clearance = 3) {
  SceneObjectSpec o;
  o.x = x;
  o.z = z;
  o.maxSpeed = maxSpeed;
  o.clearance = clearance;
  return o;
}

void Frames(int n, int i = 0) {
  for (int f = 0; f < n; ++f) MoveObjects(i);
}

TEST(ObjectMotion, SpeedsUpPastATopSpeedThatIsNoMultipleOfTheStep) {
  Load({Object(0, 0, 2.5)});  // heading 0: steps go along -z
  const double speeds[] = {1, 2, 3, 3};
  double z = 0;
  for (double speed : speeds) {
    MoveObjects(0);
    z -= speed;
    EXPECT_EQ(objectSpeed[0], speed);
    EXPECT_EQ(objectCurZ[0], z);
    EXPECT_EQ(objectMoveZ[0], z);
    EXPECT_EQ(objectMoveX[0], 0.0);
  }
  EXPECT_EQ(objectMotionState[0], 1);
  EXPECT_EQ(objectTurnClock[0], 4);  // x = 0: the clock started at 0

  Load({Object(0, 0, 0)});  // no top speed: it never starts
  Frames(3);
  EXPECT_EQ(objectSpeed[0], 0.0);
  EXPECT_EQ(objectMoveZ[0], 0.0);
}

TEST(ObjectMotion, TurnCycleFromTheLoadersStartClock) {
  // Object 0 divides by 10 / 2: x = 2150 gives 430. Object 4 divides by 4 / 2: x = 1000
  // gives 500, then 250.
  std::vector<SceneObjectSpec> objects(5, Object(0, 0, 0));
  objects[0].x = 2150;
  objects[4].x = 1000;
  Load(objects);
  ASSERT_EQ(objectTurnClock[0], 430);
  ASSERT_EQ(objectTurnClock[4], 250);
  struct Row {
    int frames;  // run so many frames in all
    int clock;
    double heading;
  };
  const Row rows[] = {
      {1, 431, 2},           // clock 430: +2
      {9, 439, 18},          // up to clock 438
      {10, 1, 20},           // clock 439 still turns, then 0, counted to 1
      {160, 151, 20},        // straight from 1 to 150
      {161, 152, 18},        // clock 151: the first -2
      {229, 220, 20 - 138},  // 69 frames of -2
      {379, 370, -118},      // straight up to 369
      {449, 1, -118 + 140},  // 70 frames of +2, back to 1
  };
  int done = 0;
  for (const Row& row : rows) {
    Frames(row.frames - done);
    done = row.frames;
    EXPECT_EQ(objectTurnClock[0], row.clock) << "after " << row.frames << " frames";
    EXPECT_EQ(objectHeading[0], row.heading) << "after " << row.frames << " frames";
  }
}

TEST(ObjectMotion, MeetingAPostProbesBothWaysThenTurnsAwaySlowed) {
  SceneObjectSpec o = Object(0, 0, 1);
  o.flagA = 1;
  Load({o}, {{0, -7.5}});  // posts block within 2 x 3 = 6
  MoveObjects(0);          // to z = -1: 6.5 from the post
  ASSERT_EQ(objectCurZ[0], -1.0);
  MoveObjects(0);  // to z = -2: blocked, and so is every probe of 3 at +-0.4, 0.8, 1.2
  double swerve = 0;
  for (int k = 0; k < 4; ++k) swerve -= 0.4;  // the sweep ends at -1.6 (-pi/2 or less)
  swerve = -swerve * 2.5;                     // turned away to the left: +10 degrees
  EXPECT_EQ(objectHeading[0], 10.0);
  // The turned step of 1 / swerve is tested against the post with 3 alone: free.
  const double a = -10 * degToRad, speed = 1 / swerve;
  EXPECT_EQ(objectSpeed[0], speed);
  EXPECT_EQ(objectMoveX[0], -std::sin(a) * speed);
  EXPECT_EQ(objectMoveZ[0], -1 - std::cos(a) * speed);
  EXPECT_EQ(objectCurX[0], objectMoveX[0]);
  EXPECT_EQ(objectEvading[0], 0);
  EXPECT_EQ(objectSwerve[0], 0.0);
  EXPECT_EQ(objectSwervePhase[0], 1);
  EXPECT_EQ(objectTurnClock[0], 2);
  obstacleCount = 0;  // nothing in the way any more: the speed climbs back from there
  MoveObjects(0);
  EXPECT_EQ(objectSpeed[0], speed + 1);

  // The first free probe also ends in turning away: a post ahead and off to the side, so
  // that the probe swerved by +0.4 to the other side is free.
  o = Object(0, 0, 1);
  o.flagA = 1;
  Load({o}, {{5, -7.5}});
  Frames(2);
  EXPECT_EQ(objectHeading[0], -10.0);  // swerve 0.4 >= 0: turned right
  const double free = 0.4 * 2.5;       // 1: no slow-down
  EXPECT_EQ(objectSpeed[0], 1 / free);
}

TEST(ObjectMotion, ABoxedInObjectStaysAndKeepsEvading) {
  SceneObjectSpec o = Object(0, 0, 1, 3);
  o.flagA = 1;
  Load({o}, {{0, 0}});  // a post on the object itself blocks every step
  MoveObjects(0);
  EXPECT_EQ(objectMoveX[0], 0.0);
  EXPECT_EQ(objectMoveZ[0], 0.0);
  EXPECT_EQ(objectCurX[0], 0.0);
  EXPECT_EQ(objectCurZ[0], 0.0);
  EXPECT_EQ(objectEvading[0], 1);
  EXPECT_EQ(objectHeading[0], 10.0);
  EXPECT_EQ(objectTurnClock[0], 1);
  MoveObjects(0);
  EXPECT_EQ(objectCurZ[0], 0.0);
  EXPECT_EQ(objectTurnClock[0], 2);
}

// Between one and two clearances from its own point every turned step is refused, and the
// swerve the object carries grows 2.5 times a frame until it is held at 1e6: the object stays
// where it stands, turning away by 10 degrees a frame, every value finite. Frame 775 would
// carry an infinite swerve without the bound. A person by a kerb point (clearance 1) as well.
TEST(ObjectMotion, AnObjectHeldByItsOwnPointStaysFiniteWhereItStands) {
  struct Case {
    double z, clearance;
  };
  for (const Case c : {Case{105, 3}, Case{101.5, 1}}) {
    SCOPED_TRACE("clearance " + std::to_string(c.clearance));
    SceneObjectSpec o = Object(0, c.z, 1, c.clearance);
    o.flagB = 1;
    o.waypoints = {{0, 100}};
    Load({o});
    for (int frame = 1; frame <= 1200; ++frame) {
      MoveObjects(0);
      const double values[] = {objectCurX[0],  objectCurZ[0],    objectMoveX[0], objectMoveZ[0],
                               objectSpeed[0], objectHeading[0], objectSwerve[0]};
      for (double v : values) ASSERT_TRUE(std::isfinite(v)) << "frame " << frame;
      ASSERT_LE(std::hypot(objectMoveX[0], objectMoveZ[0]), c.clearance) << "frame " << frame;
      ASSERT_LE(objectSwerve[0], 1e6) << "frame " << frame;
    }
    EXPECT_EQ(objectSwerve[0], 1e6);
    EXPECT_EQ(objectEvading[0], 1);
  }
  // The swerve carried out of the first three frames, before the bound plays a part.
  SceneObjectSpec o = Object(0, 105, 1, 3);
  o.flagB = 1;
  o.waypoints = {{0, 100}};
  Load({o});
  for (double swerve : {4.0, 9.0, 21.5}) {
    MoveObjects(0);
    EXPECT_NEAR(objectSwerve[0], swerve, 1e-9);
  }
}

// The checker warns of an object that starts strictly inside the blocking square (half side
// twice its clearance) of something it avoids; what it does not avoid, or only touches, is
// no matter.
TEST(ObjectMotion, TheCheckerWarnsOfAnObjectThatStartsBlocked) {
  struct Case {
    int flagA, flagB;
    double pointZ, postZ;  // its own point and a post, both on the line x = 0
    const char* warning;   // nullptr: none
  };
  const Case cases[] = {
      {0, 1, 100, 500, "starts within twice its clearance (3) of its own point 1"},
      {0, 0, 100, 500, nullptr},  // it does not avoid its own points
      {0, 1, 99, 500, nullptr},   // exactly 6 away: on the square's edge, which does not block
      {1, 0, 500, 110, "starts within twice its clearance (3) of post 1"},
      {0, 0, 500, 110, nullptr},  // it does not avoid posts
  };
  for (const Case& c : cases) {
    SceneObjectSpec o = Object(0, 105, 1, 3);
    o.flagA = c.flagA;
    o.flagB = c.flagB;
    o.waypoints = {{0, c.pointZ}};
    const SceneDiagnostics diag = Load({o}, {{0, c.postZ}});
    std::string found;
    for (const SceneDiagnostic& d : diag.items)
      if (d.message.find("starts within") != std::string::npos) found = d.message;
    if (c.warning == nullptr) {
      EXPECT_EQ(found, "") << c.flagA << c.flagB << " " << c.pointZ << " " << c.postZ;
    } else {
      EXPECT_NE(found.find(c.warning), std::string::npos) << found;
      EXPECT_NE(found.find("object 0 "), std::string::npos) << found;
    }
  }
}

TEST(ObjectMotion, FreezesOutsideItsSquareAroundTheViewerAndWakesWhereItStopped) {
  SceneObjectSpec o = Object(50, 0, 1);  // 50 from the viewer along x
  o.cullTest = 1;
  o.cullDistance = 50;
  o.x = 50;
  Load({o});
  const int clock = objectTurnClock[0];
  Frames(3);  // exactly on the square's edge: frozen
  EXPECT_EQ(objectTurnClock[0], clock);
  EXPECT_EQ(objectMotionState[0], 0);
  EXPECT_EQ(objectSpeed[0], 0.0);
  travelX = 1e-9;  // the viewer moves a little towards it: inside
  Frames(2);
  EXPECT_EQ(objectTurnClock[0], clock + 2);
  EXPECT_EQ(objectMotionState[0], 1);
  travelX = -1;  // outside again: everything stays
  const double z = objectCurZ[0];
  Frames(5);
  EXPECT_EQ(objectTurnClock[0], clock + 2);
  EXPECT_EQ(objectCurZ[0], z);
  travelX = 0.5;
  MoveObjects(0);
  EXPECT_EQ(objectTurnClock[0], clock + 3);
  EXPECT_EQ(objectSpeed[0], 1.0);  // top speed 1, reached before the freeze
}

}  // namespace
