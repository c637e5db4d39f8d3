// Part swing.
#include "motion/swing.h"

#include <cmath>

#include "scene/scene.h"

void OscillateAngle(double& angle, double& rate, double swing) {
  if (!std::isfinite(rate)) return;
  angle += rate;
  if (swing > 0) {
    if (angle > swing) {
      rate = -rate;
      angle = swing + rate;
    } else if (angle < 0) {
      rate = -rate;
      angle = 0 + rate;
    }
  } else {
    if (angle < swing) {
      rate = -rate;
      angle = swing + rate;
    } else if (angle > 0) {
      rate = -rate;
      angle = 0 + rate;
    }
  }
}

void SwingObjectParts(int i) {
  const int s = objectMotionState[i];
  for (int p = 0; p <= objectPartLastIndex[i] && p < kPartSlots; ++p) {
    OscillateAngle(objPartAngleX[p][s][i], objPartRateX[p][s][i], objPartSwingX[p][s][i]);
    OscillateAngle(objPartAngleY[p][s][i], objPartRateY[p][s][i], objPartSwingY[p][s][i]);
    OscillateAngle(objPartAngleZ[p][s][i], objPartRateZ[p][s][i], objPartSwingZ[p][s][i]);
  }
}

void SwingAvatarParts(int m) {
  for (int p = 0; p <= avatarPartLastIndex && p < kPartSlots; ++p) {
    OscillateAngle(avatarPartAngleX[p][m], avatarPartRateX[p][m], avatarPartSwingX[p][m]);
    OscillateAngle(avatarPartAngleY[p][m], avatarPartRateY[p][m], avatarPartSwingY[p][m]);
    OscillateAngle(avatarPartAngleZ[p][m], avatarPartRateZ[p][m], avatarPartSwingZ[p][m]);
  }
}
