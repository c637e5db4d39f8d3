// Game controllers on the SDL platform: a pad drives and walks like the keyboard and looks
// around like the mouse, so the program sees only the key and mouse messages it knows.
//
// Supported, and how:
//   - Every controller SDL's game-controller API knows (its mapping database, or a mapping
//     added through SDL_GAMECONTROLLERCONFIG), opened when SDL reports it, at start or later,
//     and closed when it is unplugged. Several may be open; their inputs add up.
//   - Which input gives which key is the key table's (kKeys in platform/keys.h): the left
//     stick and D-pad give the arrow keys, A gives Space, the right trigger Ctrl, Start F2,
//     and Back together with Start gives Esc instead of F2 (Back alone gives nothing). A row
//     bound "with" a companion input works for any input: the companion pressed while the
//     input holds its plain key releases that key and presses the row's, which stays down
//     until the input is let go, whenever the companion is.
//     A stick direction is pressed beyond half its travel and released below 30 %; a
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

#include "platform/keys.h"

namespace {

// Marks of the hysteresis, in SDL's axis units (sticks -32768..32767, triggers 0..32767).
constexpr int kStickPress = 16384, kStickRelease = 9830;
constexpr int kTriggerPress = 20000, kTriggerRelease = 12000;
constexpr int kLookDeadZone = 8192;  // the right stick looks beyond this
constexpr int kLookMaxPixels = 8;    // pointer step at full deflection
constexpr Uint64 kLookIntervalMs = 16;

static_assert(kKeyCount <= 32, "the keys a pad holds are one bit each of an unsigned");

// SDL's buttons as our pad inputs.
constexpr struct {
  SDL_GameControllerButton button;
  PadInput input;
} kButtons[] = {{SDL_CONTROLLER_BUTTON_A, kPadA},
                {SDL_CONTROLLER_BUTTON_B, kPadB},
                {SDL_CONTROLLER_BUTTON_X, kPadX},
                {SDL_CONTROLLER_BUTTON_Y, kPadY},
                {SDL_CONTROLLER_BUTTON_BACK, kPadBack},
                {SDL_CONTROLLER_BUTTON_START, kPadStart},
                {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, kPadLeftShoulder},
                {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, kPadRightShoulder},
                {SDL_CONTROLLER_BUTTON_DPAD_UP, kPadDpadUp},
                {SDL_CONTROLLER_BUTTON_DPAD_DOWN, kPadDpadDown},
                {SDL_CONTROLLER_BUTTON_DPAD_LEFT, kPadDpadLeft},
                {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, kPadDpadRight}};

// One open controller's inputs as they bear on keys and look.
struct Pad {
  SDL_GameController* controller = nullptr;
  SDL_JoystickID id = -1;
  int stickX = 0, stickY = 0;  // -1, 0 or +1 after the hysteresis
  bool leftTrigger = false, rightTrigger = false;
  unsigned buttons = 0;      // the PadInput bits of the buttons held
  unsigned chorded = 0;      // inputs that hold their "with" row's key (kKeys' padWith)
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

// The inputs one pad holds, as PadInput bits.
unsigned InputsOf(const Pad& p) {
  unsigned inputs = p.buttons;
  if (p.stickY < 0) inputs |= kPadStickUp;
  if (p.stickY > 0) inputs |= kPadStickDown;
  if (p.stickX < 0) inputs |= kPadStickLeft;
  if (p.stickX > 0) inputs |= kPadStickRight;
  if (p.leftTrigger) inputs |= kPadLeftTrigger;
  if (p.rightTrigger) inputs |= kPadRightTrigger;
  return inputs;
}

// After a change of the pad's inputs: an input held together with the companion of its
// "with" row holds that row's key until it is let go.
void UpdateChords(Pad& p) {
  const unsigned inputs = InputsOf(p);
  p.chorded &= inputs;
  for (const Key& key : kKeys)
    if (key.padWith != 0 && (inputs & key.padWith)) p.chorded |= key.pad & inputs;
}

// The keys one pad holds, one bit per row of kKeys.
unsigned KeysOf(const Pad& p) {
  const unsigned inputs = InputsOf(p);
  unsigned keys = 0;
  for (int i = 0; i < kKeyCount; ++i) {
    const Key& key = kKeys[i];
    const unsigned chord = key.padWith != 0 ? p.chorded : ~p.chorded;
    if (key.pad & inputs & chord) keys |= 1u << i;
  }
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
    if ((before & ~after) & (1u << i)) sink(kKeys[i].code, false);
  for (int i = 0; i < kKeyCount; ++i)
    if ((after & ~before) & (1u << i)) sink(kKeys[i].code, true);
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
    case SDL_CONTROLLER_AXIS_TRIGGERLEFT:
      p.leftTrigger = TriggerHeld(p.leftTrigger, value);
      break;
    case SDL_CONTROLLER_AXIS_TRIGGERRIGHT:
      p.rightTrigger = TriggerHeld(p.rightTrigger, value);
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
  UpdateChords(p);
}

// Applies one button's state to a pad.
void SetButton(Pad& p, int button, bool down) {
  for (const auto& b : kButtons)
    if (b.button == button) p.buttons = down ? p.buttons | b.input : p.buttons & ~b.input;
  UpdateChords(p);
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

// Opens the game-controller subsystem once.
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

// Closes every pad and the subsystem.
void GamepadStop() {
  for (Pad& p : gamepad.pads) SDL_GameControllerClose(p.controller);
  gamepad.pads.clear();
  if (gamepad.started) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
  gamepad.started = false;
}

// Applies a controller event and tells the sink the keys it changed.
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

// Whether some pad input holds the key.
bool GamepadHolds(WPARAM virtualKey) {
  const unsigned held = HeldKeys();
  for (int i = 0; i < kKeyCount; ++i)
    if (kKeys[i].code == virtualKey && (held & (1u << i))) return true;
  return false;
}

// Whether a pad is open.
bool GamepadConnected() { return !gamepad.pads.empty(); }

// The right stick's pointer step, when one is due.
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
