// The frame driver: the order of a frame's work, motion first, then drawing.
#include "app/frame.h"

#include <cstdint>

#include "app/trace.h"
#include "app/window.h"
#include "motion/modes.h"
#include "motion/objects.h"
#include "render/avatar.h"
#include "render/objects.h"
#include "render/polylist.h"
#include "render/texture_binding.h"
#include "scene/scene.h"

namespace {

// Milliseconds from the last frame to tick now. Ticks wrap after 2^32 ms: the difference is
// taken in 32 bits and read as signed.
std::int32_t SinceLastFrame(std::uint32_t now) {
  return static_cast<std::int32_t>(now - static_cast<std::uint32_t>(lastTick));
}

}  // namespace

void FrameStep() {
  if (RunState == kPaused) return;
  nowTick = static_cast<int>(GetTickCount());
  if (SinceLastFrame(static_cast<std::uint32_t>(nowTick)) < frameInterval) return;
  lastTick = nowTick;
  ForgetBoundTexture();

  ModeStep();  // a mode outside 1..4: the scene is drawn, nothing moves the viewer

  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  DrawPlainList();
  DrawStaticList();
  BeginObjects();
  for (int i = 0; i <= objectLastIndex; ++i) {
    MoveObjects(i);
    DrawObjects(i);
  }
  EndObjects();
  ModeBeforeAvatar();
  DrawAvatar();
  ModeAfterAvatar();
  glFlush();
  if (SwapBuffers(deviceContext)) TraceFrame();
}

void RedrawNow() {
  if (RunState == kPaused) RunState = kRedrawWhilePaused;
  FrameStep();
  if (RunState == kRedrawWhilePaused) RunState = kPaused;
}

// A last frame that lies in the future (the counter was set back) is waited for one interval
// at a time, so the loop keeps looking at the clock.
DWORD MillisecondsToNextFrame() {
  if (RunState == kPaused) return INFINITE;
  const std::int32_t elapsed = SinceLastFrame(GetTickCount());
  if (elapsed >= frameInterval) return 0;
  if (elapsed < 0) return frameInterval;
  return static_cast<DWORD>(frameInterval - elapsed);
}
