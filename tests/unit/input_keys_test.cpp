// Keys: control flags, speed stops on release, Ctrl's acceleration, pause, maximise, quit;
// the left button's drag and single redraw while paused.
#include <gtest/gtest.h>

#include "unit/input_test_window.h"

namespace {

using input_test::OpenWindow;
using input_test::Pump;

TEST(InputKeys, MoveAndSideFlagsFollowBothKeysOfAPair) {
  OpenWindow();
  Press(VK_UP);
  Press(VK_DOWN);
  EXPECT_EQ(keyUp, 1);
  EXPECT_EQ(keyDown, 1);
  EXPECT_EQ(moveKey, 1);
  forwardSpeed = 2;
  Release(VK_DOWN);
  EXPECT_EQ(moveKey, 1);
  EXPECT_EQ(forwardSpeed, 2.0);
  Release(VK_UP);
  EXPECT_EQ(moveKey, 0);
  EXPECT_EQ(forwardSpeed, 0.0);

  Press(VK_LEFT);
  Press(VK_RIGHT);
  EXPECT_EQ(sideKey, 1);
  sideSpeed = -2;
  Release(VK_LEFT);
  EXPECT_EQ(keyLeft, 0);
  EXPECT_EQ(sideKey, 1);
  EXPECT_EQ(sideSpeed, -2.0);
  Release(VK_RIGHT);
  EXPECT_EQ(sideKey, 0);
  EXPECT_EQ(sideSpeed, 0.0);

  // A key released that was never pressed still clears the pair when the other is up.
  moveKey = 1;
  forwardSpeed = 1;
  Release(VK_DOWN);
  EXPECT_EQ(moveKey, 0);
  EXPECT_EQ(forwardSpeed, 0.0);

  // Auto-repeat is handled like the first press; other keys change nothing.
  Press(VK_SPACE);
  Press(VK_SPACE);
  EXPECT_EQ(keySpace, 1);
  jumpLatch = 1;
  Press('A');
  Press(VK_SHIFT);
  Release('A');
  EXPECT_EQ(keySpace, 1);
  EXPECT_EQ(jumpLatch, 1);
  EXPECT_EQ(moveKey + sideKey + keyUp + keyDown + keyLeft + keyRight + keyCtrl, 0);
  Release(VK_SPACE);
  EXPECT_EQ(keySpace, 0);
  EXPECT_EQ(jumpLatch, 0);
}

TEST(InputKeys, WalkingSpeedStopsOnReleaseOnlyInTheWalkingModes) {
  for (const int mode : {1, 2, 3, 4}) {
    OpenWindow();
    ControlMode = mode;
    Press(VK_UP);
    Press(VK_RIGHT);
    forwardSpeed = 1.5;
    sideSpeed = 0.5;
    Release(VK_UP);
    Release(VK_RIGHT);
    EXPECT_EQ(forwardSpeed, mode == 1 || mode == 3 ? 0.0 : 1.5) << "mode " << mode;
    EXPECT_EQ(sideSpeed, 0.0) << "mode " << mode;
    EXPECT_EQ(moveKey, 0);
  }
}

TEST(InputKeys, CtrlSwitchesTheAcceleration) {
  OpenWindow();
  throttleStep = 0.07;
  throttleBoostStep = 0.3;
  acceleration = throttleStep;
  Press(VK_CONTROL);
  EXPECT_EQ(keyCtrl, 1);
  EXPECT_EQ(acceleration, 0.3);
  Release(VK_CONTROL);
  EXPECT_EQ(keyCtrl, 0);
  EXPECT_EQ(acceleration, 0.07);
}

TEST(InputKeys, F2PausesWithTheCursorShownAndResumesWithOneFrame) {
  OpenWindow();
  const int shown = headless::CursorDisplayCount();
  Press(VK_F2);
  EXPECT_EQ(RunState, 1);
  EXPECT_EQ(headless::CursorDisplayCount(), shown + 1);

  // Keys still count while paused; frames do not run.
  Press(VK_UP);
  headless::AdvanceTick(100);
  FrameStep();
  EXPECT_EQ(eyeZ, 0.0);

  Press(VK_F2);
  EXPECT_EQ(RunState, 0);
  EXPECT_EQ(headless::CursorDisplayCount(), shown);
  EXPECT_EQ(lastTick, static_cast<int>(headless::Tick()));
  EXPECT_EQ(forwardSpeed, 1.0);  // exactly one motion step
  EXPECT_EQ(eyeZ, -1.0);
  // F2 again pauses again; a repeated pause toggle keeps the counter balanced.
  Press(VK_F2);
  Press(VK_F2);
  EXPECT_EQ(RunState, 0);
  EXPECT_EQ(headless::CursorDisplayCount(), shown);
}

TEST(InputKeys, F3MaximisesAndRestoresTheWindow) {
  OpenWindow(120, 90);
  ASSERT_EQ(windowMaximized, 0);
  Press(VK_F3);
  EXPECT_EQ(windowMaximized, 1);
  EXPECT_TRUE(headless::Window().maximized);
  EXPECT_EQ(headless::Window().width, headless::ScreenWidth());
  EXPECT_EQ(viewCentreX, headless::ScreenWidth() / 2);  // the window procedure reshaped
  Press(VK_F3);
  EXPECT_EQ(windowMaximized, 0);
  EXPECT_FALSE(headless::Window().maximized);
  EXPECT_EQ(headless::Window().x, 120);
  EXPECT_EQ(headless::Window().width, 200);
  EXPECT_TRUE(headless::DisplayChanges().empty());
}

TEST(InputKeys, EscQuits) {
  OpenWindow();
  Release(VK_ESCAPE);
  EXPECT_FALSE(headless::QuitPosted());
  Press(VK_ESCAPE);
  EXPECT_TRUE(headless::QuitPosted());
}

TEST(InputKeys, LeftButtonDragsThePausedWindowAndRedrawsOnceOnRelease) {
  OpenWindow(100, 200, 130, 240);  // cursor at client (30, 40)
  Press(VK_F2);
  headless::PressLeftButton(30, 40);
  Pump();
  EXPECT_EQ(leftButtonDown, 1);
  EXPECT_EQ(dragOffsetX, 30);
  EXPECT_EQ(dragOffsetY, 40);
  const double headingBefore = heading;
  SetCursorPos(180, 265);
  Pump();
  EXPECT_EQ(headless::Window().x, 150);
  EXPECT_EQ(headless::Window().y, 225);
  EXPECT_TRUE(headless::Window().topmost);
  EXPECT_EQ(headless::Window().width, 200);
  EXPECT_EQ(cursorPos.x, 180);
  EXPECT_EQ(cursorPos.y, 265);
  EXPECT_EQ(heading, headingBefore);  // no mouse look while paused

  // Release while paused: one frame with the keys held, still paused afterwards.
  Press(VK_UP);
  headless::AdvanceTick(40);
  OnLeftButtonUp(0, MAKELPARAM(30, 40));
  EXPECT_EQ(leftButtonDown, 0);
  EXPECT_EQ(RunState, 1);
  EXPECT_EQ(eyeZ, -1.0);
  EXPECT_EQ(lastTick, static_cast<int>(headless::Tick()));

  // Moves without the button do not drag.
  SetCursorPos(300, 300);
  Pump();
  EXPECT_EQ(headless::Window().x, 150);

  // Release while running: no extra frame.
  Press(VK_F2);
  const int tickAfterResume = lastTick;
  const double z = eyeZ;
  headless::AdvanceTick(40);
  OnLeftButtonDown(0, MAKELPARAM(5, 6));
  OnLeftButtonUp(0, MAKELPARAM(5, 6));
  EXPECT_EQ(lastTick, tickAfterResume);
  EXPECT_EQ(eyeZ, z);
}

}  // namespace
