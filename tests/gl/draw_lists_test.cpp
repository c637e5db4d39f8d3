// GL call order of the static and plain lists: hand-over between plain and textured
// polygons, the texture-binding cache, unknown flags and the distance test.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/shell.h"
#include "gl/recorder.h"
#include "render/cull.h"
#include "render/polylist.h"
#include "render/texture_binding.h"
#include "scene/scene.h"

namespace {

struct Vertex {
  double x, y, z, s = 0, t = 0;
};
struct Polygon {
  double r, g, b;
  int flag;  // textured flag
  int tex;   // texture id
  std::vector<Vertex> vertices;
};

// Fills the static list from polygons, with the tables laid out as the loader does it.
void SetStaticList(const std::vector<Polygon>& polygons) {
  int count = 0;
  for (const auto& p : polygons) count += static_cast<int>(p.vertices.size());
  staticVertexCount = count;
  for (auto* c : {&staticRed, &staticGreen, &staticBlue, &staticX, &staticY, &staticZ, &staticTexS,
                  &staticTexT})
    c->assign(count + 10, 0.0);
  for (auto* c : {&staticPolyEnd, &staticTextured, &staticTexId}) c->assign(count + 10, 0);
  staticPolyEnd[0] = 1;
  int v = 0;
  for (const auto& p : polygons) {
    staticRed[v + 1] = p.r;
    staticGreen[v + 1] = p.g;
    staticBlue[v + 1] = p.b;
    staticTextured[v] = p.flag;
    staticTexId[v] = p.tex;
    for (const auto& q : p.vertices) {
      ++v;
      staticX[v] = q.x;
      staticY[v] = q.y;
      staticZ[v] = q.z;
      staticTexS[v] = q.s;
      staticTexT[v] = q.t;
    }
    staticPolyEnd[v] = 1;
  }
}

std::vector<Vertex> Triangle(double x, double z) {
  return {{x, 0, z, 0, 0}, {x + 1, 0, z, 1, 0}, {x, 0, z + 1, 0, 1}};
}

// The calls of the drawing as written: nothing recorded, nothing left out (but where a test
// leaves out what is out of view).
class DrawLists : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramState();
    recorder::Clear();
    recordStaticLists = false;
    viewCulling = false;
  }
  void TearDown() override {
    recordStaticLists = true;
    viewCulling = true;
  }
};

TEST_F(DrawLists, PlainAndTexturedPolygonsHandOverAtPolygonBoundaries) {
  SetStaticList({{0.1, 0.2, 0.3, 0, 0, Triangle(0, 0)},
                 {0.4, 0.5, 0.6, 1, 7, Triangle(5, 0)},
                 {0.7, 0.8, 0.9, 0, 0, Triangle(9, 0)}});
  DrawStaticList();
  const std::vector<std::string> expected = {"glDisable(TEXTURE_2D)",
                                             "glColor3d(0.1,0.2,0.3)",
                                             "glBegin(POLYGON)",
                                             "glVertex3d(0,0,0)",
                                             "glVertex3d(1,0,0)",
                                             "glVertex3d(0,0,1)",
                                             "glEnd()",
                                             "glColor3d(0.4,0.5,0.6)",
                                             "glEnable(TEXTURE_2D)",
                                             "glBindTexture(TEXTURE_2D,7)",
                                             "glBegin(POLYGON)",
                                             "glTexCoord2d(0,0)",
                                             "glVertex3d(5,0,0)",
                                             "glTexCoord2d(1,0)",
                                             "glVertex3d(6,0,0)",
                                             "glTexCoord2d(0,1)",
                                             "glVertex3d(5,0,1)",
                                             "glEnd()",
                                             "glColor3d(0.7,0.8,0.9)",
                                             "glDisable(TEXTURE_2D)",
                                             "glBegin(POLYGON)",
                                             "glVertex3d(9,0,0)",
                                             "glVertex3d(10,0,0)",
                                             "glVertex3d(9,0,1)",
                                             "glEnd()"};
  EXPECT_EQ(recorder::Calls(), expected);
}

TEST_F(DrawLists, TexturedFirstPolygonBindsBeforeBeginAndColoursAfter) {
  SetStaticList({{1, 1, 1, 1, 3, Triangle(0, 0)}});
  DrawStaticList();
  const auto& calls = recorder::Calls();
  ASSERT_GE(calls.size(), 4u);
  EXPECT_EQ(calls[0], "glEnable(TEXTURE_2D)");
  EXPECT_EQ(calls[1], "glBindTexture(TEXTURE_2D,3)");
  EXPECT_EQ(calls[2], "glBegin(POLYGON)");
  EXPECT_EQ(calls[3], "glColor3d(1,1,1)");
}

TEST_F(DrawLists, BindingCacheBindsOncePerRunOfOneTextureAndAgainEachFrame) {
  SetStaticList({{1, 1, 1, 1, 4, Triangle(0, 0)},
                 {1, 1, 1, 1, 4, Triangle(2, 0)},
                 {1, 1, 1, 1, 5, Triangle(4, 0)},
                 {1, 1, 1, 1, 4, Triangle(6, 0)}});
  DrawStaticList();
  EXPECT_EQ(recorder::CallsStartingWith({"glBindTexture"}),
            (std::vector<std::string>{"glBindTexture(TEXTURE_2D,4)", "glBindTexture(TEXTURE_2D,5)",
                                      "glBindTexture(TEXTURE_2D,4)"}));
  // Within one frame the cache holds; the frame driver's reset makes the next frame bind.
  recorder::Clear();
  DrawStaticList();
  EXPECT_EQ(recorder::Count("glBindTexture"), 2);  // 4 is still bound: only 5, then 4
  recorder::Clear();
  boundTexture = 0;
  DrawStaticList();
  EXPECT_EQ(recorder::Count("glBindTexture"), 3);
}

// A list recorded under the guard binds its first texture itself, whatever the cache held; a
// recorded binding is not executed, so afterwards the cache holds again what OpenGL has bound.
TEST_F(DrawLists, TheBindingGuardEmptiesTheCacheAndGivesItBack) {
  BindTextureCached(4);
  {
    const TextureBindingSaved saved;
    BindTextureCached(4);
    BindTextureCached(5);
  }
  BindTextureCached(4);  // still bound: nothing sent
  BindTextureCached(5);
  EXPECT_EQ(
      recorder::CallsStartingWith({"glBindTexture"}),
      (std::vector<std::string>{"glBindTexture(TEXTURE_2D,4)", "glBindTexture(TEXTURE_2D,4)",
                                "glBindTexture(TEXTURE_2D,5)", "glBindTexture(TEXTURE_2D,5)"}));
}

TEST_F(DrawLists, UnknownTexturedFlagsDrawNothingOfTheirPolygon) {
  // A first polygon with flag 2 stops the whole list.
  SetStaticList({{1, 0, 0, 2, 0, Triangle(0, 0)}, {0, 1, 0, 0, 0, Triangle(2, 0)}});
  DrawStaticList();
  EXPECT_TRUE(recorder::Calls().empty());

  // In the middle, the polygon is passed over and the mode stays as it was.
  recorder::Clear();
  SetStaticList({{1, 0, 0, 0, 0, Triangle(0, 0)},
                 {0, 1, 0, 5, 0, Triangle(2, 0)},
                 {0, 0, 1, 0, 0, Triangle(4, 0)}});
  DrawStaticList();
  EXPECT_EQ(recorder::Count("glBegin"), 2);
  EXPECT_EQ(recorder::Count("glEnd"), 2);
  EXPECT_EQ(recorder::Count("glVertex3d(2,"), 0);  // the middle polygon: 2, 3, 2
  EXPECT_EQ(recorder::Count("glVertex3d(3,"), 0);
  EXPECT_EQ(recorder::Count("glVertex3d(5,"), 1);  // the last one: 4, 5, 4
  EXPECT_EQ(recorder::Count("glDisable"), 1);      // plain mode kept, no further switch
}

TEST_F(DrawLists, DistanceTestSkipsFarPolygonsOnlyAfterTexturedOnes) {
  distanceCulling = 1;
  drawDistance = 100;
  eyeX = 0;
  eyeZ = 0;
  SetStaticList({{1, 1, 1, 1, 1, Triangle(500, 0)},  // first: never tested
                 {1, 1, 1, 1, 1, Triangle(200, 0)},  // far: skipped
                 {1, 1, 1, 1, 1, {{100, 0, 0}, {150, 0, 0}, {99.5, 0, -99.5}}},  // one inside
                 {1, 1, 1, 0, 0, Triangle(300, 0)},  // far, after a textured one: skipped
                 {1, 1, 1, 0, 0, Triangle(10, 0)},   // near plain
                 {1, 1, 1, 1, 1, Triangle(400, 0)},  // after a plain one: drawn
                 {1, 1, 1, 1, 1, {{100, 0, 0}, {0, 0, 100}, {-100, 0, 0}}}});  // edges: out
  DrawStaticList();
  const auto vertices = recorder::CallsStartingWith({"glVertex3d"});
  std::vector<std::string> firsts;
  for (size_t k = 0; k < vertices.size(); k += 3) firsts.push_back(vertices[k]);
  EXPECT_EQ(firsts, (std::vector<std::string>{"glVertex3d(500,0,0)", "glVertex3d(100,0,0)",
                                              "glVertex3d(10,0,0)", "glVertex3d(400,0,0)"}));
  EXPECT_EQ(vertices.size(), 12u);  // polygons are drawn whole
  EXPECT_EQ(recorder::Count("glBegin"), recorder::Count("glEnd"));
}

TEST_F(DrawLists, DistanceTestOffDrawsEverything) {
  distanceCulling = 2;  // only 1 switches the test on
  drawDistance = 1;
  SetStaticList({{1, 1, 1, 1, 1, Triangle(500, 0)}, {1, 1, 1, 1, 1, Triangle(900, 0)}});
  DrawStaticList();
  EXPECT_EQ(recorder::Count("glBegin"), 2);
}

TEST_F(DrawLists, PlainListIsUntexturedAndClosedAtItsCount) {
  DrawPlainList();
  EXPECT_TRUE(recorder::Calls().empty());  // empty list: nothing, not even a glBegin

  plainVertexCount = 5;
  for (auto* c : {&plainRed, &plainGreen, &plainBlue, &plainX, &plainY, &plainZ})
    c->assign(15, 0.0);
  plainPolyEnd.assign(15, 0);
  plainPolyEnd[0] = 1;
  for (int v = 1; v <= 5; ++v) plainX[v] = v;
  plainRed[1] = 1;
  plainPolyEnd[3] = 1;
  plainGreen[4] = 1;  // second polygon 4..5 is left open by its data
  DrawPlainList();
  const std::vector<std::string> expected = {
      "glDisable(TEXTURE_2D)", "glColor3d(1,0,0)",  "glBegin(POLYGON)",  "glVertex3d(1,0,0)",
      "glVertex3d(2,0,0)",     "glVertex3d(3,0,0)", "glEnd()",           "glColor3d(0,1,0)",
      "glBegin(POLYGON)",      "glVertex3d(4,0,0)", "glVertex3d(5,0,0)", "glEnd()"};
  EXPECT_EQ(recorder::Calls(), expected);
}

TEST_F(DrawLists, MissingTextureIsDrawnUntexturedInItsColour) {
  SetStaticList({{1, 1, 1, 1, 2, Triangle(0, 0)},
                 {0.5, 0.5, 0.5, 1, 0, Triangle(2, 0)},
                 {1, 1, 1, 1, 2, Triangle(4, 0)}});
  DrawStaticList();
  EXPECT_EQ(recorder::CallsStartingWith({"glEnable", "glDisable", "glBindTexture"}),
            (std::vector<std::string>{"glEnable(TEXTURE_2D)", "glBindTexture(TEXTURE_2D,2)",
                                      "glDisable(TEXTURE_2D)", "glEnable(TEXTURE_2D)"}));
}

// Under a view down -z from the origin, each polygon wholly outside one plane of the view
// (beside it, behind the eye, beyond the far plane) sends no vertex, and the list ends in the
// state the whole walk leaves: colour, texture coordinates, texturing, the texture bound and
// the binding cache; with the distance test on and off.
TEST_F(DrawLists, PolygonsOutOfViewSendNothingButTheStateTheyLeave) {
  const std::vector<Polygon> list = {
      {0.1, 0.1, 0.1, 1, 4, Triangle(0, -10)},    // in view, textured
      {0.2, 0.2, 0.2, 1, 5, Triangle(50, -10)},   // right of the view, another texture
      {0.3, 0.3, 0.3, 0, 0, Triangle(0, 10)},     // behind the eye, plain
      {0.4, 0.4, 0.4, 0, 0, Triangle(-2, -20)},   // in view, plain
      {0.5, 0.5, 0.5, 1, 6, Triangle(0, -200)},   // beyond the far plane, a third texture
      {0.6, 0.6, 0.6, 1, 6, Triangle(-9, -10)}};  // half in view (x -9..-8 at z -10..-9)
  for (const int distance : {0, 1}) {
    std::vector<std::string> calls[2];
    recorder::DrawState state[2];
    int cached[2];
    for (const bool cull : {false, true}) {
      ResetProgramState();
      distanceCulling = distance;
      drawDistance = 1000;
      SetStaticList(list);
      recorder::SetMatrices(recorder::kPerspective, recorder::kIdentity);
      viewCulling = cull;
      recorder::Clear();
      DrawStaticList();
      calls[cull] = recorder::CallsStartingWith({"glVertex3d"});
      state[cull] = recorder::StateLeft();
      cached[cull] = boundTexture;
    }
    viewCulling = true;
    recorder::SetMatrices(recorder::kNoMatrix, recorder::kNoMatrix);
    EXPECT_EQ(calls[0].size(), 18u) << distance;
    std::vector<std::string> firsts;
    for (size_t k = 0; k < calls[1].size(); k += 3) firsts.push_back(calls[1][k]);
    EXPECT_EQ(firsts, (std::vector<std::string>{"glVertex3d(0,0,-10)", "glVertex3d(-2,0,-20)",
                                                "glVertex3d(-9,0,-10)"}))
        << distance;
    EXPECT_EQ(state[1], state[0]) << distance;
    EXPECT_EQ(state[1].binding, "glBindTexture(TEXTURE_2D,6)") << distance;
    EXPECT_EQ(cached[1], cached[0]) << distance;
  }
}

// Without matrices to read (no rendering context) nothing is left out.
TEST_F(DrawLists, NothingIsLeftOutWithoutAViewToTestAgainst) {
  SetStaticList({{1, 1, 1, 0, 0, Triangle(0, 10)}, {1, 1, 1, 0, 0, Triangle(500, -10)}});
  viewCulling = true;
  DrawStaticList();
  EXPECT_EQ(recorder::Count("glVertex3d"), 6);
}

}  // namespace
