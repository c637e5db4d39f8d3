// The application shell: entry point, main window with its OpenGL context, message loop.
#pragma once

#include "platform/win32.h"

extern HWND windowHandle;
extern HDC deviceContext;
extern HGLRC renderContext;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Chooses and sets the pixel format of deviceContext.
bool SetupPixelFormat();
// Teardown shared by Esc and window destruction: context, device context, quit, display mode.
void ReleaseAndQuit(HWND window);
// Puts every process-wide value of the program in its start-up state, module by module;
// WinMain runs it first (tests and the replay tool run WinMain more than once in a process).
void ResetProgramState();
