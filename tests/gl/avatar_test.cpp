// Drawing the user's own model, by where its points land: the recorded transforms and camera
// loads are replayed on a modelview matrix, and model points are checked against world and eye
// coordinates worked out by hand. The placements of modes 1 to 4 (mode 2's restore turns back
// only half of the pitch and roll), none outside 1..4, the avatar form of the part switching,
// and the frame's motion around the drawing: mode 2's driver's camera before it, the chase
// view of the next frame after it.
#include "render/avatar.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/shell.h"
#include "gl/models.h"
#include "gl/recorder.h"
#include "motion/camera.h"
#include "motion/modes.h"
#include "motion/vehicle.h"
#include "motion/viewer.h"
#include "render/cull.h"
#include "render/model_bounds.h"
#include "render/parts.h"
#include "render/record.h"
#include "scene/scene.h"

namespace {

using Vec = std::array<double, 3>;
using Mat = std::array<std::array<double, 4>, 4>;  // [row][column], GL's column vectors

Mat Identity() {
  Mat m{};
  for (int i = 0; i < 4; ++i) m[i][i] = 1;
  return m;
}

Mat operator*(const Mat& a, const Mat& b) {
  Mat c{};
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      for (int k = 0; k < 4; ++k) c[i][j] += a[i][k] * b[k][j];
  return c;
}

Vec Apply(const Mat& m, const Vec& p) {
  Vec out{};
  for (int i = 0; i < 3; ++i) out[i] = m[i][0] * p[0] + m[i][1] * p[1] + m[i][2] * p[2] + m[i][3];
  return out;
}

// A rotation by angle degrees about a unit axis, counter-clockwise looking down the axis.
Mat Rotation(double angle, const Vec& axis) {
  const double c = std::cos(angle * M_PI / 180), s = std::sin(angle * M_PI / 180);
  const double x = axis[0], y = axis[1], z = axis[2];
  Mat m = Identity();
  m[0] = {x * x * (1 - c) + c, x * y * (1 - c) - z * s, x * z * (1 - c) + y * s, 0};
  m[1] = {y * x * (1 - c) + z * s, y * y * (1 - c) + c, y * z * (1 - c) - x * s, 0};
  m[2] = {z * x * (1 - c) - y * s, z * y * (1 - c) + x * s, z * z * (1 - c) + c, 0};
  return m;
}

Vec Cross(const Vec& a, const Vec& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

Vec Unit(const Vec& v) {
  const double n = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  return {v[0] / n, v[1] / n, v[2] / n};
}

// The view of an eye at e looking at t with up vector u: eye coordinates have x to the right,
// y up on the screen and the view direction along -z.
Mat LookAt(const Vec& e, const Vec& t, const Vec& u) {
  const Vec f = Unit({t[0] - e[0], t[1] - e[1], t[2] - e[2]});
  const Vec s = Unit(Cross(f, u));
  const Vec up = Cross(s, f);
  Mat m = Identity();
  for (int j = 0; j < 3; ++j) {
    m[0][j] = s[j];
    m[1][j] = up[j];
    m[2][j] = -f[j];
  }
  for (int i = 0; i < 3; ++i) m[i][3] = -(m[i][0] * e[0] + m[i][1] * e[1] + m[i][2] * e[2]);
  return m;
}

// The numbers between the parentheses of a recorded call.
std::vector<double> Arguments(const std::string& call) {
  std::vector<double> out;
  const char* p = call.c_str() + call.find('(') + 1;
  while (*p && *p != ')') {
    char* end = nullptr;
    out.push_back(std::strtod(p, &end));
    if (end == p) break;  // not a number (an enum name)
    p = *end == ',' ? end + 1 : end;
  }
  return out;
}

// The recorded calls replayed on a modelview matrix that starts as the identity: where each
// vertex landed (eye coordinates, world coordinates while no camera is loaded) and the
// matrix left at the end.
struct Replay {
  std::vector<Vec> vertices;
  Mat matrix = Identity();
};

Replay Replayed() {
  Replay r;
  for (const std::string& call : recorder::Calls()) {
    const std::vector<double> a = Arguments(call);
    if (call.starts_with("glLoadIdentity")) {
      r.matrix = Identity();
    } else if (call.starts_with("gluLookAt")) {
      r.matrix = r.matrix * LookAt({a[0], a[1], a[2]}, {a[3], a[4], a[5]}, {a[6], a[7], a[8]});
    } else if (call.starts_with("glTranslatef")) {
      Mat t = Identity();
      for (int i = 0; i < 3; ++i) t[i][3] = a[i];
      r.matrix = r.matrix * t;
    } else if (call.starts_with("glRotatef")) {
      r.matrix = r.matrix * Rotation(a[0], Unit({a[1], a[2], a[3]}));
    } else if (call.starts_with("glVertex3d")) {
      r.vertices.push_back(Apply(r.matrix, {a[0], a[1], a[2]}));
    }
  }
  return r;
}

// Float arguments and the float trigonometry of the rotations leave errors near 1e-6.
void ExpectNear(const Vec& got, const Vec& want, const std::string& what) {
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(got[i], want[i], 2e-5) << what << ", axis " << i;
}

void ExpectIdentity(const Mat& m, const std::string& what) {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) EXPECT_NEAR(m[i][j], i == j ? 1 : 0, 2e-5) << what;
}

double Sin(double degrees) { return std::sin(degrees * M_PI / 180); }
double Cos(double degrees) { return std::cos(degrees * M_PI / 180); }

// An avatar of single-point polygons at the given model points, carried by no part.
void AvatarPoints(const std::vector<Vec>& points) {
  const int n = static_cast<int>(points.size());
  SizeAvatarList(n);
  for (int v = 1; v <= n; ++v) {
    avatarX[v] = points[v - 1][0];
    avatarY[v] = points[v - 1][1];
    avatarZ[v] = points[v - 1][2];
    avatarPolyEnd[v] = 1;
  }
}

// The model's front (-z), its top (-y: the scene's y axis points down) and its origin.
const Vec kFront = {0, 0, -1}, kTop = {0, -1, 0}, kOrigin = {0, 0, 0};

// The body at (11, -5, 22) with the given heading and avatar heading offset, in mode mode.
void SetUpBody(int mode, double headingDegrees, double offset) {
  ResetProgramState();
  ControlMode = mode;
  bodyX = 10;
  bodyY = -5;
  bodyZ = 20;
  travelX = 1;
  travelZ = 2;
  heading = headingDegrees;
  ViewAngle();
  avatarHeadingOffset = offset;
  trembleAmplitude = 0;
  AvatarPoints({kFront, kTop, kOrigin});
  recorder::Clear();
}

TEST(AvatarDrawing, ModeOneStandsAtTheBodyTurnedAndPitchedWithTheLookAndIsUndoneExactly) {
  // Heading 0 (north, -z) plus an offset of 90 turns the model's front to +x; a jump lifts it
  // by 2; a look pitch of 10 tilts it about the x axis, across the view.
  SetUpBody(kModeWalk, 0, 90);
  lookPitch = 10;
  jumpLift = 2;
  DrawAvatar();
  const Replay r = Replayed();
  ASSERT_EQ(r.vertices.size(), 3u);
  ExpectNear(r.vertices[0], {12, -7, 22}, "front");
  ExpectNear(r.vertices[1], {11, -7 - Cos(10), 22 + Sin(10)}, "top");
  ExpectNear(r.vertices[2], {11, -7, 22}, "origin");
  ExpectIdentity(r.matrix, "after the restore");

  // Outside modes 1..4 the model is drawn in world coordinates and nothing is placed.
  SetUpBody(0, 30, 90);
  DrawAvatar();
  const Replay none = Replayed();
  ExpectNear(none.vertices[0], kFront, "front, mode 0");
  EXPECT_EQ(recorder::Count("glTranslatef") + recorder::Count("glRotatef"), 0);
}

TEST(AvatarDrawing, ModeTwoRollsPitchesAndTremblesTheBodyAndRestoresHalfThePitchAndRoll) {
  // Heading 0: the roll turns the body about z (the car's long axis), the pitch and the
  // tremble about x, in opposite senses.
  SetUpBody(kModeDrive, 0, 0);
  bodyRoll = 4;
  bodyPitch = 6;
  DrawAvatar();
  Replay r = Replayed();
  ExpectNear(r.vertices[0], {11 - Sin(6) * Sin(4), -5 - Sin(6) * Cos(4), 22 - Cos(6)}, "front");
  ExpectNear(r.vertices[1], {11 - Cos(6) * Sin(4), -5 - Cos(6) * Cos(4), 22 + Sin(6)}, "top");
  ExpectNear(r.vertices[2], {11, -5, 22}, "origin");

  // Pitch alone: half of it stays after the restore, about the body position.
  SetUpBody(kModeDrive, 0, 0);
  bodyPitch = 6;
  DrawAvatar();
  r = Replayed();
  ExpectNear(Apply(r.matrix, {11, -6, 22}), {11, -5 - Cos(3), 22 + Sin(3)}, "pitch left");
  // Roll alone: likewise half of it.
  SetUpBody(kModeDrive, 0, 0);
  bodyRoll = 4;
  DrawAvatar();
  r = Replayed();
  ExpectNear(Apply(r.matrix, {11, -6, 22}), {11 - Sin(2), -5 - Cos(2), 22}, "roll left");
  // The tremble tilts the body about x against the pitch and is taken back in full.
  SetUpBody(kModeDrive, 0, 0);
  trembleAmplitude = 1;
  DrawAvatar();
  r = Replayed();
  ExpectNear(r.vertices[1], {11, -5 - Cos(1), 22 - Sin(1)}, "top, trembling");
  ExpectIdentity(r.matrix, "after a tremble");
}

TEST(AvatarDrawing, ChaseModesTurnTheBodyByItsOwnHeadingAndModeFourRollsAndPitchesIt) {
  // Mode 3: heading 30 plus 180 turns the front to (-sin 30, 0, cos 30); the smoothed heading
  // (still 0) plays no part.
  SetUpBody(kModeFollow, 30, 180);
  DrawAvatar();
  Replay r = Replayed();
  ExpectNear(r.vertices[0], {11 - Sin(30), -5, 22 + Cos(30)}, "mode 3 front");
  ExpectIdentity(r.matrix, "mode 3 restore");

  // Mode 4, heading 90 (east, +x): the roll turns the body about x (its long axis now), the
  // pitch about z.
  SetUpBody(kModeChase, 90, 0);
  bodyRoll = 4;
  bodyPitch = 6;
  DrawAvatar();
  r = Replayed();
  ExpectNear(r.vertices[0], {11 + Cos(6), -5 - Sin(6) * Cos(4), 22 - Sin(6) * Sin(4)},
             "mode 4 front");
  ExpectNear(r.vertices[1], {11 - Sin(6), -5 - Cos(6) * Cos(4), 22 - Cos(6) * Sin(4)},
             "mode 4 top");
  ExpectIdentity(r.matrix, "mode 4 restore");
}

TEST(AvatarDrawing, PartsTiltBeforeTheySwingAndAreUndoneAfterTheirRunAndAtTheEnd) {
  SetUpBody(0, 0, 0);  // world coordinates: only the part transforms show
  // Four single-point polygons, each at (0, 0, 1) from part 0's pivot (1, 2, 3), closing at
  // tags 0, 0, none, 0: the part's transform carries the second and third.
  AvatarPoints({{1, 2, 4}, {1, 2, 4}, {1, 2, 4}, {1, 2, 4}});
  const int tags[] = {0, 0, kNoPart, 0};
  for (int v = 1; v <= 4; ++v) avatarPartOf[v] = tags[v - 1];
  avatarPartLastIndex = 0;
  motionKind = kFigureBack;  // the row used
  const int m = kFigureBack;
  avatarPartOffsetX[0][m] = 1;
  avatarPartOffsetY[0][m] = 2;
  avatarPartOffsetZ[0][m] = 3;
  avatarPartTiltY[0][m] = -90;  // applied as a turn of +90 about y
  avatarPartSwingX[0][m] = 180;
  avatarPartRateX[0][m] = 90;  // swung to 90 before drawing: a turn of -90 about x
  DrawAvatar();
  EXPECT_EQ(avatarPartAngleX[0][m], 90.0);
  const Replay r = Replayed();
  ASSERT_EQ(r.vertices.size(), 4u);
  // The swing turns (0, 0, 1) to (0, 1, 0), which the tilt about y leaves; the other order
  // would give (1, 0, 0).
  ExpectNear(r.vertices[0], {1, 2, 4}, "before the part");
  ExpectNear(r.vertices[1], {1, 3, 3}, "carried");
  ExpectNear(r.vertices[2], {1, 3, 3}, "carried, closing untagged");
  ExpectNear(r.vertices[3], {1, 2, 4}, "after the undo");
  ExpectIdentity(r.matrix, "undone at the end of the list");
  EXPECT_EQ(avatarPartActive, 0);
}

// What drawing the avatar sent, with the part bookkeeping it left.
struct AvatarDraw {
  std::vector<std::string> transforms;
  int vertices = 0;
  recorder::DrawState state;
  std::vector<double> parts;
  bool operator==(const AvatarDraw&) const = default;
};

// A model of three single-point polygons at (-30, 0, -10), left of the view down -z, closing
// at tags 0, 0, none: part 0 pivots at pivot and swings about y to 90 before the drawing
// (a turn of -90), carrying the second polygon.
AvatarDraw DrawSwungAvatar(bool cull, const Vec& pivot) {
  SetUpBody(0, 0, 0);
  AvatarPoints({{-30, 0, -10}, {-30, 0, -10}, {-30, 0, -10}});
  avatarPartOf[1] = avatarPartOf[2] = 0;
  avatarPartLastIndex = 0;
  avatarRed[1] = 0.5;
  avatarTextured[0] = 0;
  avatarPartOffsetX[0][0] = pivot[0];
  avatarPartOffsetY[0][0] = pivot[1];
  avatarPartOffsetZ[0][0] = pivot[2];
  avatarPartSwingY[0][0] = 180;
  avatarPartRateY[0][0] = 90;
  PrepareModelBounds();
  // Recorded (its runs are short, so the least run length is lowered): only a recorded model
  // is left out when out of view.
  const int least = minModelRunVertices;
  minModelRunVertices = 1;
  RecordAvatarList();
  minModelRunVertices = least;
  recorder::SetMatrices(recorder::kPerspective, recorder::kIdentity);
  viewCulling = cull;
  recorder::Clear();
  DrawAvatar();
  viewCulling = true;
  recorder::SetMatrices(recorder::kNoMatrix, recorder::kNoMatrix);
  AvatarDraw out{recorder::CallsStartingWith({"glTranslatef", "glRotatef"}),
                 recorder::Count("glVertex3d"),
                 recorder::StateLeft(),
                 {avatarPartAngleY[0][0], avatarPartRateY[0][0], static_cast<double>(activePart),
                  savedAngleY, static_cast<double>(avatarPartActive)}};
  ResetAvatar();  // forgets the record
  return out;
}

TEST(AvatarDrawing, OutOfViewSendsNoPolygonUnlessAPartSwingsItIntoView) {
  // Swung about (-15, 0, -10), the carried point lands at (-15, 0, -25): in view, so all is
  // drawn as without the test.
  const AvatarDraw reaching = DrawSwungAvatar(true, {-15, 0, -10});
  EXPECT_EQ(reaching, DrawSwungAvatar(false, {-15, 0, -10}));
  EXPECT_EQ(reaching.vertices, 3);
  // Swung about the point itself, nothing comes into view: no vertex, but the same part
  // transforms, the same state and the same bookkeeping.
  AvatarDraw hidden = DrawSwungAvatar(true, {-30, 0, -10});
  const AvatarDraw drawn = DrawSwungAvatar(false, {-30, 0, -10});
  EXPECT_EQ(hidden.vertices, 0);
  EXPECT_EQ(drawn.vertices, 3);
  EXPECT_EQ(hidden.transforms.size(), 6u);  // the part applied and undone: T R T, T R T
  hidden.vertices = drawn.vertices;
  EXPECT_EQ(hidden, drawn);
}

// The motion around the drawing, as the frame driver runs it.
void DrawFrameAvatar() {
  ModeBeforeAvatar();
  DrawAvatar();
  ModeAfterAvatar();
}

TEST(AvatarFrame, ModeTwoLoadsTheDriversCameraBeforeTheBodyAndStopsTheWheelOfAStandingCar) {
  // The driver's eye 5 above the body, looking north: the body lands 5 below the eye.
  SetUpBody(kModeDrive, 0, 0);
  eyeX = 11;
  eyeY = -10;
  eyeZ = 22;
  targetX = 11;
  targetY = -10;
  targetZ = -78;
  forwardSpeed = 3;
  turnRate = 2;
  highSpeed = 0;
  DrawFrameAvatar();
  const Replay r = Replayed();
  ExpectNear(r.vertices[2], {0, -5, 0}, "origin on the screen");
  ExpectNear(r.vertices[0], {0, -5, -1}, "front on the screen");
  EXPECT_EQ(turnRate, 2.0);  // kept while the car moves

  forwardSpeed = 0;
  DrawFrameAvatar();
  EXPECT_EQ(turnRate, 0.0);
}

// The chase views place the camera on the boom (here its first frame: 1 out of 30) before
// the body is drawn, and load it afterwards as the view of the next frame, raised by the look
// pitch over the camera distance.
TEST(AvatarFrame, ChaseModesDrawUnderTheOldViewAndLoadTheNextFramesViewBehindTheBody) {
  for (const int mode : {kModeFollow, kModeChase}) {
    SetUpBody(mode, 0, 0);
    eyeX = 11;
    eyeZ = 22;
    lookRefDistanceSaved = 30;
    walkStep = driveStep = 0.1;
    walkStepTen = driveStepTriple = 1;
    walkMaxSpeed = driveMaxSpeed = 2;
    modeEyeY = targetY = -10;
    DrawFrameAvatar();
    const Replay r = Replayed();
    ExpectNear(r.vertices[2], {11, -5, 22}, "origin, drawn under the old view");
    EXPECT_EQ(cameraDistance, 1.0) << mode;
    // The camera 1 behind the body (south, +z) at height -10, looking north.
    ExpectNear(Apply(r.matrix, {11, -5, 22}), {0, -5, -1}, "the body in the next view");

    // The next frame: the camera 2 behind the body, raised by tan 45 x 2.
    lookPitch = 45;
    DrawFrameAvatar();
    EXPECT_EQ(cameraDistance, 2.0) << mode;
    EXPECT_NEAR(lookEyeY, -10 + 2, 1e-12) << mode;
  }
}

}  // namespace
