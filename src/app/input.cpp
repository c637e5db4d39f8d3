// Keyboard and mouse handlers. Keys only set flags and a few values that the motion code
// reads once per frame; F2, F3 and Esc act at once; the mouse turns and tilts the view in
// modes 1 and 3 and drags the window while paused.
#include "app/input.h"

#include "app/frame.h"
#include "app/view.h"
#include "app/window.h"
#include "motion/camera.h"
#include "motion/viewer.h"
#include "scene/scene.h"

int leftButtonDown;
int dragOffsetX, dragOffsetY;
POINT cursorPos;
int mouseX, mouseY, mouseLastX, mouseLastY;

namespace {

// Walking speed stops at once when neither Up nor Down is held (modes 1 and 3 only).
void ReleaseMoveKey() {
  moveKey = 0;
  if (ControlMode == kModeWalk || ControlMode == kModeFollow) forwardSpeed = 0;
}

// Side speed stops at once when neither Left nor Right is held (every mode).
void ReleaseSideKey() {
  sideKey = 0;
  sideSpeed = 0;
}

// F2: pause shows the cursor; resuming hides it and draws one frame at once.
void TogglePause() {
  if (RunState == kRunning) {
    RunState = kPaused;
    ShowCursor(TRUE);
  } else if (RunState == kPaused) {
    RunState = kRunning;
    ShowCursor(FALSE);
    FrameStep();
  }
}

// F3: maximised or normal window; the display mode stays as it is.
void ToggleMaximized() {
  if (windowMaximized == 0) {
    ShowWindow(windowHandle, SW_SHOWMAXIMIZED);
    windowMaximized = 1;
  } else if (windowMaximized == 1) {
    ShowWindow(windowHandle, SW_SHOWNORMAL);
    windowMaximized = 0;
  }
}

// Keeps lookPitch within -pitchLimitDown..pitchLimitUp.
void ClampPitch() {
  if (lookPitch > pitchLimitUp) lookPitch = pitchLimitUp;
  if (lookPitch < -pitchLimitDown) lookPitch = -pitchLimitDown;
}

// Puts the cursor back at the given client position.
void MoveCursorTo(int clientX, int clientY) {
  cursorPos.x = clientX;
  cursorPos.y = clientY;
  ClientToScreen(windowHandle, &cursorPos);
  SetCursorPos(cursorPos.x, cursorPos.y);
}

// A look message off the centre column: turn, and put the cursor back on the column.
void LookTurn(double cx) {
  MoveCursorTo(static_cast<int>(cx), cursorPos.y);
  turnRate = (mouseLastX - mouseX) / mouseYawDivisor;
  mouseLastX = static_cast<int>(cx);
}

// A look message off the centre row: tilt, and put the cursor back on the row.
void LookTilt(double cy, double divisor) {
  MoveCursorTo(cursorPos.x, static_cast<int>(cy));
  lookPitch += (mouseLastY - mouseY) / divisor;
  ClampPitch();
  mouseLastY = static_cast<int>(cy);
}

// Mode 1 after a look: new view angle, and the camera at once unless this frame's walk
// step will load it anyway.
void WalkLookFollowUp() {
  WrapHeading();
  ViewAngle();
  if (moveKey == 1 && stepBlocked == 0) return;
  if (jumpLift == 0 && crouchOffset == 0) {
    WalkCamera(crouchOffset, {0.0}, true, true);
  } else if (crouchOffset == 0) {
    WalkCamera(crouchOffset, {-jumpLift}, true, true);
  } else if (jumpLift == 0) {
    WalkCamera(crouchOffset, {crouchOffset}, true, true);
  } else {
    WalkCamera(crouchOffset, {-jumpLift, crouchOffset}, true, true);
  }
}

}  // namespace

void OnKeyDown(WPARAM wParam, LPARAM) {
  switch (wParam) {
    case VK_UP:
      keyUp = 1;
      moveKey = 1;
      break;
    case VK_DOWN:
      keyDown = 1;
      moveKey = 1;
      break;
    case VK_LEFT:
      keyLeft = 1;
      sideKey = 1;
      break;
    case VK_RIGHT:
      keyRight = 1;
      sideKey = 1;
      break;
    case VK_SPACE:
      keySpace = 1;
      break;
    case VK_CONTROL:
      keyCtrl = 1;
      acceleration = throttleBoostStep;
      break;
    case VK_ESCAPE:
      ReleaseAndQuit(windowHandle);
      break;
    case VK_F2:
      TogglePause();
      break;
    case VK_F3:
      ToggleMaximized();
      break;
    default:
      break;
  }
}

void OnKeyUp(WPARAM wParam, LPARAM) {
  switch (wParam) {
    case VK_UP:
      keyUp = 0;
      if (keyDown == 0) ReleaseMoveKey();
      break;
    case VK_DOWN:
      keyDown = 0;
      if (keyUp == 0) ReleaseMoveKey();
      break;
    case VK_LEFT:
      keyLeft = 0;
      if (keyRight == 0) ReleaseSideKey();
      break;
    case VK_RIGHT:
      keyRight = 0;
      if (keyLeft == 0) ReleaseSideKey();
      break;
    case VK_SPACE:
      keySpace = 0;
      jumpLatch = 0;
      break;
    case VK_CONTROL:
      keyCtrl = 0;
      acceleration = throttleStep;
      break;
    default:
      break;
  }
}

void OnLeftButtonDown(WPARAM, LPARAM lParam) {
  leftButtonDown = 1;
  dragOffsetX = LOWORD(lParam);
  dragOffsetY = HIWORD(lParam);
}

// While paused, releasing the button draws one frame and stays paused.
void OnLeftButtonUp(WPARAM, LPARAM) {
  leftButtonDown = 0;
  if (RunState == kPaused) RedrawNow();
}

void OnMouseMove(WPARAM, LPARAM lParam) {
  if (RunState == kPaused) {
    if (leftButtonDown == 1) DragWindow();
    return;
  }
  if (ControlMode == kModeWalk) {
    MouseLook(lParam);
    WalkLookFollowUp();
  } else if (ControlMode == kModeFollow) {
    MouseLook(lParam);
    motionKind = kFigureTurning;
  }
}

// The drag offset is in client coordinates while the window is placed by its outer corner,
// so the window shifts by its border width on the first drag.
void DragWindow() {
  GetCursorPos(&cursorPos);
  SetWindowPos(windowHandle, HWND_TOPMOST, cursorPos.x - dragOffsetX, cursorPos.y - dragOffsetY, 0,
               0, SWP_NOSIZE);
}

// One axis per message: a cursor right or left of the centre turns, one below or above it
// tilts, and the cursor is put back on the centre line of that axis; the message that this
// produces at the centre measures against the centre and normally changes nothing. A
// downward move tilts four times as fast as an upward one, and a tilt message applies the
// turnRate in force once more.
void MouseLook(LPARAM lParam) {
  const double cx = viewCentreX;
  const double cy = viewCentreY;
  mouseX = LOWORD(lParam);
  mouseY = HIWORD(lParam);
  GetCursorPos(&cursorPos);
  ScreenToClient(windowHandle, &cursorPos);
  const double x = cursorPos.x;
  const double y = cursorPos.y;

  if (x > cx) {
    LookTurn(cx);
  } else if (y > cy) {
    LookTilt(cy, mousePitchDivisorDown);
  } else if (x < cx) {
    LookTurn(cx);
  } else if (y < cy) {
    LookTilt(cy, mousePitchDivisor);
  } else {
    turnRate = (mouseLastX - mouseX) / mouseYawDivisor;
    mouseLastX = mouseX;
    lookPitch += (mouseLastY - mouseY) / mousePitchDivisor;
    ClampPitch();
    mouseLastY = mouseY;
  }
  heading += turnRate;
}

void AnchorMouseLook() {
  GetCursorPos(&cursorPos);
  SetCursorPos(cursorPos.x, cursorPos.y);
  mouseX = mouseLastX = cursorPos.x;
  mouseY = mouseLastY = cursorPos.y;
}

void ResetInput() {
  leftButtonDown = 0;
  dragOffsetX = dragOffsetY = 0;
  cursorPos = POINT{0, 0};
  mouseX = mouseY = mouseLastX = mouseLastY = 0;
}
