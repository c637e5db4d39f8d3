// The texture-binding cache and the two static scene lists.
#include "render/polylist.h"

#include "platform/win32.h"
#include "render/polywalk.h"
#include "scene/scene.h"

int boundTexture;
bool recordStaticLists = true;

namespace {

// The state a list leaves in OpenGL after some of its polygons: the colour and texture
// coordinates sent last, texture enabling as switched last (-1: not yet), and the texture
// bound last as the binding cache holds it (0: nothing yet).
struct LeftState {
  double r = 0, g = 0, b = 0, s = 0, t = 0;
  bool coloured = false, mapped = false;
  int texture = -1;
  int bound = 0;
};

// One run of consecutive polygons recorded as a display list: the box around its vertices
// (empty when lo > hi) and the state the list leaves after it, from the list's start.
struct Run {
  GLuint list = 0;
  double lo[3] = {1, 1, 1}, hi[3] = {0, 0, 0};
  LeftState leaves;
};

// The runs of the plain and the static list (none: drawn immediately), recorded with nothing
// bound, as every frame starts.
std::vector<Run> plainRuns, staticRuns;
bool listsRecorded;
int plainLeftOut, staticLeftOut;  // runs left out by the last replay of each list

// Polygons per run: small enough that a run mostly out of view is left out, large enough that
// the per-list cost stays below the vertices' cost.
constexpr int kRunPolygons = 48;

// Sends the state a list leaves after the runs left out before a run that is replayed.
void MakeState(const LeftState& state) {
  if (state.coloured) glColor3d(state.r, state.g, state.b);
  if (state.mapped) glTexCoord2d(state.s, state.t);
  if (state.texture == 1) glEnable(GL_TEXTURE_2D);
  if (state.texture == 0) glDisable(GL_TEXTURE_2D);
  if (state.bound != 0) BindTextureCached(state.bound);
}

// Replays the runs that can be seen, under the matrices in force; for a stretch of runs left
// out, only the state the last of them leaves is made. The binding cache ends as the whole
// list leaves it. Returns how many runs were left out.
int ReplayRuns(const std::vector<Run>& runs) {
  ViewVolume view;
  view.Read();
  const Run* pending = nullptr;
  int leftOut = 0;
  for (const Run& run : runs) {
    const bool empty = run.lo[0] > run.hi[0];  // state only, no vertex
    if (empty || view.BoxOutside(run.lo, run.hi)) {
      pending = &run;
      leftOut += !empty;
      continue;
    }
    if (pending) MakeState(pending->leaves);
    pending = nullptr;
    glCallList(run.list);
    if (run.leaves.bound != 0) boundTexture = run.leaves.bound;
  }
  if (pending) MakeState(pending->leaves);
  return leftOut;
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

// Where a recorded walk's drawing goes: the same calls, except that the colour is given with
// every vertex (the colour a polygon's vertices would take from the current colour) and every
// vertex carries texture coordinates (those of a plain polygon are never looked up). So the
// record holds one run of vertices of one format between texture switches, which OpenGL
// replays far faster than polygons separated by colour changes. The colour set last is set
// again at the end: the current colour after a replay is what the walk leaves. The walk is cut
// into runs after every kRunPolygons polygons, each its own display list; the calls between
// two polygons go with the one after.
struct RecordOut {
  explicit RecordOut(std::vector<Run>& into) : runs(into) {}
  std::vector<Run>& runs;
  double r = 0, g = 0, b = 0, s = 0, t = 0;
  bool coloured = false;
  int polygons = 0;  // in the open run
  LeftState sent;    // what the calls sent so far leave
  void Open() {
    runs.emplace_back();
    runs.back().list = glGenLists(1);
    if (runs.back().list != 0) glNewList(runs.back().list, GL_COMPILE);
    polygons = 0;
  }
  void Close() {
    if (runs.back().list != 0) glEndList();
    sent.bound = boundTexture;
    runs.back().leaves = sent;
  }
  void Colour(double rr, double gg, double bb) {
    r = rr;
    g = gg;
    b = bb;
    coloured = true;
  }
  void TexCoord(double ss, double tt) {
    s = ss;
    t = tt;
  }
  void Vertex(double x, double y, double z) {
    glColor3d(r, g, b);
    glTexCoord2d(s, t);
    glVertex3d(x, y, z);
    sent.r = r, sent.g = g, sent.b = b, sent.s = s, sent.t = t;
    sent.coloured = sent.mapped = true;
    Run& run = runs.back();
    const double p[3] = {x, y, z};
    const bool empty = run.lo[0] > run.hi[0];
    for (int a = 0; a < 3; ++a) {
      if (empty || p[a] < run.lo[a]) run.lo[a] = p[a];
      if (empty || p[a] > run.hi[a]) run.hi[a] = p[a];
    }
  }
  void Begin() { glBegin(GL_POLYGON); }
  void End() {
    glEnd();
    if (++polygons < kRunPolygons) return;
    Close();
    Open();
  }
  void Enable() {
    glEnable(GL_TEXTURE_2D);
    sent.texture = 1;
  }
  void Disable() {
    glDisable(GL_TEXTURE_2D);
    sent.texture = 0;
  }
  void Bind(int id) { BindTextureCached(id); }
  void Finish() {
    if (coloured) {
      glColor3d(r, g, b);
      sent.r = r, sent.g = g, sent.b = b;
      sent.coloured = true;
    }
    Close();
  }
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
    plainLeftOut = ReplayRuns(plainRuns);
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
    staticLeftOut = ReplayRuns(staticRuns);
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
  RecordOut plain(plainRuns);
  plain.Open();
  WalkPlainList(plain);
  plain.Finish();
  boundTexture = 0;
  RecordOut scenery(staticRuns);
  scenery.Open();
  WalkStaticList(scenery);
  scenery.Finish();
  boundTexture = bound;
  for (const auto* runs : {&plainRuns, &staticRuns})
    for (const Run& run : *runs)
      if (run.list == 0) {  // out of display lists: draw immediately
        plainRuns.clear();
        staticRuns.clear();
        return;
      }
  listsRecorded = true;
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
