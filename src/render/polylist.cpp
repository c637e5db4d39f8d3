// The two static scene lists: drawn vertex by vertex, or recorded in runs and replayed.
#include "render/polylist.h"

#include "platform/win32.h"
#include "render/colour_queue.h"
#include "render/hiders.h"
#include "render/occlusion.h"
#include "render/polywalk.h"
#include "render/record.h"
#include "render/texture_binding.h"
#include "scene/scene.h"

bool recordStaticLists = true;

namespace {

// The runs of the plain and the static list (none: drawn immediately), recorded with nothing
// bound, as every frame starts.
std::vector<Run> plainRuns, staticRuns;
bool listsRecorded;
// Mesa's queue as drawing both lists vertex by vertex after the frame's clear leaves it.
ColourQueue listsLeave;
int plainLeftOut, staticLeftOut;  // runs left out by the last replay of each list

// The calls of both lists, kept to send runs with their hidden polygons left out.
ListCalls plainCalls, staticCalls;

// Polygons per run: small enough that a run mostly out of view is left out, large enough that
// the per-list cost stays below the vertices' cost.
constexpr int kRunPolygons = 48;

std::vector<char> hidden;  // scratch: which polygons of a run are left out

// Replays the runs that can be seen, under the matrices in force: a run wholly out of view is
// left out, and of the others, the polygons hidden behind the static list's (render/hiders.h).
// scenery: the runs are the static list's. Returns how many runs were left out. The plain list
// is tested against hiders it has not drawn yet: the frame draws the static list right after
// it, under the same matrices, and a hidden pixel loses the depth test in either order.
int ReplayInView(const std::vector<Run>& runs, const ListCalls& kept, bool scenery) {
  ViewVolume view;
  view.Read();
  LayHiders(view, staticRuns, staticCalls);
  const OcclusionTiles& tiles = SceneryHiders();
  const auto decide = [&](const Run& run) {
    if (view.BoxOutside(run.lo, run.hi)) return RunSend::kSkip;
    if (!tiles.usable) return RunSend::kWhole;
    const int left = MarkHidden(run, kept, scenery, hidden);
    if (left == run.endPolygon - run.firstPolygon) return RunSend::kSkip;
    return left > 0 ? RunSend::kSome : RunSend::kWhole;
  };
  return ReplayRuns(
      runs, decide, [](std::size_t) {}, [&kept](const Run& run) { SendSome(run, kept, hidden); });
}

// The static list as the polygon walk sees it.
struct StaticListView {
  int count() const { return staticVertexCount; }
  double red(int v) const { return staticRed[v]; }
  double green(int v) const { return staticGreen[v]; }
  double blue(int v) const { return staticBlue[v]; }
  double x(int v) const { return staticX[v]; }
  double y(int v) const { return staticY[v]; }
  double z(int v) const { return staticZ[v]; }
  double s(int v) const { return staticTexS[v]; }
  double t(int v) const { return staticTexT[v]; }
  int end(int v) const { return staticPolyEnd[v]; }
  int flag(int f) const { return staticTextured[f]; }
  int tex(int f) const { return staticTexId[f]; }
};

// The plain list: untextured polygons. One whose last vertex does not close its polygon is
// closed at the count.
template <typename Out>
void WalkPlainList(Out&& out) {
  if (plainVertexCount <= 0) return;
  out.Disable();
  int i = 0;
  out.Colour(plainRed[1], plainGreen[1], plainBlue[1]);
  out.Begin();
  while (i < plainVertexCount) {
    ++i;
    out.Vertex(plainX[i], plainY[i], plainZ[i]);
    if (plainPolyEnd[i] == 1) {
      out.End();
      if (i < plainVertexCount) {
        out.Colour(plainRed[i + 1], plainGreen[i + 1], plainBlue[i + 1]);
        out.Begin();
      }
    }
  }
  if (plainPolyEnd[plainVertexCount] != 1) out.End();
}

template <typename Out>
void WalkStaticList(Out&& out) {
  DrawPolygonList(
      StaticListView{}, true, [](int) {}, out);
}

// Forgets the recorded lists (their display lists are deleted by the caller, if any), their
// calls and the hiders laid from them.
void ForgetLists() {
  plainRuns.clear();
  staticRuns.clear();
  plainCalls.Clear();
  staticCalls.Clear();
  ForgetHiders();
  listsLeave = {};
  listsRecorded = false;
}

}  // namespace

bool DrawingAsWritten() { return !recordStaticLists && !viewCulling; }

// Without recorded runs the list is walked vertex by vertex, each polygon out of view left
// out. The frame's clear, right before, has made Mesa draw what it held.
void DrawPlainList() {
  writtenQueue.StateChange();
  if (listsRecorded) {
    plainLeftOut = ReplayInView(plainRuns, plainCalls, false);
  } else if (DrawingAsWritten()) {
    WalkPlainList(polywalk::GlOut{});
  } else {
    ViewVolume view;
    if (viewCulling) view.Read();
    WalkPlainList(polywalk::FollowOut(writtenQueue, viewCulling ? &view : nullptr));
  }
}

// The recorded runs leave the current colour and GL_TEXTURE_2D as the walk would, and the
// texture it bound last, which the objects and the avatar find in boundTexture.
void DrawStaticList() {
  if (listsRecorded) {
    staticLeftOut = ReplayInView(staticRuns, staticCalls, true);
    writtenQueue = listsLeave;
  } else if (DrawingAsWritten()) {
    WalkStaticList(polywalk::GlOut{});
  } else {
    ViewVolume view;
    if (viewCulling) view.Read();
    WalkStaticList(polywalk::FollowOut(writtenQueue, viewCulling ? &view : nullptr));
  }
}

void RecordStaticLists() {
  ForgetLists();
  if (!recordStaticLists || distanceCulling == 1 || glGetString(GL_VERSION) == nullptr) return;
  ColourQueue queue;  // as the frame's clear leaves it
  {
    const TextureBindingSaved saved;
    RecordOut plain(plainRuns, kRunPolygons, queue, &plainCalls);
    plain.Open();
    WalkPlainList(plain);
    plain.Finish();
  }
  {
    const TextureBindingSaved saved;
    RecordOut scenery(staticRuns, kRunPolygons, queue, &staticCalls);
    scenery.Open();
    WalkStaticList(scenery);
    scenery.Finish();
  }
  listsLeave = queue;
  listsRecorded = AllRecorded(plainRuns) && AllRecorded(staticRuns);
  if (!listsRecorded) {  // out of display lists: draw immediately
    DeleteRuns(plainRuns);
    DeleteRuns(staticRuns);
    plainCalls.Clear();
    staticCalls.Clear();
  }
}

int RunsLeftOut() { return plainLeftOut + staticLeftOut; }

void ResetDrawing() {
  plainLeftOut = staticLeftOut = 0;
  ForgetBoundTexture();
  ForgetLists();
}
