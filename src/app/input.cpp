// Keyboard and mouse handlers.
#include "app/input.h"

int keyUp, keyDown, keyLeft, keyRight, keySpace, keyCtrl;
int moveKey, sideKey;
int leftButtonDown;
int dragOffsetX, dragOffsetY;
POINT cursorPos;
int mouseX, mouseY, mouseLastX, mouseLastY;

void OnKeyDown(WPARAM, LPARAM) {}
void OnKeyUp(WPARAM, LPARAM) {}
void OnLeftButtonDown(WPARAM, LPARAM) {}
void OnLeftButtonUp(WPARAM, LPARAM) {}
void OnMouseMove(WPARAM, LPARAM) {}
void DragWindow() {}
void MouseLook(LPARAM) {}
void AnchorMouseLook() {}
void ResetInput() {
  keyUp = keyDown = keyLeft = keyRight = keySpace = keyCtrl = 0;
  moveKey = sideKey = 0;
  leftButtonDown = 0;
  dragOffsetX = dragOffsetY = 0;
  cursorPos = POINT{0, 0};
  mouseX = mouseY = mouseLastX = mouseLastY = 0;
}
