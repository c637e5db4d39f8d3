// Entry point, main window, OpenGL context, message loop and window procedure.
#include "app/shell.h"

#include <cstring>

#include "app/frame.h"
#include "app/input.h"
#include "app/loader.h"
#include "app/view.h"
#include "motion/point_grid.h"
#include "motion/vehicle.h"
#include "motion/viewer.h"
#include "render/avatar.h"
#include "render/colour_queue.h"
#include "render/model_bounds.h"
#include "render/objects.h"
#include "render/polylist.h"
#include "render/render_state.h"
#include "render/textures.h"
#include "scene/reader.h"
#include "scene/scene.h"

HWND windowHandle;
HDC deviceContext;
HGLRC renderContext;

namespace {

constexpr int kWindowWidth = 200;
constexpr int kWindowHeight = 150;

// Window creation: device context, pixel format, GL context, then the scene.
void CreateMainWindow(HWND window) {
  deviceContext = GetDC(window);
  SetupPixelFormat();
  renderContext = wglCreateContext(deviceContext);
  wglMakeCurrent(deviceContext, renderContext);
  LoadScene();  // ends by taking the cursor position as the mouse-look reference
}

}  // namespace

bool SetupPixelFormat() {
  PIXELFORMATDESCRIPTOR pfd{};
  pfd.nSize = sizeof(PIXELFORMATDESCRIPTOR);
  pfd.nVersion = 1;
  pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  pfd.iPixelType = PFD_TYPE_RGBA;
  pfd.cColorBits = 32;
  pfd.cDepthBits = 16;
  pfd.iLayerType = PFD_MAIN_PLANE;
  int format = ChoosePixelFormat(deviceContext, &pfd);
  if (format == 0) {
    format = 1;
    if (DescribePixelFormat(deviceContext, format, sizeof(PIXELFORMATDESCRIPTOR), &pfd) == 0)
      return false;
  }
  return SetPixelFormat(deviceContext, format, &pfd) != FALSE;
}

// The context handle keeps its old value after the delete.
void ReleaseAndQuit(HWND window) {
  if (renderContext) {
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(renderContext);
  }
  ReleaseDC(window, deviceContext);
  PostQuitMessage(0);
  RestoreDisplayMode();
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      CreateMainWindow(window);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(window, &paint);
      FrameStep();
      EndPaint(window, &paint);
      return 0;
    }
    case WM_SIZE:
      ReshapeView(LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_DESTROY:
      ReleaseAndQuit(window);
      return 0;
    case WM_LBUTTONDOWN:
      OnLeftButtonDown(wParam, lParam);
      return 0;
    case WM_LBUTTONUP:
      OnLeftButtonUp(wParam, lParam);
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(wParam, lParam);
      return 0;
    case WM_KEYDOWN:
      OnKeyDown(wParam, lParam);
      return 0;
    case WM_KEYUP:
      OnKeyUp(wParam, lParam);
      return DefWindowProcA(window, message, wParam, lParam);
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  ResetProgramState();
  WNDCLASSA wc{};
  wc.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = MainWindowProc;
  wc.cbClsExtra = 0;
  wc.cbWndExtra = 0;
  wc.hInstance = instance;
  wc.hIcon = nullptr;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszMenuName = nullptr;
  wc.lpszClassName = "Test";
  RegisterClassA(&wc);

  windowHandle = CreateWindowExA(0, "Test", "", WS_POPUP | WS_THICKFRAME, 0, 0, kWindowWidth,
                                 kWindowHeight, nullptr, nullptr, instance, nullptr);

  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  SetWindowPos(windowHandle, HWND_TOPMOST, screenWidth / 2 - kWindowWidth / 2,
               screenHeight / 2 - kWindowHeight / 2, 0, 0, SWP_NOSIZE);
  ShowCursor(FALSE);
  ShowWindow(windowHandle, showCommand);
  UpdateWindow(windowHandle);
  if (windowMaximized == 1) ShowWindow(windowHandle, SW_SHOWMAXIMIZED);

  MSG msg;
  for (;;) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      if (GetMessageA(&msg, nullptr, 0, 0) == 0) return 0;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    FrameStep();
    // Rest until input arrives or the next frame is due.
    const DWORD rest = MillisecondsToNextFrame();
    if (rest != 0) MsgWaitForMultipleObjects(0, nullptr, FALSE, rest, QS_ALLINPUT);
  }
}

void ResetProgramState() {
  windowHandle = nullptr;
  deviceContext = nullptr;
  renderContext = nullptr;
  ResetScene();
  ResetSceneReader();
  ResetViewer();
  ResetVehicle();
  ResetPointGrids();
  ResetFrameDriver();
  ResetView();
  ResetInput();
  ResetDrawing();
  ResetModelBounds();
  ResetColourQueue();
  ResetPartTransforms();
  ResetAvatar();
  ResetRenderState();
  ResetTextures();
}
