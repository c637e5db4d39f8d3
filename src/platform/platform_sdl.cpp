// The Win32 subset of platform/win32.h over SDL2: the real program's window, input, GL
// context, display mode and clock on Linux.
//
// Implemented, and how:
//   - What both of our platforms share is win32_rules.h's, and the calls that are only a rule
//     are defined there (RegisterClassA, PostMessageA, PostQuitMessage, DispatchMessageA,
//     EndPaint, ChoosePixelFormat, DescribePixelFormat): window classes (names ignore case),
//     the message queue and its order (WM_QUIT after every queued message, WM_PAINT only when
//     nothing else waits, for as long as the window is not validated by BeginPaint or
//     DefWindowProcA), the characters of TranslateMessage, the cursor's display counter, the
//     default window procedure (WM_CLOSE destroys the window) and the one pixel format.
//   - One top-level window. CreateWindowExA creates a hidden SDL window (WS_POPUP =
//     borderless, WS_THICKFRAME = resizable) asking for RGBA 8-8-8-8, depth 16, double
//     buffering and a compatibility GL context, then sends WM_CREATE and WM_SIZE (client
//     size) to the procedure before it returns, so the whole of window creation runs inside
//     the call. DestroyWindow sends WM_DESTROY and drops the window's queued messages. SDL
//     sizes and positions are those of the client area, so the client area of a borderless
//     window is the whole window.
//   - The queue is fed from SDL events: keys become WM_KEYDOWN/WM_KEYUP with virtual-key
//     codes (an SDL key repeat is one more WM_KEYDOWN), pointer motion WM_MOUSEMOVE, the left
//     button WM_LBUTTONDOWN/WM_LBUTTONUP (only inside the client area: the window never
//     captures the mouse), a size change WM_SIZE, the close request WM_CLOSE; an expose marks
//     the window for painting. UpdateWindow sends WM_PAINT at once. TranslateMessage reads
//     Shift, Caps Lock, Ctrl and Alt from SDL.
//   - Game controllers (gamepad_sdl.cpp) give the same key messages and pointer moves as the
//     keyboard and mouse; a key is down while the keyboard or a pad holds it.
//   - PeekMessageA never blocks: it takes what SDL has and returns at once. GetMessageA
//     blocks until a message arrives. MsgWaitForMultipleObjects (no handles) returns at once
//     when a message waits, else sleeps until the display sends something or the time is up
//     (INFINITE: until it sends), so an idle program rests. On X11 the sleep is a poll() on
//     the display connection itself, not SDL_WaitEventTimeout: while SDL waits, every event
//     it queues sends a wake-up message to the window over a second connection, and when
//     that event is the close request the window is destroyed on the first connection at
//     once; the server may then take the destroy first and answer the wake-up with
//     BadWindow, which ends the process with status 1. Elsewhere SDL_WaitEventTimeout is used.
//   - Size changes made by SetWindowPos and ShowWindow send WM_SIZE at once (not queued);
//     a WM_SIZE is only ever given for a client size different from the last one given.
//   - SetWindowPos honours SWP_NOMOVE, SWP_NOSIZE, SWP_NOZORDER and SWP_SHOWWINDOW.
//     ShowWindow(SW_SHOWMAXIMIZED) sets the window to the display's usable area itself (no
//     window manager needed); SW_SHOWNORMAL and SW_RESTORE put back the geometry from before.
//     Showing a window raises it and gives it the keyboard focus, as activation does.
//   - GetDC, SetPixelFormat, wglCreateContext/wglMakeCurrent/wglDeleteContext and
//     SwapBuffers work on the window's SDL GL context. The one pixel format (number 1) is the
//     one the window was created with; the swap interval is 0, frames are paced by the
//     program itself.
//   - ShowCursor shows SDL's cursor while the shared display counter is >= 0.
//     GetCursorPos/SetCursorPos use screen coordinates. A SetCursorPos into the window's
//     client area gives exactly one WM_MOUSEMOVE at the new place: SDL's own motion event
//     when it reports one, ours when it does not (a warp to where the pointer already is).
//   - MessageBoxA shows an SDL message box and also writes "title: text" to standard error.
//   - EnumDisplaySettingsA lists SDL's display modes of the first display.
//     ChangeDisplaySettingsA with another resolution makes the window exclusive-fullscreen
//     at the closest display mode (when that is the desktop's own mode, the window is simply
//     set to cover the display); with the desktop resolution (the record saved before the
//     switch, or a null record) it leaves fullscreen and restores the window's geometry; with
//     the resolution in force it changes nothing. Nothing is ever persisted. A record that
//     names no size is rejected with DISP_CHANGE_BADMODE. GetSystemMetrics and
//     EnumDisplaySettingsA(ENUM_CURRENT_SETTINGS) give the mode taken.
//   - GetTickCount is SDL's millisecond counter truncated to 32 bits: it wraps as Win32's.
//   - Recording (`citywalk --record FILE`, platform/recording.h): while one is active, every
//     value the program reads from these calls and every message the window procedure gets
//     (posted or sent from inside a call) is written down in order, for the headless platform
//     to play back exactly. The platform's own pointer moves (a pad's look) are not the
//     program's SetCursorPos calls and are left out; their messages are recorded.
//
// Only best effort:
//   - HWND_TOPMOST asks the window manager to keep the window above others; with no window
//     manager, or one that ignores the request, nothing happens.
//   - Display modes: exclusive fullscreen in another mode is a request to SDL and the
//     window manager; without a window manager the window may keep its size while SDL
//     reports the mode's. Unlike Win32, the window covers the screen in the new mode instead
//     of keeping its size.
//   - TranslateMessage produces WM_CHAR only for letters, digits, Space, Enter, Tab,
//     Backspace and Esc; lParam of key messages has the repeat count and the previous-state
//     and transition bits but no hardware scan code.
//   - One window at a time; no child windows.
//
//   - Ending from outside (end_signals.h): SIGTERM, SIGINT or SIGHUP posts the window the
//     close request a window manager sends, so the program ends by its own teardown. A lost
//     display (Xlib's I/O error on the connection; SDL's quit event on Wayland, which SDL
//     only sends then) ends the process at once with status 1 and one line on standard
//     error, after the recording and the trace are written out to their last whole line: SDL
//     and the GL driver are not called again, as they would wait on the dead connection.
//
// Where SDL cannot do what Win32 would, a line says so once on standard error. If no
// display can be opened at all, CreateWindowExA says so and ends the process with status 1.
#include <SDL.h>
#include <SDL_syswm.h>
#include <poll.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/driver_heap.h"
#include "platform/end_signals.h"
#include "platform/gamepad_sdl.h"
#include "platform/keys.h"
#include "platform/line_file.h"
#include "platform/recording.h"
#include "platform/win32.h"
#include "platform/win32_rules.h"

namespace {

// Win32 values used here that the program itself does not need.
constexpr WPARAM kMkLButton = 0x0001, kMkRButton = 0x0002, kMkShift = 0x0004, kMkControl = 0x0008,
                 kMkMButton = 0x0010;
constexpr WPARAM kSizeRestored = 0, kSizeMaximized = 2;
constexpr DWORD kEnumRegistrySettings = static_cast<DWORD>(-2);
constexpr DWORD kDmSpecVersion = 0x0401;

// The SDL side of the one window (win32_rules.h keeps its procedure, visibility and update
// region).
struct WindowData {
  SDL_Window* sdl = nullptr;
  Uint32 id = 0;
  int reportedWidth = -1;  // client size given by the last WM_SIZE
  int reportedHeight = -1;
  bool maximized = false;
  SDL_Rect normalRect{};    // geometry to return to from the maximised state
  SDL_Rect windowedRect{};  // geometry the window takes when it leaves fullscreen
  int pixelFormat = 0;
  int displayConnection = -1;  // the X11 display connection's descriptor, -1 elsewhere
};

enum Warning : unsigned {
  kWarnNoAlpha = 1u << 0,
  kWarnOneWindow = 1u << 1,
  kWarnPixelFormat = 1u << 2,
  kWarnWarp = 1u << 3,
  kWarnClosestMode = 1u << 4,
  kWarnModeNoWindow = 1u << 5,
  kWarnFullscreen = 1u << 6,
  kWarnMessageBox = 1u << 7,
  kWarnNoVideo = 1u << 8,
  kWarnContext = 1u << 9,
  kWarnChildWindow = 1u << 10,
  kWarnWaitHandles = 1u << 11,
};

struct PlatformData {
  bool videoReady = false;
  bool videoFailed = false;
  WindowData window;  // the one window; alive while window.sdl is set
  std::vector<SDL_GLContext> contexts;
  bool fullscreen = false;           // a display mode was taken for the window
  bool sdlFullscreen = false;        // ... and SDL holds the window exclusive-fullscreen in it
  SDL_DisplayMode fullscreenMode{};  // the mode taken for the last request
  int requestedWidth = 0;            // the size that request asked for
  int requestedHeight = 0;
  POINT lastCursor{0, 0};  // screen position of the latest pointer event
  Uint32 buttons = 0;      // mouse buttons held, as of the latest event translated
  WPARAM keyboardKeys[SDL_NUM_SCANCODES] = {};  // the virtual key each held key gives
  bool padLooking = false;                      // a right-stick look step is being taken
  unsigned warned = 0;
  char arrowCursor = 0;
  char stockObjects[20] = {};
};

PlatformData platform;

// The platform call under way that hands messages to the window procedure itself, named in
// the recording's send lines; set for the length of that call.
recording::Call sendingCall = recording::Call::Create;
struct Sending {
  recording::Call saved;
  explicit Sending(recording::Call call) : saved(sendingCall) { sendingCall = call; }
  ~Sending() { sendingCall = saved; }
};

// Writes a value the program read into the recording, if one is made.
void Record(recording::Kind kind, std::int64_t a, std::int64_t b = 0) {
  if (recording::Active()) recording::Write(recording::Value(kind, a, b));
}

// Writes a message the window procedure is given into the recording, if one is made.
void RecordMessage(recording::Kind kind, const MSG& msg) {
  if (recording::Active())
    recording::Write(recording::Message(kind, msg.message, msg.wParam, msg.lParam, sendingCall));
}

// Hands a message to the window procedure from inside a platform call (sent, not queued).
LRESULT SendToProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (recording::Active())
    recording::Write(
        recording::Message(recording::Kind::Send, message, wParam, lParam, sendingCall));
  return rules::Deliver(message, wParam, lParam);
}

// Says once on standard error that a Win32 request could not be honoured.
void WarnOnce(Warning which, const char* format, const char* detail = "") {
  if (platform.warned & which) return;
  platform.warned |= which;
  std::fprintf(stderr, "citywalk: ");
  std::fprintf(stderr, format, detail);
  std::fprintf(stderr, "\n");
}

// Closes SDL at exit, which also gives the desktop its display mode back.
void StopVideo() {
  GamepadStop();
  if (platform.videoReady) SDL_Quit();
  platform.videoReady = false;
}

// The display went away (its server stopped, the session ended). Nothing of SDL or the GL
// driver may run any more: both would wait on the dead connection for ever. The recording
// and the trace are written out to their last whole line and the process ends at once.
[[noreturn]] void DisplayGone(const std::string& what) {
  std::fprintf(stderr, "citywalk: %s; ending\n", what.c_str());
  std::fflush(stderr);
  FlushAllLineFiles();
  std::_Exit(1);
}

// Xlib's report of a broken display connection. Its own report ends the process through
// exit(), whose clean-up would call SDL on the dead connection and never return.
int OnDisplayIoError(Display* display) {
  DisplayGone(std::string("the display ") + DisplayString(display) + " went away");
}

// Starts SDL's video and event subsystems once; false when there is no display.
bool StartVideo() {
  if (platform.videoReady) return true;
  if (platform.videoFailed) return false;
  // Signals end the process as usual; they are no close request of the window.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // A fullscreen window stays as it is when another window takes the focus.
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  // The click that activates the window is delivered as well.
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  // The window never captures the mouse (nothing asks it to): a held button does not bring
  // it the pointer's moves outside its client area.
  SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "0");
  // SDL's quit event then only says that the display connection was lost (Wayland).
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    platform.videoFailed = true;
    WarnOnce(kWarnNoVideo, "no display: %s", SDL_GetError());
    return false;
  }
  // SDL falls back to drawing off-screen; the program needs a window someone can see,
  // unless SDL_VIDEODRIVER asks for that driver by name.
  const char* driver = SDL_GetCurrentVideoDriver();
  const char* asked = SDL_getenv("SDL_VIDEODRIVER");
  if (driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0) &&
      !(asked && std::strcmp(asked, driver) == 0)) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    platform.videoFailed = true;
    WarnOnce(kWarnNoVideo, "no display (SDL found only its %s video driver)", driver);
    return false;
  }
  platform.videoReady = true;
  SDL_DisplayMode desktop{};
  SDL_GetDesktopDisplayMode(0, &desktop);
  Record(recording::Kind::Screen, desktop.w, desktop.h);
  std::atexit(StopVideo);  // also gives the desktop its display mode back
  SDL_StopTextInput();
  GamepadStart();
  SDL_ShowCursor(rules::CursorCount() >= 0 ? SDL_ENABLE : SDL_DISABLE);
  return true;
}

// The window a handle names, or null for a stale or foreign handle.
WindowData* FromHwnd(HWND window) { return rules::IsWindow(window) ? &platform.window : nullptr; }

// The window whose device context this is, or null.
WindowData* FromDc(HDC dc) { return rules::IsDeviceContext(dc) ? &platform.window : nullptr; }

// Whether an SDL event belongs to our window.
bool IsOurs(Uint32 windowId) {
  return platform.window.sdl != nullptr && windowId == platform.window.id;
}

// Appends a message for the window to the queue.
void Post(UINT message, WPARAM wParam, LPARAM lParam) {
  rules::Post(rules::Handle(), message, wParam, lParam);
}

// Whether a key of the keyboard that gives this virtual key is held.
bool KeyboardHolds(WPARAM vk) {
  return std::find(std::begin(platform.keyboardKeys), std::end(platform.keyboardKeys), vk) !=
         std::end(platform.keyboardKeys);
}

// A key as the pads hold it; a key the keyboard holds as well stays down until both let go.
void PadKey(WPARAM vk, bool down) {
  if (platform.window.sdl == nullptr || KeyboardHolds(vk)) return;
  Post(down ? WM_KEYDOWN : WM_KEYUP, vk, static_cast<LPARAM>(down ? 1u : 0xC0000001u));
}

// The window's geometry, or while fullscreen the geometry it returns to.
SDL_Rect CurrentRect(const WindowData& w) {
  if (platform.fullscreen) return w.windowedRect;
  SDL_Rect r{};
  SDL_GetWindowPosition(w.sdl, &r.x, &r.y);
  SDL_GetWindowSize(w.sdl, &r.w, &r.h);
  return r;
}

// Sends WM_SIZE when the client size differs from the one last given; a new size also
// needs painting (the class asks for redraw on every size change).
void SendClientSize(WindowData& w) {
  int width = 0, height = 0;
  SDL_GetWindowSize(w.sdl, &width, &height);
  if (width == w.reportedWidth && height == w.reportedHeight) return;
  rules::Resized(w.reportedWidth, w.reportedHeight, width, height);
  w.reportedWidth = width;
  w.reportedHeight = height;
  SendToProc(WM_SIZE, w.maximized ? kSizeMaximized : kSizeRestored, MAKELPARAM(width, height));
}

// Moves and sizes the window; while fullscreen only the geometry to return to changes.
void ApplyRect(WindowData& w, const SDL_Rect& r) {
  if (platform.fullscreen) {
    w.windowedRect = r;
    return;
  }
  SDL_SetWindowPosition(w.sdl, r.x, r.y);
  SDL_SetWindowSize(w.sdl, std::max(r.w, 1), std::max(r.h, 1));
  SendClientSize(w);
}

// Shows, raises and activates the window.
void Show(WindowData& w) {
  if (!rules::Visible()) {
    SDL_ShowWindow(w.sdl);
    rules::SetVisible(true);
  }
  SDL_RaiseWindow(w.sdl);
  SDL_SetWindowInputFocus(w.sdl);
}

// Covers the usable area of the window's display, also where no window manager would
// maximise the window.
void Maximize(WindowData& w) {
  if (!w.maximized) w.normalRect = CurrentRect(w);
  int display = SDL_GetWindowDisplayIndex(w.sdl);
  SDL_Rect usable{};
  if (SDL_GetDisplayUsableBounds(display < 0 ? 0 : display, &usable) != 0) return;
  w.maximized = true;
  ApplyRect(w, usable);
}

// Puts a maximised window back where it was.
void Restore(WindowData& w) {
  if (!w.maximized) return;
  w.maximized = false;
  ApplyRect(w, w.normalRect);
}

// SDL's keys as Win32's virtual keys, beside those VirtualKey takes by range (letters,
// digits, F1..F12).
constexpr struct {
  SDL_Keycode sym;
  WPARAM vk;
} kSdlKeys[] = {{SDLK_UP, VK_UP},          {SDLK_DOWN, VK_DOWN},       {SDLK_LEFT, VK_LEFT},
                {SDLK_RIGHT, VK_RIGHT},    {SDLK_SPACE, VK_SPACE},     {SDLK_LCTRL, VK_CONTROL},
                {SDLK_RCTRL, VK_CONTROL},  {SDLK_LSHIFT, VK_SHIFT},    {SDLK_RSHIFT, VK_SHIFT},
                {SDLK_LALT, VK_MENU},      {SDLK_RALT, VK_MENU},       {SDLK_ESCAPE, VK_ESCAPE},
                {SDLK_RETURN, VK_RETURN},  {SDLK_KP_ENTER, VK_RETURN}, {SDLK_TAB, VK_TAB},
                {SDLK_BACKSPACE, VK_BACK}, {SDLK_PAUSE, VK_PAUSE},     {SDLK_PAGEUP, VK_PRIOR},
                {SDLK_PAGEDOWN, VK_NEXT},  {SDLK_END, VK_END},         {SDLK_HOME, VK_HOME},
                {SDLK_INSERT, VK_INSERT},  {SDLK_DELETE, VK_DELETE}};

// Whether some key of the keyboard gives this virtual key.
constexpr bool KeyboardGives(WPARAM vk) {
  for (const auto& key : kSdlKeys)
    if (key.vk == vk) return true;
  return (vk >= VK_F1 && vk <= VK_F12) || (vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9');
}

// Whether the keyboard gives every key the program answers (kKeys).
constexpr bool KeyboardGivesEveryKey() {
  for (const Key& key : kKeys)
    if (!KeyboardGives(key.code)) return false;
  return true;
}
static_assert(KeyboardGivesEveryKey(), "a key of kKeys no keyboard key gives: add it to kSdlKeys");

// Win32 virtual-key code of an SDL key, 0 for a key the program has no code for.
WPARAM VirtualKey(const SDL_Keysym& key) {
  for (const auto& k : kSdlKeys)
    if (k.sym == key.sym) return k.vk;
  if (key.sym >= SDLK_F1 && key.sym <= SDLK_F12) return VK_F1 + (key.sym - SDLK_F1);
  if (key.sym >= SDLK_a && key.sym <= SDLK_z) return 'A' + (key.sym - SDLK_a);
  if (key.sym >= SDLK_0 && key.sym <= SDLK_9) return '0' + (key.sym - SDLK_0);
  // Other layouts: letters and digits by their key's place, as Win32 gives them.
  if (key.scancode >= SDL_SCANCODE_A && key.scancode <= SDL_SCANCODE_Z)
    return 'A' + (key.scancode - SDL_SCANCODE_A);
  if (key.scancode >= SDL_SCANCODE_1 && key.scancode <= SDL_SCANCODE_9)
    return '1' + (key.scancode - SDL_SCANCODE_1);
  if (key.scancode == SDL_SCANCODE_0) return '0';
  return 0;
}

// The MK_ flags of a mouse message.
WPARAM MouseKeys(Uint32 buttons) {
  WPARAM keys = 0;
  if (buttons & SDL_BUTTON_LMASK) keys |= kMkLButton;
  if (buttons & SDL_BUTTON_RMASK) keys |= kMkRButton;
  if (buttons & SDL_BUTTON_MMASK) keys |= kMkMButton;
  const SDL_Keymod mods = SDL_GetModState();
  if (mods & KMOD_SHIFT) keys |= kMkShift;
  if (mods & KMOD_CTRL) keys |= kMkControl;
  return keys;
}

// Keeps the pointer's screen position for the messages' pt field.
void NotePointer(int clientX, int clientY) {
  int x = 0, y = 0;
  SDL_GetWindowPosition(platform.window.sdl, &x, &y);
  platform.lastCursor = POINT{x + clientX, y + clientY};
}

// Whether a client position lies in the window's client area. The X server still reports
// the pointer outside it while a button is held (its implicit grab); without a capture, as
// here, Win32 gives the window no message for those.
bool InClientArea(int x, int y) {
  int width = 0, height = 0;
  SDL_GetWindowSize(platform.window.sdl, &width, &height);
  return x >= 0 && y >= 0 && x < width && y < height;
}

// Turns one SDL event into the window messages Win32 would queue for it.
void Translate(const SDL_Event& e) {
  WindowData& w = platform.window;
  switch (e.type) {
    case SDL_QUIT:  // only for a lost connection (see StartVideo)
      if (const char* driver = SDL_GetCurrentVideoDriver();
          driver && std::strcmp(driver, "wayland") == 0)
        DisplayGone("the Wayland display went away");
      break;
    case SDL_WINDOWEVENT:
      if (!IsOurs(e.window.windowID)) return;
      switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
          Post(WM_CLOSE, 0, 0);
          break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          if (e.window.data1 == w.reportedWidth && e.window.data2 == w.reportedHeight) break;
          rules::Resized(w.reportedWidth, w.reportedHeight, e.window.data1, e.window.data2);
          w.reportedWidth = e.window.data1;
          w.reportedHeight = e.window.data2;
          Post(WM_SIZE, w.maximized ? kSizeMaximized : kSizeRestored,
               MAKELPARAM(e.window.data1, e.window.data2));
          break;
        case SDL_WINDOWEVENT_EXPOSED:
          rules::Invalidate();
          break;
        default:
          break;
      }
      return;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      if (!IsOurs(e.key.windowID)) return;
      const WPARAM vk = VirtualKey(e.key.keysym);
      if (vk == 0) return;
      platform.keyboardKeys[e.key.keysym.scancode] = e.type == SDL_KEYDOWN ? vk : 0;
      // While a pad holds the key too, the keyboard's press and release change nothing.
      if (GamepadHolds(vk) && !(e.type == SDL_KEYDOWN && e.key.repeat)) return;
      // Repeat count 1; bit 30: the key was down before; bit 31: the key is being released.
      DWORD bits = 1;
      if (e.type == SDL_KEYUP)
        bits |= 0xC0000000u;
      else if (e.key.repeat)
        bits |= 0x40000000u;
      Post(e.type == SDL_KEYDOWN ? WM_KEYDOWN : WM_KEYUP, vk, static_cast<LPARAM>(bits));
      return;
    }
    case SDL_MOUSEMOTION:
      platform.buttons = e.motion.state;
      if (!IsOurs(e.motion.windowID) || !InClientArea(e.motion.x, e.motion.y)) return;
      NotePointer(e.motion.x, e.motion.y);
      Post(WM_MOUSEMOVE, MouseKeys(e.motion.state), MAKELPARAM(e.motion.x, e.motion.y));
      return;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      // The button state as of this event, not as of the latest one SDL has seen.
      if (e.type == SDL_MOUSEBUTTONDOWN)
        platform.buttons |= SDL_BUTTON(e.button.button);
      else
        platform.buttons &= ~SDL_BUTTON(e.button.button);
      if (!IsOurs(e.button.windowID) || e.button.button != SDL_BUTTON_LEFT ||
          !InClientArea(e.button.x, e.button.y))
        return;
      NotePointer(e.button.x, e.button.y);
      Post(e.type == SDL_MOUSEBUTTONDOWN ? WM_LBUTTONDOWN : WM_LBUTTONUP,
           MouseKeys(platform.buttons), MAKELPARAM(e.button.x, e.button.y));
      return;
    default:
      GamepadEvent(e, PadKey);
      return;
  }
}

// The right stick's look: the pointer a few pixels off the client area's centre, which gives
// one WM_MOUSEMOVE there, while the program hides the pointer and the window has the keys.
void PadLook() {
  int dx = 0, dy = 0;
  if (platform.padLooking || !GamepadLookStep(SDL_GetTicks64(), &dx, &dy)) return;
  const WindowData& w = platform.window;
  if (w.sdl == nullptr || !rules::Visible() || rules::CursorCount() >= 0 ||
      SDL_GetKeyboardFocus() != w.sdl)
    return;
  int x = 0, y = 0, width = 0, height = 0;
  SDL_GetWindowPosition(w.sdl, &x, &y);
  SDL_GetWindowSize(w.sdl, &width, &height);
  platform.padLooking = true;  // the warp pumps events again: one step at a time
  SetCursorPos(x + width / 2 + dx, y + height / 2 + dy);
  platform.padLooking = false;
}

// A signal asked the program to end: the window gets the close request a window manager
// would send (or, with no window yet, the quit message), and the program ends by its own
// teardown.
void EndOnSignal() {
  if (TakeEndSignal() == 0) return;
  if (platform.window.sdl != nullptr)
    Post(WM_CLOSE, 0, 0);
  else
    PostQuitMessage(0);
}

// Moves every waiting SDL event into our queue, and takes the right stick's look step.
void PumpEvents() {
  EndOnSignal();
  if (!platform.videoReady) return;
  SDL_Event e;
  while (SDL_PollEvent(&e)) Translate(e);
  PadLook();
}

// Extends a GL attribute request to the one the window is created with.
void RequestPixelFormat(int alphaBits) {
  SDL_GL_ResetAttributes();
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, alphaBits);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
}

// The mode the desktop had before any switch.
SDL_DisplayMode DesktopMode() {
  SDL_DisplayMode mode{};
  SDL_GetDesktopDisplayMode(0, &mode);
  return mode;
}

// The mode in force for the program: the one taken for the window, else the desktop's.
SDL_DisplayMode CurrentMode() {
  return platform.fullscreen ? platform.fullscreenMode : DesktopMode();
}

// Gives the display back to the desktop and the window its earlier geometry.
void LeaveFullscreen(WindowData& w) {
  if (!platform.fullscreen) return;
  if (platform.sdlFullscreen) SDL_SetWindowFullscreen(w.sdl, 0);
  platform.fullscreen = false;
  platform.sdlFullscreen = false;
  SDL_SetWindowPosition(w.sdl, w.windowedRect.x, w.windowedRect.y);
  SDL_SetWindowSize(w.sdl, std::max(w.windowedRect.w, 1), std::max(w.windowedRect.h, 1));
  SendClientSize(w);
}

// Describes an SDL display mode as a display-mode record.
void FillDevMode(DEVMODEA* dm, const SDL_DisplayMode& mode) {
  std::memset(dm, 0, sizeof *dm);
  const char* name = SDL_GetDisplayName(0);
  std::snprintf(reinterpret_cast<char*>(dm->dmDeviceName), sizeof dm->dmDeviceName, "%s",
                name ? name : "");
  dm->dmSpecVersion = kDmSpecVersion;
  dm->dmSize = sizeof(DEVMODEA);
  dm->dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
  dm->dmBitsPerPel = SDL_BYTESPERPIXEL(mode.format) * 8;
  dm->dmPelsWidth = static_cast<DWORD>(mode.w);
  dm->dmPelsHeight = static_cast<DWORD>(mode.h);
  dm->dmDisplayFrequency = static_cast<DWORD>(mode.refresh_rate);
}

}  // namespace

// ---- What the shared rules ask of this platform -------------------------------------------

// A message carries SDL's millisecond counter, 32 bits wide.
DWORD rules::MessageTime() { return static_cast<DWORD>(SDL_GetTicks64()); }

// A message carries the screen position of the latest pointer event.
POINT rules::MessageCursor() { return platform.lastCursor; }

// ---- Window class, window and message loop ------------------------------------------------

// Cursors are only handles here: SDL's own arrow is the cursor.
HCURSOR LoadCursorA(HINSTANCE, LPCSTR) { return reinterpret_cast<HCURSOR>(&platform.arrowCursor); }

// Stock objects are only handles here: the window paints with GL.
HGDIOBJ GetStockObject(int object) {
  if (object < 0 || object >= static_cast<int>(sizeof platform.stockObjects)) return nullptr;
  return &platform.stockObjects[object];
}

// The one window, hidden: WM_CREATE and WM_SIZE reach the procedure inside the call.
HWND CreateWindowExA(DWORD, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU, HINSTANCE, void*) {
  const Sending sending(recording::Call::Create);
  const WNDCLASSA* wc = rules::FindClass(className);
  if (wc == nullptr) return nullptr;
  if (parent != nullptr) WarnOnce(kWarnChildWindow, "child windows are made top-level windows");
  if (platform.window.sdl != nullptr) {
    WarnOnce(kWarnOneWindow, "only one window at a time");
    return nullptr;
  }
  if (!StartVideo()) {
    std::fprintf(stderr, "citywalk: cannot open a window without a display\n");
    std::exit(1);
  }
  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
  if (style & WS_POPUP) flags |= SDL_WINDOW_BORDERLESS;
  if (style & WS_THICKFRAME) flags |= SDL_WINDOW_RESIZABLE;
  const char* title = windowName ? windowName : "";
  RequestPixelFormat(8);
  SDL_Window* sdl = SDL_CreateWindow(title, x, y, std::max(width, 1), std::max(height, 1), flags);
  if (sdl == nullptr) {
    WarnOnce(kWarnNoAlpha, "no GL visual with an alpha channel; using one without (%s)",
             SDL_GetError());
    RequestPixelFormat(0);
    sdl = SDL_CreateWindow(title, x, y, std::max(width, 1), std::max(height, 1), flags);
  }
  if (sdl == nullptr) {
    std::fprintf(stderr, "citywalk: cannot create the window: %s\n", SDL_GetError());
    return nullptr;
  }
  WindowData& w = platform.window;
  w = WindowData{};
  w.sdl = sdl;
  w.id = SDL_GetWindowID(sdl);
  SDL_SysWMinfo wm;
  SDL_VERSION(&wm.version);
  if (SDL_GetWindowWMInfo(sdl, &wm) && wm.subsystem == SDL_SYSWM_X11) {
    w.displayConnection = ConnectionNumber(wm.info.x11.display);
    XSetIOErrorHandler(OnDisplayIoError);
  }
  w.windowedRect = SDL_Rect{x, y, width, height};
  rules::OpenWindow(*wc);

  const HWND hwnd = rules::Handle();
  if (SendToProc(WM_CREATE, 0, 0) == -1) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  if (w.sdl == nullptr) return nullptr;  // destroyed during creation
  SendClientSize(w);
  if (style & WS_VISIBLE) ShowWindow(hwnd, SW_SHOW);
  return hwnd;
}

// Sends WM_DESTROY, then closes the SDL window and drops its queued messages.
BOOL DestroyWindow(HWND window) {
  const Sending sending(recording::Call::Destroy);
  WindowData* w = FromHwnd(window);
  if (w == nullptr) return FALSE;
  SendToProc(WM_DESTROY, 0, 0);
  if (w->sdl == nullptr) return TRUE;  // destroyed again from inside WM_DESTROY
  SDL_Window* sdl = w->sdl;
  w->sdl = nullptr;
  rules::CloseWindow();
  platform.fullscreen = false;
  platform.sdlFullscreen = false;
  SDL_DestroyWindow(sdl);
  return TRUE;
}

// Screen width and height in the mode in force.
int GetSystemMetrics(int index) {
  int value = 0;
  if ((index == SM_CXSCREEN || index == SM_CYSCREEN) && StartVideo()) {
    const SDL_DisplayMode mode = CurrentMode();
    value = index == SM_CXSCREEN ? mode.w : mode.h;
  }
  Record(recording::Kind::Metric, index, value);
  return value;
}

// Moves, sizes and stacks the window.
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  const Sending sending(recording::Call::SetPos);
  WindowData* w = FromHwnd(window);
  if (w == nullptr) return FALSE;
  if (!(flags & SWP_NOZORDER)) {
    if (insertAfter == HWND_TOPMOST)
      SDL_SetWindowAlwaysOnTop(w->sdl, SDL_TRUE);
    else if (insertAfter == HWND_NOTOPMOST)
      SDL_SetWindowAlwaysOnTop(w->sdl, SDL_FALSE);
  }
  SDL_Rect r = CurrentRect(*w);
  if (!(flags & SWP_NOMOVE)) r.x = x, r.y = y;
  if (!(flags & SWP_NOSIZE)) r.w = cx, r.h = cy;
  if ((flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) ApplyRect(*w, r);
  if (flags & SWP_SHOWWINDOW) Show(*w);
  return TRUE;
}

// Hides, shows, maximises or restores; returns whether the window was visible.
BOOL ShowWindow(HWND window, int showCommand) {
  const Sending sending(recording::Call::Show);
  WindowData* w = FromHwnd(window);
  if (w == nullptr) return FALSE;
  const BOOL wasVisible = rules::Visible() ? TRUE : FALSE;
  switch (showCommand) {
    case SW_HIDE:
      SDL_HideWindow(w->sdl);
      rules::SetVisible(false);
      break;
    case SW_SHOWMAXIMIZED:
      Maximize(*w);
      Show(*w);
      break;
    case SW_SHOWNORMAL:
    case SW_RESTORE:
    case SW_SHOWDEFAULT:
      Restore(*w);
      Show(*w);
      break;
    default:
      Show(*w);
      break;
  }
  SendClientSize(*w);
  return wasVisible;
}

// Paints the window at once if it needs painting.
BOOL UpdateWindow(HWND window) {
  const Sending sending(recording::Call::Update);
  WindowData* w = FromHwnd(window);
  if (w == nullptr) return FALSE;
  if (rules::Visible() && rules::NeedsPaint()) SendToProc(WM_PAINT, 0, 0);
  return TRUE;
}

// Looks at (and maybe takes) the next message; never waits.
BOOL PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
  if (msg == nullptr) return FALSE;
  const bool remove = (removeFlags & PM_REMOVE) != 0;
  bool found = rules::FetchQueued(msg, window, filterMin, filterMax, remove);
  if (!found) {
    PumpEvents();
    found = rules::Fetch(msg, window, filterMin, filterMax, remove);
  }
  if (!found)
    Record(recording::Kind::Idle, 0);
  else if (remove)
    RecordMessage(recording::Kind::Post, *msg);
  return found ? TRUE : FALSE;
}

// Sleeps until the display sends something or the time is up (INFINITE: no limit); false
// when the time ran out. SDL has taken every event already read (PumpEvents just ran).
static bool WaitForDisplayOnly(DWORD milliseconds) {
  recording::BeforeWait(milliseconds);
  const int timeout =
      milliseconds == INFINITE ? -1 : static_cast<int>(std::min<DWORD>(milliseconds, 0x7FFFFFFF));
  const WindowData& w = platform.window;
  // An ending signal wakes the wait too.
  if (w.sdl != nullptr && w.displayConnection >= 0) {
    pollfd fds[2] = {{w.displayConnection, POLLIN, 0}, {EndSignalWakeFd(), POLLIN, 0}};
    return poll(fds, fds[1].fd >= 0 ? 2 : 1, timeout) != 0;
  }
  SDL_Event e;
  if (EndSignalWakeFd() < 0) {
    const int got = timeout < 0 ? SDL_WaitEvent(&e) : SDL_WaitEventTimeout(&e, timeout);
    if (got) Translate(e);
    return got != 0;
  }
  // SDL's own wait cannot watch the signal's descriptor: slices of 100 ms, looking between.
  constexpr int kSlice = 100;
  for (int left = timeout;; left -= kSlice) {
    const int slice = timeout < 0 ? kSlice : std::min(left, kSlice);
    if (SDL_WaitEventTimeout(&e, slice)) {
      Translate(e);
      return true;
    }
    pollfd wake{EndSignalWakeFd(), POLLIN, 0};
    if (poll(&wake, 1, 0) > 0) return true;
    if (timeout >= 0 && left <= kSlice) return false;
  }
}

// As WaitForDisplayOnly; while a game controller is open, whose input does not come over the
// display connection, in slices of 10 ms with the controllers read between them.
static bool WaitForDisplay(DWORD milliseconds) {
  if (!GamepadConnected()) return WaitForDisplayOnly(milliseconds);
  constexpr DWORD kSlice = 10;
  const Uint64 start = SDL_GetTicks64();
  for (;;) {
    const Uint64 spent = SDL_GetTicks64() - start;
    if (milliseconds != INFINITE && spent >= milliseconds) return false;
    const DWORD left = milliseconds == INFINITE ? kSlice : static_cast<DWORD>(milliseconds - spent);
    if (WaitForDisplayOnly(std::min(left, kSlice))) return true;
    PumpEvents();
    if (rules::Waiting()) return true;
  }
}

// Sleeps until input arrives or the time is up; at once when a message already waits.
// Handles cannot be waited for here: a call with some says so and fails.
DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE*, BOOL, DWORD milliseconds, DWORD) {
  if (count != 0) {
    WarnOnce(kWarnWaitHandles, "only input can be waited for, not handles");
    return WAIT_FAILED;
  }
  PumpEvents();
  if (rules::Waiting()) return WAIT_OBJECT_0;
  if (!platform.videoReady) {
    if (milliseconds != INFINITE) SDL_Delay(milliseconds);
    return WAIT_TIMEOUT;
  }
  if (!WaitForDisplay(milliseconds)) return WAIT_TIMEOUT;
  PumpEvents();
  return WAIT_OBJECT_0;
}

// Takes the next message, waiting for one; 0 for WM_QUIT.
BOOL GetMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
  if (msg == nullptr) return -1;
  for (;;) {
    PumpEvents();
    if (rules::Fetch(msg, window, filterMin, filterMax, true)) {
      RecordMessage(recording::Kind::Post, *msg);
      return msg->message != WM_QUIT;
    }
    if (!platform.videoReady) return -1;  // nothing could ever come
    WaitForDisplay(INFINITE);
  }
}

// Queues WM_CHAR for a key that types a character, with the modifiers SDL reports.
BOOL TranslateMessage(const MSG* msg) {
  const SDL_Keymod mods = platform.videoReady ? SDL_GetModState() : KMOD_NONE;
  return rules::Translate(msg, {.shift = (mods & KMOD_SHIFT) != 0,
                                .capsLock = (mods & KMOD_CAPS) != 0,
                                .controlOrAlt = (mods & (KMOD_CTRL | KMOD_ALT)) != 0});
}

// Default handling: a close request destroys the window, a paint validates it.
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return rules::DefaultProcedure(window, message, wParam, lParam);
}

// Validates the whole window and gives its device context.
HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
  WindowData* w = FromHwnd(window);
  if (w == nullptr || paint == nullptr) return nullptr;
  std::memset(paint, 0, sizeof *paint);
  paint->hdc = rules::DeviceContext();
  int width = 0, height = 0;
  SDL_GetWindowSize(w->sdl, &width, &height);
  paint->rcPaint = RECT{0, 0, width, height};
  rules::Validate();
  return paint->hdc;
}

// Our window while it has the keyboard, else none.
HWND GetFocus() {
  if (platform.window.sdl == nullptr || !platform.videoReady) return nullptr;
  return SDL_GetKeyboardFocus() == platform.window.sdl ? rules::Handle() : nullptr;
}

// ---- Cursor ---------------------------------------------------------------------------------

// Counts the cursor up or down and shows it while the count is not negative.
int ShowCursor(BOOL show) {
  const int count = rules::CountCursor(show);
  if (platform.videoReady) SDL_ShowCursor(count >= 0 ? SDL_ENABLE : SDL_DISABLE);
  return count;
}

// The pointer's screen position.
BOOL GetCursorPos(LPPOINT point) {
  if (point == nullptr) return FALSE;
  if (!StartVideo()) {
    *point = POINT{0, 0};
    return FALSE;
  }
  int x = 0, y = 0;
  SDL_GetGlobalMouseState(&x, &y);
  *point = POINT{x, y};
  Record(recording::Kind::Cursor, x, y);
  return TRUE;
}

// Moves the pointer; over the window this gives one WM_MOUSEMOVE at the new place.
BOOL SetCursorPos(int x, int y) {
  if (!platform.padLooking) Record(recording::Kind::SetCursor, x, y);
  if (!StartVideo()) return FALSE;
  PumpEvents();  // earlier pointer events keep their place before the warp's
  const size_t before = rules::Pending();
  if (SDL_WarpMouseGlobal(x, y) != 0) {
    WarnOnce(kWarnWarp, "the pointer cannot be moved here: %s", SDL_GetError());
    return FALSE;
  }
  PumpEvents();
  WindowData& w = platform.window;
  if (w.sdl == nullptr || !rules::Visible()) return TRUE;
  SDL_Rect r{};
  SDL_GetWindowPosition(w.sdl, &r.x, &r.y);
  SDL_GetWindowSize(w.sdl, &r.w, &r.h);
  const SDL_Point p{x, y};
  if (!SDL_PointInRect(&p, &r)) return TRUE;
  // The warp's own motion, if SDL reported one, is the one message for it.
  const LPARAM at = MAKELPARAM(x - r.x, y - r.y);
  if (!rules::KeepFirstOf(before, rules::MakeMessage(rules::Handle(), WM_MOUSEMOVE, 0, at))) {
    platform.lastCursor = POINT{x, y};
    Post(WM_MOUSEMOVE, MouseKeys(platform.buttons), at);
  }
  return TRUE;
}

// Screen to client coordinates.
BOOL ScreenToClient(HWND window, LPPOINT point) {
  WindowData* w = FromHwnd(window);
  if (w == nullptr || point == nullptr) return FALSE;
  int x = 0, y = 0;
  SDL_GetWindowPosition(w->sdl, &x, &y);
  Record(recording::Kind::Origin, x, y);
  point->x -= x;
  point->y -= y;
  return TRUE;
}

// Client to screen coordinates.
BOOL ClientToScreen(HWND window, LPPOINT point) {
  WindowData* w = FromHwnd(window);
  if (w == nullptr || point == nullptr) return FALSE;
  int x = 0, y = 0;
  SDL_GetWindowPosition(w->sdl, &x, &y);
  Record(recording::Kind::Origin, x, y);
  point->x += x;
  point->y += y;
  return TRUE;
}

// ---- Message box ----------------------------------------------------------------------------

// Shows the message and writes it to standard error; returns IDOK, or 0 if not shown.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  const char* title = caption ? caption : "Error";
  std::string line = text ? text : "";
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  std::fprintf(stderr, "%s: %s\n", title, line.c_str());
  std::fflush(stderr);
  Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
  if ((type & 0xF0) == MB_ICONERROR)
    flags = SDL_MESSAGEBOX_ERROR;
  else if ((type & 0xF0) == 0x30)
    flags = SDL_MESSAGEBOX_WARNING;
  WindowData* w = FromHwnd(owner);
  if (SDL_ShowSimpleMessageBox(flags, title, text ? text : "", w ? w->sdl : nullptr) != 0) {
    WarnOnce(kWarnMessageBox, "a message box could not be shown: %s", SDL_GetError());
    return 0;
  }
  return IDOK;
}

// ---- Display settings -----------------------------------------------------------------------

// The current, the desktop's or the n-th display mode of the first display.
BOOL EnumDisplaySettingsA(LPCSTR, DWORD modeNum, DEVMODEA* devMode) {
  if (devMode == nullptr || !StartVideo()) return FALSE;
  SDL_DisplayMode mode{};
  if (modeNum == ENUM_CURRENT_SETTINGS) {
    mode = CurrentMode();
  } else if (modeNum == kEnumRegistrySettings) {
    mode = DesktopMode();
  } else if (modeNum > static_cast<DWORD>(INT32_MAX) ||
             SDL_GetDisplayMode(0, static_cast<int>(modeNum), &mode) != 0) {
    return FALSE;
  }
  FillDevMode(devMode, mode);
  return TRUE;
}

// Takes a display mode for the window, or gives the desktop's back; never persisted.
LONG ChangeDisplaySettingsA(DEVMODEA* devMode, DWORD) {
  const Sending sending(recording::Call::Display);
  if (!StartVideo()) return DISP_CHANGE_FAILED;
  const SDL_DisplayMode current = CurrentMode();
  const SDL_DisplayMode desktop = DesktopMode();
  SDL_DisplayMode wanted = desktop;  // a null record asks for the desktop's own mode
  if (devMode != nullptr) {
    constexpr DWORD kModeFields =
        DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
    if (!(devMode->dmFields & kModeFields)) return DISP_CHANGE_BADMODE;
    wanted = current;
    wanted.format = SDL_PIXELFORMAT_UNKNOWN;
    if (devMode->dmFields & DM_PELSWIDTH) wanted.w = static_cast<int>(devMode->dmPelsWidth);
    if (devMode->dmFields & DM_PELSHEIGHT) wanted.h = static_cast<int>(devMode->dmPelsHeight);
    if (devMode->dmFields & DM_DISPLAYFREQUENCY)
      wanted.refresh_rate = static_cast<int>(devMode->dmDisplayFrequency);
    if (wanted.w <= 0 || wanted.h <= 0) return DISP_CHANGE_BADMODE;
  }
  WindowData* w = platform.window.sdl ? &platform.window : nullptr;
  if (wanted.w == desktop.w && wanted.h == desktop.h) {
    if (w) LeaveFullscreen(*w);
    return DISP_CHANGE_SUCCESSFUL;
  }
  if (wanted.w == current.w && wanted.h == current.h) return DISP_CHANGE_SUCCESSFUL;
  if (platform.fullscreen && wanted.w == platform.requestedWidth &&
      wanted.h == platform.requestedHeight)
    return DISP_CHANGE_SUCCESSFUL;
  SDL_DisplayMode closest{};
  if (SDL_GetClosestDisplayMode(0, &wanted, &closest) == nullptr) return DISP_CHANGE_BADMODE;
  if (w == nullptr) {
    WarnOnce(kWarnModeNoWindow, "the display mode can only change with the window open");
    return DISP_CHANGE_FAILED;
  }
  if (closest.w != wanted.w || closest.h != wanted.h) {
    char detail[64];
    std::snprintf(detail, sizeof detail, "%dx%d instead of %dx%d", closest.w, closest.h, wanted.w,
                  wanted.h);
    WarnOnce(kWarnClosestMode, "display mode not available; taking the closest one, %s", detail);
  }
  if (!platform.fullscreen) w->windowedRect = CurrentRect(*w);
  const SDL_DisplayMode desktopNow = DesktopMode();
  if (closest.w == desktopNow.w && closest.h == desktopNow.h) {
    // The closest mode is the desktop's own: no mode to switch, the window simply covers
    // the display (this needs no window manager).
    if (platform.sdlFullscreen) SDL_SetWindowFullscreen(w->sdl, 0);
    platform.sdlFullscreen = false;
    SDL_Rect bounds{};
    SDL_GetDisplayBounds(0, &bounds);
    SDL_SetWindowPosition(w->sdl, bounds.x, bounds.y);
    SDL_SetWindowSize(w->sdl, bounds.w, bounds.h);
  } else if (SDL_SetWindowDisplayMode(w->sdl, &closest) != 0 ||
             SDL_SetWindowFullscreen(w->sdl, SDL_WINDOW_FULLSCREEN) != 0) {
    WarnOnce(kWarnFullscreen, "cannot switch the display mode: %s", SDL_GetError());
    return DISP_CHANGE_FAILED;
  } else {
    platform.sdlFullscreen = true;
  }
  platform.fullscreen = true;
  platform.fullscreenMode = closest;
  platform.requestedWidth = wanted.w;
  platform.requestedHeight = wanted.h;
  return DISP_CHANGE_SUCCESSFUL;
}

// ---- Device context, pixel format and OpenGL context ----------------------------------------

// The window's own device context (the class keeps one per window).
HDC GetDC(HWND window) { return FromHwnd(window) ? rules::DeviceContext() : nullptr; }

// The window's device context stays valid; only the handles are checked.
int ReleaseDC(HWND window, HDC dc) { return FromHwnd(window) && FromDc(dc) ? 1 : 0; }

// Accepts the one format; says once if the request asks for more than it has.
BOOL SetPixelFormat(HDC dc, int pixelFormat, const PIXELFORMATDESCRIPTOR* pfd) {
  WindowData* w = FromDc(dc);
  if (w == nullptr || pixelFormat != rules::kPixelFormat) return FALSE;
  if (pfd != nullptr && (!(pfd->dwFlags & PFD_DOUBLEBUFFER) || pfd->iPixelType != PFD_TYPE_RGBA ||
                         pfd->cDepthBits > 16 || pfd->cStencilBits != 0 || pfd->cAccumBits != 0))
    WarnOnce(kWarnPixelFormat,
             "the pixel format is the window's own: RGBA 8-8-8-8, depth 16, double buffered");
  w->pixelFormat = pixelFormat;
  return TRUE;
}

// Presents the back buffer if the window's context is current.
BOOL SwapBuffers(HDC dc) {
  WindowData* w = FromDc(dc);
  if (w == nullptr) return FALSE;
  if (SDL_GL_GetCurrentWindow() != w->sdl || SDL_GL_GetCurrentContext() == nullptr) return FALSE;
  SDL_GL_SwapWindow(w->sdl);
  recording::FramePresented();
  return TRUE;
}

// A new GL context for the window, not made current.
HGLRC wglCreateContext(HDC dc) {
  WindowData* w = FromDc(dc);
  if (w == nullptr) return nullptr;
  KeepDriverBuffersInHeap();
  // SDL makes a new context current; wglCreateContext leaves the current one as it was.
  SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
  SDL_GLContext previous = SDL_GL_GetCurrentContext();
  SDL_GLContext context = SDL_GL_CreateContext(w->sdl);
  if (context == nullptr) {
    WarnOnce(kWarnContext, "cannot create a GL context: %s", SDL_GetError());
    return nullptr;
  }
  SDL_GL_SetSwapInterval(0);
  SDL_GL_MakeCurrent(previous ? previousWindow : nullptr, previous);
  platform.contexts.push_back(context);
  return reinterpret_cast<HGLRC>(context);
}

// Makes a context current on the window, or with no context none current.
BOOL wglMakeCurrent(HDC dc, HGLRC context) {
  if (context == nullptr) {
    SDL_GL_MakeCurrent(nullptr, nullptr);
    return TRUE;
  }
  WindowData* w = FromDc(dc);
  auto ctx = reinterpret_cast<SDL_GLContext>(context);
  if (w == nullptr ||
      std::find(platform.contexts.begin(), platform.contexts.end(), ctx) == platform.contexts.end())
    return FALSE;
  return SDL_GL_MakeCurrent(w->sdl, ctx) == 0 ? TRUE : FALSE;
}

// Deletes a context once; later GL calls do nothing if it was current.
BOOL wglDeleteContext(HGLRC context) {
  auto ctx = reinterpret_cast<SDL_GLContext>(context);
  auto it = std::find(platform.contexts.begin(), platform.contexts.end(), ctx);
  if (ctx == nullptr || it == platform.contexts.end()) return FALSE;
  platform.contexts.erase(it);
  SDL_GL_DeleteContext(ctx);  // also makes no context current if it was the current one
  return TRUE;
}

// ---- Clock ----------------------------------------------------------------------------------

// Milliseconds since SDL started, 32 bits wide: wraps after 2^32 ms as on Win32.
DWORD GetTickCount() {
  const DWORD tick = static_cast<DWORD>(SDL_GetTicks64());
  Record(recording::Kind::Tick, tick);
  return tick;
}
