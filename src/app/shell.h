// The application shell: entry point, the main window's procedure, message loop.
#pragma once

#include "platform/win32.h"

// The main window's procedure: creation, paint, size, destruction, keys and mouse.
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Puts every process-wide value of the program in its start-up state, module by module;
// WinMain runs it first (tests and the replay tool run WinMain more than once in a process).
void ResetProgramState();
