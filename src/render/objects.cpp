// Moving object drawing. Nothing uses a matrix stack: every transform applied for an object
// is followed by its exact inverse.
#include "render/objects.h"

#include <array>
#include <cmath>

#include "motion/camera.h"
#include "motion/viewer.h"
#include "platform/win32.h"
#include "render/parts.h"
#include "render/polywalk.h"
#include "scene/scene.h"

int partTransformActive;

namespace {

// Object i's polygon list as the polygon walk sees it.
struct ObjectListView {
  int o;
  int count() const { return objectVertexCount[o]; }
  double red(int v) const { return objVtxRed[v][o]; }
  double green(int v) const { return objVtxGreen[v][o]; }
  double blue(int v) const { return objVtxBlue[v][o]; }
  double x(int v) const { return objVtxX[v][o]; }
  double y(int v) const { return objVtxY[v][o]; }
  double z(int v) const { return objVtxZ[v][o]; }
  double s(int v) const { return objVtxTexS[v][o]; }
  double t(int v) const { return objVtxTexT[v][o]; }
  int end(int v) const { return objVtxPolyEnd[v][o]; }
  int flag(int f) const { return objVtxTextured[f][o]; }
  int tex(int f) const { return objVtxTexId[f][o]; }
};

// Part p of object i in its current motion state.
PartPivot ObjectPart(int i, int p) {
  const int s = objectMotionState[i];
  return {objPartOffsetX[p][s][i], objPartOffsetY[p][s][i], objPartOffsetZ[p][s][i],
          objPartSwingX[p][s][i],  objPartSwingY[p][s][i],  objPartSwingZ[p][s][i]};
}

}  // namespace

void SwitchPartTransform(int i, int tag) {
  const int s = objectMotionState[i];
  SwitchPart(
      partTransformActive, tag, [i](int p) { return ObjectPart(i, p); },
      [i, s](int p) {
        return std::array<double, 3>{objPartAngleX[p][s][i], objPartAngleY[p][s][i],
                                     objPartAngleZ[p][s][i]};
      });
}

// An object whose placement could not be undone (Translatable, Turnable) is not drawn. A part
// transform still in force when the list ends is undone there, before the placement.
void DrawObjects(int i) {
  const double x = objectX[i] + objectMoveX[i], y = objectY[i], z = objectZ[i] + objectMoveZ[i];
  const double turn = objectHeading[i] + objectHeadingOffset[i];
  if (objectNearTest[i] != 0) {
    const double bx = bodyX + travelX, bz = bodyZ + travelZ, reach = objectNearDistance[i];
    if (!(x - bx < reach && bx - x < reach && z - bz < reach && bz - z < reach)) return;
  }
  if (!Translatable(x) || !Translatable(y) || !Translatable(z) || !Turnable(turn)) return;

  glTranslatef(GlFloat(x), GlFloat(y), GlFloat(z));
  glRotatef(-GlFloat(turn), 0, 1, 0);

  const int s = objectMotionState[i];
  for (int p = 0; p <= objectPartLastIndex[i] && p < kPartSlots; ++p) {
    OscillateAngle(objPartAngleX[p][s][i], objPartRateX[p][s][i], objPartSwingX[p][s][i]);
    OscillateAngle(objPartAngleY[p][s][i], objPartRateY[p][s][i], objPartSwingY[p][s][i]);
    OscillateAngle(objPartAngleZ[p][s][i], objPartRateZ[p][s][i], objPartSwingZ[p][s][i]);
  }

  DrawPolygonList(ObjectListView{i}, false,
                  [i](int v) { SwitchPartTransform(i, objVtxPart[v][i]); });
  if (partTransformActive == 1) UndoActivePart(partTransformActive, ObjectPart(i, activePart));

  glRotatef(GlFloat(turn), 0, 1, 0);
  glTranslatef(-GlFloat(x), -GlFloat(y), -GlFloat(z));
}

void ResetPartTransforms() {
  partTransformActive = 0;
  activePart = 0;
  savedAngleX = savedAngleY = savedAngleZ = 0;
}
