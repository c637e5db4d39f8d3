// The frame driver: paces frames to the 40 ms interval and runs one motion step and one
// full redraw per frame.
#pragma once

#include "platform/win32.h"

inline constexpr int frameInterval = 40;  // milliseconds between frames

extern int RunState;  // 0 running, 1 paused, 3 single redraw while paused
extern int nowTick;   // tick count at the start of the current call
extern int lastTick;  // tick count of the last frame that ran

// Produces one frame when one is due: motion for the control mode, clear, draw, swap.
void FrameStep();
// How long the message loop may rest before FrameStep has a frame to draw: 0 when one is
// due, INFINITE while paused (only a message can end a pause), else the rest of the interval.
DWORD MillisecondsToNextFrame();
