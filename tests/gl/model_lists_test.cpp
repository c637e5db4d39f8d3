// The objects and the avatar replayed from their recorded display lists draw what walking
// their lists vertex by vertex draws: every vertex with the same colour, texturing, texture
// and texture coordinates, the same part transforms in the same places with the same state
// in force at each (the end of every recorded run), and the same state, binding cache and
// part bookkeeping at the end; in view, at the edge of the view and out of it, over frames
// in which the parts swing and the binding cache starts full or empty.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/shell.h"
#include "gl/models.h"
#include "gl/recorder.h"
#include "motion/viewer.h"
#include "render/avatar.h"
#include "render/cull.h"
#include "render/model_bounds.h"
#include "render/objects.h"
#include "render/parts.h"
#include "render/polylist.h"
#include "render/record.h"
#include "render/texture_binding.h"
#include "scene/scene.h"

namespace {

// One triangle of the model: textured flag, texture id, the part tag of its closing vertex
// and its red.
struct Polygon {
  int flag, tex, tag;
  double red;
};

// Every case of the part switching and the drawing modes: untagged and tagged runs, a part
// switched before any texture coordinates were set, a tag out of range (none), a part whose
// transform cannot be applied (part 1, its pivot beyond kMaxTranslation), an unknown textured
// flag, a missing texture (id 0), two textures, and a run of a part still applied at the end.
const std::vector<Polygon> kPolygons = {
    {0, 0, kNoPart, 0.1}, {0, 0, 0, 0.35}, {1, 1, 0, 0.2},  {1, 1, 0, 0.3},
    {0, 0, 25, 0.4},      {1, 2, 1, 0.5},  {1, 2, 1, 0.6},  {2, 1, 0, 0.7},
    {1, 0, -3, 0.8},      {0, 0, 0, 0.9},  {1, 1, 0, 0.15}, {1, 2, 0, 0.25},
};

// Object 0 or the avatar carrying kPolygons (triangles) with their flags, textures, colours and
// tags; the parts as LoadObject's, part 1 pivoting beyond kMaxTranslation.
template <typename Flag, typename Tex, typename Red, typename Tag>
void SetPolygons(Flag flag, Tex tex, Red red, Tag tag) {
  for (int p = 0; p < static_cast<int>(kPolygons.size()); ++p) {
    flag(3 * p) = kPolygons[p].flag;
    tex(3 * p) = kPolygons[p].tex;
    red(3 * p + 1) = kPolygons[p].red;
    tag(3 * p + 3) = kPolygons[p].tag;
  }
}

void LoadListObject() {
  LoadObject(std::vector<int>(kPolygons.size(), kNoPart));
  SetPolygons([](int f) -> int& { return objVtxTextured[f][0]; },
              [](int f) -> int& { return objVtxTexId[f][0]; },
              [](int v) -> double& { return objVtxRed[v][0]; },
              [](int v) -> int& { return objVtxPart[v][0]; });
  objPartOffsetY[1][0][0] = 2e6;
  objPartSwingY[1][0][0] = 10;
  objPartRateY[1][0][0] = 1;
}

// The avatar in control mode mode, its parts as the object's with a tilt.
void LoadAvatar(int mode) {
  ResetProgramState();
  ControlMode = mode;
  bodyX = 10;
  bodyY = -5;
  bodyZ = 20;
  heading = 40;
  lookPitch = 12;
  const int n = 3 * static_cast<int>(kPolygons.size());
  SizeAvatarList(n);
  for (int v = 1; v <= n; ++v) {
    avatarX[v] = (v - 1) % 3 == 1;
    avatarZ[v] = (v - 1) % 3 == 2;
    avatarY[v] = -v / 12;
    avatarTexS[v] = v * 0.25;
    avatarTexT[v] = 1 - (v % 3) * 0.5;
    avatarPolyEnd[v] = v % 3 == 0;
  }
  SetPolygons(
      [](int f) -> int& { return avatarTextured[f]; }, [](int f) -> int& { return avatarTexId[f]; },
      [](int v) -> double& { return avatarRed[v]; }, [](int v) -> int& { return avatarPartOf[v]; });
  avatarPartLastIndex = 1;
  const int m = 0;  // motionKind's row
  avatarPartOffsetX[0][m] = 1;
  avatarPartOffsetY[0][m] = 2;
  avatarPartOffsetZ[0][m] = 3;
  avatarPartTiltY[0][m] = -20;
  avatarPartSwingX[0][m] = 30;
  avatarPartRateX[0][m] = 4;
  avatarPartOffsetY[1][m] = 2e6;
  avatarPartSwingY[1][m] = 10;
  avatarPartRateY[1][m] = 1;
}

// The model ahead of an eye looking down -z, across the right edge of its 90 degree view, and
// behind it (the modelview the recorder answers in force at the model); far behind, as the
// reach of a part's swing counts twice its pivot's distance, here beyond kMaxTranslation.
const double kAhead[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -20, 1};
const double kEdge[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 20, 0, -20, 1};
const double kBehind[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 1e7, 1};

// What three frames of drawing the model sent (recorder::Drawing) and left (the binding cache,
// the part bookkeeping), and the raw calls; before each frame the cache holds texture 2,
// nothing, or texture 1.
struct Frames {
  std::vector<std::string> drawing, calls;
};

template <typename Load, typename Draw>
Frames DrawFrames(Load load, Draw draw, bool lists, bool cull, const double (&modelview)[16]) {
  load();
  PrepareModelBounds();
  recordStaticLists = lists;
  boundTexture = 1;  // as the static list may leave it
  const int least = minModelRunVertices;
  minModelRunVertices = 1;  // the test models' runs are short: recorded all the same
  RecordObjectLists();
  RecordAvatarList();
  minModelRunVertices = least;
  recorder::SetMatrices(recorder::kPerspective, modelview);
  viewCulling = cull;
  Frames out;
  for (const int cached : {2, 0, 1}) {
    recorder::Clear();
    boundTexture = 0;
    BindTextureCached(cached);
    draw();
    const std::vector<std::string> drawing = recorder::Drawing();
    out.drawing.insert(out.drawing.end(), drawing.begin(), drawing.end());
    out.drawing.push_back(
        "cache " + std::to_string(boundTexture) + " active " + std::to_string(activePart) +
        " objects " + std::to_string(partTransformActive) + " avatar " +
        std::to_string(avatarPartActive) + " saved " + std::to_string(savedAngleX) + "," +
        std::to_string(savedAngleY) + "," + std::to_string(savedAngleZ));
    out.calls.insert(out.calls.end(), recorder::Calls().begin(), recorder::Calls().end());
  }
  viewCulling = true;
  recordStaticLists = true;
  recorder::SetMatrices(recorder::kNoMatrix, recorder::kNoMatrix);
  return out;
}

// A drawing without its vertices and without the state at each matrix call, but for the last
// call of each frame (the state the model's drawing left before its placement is undone).
std::vector<std::string> Skeleton(const std::vector<std::string>& drawing) {
  std::vector<std::string> out;
  std::string last;
  for (const std::string& line : drawing) {
    if (line.rfind("vertex", 0) == 0) continue;
    if (line.rfind("cache", 0) == 0) {
      if (!out.empty() && out.back().rfind("cache", 0) != 0) out.back() = last;
      out.push_back(line);
      continue;
    }
    last = line;
    out.push_back(line.substr(0, line.find(" after")));
  }
  return out;
}

// A model drawn vertex by vertex is always sent whole (its runs are too short to be worth a
// view test); recorded and out of view, it replays no run but makes the same matrix calls and
// leaves the same state. A record whose part switches would not all change the matrix (a part
// whose transform cannot be applied) is not replayed: the model is drawn vertex by vertex.
template <typename Load, typename Draw>
void ExpectListsDrawAsImmediate(Load load, Draw draw, const std::string& model, bool replayed) {
  for (const bool cull : {false, true}) {
    for (const auto* view : {&kAhead, &kEdge, &kBehind}) {
      const auto where = ::testing::Message() << model << (cull ? ", culling" : "") << ", view "
                                              << (view == &kAhead  ? "ahead"
                                                  : view == &kEdge ? "edge"
                                                                   : "behind");
      const Frames immediate = DrawFrames(load, draw, false, cull, *view);
      const Frames lists = DrawFrames(load, draw, true, cull, *view);
      const bool hidden = replayed && cull && view == &kBehind;
      if (hidden)
        EXPECT_EQ(Skeleton(lists.drawing), Skeleton(immediate.drawing)) << where;
      else
        EXPECT_EQ(lists.drawing, immediate.drawing) << where;
      // The lists were replayed (a polygon's colour sent inside it), or nothing was in view.
      if (replayed) {
        EXPECT_NE(lists.calls, immediate.calls) << where;
      }
      EXPECT_EQ(std::count(immediate.calls.begin(), immediate.calls.end(), "glEnd()"), 3 * 11)
          << where;
      EXPECT_EQ(std::count(lists.calls.begin(), lists.calls.end(), "glEnd()"), hidden ? 0 : 3 * 11)
          << where;
    }
  }
}

TEST(ModelLists, AnObjectReplaysWhatItsWalkDraws) {
  ExpectListsDrawAsImmediate(
      LoadListObject, [] { DrawObjects(0); }, "object", false);
  ExpectListsDrawAsImmediate(
      [] {
        LoadListObject();
        objPartOffsetY[1][0][0] = 2;
      },
      [] { DrawObjects(0); }, "object, every part applied", true);
}

TEST(ModelLists, TheAvatarReplaysWhatItsWalkDrawsInEveryMode) {
  for (int mode = 1; mode <= 4; ++mode) {
    ExpectListsDrawAsImmediate([mode] { LoadAvatar(mode); }, DrawAvatar,
                               "avatar, mode " + std::to_string(mode), false);
    ExpectListsDrawAsImmediate(
        [mode] {
          LoadAvatar(mode);
          avatarPartOffsetY[1][0] = 2;
        },
        DrawAvatar, "avatar, every part applied, mode " + std::to_string(mode), true);
  }
}

}  // namespace
