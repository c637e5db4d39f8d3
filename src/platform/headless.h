// Control interface of the headless platform layer (platform_headless.cpp), for the tests and
// citywalk-replay. The program itself never includes this header: it sees only the Win32
// names of win32.h. Tools and tests use these calls to set the virtual machine up, to drive
// its clock and input like a user would, and to look at what the program did to it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/recording.h"
#include "platform/win32.h"

namespace headless {

struct Options {
  int screenWidth = 1024;  // virtual screen, also the display mode in force at start
  int screenHeight = 768;
  DWORD startTick = 1000;  // GetTickCount at start
  int cursorX = -1;        // virtual cursor, screen coordinates; -1 = centre of the screen
  int cursorY = -1;
  bool captureFrames = false;  // SwapBuffers reads the frame back (LastFrame)
};

// Hooks, kept until the next Reset.
struct Hooks {
  // Called when PeekMessageA or GetMessageA finds nothing to retrieve (no posted message, no
  // quit, no paint due). It may post messages, change the clock or the window. Returning
  // true makes the call look again; returning false means the queue is empty.
  std::function<bool()> queueEmpty;
  // Called at the end of every SwapBuffers that presents a frame (a context is current).
  std::function<void()> afterSwap;
  // While a recording plays: PeekMessageA gave the recording's "found nothing".
  std::function<void()> idle = nullptr;
};

// Forgets every window, class, context, message and record, and starts over with options.
void Reset(const Options& options = Options{});
void SetHooks(Hooks hooks);

// ---- Clock ---------------------------------------------------------------------------------
DWORD Tick();
void SetTick(DWORD tick);
void AdvanceTick(DWORD milliseconds);  // wraps after 2^32 like the real counter

// ---- Input, as a user would give it (posted to the window like real input) --------------
void PressKey(WPARAM virtualKey);    // WM_KEYDOWN
void ReleaseKey(WPARAM virtualKey);  // WM_KEYUP
// Moves the cursor to client position (x, y) like SetCursorPos (one WM_MOUSEMOVE).
void MoveMouse(int x, int y);
// Left button at client position (x, y); moves the cursor there first if it is elsewhere.
void PressLeftButton(int x, int y);
void ReleaseLeftButton(int x, int y);
// Resizes the window like a drag of its border: WM_SIZE is sent before this returns.
void ResizeWindow(int width, int height);
// The platform's close command: posts WM_CLOSE.
void CloseWindow();

// ---- Playback of a recording (platform/recording.h) ---------------------------------------
// From the next call on, every call the recording covers returns the recorded value in order,
// every recorded message reaches the window procedure at the same point (a sent one from
// inside the same platform call), and nothing else posts or sends a message: the window's
// size is that of the recorded WM_SIZE messages, its origin that of the origin lines. When the
// events are used up, or StopPlayback is called, the platform goes on as without a recording,
// from the last recorded clock and cursor, with an empty queue.
void StartPlayback(std::vector<recording::Event> events);
void StopPlayback();
bool PlaybackActive();
size_t PlaybackPosition();  // events played so far
// When the program asked for something other than the recording's next event: what it asked
// for, and the event (its line); playback stops and the program is sent WM_QUIT. Empty when
// the program kept to the recording.
const std::string& PlaybackError();
int PlaybackErrorLine();

// ---- What the program did ----------------------------------------------------------------
struct WindowState {
  bool exists = false;
  bool visible = false;
  bool maximized = false;
  bool topmost = false;
  bool needsPaint = false;
  int x = 0, y = 0, width = 0, height = 0;  // client area = window area
  DWORD style = 0, exStyle = 0;
  std::string title;
  std::string className;
};
WindowState Window();
HWND WindowHandle();  // the current window, or null
int ScreenWidth();
int ScreenHeight();
POINT CursorPos();
int CursorDisplayCount();  // ShowCursor's counter
size_t PendingMessages();  // posted messages not yet retrieved (WM_QUIT not counted)
bool QuitPosted();

struct MessageRecord {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
const std::vector<MessageRecord>& DefWindowProcCalls();

struct MessageBoxRecord {
  HWND owner;
  std::string caption;
  std::string text;
};
const std::vector<MessageBoxRecord>& MessageBoxes();

struct DisplayChange {
  bool restoreDefault;  // ChangeDisplaySettingsA(nullptr, ...)
  DEVMODEA mode;        // the request (zero when restoreDefault)
  DWORD flags;
  LONG result;
};
const std::vector<DisplayChange>& DisplayChanges();

// OpenGL.
bool ContextCurrent();  // a context is current (GL calls reach it)
int LiveContexts();     // created and not yet deleted
int PixelFormatSet();   // the window's pixel format, 0 = none
long long SwapCount();  // frames presented since Reset
long long WaitCount();  // MsgWaitForMultipleObjects calls since Reset
DWORD LastWait();       // the time the last of them asked for, milliseconds (INFINITE)
int MessageDepth();     // window-procedure calls under way (0: not inside a message)
struct Frame {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgba;  // bottom-up rows, 4 bytes a pixel
};
// The last frame read back by SwapBuffers (only with captureFrames).
const Frame& LastFrame();

}  // namespace headless
