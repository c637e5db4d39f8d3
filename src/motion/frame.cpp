// The frame driver.
#include "motion/frame.h"

#include <cstdint>

#include "app/shell.h"
#include "motion/walk.h"
#include "render/objects.h"
#include "render/polylist.h"
#include "scene/scene.h"

int RunState;
int nowTick;
int lastTick;

void FrameStep() {
  if (RunState == 1) return;
  nowTick = static_cast<int>(GetTickCount());
  // Ticks wrap after 2^32 ms: the difference is taken in 32 bits and read as signed.
  const auto elapsed = static_cast<std::int32_t>(static_cast<std::uint32_t>(nowTick) -
                                                 static_cast<std::uint32_t>(lastTick));
  if (elapsed < frameInterval) return;
  lastTick = nowTick;
  boundTexture = 0;

  switch (ControlMode) {
    case 1:
      WalkModeStep();
      break;
    default:  // the other modes' motion comes with their own rules
      break;
  }

  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  DrawPlainList();
  DrawStaticList();
  for (int i = 0; i <= objectLastIndex; ++i) {
    MoveObjects(i);
    DrawObjects(i);
  }
  DrawAvatar();
  glFlush();
  SwapBuffers(deviceContext);
}
