// Entry point, main window, OpenGL context, message loop and window procedure.
#include "app/shell.h"

#include <cstring>

#include "app/frame.h"
#include "app/input.h"
#include "app/loader.h"
#include "app/view.h"
#include "app/window.h"
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

// Hands each message to the part of the program that answers it.
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      OpenRenderContext(window);
      LoadScene();  // ends by taking the cursor position as the mouse-look reference
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

// The program: the main window centred and topmost, then the message loop that draws a frame
// whenever no message waits.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  ResetProgramState();
  OpenMainWindow(instance, MainWindowProc);

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

// Every module's start-up state, in one order.
void ResetProgramState() {
  ResetWindowHandles();
  ResetScene();
  ResetSceneReader();
  ResetViewer();
  ResetVehicle();
  ResetPointGrids();
  ResetRunState();
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
