// Driving from the driver's seat, frame by frame, with the default settings as the loader
// leaves them (a scene read from text): throttle, brake and reverse, steering and its limits,
// self-centring, the handbrake, the heading's wrap, posts, and the body sway. Expected values
// are worked out from the rules.
#include "motion/drive.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "common/keys.h"
#include "common/scene_load.h"
#include "motion/vehicle.h"
#include "motion/viewer.h"
#include "scene/scene.h"

namespace {

// A mode-2 scene with the default settings, the car at the origin heading north (-z), and
// the given posts.
void LoadCar(std::vector<std::pair<double, double>> posts = {}) {
  SceneSpec plan;
  plan.settings.ControlMode = 2;
  plan.settings.startTargetZ = -100;
  plan.posts = std::move(posts);
  LoadScene(plan);
}

void Frames(int n) {
  for (int f = 0; f < n; ++f) DriveStep();
}

TEST(Driving, ThrottleToTheTopSpeedWithAndWithoutCtrl) {
  for (const bool boost : {false, true}) {
    LoadCar();
    if (boost) Press(VK_CONTROL);
    Press(VK_UP);
    const double step = boost ? 0.3 : 0.07;
    const int frames = boost ? 17 : 72;  // the first speed at or above 5
    double speed = 0, travelled = 0;
    for (int f = 1; f <= frames + 3; ++f) {
      DriveStep();
      if (f <= frames) speed += step;  // it adds only while below the top speed
      travelled += speed;
      ASSERT_NEAR(forwardSpeed, speed, 1e-9) << "frame " << f;
      EXPECT_EQ(highSpeed, forwardSpeed >= 2.5 ? 1 : 0);
      EXPECT_EQ(braking, 0);
    }
    EXPECT_GT(forwardSpeed, 5.0);
    EXPECT_LT(forwardSpeed, 5.0 + step);
    // The body pitches back by 0.2 a frame (0.3 with Ctrl) up to the limit of 4.
    EXPECT_EQ(bodyPitch, 4.0);
    EXPECT_NEAR(bodyPitchOvershoot, 4.2, 1e-12);
    EXPECT_NEAR(eyeZ, -travelled, 1e-9);  // north by the speeds summed
    EXPECT_EQ(eyeX, 0.0);
    EXPECT_NEAR(targetZ, eyeZ - 100, 1e-9);  // the target follows, lookDistance ahead
  }
}

TEST(Driving, BrakingThroughZeroCrawlsAndReverses) {
  struct Row {
    int frame;
    double speed;
    int braking;
  };
  // Down at 3.0: -0.07 - 0.7 a frame while still going forward; once below 0.1 it is -0.1;
  // then -0.07 a frame while above -5.
  LoadCar();
  forwardSpeed = 3.0;
  Press(VK_DOWN);
  const Row down[] = {{1, 2.23, 1}, {2, 1.46, 1},  {3, 0.69, 1},
                      {4, -0.1, 1}, {5, -0.17, 0}, {6, -0.24, 0}};
  int done = 0;
  for (const Row& r : down) {
    Frames(r.frame - done);
    done = r.frame;
    EXPECT_NEAR(forwardSpeed, r.speed, 1e-9) << "frame " << r.frame;
    EXPECT_EQ(braking, r.braking) << "frame " << r.frame;
  }
  Frames(100);
  EXPECT_LE(forwardSpeed, -5.0);
  EXPECT_GT(forwardSpeed, -5.07);
  EXPECT_EQ(highSpeed, 1);

  // Up while reversing at 1.0: braking ends at a crawl of 0.1 forward, never more.
  LoadCar();
  forwardSpeed = -1.0;
  Press(VK_UP);
  const Row up[] = {{1, -0.23, 1}, {2, 0.1, 1}, {3, 0.17, 0}};
  done = 0;
  for (const Row& r : up) {
    Frames(r.frame - done);
    done = r.frame;
    EXPECT_NEAR(forwardSpeed, r.speed, 1e-9) << "frame " << r.frame;
    EXPECT_EQ(braking, r.braking) << "frame " << r.frame;
  }
}

TEST(Driving, SteeringLimitsFreezingAndSelfCentring) {
  // At a standstill a steering key sets the turn rate to 0 and the heading stays.
  LoadCar();
  turnRate = 2;
  Press(VK_LEFT);
  DriveStep();
  EXPECT_EQ(turnRate, 0.0);
  EXPECT_EQ(heading, 0.0);

  // Rolling at 1: the limit is the speed x 1.5 before this frame's coasting; the rate climbs
  // by 0.2 a frame up to it.
  LoadCar();
  forwardSpeed = 1.0;
  Press(VK_LEFT);
  const double rates[] = {0.2, 0.4, 0.6, 0.8, 1.0, 1.2, 1.4, 0.93 * 1.5, 0.92 * 1.5};
  double head = 0;
  for (double rate : rates) {
    DriveStep();
    head += rate;
    EXPECT_NEAR(turnRate, rate, 1e-9);
    EXPECT_NEAR(heading, head, 1e-9);
  }
  EXPECT_NEAR(bodyRoll, rates[8] * 0.8, 1e-9);  // rolling: roll = rate x bodyRollFactor

  // Counter-steering from the other side first takes the return step, then the steer step.
  turnRate = -1;
  Release(VK_LEFT);
  Press(VK_LEFT);
  DriveStep();
  EXPECT_NEAR(turnRate, -1 + 0.4 + 0.2, 1e-12);

  // Braking (Down while going forward) or Ctrl freezes the wheel and the heading.
  for (const WPARAM freezer : {WPARAM{VK_DOWN}, WPARAM{VK_CONTROL}}) {
    LoadCar();
    forwardSpeed = 3;
    turnRate = 1;
    Press(VK_LEFT);
    Press(freezer);
    DriveStep();
    EXPECT_EQ(turnRate, 1.0);
    EXPECT_EQ(heading, 0.0);
  }

  // No steering key: the rate returns by 0.4 a frame; passing zero levels the roll, landing
  // exactly on it does not.
  LoadCar();
  forwardSpeed = 3;
  turnRate = 1.0;
  bodyRoll = 0.8;
  Frames(2);
  EXPECT_NEAR(turnRate, 0.2, 1e-12);
  EXPECT_NEAR(bodyRoll, 0.2 * 0.8, 1e-12);  // set by the rolling path from the rate
  DriveStep();
  EXPECT_EQ(turnRate, 0.0);
  EXPECT_EQ(bodyRoll, 0.0);
  LoadCar();
  forwardSpeed = 3;
  turnRate = 0.8;
  Frames(2);  // 0.4, then exactly 0
  EXPECT_EQ(turnRate, 0.0);
  EXPECT_NEAR(bodyRoll, 0.4 * 0.8, 1e-12);

  // After a handbrake turn the rate returns by |forwardSpeed| a frame.
  LoadCar();
  forwardSpeed = 3;
  turnRate = 5;
  handbrakeTurn = 1;
  DriveStep();
  EXPECT_NEAR(turnRate, 2.0, 1e-12);
}

TEST(Driving, HandbrakeTurnsBothWaysSlideTheCarRound) {
  struct Case {
    double speed;
    WPARAM key;
    double rate, pitch, speedAfter;
  };
  // Limit speed x 1.5 x 1.5; Left raises the rate by 0.5 going forward and lowers it going
  // backward; the speed loses 0.2; the body pitches by 4 x 0.2 against the motion.
  const Case cases[] = {
      {4, VK_LEFT, 0.5, -0.8, 3.8},
      {4, VK_RIGHT, -0.5, -0.8, 3.8},
      {-2, VK_LEFT, -0.5, 0.8, -1.8},
      {-2, VK_RIGHT, 0.5, 0.8, -1.8},
      {0.1, VK_LEFT, 0.1 * 1.5 * 1.5, -0.8, 0},  // the limit holds the rate
  };
  for (const Case& c : cases) {
    LoadCar();
    forwardSpeed = c.speed;
    Press(VK_SPACE);
    Press(c.key);
    DriveStep();
    EXPECT_NEAR(turnRate, c.rate, 1e-12) << c.speed;
    EXPECT_NEAR(heading, c.rate, 1e-12);
    EXPECT_NEAR(bodyPitch, c.pitch, 1e-12);
    EXPECT_NEAR(forwardSpeed, c.speedAfter, 1e-12);
    EXPECT_EQ(braking, 1);
    EXPECT_EQ(handbrakeTurn, 1);
    // The car slides: it moves one more turn rate ahead of its heading.
    EXPECT_NEAR(moveAngle, -2 * c.rate * degToRad, 1e-12);
    if (c.speedAfter != 0) {
      EXPECT_NEAR(eyeX, -std::sin(moveAngle) * c.speedAfter, 1e-12);
    }
    EXPECT_NEAR(bodyRoll, c.rate / 1.5 * 0.8, 1e-12);
  }
}

TEST(Driving, TheHeadingWrapsOnceAtPlusOrMinus360) {
  struct Case {
    double heading, rate, after;
  };
  // Self-centring hands the rate on (rate - 0.4 this frame).
  const Case cases[] = {{359, 3.4, 2}, {-358, -3.4, -1}, {357, 3.4, 360}, {-357, -3.4, -360}};
  for (const Case& c : cases) {
    LoadCar();
    forwardSpeed = 3;
    heading = c.heading;
    turnRate = c.rate;
    DriveStep();
    EXPECT_NEAR(heading, c.after, 1e-9) << c.heading;
    EXPECT_NEAR(headingRad, -(heading - 90) * degToRad, 1e-15);
  }
}

TEST(Driving, PostsDeflectTheCarTurnItAndSlowItForGood) {
  struct Case {
    double postX;
    double deflection;  // the first free one
    double turn;        // heading change, degrees
  };
  // Rolling north at 2 (1.99 after coasting) from the origin: the step ends 7.01 in front of
  // a post 9 ahead, inside its square of 8. Probes of 8 along 0.1, 0.2, ... then -0.1, ...
  const Case cases[] = {{5, 0.4, -4}, {2, 0.9, -4}, {-5, -0.4, 4}};
  for (const Case& c : cases) {
    LoadCar({{c.postX, -9}});
    forwardSpeed = 2;
    DriveStep();
    EXPECT_NEAR(heading, c.turn, 1e-12) << c.postX;
    const double speed = 1.99 / std::max(1.0, std::fabs(c.deflection) * 2);
    EXPECT_NEAR(forwardSpeed, speed, 1e-12) << c.postX;
    EXPECT_NEAR(eyeX, -std::sin(c.deflection) * speed, 1e-9);
    EXPECT_NEAR(eyeZ, -std::cos(c.deflection) * speed, 1e-9);
    EXPECT_EQ(stepBlocked, 0);
    EXPECT_EQ(forwardDeflection, 0.0);
    EXPECT_EQ(forwardDeflectPhase, 1);
  }

  // Boxed in: every deflection is blocked; the car stops where it stood, its roll decays, and
  // the side speed is left alone.
  LoadCar({{0, -5}});
  forwardSpeed = 2;
  sideSpeed = 1.5;
  bodyRoll = 2;
  DriveStep();
  EXPECT_EQ(forwardSpeed, 0.0);
  EXPECT_EQ(eyeX, 0.0);
  EXPECT_EQ(eyeZ, 0.0);
  EXPECT_EQ(stepBlocked, 1);
  EXPECT_EQ(sideSpeed, 1.5);
  EXPECT_NEAR(bodyRoll, 1.2, 1e-12);
  EXPECT_EQ(travelZ, 0.0);
}

TEST(Driving, RollingToAStopRelaxesThePitch) {
  LoadCar();
  forwardSpeed = 0.025;
  bodyPitch = 0.5;
  Frames(3);  // 0.015, 0.005, then below 0: 0
  EXPECT_EQ(forwardSpeed, 0.0);
  EXPECT_EQ(bodyPitch, 0.0);  // 0.3, 0.1, then below 0: 0
  EXPECT_EQ(bodyPitchOvershoot, -0.2);
  bodyRoll = 1.0;
  Frames(1);  // standing: the roll moves 0.8 towards 0
  EXPECT_NEAR(bodyRoll, 0.2, 1e-12);
  Frames(1);
  EXPECT_EQ(bodyRoll, 0.0);
}

TEST(BodySway, RocksAfterAStopSettlesAndTrembles) {
  LoadCar();
  // A standing car: P 1.0, O 1.2 -> 0.0, -1.0, -2.0 (past -1.2: O -0.857.., P -0.8), 0.2,
  // then both within 1.2 of level: settled.
  bodyPitch = 1.0;
  bodyPitchOvershoot = 1.2;
  const double pitches[] = {0.0, -1.0, -0.8, 0.0};
  const double overshoots[] = {1.2, 1.2, 1.2 / -1.4, 0.0};
  for (int f = 0; f < 4; ++f) {
    BodySway(kDriverSeat);
    EXPECT_NEAR(bodyPitch, pitches[f], 1e-12) << "frame " << f + 1;
    EXPECT_NEAR(bodyPitchOvershoot, overshoots[f], 1e-12) << "frame " << f + 1;
  }
  // At rest in mode 2 the trembling flips sign each frame (0.17 / 2.4 after loading).
  const double v = 0.17 / 2.4;
  EXPECT_EQ(trembleAmplitude, v);
  BodySway(kDriverSeat);
  EXPECT_EQ(trembleAmplitude, -v);
  BodySway(kDriverSeat);
  EXPECT_EQ(trembleAmplitude, v);
  EXPECT_EQ(bodyPitch, 0.0);

  // At speed in mode 2: P 0.3 returns by 2 x 0.2, clamped at 0; O = P - 0.2.
  forwardSpeed = 3;
  highSpeed = 1;
  bodyPitch = 0.3;
  BodySway(kDriverSeat);
  EXPECT_EQ(bodyPitch, 0.0);
  EXPECT_EQ(bodyPitchOvershoot, -0.2);

  // Mode 4 at rest: the trembling goes into the pitch itself, which alternates.
  forwardSpeed = 0;
  bodyPitch = 0.5;
  bodyPitchOvershoot = 0;
  trembleAmplitude = 0.17;
  BodySway(kChaseView);
  EXPECT_NEAR(bodyPitch, 0.33, 1e-12);
  BodySway(kChaseView);
  EXPECT_NEAR(bodyPitch, 0.5, 1e-12);
  // ... and it returns by 2.4 x 0.2 a frame at speed.
  forwardSpeed = 3;
  bodyPitch = -1;
  BodySway(kChaseView);
  EXPECT_NEAR(bodyPitch, -1 + 2.4 * 0.2, 1e-12);
  EXPECT_NEAR(bodyPitchOvershoot, bodyPitch + 0.2, 1e-12);
}

}  // namespace
