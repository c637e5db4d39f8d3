// The Win32 rules both of our platforms keep, kept once: the window classes, the one window's
// procedure, visibility and update region, the message queue and the order in which messages
// leave it, the characters of keys, the cursor's display counter, the default window
// procedure and the one pixel format.
//
// platform_sdl.cpp (a real window) and platform_headless.cpp (a virtual one) each define the
// Win32 calls of win32.h and use these rules for what the calls share; win32_rules.cpp itself
// defines the calls that are nothing but a rule (see its header block). Each platform also
// defines the two functions under "Given by the platform", which stamp a message.
#pragma once

#include <cstddef>

#include "platform/win32.h"

namespace rules {

// ---- Given by the platform linked ------------------------------------------------------------
// The time (GetTickCount's clock) and the cursor's screen position a message posted now carries.
DWORD MessageTime();
POINT MessageCursor();

// ---- Start ---------------------------------------------------------------------------------
// Forgets every class, the window, every queued message, a posted quit and the cursor count.
void Reset();

// ---- Window classes --------------------------------------------------------------------------
// The registered class of this name, or null. Class names ignore case, as on Win32.
const WNDCLASSA* FindClass(LPCSTR name);

// ---- The one window --------------------------------------------------------------------------
// The window's handle and its device context's: the same for every window made.
HWND Handle();
HDC DeviceContext();
// Whether the handle names the window while it exists.
bool IsWindow(HWND window);
bool IsDeviceContext(HDC dc);
bool WindowExists();
// The window now exists, hidden and wholly invalid, with the class's procedure and style.
void OpenWindow(const WNDCLASSA& windowClass);
// The window is gone, and the messages queued for it with it.
void CloseWindow();
// Showing a hidden window invalidates it; only a visible window is painted.
void SetVisible(bool visible);
bool Visible();
// The update region: not empty (a WM_PAINT is due while the window is visible) or validated.
void Invalidate();
void Validate();
bool NeedsPaint();
// The client area changed size: with CS_HREDRAW (a new width) or CS_VREDRAW (a new height), or
// where it grew, the window needs painting.
void Resized(int oldWidth, int oldHeight, int width, int height);
// Hands a message to the window procedure (nothing, 0, once the window is gone).
LRESULT Deliver(UINT message, WPARAM wParam, LPARAM lParam);
// Window-procedure calls under way (0: not inside a message).
int Depth();

// ---- The message queue -----------------------------------------------------------------------
// A message stamped with the platform's time and cursor.
MSG MakeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Appends a message to the queue.
void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The next message taken, before those already queued.
void PostFirst(const MSG& msg);
// The next message in Win32's order: queued messages first, then WM_QUIT once every one of
// them is taken, then WM_PAINT only when nothing else waits and for as long as the visible
// window is not validated. A window filter passes that window's messages (WM_QUIT belongs to
// none); a range filter of 0, 0 passes every message. Removes it when asked (WM_PAINT stays).
bool Fetch(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove);
// As Fetch, but only the queued messages.
bool FetchQueued(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove);
// Whether Fetch would find something without filters.
bool Waiting();
// Queued messages, WM_QUIT not counted.
std::size_t Pending();
// Drops every queued message (a posted quit stays posted).
void ClearQueue();
// Of the messages queued from position first on that equal this one (window, message,
// lParam), keeps the first; returns whether there was one.
bool KeepFirstOf(std::size_t first, const MSG& like);
// A posted quit: WM_QUIT waits behind the queued messages.
bool QuitPending();
// A quit that the program has already been given in another way (a played-back WM_QUIT).
void ForgetQuit();

// ---- Keys ----------------------------------------------------------------------------------
// Modifier keys held as a key is translated.
struct Modifiers {
  bool shift = false;
  bool capsLock = false;
  bool controlOrAlt = false;
};
// TranslateMessage's rule: a key that types a character queues WM_CHAR to be taken next.
// Letters follow Shift and Caps Lock, digits give themselves without Shift, and Space, Enter,
// Tab, Backspace and Esc give their own codes; nothing with Ctrl or Alt. Nonzero for every
// key message, as on Win32, whether a character came of it or not.
BOOL Translate(const MSG* msg, Modifiers modifiers);

// ---- Cursor ----------------------------------------------------------------------------------
// ShowCursor's counter (0 at start): counts up or down and returns the new count. The cursor
// shows while it is not negative.
int CountCursor(BOOL show);
int CursorCount();

// ---- Default window procedure ------------------------------------------------------------------
// A close request destroys the window, a paint validates it; every message returns 0.
LRESULT DefaultProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// ---- Pixel format ----------------------------------------------------------------------------
// The one pixel format: RGBA 8-8-8-8 (red in bits 16..23 of a 32-bit pixel, green 8..15, blue
// 0..7, alpha 24..31, as Win32 describes its 32-bit formats), depth 16, double buffered.
inline constexpr int kPixelFormat = 1;

}  // namespace rules
