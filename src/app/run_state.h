// Whether the program runs or stands paused, and the frame clock: the values the frame driver
// keeps from one frame to the next, which the keys, the loader and the trace read as well.
#pragma once

inline constexpr int frameInterval = 40;  // milliseconds between frames

// RunState values.
inline constexpr int kRunning = 0;
inline constexpr int kPaused = 1;
inline constexpr int kRedrawWhilePaused = 3;  // only during a redraw asked for while paused

extern int RunState;  // kRunning at start
extern int nowTick;   // tick count at the start of the current call
extern int lastTick;  // tick count of the last frame that ran

// Running, no frame drawn yet.
void ResetRunState();
