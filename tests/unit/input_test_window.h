// A mode-1 walking scene in a window of the headless platform, for the input tests: the
// window procedure is the program's own except that creating the window loads no scene file.
#pragma once

#include <gtest/gtest.h>

#include "app/frame.h"
#include "app/view.h"
#include "app/window.h"
#include "motion/camera.h"
#include "platform/headless.h"
#include "unit/walk_test_scene.h"

namespace input_test {

inline LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) return 0;
  return MainWindowProc(window, message, wParam, lParam);
}

// Window at screen (left, top), 200 x 150 (centre (100, 75)), cursor at screen (cursorX,
// cursorY); the window's creation has run its first frame at tick 1000.
inline void OpenWindow(int left = 100, int top = 200, int cursorX = 500, int cursorY = 400) {
  headless::Options options;
  options.cursorX = cursorX;
  options.cursorY = cursorY;
  headless::Reset(options);
  SetUpWalkScene();
  WNDCLASSA wc{};
  wc.lpfnWndProc = WindowProc;
  wc.lpszClassName = "InputTest";
  RegisterClassA(&wc);
  windowHandle = CreateWindowExA(0, "InputTest", "", WS_POPUP, left, top, 200, 150, nullptr,
                                 nullptr, nullptr, nullptr);
}

// Dispatches every posted message, as the message loop would (without frames in between).
// Mouse look must settle after a few messages; a cursor that never comes to rest fails.
inline int Pump() {
  int count = 0;
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    DispatchMessageA(&msg);
    if (++count == 100) {
      ADD_FAILURE() << "the messages do not settle";
      break;
    }
  }
  return count;
}

// Dispatches the next posted message only; false when there was none.
inline bool PumpOne() {
  MSG msg;
  if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  DispatchMessageA(&msg);
  return true;
}

// Screen position of a client position of the window.
inline POINT ScreenOf(int x, int y) {
  POINT p{x, y};
  ClientToScreen(windowHandle, &p);
  return p;
}

}  // namespace input_test
