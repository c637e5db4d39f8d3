// Walking against obstacle points: the square test, the deflection search, giving up, the
// slow-down, the step redone after a give-up, and a blocked jump.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "motion/point_grid.h"
#include "scene_writer.h"
#include "unit/walk_test_scene.h"

namespace {

TEST(WalkObstacles, SquareTestIsStrictAndIgnoresRowsThatDoNotExist) {
  SetUpWalkScene(0, {{10, 0}, {0, 20}});
  EXPECT_TRUE(ObstacleHit(2.5, 0, 8));
  EXPECT_TRUE(ObstacleHit(17.9, 7.9, 8));
  EXPECT_FALSE(ObstacleHit(2, 0, 8));  // exactly on the edges
  EXPECT_FALSE(ObstacleHit(18, 0, 8));
  EXPECT_FALSE(ObstacleHit(10, 8, 8));
  EXPECT_FALSE(ObstacleHit(10, -8, 8));
  EXPECT_TRUE(ObstacleHit(0, 12.5, 8));  // the second point
  EXPECT_FALSE(ObstacleHit(-20, 0, 8));
  obstacleCount = 5;  // more than the tables hold
  EXPECT_FALSE(ObstacleHit(-20, 0, 8));
  obstacleCount = 0;
  EXPECT_FALSE(ObstacleHit(10, 0, 8));
}

TEST(WalkObstacles, WalkingIntoAPostGivesUpInFrontOfItAndTheNextStepIsRedone) {
  SetUpWalkScene(0, {{0, -10}});
  Press(VK_UP);
  WalkModeStep();  // to z = -1: 9 from the post, free
  ASSERT_EQ(eyeZ, -1.0);
  sideSpeed = 1.5;
  WalkModeStep();  // to z = -3 is inside; +0.01, +0.02, -0.01, -0.02 probes all hit
  EXPECT_EQ(eyeX, 0.0);
  EXPECT_EQ(eyeZ, -1.0);
  EXPECT_EQ(forwardSpeed, 0.0);
  EXPECT_EQ(sideSpeed, 0.0);
  EXPECT_EQ(stepBlocked, 1);
  EXPECT_EQ(forwardDeflection, 0.0);
  EXPECT_EQ(forwardDeflectPhase, 1);
  EXPECT_EQ(forwardSpeedSaved, 2.0);
  const double lastProbe = -0.0 + (0.0 - 0.01 - 0.01);
  EXPECT_EQ(forwardDeflectHeading, lastProbe);
  EXPECT_EQ(travelX, 0.0);
  EXPECT_EQ(travelZ, -1.0);
  EXPECT_EQ(sideDeflectHeading, 0.0);  // the side channel keeps its own

  // Next frame: speed 1 reaches z = -2, exactly 8 from the post, which is free. As the last
  // step was blocked it is undone and redone along the last probe's heading.
  WalkModeStep();
  const double x = -std::sin(lastProbe) * 1.0;
  const double z = -1.0 - std::cos(lastProbe) * 1.0;
  EXPECT_EQ(eyeX, x);
  EXPECT_EQ(eyeZ, z);
  EXPECT_EQ(stepBlocked, 0);
  EXPECT_EQ(forwardSpeed, 1.0);
  EXPECT_EQ(travelX, -std::sin(lastProbe) * 1.0);
  EXPECT_EQ(travelZ, -1.0 - std::cos(lastProbe) * 1.0);
}

TEST(WalkObstacles, AfterAForwardGiveUpASidestepIsRedoneAlongItsOwnChannelHeading) {
  SetUpWalkScene(0, {{0, -10}});
  eyeZ = -1;
  forwardSpeed = 1;
  Press(VK_UP);
  WalkModeStep();
  ASSERT_EQ(stepBlocked, 1);
  ASSERT_NE(forwardDeflectHeading, 0.0);
  Release(VK_UP);
  Press(VK_RIGHT);
  WalkModeStep();  // free sidestep of 1, finished along sideDeflectHeading (still 0)
  EXPECT_EQ(stepBlocked, 0);
  EXPECT_EQ(eyeX, -std::sin(0.0) * 1.0);
  EXPECT_EQ(eyeZ, -1.0 - std::cos(0.0) * 1.0);
  EXPECT_EQ(sideSpeed, 1.0);
}

TEST(WalkObstacles, APostCornerIsPassedAlongTheFirstFreeDeflection) {
  // The step from the origin to z = -2 touches the post's square at x = +-7.95; the probes of
  // length 8 reach x = -+0.08 per 0.01 radian of deflection.
  SetUpWalkScene(0, {{7.95, -5}});
  forwardSpeed = 1;
  Press(VK_UP);
  WalkModeStep();  // +0.01 is free at once
  double hd = -0.0 + (0.0 + 0.01);
  EXPECT_EQ(forwardDeflectHeading, hd);
  EXPECT_EQ(eyeX, -std::sin(hd) * 2.0);  // divisor max(1, 0.01 x 3) = 1
  EXPECT_EQ(eyeZ, -std::cos(hd) * 2.0);
  EXPECT_EQ(forwardSpeed, 2.0);
  EXPECT_EQ(forwardDeflection, 0.0);
  EXPECT_EQ(forwardDeflectPhase, 1);
  EXPECT_EQ(stepBlocked, 0);
  EXPECT_EQ(travelX, eyeX);
  EXPECT_EQ(travelZ, eyeZ);

  // Mirrored post: +0.01 and +0.02 hit, -0.01 is free.
  SetUpWalkScene(0, {{-7.95, -5}});
  forwardSpeed = 1;
  Press(VK_UP);
  WalkModeStep();
  hd = -0.0 + (0.0 - 0.01);
  EXPECT_EQ(forwardDeflectHeading, hd);
  EXPECT_EQ(eyeX, -std::sin(hd) * 2.0);
  EXPECT_EQ(eyeZ, -std::cos(hd) * 2.0);
  EXPECT_EQ(forwardDeflectPhase, 1);

  // A large slow-down factor: the speed is divided by |d| x k and stays reduced.
  SetUpWalkScene(0, {{-7.95, -5}});
  walkSlowdownFactor = 200;
  forwardSpeed = 1;
  Press(VK_UP);
  WalkModeStep();
  const double divisor = std::fabs(0.0 - 0.01) * 200;
  EXPECT_EQ(forwardSpeed, 2.0 / divisor);
  EXPECT_EQ(eyeX, -std::sin(hd) * (2.0 / divisor));
  EXPECT_EQ(eyeZ, -std::cos(hd) * (2.0 / divisor));
  WalkModeStep();
  EXPECT_EQ(forwardSpeedSaved, 2.0 / divisor + 1.0);  // accelerated from the reduced speed
}

TEST(WalkObstacles, BackwardStepsProbeBackwardAndTheLimitItselfIsNotTried) {
  // Walking backward into a post behind: the probes go backward too, all are blocked.
  SetUpWalkScene(0, {{0, 9}});
  forwardSpeed = -1;
  Press(VK_DOWN);
  WalkModeStep();
  EXPECT_EQ(forwardSpeed, 0.0);
  EXPECT_EQ(stepBlocked, 1);
  EXPECT_NEAR(eyeZ, 0.0, 1e-12);

  // With a limit of exactly 0.02 the tries are +0.01 and -0.01 only. Here +0.02 would be free
  // (the probe reaches x = -0.16, 8.04 from the post) but is never tried.
  SetUpWalkScene(0, {{7.88, -5}});
  walkDeflectLimit = 0.01 + 0.01;
  forwardSpeed = 1;
  Press(VK_UP);
  WalkModeStep();
  EXPECT_EQ(forwardSpeed, 0.0);
  EXPECT_EQ(stepBlocked, 1);
  EXPECT_NEAR(eyeX, 0.0, 1e-12);
  EXPECT_NEAR(eyeZ, 0.0, 1e-12);
}

TEST(WalkObstacles, DeflectedHeadingsTurnFromTheMoveAngle) {
  // Heading 90 walks along +x; a post 10 ahead is met on the second step.
  SetUpWalkScene(90, {{10, 0}});
  Press(VK_UP);
  WalkModeStep();
  WalkModeStep();
  EXPECT_EQ(stepBlocked, 1);
  EXPECT_EQ(moveAngle, -90 * degToRad);
  EXPECT_EQ(forwardDeflectHeading, -90 * degToRad + (0.0 - 0.01 - 0.01));
  EXPECT_NEAR(eyeX, 1.0, 1e-12);
  EXPECT_NEAR(eyeZ, 0.0, 1e-12);
}

TEST(WalkObstacles, SearchReachesWideDeflectionsAndStopsOnNonsenseLimits) {
  // Boxed in on every side but the back: probes of length 8 are free only where
  // -cos(d) x 8 is at least 3.5, so the first free deflection is the first sum of 0.01s beyond
  // that.
  SetUpWalkScene(0, {{0, -5}});
  collisionRadius = 8.5;
  forwardSpeed = 1;
  moveAngle = 0;
  double d = 0;
  do d += 0.01;
  while (-std::cos(d) * 8 - -5.0 < 8.5);
  EXPECT_FALSE(DeflectedStep(StepChannel::Forward, 8.5, 0.01, 3.0, 3.0));
  EXPECT_EQ(forwardDeflectHeading, d);
  EXPECT_EQ(forwardSpeed, 1.0 / (d * 3.0));
  EXPECT_EQ(eyeX, -std::sin(d) * (1.0 / (d * 3.0)));

  // Nothing is free at all: a huge limit or one that is not a number still gives up.
  for (const double limit : {1e9, std::nan("")}) {
    SetUpWalkScene(0, {{0, 0}});
    forwardSpeed = 1;
    moveAngle = 0;
    EXPECT_TRUE(DeflectedStep(StepChannel::Forward, 8.5, 0.01, limit, 3.0));
    EXPECT_EQ(eyeX, 0.0);
    EXPECT_EQ(eyeZ, 0.0);
    EXPECT_EQ(forwardSpeed, 0.0);
    EXPECT_EQ(forwardDeflection, 0.0);
    EXPECT_EQ(forwardDeflectPhase, 1);
  }
}

TEST(WalkObstacles, VariantHookRunsBeforeTheSlowDownAndGiveUpCanKeepTheSideSpeed) {
  static double speedSeen, deflectionSeen, xSeen;
  speedSeen = deflectionSeen = xSeen = 0;
  SetUpWalkScene(0, {{7.95, -5}});
  forwardSpeed = 2;
  moveAngle = 0;
  DeflectVariant variant;
  variant.beforeSlowdown = [] {
    speedSeen = forwardSpeed;
    deflectionSeen = forwardDeflection;
    xSeen = eyeX;
  };
  EXPECT_FALSE(DeflectedStep(StepChannel::Forward, 8, 0.1, 1.0, 3.0, variant));
  EXPECT_EQ(speedSeen, collisionStep);  // the probe speed
  EXPECT_EQ(deflectionSeen, 0.1);
  EXPECT_EQ(xSeen, 0.0);         // the probe is undone first
  EXPECT_EQ(forwardSpeed, 2.0);  // 0.1 x 3 is below 1: no slow-down

  SetUpWalkScene(0, {{0, 0}});
  forwardSpeed = 2;
  sideSpeed = 0.5;
  variant.giveUpStopsSide = false;
  EXPECT_TRUE(DeflectedStep(StepChannel::Forward, 8.5, 0.1, 1.0, 3.0, variant));
  EXPECT_EQ(forwardSpeed, 0.0);
  EXPECT_EQ(sideSpeed, 0.5);
}

TEST(WalkObstacles, BlockedJumpMoveStartsTheFallAndStopsBothSpeeds) {
  SetUpWalkScene(0, {{0, -10}});
  eyeZ = -1;
  forwardSpeed = 2;
  sideSpeed = 1;
  Press(VK_SPACE);
  WalkModeStep();
  EXPECT_EQ(jumpLift, 2.5);
  EXPECT_EQ(eyeZ, -1.0);
  EXPECT_EQ(forwardSpeed, 0.0);
  EXPECT_EQ(sideSpeed, 0.0);
  EXPECT_EQ(stepBlocked, 1);
  EXPECT_EQ(jumpRising, 0);
  EXPECT_EQ(jumpFalling, 1);
  EXPECT_EQ(jumpLatch, 1);
  EXPECT_EQ(travelZ, 0.0);
  WalkModeStep();
  EXPECT_EQ(jumpLift, 0.0);
  EXPECT_EQ(jumpFalling, 0);
  EXPECT_EQ(stepBlocked, 0);  // the standing jump move is free
  WalkModeStep();
  EXPECT_EQ(jumpLift, 0.0);  // Space still held: latched
}

}  // namespace

namespace {

// Random numbers of a fixed sequence.
struct Sequence {
  std::uint64_t seed = 12345;
  double operator()(double low, double high) {
    seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
    return low + (high - low) * static_cast<double>(seed >> 11) / 9007199254740992.0;
  }
};

// A town's worth of points: walls of points 4 apart, points strewn at random, a duplicate,
// points far out.
std::vector<std::pair<double, double>> TownPoints(Sequence& random) {
  std::vector<std::pair<double, double>> points;
  for (int k = 0; k < 1500; ++k) points.push_back({-600 + 4.0 * k, 200.0});  // a wall along x
  for (int k = 0; k < 500; ++k) points.push_back({96.0, -1000 + 4.0 * k});   // and along z
  for (int k = 0; k < 2000; ++k) points.push_back({random(-2000, 2000), random(-2000, 2000)});
  points.push_back(points[7]);
  points.push_back({1e15, 3});
  points.push_back({-1e200, -1e200});
  return points;
}

// Tests hit against the scan of points (the definition: strictly inside the open square) at
// every point's square edges (exactly on them, and one double inside), at random places and
// with every kind of half-size; the number of tests that disagree.
template <typename Hit>
int Disagreements(const std::vector<std::pair<double, double>>& points, Sequence& random, Hit hit) {
  const auto scan = [&points](double x, double z, double h) {
    for (const auto& [px, pz] : points)
      if (x - px < h && px - x < h && z - pz < h && pz - z < h) return true;
    return false;
  };
  const double inf = INFINITY;
  const double halves[] = {8, 3, 12, 32, 0.5, 1e-300, 0, -1, 1e9, inf, std::nan("")};
  int tests = 0, hits = 0, wrong = 0;
  const auto check = [&](double x, double z, double h) {
    const bool want = scan(x, z, h);
    wrong += hit(x, z, h) != want;
    ++tests;
    hits += want;
  };
  for (std::size_t i = 0; i < points.size(); i += 23) {
    const auto [px, pz] = points[i];
    for (const double h : halves)
      for (const double dx : {-h, h, 0.0})
        for (const double dz : {-h, h, 0.0}) {
          check(px + dx, pz + dz, h);
          check(std::nextafter(px + dx, px), std::nextafter(pz + dz, pz), h);
        }
  }
  for (int k = 0; k < 6000; ++k) check(random(-2100, 2100), random(-2100, 2100), halves[k % 11]);
  for (const double v : {inf, -inf, std::nan("")}) check(v, 0, 8), check(0, v, 8), check(v, v, inf);
  EXPECT_GT(hits, tests / 10);
  return wrong;
}

}  // namespace

// The grids over a town's posts and over an object's own points give exactly the scan's
// answers, and a test among thousands of points compares only those of a few cells.
TEST(WalkObstacles, PointGridsAnswerAsTheScanDoes) {
  Sequence random;
  std::vector<std::pair<double, double>> posts = TownPoints(random);
  SetUpWalkScene(0, posts);
  for (const double x :
       {std::nan(""), double{INFINITY}, 96.0}) {  // not finite: straight into the tables
    obstacleX.push_back(x);
    obstacleZ.push_back(x == 96 ? -INFINITY : 200.0);
    posts.push_back({x, x == 96 ? -INFINITY : 200.0});
  }
  obstacleCount += 3;
  EXPECT_EQ(Disagreements(posts, random, ObstacleHit), 0);
  EXPECT_TRUE(ObstacleHit(1.5, 202, 8));  // beside the wall along x
  EXPECT_TRUE(LastPointTest().grid);
  EXPECT_LE(LastPointTest().compared, 12);
  EXPECT_FALSE(ObstacleHit(1.5, 150, 8));
  EXPECT_TRUE(LastPointTest().grid);
  EXPECT_LE(LastPointTest().compared, 4);

  // Object 1 of two keeps the same points as its own (object 0 a few others).
  SceneSpec plan;
  plan.objects.resize(2);
  plan.objects[0].waypoints = {{5, 5}, {6, 6}};
  plan.objects[1].waypoints = TownPoints(random);
  LoadScene(plan);
  const std::vector<std::pair<double, double>> own = plan.objects[1].waypoints;
  EXPECT_EQ(Disagreements(own, random,
                          [](double x, double z, double h) { return OwnPointsHit(1, x, z, h); }),
            0);
  EXPECT_TRUE(OwnPointsHit(1, 1.5, 202, 8));
  EXPECT_TRUE(LastPointTest().grid);
  EXPECT_LE(LastPointTest().compared, 12);
  EXPECT_FALSE(OwnPointsHit(0, 5, 12, 6));  // a few points: scanned
  EXPECT_FALSE(LastPointTest().grid);
}
