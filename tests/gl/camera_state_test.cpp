// GL calls of the projection, the cameras and the render state set at load.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/frame.h"
#include "app/shell.h"
#include "app/view.h"
#include "common/numbers.h"
#include "gl/recorder.h"
#include "motion/camera.h"
#include "motion/viewer.h"
#include "platform/win32.h"
#include "render/render_state.h"
#include "scene/scene.h"

namespace {

// Values as the recorder prints a float and a double argument.
std::string F(double v) { return FloatText(v); }
std::string D(double v) { return DoubleText(v); }

class CameraState : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramState();
    recorder::Clear();
    // The frame interval has not passed, so ReshapeView's redraw draws nothing.
    lastTick = static_cast<int>(GetTickCount());
  }
};

TEST_F(CameraState, ReshapeSetsViewportPerspectiveAndTheStartCamera) {
  ControlMode = 1;
  fieldOfView = 60;
  farPlane = 5000;
  eyeX = 10;
  eyeY = -5;
  eyeZ = 20;
  targetY = -5;
  lookDistance = 100;
  headingRad = 0.5;
  light1Enabled = 1;
  ReshapeView(801, 600);
  EXPECT_EQ(viewCentreX, 400.0);
  EXPECT_EQ(viewCentreY, 300.0);
  const double tx = 10 + std::cos(0.5) * 100;
  const double tz = 20 - std::sin(0.5) * 100;
  const std::vector<std::string> expected = {
      "glViewport(0,0,801,600)",
      "glMatrixMode(PROJECTION)",
      "glLoadIdentity()",
      "gluPerspective(60," + D(static_cast<float>(801.0f / 600.0f)) + ",1,5000)",
      "glMatrixMode(MODELVIEW)",
      "glLoadIdentity()",
      "gluLookAt(10,-5,20," + D(tx) + ",-5," + D(tz) + ",0,-1,0)",
      "glLightfv(LIGHT1,POSITION,10,-5,5020,1)"};
  EXPECT_EQ(recorder::Calls(), expected);
}

TEST_F(CameraState, ReshapeWhilePausedRedrawsOnceAndStaysPaused) {
  RunState = 1;
  ReshapeView(200, 150);
  EXPECT_EQ(RunState, 1);
  lastTick -= 40;  // now a frame is due
  recorder::Clear();
  ReshapeView(200, 150);
  EXPECT_EQ(RunState, 1);
  EXPECT_EQ(recorder::Count("glFlush"), 1);
}

TEST_F(CameraState, ReshapeWithZeroHeightUsesOneAndChaseModesKeepTheirTarget) {
  ControlMode = 3;
  lookEyeX = 1;
  lookEyeY = 2;
  lookEyeZ = 3;
  targetX = 4;
  targetY = 5;
  targetZ = 6;
  ReshapeView(300, 0);
  EXPECT_EQ(viewCentreY, 0.0);
  const auto calls = recorder::CallsStartingWith({"glViewport", "gluPerspective", "gluLookAt"});
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0], "glViewport(0,0,300,1)");
  EXPECT_EQ(calls[1], "gluPerspective(0,300,1,0)");
  EXPECT_EQ(calls[2], "gluLookAt(1,2,3,4,5,6,0,-1,0)");
}

TEST_F(CameraState, WalkCameraLiftsTheEyeAndTiltsAboutEachPivot) {
  bodyX = 100;
  bodyY = -10;
  bodyZ = 50;
  travelX = 2;
  travelZ = -3;
  eyeX = 102;
  eyeY = -10;
  eyeZ = 47;
  targetX = 1;
  targetY = -10;
  targetZ = 2;
  headingRad = 0.3;
  lookPitch = 12;
  WalkCamera(-4, {-4, 6}, false, false);
  const double ax = std::sin(0.3) * 12, az = std::cos(0.3) * 12;
  const std::vector<std::string> expected = {"glMatrixMode(MODELVIEW)",
                                             "glLoadIdentity()",
                                             "gluLookAt(102,-14,47,1,-14,2,0,-1,0)",
                                             "glTranslatef(102,-14,47)",
                                             "glRotatef(" + F(ax) + ",1,0,0)",
                                             "glRotatef(" + F(az) + ",0,0,1)",
                                             "glTranslatef(-102,14,-47)",
                                             "glTranslatef(102,-4,47)",
                                             "glRotatef(" + F(ax) + ",1,0,0)",
                                             "glRotatef(" + F(az) + ",0,0,1)",
                                             "glTranslatef(-102,4,-47)"};
  EXPECT_EQ(recorder::Calls(), expected);
}

TEST_F(CameraState, HeadingRulesWrapOnceAndFollowTheModesHeading) {
  heading = 361;
  WrapHeading();
  EXPECT_EQ(heading, 1);
  heading = 360;
  WrapHeading();
  EXPECT_EQ(heading, 360);
  heading = -360.5;
  WrapHeading();
  EXPECT_EQ(heading, -0.5);
  heading = 725;  // one turn only
  WrapHeading();
  EXPECT_EQ(heading, 365);

  ControlMode = 1;
  heading = 30;
  smoothHeading = 10;
  ViewAngle();
  EXPECT_EQ(headingRad, -(30.0 - 90) * degToRad);
  ControlMode = 4;
  ViewAngle();
  EXPECT_EQ(headingRad, -(10.0 - 90) * degToRad);
}

TEST_F(CameraState, LightsAreOnlyPlacedWhenEnabled) {
  eyeX = 1;
  eyeY = 2;
  eyeZ = 3;
  ViewerLights();
  EXPECT_TRUE(recorder::Calls().empty());
  light0Enabled = 1;
  light1Enabled = 2;  // only 1 switches a light on
  ViewerLights();
  EXPECT_EQ(recorder::Calls(), std::vector<std::string>{"glLightfv(LIGHT0,POSITION,1,152,203,1)"});
}

TEST_F(CameraState, RenderStateFollowsTheSceneSwitches) {
  clearRed = 0.25;
  clearGreen = 0.5;
  clearBlue = 0.1;
  smoothShading = 2;
  SetupRenderState();
  const std::vector<std::string> plain = {"glClearColor(0.25,0.5," + F(0.1) + ",0)",
                                          "glEnable(DEPTH_TEST)",
                                          "glEnable(COLOR_MATERIAL)",
                                          "glMaterialfv(FRONT_AND_BACK,AMBIENT,0,0,0,1)",
                                          "glMaterialfv(FRONT_AND_BACK,DIFFUSE,0.5,0.5,0.5,1)",
                                          "glMaterialfv(FRONT_AND_BACK,SPECULAR,1,1,1,1)",
                                          "glMaterialf(FRONT_AND_BACK,SHININESS,50)",
                                          "glMaterialfv(FRONT_AND_BACK,EMISSION,0,0,0,1)"};
  EXPECT_EQ(recorder::Calls(), plain);  // no shading call, no lighting

  recorder::Clear();
  smoothShading = 0;
  light1Enabled = 1;
  light1Level = 0.75;
  SetupRenderState();
  const auto calls = recorder::Calls();
  EXPECT_EQ(recorder::Count("glShadeModel(FLAT)"), 1);
  EXPECT_EQ(recorder::Count("glEnable(LIGHTING)"), 1);
  EXPECT_EQ(recorder::Count("glEnable(LIGHT0)"), 0);
  EXPECT_EQ(
      recorder::CallsStartingWith({"glLight"}),
      (std::vector<std::string>{
          "glLightfv(LIGHT1,SPECULAR,0,0,0,1)", "glLightfv(LIGHT1,DIFFUSE,0.75,0.75,0.75,1)",
          "glLightf(LIGHT1,CONSTANT_ATTENUATION,0.5)", "glLightf(LIGHT1,LINEAR_ATTENUATION,0)",
          "glLightf(LIGHT1,QUADRATIC_ATTENUATION,0)"}));

  recorder::Clear();
  ResetScene();
  light0Enabled = 1;
  SetupRenderState();
  EXPECT_EQ(recorder::Count(("glLightf(LIGHT0,QUADRATIC_ATTENUATION," + F(0.000005) + ")").c_str()),
            1);
  EXPECT_EQ(recorder::Count(("glLightf(LIGHT0,LINEAR_ATTENUATION," + F(0.0002) + ")").c_str()), 1);
}

}  // namespace
