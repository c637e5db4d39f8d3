// The keys the program answers, one row each: the virtual-key code its messages carry, the
// name replay scripts give it, the game-controller inputs that hold it, and how the help and
// the README name it and what it does in each control mode. Every reader takes the key from
// here: the SDL platform's pads (gamepad_sdl.cpp) and its keyboard (platform_sdl.cpp checks at
// compile time that it gives every code), citywalk-replay's script names, `citywalk --help`
// and a test that the README's key table says the same. What the program does with a key is
// app/input.cpp's. Adding a key: a row here, its answer in input.cpp, its line in the README.
//
// The table lives in the platform layer because the platform (the pads) reads it and every
// other reader sits above; it is plain data over Win32's key codes, so the Windows build's
// help reads it too.
#pragma once

#include <cstddef>
#include <string>

#include "platform/win32.h"

// A game controller's inputs, one bit each (our own names: the Windows build has no SDL).
enum PadInput : unsigned {
  kPadStickUp = 1u << 0,  // the left stick pushed beyond half its travel
  kPadStickDown = 1u << 1,
  kPadStickLeft = 1u << 2,
  kPadStickRight = 1u << 3,
  kPadDpadUp = 1u << 4,
  kPadDpadDown = 1u << 5,
  kPadDpadLeft = 1u << 6,
  kPadDpadRight = 1u << 7,
  kPadA = 1u << 8,
  kPadB = 1u << 9,
  kPadX = 1u << 10,
  kPadY = 1u << 11,
  kPadBack = 1u << 12,
  kPadStart = 1u << 13,
  kPadLeftShoulder = 1u << 14,
  kPadRightShoulder = 1u << 15,
  kPadLeftTrigger = 1u << 16,  // a trigger pressed beyond 61 % of its travel
  kPadRightTrigger = 1u << 17,
};
inline constexpr int kPadInputCount = 18;

// How the help and the README name each input, in bit order.
inline constexpr const char* kPadInputNames[kPadInputCount] = {"left stick up",
                                                               "left stick down",
                                                               "left stick left",
                                                               "left stick right",
                                                               "D-pad up",
                                                               "D-pad down",
                                                               "D-pad left",
                                                               "D-pad right",
                                                               "A",
                                                               "B",
                                                               "X",
                                                               "Y",
                                                               "Back",
                                                               "Start",
                                                               "left shoulder",
                                                               "right shoulder",
                                                               "left trigger",
                                                               "right trigger"};

// Control modes, as the help names them (1..4).
inline constexpr int kModeCount = 4;

struct Key {
  WPARAM code;        // WM_KEYDOWN's and WM_KEYUP's wParam
  const char* name;   // in replay scripts (lower case)
  const char* label;  // in the help and the README
  unsigned pad;       // the pad inputs that hold it, any one of them (0: none)
  unsigned padWith;   // held only while this input was held too when one of pad's went down,
                      // or went down while it was held; it then holds pad's input instead of
                      // the row without padWith, until that input is let go (0: plain)
  const char* help[kModeCount];  // what it does in control modes 1..4 (nullptr: nothing)
};

// clang-format off
inline constexpr Key kKeys[] = {
    {VK_UP, "up", "Up", kPadStickUp | kPadDpadUp, 0,
     {"walk forward", "throttle", "walk forward", "throttle"}},
    {VK_DOWN, "down", "Down", kPadStickDown | kPadDpadDown, 0,
     {"walk back", "brake, then reverse", "walk back", "brake, then reverse"}},
    {VK_LEFT, "left", "Left", kPadStickLeft | kPadDpadLeft, 0,
     {"step or turn left", "steer left", "step or turn left", "steer left"}},
    {VK_RIGHT, "right", "Right", kPadStickRight | kPadDpadRight, 0,
     {"step or turn right", "steer right", "step or turn right", "steer right"}},
    {VK_SPACE, "space", "Space", kPadA, 0,
     {"jump", "handbrake (with Left or Right: a handbrake turn)", nullptr,
      "handbrake (with Left or Right: a handbrake turn)"}},
    {VK_CONTROL, "ctrl", "Ctrl", kPadRightTrigger, 0,
     {"(held) crouch", "(held) stronger throttle", nullptr, "(held) stronger throttle"}},
    {VK_F2, "f2", "F2", kPadStart, 0,
     {"pause / resume (the window can be dragged while paused)",
      "pause / resume (the window can be dragged while paused)",
      "pause / resume (the window can be dragged while paused)",
      "pause / resume (the window can be dragged while paused)"}},
    {VK_F3, "f3", "F3", 0, 0,
     {"maximise / restore", "maximise / restore", "maximise / restore", "maximise / restore"}},
    {VK_ESCAPE, "esc", "Esc", kPadStart, kPadBack, {"quit", "quit", "quit", "quit"}},
};
// clang-format on
inline constexpr int kKeyCount = static_cast<int>(sizeof kKeys / sizeof kKeys[0]);

// Each code and each name is one key's.
constexpr bool KeysDistinct() {
  for (int i = 0; i < kKeyCount; ++i)
    for (int j = 0; j < i; ++j) {
      if (kKeys[i].code == kKeys[j].code) return false;
      const char* a = kKeys[i].name;
      const char* b = kKeys[j].name;
      while (*a != '\0' && *a == *b) ++a, ++b;
      if (*a == *b) return false;
    }
  return true;
}
static_assert(KeysDistinct(), "two rows of kKeys share a code or a name");

// The row of a key code, or null.
constexpr const Key* FindKey(WPARAM code) {
  for (const Key& key : kKeys)
    if (key.code == code) return &key;
  return nullptr;
}

// The pad inputs of a set, by name: "left stick up or D-pad up".
inline std::string PadInputNames(unsigned inputs) {
  std::string text;
  for (int i = 0; i < kPadInputCount; ++i)
    if (inputs & (1u << i)) text += (text.empty() ? "" : " or ") + std::string(kPadInputNames[i]);
  return text;
}

// How the help and the README name a key's pad binding ("Back with Start"; "" for none).
inline std::string PadBinding(const Key& key) {
  if (key.pad == 0) return "";
  if (key.padWith == 0) return PadInputNames(key.pad);
  return PadInputNames(key.padWith) + " with " + PadInputNames(key.pad);
}
