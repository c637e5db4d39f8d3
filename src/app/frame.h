// The frame driver: paces frames to the 40 ms interval and runs one motion step and one
// full redraw per frame.
#pragma once

#include "app/run_state.h"
#include "platform/win32.h"

// Produces one frame when one is due: motion for the control mode, clear, draw, swap.
void FrameStep();
// Draws one frame now, from inside a message (a resize, a button release while paused):
// while paused it runs as a single redraw (one motion step and one frame, if the interval
// has passed) and the program stays paused.
void RedrawNow();
// How long the message loop may rest before FrameStep has a frame to draw: 0 when one is
// due, INFINITE while paused (only a message can end a pause), else the rest of the interval.
DWORD MillisecondsToNextFrame();
