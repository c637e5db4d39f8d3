// OpenGL state set once at load, and the display-mode switch.
#pragma once

#include "platform/win32.h"

extern DEVMODEA displayModeRequest;

// Clear colour, depth test, colour material, shading, material and lights.
void SetupRenderState();
// Polygon mode fill, then clear the buffers.
void SetupPolygonModeAndClear();
// Switches the screen resolution when the scene asks for it, saving the mode in force.
void SwitchDisplayMode();
