// The texture-binding cache and the two static scene lists.
#include "render/polylist.h"

#include "platform/win32.h"
#include "render/polywalk.h"
#include "render/record.h"
#include "scene/scene.h"

int boundTexture;
bool recordStaticLists = true;

namespace {

// The runs of the plain and the static list (none: drawn immediately), recorded with nothing
// bound, as every frame starts.
std::vector<Run> plainRuns, staticRuns;
bool listsRecorded;
int plainLeftOut, staticLeftOut;  // runs left out by the last replay of each list

// Polygons per run: small enough that a run mostly out of view is left out, large enough that
// the per-list cost stays below the vertices' cost.
constexpr int kRunPolygons = 48;

// Replays the runs that can be seen, under the matrices in force. Returns how many runs were
// left out.
int ReplayInView(const std::vector<Run>& runs) {
  ViewVolume view;
  view.Read();
  return ReplayRuns(
      runs, [&view](const Run& run) { return view.BoxOutside(run.lo, run.hi); },
      [](std::size_t) {});
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

}  // namespace

void BindTextureCached(int id) {
  if (id == boundTexture) return;
  boundTexture = id;
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(id));
}

// Without recorded runs the list is walked vertex by vertex, each polygon out of view left
// out.
void DrawPlainList() {
  if (listsRecorded) {
    plainLeftOut = ReplayInView(plainRuns);
  } else if (viewCulling) {
    ViewVolume view;
    view.Read();
    WalkPlainList(polywalk::CullingOut(view));
  } else {
    WalkPlainList(polywalk::GlOut{});
  }
}

// The recorded runs leave the current colour and GL_TEXTURE_2D as the walk would, and the
// texture it bound last, which the objects and the avatar find in boundTexture.
void DrawStaticList() {
  if (listsRecorded) {
    staticLeftOut = ReplayInView(staticRuns);
  } else if (viewCulling) {
    ViewVolume view;
    view.Read();
    WalkStaticList(polywalk::CullingOut(view));
  } else {
    WalkStaticList(polywalk::GlOut{});
  }
}

void RecordStaticLists() {
  plainRuns.clear();
  staticRuns.clear();
  listsRecorded = false;
  PrepareModelBounds();
  if (!recordStaticLists || distanceCulling == 1 || glGetString(GL_VERSION) == nullptr) return;
  const int bound = boundTexture;
  boundTexture = 0;
  RecordOut plain(plainRuns, kRunPolygons);
  plain.Open();
  WalkPlainList(plain);
  plain.Finish();
  boundTexture = 0;
  RecordOut scenery(staticRuns, kRunPolygons);
  scenery.Open();
  WalkStaticList(scenery);
  scenery.Finish();
  boundTexture = bound;
  listsRecorded = AllRecorded(plainRuns) && AllRecorded(staticRuns);
  if (!listsRecorded) {  // out of display lists: draw immediately
    DeleteRuns(plainRuns);
    DeleteRuns(staticRuns);
  }
}

int RunsLeftOut() { return plainLeftOut + staticLeftOut; }

void ResetDrawing() {
  plainLeftOut = staticLeftOut = 0;
  boundTexture = 0;
  plainRuns.clear();
  staticRuns.clear();
  listsRecorded = false;
  ResetModelBounds();
}
