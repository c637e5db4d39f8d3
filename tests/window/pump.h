// Real-window tests: dispatching the messages that arrive while a test waits.
#pragma once

#include <chrono>

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
