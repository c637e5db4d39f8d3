// A resize: the projection is set only here; every later camera load changes the modelview
// matrix alone, and the modelview matrix stays the current matrix.
#include "app/view.h"

#include "app/frame.h"
#include "motion/camera.h"
#include "platform/win32.h"
#include "scene/scene.h"

double viewCentreX, viewCentreY;

// A height of 0 still sets viewCentreY to 0 but takes an aspect of width / 1. The chase
// modes see their stored chase camera; the others the start camera without crouch, jump or
// pitch.
void ReshapeView(int width, int height) {
  viewCentreX = width / 2;
  viewCentreY = height / 2;
  if (height == 0) height = 1;
  glViewport(0, 0, width, height);
  const GLfloat aspect = static_cast<GLfloat>(width) / static_cast<GLfloat>(height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(fieldOfView, aspect, 1.0, farPlane);
  if (ControlMode == kModeFollow || ControlMode == kModeChase) {
    LoadLookAt(lookEyeX, lookEyeY, lookEyeZ, targetX, targetY, targetZ);
  } else {
    LookTarget();
    LoadLookAt(eyeX, eyeY, eyeZ, targetX, targetY, targetZ);
    ViewerLights();
  }
  RedrawNow();
}

void ResetView() { viewCentreX = viewCentreY = 0; }
