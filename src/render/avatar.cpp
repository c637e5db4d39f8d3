// The user's own model, drawn last in a frame at the body position, placed as the control
// mode wants it and put back by explicit inverse transforms (no matrix stack). The camera it
// is drawn under was loaded before (motion/modes.h: mode 2's driver's camera right before it;
// in modes 3 and 4 the chase view of the frame before).
#include "render/avatar.h"

#include <array>
#include <cmath>
#include <vector>

#include "motion/camera.h"
#include "motion/swing.h"
#include "motion/vehicle.h"
#include "motion/viewer.h"
#include "platform/win32.h"
#include "render/colour_queue.h"
#include "render/cull.h"
#include "render/model_bounds.h"
#include "render/parts.h"
#include "render/polylist.h"
#include "render/polywalk.h"
#include "render/record.h"
#include "scene/scene.h"

int avatarPartActive;

namespace {

// The avatar's list recorded into display lists (not recorded: drawn vertex by vertex).
ModelRecord avatarRecord;

// The avatar list as the polygon walk sees it.
struct AvatarListView {
  int count() const { return avatarVertexCount; }
  double red(int v) const { return avatarRed[v]; }
  double green(int v) const { return avatarGreen[v]; }
  double blue(int v) const { return avatarBlue[v]; }
  double x(int v) const { return avatarX[v]; }
  double y(int v) const { return avatarY[v]; }
  double z(int v) const { return avatarZ[v]; }
  double s(int v) const { return avatarTexS[v]; }
  double t(int v) const { return avatarTexT[v]; }
  int end(int v) const { return avatarPolyEnd[v]; }
  int flag(int f) const { return avatarTextured[f]; }
  int tex(int f) const { return avatarTexId[f]; }
};

// The motion row of the avatar's parts.
int Row() { return motionKind >= 0 && motionKind < kMotionStates ? motionKind : 0; }

// Avatar part p in the current motion row, tilts included.
PartPivot AvatarPart(int p) {
  const int m = Row();
  return {avatarPartOffsetX[p][m], avatarPartOffsetY[p][m], avatarPartOffsetZ[p][m],
          avatarPartSwingX[p][m],  avatarPartSwingY[p][m],  avatarPartSwingZ[p][m],
          avatarPartTiltX[p][m],   avatarPartTiltY[p][m],   avatarPartTiltZ[p][m]};
}

// The avatar's part switching: tilts before swings, its own active flag. Returns whether it
// changed the matrix.
bool SwitchAvatarPart(int tag) {
  const int m = Row();
  return SwitchPart(avatarPartActive, tag, AvatarPart, [m](int p) {
    return std::array<double, 3>{avatarPartAngleX[p][m], avatarPartAngleY[p][m],
                                 avatarPartAngleZ[p][m]};
  });
}

// Whether the avatar's record draws as its walk: Mesa holds nothing as it begins (a placement
// was made right before) and every part switch of it changes the matrix (record.h).
bool RecordTrusted() {
  const int m = Row();
  return !writtenQueue.Holding() && EverySwitchCalls(avatarRecord.tags, [m](int p) {
    return PartApplies(AvatarPart(p), avatarPartAngleX[p][m], avatarPartAngleY[p][m],
                       avatarPartAngleZ[p][m]);
  });
}

// Draws the avatar's list vertex by vertex, as written, or following that drawing.
void WalkAvatar() {
  if (DrawingAsWritten()) {
    DrawPolygonList(AvatarListView{}, false, [](int v) { SwitchAvatarPart(avatarPartOf[v]); });
    return;
  }
  polywalk::FollowOut out(writtenQueue, nullptr);
  DrawPolygonList(
      AvatarListView{}, false,
      [&out](int v) {
        if (SwitchAvatarPart(avatarPartOf[v])) out.Emptied();
      },
      out);
}

// One placement step: a translation or a rotation about x, y or z.
struct Step {
  enum Kind { kTranslate, kRotateX, kRotateY, kRotateZ } kind;
  double a, b = 0, c = 0;
};

// Whether every step can be undone by its inverse (Translatable, Turnable).
bool Undoable(const std::vector<Step>& steps) {
  for (const Step& s : steps) {
    if (s.kind == Step::kTranslate) {
      if (!Translatable(s.a) || !Translatable(s.b) || !Translatable(s.c)) return false;
    } else if (!Turnable(s.a)) {
      return false;
    }
  }
  return true;
}

void Apply(const std::vector<Step>& steps) {
  for (const Step& s : steps) {
    switch (s.kind) {
      case Step::kTranslate:
        glTranslatef(GlFloat(s.a), GlFloat(s.b), GlFloat(s.c));
        break;
      case Step::kRotateX:
        glRotatef(GlFloat(s.a), 1, 0, 0);
        break;
      case Step::kRotateY:
        glRotatef(GlFloat(s.a), 0, 1, 0);
        break;
      case Step::kRotateZ:
        glRotatef(GlFloat(s.a), 0, 0, 1);
        break;
    }
  }
}

// The placement and the restore of the control mode, with bx, by, bz the body position,
// h = heading + avatarHeadingOffset, hr = headingRad, a = -heading, r = 90 - heading (both in
// radians) and v = trembleAmplitude. Mode 2's restore turns back only half of the body's
// pitch and roll: the next frame's scenery is drawn under the other half until its camera
// load. Empty for modes without a placement.
void PlacementOf(int mode, std::vector<Step>& place, std::vector<Step>& restore) {
  const double bx = bodyX + travelX, by = bodyY, bz = bodyZ + travelZ;
  const double h = heading + avatarHeadingOffset, hr = headingRad;
  const double a = -heading * degToRad, r = (90 - heading) * degToRad;
  const double v = trembleAmplitude;
  using S = Step;
  switch (mode) {
    case kModeWalk: {
      const double y = by - jumpLift;
      place = {{S::kTranslate, bx, y, bz},
               {S::kRotateZ, -std::cos(hr) * lookPitch},
               {S::kRotateX, -std::sin(hr) * lookPitch},
               {S::kRotateY, -h}};
      restore = {{S::kRotateY, h},
                 {S::kRotateX, std::sin(hr) * lookPitch},
                 {S::kRotateZ, std::cos(hr) * lookPitch},
                 {S::kTranslate, -bx, -y, -bz}};
      break;
    }
    case kModeDrive:
      place = {{S::kTranslate, bx, by, bz},
               {S::kRotateZ, -std::sin(hr) * bodyRoll},
               {S::kRotateX, std::cos(hr) * bodyRoll},
               {S::kRotateZ, -std::sin(a) * v},
               {S::kRotateX, std::cos(a) * v},
               {S::kRotateZ, std::sin(a) * bodyPitch},
               {S::kRotateX, -std::cos(a) * bodyPitch},
               {S::kRotateY, -h}};
      restore = {{S::kRotateY, h},
                 {S::kRotateX, std::cos(a) * bodyPitch / 2},
                 {S::kRotateZ, -std::sin(a) * bodyPitch / 2},
                 {S::kRotateX, -std::cos(a) * v},
                 {S::kRotateZ, std::sin(a) * v},
                 {S::kRotateX, -std::cos(hr) * bodyRoll / 2},
                 {S::kRotateZ, std::sin(hr) * bodyRoll / 2},
                 {S::kTranslate, -bx, -by, -bz}};
      break;
    case kModeFollow:
      place = {{S::kTranslate, bx, by, bz}, {S::kRotateY, -h}};
      restore = {{S::kRotateY, h}, {S::kTranslate, -bx, -by, -bz}};
      break;
    case kModeChase:
      place = {{S::kTranslate, bx, by, bz},
               {S::kRotateZ, -std::sin(r) * bodyRoll},
               {S::kRotateX, std::cos(r) * bodyRoll},
               {S::kRotateZ, std::sin(a) * bodyPitch},
               {S::kRotateX, -std::cos(a) * bodyPitch},
               {S::kRotateY, -h}};
      restore = {{S::kRotateY, h},
                 {S::kRotateX, std::cos(a) * bodyPitch},
                 {S::kRotateZ, -std::sin(a) * bodyPitch},
                 {S::kRotateX, -std::cos(r) * bodyRoll},
                 {S::kRotateZ, std::sin(r) * bodyRoll},
                 {S::kTranslate, -bx, -by, -bz}};
      break;
    default:
      break;
  }
}

// Whether the avatar, placed under the matrices in force, lies wholly out of view wherever
// its parts swing and tilt in the current motion row. Reads the matrices (once a frame).
bool OutOfView() {
  if (!viewCulling || !avatarBounds.known) return false;
  const ModelBounds& b = avatarBounds;
  const double radius = SwungRadius(b, [&](int p) {
    const PartPivot part = AvatarPart(p);
    return std::hypot(part.offsetX - b.x, part.offsetY - b.y, part.offsetZ - b.z);
  });
  ViewVolume view;
  view.Read();
  return view.SphereOutside(b.x, b.y, b.z, radius);
}

}  // namespace

// A placement that its inverse could not undo (a position beyond kMaxTranslation, an angle
// that is not finite) is not applied, and the avatar is not drawn that frame. A part
// transform still in force when the list ends is undone there, before the restore. Modes
// outside 1..4 draw the avatar in world coordinates under whatever matrix is current. A
// recorded avatar out of view replays no run but switches its parts and leaves the state as
// drawn; one drawn vertex by vertex (its runs too short to record) is sent whole, as for the
// objects (render/objects.cpp). Its parts swing a step (motion/swing.h) each time it is drawn,
// placed or not, before any of its part transforms.
void DrawAvatar() {
  std::vector<Step> place, restore;
  PlacementOf(ControlMode, place, restore);
  const bool placed = Undoable(place) && Undoable(restore);
  if (placed && !place.empty()) {
    Apply(place);
    writtenQueue.StateChange();
  }

  SwingAvatarParts(Row());
  if (placed && avatarVertexCount != 0) {
    if (avatarRecord.recorded && RecordTrusted()) {
      ReplayModel(avatarRecord, !OutOfView(), SwitchAvatarPart);
    } else {
      WalkAvatar();
    }
    if (avatarPartActive == 1) UndoActivePart(avatarPartActive, AvatarPart(activePart));
  }
  if (placed && !restore.empty()) {
    Apply(restore);
    writtenQueue.StateChange();
  }
}

void RecordAvatarList() {
  avatarRecord = {};
  if (!recordStaticLists || glGetString(GL_VERSION) == nullptr || avatarVertexCount <= 0) return;
  avatarRecord = RecordModel(AvatarListView{}, [](int v) { return avatarPartOf[v]; });
}

void ResetAvatar() {
  avatarPartActive = 0;
  avatarRecord = {};
}
