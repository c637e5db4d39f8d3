// The texture-binding cache and the two static scene lists.
#include "render/polylist.h"

#include "platform/win32.h"
#include "render/polywalk.h"
#include "scene/scene.h"

int boundTexture;
bool recordStaticLists = true;

namespace {

// The display lists of the plain and the static list (0: drawn immediately), and the texture
// the static list leaves bound: recorded with nothing bound, as every frame starts.
GLuint plainList, staticList;
int staticListLeavesBound;

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
// again at the end: the current colour after a replay is what the walk leaves.
struct RecordOut {
  double r = 0, g = 0, b = 0, s = 0, t = 0;
  bool coloured = false;
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
  }
  void Begin() { glBegin(GL_POLYGON); }
  void End() { glEnd(); }
  void Enable() { glEnable(GL_TEXTURE_2D); }
  void Disable() { glDisable(GL_TEXTURE_2D); }
  void Bind(int id) { BindTextureCached(id); }
  void Finish() {
    if (coloured) glColor3d(r, g, b);
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

void DrawPlainList() {
  if (plainList != 0) {
    glCallList(plainList);
  } else {
    WalkPlainList(polywalk::GlOut{});
  }
}

// The recorded list leaves the current colour and GL_TEXTURE_2D as the walk would, and the
// texture it bound last, which the objects and the avatar find in boundTexture.
void DrawStaticList() {
  if (staticList != 0) {
    glCallList(staticList);
    boundTexture = staticListLeavesBound;
  } else {
    WalkStaticList(polywalk::GlOut{});
  }
}

void RecordStaticLists() {
  plainList = staticList = 0;
  if (!recordStaticLists || distanceCulling == 1 || glGetString(GL_VERSION) == nullptr) return;
  const GLuint lists = glGenLists(2);
  if (lists == 0) return;
  const int bound = boundTexture;
  glNewList(lists, GL_COMPILE);
  RecordOut plain;
  WalkPlainList(plain);
  plain.Finish();
  glEndList();
  boundTexture = 0;
  glNewList(lists + 1, GL_COMPILE);
  RecordOut scenery;
  WalkStaticList(scenery);
  scenery.Finish();
  glEndList();
  staticListLeavesBound = boundTexture;
  boundTexture = bound;
  plainList = lists;
  staticList = lists + 1;
}

void ResetDrawing() {
  boundTexture = 0;
  plainList = staticList = 0;
  staticListLeavesBound = 0;
}
