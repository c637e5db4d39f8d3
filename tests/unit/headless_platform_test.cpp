// The headless platform on its own: a test window procedure records what it receives, so
// these tests check the Win32 behaviour the program relies on, without the program.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/headless.h"
#include "platform/win32.h"

namespace {

struct Received {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  bool contextCurrent;  // a GL context was current when it arrived
};
std::vector<Received> received;
bool createMakesContext = true;
bool returnedFromCreate = false;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  received.push_back({message, wParam, lParam, glGetString(GL_VERSION) != nullptr});
  if (message == WM_CREATE) {
    EXPECT_FALSE(returnedFromCreate);
    if (createMakesContext) {
      HDC dc = GetDC(window);
      PIXELFORMATDESCRIPTOR pfd{};
      EXPECT_EQ(ChoosePixelFormat(dc, &pfd), 1);
      EXPECT_TRUE(SetPixelFormat(dc, 1, &pfd));
      EXPECT_TRUE(wglMakeCurrent(dc, wglCreateContext(dc)));
    }
  }
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    EndPaint(window, &paint);
    return 0;
  }
  if (message == WM_CLOSE) return DefWindowProcA(window, message, wParam, lParam);
  return 0;
}

HWND OpenWindow(const headless::Options& options = {}) {
  headless::Reset(options);
  received.clear();
  returnedFromCreate = false;
  WNDCLASSA wc{};
  wc.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = RecordingProc;
  wc.lpszClassName = "Recorder";
  RegisterClassA(&wc);
  HWND window = CreateWindowExA(0, "Recorder", "", WS_POPUP, 412, 309, 200, 150, nullptr, nullptr,
                                nullptr, nullptr);
  returnedFromCreate = true;
  return window;
}

std::vector<UINT> Messages() {
  std::vector<UINT> list;
  for (const auto& r : received) list.push_back(r.message);
  return list;
}

// Reads the colour of one pixel of the current surface.
std::vector<int> PixelAt(int x, int y) {
  unsigned char rgba[4] = {};
  glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  return {rgba[0], rgba[1], rgba[2], rgba[3]};
}

}  // namespace

// The shared Win32 rules (common/win32_rules_test.cpp) start each test on a fresh machine.
void FreshPlatform() { headless::Reset(); }

TEST(HeadlessPlatform, CreationSendsCreateThenSizeWithTheContextCurrent) {
  HWND window = OpenWindow();
  ASSERT_NE(window, nullptr);
  ASSERT_EQ(Messages(), (std::vector<UINT>{WM_CREATE, WM_SIZE}));
  EXPECT_FALSE(received[0].contextCurrent);  // made current inside WM_CREATE
  EXPECT_TRUE(received[1].contextCurrent);   // so the size handler can set the view up
  EXPECT_EQ(LOWORD(received[1].lParam), 200);
  EXPECT_EQ(HIWORD(received[1].lParam), 150);
  const auto state = headless::Window();
  EXPECT_FALSE(state.visible);
  EXPECT_EQ(state.x, 412);
  EXPECT_EQ(state.y, 309);
  EXPECT_EQ(GetFocus(), window);
  // The surface has the client size: the far corner is drawable, one beyond it is not.
  glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  EXPECT_EQ(PixelAt(199, 149), (std::vector<int>{255, 0, 0, 255}));
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 200);
  EXPECT_EQ(viewport[3], 150);
  // A class that was never registered gives no window.
  EXPECT_EQ(CreateWindowExA(0, "Nobody", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr),
            nullptr);
}

// The queue's order is one of the shared rules (common/win32_rules_test.cpp); here what the
// control interface tells of it.
TEST(HeadlessPlatform, UpdatePaintsAtOnceAndTheQueueIsCounted) {
  HWND window = OpenWindow();
  received.clear();
  EXPECT_FALSE(ShowWindow(window, SW_SHOWNORMAL));  // was hidden
  EXPECT_TRUE(UpdateWindow(window));                // paints synchronously, once
  EXPECT_EQ(Messages(), (std::vector<UINT>{WM_PAINT}));
  EXPECT_TRUE(UpdateWindow(window));
  EXPECT_EQ(received.size(), 1u);

  PostMessageA(window, WM_KEYDOWN, VK_UP, 1);
  PostQuitMessage(7);
  PostMessageA(window, WM_KEYUP, VK_UP, 0);
  EXPECT_EQ(headless::PendingMessages(), 2u);  // WM_QUIT not counted
  EXPECT_TRUE(headless::QuitPosted());
}

TEST(HeadlessPlatform, MaximiseRestoreAndMoveResizeTheSurface) {
  HWND window = OpenWindow();
  received.clear();
  ShowWindow(window, SW_SHOWMAXIMIZED);
  ShowWindow(window, SW_SHOWMAXIMIZED);  // already maximised: no second WM_SIZE
  ASSERT_EQ(Messages(), (std::vector<UINT>{WM_SIZE}));
  EXPECT_EQ(received[0].wParam, 2u);  // SIZE_MAXIMIZED
  EXPECT_EQ(received[0].lParam, MAKELPARAM(1024, 768));
  auto state = headless::Window();
  EXPECT_TRUE(state.maximized);
  EXPECT_EQ(state.x, 0);
  EXPECT_EQ(state.width, 1024);
  glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  EXPECT_EQ(PixelAt(1023, 767), (std::vector<int>{0, 0, 255, 255}));

  ShowWindow(window, SW_SHOWNORMAL);
  state = headless::Window();
  EXPECT_FALSE(state.maximized);
  EXPECT_EQ(received.back().lParam, MAKELPARAM(200, 150));
  EXPECT_EQ(state.x, 412);
  EXPECT_EQ(state.y, 309);

  received.clear();
  SetWindowPos(window, HWND_TOPMOST, 10, 20, 0, 0, SWP_NOSIZE);  // move only: no WM_SIZE
  EXPECT_TRUE(received.empty());
  EXPECT_TRUE(headless::Window().topmost);
  SetWindowPos(window, nullptr, 0, 0, 64, 48, SWP_NOMOVE | SWP_NOZORDER);
  ASSERT_EQ(Messages(), (std::vector<UINT>{WM_SIZE}));
  EXPECT_EQ(received[0].lParam, MAKELPARAM(64, 48));
  EXPECT_TRUE(received[0].contextCurrent);
  state = headless::Window();
  EXPECT_EQ(state.x, 10);
  EXPECT_EQ(state.y, 20);
  EXPECT_TRUE(state.topmost);
}

TEST(HeadlessPlatform, CursorMovesPostMouseMovesInClientCoordinates) {
  headless::Options options;
  options.cursorX = 5;
  options.cursorY = 6;
  HWND window = OpenWindow(options);
  POINT p;
  GetCursorPos(&p);
  EXPECT_EQ(p.x, 5);
  EXPECT_EQ(p.y, 6);
  EXPECT_EQ(ShowCursor(FALSE), -1);  // the counter starts at 0
  EXPECT_EQ(headless::CursorDisplayCount(), -1);

  SetCursorPos(512, 384);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_MOUSEMOVE));
  EXPECT_EQ(msg.lParam, MAKELPARAM(100, 75));  // window at (412, 309)
  // Left of the window the client x is negative: its low word carries it as 16 bits.
  SetCursorPos(400, 309);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(static_cast<short>(LOWORD(msg.lParam)), -12);
  // The cursor stays on the screen.
  SetCursorPos(5000, -3);
  GetCursorPos(&p);
  EXPECT_EQ(p.x, 1023);
  EXPECT_EQ(p.y, 0);
  p = {7, 8};
  ClientToScreen(window, &p);
  EXPECT_EQ(p.x, 419);
  EXPECT_EQ(p.y, 317);
  ScreenToClient(window, &p);
  EXPECT_EQ(p.x, 7);
  EXPECT_EQ(p.y, 8);

  // Input controls: a button press elsewhere moves the cursor there first.
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
  headless::PressLeftButton(30, 40);
  ASSERT_EQ(headless::PendingMessages(), 2u);
  GetMessageA(&msg, nullptr, 0, 0);
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_MOUSEMOVE));
  GetMessageA(&msg, nullptr, 0, 0);
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_LBUTTONDOWN));
  EXPECT_EQ(msg.lParam, MAKELPARAM(30, 40));
  EXPECT_EQ(msg.wParam, 1u);  // MK_LBUTTON
}

// What a close does is one of the shared rules; here the platform's own close command and
// the record of default handling.
TEST(HeadlessPlatform, CloseCommandAndDefWindowProcRecordsCalls) {
  OpenWindow();
  received.clear();
  headless::CloseWindow();
  MSG msg;
  ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
  DispatchMessageA(&msg);  // WM_CLOSE -> DefWindowProcA -> DestroyWindow -> WM_DESTROY
  EXPECT_EQ(Messages(), (std::vector<UINT>{WM_CLOSE, WM_DESTROY}));
  ASSERT_EQ(headless::DefWindowProcCalls().size(), 1u);
  EXPECT_EQ(headless::DefWindowProcCalls()[0].message, static_cast<UINT>(WM_CLOSE));
  EXPECT_FALSE(headless::Window().exists);
  EXPECT_EQ(GetFocus(), nullptr);
}

TEST(HeadlessPlatform, WithoutAContextGlCallsDoNothing) {
  HWND window = OpenWindow();
  HDC dc = GetDC(window);
  ASSERT_TRUE(headless::ContextCurrent());
  ASSERT_NE(glGetString(GL_VERSION), nullptr);
  // Mip levels are built through GLU on the OSMesa context: a 4 x 2 image gets levels
  // down to 1 x 1, and level 1 of a uniform image keeps its colour.
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  const unsigned char image[4 * 2 * 3] = {10, 20, 30, 10, 20, 30, 10, 20, 30, 10, 20, 30,
                                          10, 20, 30, 10, 20, 30, 10, 20, 30, 10, 20, 30};
  EXPECT_EQ(gluBuild2DMipmaps(GL_TEXTURE_2D, 3, 4, 2, GL_RGB, GL_UNSIGNED_BYTE, image), 0);
  GLint width = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 2, GL_TEXTURE_WIDTH, &width);
  EXPECT_EQ(width, 1);
  unsigned char level1[2 * 1 * 3] = {};
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 1, GL_RGB, GL_UNSIGNED_BYTE, level1);
  EXPECT_EQ(level1[3], 10);
  EXPECT_EQ(level1[4], 20);
  EXPECT_EQ(level1[5], 30);

  HGLRC context = wglCreateContext(dc);
  ASSERT_NE(context, nullptr);
  EXPECT_TRUE(wglMakeCurrent(dc, context));
  EXPECT_TRUE(wglMakeCurrent(nullptr, nullptr));
  EXPECT_FALSE(headless::ContextCurrent());
  EXPECT_EQ(glGetString(GL_VERSION), nullptr);
  glClear(GL_COLOR_BUFFER_BIT);  // no context: nothing happens, nothing crashes
  glBegin(GL_TRIANGLES);
  glVertex3f(0, 0, 0);
  glEnd();
  gluLookAt(0, 0, 0, 1, 0, 0, 0, -1, 0);
  EXPECT_FALSE(SwapBuffers(dc));  // nothing to present
  EXPECT_EQ(headless::SwapCount(), 0);
  EXPECT_EQ(headless::LiveContexts(), 2);
  EXPECT_TRUE(wglDeleteContext(context));
  EXPECT_FALSE(wglDeleteContext(context));
  EXPECT_EQ(headless::LiveContexts(), 1);
}

TEST(HeadlessPlatform, DisplayModesMessageBoxesAndTheClock) {
  OpenWindow();
  DEVMODEA mode{};
  ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode));
  EXPECT_EQ(mode.dmPelsWidth, 1024u);
  EXPECT_EQ(mode.dmPelsHeight, 768u);
  EXPECT_EQ(mode.dmBitsPerPel, 32u);
  EXPECT_EQ(mode.dmDisplayFrequency, 60u);
  DEVMODEA request = mode;
  request.dmPelsWidth = 640;
  request.dmPelsHeight = 480;
  EXPECT_EQ(ChangeDisplaySettingsA(&request, 0), DISP_CHANGE_SUCCESSFUL);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 480);
  DEVMODEA zero{};  // an all-zero record is refused and changes nothing
  EXPECT_EQ(ChangeDisplaySettingsA(&zero, 0), DISP_CHANGE_BADMODE);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
  DEVMODEA noSize = mode;  // a record that names no size is refused too
  noSize.dmFields = DM_BITSPERPEL;
  EXPECT_EQ(ChangeDisplaySettingsA(&noSize, 0), DISP_CHANGE_BADMODE);
  EXPECT_EQ(ChangeDisplaySettingsA(&mode, 0), DISP_CHANGE_SUCCESSFUL);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  ASSERT_EQ(headless::DisplayChanges().size(), 4u);
  EXPECT_EQ(headless::DisplayChanges()[0].mode.dmPelsWidth, 640u);

  testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBoxA(headless::WindowHandle(), "cannot read a.bmp", "Error", MB_OK), IDOK);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: cannot read a.bmp\n");
  ASSERT_EQ(headless::MessageBoxes().size(), 1u);
  EXPECT_EQ(headless::MessageBoxes()[0].owner, headless::WindowHandle());
  EXPECT_EQ(headless::MessageBoxes()[0].text, "cannot read a.bmp");

  EXPECT_EQ(GetTickCount(), 1000u);
  headless::SetTick(0xFFFFFFF0u);
  headless::AdvanceTick(0x20);
  EXPECT_EQ(GetTickCount(), 0x10u);

  // Reset forgets the window, the records and the clock.
  headless::Reset();
  EXPECT_EQ(headless::WindowHandle(), nullptr);
  EXPECT_TRUE(headless::MessageBoxes().empty());
  EXPECT_EQ(headless::LiveContexts(), 0);
  EXPECT_EQ(GetTickCount(), 1000u);
}

TEST(HeadlessPlatform, SwapBuffersReadsTheFrameBackBottomRowFirst) {
  headless::Options options;
  options.captureFrames = true;
  HWND window = OpenWindow(options);
  int hooked = 0;
  headless::SetHooks({nullptr, [&]() { ++hooked; }});
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glEnable(GL_SCISSOR_TEST);  // one green pixel at GL's origin, the bottom-left corner
  glScissor(0, 0, 1, 1);
  glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glDisable(GL_SCISSOR_TEST);
  glPixelStorei(GL_PACK_ALIGNMENT, 8);  // the program's pack state is left as it was
  EXPECT_TRUE(SwapBuffers(GetDC(window)));
  EXPECT_EQ(hooked, 1);
  EXPECT_EQ(headless::SwapCount(), 1);
  GLint alignment = 0;
  glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
  EXPECT_EQ(alignment, 8);
  const headless::Frame& frame = headless::LastFrame();
  ASSERT_EQ(frame.width, 200);
  ASSERT_EQ(frame.height, 150);
  ASSERT_EQ(frame.rgba.size(), 200u * 150u * 4u);
  EXPECT_EQ(frame.rgba[1], 255);  // first pixel stored: bottom-left, green
  EXPECT_EQ(frame.rgba[0], 0);
  const size_t topLeft = 149u * 200u * 4u;
  EXPECT_EQ(frame.rgba[topLeft + 1], 0);

  // After a resize the next frame has the new size.
  SetWindowPos(window, nullptr, 0, 0, 64, 32, SWP_NOMOVE | SWP_NOZORDER);
  SwapBuffers(GetDC(window));
  EXPECT_EQ(headless::LastFrame().width, 64);
  EXPECT_EQ(headless::LastFrame().height, 32);
  EXPECT_EQ(hooked, 2);
}

namespace {

// The process's resident memory in kB (0 where /proc is missing).
long ResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmRSS:") {
      long kb = 0;
      status >> kb;
      return kb;
    }
    status.ignore(1 << 12, '\n');
  }
  return 0;
}

}  // namespace

TEST(HeadlessPlatform, ManyResizesReadBackTheClientAreaWithoutGrowingMemory) {
  headless::Options options;
  options.captureFrames = true;
  HWND window = OpenWindow(options);
  // Sizes up and down, 300 of them, each one new to GL: binding GL to every new size would
  // keep about a megabyte each.
  auto sizeOf = [](int k) { return std::pair{100 + (k * 137) % 700, 80 + (k * 89) % 520}; };
  long before = 0;
  for (int k = 0; k < 300; ++k) {
    const auto [width, height] = sizeOf(k);
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    glViewport(0, 0, width, height);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);  // the client area's top-right pixel red
    glScissor(width - 1, height - 1, 1, 1);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    ASSERT_TRUE(SwapBuffers(GetDC(window)));
    const headless::Frame& frame = headless::LastFrame();
    ASSERT_EQ(frame.width, width);
    ASSERT_EQ(frame.height, height);
    const size_t last = (static_cast<size_t>(width) * height - 1) * 4;
    ASSERT_EQ(frame.rgba[last], 255) << width << "x" << height;
    ASSERT_EQ(frame.rgba[last - 4 + 2], 255) << width << "x" << height;  // blue beside it
    if (k == 20) before = ResidentKb();
  }
  // Under the address sanitizer every freed block waits in its quarantine (256 MB) and stays
  // resident, so the process grows whether anything leaks or not: there only the pictures
  // are checked.
#if defined(__SANITIZE_ADDRESS__)
  (void)before;
#else
  EXPECT_LT(ResidentKb() - before, 64 * 1024) << "kB more after 280 resizes";
#endif
}
