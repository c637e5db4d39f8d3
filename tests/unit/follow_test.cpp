// Watched from outside: the heading smoothing of both forms, the walking figure of mode 3,
// the car of mode 4 with the chase view's rules, and the chase camera's boom. Expected values
// are worked out from the rules.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "common/keys.h"
#include "common/scene_load.h"
#include "motion/chase.h"
#include "motion/chase_drive.h"
#include "motion/drive.h"
#include "motion/vehicle.h"
#include "motion/viewer.h"
#include "motion/walker.h"
#include "scene/scene.h"

namespace {

// A scene of the given mode with the default settings, the body at the origin heading north
// (-z), the boom 30 long, and the given posts.
void Load(int mode, std::vector<std::pair<double, double>> posts = {}, int turnStyle = 1) {
  SceneSpec plan;
  plan.settings.ControlMode = mode;
  plan.settings.turnStyle = turnStyle;
  plan.settings.modeEyeY = -10;
  plan.settings.modeEyeZ = 30;  // modeRef at the origin: the boom is 30
  plan.posts = std::move(posts);
  LoadScene(plan);
}

TEST(HeadingSmoothing, BothFormsCatchUpByHalfAtLeastThreeAndSnap) {
  struct Case {
    bool whole;
    double smooth, heading;
    double smoothAfter, headingAfter;
  };
  const Case cases[] = {
      {true, 0, 5, 3, 5},           // half of 5 is 2: raised to 3
      {true, 0, 10, 5, 10},         //
      {true, 0, 2.5, 2.5, 2.5},     // closer than 3: snaps
      {true, 10, 0, 5, 0},          // from above
      {true, 0, 7, 3, 7},           // half of 7 truncated to 3
      {true, 359.5, 361, 1, 1},     // snapping wraps the heading
      {false, 0, 7, 3.5, 7},        // the car's form does not truncate
      {false, 0, 5, 3, 5},          //
      {false, 0, 10, 5, 10},        //
      {false, 0, 2.9, 2.9, 2.9},    //
      {false, -359, -361, -1, -1},  // snapped, and the heading wrapped
  };
  for (const Case& c : cases) {
    Load(c.whole ? kModeFollow : kModeChase);
    smoothHeading = c.smooth;
    heading = c.heading;
    SmoothHeadingStep(c.whole);
    EXPECT_EQ(smoothHeading, c.smoothAfter) << c.smooth << " -> " << c.heading;
    EXPECT_EQ(heading, c.headingAfter) << c.smooth << " -> " << c.heading;
    EXPECT_EQ(headingRad, -(smoothHeading - 90) * degToRad);
  }

  // A steady turn of 7 a frame keeps the car's shown heading 14 behind at the start of a
  // frame, so the heading is not wrapped: it passes 360.
  Load(kModeChase);
  for (int f = 0; f < 60; ++f) {
    SmoothHeadingStep(false);
    heading += 7;
  }
  EXPECT_NEAR(heading - smoothHeading, 14, 1e-6);
  EXPECT_EQ(heading, 420.0);
}

TEST(WalkingFigure, WalksTurnsAndSidestepsWithItsMotionKind) {
  // From rest: 1, 2, 2 (the top speed 2 is kept, not passed).
  Load(kModeFollow);
  Press(VK_UP);
  const double speeds[] = {1, 2, 2};
  double z = 0;
  for (double speed : speeds) {
    WalkerStep();
    z -= speed;
    EXPECT_EQ(forwardSpeed, speed);
    EXPECT_EQ(eyeZ, z);
    EXPECT_EQ(motionKind, 1);
  }

  // turnStyle 2: Left turns by +5; with Down the turn is mirrored and the figure walks back.
  Load(kModeFollow, {}, 2);
  Press(VK_LEFT);
  WalkerStep();
  EXPECT_EQ(heading, 5.0);
  EXPECT_EQ(motionKind, 3);
  EXPECT_EQ(smoothHeading, 0.0);  // the camera catches up next frame
  Press(VK_DOWN);
  WalkerStep();
  EXPECT_EQ(heading, 0.0);
  EXPECT_EQ(smoothHeading, 3.0);  // 5 - 0 halved to 2, raised to 3
  EXPECT_EQ(motionKind, 2);
  EXPECT_EQ(forwardSpeed, -1.0);

  // turnStyle 3: Left and Right do nothing in this mode.
  Load(kModeFollow, {}, 3);
  Press(VK_LEFT);
  WalkerStep();
  EXPECT_EQ(heading, 0.0);
  EXPECT_EQ(eyeX, 0.0);
  EXPECT_EQ(motionKind, 0);

  // turnStyle 1: Right steps sideways (east, +x) at walking speeds.
  Load(kModeFollow);
  Press(VK_RIGHT);
  WalkerStep();
  WalkerStep();
  EXPECT_NEAR(eyeX, -3.0, 1e-12);  // moved by -sin(90 deg) x 1, then x 2
  EXPECT_EQ(motionKind, 4);
}

TEST(WalkingFigure, PostsBlockWithinFourTimesTheRadius) {
  // A post 30 ahead: the step to 1 ends 29 from it, inside its square of 4 x 8 = 32, and so
  // does every probe of 8; the figure stops in both directions.
  Load(kModeFollow, {{0, -30}});
  Press(VK_UP);
  sideSpeed = 1;
  WalkerStep();
  EXPECT_EQ(eyeZ, 0.0);
  EXPECT_EQ(forwardSpeed, 0.0);
  EXPECT_EQ(sideSpeed, 0.0);
  EXPECT_EQ(stepBlocked, 1);
  // A post 33 ahead is outside the square after the first step.
  Load(kModeFollow, {{0, -33}});
  Press(VK_UP);
  WalkerStep();
  EXPECT_EQ(eyeZ, -1.0);
}

TEST(ChaseDriving, TwiceTheSquareNoWrapAndTheHandbrakeRoll) {
  // A post 12 (1.5 x 8) ahead of where the rolling car's step ends: free with the square of
  // mode 2, blocked with mode 4's square of 16.
  for (const int mode : {kModeDrive, kModeChase}) {
    Load(mode, {{0, -1.99 - 12}});
    forwardSpeed = 2;
    if (mode == kModeDrive) {
      DriveStep();
      EXPECT_EQ(eyeZ, -1.99);
    } else {
      ChaseDriveStep();
      EXPECT_NE(eyeZ, -1.99);
    }
  }
  // A handbrake turn: roll turnRate / 1.5 x 0.8, and the heading is not wrapped at 360.
  Load(kModeChase);
  heading = smoothHeading = 359.8;
  forwardSpeed = 4;
  Press(VK_SPACE);
  Press(VK_LEFT);
  ChaseDriveStep();
  EXPECT_NEAR(turnRate, 0.5, 1e-12);
  EXPECT_NEAR(heading, 360.3, 1e-9);
  EXPECT_NEAR(bodyRoll, 0.5 / 1.5 * 0.8, 1e-12);
  EXPECT_EQ(smoothHeading, 359.8);  // the smoothing ran first; it catches up next frame
}

TEST(ChaseCamera, TheBoomEasesOutPullsInAtPostsAndJumpsWhileSidestepping) {
  // No posts: the boom is its full 30; the camera eases out by 10 x 0.1 = 1 a frame.
  Load(kModeFollow);
  for (int f = 1; f <= 32; ++f) {
    ChaseCamera(kModeFollow);
    EXPECT_EQ(lookRefDistance, 30.0);
    EXPECT_NEAR(cameraDistance, std::min(f, 30), 1e-9) << f;
  }
  EXPECT_NEAR(lookEyeZ, 30, 1e-9);  // behind the body, which looks north
  EXPECT_NEAR(lookEyeX, 0, 1e-9);
  EXPECT_NEAR(targetZ, 0, 1e-9);  // a full boom length in front of the camera

  // A post 20 behind the body: the camera is inside its square of 8 beyond a boom of 12, so
  // the first hit is at 12.1 and the boom one step less; the camera comes in by 2 (walkMaxSpeed) a
  // frame, more while the shown heading lags (3 x the lag).
  obstacleCount = 1;
  obstacleX = {0, 0};
  obstacleZ = {0, 20};
  ChaseCamera(kModeFollow);
  const double boom = lookRefDistance;
  EXPECT_NEAR(boom, 12, 1e-9);
  EXPECT_NEAR(cameraDistance, 28, 1e-9);
  heading = 1;  // a lag of 1 degree
  ChaseCamera(kModeFollow);
  EXPECT_NEAR(cameraDistance, 28 - 3 - 2, 1e-6);
  heading = 0;
  for (int f = 0; f < 20; ++f) ChaseCamera(kModeFollow);
  EXPECT_NEAR(cameraDistance, boom, 1e-9);
  // The post gone, it eases back out.
  obstacleCount = 0;
  ChaseCamera(kModeFollow);
  EXPECT_NEAR(cameraDistance, boom + 1, 1e-9);

  // A post at the first step of the boom: its length is 0.
  Load(kModeFollow, {{0, 0.1}});
  ChaseCamera(kModeFollow);
  EXPECT_EQ(lookRefDistance, 0.0);
  EXPECT_EQ(cameraDistance, 0.0);

  // Sidestepping (turnStyle 1) in mode 3: the camera jumps to the boom.
  Load(kModeFollow);
  Press(VK_RIGHT);
  ChaseCamera(kModeFollow);
  EXPECT_EQ(cameraDistance, 30.0);
}

TEST(ChaseCamera, HostileBoomSettingsEndEveryFrame) {
  struct Case {
    double step;  // walkStep
    double full;  // lookRefDistanceSaved
    double boom;  // the length found
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Case cases[] = {
      {0, 30, 30}, {-1, 30, 30}, {nan, 30, 30}, {0.1, 1e12, 0.1 * (kMaxBoomExtensions + 1)}};
  for (const Case& c : cases) {
    Load(kModeFollow);
    walkStep = c.step;
    lookRefDistanceSaved = c.full;
    for (int f = 0; f < 100; ++f) ChaseCamera(kModeFollow);
    EXPECT_NEAR(lookRefDistance, c.boom, 1e-6) << c.step << " " << c.full;
  }
}

}  // namespace
