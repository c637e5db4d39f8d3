// Articulated parts, shared by the moving objects and the avatar: the transform that turns the
// polygons a part carries about the part's pivot (their swing: motion/swing.h).
#pragma once

#include <vector>

#include "motion/camera.h"
#include "scene/scene.h"

// Translations and rotations are undone by their inverses, in float: a translation by t
// comes back with an error of about t / 2^24, and a rotation by an angle that is not finite
// does not come back at all. A model whose placement or part offset lies beyond
// kMaxTranslation (scene.h), or is not finite, or whose angle is not finite, is not placed: its
// transforms would shift or spoil everything drawn after them, frame after frame.
// Whether value can be a translation that its inverse undoes.
bool Translatable(double value);
// Whether value can be a rotation angle that its inverse undoes.
bool Turnable(double value);

// Where a part turns: its pivot, its swing amplitudes (an axis with amplitude 0 does not
// swing) and its fixed tilts (objects have none), by axis.
struct PartPivot {
  double offsetX, offsetY, offsetZ;
  double swingX, swingY, swingZ;
  double tiltX = 0, tiltY = 0, tiltZ = 0;
};

// The part applied last, shared by objects and avatar, with its angles as they were then.
extern int activePart;
extern double savedAngleX, savedAngleY, savedAngleZ;

// Whether a part's transform with the given angles can be applied: every value it uses could
// be undone (Translatable, Turnable).
bool PartApplies(const PartPivot& part, double angleX, double angleY, double angleZ);
// The steps of a part's transform with the given angles, as OpenGL is given them (float
// values): translate(x, y, z) by the offset; rotate(-tilt, axis) about x, y, z (0, 1, 2) for
// each non-zero tilt; rotate(-angle, axis) for each axis that swings; translate by -offset.
template <typename Translate, typename Rotate>
void PartSteps(const PartPivot& part, double angleX, double angleY, double angleZ,
               Translate translate, Rotate rotate) {
  const double tilt[3] = {part.tiltX, part.tiltY, part.tiltZ};
  const double swing[3] = {part.swingX, part.swingY, part.swingZ};
  const double angle[3] = {angleX, angleY, angleZ};
  translate(GlFloat(part.offsetX), GlFloat(part.offsetY), GlFloat(part.offsetZ));
  for (int a = 0; a < 3; ++a)
    if (tilt[a] != 0) rotate(GlFloat(-tilt[a]), a);
  for (int a = 0; a < 3; ++a)
    if (swing[a] != 0) rotate(GlFloat(-angle[a]), a);
  translate(-GlFloat(part.offsetX), -GlFloat(part.offsetY), -GlFloat(part.offsetZ));
}
// Applies a part's transform with the given angles (PartSteps). Returns false, applying
// nothing, unless PartApplies.
bool ApplyPartTransform(const PartPivot& part, double angleX, double angleY, double angleZ);
// The exact inverse of ApplyPartTransform with the same values: T(offset); R(angle) about z,
// y, x for each axis that swings; R(tilt) about z, y, x for each non-zero tilt; T(-offset).
void UndoPartTransform(const PartPivot& part, double angleX, double angleY, double angleZ);

// A part tag names part 0..19, or kNoPart for none; any other tag counts as kNoPart.
int PartTag(int tag);

// Undoes the part transform in force with the angles saved when it was applied, and clears
// the list's flag active.
void UndoActivePart(int& active, const PartPivot& pivot);

// After a polygon of a list closed at a vertex with this part tag: undoes the part transform
// in force (the list's flag active is 1) if the tag differs, then applies the tagged part's if
// none is in force, saving its angles. pivotOf(p) gives part p's pivot, anglesOf(p) its
// current angles {x, y, z}. The objects and the avatar switch parts so, each with its flag.
// Returns whether it changed the matrix (made any call).
template <typename PivotOf, typename AnglesOf>
bool SwitchPart(int& active, int tag, PivotOf pivotOf, AnglesOf anglesOf) {
  tag = PartTag(tag);
  bool changed = false;
  if (active == 1 && tag != activePart) {
    UndoActivePart(active, pivotOf(activePart));
    changed = true;
  }
  if (tag == kNoPart || active == 1) return changed;
  const auto angles = anglesOf(tag);
  if (!ApplyPartTransform(pivotOf(tag), angles[0], angles[1], angles[2])) return changed;
  active = 1;
  savedAngleX = angles[0];
  savedAngleY = angles[1];
  savedAngleZ = angles[2];
  activePart = tag;
  return true;
}

// Whether switching a list that starts with no part applied to the tags in turn (each
// differing from the one before, the first not switched to) changes the matrix at every
// switch, as SwitchPart does it; applies(p) tells whether part p's transform can be applied.
template <typename Applies>
bool EverySwitchCalls(const std::vector<int>& tags, Applies applies) {
  bool active = false;
  for (std::size_t k = 1; k < tags.size(); ++k) {
    const bool undone = active;  // a part in force differs from the next tag
    active = tags[k] != kNoPart && applies(tags[k]);
    if (!undone && !active) return false;
  }
  return true;
}
