// The Win32 rules both platforms share (platform/win32_rules.h), checked through the Win32
// calls themselves: this file is compiled into the headless tests and into the real-window
// tests of the SDL platform, so that each rule is seen to hold on both. Each executable
// defines FreshPlatform: the headless one starts its virtual machine over, the SDL one has
// nothing to forget (each test closes its window).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32.h"

void FreshPlatform();

namespace {

constexpr UINT kFirst = 0x0400, kSecond = 0x0401, kThread = 0x0402, kLate = 0x0403;

std::vector<UINT> handed;  // the messages the window procedure was given

// Notes every message and leaves it to the default handling.
LRESULT CALLBACK RulesProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  handed.push_back(message);
  return DefWindowProcA(window, message, wParam, lParam);
}

// Takes every message waiting (never blocks).
void Drain() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
}

// A hidden 120 x 90 window of class "RulesWindow" at the screen's corner, the pointer at the
// opposite corner so that no mouse message comes between the tests' own.
class Win32Rules : public testing::Test {
 protected:
  void SetUp() override {
    FreshPlatform();
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    WNDCLASSA wc{};
    wc.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = RulesProc;
    wc.lpszClassName = "RulesWindow";
    RegisterClassA(&wc);  // the SDL platform keeps it from the test before
    window = Open("RulesWindow");
    ASSERT_NE(window, nullptr);
    Drain();
    handed.clear();
  }
  void TearDown() override {
    if (GetDC(window) != nullptr) DestroyWindow(window);
    Drain();
  }
  static HWND Open(const char* className) {
    return CreateWindowExA(0, className, "", WS_POPUP, 0, 0, 120, 90, nullptr, nullptr, nullptr,
                           nullptr);
  }
  HWND window = nullptr;
};

TEST_F(Win32Rules, ClassNamesIgnoreCase) {
  DestroyWindow(window);
  const struct {
    const char* name;
    bool known;  // names the registered class: it makes a window and cannot be registered again
  } kNames[] = {{"RulesWindow", true},
                {"ruleswindow", true},
                {"RULESWINDOW", true},
                {"RulesWindow2", false},
                {"RulesWindo", false}};
  for (const auto& row : kNames) {
    window = Open(row.name);
    EXPECT_EQ(window != nullptr, row.known) << row.name;
    if (window != nullptr) DestroyWindow(window);
    if (!row.known) continue;
    WNDCLASSA again{};
    again.lpfnWndProc = RulesProc;
    again.lpszClassName = row.name;
    EXPECT_EQ(RegisterClassA(&again), 0) << row.name << " registered twice";
  }
}

// Posted messages in order; WM_QUIT once none is left, however early it was posted; WM_PAINT
// only when nothing else waits, only while the window is visible, and until it is validated.
TEST_F(Win32Rules, MessagesLeaveTheQueueInWin32sOrder) {
  enum class Before { kNothing, kShowAndPost, kDispatchPaint };
  const struct {
    Before before;
    bool ownWindowOnly;  // the window filter (thread messages and WM_QUIT do not pass it)
    UINT filterMin, filterMax;
    bool get;      // GetMessageA instead of PeekMessageA
    bool remove;   // PM_REMOVE
    UINT message;  // what is retrieved (0: nothing)
    WPARAM wParam;
    const char* why;
  } kSteps[] = {
      {Before::kNothing, false, 0, 0, false, false, kFirst, 1, "a look leaves the first"},
      {Before::kNothing, false, kSecond, kSecond, false, false, kSecond, 2, "a range filter"},
      {Before::kNothing, true, kThread, kThread, false, false, 0, 0, "a window filter"},
      {Before::kNothing, false, 0, 0, true, true, kFirst, 1, "in the order posted"},
      {Before::kNothing, false, 0, 0, false, true, kSecond, 2, "in the order posted"},
      {Before::kNothing, false, 0, 0, false, true, kThread, 3, "a thread message"},
      {Before::kNothing, false, 0, 0, true, true, WM_QUIT, 5, "quit after every message"},
      {Before::kNothing, false, 0, 0, false, true, 0, 0, "one quit; a hidden window no paint"},
      {Before::kShowAndPost, false, 0, 0, false, true, kLate, 4, "a message before the paint"},
      {Before::kNothing, false, 0, 0, false, true, WM_PAINT, 0, "the paint"},
      {Before::kNothing, false, 0, 0, false, true, WM_PAINT, 0, "again until validated"},
      {Before::kDispatchPaint, false, 0, 0, false, true, 0, 0, "validated"},
  };
  PostMessageA(window, kFirst, 1, 0);
  PostQuitMessage(5);
  PostMessageA(window, kSecond, 2, 0);
  PostMessageA(nullptr, kThread, 3, 0);
  MSG msg{};
  for (const auto& step : kSteps) {
    if (step.before == Before::kShowAndPost) {
      ShowWindow(window, SW_SHOWNORMAL);
      PostMessageA(window, kLate, 4, 0);
    } else if (step.before == Before::kDispatchPaint) {
      DispatchMessageA(&msg);  // the default handling validates
    }
    const HWND filter = step.ownWindowOnly ? window : nullptr;
    bool found = false;
    if (step.get) {
      const BOOL got = GetMessageA(&msg, filter, step.filterMin, step.filterMax);
      EXPECT_EQ(got == 0, step.message == WM_QUIT) << step.why;
      found = true;
    } else {
      found = PeekMessageA(&msg, filter, step.filterMin, step.filterMax,
                           step.remove ? PM_REMOVE : PM_NOREMOVE) != FALSE;
    }
    ASSERT_EQ(found, step.message != 0) << step.why;
    if (!found) continue;
    EXPECT_EQ(msg.message, step.message) << step.why;
    EXPECT_EQ(msg.wParam, step.wParam) << step.why;
    EXPECT_EQ(msg.hwnd, step.message == WM_QUIT || step.message == kThread ? nullptr : window)
        << step.why;
  }
}

// A size change of a class that redraws on every size change needs a paint; a move does not.
TEST_F(Win32Rules, SizeChangesOfARedrawClassNeedAPaint) {
  ShowWindow(window, SW_SHOWNORMAL);
  const struct {
    int width, height;
    UINT flags;
    bool paint;
  } kChanges[] = {{0, 0, SWP_NOSIZE, false},
                  {100, 90, SWP_NOMOVE, true},
                  {100, 80, SWP_NOMOVE, true},
                  {140, 100, SWP_NOMOVE, true}};
  for (const auto& row : kChanges) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);  // validated
    SetWindowPos(window, nullptr, 30, 40, row.width, row.height, row.flags | SWP_NOZORDER);
    const bool paint = PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE) != FALSE;
    EXPECT_EQ(paint, row.paint) << row.width << " x " << row.height;
  }
}

// The default handling of a close request destroys the window, which takes the messages
// still queued for it along.
TEST_F(Win32Rules, CloseDestroysTheWindowAndItsMessages) {
  PostMessageA(window, WM_CLOSE, 0, 0);
  PostMessageA(window, kFirst, 0, 0);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  ASSERT_EQ(msg.message, static_cast<UINT>(WM_CLOSE));
  DispatchMessageA(&msg);
  EXPECT_EQ(handed, (std::vector<UINT>{WM_CLOSE, WM_DESTROY}));
  EXPECT_EQ(GetDC(window), nullptr) << "the window is gone";
  EXPECT_FALSE(PostMessageA(window, kFirst, 0, 0));
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) << "its messages went with it";
}

// A key that types a character queues it to be taken next, before what already waits.
TEST_F(Win32Rules, KeysTypeTheirCharactersNext) {
  const struct {
    UINT message;
    WPARAM key;
    WPARAM character;  // 0: none
  } kKeys[] = {{WM_KEYDOWN, 'A', 'a'},        {WM_KEYDOWN, '7', '7'},
               {WM_KEYDOWN, VK_SPACE, ' '},   {WM_KEYDOWN, VK_RETURN, '\r'},
               {WM_KEYDOWN, VK_ESCAPE, 0x1B}, {WM_KEYDOWN, VK_F2, 0},
               {WM_KEYDOWN, VK_LEFT, 0},      {WM_KEYUP, 'A', 0}};
  for (const auto& row : kKeys) {
    PostMessageA(window, kFirst, 0, 0);
    MSG key{};
    key.hwnd = window;
    key.message = row.message;
    key.wParam = row.key;
    key.lParam = row.message == WM_KEYUP ? static_cast<LPARAM>(0xC0000001u) : 1;
    EXPECT_NE(TranslateMessage(&key), FALSE) << "every key message, character or not";
    MSG next;
    ASSERT_TRUE(PeekMessageA(&next, nullptr, 0, 0, PM_REMOVE));
    if (row.character != 0) {
      EXPECT_EQ(next.message, static_cast<UINT>(WM_CHAR)) << row.key;
      EXPECT_EQ(next.wParam, row.character) << row.key;
      ASSERT_TRUE(PeekMessageA(&next, nullptr, 0, 0, PM_REMOVE));
    }
    EXPECT_EQ(next.message, kFirst) << row.key;
  }
}

// ShowCursor counts; the one pixel format is described as Win32 describes its 32-bit RGBA
// formats: red in bits 16..23 of the pixel, green 8..15, blue 0..7, alpha 24..31.
TEST_F(Win32Rules, CursorCountAndTheOnePixelFormat) {
  const int start = ShowCursor(TRUE) - 1;
  const struct {
    BOOL show;
    int count;
  } kCounts[] = {
      {FALSE, start}, {FALSE, start - 1}, {FALSE, start - 2}, {TRUE, start - 1}, {TRUE, start}};
  for (const auto& row : kCounts) EXPECT_EQ(ShowCursor(row.show), row.count);

  const HDC dc = GetDC(window);
  PIXELFORMATDESCRIPTOR pfd{};
  pfd.nSize = sizeof pfd;
  EXPECT_EQ(ChoosePixelFormat(dc, &pfd), 1);
  EXPECT_EQ(DescribePixelFormat(dc, 1, 0, nullptr), 1) << "the number of formats";
  EXPECT_EQ(DescribePixelFormat(dc, 2, sizeof pfd, &pfd), 0);
  ASSERT_EQ(DescribePixelFormat(dc, 1, sizeof pfd, &pfd), 1);
  const DWORD flags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  EXPECT_EQ(pfd.dwFlags & flags, flags);
  EXPECT_EQ(pfd.iPixelType, PFD_TYPE_RGBA);
  const std::vector<int> described = {
      pfd.cColorBits, pfd.cRedBits,   pfd.cRedShift,  pfd.cGreenBits,  pfd.cGreenShift,
      pfd.cBlueBits,  pfd.cBlueShift, pfd.cAlphaBits, pfd.cAlphaShift, pfd.cDepthBits};
  EXPECT_EQ(described, (std::vector<int>{32, 8, 16, 8, 8, 8, 0, 8, 24, 16}));
}

}  // namespace
