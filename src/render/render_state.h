// OpenGL state set once at load, and the display-mode switch.
#pragma once

#include "platform/win32.h"

extern DEVMODEA savedDisplayMode;    // all zero unless the display mode was switched at start
extern bool displayModeSaved;        // true once savedDisplayMode holds a switched-from mode
extern DEVMODEA displayModeRequest;  // the mode asked for by the switch

// Clear colour, depth test, colour material, shading, material and lights.
void SetupRenderState();
// Polygon mode fill, then clear the buffers.
void SetupPolygonModeAndClear();
// Switches the screen resolution when the scene asks for it, saving the mode in force.
void SwitchDisplayMode();
// Gives back the mode saved by the switch, if one was saved (teardown).
void RestoreDisplayMode();
// Forgets any saved or requested display mode.
void ResetRenderState();
