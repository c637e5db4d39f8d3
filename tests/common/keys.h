// Key presses in a test, as the window procedure hands them to the program's input.
#pragma once

#include "app/input.h"

// Presses or releases a key as the window procedure would.
inline void Press(WPARAM key) { OnKeyDown(key, 0); }
inline void Release(WPARAM key) { OnKeyUp(key, 0); }
