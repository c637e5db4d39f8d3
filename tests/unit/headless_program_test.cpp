// The program's WinMain on the headless platform: start-up order and placement, message
// routing, frame pacing by the tick counter, pause and paint, teardown.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "app/frame.h"
#include "app/input.h"
#include "app/shell.h"
#include "app/view.h"
#include "common/work_folder.h"
#include "motion/camera.h"
#include "platform/headless.h"
#include "platform/win32.h"
#include "scene/scene.h"

namespace {

// Runs WinMain in an empty scene folder (no scene file: compiled-in defaults). Each time the
// message loop finds the queue empty, turn(n) runs for n = 1, 2, ...; when it posts nothing
// the loop goes on to FrameStep. After the last turn the window is closed by the platform's
// close command. Returns WinMain's result.
int RunProgram(const headless::Options& options, int turns, std::function<void(int)> turn) {
  const WorkFolder folder("citywalk_headless");
  headless::Reset(options);
  ResetProgramState();
  int n = 0;
  headless::SetHooks({[&]() {
                        if (++n > turns) {
                          if (n == turns + 1) headless::CloseWindow();
                          if (n > turns + 50) PostQuitMessage(99);  // the program never quit
                          return true;
                        }
                        turn(n);
                        return headless::PendingMessages() > 0 || headless::Window().needsPaint;
                      },
                      nullptr});
  char commandLine[] = "";
  return WinMain(nullptr, nullptr, commandLine, SW_SHOWNORMAL);
}

}  // namespace

TEST(HeadlessProgram, StartUpCreatesLoadsPlacesAndShowsBeforeTheLoop) {
  bool checked = false;
  const int result = RunProgram({}, 1, [&](int) {
    const auto window = headless::Window();
    EXPECT_EQ(window.className, "Test");
    EXPECT_EQ(window.title, "");
    EXPECT_EQ(window.style, WS_POPUP | WS_THICKFRAME);
    EXPECT_EQ(window.x, 412);  // 1024 / 2 - 100
    EXPECT_EQ(window.y, 309);  // 768 / 2 - 75
    EXPECT_EQ(window.width, 200);
    EXPECT_EQ(window.height, 150);
    EXPECT_TRUE(window.topmost);
    EXPECT_TRUE(window.visible);
    EXPECT_FALSE(window.needsPaint);  // UpdateWindow painted it
    EXPECT_EQ(headless::CursorDisplayCount(), -1);
    // The context was made current inside window creation and stays current.
    EXPECT_EQ(headless::PixelFormatSet(), 1);
    EXPECT_EQ(headless::LiveContexts(), 1);
    EXPECT_NE(glGetString(GL_VERSION), nullptr);
    // WM_SIZE reached the reshape during creation (the window has not been resized since).
    EXPECT_EQ(viewCentreX, 100);
    EXPECT_EQ(viewCentreY, 75);
    checked = true;
  });
  EXPECT_TRUE(checked);
  EXPECT_EQ(result, 0);
  // Closing ran the teardown: context released and deleted, nothing done to the display.
  EXPECT_FALSE(headless::ContextCurrent());
  EXPECT_EQ(headless::LiveContexts(), 0);
  EXPECT_TRUE(headless::DisplayChanges().empty());
  EXPECT_FALSE(headless::Window().exists);

  // An odd screen size places the window by integer halves.
  headless::Options odd;
  odd.screenWidth = 1023;
  odd.screenHeight = 767;
  bool oddChecked = false;
  RunProgram(odd, 1, [&](int) {
    EXPECT_EQ(headless::Window().x, 411);
    EXPECT_EQ(headless::Window().y, 308);
    oddChecked = true;
  });
  EXPECT_TRUE(oddChecked);
}

TEST(HeadlessProgram, KeyUpReachesDefWindowProcKeyDownNever) {
  RunProgram({}, 2, [&](int n) {
    if (n != 1) return;
    for (WPARAM key : {WPARAM{VK_UP}, WPARAM{'A'}, WPARAM{VK_F4}}) {
      PostMessageA(headless::WindowHandle(), WM_KEYDOWN, key, 1);
      PostMessageA(headless::WindowHandle(), WM_KEYUP, key, 0xC0000001);
    }
    PostMessageA(headless::WindowHandle(), 0x0400, 5, 6);  // a message the program ignores
  });
  std::vector<UINT> keyUps;
  bool otherSeen = false;
  for (const auto& call : headless::DefWindowProcCalls()) {
    EXPECT_NE(call.message, static_cast<UINT>(WM_KEYDOWN));
    if (call.message == WM_KEYUP) keyUps.push_back(static_cast<UINT>(call.wParam));
    if (call.message == 0x0400) otherSeen = call.wParam == 5 && call.lParam == 6;
  }
  EXPECT_EQ(keyUps, (std::vector<UINT>{VK_UP, 'A', VK_F4}));
  EXPECT_TRUE(otherSeen);
}

TEST(HeadlessProgram, FramesNeedFortyMillisecondsAlsoAcrossTheWrap) {
  long long swapsBefore = 0;
  std::vector<long long> drawn;  // swaps added by the FrameStep that followed each turn
  RunProgram({}, 7, [&](int n) {
    if (n > 1) drawn.push_back(headless::SwapCount() - swapsBefore);
    swapsBefore = headless::SwapCount();
    const DWORD last = static_cast<DWORD>(lastTick);
    switch (n) {
      case 1:  // 39 ms after the load: too early
        headless::SetTick(last + 39);
        break;
      case 2:  // 40 ms: a frame
        headless::SetTick(last + 40);
        break;
      case 3:  // the last frame just before the counter wraps ...
        lastTick = static_cast<int>(0xFFFFFFF0u);
        headless::SetTick(0xFFFFFFF0u + 39);  // ... 39 ms later, past the wrap: too early
        break;
      case 4:
        headless::SetTick(0xFFFFFFF0u + 40);  // 0x18: a frame
        break;
      case 5:  // the same tick again: no second frame
        break;
      case 6:
        headless::SetTick(last + 1000);  // a long gap: still one frame
        break;
    }
  });
  EXPECT_EQ(drawn, (std::vector<long long>{0, 1, 0, 1, 0, 1}));
}

TEST(HeadlessProgram, PausedPaintsDrawNothingAndResumeDrawsAtOnce) {
  std::vector<long long> swaps;
  RunProgram({}, 8, [&](int n) {
    swaps.push_back(headless::SwapCount());
    HWND window = headless::WindowHandle();
    switch (n) {
      case 1:
        headless::PressKey(VK_F2);  // pause
        break;
      case 2:
        EXPECT_EQ(RunState, 1);
        EXPECT_EQ(headless::CursorDisplayCount(), 0);  // shown while paused
        headless::AdvanceTick(200);
        ShowWindow(window, SW_HIDE);  // shown again: the window needs painting ...
        ShowWindow(window, SW_SHOW);
        break;
      case 3:  // ... the paint came and went and drew nothing
        EXPECT_FALSE(headless::Window().needsPaint);
        EXPECT_EQ(swaps[2], swaps[0]);
        headless::ReleaseLeftButton(10, 10);  // a single redraw while paused
        break;
      case 4:
        EXPECT_EQ(swaps[3], swaps[2] + 1);
        EXPECT_EQ(RunState, 1);
        headless::AdvanceTick(40);
        break;
      case 5:  // still paused: the loop's FrameStep drew nothing
        EXPECT_EQ(swaps[4], swaps[3]);
        headless::AdvanceTick(40);
        headless::PressKey(VK_F2);  // resume draws at once, inside the key's dispatch
        break;
      case 6:
        EXPECT_EQ(RunState, 0);
        EXPECT_EQ(headless::CursorDisplayCount(), -1);
        EXPECT_EQ(swaps[5], swaps[4] + 1);
        headless::AdvanceTick(40);
        break;
      case 7:  // running again: the loop draws
        EXPECT_EQ(swaps[6], swaps[5] + 1);
        break;
    }
  });
  EXPECT_EQ(swaps.size(), 8u);
}

// Between frames the loop rests: as long as the frame is not due (the rest of the 40 ms),
// a whole interval after a frame, and while paused until a message comes.
TEST(HeadlessProgram, LoopRestsUntilTheNextFrameIsDue) {
  std::vector<DWORD> rests;  // the rest asked for before each turn
  RunProgram({}, 5, [&](int n) {
    rests.push_back(headless::LastWait());
    const DWORD last = static_cast<DWORD>(lastTick);
    if (n == 1) headless::SetTick(last + 10);  // 10 ms after the load: 30 ms to rest
    if (n == 2) headless::SetTick(last + 40);  // a frame, then a whole interval
    if (n == 3) headless::PressKey(VK_F2);     // paused: until a message comes
  });
  ASSERT_EQ(rests.size(), 5u);
  EXPECT_EQ(rests[1], 30u);
  EXPECT_EQ(rests[2], 40u);
  EXPECT_EQ(rests[4], INFINITE);
}
