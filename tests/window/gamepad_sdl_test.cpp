// Game controllers through the SDL platform, driven by SDL's virtual joystick: the key and
// pointer messages the window gets from sticks, D-pad, buttons and trigger, with the keyboard
// at the same time, and when a pad is unplugged. Exits with 77 (skipped) without a display.
//
// The virtual pad reports SDL's axis values as set; a trigger's raw value -32768..32767 reads
// as 0..32767 through the controller mapping, so Trigger() sets the raw value for a reading.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32.h"
#include "window/pump.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Message {
  UINT message;
  WPARAM wParam;
  DWORD lParam;
  bool operator==(const Message&) const = default;
};

std::vector<Message> logged;  // key and mouse-move messages the window got

LRESULT CALLBACK PadWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN || message == WM_KEYUP || message == WM_MOUSEMOVE)
    logged.push_back(Message{message, wParam, static_cast<DWORD>(lParam)});
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    EndPaint(window, &paint);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// The messages since the last call.
std::vector<Message> Taken() {
  Pump(40);
  std::vector<Message> out;
  out.swap(logged);
  return out;
}

// Readable form of a message list for failure output.
std::string Show(const std::vector<Message>& messages) {
  std::string out;
  for (const Message& m : messages) {
    out += m.message == WM_KEYDOWN ? "down " : m.message == WM_KEYUP ? "up " : "move ";
    out += std::to_string(m.wParam) + "/" + std::to_string(m.lParam) + "; ";
  }
  return out.empty() ? "nothing" : out;
}

constexpr DWORD kPressed = 1, kReleased = 0xC0000001u;  // repeat count 1; bits 30 and 31
Message Down(WPARAM vk) { return Message{WM_KEYDOWN, vk, kPressed}; }
Message Up(WPARAM vk) { return Message{WM_KEYUP, vk, kReleased}; }
Message Move(int x, int y) {
  return Message{WM_MOUSEMOVE, 0, static_cast<DWORD>(MAKELPARAM(x, y))};
}

// A virtual game controller with SDL's standard buttons and axes.
class VirtualPad {
 public:
  VirtualPad() {
    index_ = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                       SDL_CONTROLLER_BUTTON_MAX, 0);
    if (index_ >= 0) joystick_ = SDL_JoystickOpen(index_);
    id_ = joystick_ ? SDL_JoystickInstanceID(joystick_) : -1;
  }
  ~VirtualPad() { Unplug(); }
  bool Ok() const { return joystick_ != nullptr; }
  void Axis(SDL_GameControllerAxis axis, int value) {
    SDL_JoystickSetVirtualAxis(joystick_, axis, static_cast<Sint16>(value));
  }
  // The right trigger reading `value` (0..32767) through the mapping.
  void Trigger(int value) { Axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 2 * value - 32768); }
  void Button(SDL_GameControllerButton button, bool down) {
    SDL_JoystickSetVirtualButton(joystick_, button, down ? 1 : 0);
  }
  void Unplug() {
    if (joystick_ == nullptr) return;
    SDL_JoystickClose(joystick_);
    joystick_ = nullptr;
    for (int i = 0; i < SDL_NumJoysticks(); ++i)
      if (SDL_JoystickGetDeviceInstanceID(i) == id_) SDL_JoystickDetachVirtual(i);
  }

 private:
  int index_ = -1;
  SDL_Joystick* joystick_ = nullptr;
  SDL_JoystickID id_ = -1;
};

// A shown 200 x 150 window at (0, 0) with the keyboard focus; pads are read only then.
class Gamepad : public testing::Test {
 protected:
  void SetUp() override {
    static bool registered = false;
    if (!registered) {
      WNDCLASSA wc{};
      wc.lpfnWndProc = PadWindowProc;
      wc.lpszClassName = "PadTest";
      ASSERT_NE(RegisterClassA(&wc), 0);
      registered = true;
    }
    window = CreateWindowExA(0, "PadTest", "", WS_POPUP, 0, 0, 200, 150, nullptr, nullptr, nullptr,
                             nullptr);
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    for (int i = 0; i < 20 && GetFocus() != window; ++i) Pump(50);
    ASSERT_EQ(GetFocus(), window);
    Taken();
  }
  void TearDown() override {
    DestroyWindow(window);
    logged.clear();
  }
  HWND window = nullptr;
};

// Each step: what the pad does, then exactly the messages the window gets for it.
struct Step {
  const char* what;
  void (*act)(VirtualPad&);
  std::vector<Message> expected;
};

void RunSteps(VirtualPad& pad, const std::vector<Step>& steps) {
  for (const Step& s : steps) {
    s.act(pad);
    const std::vector<Message> got = Taken();
    EXPECT_EQ(got, s.expected) << s.what << ": got " << Show(got);
  }
}

using A = SDL_GameControllerAxis;
using B = SDL_GameControllerButton;
constexpr A kLeftX = SDL_CONTROLLER_AXIS_LEFTX, kLeftY = SDL_CONTROLLER_AXIS_LEFTY;
constexpr A kRightX = SDL_CONTROLLER_AXIS_RIGHTX, kRightY = SDL_CONTROLLER_AXIS_RIGHTY;

TEST_F(Gamepad, LeftStickAndDpadAreTheArrowKeys) {
  VirtualPad pad;
  ASSERT_TRUE(pad.Ok()) << SDL_GetError();
  // Marks: pressed from 16384 on, released below 9830 (SDL: stick down is positive).
  RunSteps(
      pad,
      {
          {"plugged in at rest", [](VirtualPad&) {}, {}},
          {"in the dead zone", [](VirtualPad& p) { p.Axis(kLeftY, -16000); }, {}},
          {"past the press mark", [](VirtualPad& p) { p.Axis(kLeftY, -20000); }, {Down(VK_UP)}},
          {"back into the band", [](VirtualPad& p) { p.Axis(kLeftY, -10000); }, {}},
          {"out again", [](VirtualPad& p) { p.Axis(kLeftY, -32768); }, {}},
          {"below the release mark", [](VirtualPad& p) { p.Axis(kLeftY, -9000); }, {Up(VK_UP)}},
          {"trembling in the band", [](VirtualPad& p) { p.Axis(kLeftY, -15000); }, {}},
          {"at the press mark, down",
           [](VirtualPad& p) { p.Axis(kLeftY, 16384); },
           {Down(VK_DOWN)}},
          {"D-pad down as well",
           [](VirtualPad& p) { p.Button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, true); },
           {}},
          {"stick at rest, D-pad held", [](VirtualPad& p) { p.Axis(kLeftY, 0); }, {}},
          {"D-pad let go",
           [](VirtualPad& p) { p.Button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, false); },
           {Up(VK_DOWN)}},
          {"full right", [](VirtualPad& p) { p.Axis(kLeftX, 32767); }, {Down(VK_RIGHT)}},
          {"straight over to full left",
           [](VirtualPad& p) { p.Axis(kLeftX, -32768); },
           {Up(VK_RIGHT), Down(VK_LEFT)}},
          {"diagonal up-left", [](VirtualPad& p) { p.Axis(kLeftY, -25000); }, {Down(VK_UP)}},
          {"at rest",
           [](VirtualPad& p) {
             p.Axis(kLeftX, 0);
             p.Axis(kLeftY, 0);
           },
           {Up(VK_LEFT), Up(VK_UP)}},
          {"D-pad up",
           [](VirtualPad& p) { p.Button(SDL_CONTROLLER_BUTTON_DPAD_UP, true); },
           {Down(VK_UP)}},
          {"D-pad left",
           [](VirtualPad& p) { p.Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true); },
           {Down(VK_LEFT)}},
          {"D-pad right",
           [](VirtualPad& p) { p.Button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true); },
           {Down(VK_RIGHT)}},
          {"D-pad let go",
           [](VirtualPad& p) {
             p.Button(SDL_CONTROLLER_BUTTON_DPAD_UP, false);
             p.Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, false);
             p.Button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);
           },
           {Up(VK_UP), Up(VK_LEFT), Up(VK_RIGHT)}},
      });
}

TEST_F(Gamepad, ButtonsAndTriggerAreSpaceCtrlF2AndEsc) {
  VirtualPad pad;
  ASSERT_TRUE(pad.Ok()) << SDL_GetError();
  pad.Trigger(0);
  Taken();
  // Trigger marks: pressed from 20000 on, released below 12000.
  RunSteps(
      pad,
      {
          {"A", [](VirtualPad& p) { p.Button(SDL_CONTROLLER_BUTTON_A, true); }, {Down(VK_SPACE)}},
          {"A let go",
           [](VirtualPad& p) { p.Button(SDL_CONTROLLER_BUTTON_A, false); },
           {Up(VK_SPACE)}},
          {"trigger half in", [](VirtualPad& p) { p.Trigger(16384); }, {}},
          {"trigger in", [](VirtualPad& p) { p.Trigger(24000); }, {Down(VK_CONTROL)}},
          {"trigger easing off", [](VirtualPad& p) { p.Trigger(13000); }, {}},
          {"trigger out", [](VirtualPad& p) { p.Trigger(5000); }, {Up(VK_CONTROL)}},
          {"Start",
           [](VirtualPad& p) { p.Button(SDL_CONTROLLER_BUTTON_START, true); },
           {Down(VK_F2)}},
          {"Start let go",
           [](VirtualPad& p) { p.Button(SDL_CONTROLLER_BUTTON_START, false); },
           {Up(VK_F2)}},
          {"Back alone", [](VirtualPad& p) { p.Button(SDL_CONTROLLER_BUTTON_BACK, true); }, {}},
          {"Start with Back",
           [](VirtualPad& p) { p.Button(SDL_CONTROLLER_BUTTON_START, true); },
           {Down(VK_ESCAPE)}},
          {"Start let go",
           [](VirtualPad& p) { p.Button(SDL_CONTROLLER_BUTTON_START, false); },
           {Up(VK_ESCAPE)}},
          {"Back let go", [](VirtualPad& p) { p.Button(SDL_CONTROLLER_BUTTON_BACK, false); }, {}},
          {"Start, then Back",
           [](VirtualPad& p) { p.Button(SDL_CONTROLLER_BUTTON_START, true); },
           {Down(VK_F2)}},
          {"Back with Start",
           [](VirtualPad& p) { p.Button(SDL_CONTROLLER_BUTTON_BACK, true); },
           {Up(VK_F2), Down(VK_ESCAPE)}},
          {"Back let go first",
           [](VirtualPad& p) { p.Button(SDL_CONTROLLER_BUTTON_BACK, false); },
           {}},
          {"then Start",
           [](VirtualPad& p) { p.Button(SDL_CONTROLLER_BUTTON_START, false); },
           {Up(VK_ESCAPE)}},
          {"both at once",
           [](VirtualPad& p) {
             p.Button(SDL_CONTROLLER_BUTTON_START, true);
             p.Button(SDL_CONTROLLER_BUTTON_BACK, true);
           },
           {Down(VK_ESCAPE)}},
          {"both let go at once",
           [](VirtualPad& p) {
             p.Button(SDL_CONTROLLER_BUTTON_START, false);
             p.Button(SDL_CONTROLLER_BUTTON_BACK, false);
           },
           {Up(VK_ESCAPE)}},
          {"other buttons",
           [](VirtualPad& p) {
             p.Button(SDL_CONTROLLER_BUTTON_B, true);
             p.Button(SDL_CONTROLLER_BUTTON_X, true);
             p.Axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT, 32767);
           },
           {}},
      });
}

// The right stick puts the pointer a few pixels off the centre (100, 75) while the pointer
// is hidden: up to 8 pixels, ceil(8 * (|v| - 8192) / (32767 - 8192)).
TEST_F(Gamepad, RightStickLooksAsPointerMovesFromTheCentre) {
  VirtualPad pad;
  ASSERT_TRUE(pad.Ok()) << SDL_GetError();
  ShowCursor(FALSE);
  struct Case {
    int x, y;
    std::vector<Message> each;  // every message while held is this one; empty: none at all
  } cases[] = {
      {32767, 0, {Move(108, 75)}},     {-32768, 0, {Move(92, 75)}}, {0, 32767, {Move(100, 83)}},
      {0, -20000, {Move(100, 71)}},    {20000, 0, {Move(104, 75)}}, {8192, -8000, {}},
      {12000, 12000, {Move(102, 77)}},
  };
  for (const Case& c : cases) {
    pad.Axis(kRightX, c.x);
    pad.Axis(kRightY, c.y);
    Taken();  // a move of the step before may still come
    const auto start = Clock::now();
    Pump(200);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    const std::vector<Message> got = Taken();
    const std::string at = std::to_string(c.x) + "," + std::to_string(c.y) + ": " + Show(got);
    if (c.each.empty()) {
      EXPECT_TRUE(got.empty()) << at;
      continue;
    }
    ASSERT_FALSE(got.empty()) << at;
    EXPECT_LE(got.size(), static_cast<size_t>((ms + 40) / 16 + 2)) << "at most one per 16 ms";
    for (const Message& m : got) EXPECT_EQ(m, c.each[0]) << at;
  }
  // A shown pointer is the user's: the stick leaves it alone.
  ShowCursor(TRUE);
  pad.Axis(kRightX, 32767);
  Taken();
  EXPECT_EQ(Show(Taken()), "nothing");
}

// The keyboard and a pad holding the same key: down while either holds it.
TEST_F(Gamepad, KeyboardAndPadTogether) {
  if (std::system("command -v xdotool >/dev/null 2>&1") != 0) GTEST_SKIP() << "xdotool missing";
  VirtualPad pad;
  ASSERT_TRUE(pad.Ok()) << SDL_GetError();
  Taken();
  // The keyboard's own auto-repeat (bit 30 set) is left out of the comparison.
  auto firsts = [] {
    std::vector<Message> got = Taken();
    std::erase_if(got,
                  [](const Message& m) { return m.message == WM_KEYDOWN && (m.lParam >> 30); });
    return got;
  };
  ASSERT_EQ(std::system("xdotool keydown Up"), 0);
  EXPECT_EQ(firsts(), std::vector<Message>{Down(VK_UP)});
  pad.Axis(kLeftY, -32768);
  EXPECT_EQ(Show(firsts()), "nothing") << "the keyboard holds Up already";
  ASSERT_EQ(std::system("xdotool keyup Up"), 0);
  EXPECT_EQ(Show(firsts()), "nothing") << "the pad still holds Up";
  pad.Axis(kLeftY, 0);
  EXPECT_EQ(firsts(), std::vector<Message>{Up(VK_UP)});

  pad.Button(SDL_CONTROLLER_BUTTON_A, true);
  EXPECT_EQ(firsts(), std::vector<Message>{Down(VK_SPACE)});
  ASSERT_EQ(std::system("xdotool keydown space"), 0);
  EXPECT_EQ(Show(firsts()), "nothing") << "the pad holds Space already";
  pad.Button(SDL_CONTROLLER_BUTTON_A, false);
  EXPECT_EQ(Show(firsts()), "nothing") << "the keyboard still holds Space";
  ASSERT_EQ(std::system("xdotool keyup space"), 0);
  EXPECT_EQ(firsts(), std::vector<Message>{Up(VK_SPACE)});
}

// Unplugged while holding keys: each is released unless another pad still holds it; a pad
// plugged in later works.
TEST_F(Gamepad, UnpluggedPadReleasesItsKeys) {
  auto first = std::make_unique<VirtualPad>();
  VirtualPad second;
  ASSERT_TRUE(first->Ok() && second.Ok()) << SDL_GetError();
  // Plugged in with the triggers at their middle reading (raw 0), between the marks: no key.
  // (SDL 2.26 itself puts an unplugged controller's inputs back to rest before it reports
  // the removal; the platform releases what a removed pad held in any case.)
  Taken();
  first->Axis(kLeftY, -32768);
  first->Axis(kLeftX, 32767);
  first->Button(SDL_CONTROLLER_BUTTON_A, true);
  first->Trigger(32767);
  first->Button(SDL_CONTROLLER_BUTTON_START, true);
  second.Button(SDL_CONTROLLER_BUTTON_DPAD_UP, true);
  std::vector<Message> got = Taken();
  std::vector<Message> want = {Down(VK_UP), Down(VK_RIGHT), Down(VK_SPACE), Down(VK_CONTROL),
                               Down(VK_F2)};
  auto byKey = [](std::vector<Message> v) {
    std::sort(v.begin(), v.end(), [](const Message& a, const Message& b) {
      return a.message != b.message ? a.message < b.message : a.wParam < b.wParam;
    });
    return v;
  };
  EXPECT_EQ(byKey(got), byKey(want)) << Show(got);

  first->Unplug();
  got = Taken();
  want = {Up(VK_RIGHT), Up(VK_SPACE), Up(VK_CONTROL), Up(VK_F2)};  // Up: the second pad has it
  EXPECT_EQ(byKey(got), byKey(want)) << Show(got);

  second.Button(SDL_CONTROLLER_BUTTON_DPAD_UP, false);
  EXPECT_EQ(Taken(), std::vector<Message>{Up(VK_UP)});
  second.Unplug();
  EXPECT_EQ(Show(Taken()), "nothing");

  VirtualPad later;
  ASSERT_TRUE(later.Ok()) << SDL_GetError();
  EXPECT_EQ(Show(Taken()), "nothing") << "plugged in at rest";
  later.Axis(kLeftX, -32768);
  EXPECT_EQ(Taken(), std::vector<Message>{Down(VK_LEFT)});
  later.Unplug();
  EXPECT_EQ(Taken(), std::vector<Message>{Up(VK_LEFT)});
}

// A program at rest (paused: waiting without a time limit) wakes for a pad's input.
TEST_F(Gamepad, RestingProgramWakesForThePad) {
  VirtualPad pad;
  ASSERT_TRUE(pad.Ok()) << SDL_GetError();
  Taken();
  std::thread press([&pad] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    pad.Button(SDL_CONTROLLER_BUTTON_START, true);
  });
  const DWORD woke = MsgWaitForMultipleObjects(0, nullptr, FALSE, 5000, QS_ALLINPUT);
  press.join();
  EXPECT_EQ(woke, static_cast<DWORD>(WAIT_OBJECT_0));
  EXPECT_EQ(Taken(), std::vector<Message>{Down(VK_F2)});
  pad.Button(SDL_CONTROLLER_BUTTON_START, false);
  EXPECT_EQ(Taken(), std::vector<Message>{Up(VK_F2)});
}

}  // namespace

int main(int argc, char** argv) { return RunWindowTests(argc, argv); }
