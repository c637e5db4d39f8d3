// Game controllers on the SDL platform: a pad drives and walks like the keyboard and looks
// around like the mouse, so the program sees only the key and mouse messages it knows.
//
// Supported, and how:
//   - Every controller SDL's game-controller API knows (its mapping database, or a mapping
//     added through SDL_GAMECONTROLLERCONFIG), opened when SDL reports it, at start or later,
//     and closed when it is unplugged. Several may be open; their inputs add up.
//   - Left stick and D-pad give the arrow keys, A gives Space, the right trigger Ctrl, Start
//     F2, and Back together with Start gives Esc instead of F2 (Back alone gives nothing):
//     Back pressed while Start holds F2 releases F2 and presses Esc, and Esc stays down until
//     Start is let go, whenever Back is.
//     A stick direction is pressed beyond half its travel and released below 30 %; the
//     trigger is pressed beyond 61 % and released below 37 %. So a stick at rest, or one
//     trembling between the two marks, sends nothing.
//   - A key is down while any pad input or the keyboard holds it: the program gets
//     WM_KEYDOWN when the first one presses it and WM_KEYUP when the last one lets go
//     (platform_sdl.cpp merges the keyboard's keys with these).
//   - A pad key sends one WM_KEYDOWN (previous state up) and no auto-repeat.
//   - The right stick looks around: beyond a quarter of its travel it gives a pointer step of
//     1 to 8 pixels (growing with the deflection) from the client area's centre at most every
//     16 ms; platform_sdl.cpp moves the pointer there, which gives WM_MOUSEMOVE as a mouse
//     would. Steps are only taken while the program hides the pointer (it shows it while
//     paused).
//   - A controller unplugged while it holds keys releases them (WM_KEYUP for each key no
//     other input still holds).
//
// Limits:
//   - As for the keyboard, SDL gives a pad's input only while one of the program's windows
//     has the keyboard focus; an input that returns to rest is still given.
//   - While a controller is open, an idle program wakes every 10 ms to read it, since its
//     input does not come over the display connection.
//   - Without SDL's game-controller subsystem (no joystick support) this says so once on
//     standard error and the program runs with keyboard and mouse only.
#include "platform/gamepad_sdl.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// Marks of the hysteresis, in SDL's axis units (sticks -32768..32767, triggers 0..32767).
constexpr int kStickPress = 16384, kStickRelease = 9830;
constexpr int kTriggerPress = 20000, kTriggerRelease = 12000;
constexpr int kLookDeadZone = 8192;  // the right stick looks beyond this
constexpr int kLookMaxPixels = 8;    // pointer step at full deflection
constexpr Uint64 kLookIntervalMs = 16;

// The keys a pad can hold, one bit each.
enum PadKey : unsigned {
  kUp = 1u << 0,
  kDown = 1u << 1,
  kLeft = 1u << 2,
  kRight = 1u << 3,
  kSpace = 1u << 4,
  kControl = 1u << 5,
  kPause = 1u << 6,
  kEscape = 1u << 7,
};
constexpr WPARAM kVirtualKeys[] = {VK_UP,    VK_DOWN,    VK_LEFT, VK_RIGHT,
                                   VK_SPACE, VK_CONTROL, VK_F2,   VK_ESCAPE};
constexpr int kKeyCount = sizeof kVirtualKeys / sizeof kVirtualKeys[0];

// One open controller's inputs as they bear on keys and look.
struct Pad {
  SDL_GameController* controller = nullptr;
  SDL_JoystickID id = -1;
  int stickX = 0, stickY = 0;  // -1, 0 or +1 after the hysteresis
  bool trigger = false;
  bool up = false, down = false, left = false, right = false;
  bool a = false, back = false;
  unsigned start = 0;        // the key Start holds: none, kPause, or kEscape (with Back)
  int lookX = 0, lookY = 0;  // the right stick's raw values
};

struct GamepadData {
  bool started = false;
  bool failed = false;
  std::vector<Pad> pads;
  Uint64 lastLook = 0;
  bool looked = false;
};

GamepadData gamepad;

// A stick direction after the hysteresis: pressed past kStickPress, kept past kStickRelease.
int Direction(int current, int value) {
  if (value >= kStickPress) return 1;
  if (value <= -kStickPress) return -1;
  if (current > 0 && value >= kStickRelease) return 1;
  if (current < 0 && value <= -kStickRelease) return -1;
  return 0;
}

// The trigger after its hysteresis.
bool TriggerHeld(bool current, int value) {
  return value >= kTriggerPress || (current && value >= kTriggerRelease);
}

// The keys one pad holds.
unsigned KeysOf(const Pad& p) {
  unsigned keys = 0;
  if (p.stickY < 0 || p.up) keys |= kUp;
  if (p.stickY > 0 || p.down) keys |= kDown;
  if (p.stickX < 0 || p.left) keys |= kLeft;
  if (p.stickX > 0 || p.right) keys |= kRight;
  if (p.a) keys |= kSpace;
  if (p.trigger) keys |= kControl;
  keys |= p.start;
  return keys;
}

// The keys all pads together hold.
unsigned HeldKeys() {
  unsigned keys = 0;
  for (const Pad& p : gamepad.pads) keys |= KeysOf(p);
  return keys;
}

// Tells the sink what changed between two sets of held keys: releases first, then presses.
void Report(unsigned before, unsigned after, PadKeySink sink) {
  for (int i = 0; i < kKeyCount; ++i)
    if ((before & ~after) & (1u << i)) sink(kVirtualKeys[i], false);
  for (int i = 0; i < kKeyCount; ++i)
    if ((after & ~before) & (1u << i)) sink(kVirtualKeys[i], true);
}

// The open pad with this instance id, or null.
Pad* Find(SDL_JoystickID id) {
  for (Pad& p : gamepad.pads)
    if (p.id == id) return &p;
  return nullptr;
}

// Applies one axis value to a pad.
void SetAxis(Pad& p, int axis, int value) {
  switch (axis) {
    case SDL_CONTROLLER_AXIS_LEFTX:
      p.stickX = Direction(p.stickX, value);
      break;
    case SDL_CONTROLLER_AXIS_LEFTY:  // SDL: down is positive
      p.stickY = Direction(p.stickY, value);
      break;
    case SDL_CONTROLLER_AXIS_TRIGGERRIGHT:
      p.trigger = TriggerHeld(p.trigger, value);
      break;
    case SDL_CONTROLLER_AXIS_RIGHTX:
      p.lookX = value;
      break;
    case SDL_CONTROLLER_AXIS_RIGHTY:
      p.lookY = value;
      break;
    default:
      break;
  }
}

// Applies one button's state to a pad.
void SetButton(Pad& p, int button, bool down) {
  switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
      p.up = down;
      break;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
      p.down = down;
      break;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
      p.left = down;
      break;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
      p.right = down;
      break;
    case SDL_CONTROLLER_BUTTON_A:
      p.a = down;
      break;
    case SDL_CONTROLLER_BUTTON_START:
      p.start = !down ? 0u : p.back ? unsigned{kEscape} : unsigned{kPause};
      break;
    case SDL_CONTROLLER_BUTTON_BACK:
      // Back joining a held Start turns its F2 into Esc; letting go of Back first keeps Esc.
      p.back = down;
      if (down && p.start) p.start = kEscape;
      break;
    default:
      break;
  }
}

// Opens a controller SDL has just reported, taking the state its inputs are in already.
void Open(int deviceIndex) {
  if (Find(SDL_JoystickGetDeviceInstanceID(deviceIndex)) != nullptr) return;
  SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
  if (controller == nullptr) {
    std::fprintf(stderr, "citywalk: a game controller cannot be opened: %s\n", SDL_GetError());
    return;
  }
  Pad p;
  p.controller = controller;
  p.id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
  for (int axis = 0; axis < SDL_CONTROLLER_AXIS_MAX; ++axis)
    SetAxis(p, axis,
            SDL_GameControllerGetAxis(controller, static_cast<SDL_GameControllerAxis>(axis)));
  for (int button = 0; button < SDL_CONTROLLER_BUTTON_MAX; ++button)
    SetButton(p, button,
              SDL_GameControllerGetButton(controller,
                                          static_cast<SDL_GameControllerButton>(button)) != 0);
  gamepad.pads.push_back(p);
}

// One axis's look step: 0 inside the dead zone, else 1..kLookMaxPixels with its sign.
int LookPixels(int value) {
  const int magnitude = std::min(std::abs(value), 32767);
  if (magnitude <= kLookDeadZone) return 0;
  const int pixels = (kLookMaxPixels * (magnitude - kLookDeadZone) + (32767 - kLookDeadZone) - 1) /
                     (32767 - kLookDeadZone);
  return value < 0 ? -pixels : pixels;
}

}  // namespace

bool GamepadStart() {
  if (gamepad.started) return true;
  if (gamepad.failed) return false;
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
    gamepad.failed = true;
    std::fprintf(stderr, "citywalk: no game controllers: %s\n", SDL_GetError());
    return false;
  }
  gamepad.started = true;
  return true;
}

void GamepadStop() {
  for (Pad& p : gamepad.pads) SDL_GameControllerClose(p.controller);
  gamepad.pads.clear();
  if (gamepad.started) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
  gamepad.started = false;
}

bool GamepadEvent(const SDL_Event& e, PadKeySink sink) {
  const unsigned before = HeldKeys();
  switch (e.type) {
    case SDL_CONTROLLERDEVICEADDED:
      Open(e.cdevice.which);
      break;
    case SDL_CONTROLLERDEVICEREMOVED:
      for (auto it = gamepad.pads.begin(); it != gamepad.pads.end(); ++it) {
        if (it->id != e.cdevice.which) continue;
        SDL_GameControllerClose(it->controller);
        gamepad.pads.erase(it);
        break;
      }
      break;
    case SDL_CONTROLLERAXISMOTION:
      if (Pad* p = Find(e.caxis.which)) SetAxis(*p, e.caxis.axis, e.caxis.value);
      break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
      if (Pad* p = Find(e.cbutton.which))
        SetButton(*p, e.cbutton.button, e.type == SDL_CONTROLLERBUTTONDOWN);
      break;
    default:
      return false;
  }
  Report(before, HeldKeys(), sink);
  return true;
}

bool GamepadHolds(WPARAM virtualKey) {
  const unsigned held = HeldKeys();
  for (int i = 0; i < kKeyCount; ++i)
    if (kVirtualKeys[i] == virtualKey && (held & (1u << i))) return true;
  return false;
}

bool GamepadConnected() { return !gamepad.pads.empty(); }

bool GamepadLookStep(Uint64 now, int* dx, int* dy) {
  int x = 0, y = 0;
  for (const Pad& p : gamepad.pads) {
    x += LookPixels(p.lookX);
    y += LookPixels(p.lookY);
  }
  x = std::clamp(x, -kLookMaxPixels, kLookMaxPixels);
  y = std::clamp(y, -kLookMaxPixels, kLookMaxPixels);
  if (x == 0 && y == 0) return false;
  if (gamepad.looked && now - gamepad.lastLook < kLookIntervalMs) return false;
  gamepad.looked = true;
  gamepad.lastLook = now;
  *dx = x;
  *dy = y;
  return true;
}
