// The Win32 rules both platforms keep (win32_rules.h), and the Win32 calls that are nothing
// but one of them, defined here for both: RegisterClassA, PostMessageA, PostQuitMessage,
// DispatchMessageA, EndPaint, ChoosePixelFormat and DescribePixelFormat. Plain C++: no SDL,
// no GL; each platform stamps messages with its own clock and cursor.
#include "platform/win32_rules.h"

#include <strings.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

namespace rules {

namespace {

struct RegisteredClass {
  std::string name;  // the class keeps its own copy of the name
  WNDCLASSA wc;
};

// The one window as the rules see it; the platform keeps its place, size and the rest.
struct RulesWindow {
  bool exists = false;
  bool visible = false;
  bool paintPending = false;  // update region not empty
  WNDPROC procedure = nullptr;
  UINT classStyle = 0;
};

struct RulesData {
  std::vector<RegisteredClass> classes;
  RulesWindow window;
  std::deque<MSG> queue;
  bool quitPosted = false;
  int quitCode = 0;
  int cursorCount = 0;
  int depth = 0;
};

RulesData data;

// Stand-ins whose addresses are the handles.
char windowToken, deviceContextToken;

// Whether a message passes the window and range filters of a peek or get.
bool Matches(const MSG& msg, HWND window, UINT filterMin, UINT filterMax) {
  if (window != nullptr && msg.hwnd != window) return false;
  if (filterMin == 0 && filterMax == 0) return true;
  return msg.message >= filterMin && msg.message <= filterMax;
}

// The character a key types with these modifiers, or 0.
WPARAM Character(WPARAM key, Modifiers modifiers) {
  if (modifiers.controlOrAlt) return 0;
  if (key >= 'A' && key <= 'Z') return modifiers.shift != modifiers.capsLock ? key : key + 32;
  if (key >= '0' && key <= '9') return modifiers.shift ? 0 : key;
  if (key == VK_SPACE || key == VK_RETURN || key == VK_TAB || key == VK_BACK || key == VK_ESCAPE)
    return key;
  return 0;
}

}  // namespace

// Forgets classes, window, queue, quit and cursor count.
void Reset() { data = RulesData{}; }

// The registered class of this name, compared without case.
const WNDCLASSA* FindClass(LPCSTR name) {
  if (name == nullptr) return nullptr;
  for (const RegisteredClass& c : data.classes)
    if (strcasecmp(c.name.c_str(), name) == 0) return &c.wc;
  return nullptr;
}

// The window's handle.
HWND Handle() { return reinterpret_cast<HWND>(&windowToken); }

// The window's device context's handle.
HDC DeviceContext() { return reinterpret_cast<HDC>(&deviceContextToken); }

// Whether this is the window's handle and the window exists.
bool IsWindow(HWND window) { return window == Handle() && data.window.exists; }

// Whether this is the window's device context and the window exists.
bool IsDeviceContext(HDC dc) { return dc == DeviceContext() && data.window.exists; }

// Whether the window exists.
bool WindowExists() { return data.window.exists; }

// A new window of this class: hidden, wholly invalid.
void OpenWindow(const WNDCLASSA& windowClass) {
  data.window = RulesWindow{};
  data.window.exists = true;
  data.window.paintPending = true;
  data.window.procedure = windowClass.lpfnWndProc;
  data.window.classStyle = windowClass.style;
}

// The window is gone, with its queued messages.
void CloseWindow() {
  data.window.exists = false;
  data.window.visible = false;
  data.window.paintPending = false;
  std::erase_if(data.queue, [](const MSG& m) { return m.hwnd == Handle(); });
}

// Shows or hides the window; a hidden window shown needs painting.
void SetVisible(bool visible) {
  if (visible && !data.window.visible) data.window.paintPending = true;
  data.window.visible = visible;
}

// Whether the window is shown.
bool Visible() { return data.window.exists && data.window.visible; }

// The window needs painting.
void Invalidate() { data.window.paintPending = true; }

// The window is painted.
void Validate() { data.window.paintPending = false; }

// Whether the window needs painting.
bool NeedsPaint() { return data.window.exists && data.window.paintPending; }

// A new client size invalidates by the class's redraw styles, and where the area grew.
void Resized(int oldWidth, int oldHeight, int width, int height) {
  const UINT style = data.window.classStyle;
  const bool grew = width > oldWidth || height > oldHeight;
  if (grew || (width != oldWidth && (style & CS_HREDRAW)) ||
      (height != oldHeight && (style & CS_VREDRAW)))
    data.window.paintPending = true;
}

// Calls the window procedure, counting the calls under way.
LRESULT Deliver(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!data.window.exists || data.window.procedure == nullptr) return 0;
  ++data.depth;
  const LRESULT result = data.window.procedure(Handle(), message, wParam, lParam);
  --data.depth;
  return result;
}

// Window-procedure calls under way.
int Depth() { return data.depth; }

// A message with the platform's time and cursor.
MSG MakeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MSG msg{};
  msg.hwnd = window;
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  msg.time = MessageTime();
  msg.pt = MessageCursor();
  return msg;
}

// Appends a message to the queue.
void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  data.queue.push_back(MakeMessage(window, message, wParam, lParam));
}

// Puts a message at the head of the queue.
void PostFirst(const MSG& msg) { data.queue.push_front(msg); }

// The first queued message that passes the filters.
bool FetchQueued(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove) {
  for (auto it = data.queue.begin(); it != data.queue.end(); ++it) {
    if (!Matches(*it, window, filterMin, filterMax)) continue;
    *msg = *it;
    if (remove) data.queue.erase(it);
    return true;
  }
  return false;
}

// Queued messages, then WM_QUIT, then WM_PAINT.
bool Fetch(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove) {
  if (FetchQueued(msg, window, filterMin, filterMax, remove)) return true;
  if (data.quitPosted) {
    const MSG quit = MakeMessage(nullptr, WM_QUIT, static_cast<WPARAM>(data.quitCode), 0);
    if (Matches(quit, window, filterMin, filterMax)) {
      *msg = quit;
      if (remove) data.quitPosted = false;
      return true;
    }
  }
  if (Visible() && NeedsPaint()) {
    const MSG paint = MakeMessage(Handle(), WM_PAINT, 0, 0);
    if (Matches(paint, window, filterMin, filterMax)) {
      *msg = paint;  // stays until the window is validated
      return true;
    }
  }
  return false;
}

// Whether a message of any kind waits.
bool Waiting() {
  MSG msg;
  return Fetch(&msg, nullptr, 0, 0, false);
}

// Queued messages.
std::size_t Pending() { return data.queue.size(); }

// Empties the queue.
void ClearQueue() { data.queue.clear(); }

// Keeps the first of the equal messages queued from position first on.
bool KeepFirstOf(std::size_t first, const MSG& like) {
  bool seen = false;
  for (std::size_t i = first; i < data.queue.size();) {
    const MSG& m = data.queue[i];
    if (m.hwnd == like.hwnd && m.message == like.message && m.lParam == like.lParam) {
      if (seen) {
        data.queue.erase(data.queue.begin() + static_cast<std::ptrdiff_t>(i));
        continue;
      }
      seen = true;
    }
    ++i;
  }
  return seen;
}

// Whether WM_QUIT is due.
bool QuitPending() { return data.quitPosted; }

// The quit was given already.
void ForgetQuit() { data.quitPosted = false; }

// Queues the character of a pressed key to be taken next.
BOOL Translate(const MSG* msg, Modifiers modifiers) {
  if (msg == nullptr) return FALSE;
  if (msg->message == WM_KEYUP) return TRUE;
  if (msg->message != WM_KEYDOWN) return FALSE;
  if (const WPARAM character = Character(msg->wParam, modifiers); character != 0) {
    MSG charMsg = *msg;
    charMsg.message = WM_CHAR;
    charMsg.wParam = character;
    PostFirst(charMsg);
  }
  return TRUE;
}

// Counts the cursor up or down.
int CountCursor(BOOL show) { return data.cursorCount += show ? 1 : -1; }

// The cursor's display count.
int CursorCount() { return data.cursorCount; }

// Close destroys the window, paint validates it.
LRESULT DefaultProcedure(HWND window, UINT message, WPARAM, LPARAM) {
  if (message == WM_CLOSE) DestroyWindow(window);
  if (message == WM_PAINT && IsWindow(window)) Validate();
  return 0;
}

}  // namespace rules

// ---- The Win32 calls that are one rule ---------------------------------------------------------

// Keeps a window class; a second registration of a name (in any case) fails, as on Win32.
ATOM RegisterClassA(const WNDCLASSA* wc) {
  if (wc == nullptr || wc->lpszClassName == nullptr || wc->lpfnWndProc == nullptr) return 0;
  if (rules::FindClass(wc->lpszClassName) != nullptr) return 0;
  rules::data.classes.push_back({wc->lpszClassName, *wc});
  rules::RegisteredClass& added = rules::data.classes.back();
  added.wc.lpszClassName = added.name.c_str();
  return static_cast<ATOM>(0xC000 + rules::data.classes.size() - 1);
}

// Queues a message for the window (or for the thread, with no window).
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (window != nullptr && !rules::IsWindow(window)) return FALSE;
  rules::Post(window, message, wParam, lParam);
  return TRUE;
}

// Asks for WM_QUIT once every queued message has been taken.
void PostQuitMessage(int exitCode) {
  rules::data.quitPosted = true;
  rules::data.quitCode = exitCode;
}

// Hands a message to its window's procedure.
LRESULT DispatchMessageA(const MSG* msg) {
  if (msg == nullptr || !rules::IsWindow(msg->hwnd)) return 0;
  return rules::Deliver(msg->message, msg->wParam, msg->lParam);
}

// Nothing to finish: BeginPaint validated the window.
BOOL EndPaint(HWND window, const PAINTSTRUCT*) { return rules::IsWindow(window) ? TRUE : FALSE; }

// Always the one format.
int ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* pfd) {
  return rules::IsDeviceContext(dc) && pfd != nullptr ? rules::kPixelFormat : 0;
}

// Describes the one format; returns the number of formats.
int DescribePixelFormat(HDC dc, int pixelFormat, UINT bytes, PIXELFORMATDESCRIPTOR* pfd) {
  if (!rules::IsDeviceContext(dc) || pixelFormat != rules::kPixelFormat) return 0;
  if (pfd != nullptr && bytes >= sizeof(PIXELFORMATDESCRIPTOR)) {
    std::memset(pfd, 0, sizeof *pfd);
    pfd->nSize = sizeof(PIXELFORMATDESCRIPTOR);
    pfd->nVersion = 1;
    pfd->dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd->iPixelType = PFD_TYPE_RGBA;
    pfd->cColorBits = 32;
    pfd->cRedBits = pfd->cGreenBits = pfd->cBlueBits = pfd->cAlphaBits = 8;
    pfd->cRedShift = 16;
    pfd->cGreenShift = 8;
    pfd->cBlueShift = 0;
    pfd->cAlphaShift = 24;
    pfd->cDepthBits = 16;
    pfd->iLayerType = PFD_MAIN_PLANE;
  }
  return 1;
}
