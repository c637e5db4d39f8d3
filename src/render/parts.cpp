// Part transforms.
#include "render/parts.h"

#include <cmath>

#include "motion/camera.h"
#include "platform/win32.h"
#include "scene/scene.h"

int activePart;
double savedAngleX, savedAngleY, savedAngleZ;

bool Translatable(double value) { return std::fabs(value) <= kMaxTranslation; }

bool Turnable(double value) { return std::isfinite(GlFloat(value)); }

namespace {

void Rotate(double angle, int axis) {
  glRotatef(GlFloat(angle), axis == 0 ? 1.0f : 0.0f, axis == 1 ? 1.0f : 0.0f,
            axis == 2 ? 1.0f : 0.0f);
}

}  // namespace

bool PartApplies(const PartPivot& part, double angleX, double angleY, double angleZ) {
  const double tilt[3] = {part.tiltX, part.tiltY, part.tiltZ};
  const double swing[3] = {part.swingX, part.swingY, part.swingZ};
  const double angle[3] = {angleX, angleY, angleZ};
  bool finite =
      Translatable(part.offsetX) && Translatable(part.offsetY) && Translatable(part.offsetZ);
  for (int a = 0; a < 3; ++a) {
    if (tilt[a] != 0) finite = finite && Turnable(tilt[a]);
    if (swing[a] != 0) finite = finite && Turnable(angle[a]);
  }
  return finite;
}

bool ApplyPartTransform(const PartPivot& part, double angleX, double angleY, double angleZ) {
  if (!PartApplies(part, angleX, angleY, angleZ)) return false;
  PartSteps(
      part, angleX, angleY, angleZ, [](float x, float y, float z) { glTranslatef(x, y, z); },
      [](float degrees, int axis) {
        glRotatef(degrees, axis == 0 ? 1.0f : 0.0f, axis == 1 ? 1.0f : 0.0f,
                  axis == 2 ? 1.0f : 0.0f);
      });
  return true;
}

void UndoPartTransform(const PartPivot& part, double angleX, double angleY, double angleZ) {
  const double tilt[3] = {part.tiltX, part.tiltY, part.tiltZ};
  const double swing[3] = {part.swingX, part.swingY, part.swingZ};
  const double angle[3] = {angleX, angleY, angleZ};
  glTranslatef(GlFloat(part.offsetX), GlFloat(part.offsetY), GlFloat(part.offsetZ));
  for (int a = 2; a >= 0; --a)
    if (swing[a] != 0) Rotate(angle[a], a);
  for (int a = 2; a >= 0; --a)
    if (tilt[a] != 0) Rotate(tilt[a], a);
  glTranslatef(-GlFloat(part.offsetX), -GlFloat(part.offsetY), -GlFloat(part.offsetZ));
}

int PartTag(int tag) { return tag >= 0 && tag < kPartSlots ? tag : kNoPart; }

void UndoActivePart(int& active, const PartPivot& pivot) {
  active = 0;
  UndoPartTransform(pivot, savedAngleX, savedAngleY, savedAngleZ);
}
