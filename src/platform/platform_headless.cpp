// Win32 subset without a display: a virtual machine for the tests and citywalk-replay.
//
// Everything the program asks of the platform happens in this process, in memory:
//   - Screen: a virtual screen (default 1024 x 768) whose size is the display mode in force.
//     EnumDisplaySettingsA reports it as 32 bpp, 60 Hz (ENUM_CURRENT_SETTINGS, or modes 0..6
//     of a fixed list); ChangeDisplaySettingsA records every request and, when the request is
//     well formed (dmSize of the record, names a size, sizes 1..16384, 16/24/32 bpp), makes
//     its size the screen size, else answers DISP_CHANGE_BADMODE; nullptr restores the
//     start-up mode. GetSystemMetrics reads the screen.
//   - Window: one window of a registered class. Client area = window area (no frame).
//     CreateWindowExA sends WM_CREATE to the class's window procedure and then WM_SIZE with
//     the client size, both before it returns. ShowWindow(SW_SHOWMAXIMIZED) sizes the window
//     to the screen, SW_SHOWNORMAL / SW_RESTORE bring back the earlier geometry; SetWindowPos
//     moves, sizes and sets topmost. A size change sends WM_SIZE (client size in lParam)
//     and marks the window for painting by the class's redraw styles. DestroyWindow sends
//     WM_DESTROY and then forgets the window. GetFocus returns the window.
//   - What both of our platforms share is win32_rules.h's, and the calls that are only a rule
//     are defined there (RegisterClassA, PostMessageA, PostQuitMessage, DispatchMessageA,
//     EndPaint, ChoosePixelFormat, DescribePixelFormat): window classes (names ignore case),
//     the one FIFO queue and its order (posted messages, then WM_QUIT once PostQuitMessage
//     ran, then WM_PAINT while the visible window needs painting, until BeginPaint or
//     DefWindowProcA validates), the characters of TranslateMessage (this keyboard has no
//     Shift), the cursor's display counter, the default window procedure (WM_CLOSE destroys
//     the window, with its queued messages) and the one pixel format.
//   - Messages: when nothing is left, the queueEmpty hook of headless.h may post more.
//     GetMessageA on a queue that stays empty cannot block (nothing else could ever post), so
//     it warns and returns 0 as for WM_QUIT. UpdateWindow sends WM_PAINT at once if the window
//     needs painting. DefWindowProcA records each call (DefWindowProcCalls).
//     MsgWaitForMultipleObjects never sleeps: it answers at once (a message waits, or the time
//     is up) and records how long the program asked to wait; only the controls of headless.h
//     move the clock, so replays stay exact and fast.
//   - Cursor: a virtual position kept inside the screen. SetCursorPos posts WM_MOUSEMOVE
//     (client coordinates of the new position, taken when it is posted) to the window when
//     the cursor moves, as the hidden cursor of mouse look expects. The one window gets every mouse
//     message, wherever the cursor is and whether or not it is shown, as if it had captured the
//     mouse (the SDL layer, like Win32, gives only those inside the shown client area).
//     ScreenToClient/ClientToScreen use the window position.
//   - Clock: GetTickCount is a virtual 32-bit millisecond counter, moved only by the
//     controls of headless.h; it wraps after 2^32 ms.
//   - Playback (headless.h, StartPlayback): a recording of the SDL platform stands in for the
//     user, the clock and the real window: the recorded values and messages come back in
//     order (see the Playback section below), and a call the recording does not have next
//     stops the playback with the line named.
//   - MessageBoxA never blocks: it records the box and writes "caption: text" to stderr.
//   - OpenGL: the one pixel format (RGBA 8-8-8-8, 16-bit depth, double buffer). wglCreateContext
//     makes an OSMesa context; wglMakeCurrent binds it to a memory buffer that holds the
//     client area in its bottom-left corner, re-bound larger when the client area outgrows
//     it; wglMakeCurrent(nullptr, nullptr) releases it, after which GL calls are no-ops
//     (Mesa's dispatch without a context). SwapBuffers counts the frame, reads the client
//     area back when asked (glReadPixels) and calls the afterSwap hook.
// Limits: a single window; no minimising (those show commands just show the window, with a
// warning); window sizes are clamped to 0..16384. gluBuild2DMipmaps reads GL state and
// crashes in GLU when no context is current, so the textures must be built with one.
// Dependencies: OSMesa (linked before GLU so that GLU's GL calls reach the OSMesa context).
#include <GL/osmesa.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <utility>

#include "platform/driver_heap.h"
#include "platform/headless.h"
#include "platform/win32.h"
#include "platform/win32_rules.h"

namespace {

constexpr int kMaxSize = 16384;
constexpr WPARAM kSizeRestored = 0;
constexpr WPARAM kSizeMaximized = 2;
constexpr WPARAM kButtonLeft = 0x0001;  // MK_LBUTTON

struct Context {
  OSMesaContext mesa;
};

// The virtual side of the one window (win32_rules.h keeps whether it exists, its procedure,
// visibility and update region; state's fields of those are filled in when asked).
struct VirtualWindow {
  headless::WindowState state;
  int restoreX = 0, restoreY = 0, restoreWidth = 0, restoreHeight = 0;
  int pixelFormat = 0;
};

struct PlatformData {
  headless::Options options;
  headless::Hooks hooks;
  int screenWidth = 1024, screenHeight = 768;
  DWORD tick = 0;
  POINT cursor{0, 0};
  bool leftButton = false;
  std::array<bool, 256> keysDown{};
  VirtualWindow window;
  std::vector<std::unique_ptr<Context>> contexts;
  Context* current = nullptr;
  std::vector<std::uint8_t> surface;  // the window's colour buffer, bound to the context
  int surfaceWidth = 0, surfaceHeight = 0;
  long long swaps = 0;
  long long waits = 0;
  DWORD lastWait = 0;
  headless::Frame lastFrame;
  std::vector<headless::MessageRecord> defCalls;
  std::vector<headless::MessageBoxRecord> boxes;
  std::vector<headless::DisplayChange> displayChanges;
  bool warnedMinimize = false;
  // Playback of a recording: the events, the next one due, whether it still runs.
  std::vector<recording::Event> events;
  size_t nextEvent = 0;
  bool playing = false;
  std::string playbackError;
  int playbackErrorLine = 0;
};

PlatformData platform;

// Stand-in objects whose addresses serve as handles.
char cursorToken, brushToken;

// The one window's handle and its device context's.
HWND TheWindow() { return rules::Handle(); }
HDC TheDc() { return rules::DeviceContext(); }

// The live context a handle names, or null.
Context* FindContext(HGLRC handle) {
  for (auto& context : platform.contexts)
    if (reinterpret_cast<HGLRC>(context.get()) == handle) return context.get();
  return nullptr;
}

// Binds the current context to a surface that holds the client area (at least 1 x 1 for
// OSMesa) in its bottom-left corner, where the program's viewport puts the picture. The
// surface only grows: Mesa keeps about a megabyte for every new size it is bound at and never
// gives it back, so a surface that followed every resize would make a long run with resizes
// grow without end.
void BindSurface() {
  if (!platform.current) return;
  const int width = std::max({1, platform.window.state.width, platform.surfaceWidth});
  const int height = std::max({1, platform.window.state.height, platform.surfaceHeight});
  if (width != platform.surfaceWidth || height != platform.surfaceHeight) {
    platform.surface.assign(static_cast<size_t>(width) * height * 4, 0);
    platform.surfaceWidth = width;
    platform.surfaceHeight = height;
  }
  if (!OSMesaMakeCurrent(platform.current->mesa, platform.surface.data(), GL_UNSIGNED_BYTE, width,
                         height))
    std::fprintf(stderr, "headless: cannot bind the GL context to a %d x %d surface\n", width,
                 height);
}

// No context current any more: GL calls do nothing.
void ReleaseCurrent() {
  if (!platform.current) return;
  OSMesaMakeCurrent(nullptr, nullptr, GL_UNSIGNED_BYTE, 0, 0);
  platform.current = nullptr;
}

// Hands a message to the window procedure from inside a platform call.
LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) {
  return rules::Deliver(message, wParam, lParam);
}

// Queues a message for the window.
void Post(UINT message, WPARAM wParam, LPARAM lParam) {
  rules::Post(TheWindow(), message, wParam, lParam);
}

// A window size within what the platform keeps (0..16384).
int ClampSize(int size) { return std::clamp(size, 0, kMaxSize); }

// Moves and sizes the window; a new size re-binds the GL surface, then sends WM_SIZE.
void Place(int x, int y, int width, int height, WPARAM sizeKind) {
  auto& state = platform.window.state;
  width = ClampSize(width);
  height = ClampSize(height);
  state.x = x;
  state.y = y;
  if (width == state.width && height == state.height) return;
  rules::Resized(state.width, state.height, width, height);
  state.width = width;
  state.height = height;
  BindSurface();
  Send(WM_SIZE, sizeKind, MAKELPARAM(width, height));
}

// The next message to retrieve, if any; removes it when asked. Returns false when nothing
// is waiting and the queueEmpty hook does not provide anything either.
bool NextMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove) {
  for (;;) {
    if (rules::Fetch(msg, window, filterMin, filterMax, remove)) return true;
    if (!platform.hooks.queueEmpty || !platform.hooks.queueEmpty()) return false;
  }
}

// ---- Playback ------------------------------------------------------------------------------

// Whether a recording is being played back.
bool Playing() { return platform.playing; }

// Playback is over: the platform goes on by itself from the last recorded state.
void EndPlayback() {
  platform.playing = false;
  rules::ClearQueue();
  rules::Validate();
}

// The program asked for something the recording does not have next: the playback stops with
// the line named, and the program is asked to quit at its next look at the queue.
void Diverge(const std::string& asked) {
  const recording::Event& e = platform.events[platform.nextEvent];
  platform.playbackErrorLine = e.line;
  platform.playbackError = "the program asked for " + asked + " where the recording has '" +
                           recording::Format(e) +
                           "': it was made with another build or scene, or edited; record it "
                           "again";
  EndPlayback();
  PostQuitMessage(1);
}

// The next event, taken, if it is of this kind and its asked numbers are the program's
// arguments (recording::kLines); else null: at the end of the recording the playback ends, on
// any other line it diverges, naming what the program asked for (and call, where more than
// one call reads the line).
const recording::Event* Take(recording::Kind kind,
                             std::initializer_list<std::int64_t> arguments = {},
                             const char* call = nullptr) {
  if (!Playing()) return nullptr;
  if (platform.nextEvent >= platform.events.size()) {
    EndPlayback();
    return nullptr;
  }
  const recording::Event& e = platform.events[platform.nextEvent];
  if (e.kind != kind || !recording::AskedWith(e, arguments)) {
    Diverge(recording::Asked(kind, arguments, call));
    return nullptr;
  }
  ++platform.nextEvent;
  return &e;
}

// The next event if it is of this kind, not taken; null otherwise.
const recording::Event* Next(recording::Kind kind) {
  if (!Playing() || platform.nextEvent >= platform.events.size()) return nullptr;
  const recording::Event& e = platform.events[platform.nextEvent];
  return e.kind == kind ? &e : nullptr;
}

// What a recorded message does to the platform before the program sees it.
MSG Recorded(const recording::Event& e) {
  MSG msg = rules::MakeMessage(e.message == WM_QUIT ? nullptr : TheWindow(), e.message,
                               static_cast<WPARAM>(e.wParam), static_cast<LPARAM>(e.lParam));
  auto& state = platform.window.state;
  if (e.message == WM_SIZE && rules::WindowExists()) {
    state.width = ClampSize(LOWORD(msg.lParam));
    state.height = ClampSize(HIWORD(msg.lParam));
    BindSurface();
  }
  if (e.message == WM_QUIT) rules::ForgetQuit();
  return msg;
}

// Hands the window procedure the messages the recording has this platform call send next.
void DeliverSends(recording::Call call) {
  while (const recording::Event* e = Next(recording::Kind::Send)) {
    if (e->call != call) return;
    ++platform.nextEvent;
    const MSG msg = Recorded(*e);
    Send(msg.message, msg.wParam, msg.lParam);
  }
}

// A screen position as a mouse message's client lParam.
LPARAM ClientLParam(POINT screen) {
  return MAKELPARAM(screen.x - platform.window.state.x, screen.y - platform.window.state.y);
}

// The MK_ flags of a mouse message.
WPARAM ButtonState() { return platform.leftButton ? kButtonLeft : 0; }

// The fixed list of display modes EnumDisplaySettingsA offers by number.
constexpr int kModes[][2] = {{320, 200}, {400, 300},  {512, 384},  {640, 480},
                             {800, 600}, {1024, 768}, {1280, 1024}};

// A display-mode record of this size, 32 bpp at 60 Hz.
void FillMode(DEVMODEA* mode, int width, int height) {
  std::memset(mode, 0, sizeof(DEVMODEA));
  std::memcpy(mode->dmDeviceName, "\\\\.\\DISPLAY1", 12);
  mode->dmSize = sizeof(DEVMODEA);
  mode->dmSpecVersion = 0x0401;
  mode->dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
  mode->dmBitsPerPel = 32;
  mode->dmPelsWidth = static_cast<DWORD>(width);
  mode->dmPelsHeight = static_cast<DWORD>(height);
  mode->dmDisplayFrequency = 60;
}

}  // namespace

// Mesa keeps a few blocks of each context's framebuffer for the life of the process (they
// are made by OSMesaMakeCurrent and never given back). The leak checker of the sanitizer
// build leaves those alone; a leak of any other origin is still reported.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HEADLESS_LEAK_CHECKED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(HEADLESS_LEAK_CHECKED)
extern "C" const char* __lsan_default_suppressions() { return "leak:libOSMesa.so\n"; }
#endif

// ==== Control interface ======================================================================

namespace headless {

// A fresh virtual machine with these options (the shared rules start over too).
void Reset(const Options& options) {
  ReleaseCurrent();
  for (auto& context : platform.contexts) OSMesaDestroyContext(context->mesa);
  platform = PlatformData{};
  rules::Reset();
  platform.options = options;
  platform.screenWidth = std::clamp(options.screenWidth, 1, kMaxSize);
  platform.screenHeight = std::clamp(options.screenHeight, 1, kMaxSize);
  platform.tick = options.startTick;
  platform.cursor.x = options.cursorX >= 0 ? options.cursorX : platform.screenWidth / 2;
  platform.cursor.y = options.cursorY >= 0 ? options.cursorY : platform.screenHeight / 2;
}

// The hooks, until the next Reset.
void SetHooks(Hooks hooks) { platform.hooks = std::move(hooks); }

// The recording stands in for the user, the clock and the window from now on.
void StartPlayback(std::vector<recording::Event> events) {
  platform.events = std::move(events);
  platform.nextEvent = 0;
  // The screen line sets up the virtual screen (Options); the calls start after it.
  while (platform.nextEvent < platform.events.size() &&
         platform.events[platform.nextEvent].kind == recording::Kind::Screen)
    ++platform.nextEvent;
  platform.playing = true;
  platform.playbackError.clear();
  platform.playbackErrorLine = 0;
}

// The platform goes on by itself.
void StopPlayback() {
  if (Playing()) EndPlayback();
}

// Where the playback is, and why it stopped if the program left the recording.
bool PlaybackActive() { return Playing(); }
size_t PlaybackPosition() { return platform.nextEvent; }
const std::string& PlaybackError() { return platform.playbackError; }
int PlaybackErrorLine() { return platform.playbackErrorLine; }

// The virtual clock.
DWORD Tick() { return platform.tick; }
void SetTick(DWORD tick) { platform.tick = tick; }
void AdvanceTick(DWORD milliseconds) { platform.tick += milliseconds; }

// lParam: repeat count 1; bit 30 = the key was down before; bit 31 = the key goes up.
void PressKey(WPARAM virtualKey) {
  if (!rules::WindowExists()) return;
  const bool wasDown = platform.keysDown[virtualKey & 0xFF];
  platform.keysDown[virtualKey & 0xFF] = true;
  Post(WM_KEYDOWN, virtualKey, wasDown ? 0x40000001 : 1);
}

// WM_KEYUP, as a user letting go of the key.
void ReleaseKey(WPARAM virtualKey) {
  if (!rules::WindowExists()) return;
  platform.keysDown[virtualKey & 0xFF] = false;
  Post(WM_KEYUP, virtualKey, static_cast<LPARAM>(0xC0000001u));
}

// The cursor to a client position, as SetCursorPos would move it.
void MoveMouse(int x, int y) {
  POINT point{x, y};
  if (rules::WindowExists()) ClientToScreen(TheWindow(), &point);
  SetCursorPos(point.x, point.y);
}

// WM_LBUTTONDOWN at a client position, the cursor moved there first.
void PressLeftButton(int x, int y) {
  if (!rules::WindowExists()) return;
  POINT at = platform.cursor;
  ScreenToClient(TheWindow(), &at);
  if (at.x != x || at.y != y) MoveMouse(x, y);
  platform.leftButton = true;
  Post(WM_LBUTTONDOWN, ButtonState(), MAKELPARAM(x, y));
}

// WM_LBUTTONUP at a client position, the cursor moved there first.
void ReleaseLeftButton(int x, int y) {
  if (!rules::WindowExists()) return;
  POINT at = platform.cursor;
  ScreenToClient(TheWindow(), &at);
  if (at.x != x || at.y != y) MoveMouse(x, y);
  platform.leftButton = false;
  Post(WM_LBUTTONUP, ButtonState(), MAKELPARAM(x, y));
}

// A drag of the window's border: WM_SIZE before this returns.
void ResizeWindow(int width, int height) {
  if (!rules::WindowExists()) return;
  SetWindowPos(TheWindow(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
}

// The platform's close command.
void CloseWindow() {
  if (rules::WindowExists()) Post(WM_CLOSE, 0, 0);
}

// The window as the program left it, with the shared rules' part of it.
WindowState Window() {
  WindowState state = platform.window.state;
  state.exists = rules::WindowExists();
  state.visible = rules::Visible();
  state.needsPaint = rules::NeedsPaint();
  return state;
}

// What the program did to the machine (headless.h).
HWND WindowHandle() { return rules::WindowExists() ? TheWindow() : nullptr; }
int ScreenWidth() { return platform.screenWidth; }
int ScreenHeight() { return platform.screenHeight; }
POINT CursorPos() { return platform.cursor; }
int CursorDisplayCount() { return rules::CursorCount(); }
size_t PendingMessages() { return rules::Pending(); }
bool QuitPosted() { return rules::QuitPending(); }
const std::vector<MessageRecord>& DefWindowProcCalls() { return platform.defCalls; }
const std::vector<MessageBoxRecord>& MessageBoxes() { return platform.boxes; }
const std::vector<DisplayChange>& DisplayChanges() { return platform.displayChanges; }
bool ContextCurrent() { return platform.current != nullptr; }
int LiveContexts() { return static_cast<int>(platform.contexts.size()); }
int PixelFormatSet() { return rules::WindowExists() ? platform.window.pixelFormat : 0; }
long long SwapCount() { return platform.swaps; }
long long WaitCount() { return platform.waits; }
DWORD LastWait() { return platform.lastWait; }
int MessageDepth() { return rules::Depth(); }
const Frame& LastFrame() { return platform.lastFrame; }

}  // namespace headless

// ==== What the shared rules ask of this platform =============================================

// A message carries the virtual clock.
DWORD rules::MessageTime() { return platform.tick; }

// A message carries the virtual cursor.
POINT rules::MessageCursor() { return platform.cursor; }

// ==== Window class, window and message loop ==================================================

// Cursors are only handles here.
HCURSOR LoadCursorA(HINSTANCE, LPCSTR) { return reinterpret_cast<HCURSOR>(&cursorToken); }

// Stock objects are only handles here: the window paints with GL.
HGDIOBJ GetStockObject(int) { return &brushToken; }

// The one window: WM_CREATE, then WM_SIZE with the client size, inside the call.
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND, HMENU, HINSTANCE, void*) {
  const WNDCLASSA* found = rules::FindClass(className);
  if (!found) return nullptr;
  if (rules::WindowExists()) {
    std::fprintf(stderr, "headless: only one window is supported\n");
    return nullptr;
  }
  platform.window = VirtualWindow{};
  rules::OpenWindow(*found);  // hidden and wholly invalid
  rules::SetVisible((style & WS_VISIBLE) != 0);
  auto& state = platform.window.state;
  state.x = x;
  state.y = y;
  state.width = ClampSize(width);
  state.height = ClampSize(height);
  state.style = style;
  state.exStyle = exStyle;
  state.title = windowName ? windowName : "";
  state.className = className;
  if (Playing()) {
    DeliverSends(recording::Call::Create);
    return rules::WindowExists() ? TheWindow() : nullptr;
  }
  if (Send(WM_CREATE, 0, 0) == -1) {
    DestroyWindow(TheWindow());
    return nullptr;
  }
  // A window created with a size learns its client size before it is first drawn.
  if (rules::WindowExists()) Send(WM_SIZE, kSizeRestored, MAKELPARAM(state.width, state.height));
  return rules::WindowExists() ? TheWindow() : nullptr;
}

// Sends WM_DESTROY, then forgets the window and its queued messages.
BOOL DestroyWindow(HWND window) {
  if (!rules::IsWindow(window)) return FALSE;
  if (Playing())
    DeliverSends(recording::Call::Destroy);
  else
    Send(WM_DESTROY, 0, 0);
  rules::CloseWindow();
  platform.leftButton = false;
  return TRUE;
}

// The virtual screen's width and height (recorded ones while playing).
int GetSystemMetrics(int index) {
  if (const recording::Event* e = Take(recording::Kind::Metric, {index}))
    return static_cast<int>(e->b);
  if (index == SM_CXSCREEN) return platform.screenWidth;
  if (index == SM_CYSCREEN) return platform.screenHeight;
  return 0;
}

// Moves, sizes, stacks and shows the window as the flags ask.
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  if (!rules::IsWindow(window)) return FALSE;
  auto& state = platform.window.state;
  if (!(flags & SWP_NOZORDER)) {
    if (insertAfter == HWND_TOPMOST) state.topmost = true;
    if (insertAfter == HWND_NOTOPMOST) state.topmost = false;
  }
  if (flags & SWP_SHOWWINDOW) rules::SetVisible(true);
  if (Playing()) {
    DeliverSends(recording::Call::SetPos);
    return TRUE;
  }
  const int newX = (flags & SWP_NOMOVE) ? state.x : x;
  const int newY = (flags & SWP_NOMOVE) ? state.y : y;
  const int newWidth = (flags & SWP_NOSIZE) ? state.width : cx;
  const int newHeight = (flags & SWP_NOSIZE) ? state.height : cy;
  Place(newX, newY, newWidth, newHeight, state.maximized ? kSizeMaximized : kSizeRestored);
  return TRUE;
}

// Hides, shows, maximises or restores; returns whether the window was visible.
BOOL ShowWindow(HWND window, int showCommand) {
  if (!rules::IsWindow(window)) return FALSE;
  auto& win = platform.window;
  auto& state = win.state;
  const BOOL wasVisible = rules::Visible() ? TRUE : FALSE;
  if (showCommand == SW_HIDE) {
    rules::SetVisible(false);
    return wasVisible;
  }
  rules::SetVisible(true);
  if (Playing()) {
    if (showCommand == SW_SHOWMAXIMIZED) state.maximized = true;
    if (showCommand == SW_SHOWNORMAL || showCommand == SW_RESTORE) state.maximized = false;
    DeliverSends(recording::Call::Show);
    return wasVisible;
  }
  if (showCommand == SW_SHOWMAXIMIZED) {
    if (!state.maximized) {
      win.restoreX = state.x;
      win.restoreY = state.y;
      win.restoreWidth = state.width;
      win.restoreHeight = state.height;
      state.maximized = true;
    }
    Place(0, 0, platform.screenWidth, platform.screenHeight, kSizeMaximized);
  } else if (showCommand == SW_SHOWNORMAL || showCommand == SW_RESTORE) {
    if (state.maximized) {
      state.maximized = false;
      Place(win.restoreX, win.restoreY, win.restoreWidth, win.restoreHeight, kSizeRestored);
    }
  } else if (showCommand != SW_SHOW && showCommand != SW_SHOWDEFAULT && !platform.warnedMinimize) {
    platform.warnedMinimize = true;
    std::fprintf(stderr, "headless: show command %d is treated as SW_SHOW\n", showCommand);
  }
  return wasVisible;
}

// Paints the window at once if it needs painting.
BOOL UpdateWindow(HWND window) {
  if (!rules::IsWindow(window)) return FALSE;
  if (Playing()) {
    DeliverSends(recording::Call::Update);
    return TRUE;
  }
  if (rules::Visible() && rules::NeedsPaint()) Send(WM_PAINT, 0, 0);
  return TRUE;
}

// Looks at (and maybe takes) the next message, or the recording's.
BOOL PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
  if (Playing() && platform.nextEvent >= platform.events.size()) EndPlayback();
  if (Next(recording::Kind::Idle)) {
    ++platform.nextEvent;
    if (platform.hooks.idle) platform.hooks.idle();
    return FALSE;
  }
  if (const recording::Event* e = Next(recording::Kind::Post)) {
    if (removeFlags & PM_REMOVE) ++platform.nextEvent;
    if (msg)
      *msg = (removeFlags & PM_REMOVE)
                 ? Recorded(*e)
                 : rules::MakeMessage(TheWindow(), e->message, e->wParam, e->lParam);
    return TRUE;
  }
  if (Playing()) Diverge(recording::Asked(recording::Kind::Post, {}, "PeekMessageA"));
  MSG found;
  if (!NextMessage(&found, window, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0))
    return FALSE;
  if (msg) *msg = found;
  return TRUE;
}

// Never sleeps: notes the wait and answers whether a message waits.
DWORD MsgWaitForMultipleObjects(DWORD, const HANDLE*, BOOL, DWORD milliseconds, DWORD) {
  ++platform.waits;
  platform.lastWait = milliseconds;
  return rules::Waiting() ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

// Takes the next message, or the recording's; 0 for WM_QUIT.
BOOL GetMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
  if (const recording::Event* e = Take(recording::Kind::Post, {}, "GetMessageA")) {
    const MSG found = Recorded(*e);
    if (msg) *msg = found;
    return found.message == WM_QUIT ? 0 : TRUE;
  }
  MSG found;
  if (!NextMessage(&found, window, filterMin, filterMax, true)) {
    std::fprintf(stderr, "headless: GetMessageA on an empty queue would wait for ever; quitting\n");
    found = rules::MakeMessage(nullptr, WM_QUIT, 0, 0);
  }
  if (msg) *msg = found;
  return found.message == WM_QUIT ? 0 : TRUE;
}

// Queues WM_CHAR for a key that types a character (this keyboard has no Shift); while a
// recording plays, its character message is in the recording.
BOOL TranslateMessage(const MSG* msg) {
  if (Playing()) return msg && (msg->message == WM_KEYDOWN || msg->message == WM_KEYUP);
  return rules::Translate(msg, {});
}

// Notes the call (DefWindowProcCalls), then the default handling.
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  platform.defCalls.push_back({window, message, wParam, lParam});
  return rules::DefaultProcedure(window, message, wParam, lParam);
}

// Validates the whole window and gives its device context.
HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
  if (!rules::IsWindow(window)) return nullptr;
  rules::Validate();
  if (paint) {
    std::memset(paint, 0, sizeof(PAINTSTRUCT));
    paint->hdc = TheDc();
    paint->rcPaint = {0, 0, platform.window.state.width, platform.window.state.height};
  }
  return TheDc();
}

// The window has the keyboard while it exists.
HWND GetFocus() { return headless::WindowHandle(); }

// ==== Cursor =================================================================================

// Counts the cursor up or down; there is no cursor to show.
int ShowCursor(BOOL show) { return rules::CountCursor(show); }

// The virtual cursor (the recorded one while playing).
BOOL GetCursorPos(LPPOINT point) {
  if (!point) return FALSE;
  if (const recording::Event* e = Take(recording::Kind::Cursor))
    platform.cursor = POINT{static_cast<LONG>(e->a), static_cast<LONG>(e->b)};
  *point = platform.cursor;
  return TRUE;
}

// Like Win32, a cursor that does not move (already there, or held at the screen's edge) makes
// no message: mouse look, which puts the cursor back on the window's centre, would otherwise
// be answered for ever when that centre lies off the screen.
BOOL SetCursorPos(int x, int y) {
  if (Take(recording::Kind::SetCursor, {x, y})) {
    platform.cursor = POINT{x, y};
    return TRUE;
  }
  const POINT before = platform.cursor;
  platform.cursor.x = std::clamp(x, 0, platform.screenWidth - 1);
  platform.cursor.y = std::clamp(y, 0, platform.screenHeight - 1);
  const bool moved = platform.cursor.x != before.x || platform.cursor.y != before.y;
  if (rules::WindowExists() && moved)
    Post(WM_MOUSEMOVE, ButtonState(), ClientLParam(platform.cursor));
  return TRUE;
}

// While a recording plays, its origin line (if one is due) places the window first.
void TakeOrigin() {
  if (const recording::Event* e = Next(recording::Kind::Origin)) {
    ++platform.nextEvent;
    platform.window.state.x = static_cast<int>(e->a);
    platform.window.state.y = static_cast<int>(e->b);
  }
}

// Screen to client coordinates.
BOOL ScreenToClient(HWND window, LPPOINT point) {
  if (!rules::IsWindow(window) || !point) return FALSE;
  TakeOrigin();
  point->x -= platform.window.state.x;
  point->y -= platform.window.state.y;
  return TRUE;
}

// Client to screen coordinates.
BOOL ClientToScreen(HWND window, LPPOINT point) {
  if (!rules::IsWindow(window) || !point) return FALSE;
  TakeOrigin();
  point->x += platform.window.state.x;
  point->y += platform.window.state.y;
  return TRUE;
}

// ==== Message box ============================================================================

// Records the box and writes it to standard error; never waits.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT) {
  const std::string title = caption ? caption : "Error";  // Win32's default caption
  const std::string body = text ? text : "";
  platform.boxes.push_back({owner, title, body});
  std::fprintf(stderr, "%s: %s\n", title.c_str(), body.c_str());
  return IDOK;
}

// ==== Display settings =======================================================================

// The mode in force, or one of the fixed list.
BOOL EnumDisplaySettingsA(LPCSTR deviceName, DWORD modeNum, DEVMODEA* devMode) {
  if (deviceName || !devMode) return FALSE;  // the primary display only
  if (modeNum == ENUM_CURRENT_SETTINGS) {
    FillMode(devMode, platform.screenWidth, platform.screenHeight);
    return TRUE;
  }
  if (modeNum >= std::size(kModes)) return FALSE;
  FillMode(devMode, kModes[modeNum][0], kModes[modeNum][1]);
  return TRUE;
}

// Records the request; a well-formed one sets the virtual screen's size.
LONG ChangeDisplaySettingsA(DEVMODEA* devMode, DWORD flags) {
  headless::DisplayChange change{};
  change.restoreDefault = devMode == nullptr;
  if (devMode) change.mode = *devMode;
  change.flags = flags;
  LONG result = DISP_CHANGE_SUCCESSFUL;
  if (!devMode) {
    platform.screenWidth = std::clamp(platform.options.screenWidth, 1, kMaxSize);
    platform.screenHeight = std::clamp(platform.options.screenHeight, 1, kMaxSize);
  } else {
    const DWORD fields = devMode->dmFields;
    const bool sizeOk = devMode->dmSize == sizeof(DEVMODEA);
    const bool widthOk =
        !(fields & DM_PELSWIDTH) || (devMode->dmPelsWidth >= 1 && devMode->dmPelsWidth <= kMaxSize);
    const bool heightOk = !(fields & DM_PELSHEIGHT) ||
                          (devMode->dmPelsHeight >= 1 && devMode->dmPelsHeight <= kMaxSize);
    const DWORD bits = devMode->dmBitsPerPel;
    const bool bitsOk = !(fields & DM_BITSPERPEL) || bits == 16 || bits == 24 || bits == 32;
    const bool namesSize = (fields & (DM_PELSWIDTH | DM_PELSHEIGHT)) != 0;
    if (!sizeOk || !namesSize || !widthOk || !heightOk || !bitsOk) {
      result = DISP_CHANGE_BADMODE;
    } else {
      if (fields & DM_PELSWIDTH) platform.screenWidth = static_cast<int>(devMode->dmPelsWidth);
      if (fields & DM_PELSHEIGHT) platform.screenHeight = static_cast<int>(devMode->dmPelsHeight);
    }
  }
  change.result = result;
  platform.displayChanges.push_back(change);
  if (Playing()) DeliverSends(recording::Call::Display);
  return result;
}

// ==== Device context, pixel format and OpenGL context ========================================

// The window's own device context.
HDC GetDC(HWND window) { return rules::IsWindow(window) ? TheDc() : nullptr; }

// The device context stays valid; only the handles are checked.
int ReleaseDC(HWND window, HDC dc) { return rules::IsWindow(window) && dc == TheDc() ? 1 : 0; }

// Sets the one format, once.
BOOL SetPixelFormat(HDC dc, int pixelFormat, const PIXELFORMATDESCRIPTOR*) {
  if (!rules::IsDeviceContext(dc) || pixelFormat != rules::kPixelFormat) return FALSE;
  // As on Win32, a window's pixel format is set once.
  if (platform.window.pixelFormat != 0 && platform.window.pixelFormat != pixelFormat) return FALSE;
  platform.window.pixelFormat = pixelFormat;
  return TRUE;
}

// Counts the frame, reads it back when asked, and calls the afterSwap hook.
BOOL SwapBuffers(HDC dc) {
  if (!rules::IsDeviceContext(dc) || !platform.current) return FALSE;
  if (platform.options.captureFrames) {
    auto& frame = platform.lastFrame;
    frame.width = std::max(1, platform.window.state.width);
    frame.height = std::max(1, platform.window.state.height);
    frame.rgba.assign(static_cast<size_t>(frame.width) * frame.height * 4, 0);
    GLint alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, frame.width, frame.height, GL_RGBA, GL_UNSIGNED_BYTE, frame.rgba.data());
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
  }
  ++platform.swaps;
  if (platform.hooks.afterSwap) platform.hooks.afterSwap();
  return TRUE;
}

// A new OSMesa context for the window, not made current.
HGLRC wglCreateContext(HDC dc) {
  if (!rules::IsDeviceContext(dc) || platform.window.pixelFormat == 0) return nullptr;
  KeepDriverBuffersInHeap();
  OSMesaContext mesa = OSMesaCreateContextExt(OSMESA_RGBA, 16, 0, 0, nullptr);
  if (!mesa) {
    std::fprintf(stderr, "headless: cannot create an OSMesa context\n");
    return nullptr;
  }
  platform.contexts.push_back(std::make_unique<Context>(Context{mesa}));
  return reinterpret_cast<HGLRC>(platform.contexts.back().get());
}

// Binds a context to the window's surface, or with none releases the current one.
BOOL wglMakeCurrent(HDC dc, HGLRC handle) {
  if (!handle) {
    ReleaseCurrent();
    return TRUE;
  }
  Context* context = FindContext(handle);
  if (!context || !rules::IsDeviceContext(dc)) return FALSE;
  platform.current = context;
  BindSurface();
  return TRUE;
}

// Deletes a context once.
BOOL wglDeleteContext(HGLRC handle) {
  Context* context = FindContext(handle);
  if (!context) return FALSE;
  if (platform.current == context) ReleaseCurrent();
  OSMesaDestroyContext(context->mesa);
  std::erase_if(platform.contexts, [&](const auto& c) { return c.get() == context; });
  return TRUE;
}

// ==== Clock ==================================================================================

// The virtual clock (the recorded tick while playing).
DWORD GetTickCount() {
  if (const recording::Event* e = Take(recording::Kind::Tick))
    platform.tick = static_cast<DWORD>(e->a);
  return platform.tick;
}
