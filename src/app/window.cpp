// The main window's handles, from the window's creation to the program's end.
#include "app/window.h"

#include "render/render_state.h"

HWND windowHandle;
HDC deviceContext;
HGLRC renderContext;

// Registers the program's window class and creates the main window with it.
HWND OpenMainWindow(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSA wc{};
  wc.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = procedure;
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
  return windowHandle;
}

// Gives the new window its device context, pixel format and current GL context.
void OpenRenderContext(HWND window) {
  deviceContext = GetDC(window);
  SetupPixelFormat();
  renderContext = wglCreateContext(deviceContext);
  wglMakeCurrent(deviceContext, renderContext);
}

// Asks for double-buffered RGBA with a 16-bit depth buffer; format 1 if none is offered.
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

// Lets go of the GL context and the device context, asks to quit and gives the display mode
// back. The context handle keeps its old value after the delete.
void ReleaseAndQuit(HWND window) {
  if (renderContext) {
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(renderContext);
  }
  ReleaseDC(window, deviceContext);
  PostQuitMessage(0);
  RestoreDisplayMode();
}

// No window, device context or GL context yet.
void ResetWindowHandles() {
  windowHandle = nullptr;
  deviceContext = nullptr;
  renderContext = nullptr;
}
