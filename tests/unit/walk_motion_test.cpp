// Walking: speeds, reversal, release, turning, sidestep, crouch and jump, frame by frame.
#include <gtest/gtest.h>

#include <cmath>

#include "unit/walk_test_scene.h"

namespace {

// Where a step of speed v along move angle a takes the eye: (-sin a, -cos a) x v.
void ExpectStep(double& x, double& z, double a, double v) {
  x -= std::sin(a) * v;
  z -= std::cos(a) * v;
  EXPECT_EQ(eyeX, x);
  EXPECT_EQ(eyeZ, z);
}

TEST(WalkMotion, UpAcceleratesToTheDefaultTopSpeedAndReleaseStopsAtOnce) {
  SetUpWalkScene(30);
  const double a = -30 * degToRad;
  double x = 0, z = 0;
  Press(VK_UP);
  WalkModeStep();
  EXPECT_EQ(forwardSpeed, 1.0);
  EXPECT_EQ(moveAngle, a);
  ExpectStep(x, z, a, 1.0);
  for (int frame = 0; frame < 3; ++frame) {
    WalkModeStep();
    EXPECT_EQ(forwardSpeed, 2.0);
    ExpectStep(x, z, a, 2.0);
  }
  // The walk goes toward the look-at target: heading 30 looks along (cos 60deg, -sin 60deg).
  EXPECT_NEAR(eyeX, 7 * std::cos(60 * degToRad), 1e-12);
  EXPECT_NEAR(eyeZ, -7 * std::sin(60 * degToRad), 1e-12);
  EXPECT_EQ(travelX, eyeX);
  EXPECT_EQ(travelZ, eyeZ);

  Release(VK_UP);
  EXPECT_EQ(forwardSpeed, 0.0);
  EXPECT_EQ(moveKey, 0);
  WalkModeStep();
  EXPECT_EQ(eyeX, x);
  EXPECT_EQ(eyeZ, z);
  EXPECT_EQ(eyeY, 0.0);
}

TEST(WalkMotion, SpeedGrowsOnlyWhileBelowTheLimit) {
  SetUpWalkScene();
  walkAccel = 0.3;
  Press(VK_UP);
  double expected = 0;
  int frames = 0;
  for (; frames < 20; ++frames) {
    if (expected < 2.0) expected += 0.3;
    WalkModeStep();
    ASSERT_EQ(forwardSpeed, expected) << "frame " << frames;
  }
  // 0.3, 0.6, ..., 1.8, 2.1, then it stays.
  EXPECT_NEAR(forwardSpeed, 2.1, 1e-12);
  EXPECT_GT(forwardSpeed, walkMaxSpeed);
}

TEST(WalkMotion, DownReversesAtOnceAndOneReleasedKeyKeepsTheOther) {
  SetUpWalkScene();
  Press(VK_UP);
  WalkModeStep();
  WalkModeStep();
  ASSERT_EQ(forwardSpeed, 2.0);
  Press(VK_DOWN);  // Up still held
  WalkModeStep();
  EXPECT_EQ(forwardSpeed, -1.0);
  Release(VK_UP);  // Down still held: nothing stops
  EXPECT_EQ(moveKey, 1);
  EXPECT_EQ(forwardSpeed, -1.0);
  const double z = eyeZ;
  WalkModeStep();
  EXPECT_EQ(forwardSpeed, -2.0);
  EXPECT_EQ(eyeZ, z + 2.0);  // backward along heading 0 is +z
  Release(VK_DOWN);
  EXPECT_EQ(forwardSpeed, 0.0);
  EXPECT_EQ(moveKey, 0);
}

TEST(WalkMotion, SidestepWithTurnStyleOneMovesAcrossTheView) {
  SetUpWalkScene(10);
  const double a = (90 - 10.0) * degToRad;
  double x = 0, z = 0;
  Press(VK_RIGHT);
  WalkModeStep();
  EXPECT_EQ(sideSpeed, 1.0);
  EXPECT_EQ(moveAngle, a);
  ExpectStep(x, z, a, 1.0);
  WalkModeStep();
  ExpectStep(x, z, a, 2.0);
  EXPECT_EQ(heading, 10.0);
  Press(VK_LEFT);  // both held: Right adds (at the limit: nothing), Left reverses
  WalkModeStep();
  EXPECT_EQ(sideSpeed, -1.0);
  ExpectStep(x, z, a, -1.0);
  Release(VK_RIGHT);
  EXPECT_EQ(sideSpeed, -1.0);
  Release(VK_LEFT);
  EXPECT_EQ(sideSpeed, 0.0);
  EXPECT_EQ(sideKey, 0);

  // A sidestep and a walk in one frame: each its own step.
  Press(VK_RIGHT);
  Press(VK_UP);
  WalkModeStep();
  x -= std::sin(a) * 1.0;
  z -= std::cos(a) * 1.0;
  const double walk = -10 * degToRad;
  x -= std::sin(walk) * 1.0;
  z -= std::cos(walk) * 1.0;
  EXPECT_EQ(eyeX, x);
  EXPECT_EQ(eyeZ, z);
  EXPECT_EQ(moveAngle, walk);
}

TEST(WalkMotion, TurnStyleTwoTurnsFiveDegreesMirroredWhileReversing) {
  SetUpWalkScene(355);
  turnStyle = 2;
  Press(VK_LEFT);
  WalkModeStep();
  EXPECT_EQ(turnRate, 5.0);
  EXPECT_EQ(heading, 360.0);  // 360 itself stays
  WalkModeStep();
  EXPECT_EQ(heading, 5.0);  // 365 wrapped once
  EXPECT_EQ(headingRad, -(5.0 - 90) * degToRad);
  EXPECT_EQ(eyeX, 0.0);  // turning alone does not move
  EXPECT_EQ(eyeZ, 0.0);
  EXPECT_EQ(targetX, std::cos(headingRad) * lookDistance);
  EXPECT_EQ(targetZ, -std::sin(headingRad) * lookDistance);

  Press(VK_DOWN);  // Left with Down turns the other way and walks backward
  WalkModeStep();
  EXPECT_EQ(turnRate, -5.0);
  EXPECT_EQ(heading, 0.0);
  EXPECT_EQ(forwardSpeed, -1.0);
  EXPECT_EQ(eyeZ, 1.0);

  Press(VK_RIGHT);  // Right wins over Left; Down mirrors it
  WalkModeStep();
  EXPECT_EQ(turnRate, 5.0);
  EXPECT_EQ(heading, 5.0);
  Release(VK_DOWN);
  WalkModeStep();
  EXPECT_EQ(turnRate, -5.0);
  EXPECT_EQ(heading, 0.0);
}

TEST(WalkMotion, CrouchGoesDownAndUpInHalfDepthSteps) {
  SetUpWalkScene();
  Press(VK_CONTROL);
  EXPECT_EQ(acceleration, throttleBoostStep);
  const double expectDown[] = {3, 6, 6};
  for (double e : expectDown) {
    WalkModeStep();
    EXPECT_EQ(crouchOffset, e);
  }
  Release(VK_CONTROL);
  EXPECT_EQ(acceleration, throttleStep);
  const double expectUp[] = {3, 0, 0};
  for (double e : expectUp) {
    WalkModeStep();
    EXPECT_EQ(crouchOffset, e);
  }
  // An odd depth: the last step up is cut at 0.
  crouchDepth = 5;
  Press(VK_CONTROL);
  WalkModeStep();
  WalkModeStep();
  EXPECT_EQ(crouchOffset, 5.0);
  WalkModeStep();
  EXPECT_EQ(crouchOffset, 5.0);
  Release(VK_CONTROL);
  WalkModeStep();
  WalkModeStep();
  EXPECT_EQ(crouchOffset, 0.0);
  // Walking goes on while crouched.
  Press(VK_CONTROL);
  Press(VK_UP);
  WalkModeStep();
  EXPECT_EQ(crouchOffset, 2.5);
  EXPECT_EQ(eyeZ, -1.0);
  EXPECT_EQ(eyeY, 0.0);
}

TEST(WalkMotion, JumpRisesAndFallsEightFramesEachAndHeldSpaceGivesOneJump) {
  SetUpWalkScene();
  Press(VK_UP);
  WalkModeStep();
  WalkModeStep();
  ASSERT_EQ(forwardSpeed, 2.0);
  ASSERT_EQ(eyeZ, -3.0);
  Press(VK_SPACE);
  for (int k = 1; k <= 8; ++k) {
    WalkModeStep();
    EXPECT_EQ(jumpLift, 2.5 * k);
    EXPECT_EQ(forwardSpeed, 2.0);  // no acceleration during a jump
    EXPECT_EQ(eyeZ, -3.0 - 2.0 * k);
  }
  EXPECT_EQ(jumpRising, 0);
  EXPECT_EQ(jumpFalling, 1);
  EXPECT_EQ(jumpLatch, 1);
  for (int k = 7; k >= 0; --k) {
    WalkModeStep();
    EXPECT_EQ(jumpLift, 2.5 * k);
  }
  EXPECT_EQ(jumpFalling, 0);
  EXPECT_EQ(jumpLatch, 1);  // Space held all the way down
  EXPECT_EQ(eyeZ, -3.0 - 2.0 * 16);

  // Releasing Up stops the jump's horizontal motion at once: check on the next jump.
  WalkModeStep();
  EXPECT_EQ(jumpLift, 0.0);  // no second jump while Space stays down
  Release(VK_SPACE);
  Press(VK_SPACE);
  WalkModeStep();
  EXPECT_EQ(jumpLift, 2.5);
  Release(VK_UP);
  const double z = eyeZ;
  WalkModeStep();
  EXPECT_EQ(jumpLift, 5.0);
  EXPECT_EQ(eyeZ, z);
  EXPECT_EQ(eyeY, 0.0);
}

TEST(WalkMotion, SpaceReleasedDuringTheFallAllowsTheNextJumpRightAfterLanding) {
  SetUpWalkScene();
  Press(VK_SPACE);
  for (int k = 0; k < 8; ++k) WalkModeStep();
  ASSERT_EQ(jumpLatch, 1);
  WalkModeStep();  // 17.5
  Release(VK_SPACE);
  EXPECT_EQ(jumpLatch, 0);
  WalkModeStep();  // 15
  Press(VK_SPACE);
  for (int k = 0; k < 6; ++k) WalkModeStep();
  EXPECT_EQ(jumpLift, 0.0);
  EXPECT_EQ(jumpFalling, 0);
  WalkModeStep();
  EXPECT_EQ(jumpLift, 2.5);
  EXPECT_EQ(jumpRising, 1);

  // The latch is also cleared by a falling frame that finds Space up, without a key-up.
  SetUpWalkScene();
  keySpace = 1;
  for (int k = 0; k < 8; ++k) WalkModeStep();
  keySpace = 0;
  WalkModeStep();
  EXPECT_EQ(jumpLatch, 0);
}

TEST(WalkMotion, CrouchPausesAJumpThatResumesAfterStandingUp) {
  SetUpWalkScene();
  Press(VK_SPACE);
  WalkModeStep();
  WalkModeStep();
  WalkModeStep();
  ASSERT_EQ(jumpLift, 7.5);
  Release(VK_SPACE);  // the rise goes on by itself
  Press(VK_CONTROL);
  WalkModeStep();
  WalkModeStep();
  WalkModeStep();
  EXPECT_EQ(crouchOffset, 6.0);
  EXPECT_EQ(jumpLift, 7.5);
  EXPECT_EQ(jumpRising, 1);
  Release(VK_CONTROL);
  WalkModeStep();
  WalkModeStep();
  EXPECT_EQ(crouchOffset, 0.0);
  EXPECT_EQ(jumpLift, 7.5);
  WalkModeStep();
  EXPECT_EQ(jumpLift, 10.0);
  for (int k = 0; k < 4; ++k) WalkModeStep();
  EXPECT_EQ(jumpLift, 20.0);
  EXPECT_EQ(jumpFalling, 1);
  EXPECT_EQ(eyeY, 0.0);
}

}  // namespace
