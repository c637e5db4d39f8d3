// Moving object drawing. Nothing uses a matrix stack: every transform applied for an object
// is followed by its exact inverse.
#include "render/objects.h"

#include <array>
#include <cmath>

#include "motion/camera.h"
#include "motion/viewer.h"
#include "platform/win32.h"
#include "render/cull.h"
#include "render/parts.h"
#include "render/polywalk.h"
#include "render/record.h"
#include "scene/scene.h"

int partTransformActive;

namespace {

// Each object's list recorded into display lists (none: drawn vertex by vertex).
std::vector<ModelRecord> objectRecords;

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

// Whether object i, placed under the matrices in force, lies wholly out of view wherever its
// parts swing in its current motion state.
bool OutOfView(int i) {
  if (!viewCulling || i >= static_cast<int>(objectBounds.size()) || !objectBounds[i].known)
    return false;
  const ModelBounds& b = objectBounds[i];
  const double radius = SwungRadius(b, [&b, i](int p) {
    const PartPivot part = ObjectPart(i, p);
    return std::hypot(part.offsetX - b.x, part.offsetY - b.y, part.offsetZ - b.z);
  });
  ViewVolume view;
  view.Read();
  return view.SphereOutside(b.x, b.y, b.z, radius);
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
// transform still in force when the list ends is undone there, before the placement. An
// object out of view sends no polygon but switches its parts all the same (the matrices and
// the part bookkeeping come out as drawn) and leaves the state its drawing would. A recorded
// list is replayed run by run with the part switches between (record.h); the near test decides
// before it whether the object is drawn at all, so the record holds whatever the eye.
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

  if (i < static_cast<int>(objectRecords.size()) && objectRecords[i].recorded) {
    ReplayModel(objectRecords[i], !OutOfView(i), [i](int tag) { SwitchPartTransform(i, tag); });
  } else if (OutOfView(i)) {
    const auto switchParts = [i](int v) { SwitchPartTransform(i, objVtxPart[v][i]); };
    polywalk::StateOut state;
    DrawPolygonList(ObjectListView{i}, false, switchParts, state);
    state.Finish();
  } else {
    DrawPolygonList(ObjectListView{i}, false,
                    [i](int v) { SwitchPartTransform(i, objVtxPart[v][i]); });
  }
  if (partTransformActive == 1) UndoActivePart(partTransformActive, ObjectPart(i, activePart));

  glRotatef(GlFloat(turn), 0, 1, 0);
  glTranslatef(-GlFloat(x), -GlFloat(y), -GlFloat(z));
}

void RecordObjectLists() {
  objectRecords.clear();
  if (!recordStaticLists || glGetString(GL_VERSION) == nullptr) return;
  for (int o = 0; o <= objectLastIndex && o < static_cast<int>(objectVertexCount.size()); ++o)
    objectRecords.push_back(
        RecordModel(ObjectListView{o}, [o](int v) { return objVtxPart[v][o]; }));
}

void ResetPartTransforms() {
  objectRecords.clear();
  partTransformActive = 0;
  activePart = 0;
  savedAngleX = savedAngleY = savedAngleZ = 0;
}
