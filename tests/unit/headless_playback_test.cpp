// The headless platform playing back a recording, without the program: a window procedure
// notes what it is handed and from inside which call, so these tests check that recorded
// values come back in order, that a sent message arrives only inside the call that sent it,
// and that a call the recording does not have next stops the playback at that line.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "platform/headless.h"
#include "platform/recording.h"
#include "platform/win32.h"

namespace {

std::vector<std::string> handed;  // "MSG during CALL"
std::string during = "loop";

LRESULT CALLBACK NotingProc(HWND, UINT message, WPARAM, LPARAM lParam) {
  std::string text = std::to_string(message) + " during " + during;
  if (message == WM_SIZE) {  // appended piece by piece: GCC 12 at -O3 warns falsely of '+'
    text += ' ';
    text += std::to_string(LOWORD(lParam));
    text += 'x';
    text += std::to_string(HIWORD(lParam));
  }
  handed.push_back(text);
  return 0;
}

// Plays text back from a fresh platform and opens the window as the program does.
HWND Open(const std::string& text) {
  std::istringstream in(text);
  std::vector<recording::Event> events;
  int line = 0;
  std::string why;
  EXPECT_TRUE(recording::Read(in, events, &line, &why)) << line << ": " << why;
  headless::Options options;
  options.screenWidth = static_cast<int>(events.front().a);
  options.screenHeight = static_cast<int>(events.front().b);
  headless::Reset(options);
  headless::StartPlayback(events);
  handed.clear();
  WNDCLASSA wc{};
  wc.lpfnWndProc = NotingProc;
  wc.lpszClassName = "Noting";
  RegisterClassA(&wc);
  during = "create";
  HWND window = CreateWindowExA(0, "Noting", "", WS_POPUP, 0, 0, 200, 150, nullptr, nullptr,
                                nullptr, nullptr);
  during = "loop";
  return window;
}

const char kSession[] =
    "citywalk-recording 1\n"
    "screen 640 480\n"
    "send create create 0 0x0\n"
    "send create size 0 0x9600C8\n"
    "metric 0 640\n"
    "send update paint 0 0x0\n"
    "tick 1500\n"
    "idle\n"
    "cursor 300 200\n"
    "origin 220 165\n"
    "setcursor 320 240\n"
    "post keydown 114 0x1\n"
    "send show size 2 0x1E00280\n"
    "post quit 0 0x0\n";

TEST(HeadlessPlayback, RecordedValuesAndMessagesComeBackWhereTheyWere) {
  HWND window = Open(kSession);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(handed, (std::vector<std::string>{"1 during create", "5 during create 200x150"}));
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
  // ShowWindow sends nothing here: the paint that comes next is UpdateWindow's.
  during = "show";
  ShowWindow(window, SW_SHOWNORMAL);
  during = "update";
  UpdateWindow(window);
  during = "loop";
  EXPECT_EQ(handed.back(), "15 during update");
  EXPECT_EQ(GetTickCount(), 1500u);
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));  // the recorded idle
  POINT p;
  GetCursorPos(&p);
  ScreenToClient(window, &p);
  EXPECT_EQ(p.x, 80);
  EXPECT_EQ(p.y, 35);
  SetCursorPos(320, 240);  // no message of its own while playing
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
  ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
  EXPECT_TRUE(TranslateMessage(&msg));  // its character, if any, would be recorded
  DispatchMessageA(&msg);
  during = "show";
  ShowWindow(window, SW_SHOWMAXIMIZED);  // F3: the recorded maximised size, from inside
  during = "loop";
  EXPECT_EQ(handed.back(), "5 during show 640x480");
  EXPECT_EQ(headless::Window().width, 640);
  EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), 0);
  EXPECT_TRUE(headless::PlaybackError().empty()) << headless::PlaybackError();
  // Used up: the platform goes on by itself, from the last recorded clock.
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_FALSE(headless::PlaybackActive());
  EXPECT_EQ(GetTickCount(), 1500u);
}

TEST(HeadlessPlayback, ACallTheRecordingDoesNotHaveNextStopsAtItsLine) {
  HWND window = Open(kSession);
  ASSERT_NE(window, nullptr);
  // The recording has the screen width next, at line 5; the program asks for the height.
  GetSystemMetrics(SM_CYSCREEN);
  EXPECT_EQ(headless::PlaybackErrorLine(), 5);
  EXPECT_NE(headless::PlaybackError().find("GetSystemMetrics(1) where the recording has "
                                           "'metric 0 640'"),
            std::string::npos)
      << headless::PlaybackError();
  EXPECT_FALSE(headless::PlaybackActive());
  MSG msg;
  EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), 0);  // the program is told to quit
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));

  // A tick where a message was recorded.
  window = Open(kSession);
  GetSystemMetrics(SM_CXSCREEN);
  UpdateWindow(window);
  GetTickCount();
  PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
  GetTickCount();
  EXPECT_EQ(headless::PlaybackErrorLine(), 9);
  EXPECT_NE(headless::PlaybackError().find("a tick (GetTickCount) where the recording has "
                                           "'cursor 300 200'"),
            std::string::npos)
      << headless::PlaybackError();
}

}  // namespace
