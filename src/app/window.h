// The main window's handles: the window, its device context and its GL context. This module
// owns them; the shell, the keys and the frame driver read them.
#pragma once

#include "platform/win32.h"

extern HWND windowHandle;
extern HDC deviceContext;
extern HGLRC renderContext;

// The main window's size when it is created, before the scene may maximise it.
inline constexpr int kWindowWidth = 200;
inline constexpr int kWindowHeight = 150;

// Registers the window class and creates the main window with this procedure (hidden, at
// the screen's corner, WM_CREATE and WM_SIZE handled inside the call); windowHandle is set.
HWND OpenMainWindow(HINSTANCE instance, WNDPROC procedure);
// Window creation's first step: the device context, its pixel format and a current GL context.
void OpenRenderContext(HWND window);
// Chooses and sets the pixel format of deviceContext.
bool SetupPixelFormat();
// Teardown shared by Esc and window destruction: context, device context, quit, display mode.
void ReleaseAndQuit(HWND window);
// No window yet.
void ResetWindowHandles();
