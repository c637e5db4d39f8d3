// Random input. Each turn, with these chances: one of the six movement keys changes (pressed
// if up, released if down) 1 in 6; the mouse moves to a random place in the window 1 in 4;
// F2 pauses 1 in 500 turns and, paused, resumes 1 in 20; F3 1 in 700; the left button goes
// down or up 1 in 150; the window is resized 1 in 1500. The generator is our own (xorshift),
// so a seed gives the same input with any standard library.
#include "random_input.h"

#include "platform/headless.h"

namespace {

constexpr WPARAM kKeys[6] = {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_SPACE, VK_CONTROL};

std::uint64_t Next(RandomInput& input) {
  std::uint64_t x = input.state;
  x ^= x << 13;
  x ^= x >> 7;
  x ^= x << 17;
  input.state = x;
  return x;
}

// True one time in n.
bool OneIn(RandomInput& input, std::uint64_t n) { return Next(input) % n == 0; }

int Below(RandomInput& input, int n) { return n > 0 ? static_cast<int>(Next(input) % n) : 0; }

}  // namespace

RandomInput StartRandomInput(std::uint64_t seed) {
  RandomInput input;
  input.state = seed * 0x9E3779B97F4A7C15ull + 0x2545F4914F6CDD1Dull;
  if (input.state == 0) input.state = 1;
  for (int k = 0; k < 4; ++k) Next(input);
  return input;
}

bool GiveRandomInput(RandomInput& input) {
  const headless::WindowState window = headless::Window();
  if (!window.exists) return false;
  bool posted = false;
  if (input.paused) {
    if (OneIn(input, 20)) {
      headless::PressKey(VK_F2);
      headless::ReleaseKey(VK_F2);
      input.paused = false;
      posted = true;
    }
  } else if (OneIn(input, 500)) {
    headless::PressKey(VK_F2);
    headless::ReleaseKey(VK_F2);
    input.paused = true;
    posted = true;
  }
  if (OneIn(input, 6)) {
    const int k = Below(input, 6);
    if (input.held[k])
      headless::ReleaseKey(kKeys[k]);
    else
      headless::PressKey(kKeys[k]);
    input.held[k] = !input.held[k];
    posted = true;
  }
  if (OneIn(input, 4)) {
    headless::MoveMouse(Below(input, window.width), Below(input, window.height));
    posted = true;
  }
  if (OneIn(input, 700)) {
    headless::PressKey(VK_F3);
    headless::ReleaseKey(VK_F3);
    posted = true;
  }
  if (OneIn(input, 150)) {
    const int x = Below(input, window.width), y = Below(input, window.height);
    if (input.button)
      headless::ReleaseLeftButton(x, y);
    else
      headless::PressLeftButton(x, y);
    input.button = !input.button;
    posted = true;
  }
  if (OneIn(input, 1500)) {
    headless::ResizeWindow(100 + Below(input, 700), 80 + Below(input, 520));
    posted = true;
  }
  return posted;
}
