// Real-window tests: dispatching the messages that arrive while a test waits, and running the
// tests only where there is an X display.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "platform/win32.h"

// Dispatches whatever arrives during the given time, resting in the platform's wait between.
inline void Pump(int milliseconds) {
  using Clock = std::chrono::steady_clock;
  const auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
  MSG msg;
  for (auto now = Clock::now(); now < end; now = Clock::now()) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - now).count();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left > 0 ? left : 0),
                              QS_ALLINPUT);
  }
}

// Runs the tests, or skips them all (status 77) without an X display.
inline int RunWindowTests(int argc, char** argv) {
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') {
    std::printf("no DISPLAY: skipped\n");
    return 77;
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
