// Moving object drawing. Nothing uses a matrix stack: every transform applied for an object
// is followed by its exact inverse.
#include "render/objects.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "motion/camera.h"
#include "motion/swing.h"
#include "motion/viewer.h"
#include "platform/win32.h"
#include "render/colour_queue.h"
#include "render/cull.h"
#include "render/hiders.h"
#include "render/model_bounds.h"
#include "render/occlusion.h"
#include "render/parts.h"
#include "render/polylist.h"
#include "render/polywalk.h"
#include "render/record.h"
#include "scene/scene.h"

int partTransformActive;

namespace {

constexpr double kNoBound = std::numeric_limits<double>::infinity();

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

// Between BeginObjects and EndObjects: the view volume read at the first object tested (once
// a frame), and what the objects drawn since have done to the matrix in force: float round
// trips that leave it within a drift of the one read (ViewVolume::AddDrift).
struct ObjectsView {
  ViewVolume read;
  bool begun = false, fresh = false;
  int rotations = 0, translations = 0;
  double reach = 0;
  OcclusionTiles* hiders = nullptr;  // the frame's scenery, laid before the objects
} objectsView;

// The largest offset, coordinates summed, of object i's parts in its current motion state.
double PivotReach(int i) {
  double farthest = 0;
  const ModelBounds& b = objectBounds[i];
  for (int p = 0; p < kPartSlots; ++p)
    if (b.partTags & (1u << p)) {
      const PartPivot part = ObjectPart(i, p);
      const double d = std::fabs(part.offsetX) + std::fabs(part.offsetY) + std::fabs(part.offsetZ);
      if (!(d <= farthest)) farthest = d;
    }
  return farthest;
}

// Whether object i, placed at x, y, z and turned by turn under the matrices in force, lies
// wholly out of view wherever its parts swing in its current motion state. Outside the frame's
// objects (a lone drawing), the matrices in force are read from OpenGL.
bool OutOfView(int i, float x, float y, float z, float turn) {
  if (!viewCulling || i >= static_cast<int>(objectBounds.size()) || !objectBounds[i].known)
    return false;
  const ModelBounds& b = objectBounds[i];
  const double radius = SwungRadius(b, [&b, i](int p) {
    const PartPivot part = ObjectPart(i, p);
    return std::hypot(part.offsetX - b.x, part.offsetY - b.y, part.offsetZ - b.z);
  });
  ViewVolume view;
  if (objectsView.fresh) {
    view = objectsView.read;
    view.AddDrift(objectsView.rotations, objectsView.translations, objectsView.reach);
    view.Translate(x, y, z);
    view.Rotate(-turn, 0, 1, 0);
  } else {
    view.Read();
  }
  return view.SphereOutside(b.x, b.y, b.z, radius);
}

// Whether recorded object i, placed under the matrices in force, lies wholly behind the
// frame's scenery wherever its parts swing. The matrices are read afresh (exact, where the
// frustum test's composed volume allows for the drift of every object drawn before), with an
// allowance for the float round trips of the object's own part switches, and for OpenGL's
// setup of each polygon's triangles, by its shape, in its part's place
// (render/occlusion_margins.h).
bool HiddenBehindScenery(int i) {
  if (!objectsView.hiders || !objectsView.hiders->usable || !objectBounds[i].known) return false;
  const ModelBounds& b = objectBounds[i];
  const double radius = SwungRadius(b, [&b, i](int p) {
    const PartPivot part = ObjectPart(i, p);
    return std::hypot(part.offsetX - b.x, part.offsetY - b.y, part.offsetZ - b.z);
  });
  ViewVolume view;
  view.Read();
  view.AddDrift(kSwitchRotations * b.switches, kSwitchTranslations * b.switches, 2 * PivotReach(i));
  const double centre[3] = {b.x, b.y, b.z};
  const OcclusionTiles& hiders = *objectsView.hiders;
  const WindowBox box = hiders.PlaceSphere(view, centre, radius);
  if (!hiders.Hidden(box, 0)) return false;
  const ModelRecord& record = objectRecords[i];
  const int s = objectMotionState[i];
  double allowance = 0;
  for (std::size_t k = 0; k < record.runs.size() && allowance < kNoBound; ++k) {
    // Run k is drawn under the part switched to before it, if its transform applies.
    ViewVolume frame = view;
    const int tag = record.tags[k];
    if (tag != kNoPart) {
      const PartPivot part = ObjectPart(i, tag);
      const double ax = objPartAngleX[tag][s][i], ay = objPartAngleY[tag][s][i],
                   az = objPartAngleZ[tag][s][i];
      if (PartApplies(part, ax, ay, az))
        PartSteps(
            part, ax, ay, az, [&frame](float x, float y, float z) { frame.Translate(x, y, z); },
            [&frame](float degrees, int axis) {
              frame.Rotate(degrees, axis == 0, axis == 1, axis == 2);
            });
    }
    const ViewFrame placed = OcclusionTiles::Frame(frame);
    const Run& run = record.runs[k];
    for (int p = run.firstPolygon; p < run.endPolygon && allowance < kNoBound; ++p)
      allowance = std::max(allowance, hiders.Allowance(box, placed, record.calls.shapes[p]));
  }
  return hiders.Hidden(box, allowance);
}

// Before the placement of the frame's first object tested: reads the view volume of the
// matrices in force. Only the round trips of the objects drawn from here on are counted.
void ReadObjectsView() {
  if (!objectsView.begun || objectsView.fresh || !viewCulling) return;
  objectsView.read.Read();
  objectsView.fresh = true;
}

// Counts the round trips object i's drawing at x, y, z made on the matrix in force: its
// placement and, at most, two translations and six rotations each way for every part switch.
void CountRoundTrips(int i, double x, double y, double z) {
  if (!objectsView.fresh) return;
  const bool known = i < static_cast<int>(objectBounds.size()) && objectBounds[i].known;
  const int switches = known ? objectBounds[i].switches : 0;
  const double placed = std::fabs(x) + std::fabs(y) + std::fabs(z);
  const double reach = placed + (known ? 2 * PivotReach(i) : 0);
  objectsView.rotations += kPlacementRotations + kSwitchRotations * switches;
  objectsView.translations += kPlacementTranslations + kSwitchTranslations * switches;
  if (!(reach <= objectsView.reach)) objectsView.reach = reach;
}

// Whether object i's record draws as its walk: every part switch of it changes the matrix with
// the parts' current angles (record.h).
bool RecordTrusted(int i) {
  const int s = objectMotionState[i];
  return EverySwitchCalls(objectRecords[i].tags, [i, s](int p) {
    return PartApplies(ObjectPart(i, p), objPartAngleX[p][s][i], objPartAngleY[p][s][i],
                       objPartAngleZ[p][s][i]);
  });
}

// Draws object i's list vertex by vertex, as written, or following that drawing.
void WalkObject(int i) {
  if (DrawingAsWritten()) {
    DrawPolygonList(ObjectListView{i}, false,
                    [i](int v) { SwitchPartTransform(i, objVtxPart[v][i]); });
    return;
  }
  polywalk::FollowOut out(writtenQueue, nullptr);
  DrawPolygonList(
      ObjectListView{i}, false,
      [i, &out](int v) {
        if (SwitchPartTransform(i, objVtxPart[v][i])) out.Emptied();
      },
      out);
}

}  // namespace

bool SwitchPartTransform(int i, int tag) {
  const int s = objectMotionState[i];
  return SwitchPart(
      partTransformActive, tag, [i](int p) { return ObjectPart(i, p); },
      [i, s](int p) {
        return std::array<double, 3>{objPartAngleX[p][s][i], objPartAngleY[p][s][i],
                                     objPartAngleZ[p][s][i]};
      });
}

// An object whose placement could not be undone (Translatable, Turnable) is not drawn. A part
// transform still in force when the list ends is undone there, before the placement. A
// recorded list is replayed run by run with the part switches between (record.h); the near
// test decides before it whether the object is drawn at all, so the record holds whatever the
// eye. A recorded object out of view replays no run but switches its parts all the same (the
// matrices and the part bookkeeping come out as drawn) and leaves the state its drawing would.
// An object drawn vertex by vertex (its runs too short to record) is sent whole: on Mesa,
// leaving such a model out measured slower than sending its few vertices (the demo city's
// frames in quiet stretches took 8 ms instead of 1.8 at 256 x 192). The object's parts swing a
// step (motion/swing.h) only in the frames it passes the near test and can be placed, and
// before any of its part transforms: that is decided here, so the swing is made here.
void DrawObjects(int i) {
  const double x = objectX[i] + objectMoveX[i], y = objectY[i], z = objectZ[i] + objectMoveZ[i];
  const double turn = objectHeading[i] + objectHeadingOffset[i];
  if (objectNearTest[i] != 0) {
    const double bx = bodyX + travelX, bz = bodyZ + travelZ, reach = objectNearDistance[i];
    if (!(x - bx < reach && bx - x < reach && z - bz < reach && bz - z < reach)) return;
  }
  if (!Translatable(x) || !Translatable(y) || !Translatable(z) || !Turnable(turn)) return;
  const bool recorded = i < static_cast<int>(objectRecords.size()) && objectRecords[i].recorded;
  if (recorded) ReadObjectsView();

  glTranslatef(GlFloat(x), GlFloat(y), GlFloat(z));
  glRotatef(-GlFloat(turn), 0, 1, 0);
  writtenQueue.StateChange();

  SwingObjectParts(i);

  if (recorded && RecordTrusted(i)) {
    const bool out =
        OutOfView(i, GlFloat(x), GlFloat(y), GlFloat(z), GlFloat(turn)) || HiddenBehindScenery(i);
    ReplayModel(objectRecords[i], !out, [i](int tag) { SwitchPartTransform(i, tag); });
  } else {
    WalkObject(i);
  }
  if (partTransformActive == 1) UndoActivePart(partTransformActive, ObjectPart(i, activePart));

  glRotatef(GlFloat(turn), 0, 1, 0);
  glTranslatef(-GlFloat(x), -GlFloat(y), -GlFloat(z));
  writtenQueue.StateChange();
  CountRoundTrips(i, x, y, z);
}

void BeginObjects() {
  objectsView = {};
  objectsView.begun = true;
  objectsView.hiders = &SceneryHiders();
}

void EndObjects() { objectsView = {}; }

void RecordObjectLists() {
  objectRecords.clear();
  if (!recordStaticLists || glGetString(GL_VERSION) == nullptr) return;
  for (int o = 0; o <= objectLastIndex && o < static_cast<int>(objectVertexCount.size()); ++o)
    objectRecords.push_back(
        RecordModel(ObjectListView{o}, [o](int v) { return objVtxPart[v][o]; }));
}

void ResetPartTransforms() {
  objectRecords.clear();
  objectsView = {};
  partTransformActive = 0;
  activePart = 0;
  savedAngleX = savedAngleY = savedAngleZ = 0;
}
