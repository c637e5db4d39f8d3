// The texture-binding cache and the two static scene lists.
#include "render/polylist.h"

#include "platform/win32.h"
#include "render/polywalk.h"
#include "scene/scene.h"

int boundTexture;

namespace {

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

}  // namespace

void BindTextureCached(int id) {
  if (id == boundTexture) return;
  boundTexture = id;
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(id));
}

// A plain list whose last vertex does not close its polygon is closed at the count.
void DrawPlainList() {
  if (plainVertexCount <= 0) return;
  glDisable(GL_TEXTURE_2D);
  int i = 0;
  glColor3d(plainRed[1], plainGreen[1], plainBlue[1]);
  glBegin(GL_POLYGON);
  while (i < plainVertexCount) {
    ++i;
    glVertex3d(plainX[i], plainY[i], plainZ[i]);
    if (plainPolyEnd[i] == 1) {
      glEnd();
      if (i < plainVertexCount) {
        glColor3d(plainRed[i + 1], plainGreen[i + 1], plainBlue[i + 1]);
        glBegin(GL_POLYGON);
      }
    }
  }
  if (plainPolyEnd[plainVertexCount] != 1) glEnd();
}

void ResetDrawing() { boundTexture = 0; }

void DrawStaticList() {
  DrawPolygonList(StaticListView{}, true, [](int) {});
}
