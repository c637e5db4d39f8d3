// Drawing a moving object, by its GL calls: the placement and its exact inverse, the part
// transform switched once for a run of polygons of one part, undone when another tag closes
// a polygon and at the end of the list; the near test; the swing of the part angles.
#include "render/objects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "common/scene_load.h"
#include "gl/models.h"
#include "gl/recorder.h"
#include "motion/swing.h"
#include "motion/viewer.h"
#include "render/cull.h"
#include "render/model_bounds.h"
#include "render/parts.h"
#include "render/record.h"
#include "scene/scene.h"

namespace {

std::vector<std::string> Transforms() {
  return recorder::CallsStartingWith({"glTranslatef", "glRotatef", "glEnd"});
}

const std::vector<std::string> kApply = {"glTranslatef(1,2,3)", "glRotatef(-4,1,0,0)",
                                         "glRotatef(-4,0,0,1)", "glTranslatef(-1,-2,-3)"};
const std::vector<std::string> kUndo = {"glTranslatef(1,2,3)", "glRotatef(4,0,0,1)",
                                        "glRotatef(4,1,0,0)", "glTranslatef(-1,-2,-3)"};

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

TEST(ObjectDrawing, PlacedPartsSwitchedPerPolygonAndEverythingUndone) {
  // Polygons close at tags -10, 0, 0, 25 (no such part: none), 0.
  LoadObject({-10, 0, 0, 25, 0});
  DrawObjects(0);
  const std::vector<std::string> place = {"glTranslatef(10,-1,20)", "glRotatef(25,0,1,0)"};
  const std::vector<std::string> unplace = {"glRotatef(-25,0,1,0)", "glTranslatef(-10,1,-20)"};
  const std::vector<std::string> end = {"glEnd()"};
  EXPECT_EQ(Transforms(),
            Join({place, end, end, kApply, end, end, kUndo, end, kApply, kUndo, unplace}));
  EXPECT_EQ(partTransformActive, 0);
  EXPECT_EQ(objPartAngleX[0][0][0], 4.0);  // swung before the list, in motion state 0
  EXPECT_EQ(objPartAngleZ[0][0][0], 4.0);
  EXPECT_EQ(objPartAngleY[0][0][0], 0.0);
}

TEST(ObjectDrawing, NearTestIsStrictAndAFarObjectNeitherDrawsNorSwings) {
  LoadObject({0}, 1, 20);  // the object stands 20 from the viewer along z
  DrawObjects(0);
  EXPECT_TRUE(recorder::Calls().empty());
  EXPECT_EQ(objPartAngleX[0][0][0], 0.0);
  travelZ = 1e-9;
  DrawObjects(0);
  EXPECT_EQ(recorder::Count("glBegin"), 1);
  EXPECT_EQ(objPartAngleX[0][0][0], 4.0);

  // A placement that its inverse could not undo draws nothing and leaves the matrix alone:
  // beyond a million units (in float, a translation by 2e38 and back loses the camera), or
  // not finite.
  objectNearTest[0] = 0;
  for (double far : {2e38, 1e300, -1e6 - 11}) {  // the last: x = -1e6 - 1
    recorder::Clear();
    objectMoveX[0] = far;
    DrawObjects(0);
    EXPECT_TRUE(recorder::Calls().empty()) << far;
  }
  recorder::Clear();
  objectMoveX[0] = -1e6 - 10;  // x = -1e6 exactly: still placed
  DrawObjects(0);
  EXPECT_EQ(recorder::Count("glBegin"), 1);
}

TEST(ObjectDrawing, OscillateAngleSwingsBetweenZeroAndTheAmplitude) {
  struct Case {
    double swing, rate;
    std::vector<double> angles;
  };
  const std::vector<Case> cases = {
      {30, 4, {4, 8, 12, 16, 20, 24, 28, 26, 22, 18, 14, 10, 6, 2, 4, 8}},
      {-30, -4, {-4, -8, -12, -16, -20, -24, -28, -26, -22, -18, -14, -10, -6, -2, -4}},
      {-30, 4, {-4, -8}},  // a rate against a negative swing turns at 0 at once
      {0, 0, {0, 0, 0}},
      {30, std::numeric_limits<double>::infinity(), {0, 0}},  // a row with step count 0
      {0, std::nan(""), {0, 0}},
  };
  for (const Case& c : cases) {
    double angle = 0, rate = c.rate;
    for (std::size_t k = 0; k < c.angles.size(); ++k) {
      OscillateAngle(angle, rate, c.swing);
      EXPECT_EQ(angle, c.angles[k]) << "swing " << c.swing << " rate " << c.rate << " step " << k;
    }
  }
}

// What drawing object 0 sent, with the part bookkeeping it left.
struct ObjectDraw {
  std::vector<std::string> transforms;
  int vertices = 0;
  recorder::DrawState state;
  std::vector<double> parts;
  bool operator==(const ObjectDraw&) const = default;
};

// The object's list is recorded (its runs are short, so the least run length is lowered):
// only a recorded model is left out when out of view.
ObjectDraw DrawObjectUnder(bool cull, const double (&modelview)[16]) {
  LoadObject({-10, 0, 0, 25, 0});
  PrepareModelBounds();
  const int least = minModelRunVertices;
  minModelRunVertices = 1;
  RecordObjectLists();
  minModelRunVertices = least;
  recorder::SetMatrices(recorder::kPerspective, modelview);
  viewCulling = cull;
  DrawObjects(0);
  viewCulling = true;
  recorder::SetMatrices(recorder::kNoMatrix, recorder::kNoMatrix);
  ObjectDraw out{recorder::CallsStartingWith({"glTranslatef", "glRotatef"}),
                 recorder::Count("glVertex3d"),
                 recorder::StateLeft(),
                 {objPartAngleX[0][0][0], objPartAngleZ[0][0][0], static_cast<double>(activePart),
                  savedAngleX, savedAngleZ, static_cast<double>(partTransformActive)}};
  ResetPartTransforms();  // forgets the record
  return out;
}

// The recorder answers the modelview in force after the placement with the matrix given: the
// object's model is tested where that matrix puts it.
TEST(ObjectDrawing, OutOfViewSendsNoPolygonButPlacesAndSwitchesPartsAsDrawn) {
  // Moved to z 20 (its reach a few units, the swinging part's pivot included): behind an eye
  // looking down -z.
  const double behind[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 20, 1};
  ObjectDraw hidden = DrawObjectUnder(true, behind);
  const ObjectDraw drawn = DrawObjectUnder(false, behind);
  EXPECT_EQ(hidden.vertices, 0);
  EXPECT_EQ(drawn.vertices, 15);
  hidden.vertices = drawn.vertices;
  EXPECT_EQ(hidden, drawn);
  // Moved to z -20, in front: drawn whole.
  const double ahead[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -20, 1};
  EXPECT_EQ(DrawObjectUnder(true, ahead), DrawObjectUnder(false, ahead));
  EXPECT_EQ(DrawObjectUnder(true, ahead).vertices, 15);
}

}  // namespace
