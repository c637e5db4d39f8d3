// Mouse look: one axis per message, re-centring, the divisors, the pitch clamp, the anchor
// taken at start, and what follows a look message in each mode.
#include <gtest/gtest.h>

#include <cmath>

#include "unit/input_test_window.h"

namespace {

using input_test::OpenWindow;
using input_test::Pump;
using input_test::PumpOne;
using input_test::ScreenOf;

// Window at (100, 200), centre (100, 75), the cursor resting on it and the look reference
// at the centre, as after any re-centring.
void OpenSettled() {
  OpenWindow(100, 200, 200, 275);
  mouseLastX = 100;
  mouseLastY = 75;
}

void ExpectCursorAt(int clientX, int clientY) {
  const POINT screen = ScreenOf(clientX, clientY);
  EXPECT_EQ(headless::CursorPos().x, screen.x);
  EXPECT_EQ(headless::CursorPos().y, screen.y);
}

TEST(InputMouse, AnchorKeepsTheScreenPositionAndTheFirstMessagesMeasureAgainstIt) {
  OpenWindow(100, 200, 237, 311);  // client (137, 111)
  ASSERT_EQ(viewCentreX, 100.0);
  ASSERT_EQ(viewCentreY, 75.0);
  AnchorMouseLook();
  EXPECT_EQ(mouseX, 237);
  EXPECT_EQ(mouseLastX, 237);
  EXPECT_EQ(mouseY, 311);
  EXPECT_EQ(mouseLastY, 311);
  EXPECT_EQ(headless::CursorPos().x, 237);
  // The cursor was set where it was: it did not move, so no message (as on Win32).
  EXPECT_EQ(headless::PendingMessages(), 0u);

  // The first move, to client (140, 113), right of the centre: the turn is measured against
  // the anchor's screen x, (237 - 140) / 8, and the cursor goes back to column 100.
  headless::MoveMouse(140, 113);
  ASSERT_TRUE(PumpOne());
  EXPECT_EQ(turnRate, (237 - 140) / 8.0);
  EXPECT_EQ(heading, 12.125);
  EXPECT_EQ(lookPitch, 0.0);
  ExpectCursorAt(100, 113);
  // Below the centre: tilt by (311 - 113) / 5 and apply the turn rate once more.
  ASSERT_TRUE(PumpOne());
  EXPECT_EQ(lookPitch, (311 - 113) / 5.0);
  EXPECT_EQ(heading, 24.25);
  ExpectCursorAt(100, 75);
  // At the centre: nothing left to measure.
  ASSERT_TRUE(PumpOne());
  EXPECT_EQ(turnRate, 0.0);
  EXPECT_EQ(heading, 24.25);
  EXPECT_EQ(lookPitch, 39.6);
  EXPECT_EQ(headingRad, -(24.25 - 90) * degToRad);
  EXPECT_FALSE(PumpOne());
}

TEST(InputMouse, EachAxisHasItsDivisorAndTheCursorReturnsToTheCentre) {
  OpenSettled();
  headless::MoveMouse(108, 75);
  ASSERT_TRUE(PumpOne());
  EXPECT_EQ(turnRate, -1.0);
  EXPECT_EQ(heading, -1.0);
  EXPECT_EQ(mouseLastX, 100);
  ExpectCursorAt(100, 75);
  ASSERT_TRUE(PumpOne());
  EXPECT_EQ(turnRate, 0.0);
  EXPECT_EQ(heading, -1.0);
  EXPECT_FALSE(PumpOne());

  headless::MoveMouse(99, 75);  // one pixel is enough to turn and re-centre
  ASSERT_TRUE(PumpOne());
  EXPECT_EQ(turnRate, 1 / 8.0);
  ExpectCursorAt(100, 75);
  Pump();
  EXPECT_EQ(heading, -1.0 + 1 / 8.0);
  heading = -1;

  headless::MoveMouse(100, 80);  // 5 down: the fixed divisor 5
  ASSERT_TRUE(PumpOne());
  EXPECT_EQ(lookPitch, -1.0);
  EXPECT_EQ(mouseLastY, 75);
  ExpectCursorAt(100, 75);
  Pump();
  EXPECT_EQ(lookPitch, -1.0);

  headless::MoveMouse(100, 55);  // 20 up: divisor 20
  Pump();
  EXPECT_EQ(lookPitch, 0.0);
  headless::MoveMouse(100, 35);  // 40 up
  Pump();
  EXPECT_EQ(lookPitch, 2.0);
  EXPECT_EQ(heading, -1.0);

  // A tilt message applies the turn rate in force again (here one left by the motion code).
  turnRate = 5;
  headless::MoveMouse(100, 80);
  PumpOne();
  EXPECT_EQ(heading, 4.0);
  EXPECT_EQ(lookPitch, 1.0);
  Pump();
  EXPECT_EQ(turnRate, 0.0);
  EXPECT_EQ(heading, 4.0);
}

TEST(InputMouse, DiagonalMovesAreTakenOneAxisPerMessageInBranchOrder) {
  OpenSettled();
  // Left and down: the row below the centre comes before the column left of it.
  headless::MoveMouse(92, 80);
  PumpOne();
  EXPECT_EQ(lookPitch, -1.0);
  EXPECT_EQ(heading, 0.0);
  ExpectCursorAt(92, 75);
  PumpOne();
  EXPECT_EQ(turnRate, 1.0);
  EXPECT_EQ(heading, 1.0);
  ExpectCursorAt(100, 75);
  Pump();
  EXPECT_EQ(heading, 1.0);

  // Right and up: the turn first, then the tilt (which applies the turn again).
  headless::MoveMouse(108, 70);
  PumpOne();
  EXPECT_EQ(heading, 0.0);
  PumpOne();
  EXPECT_EQ(lookPitch, -1.0 + 5 / 20.0);
  EXPECT_EQ(heading, -1.0);
  Pump();
  EXPECT_EQ(heading, -1.0);
}

TEST(InputMouse, PitchIsClampedToBothLimits) {
  OpenSettled();
  lookPitch = 69.5;
  headless::MoveMouse(100, 55);
  Pump();
  EXPECT_EQ(lookPitch, 70.0);
  pitchLimitDown = 10;
  lookPitch = -9.5;
  headless::MoveMouse(100, 80);
  Pump();
  EXPECT_EQ(lookPitch, -10.0);
  // At the centre too. There the message's own position becomes the reference, even when
  // the cursor has moved on since the message was sent.
  lookPitch = 69.9;
  mouseLastY = 95;
  const double headingBefore = heading;
  OnMouseMove(0, MAKELPARAM(130, 71));
  EXPECT_EQ(lookPitch, 70.0);
  EXPECT_EQ(turnRate, (100 - 130) / 8.0);
  EXPECT_EQ(heading, headingBefore + (100 - 130) / 8.0);
  EXPECT_EQ(mouseLastX, 130);
  EXPECT_EQ(mouseLastY, 71);
  EXPECT_EQ(headless::PendingMessages(), 0u);  // nothing to re-centre
}

TEST(InputMouse, WalkingFollowUpWrapsAndLoadsTheCameraUnlessAStepWillLoadIt) {
  OpenSettled();
  heading = 359.5;
  headless::MoveMouse(96, 75);  // +0.5
  Pump();
  EXPECT_EQ(heading, 360.0);
  EXPECT_EQ(headingRad, -(360.0 - 90) * degToRad);
  EXPECT_EQ(targetX, eyeX + std::cos(headingRad) * lookDistance);
  EXPECT_EQ(targetZ, eyeZ - std::sin(headingRad) * lookDistance);
  headless::MoveMouse(96, 75);
  Pump();
  EXPECT_EQ(heading, 0.5);

  // Walking and not blocked: the frame's step loads the camera, the target stays.
  moveKey = 1;
  targetX = targetZ = 1234;
  headless::MoveMouse(96, 75);
  Pump();
  EXPECT_EQ(heading, 1.0);
  EXPECT_EQ(headingRad, -(1.0 - 90) * degToRad);
  EXPECT_EQ(targetX, 1234.0);
  // Blocked: the look loads it.
  stepBlocked = 1;
  headless::MoveMouse(96, 75);
  Pump();
  EXPECT_EQ(targetX, eyeX + std::cos(headingRad) * lookDistance);
}

TEST(InputMouse, OtherModesAndPauseIgnoreOrOnlyTurn) {
  // Mode 3 turns without wrapping and marks the figure as turning.
  OpenSettled();
  ControlMode = 3;
  heading = 359.5;
  headingRad = 7;
  targetX = 1234;
  headless::MoveMouse(92, 75);
  Pump();
  EXPECT_EQ(heading, 360.5);
  EXPECT_EQ(headingRad, 7.0);
  EXPECT_EQ(targetX, 1234.0);
  EXPECT_EQ(motionKind, 3);

  // Mode 2: mouse moves change nothing and the cursor stays where it was moved.
  OpenSettled();
  ControlMode = 2;
  headless::MoveMouse(130, 20);
  Pump();
  EXPECT_EQ(heading, 0.0);
  EXPECT_EQ(lookPitch, 0.0);
  ExpectCursorAt(130, 20);

  // Paused: no look either.
  OpenSettled();
  Press(VK_F2);
  headless::MoveMouse(130, 20);
  Pump();
  EXPECT_EQ(heading, 0.0);
  ExpectCursorAt(130, 20);
}

}  // namespace

// A window whose centre lies off the screen (dragged past the right edge of the 1024-wide
// screen): putting the cursor back on the centre column leaves it at the edge. The cursor does
// not move any more there, so no further message comes, and mouse look settles after a
// handful of messages instead of answering itself for ever (a finding of the fuzzer).
TEST(InputMouse, ACentreOffTheScreenDoesNotKeepTheMessagesComing) {
  OpenWindow(950, 200, 1000, 250);  // centre column at screen x 1050: beyond the edge
  AnchorMouseLook();
  headless::MoveMouse(40, 60);  // screen (990, 260)
  EXPECT_LT(Pump(), 10);
  EXPECT_EQ(headless::CursorPos().x, 1023);  // held at the screen's edge
}
