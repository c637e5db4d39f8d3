// Moving object drawing. Not part of the program yet: nothing of the objects is drawn.
#include "render/objects.h"

void DrawObjects(int) {}

int partTransformActive;
int activePart;
double savedAngleX, savedAngleY, savedAngleZ;

void ResetPartTransforms() {
  partTransformActive = 0;
  activePart = 0;
  savedAngleX = savedAngleY = savedAngleZ = 0;
}
