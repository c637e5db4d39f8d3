// Game controllers for the SDL platform: their sticks and buttons as the keys and pointer
// moves of keyboard and mouse. Used by platform_sdl.cpp only; see gamepad_sdl.cpp.
#pragma once

#include <SDL.h>

#include "platform/win32.h"

// Receives a key as the pads together hold it: down when the first pad input holding it
// starts, up when the last one lets go.
using PadKeySink = void (*)(WPARAM virtualKey, bool down);

// Opens SDL's game-controller subsystem; false (said once) where SDL cannot.
bool GamepadStart();

// Closes every controller (before SDL itself is closed).
void GamepadStop();

// Takes a controller's event (device added or removed, axis, button); false for any other.
bool GamepadEvent(const SDL_Event& event, PadKeySink sink);

// Whether some pad input holds this key.
bool GamepadHolds(WPARAM virtualKey);

// Whether a controller is open (the event wait must then look at it now and then).
bool GamepadConnected();

// The right stick's look step in pixels when one is due at this time (milliseconds).
bool GamepadLookStep(Uint64 now, int* dx, int* dy);
