// Keyboard and mouse: control flags, pause, maximise, quit, window drag and mouse look.
#pragma once

#include "platform/win32.h"

extern int leftButtonDown;
extern int dragOffsetX, dragOffsetY;
extern POINT cursorPos;
extern int mouseX, mouseY, mouseLastX, mouseLastY;

inline constexpr double mouseYawDivisor = 8.0;
inline constexpr double mousePitchDivisor = 20.0;
// A tilt message from a cursor below the centre row: it tilts four times as fast as one above.
inline constexpr double mousePitchDivisorDown = 5.0;

void OnKeyDown(WPARAM wParam, LPARAM lParam);
void OnKeyUp(WPARAM wParam, LPARAM lParam);
void OnLeftButtonDown(WPARAM wParam, LPARAM lParam);
void OnLeftButtonUp(WPARAM wParam, LPARAM lParam);
void OnMouseMove(WPARAM wParam, LPARAM lParam);
// Moves the window so that the cursor keeps its place on it (while paused).
void DragWindow();
// Turns and tilts the view by how far the cursor moved from the window centre.
void MouseLook(LPARAM lParam);
// Takes the cursor position as the mouse-look reference (window creation).
void AnchorMouseLook();
// Back to the start-up state.
void ResetInput();
