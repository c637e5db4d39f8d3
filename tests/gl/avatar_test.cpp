// Drawing the user's own model, by its GL calls: the placements and restores of modes 1 and 2
// (mode 2's restore turns back only half of the pitch and roll, after the driver's camera
// load), none outside 1..4, and the avatar form of the part switching: tilts before swings,
// undone in the reverse order, and at the end of the list.
#include "render/avatar.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <string>
#include <vector>

#include "app/shell.h"
#include "gl/recorder.h"
#include "motion/camera.h"
#include "motion/vehicle.h"
#include "motion/viewer.h"
#include "scene/scene.h"

namespace {

// A call's text as the recorder writes it, for float arguments.
std::string F(double v) {
  char buffer[64];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(v));
  return std::string(buffer, r.ptr);
}
std::string T(double x, double y, double z) {
  return "glTranslatef(" + F(x) + "," + F(y) + "," + F(z) + ")";
}
std::string D(double v) {
  char buffer[64];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
  return std::string(buffer, r.ptr);
}
std::string LookAt(double ex, double ey, double ez, double tx, double ty, double tz) {
  return "gluLookAt(" + D(ex) + "," + D(ey) + "," + D(ez) + "," + D(tx) + "," + D(ty) + "," +
         D(tz) + ",0,-1,0)";
}
std::string Rx(double a) { return "glRotatef(" + F(a) + ",1,0,0)"; }
std::string Ry(double a) { return "glRotatef(" + F(a) + ",0,1,0)"; }
std::string Rz(double a) { return "glRotatef(" + F(a) + ",0,0,1)"; }

std::vector<std::string> Transforms() {
  return recorder::CallsStartingWith(
      {"glTranslatef", "glRotatef", "glLoadIdentity", "gluLookAt", "glEnd"});
}

// The body at (11, -5, 22), heading 30 and the avatar turned by a further 180.
void SetUpBody(int mode) {
  ResetProgramState();
  ControlMode = mode;
  bodyX = 10;
  bodyY = -5;
  bodyZ = 20;
  travelX = 1;
  travelZ = 2;
  heading = 30;
  ViewAngle();
  avatarHeadingOffset = 180;
  recorder::Clear();
}

TEST(AvatarDrawing, ModeOnePlacesAtTheBodyPitchedWithTheLookAndRestoresExactly) {
  SetUpBody(kModeWalk);
  lookPitch = 10;
  jumpLift = 2;
  DrawAvatar();
  const double hr = headingRad;
  const std::vector<std::string> expected = {
      T(11, -7, 22), Rz(-std::cos(hr) * 10), Rx(-std::sin(hr) * 10), Ry(-210),
      Ry(210),       Rx(std::sin(hr) * 10),  Rz(std::cos(hr) * 10),  T(-11, 7, -22)};
  EXPECT_EQ(Transforms(), expected);

  // Outside modes 1..4 nothing is placed, restored or loaded.
  SetUpBody(0);
  DrawAvatar();
  EXPECT_TRUE(Transforms().empty());
}

TEST(AvatarDrawing, ModeTwoLoadsTheDriversCameraThenRestoresHalfThePitchAndRoll) {
  SetUpBody(kModeDrive);
  eyeX = 1;
  eyeY = -10;
  eyeZ = 2;
  targetX = 1;
  targetY = -10;
  targetZ = -98;
  forwardSpeed = 3;
  turnRate = 2;
  highSpeed = 0;
  braking = 0;
  bodyPitch = 2;
  bodyPitchOvershoot = 2.2;  // driving on, not braking: the sway leaves it
  bodyRoll = 1.6;
  trembleAmplitude = 0.05;
  DrawAvatar();
  EXPECT_EQ(turnRate, 2.0);  // kept while the car moves
  const double hr = headingRad, a = -30 * degToRad, v = 0.05, p = 2, r = 1.6;
  const std::vector<std::string> expected = {"glLoadIdentity()",
                                             "gluLookAt(1,-10,2,1,-10,-98,0,-1,0)",
                                             T(11, -5, 22),
                                             Rz(-std::sin(hr) * r),
                                             Rx(std::cos(hr) * r),
                                             Rz(-std::sin(a) * v),
                                             Rx(std::cos(a) * v),
                                             Rz(std::sin(a) * p),
                                             Rx(-std::cos(a) * p),
                                             Ry(-210),
                                             Ry(210),
                                             Rx(std::cos(a) * p / 2),
                                             Rz(-std::sin(a) * p / 2),
                                             Rx(-std::cos(a) * v),
                                             Rz(std::sin(a) * v),
                                             Rx(-std::cos(hr) * r / 2),
                                             Rz(std::sin(hr) * r / 2),
                                             T(-11, 5, -22)};
  EXPECT_EQ(Transforms(), expected);

  // A standing car's turn rate is written back to 0.
  forwardSpeed = 0;
  DrawAvatar();
  EXPECT_EQ(turnRate, 0.0);
}

// The chase views: the camera first placed on the boom (here its first frame: 1 out of 30),
// the figure turned by its own heading (not the smoothed one), and afterwards the view for the
// next frame loaded, raised by the look pitch.
TEST(AvatarDrawing, ChaseModesPlaceTheBodyAndLoadTheNextFramesView) {
  for (const int mode : {kModeFollow, kModeChase}) {
    SetUpBody(mode);
    eyeX = 11;
    eyeZ = 22;
    lookRefDistanceSaved = 30;
    walkStep = driveStep = 0.1;
    walkStepTen = driveStepTriple = 1;
    walkMaxSpeed = driveMaxSpeed = 2;
    modeEyeY = -10;
    lookPitch = 10;
    bodyPitch = 1.5;
    bodyPitchOvershoot = 1.7;
    highSpeed = 0;
    forwardSpeed = 2;  // driving on: the sway leaves the pitch alone
    bodyRoll = 0.8;
    DrawAvatar();
    const double hr = headingRad;  // from the smoothed heading, 0
    ASSERT_EQ(hr, -(0 - 90) * degToRad);
    const double ex = 11 - std::cos(hr), ez = 22 + std::sin(hr);
    const double ey = std::tan(10 * degToRad) * 1 - 10;
    std::vector<std::string> expected;
    if (mode == kModeFollow) {
      expected = {T(11, -5, 22), Ry(-210), Ry(210), T(-11, 5, -22)};
    } else {
      const double a = -30 * degToRad, r = (90 - 30) * degToRad, p = 1.5, roll = 0.8;
      expected = {T(11, -5, 22),
                  Rz(-std::sin(r) * roll),
                  Rx(std::cos(r) * roll),
                  Rz(std::sin(a) * p),
                  Rx(-std::cos(a) * p),
                  Ry(-210),
                  Ry(210),
                  Rx(std::cos(a) * p),
                  Rz(-std::sin(a) * p),
                  Rx(-std::cos(r) * roll),
                  Rz(std::sin(r) * roll),
                  T(-11, 5, -22)};
    }
    expected.push_back("glLoadIdentity()");
    expected.push_back(LookAt(ex, ey, ez, ex + std::cos(hr) * 30, 0, ez - std::sin(hr) * 30));
    EXPECT_EQ(Transforms(), expected) << "mode " << mode;
    EXPECT_EQ(cameraDistance, 1.0);
  }
}

TEST(AvatarDrawing, PartsTiltBeforeTheySwingAndAreUndoneInReverse) {
  SetUpBody(0);  // world coordinates: only the part transforms show
  // Three triangles closing at tags 0, 0 and -10, then one closing at 0 (end of the list).
  avatarVertexCount = 12;
  for (auto* c : {&avatarRed, &avatarGreen, &avatarBlue, &avatarX, &avatarY, &avatarZ, &avatarTexS,
                  &avatarTexT})
    c->assign(13, 0.0);
  for (auto* c : {&avatarPolyEnd, &avatarTextured, &avatarTexId}) c->assign(13, 0);
  avatarPartOf.assign(13, -10);
  avatarPolyEnd[0] = 1;
  const int tags[] = {0, 0, -10, 0};
  for (int k = 0; k < 4; ++k) {
    avatarPolyEnd[3 * k + 3] = 1;
    avatarPartOf[3 * k + 3] = tags[k];
  }
  avatarPartLastIndex = 0;
  motionKind = 2;  // the row of walking back
  avatarPartOffsetX[0][2] = 1;
  avatarPartOffsetY[0][2] = 2;
  avatarPartOffsetZ[0][2] = 3;
  avatarPartTiltY[0][2] = 15;
  avatarPartTiltZ[0][2] = -5;
  avatarPartSwingX[0][2] = 40;
  avatarPartRateX[0][2] = 10;
  DrawAvatar();
  EXPECT_EQ(avatarPartAngleX[0][2], 10.0);  // swung before drawing, in row motionKind
  const std::vector<std::string> apply = {T(1, 2, 3), Ry(-15), Rz(5), Rx(-10), T(-1, -2, -3)};
  const std::vector<std::string> undo = {T(1, 2, 3), Rx(10), Rz(-5), Ry(15), T(-1, -2, -3)};
  std::vector<std::string> expected = {"glEnd()"};
  expected.insert(expected.end(), apply.begin(), apply.end());
  expected.push_back("glEnd()");
  expected.push_back("glEnd()");
  expected.insert(expected.end(), undo.begin(), undo.end());
  expected.push_back("glEnd()");
  expected.insert(expected.end(), apply.begin(), apply.end());
  expected.insert(expected.end(), undo.begin(), undo.end());
  EXPECT_EQ(Transforms(), expected);
  EXPECT_EQ(avatarPartActive, 0);
}

}  // namespace
