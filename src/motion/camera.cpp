// Projection and the viewer's camera rules. Every camera is a look-at on an identity
// modelview matrix with the up vector (0, -1, 0): the scene's y axis points down.
#include "motion/camera.h"

#include <cmath>

#include "motion/viewer.h"
#include "platform/win32.h"
#include "scene/scene.h"

void LoadLookAt(double ex, double ey, double ez, double tx, double ty, double tz) {
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(ex, ey, ez, tx, ty, tz, 0, -1, 0);
}

void WrapHeading() {
  if (heading > 360) heading -= 360;
  if (heading < -360) heading += 360;
}

// Modes 3 and 4 show the smoothed heading; the others the heading itself.
void ViewAngle() {
  const double h = (ControlMode == kModeFollow || ControlMode == kModeChase) ? smoothHeading : heading;
  headingRad = -(h - 90) * degToRad;
}

void LookTarget() {
  targetX = eyeX + std::cos(headingRad) * lookDistance;
  targetZ = eyeZ - std::sin(headingRad) * lookDistance;
}

// The lights are placed right after a camera load, so they stay fixed in the scene. Their
// height never includes the crouch or jump offsets.
void ViewerLights() {
  if (light0Enabled == 1) {
    const GLfloat position[4] = {static_cast<GLfloat>(eyeX), static_cast<GLfloat>(eyeY + 150),
                                 static_cast<GLfloat>(eyeZ + 200), 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, position);
  }
  if (light1Enabled == 1) {
    const GLfloat position[4] = {static_cast<GLfloat>(eyeX), static_cast<GLfloat>(eyeY),
                                 static_cast<GLfloat>(eyeZ + 5000), 1.0f};
    glLightfv(GL_LIGHT1, GL_POSITION, position);
  }
}

// The pitch tilt turns the world about the horizontal axis across the view direction,
// around the viewer's position on the ground path, split between x and z by the heading.
void WalkCamera(double eyeLift, std::initializer_list<double> pivotLifts, bool newTarget,
                bool lights) {
  if (newTarget) LookTarget();
  LoadLookAt(eyeX, eyeY + eyeLift, eyeZ, targetX, targetY + eyeLift, targetZ);
  for (const double lift : pivotLifts) {
    const auto px = static_cast<GLfloat>(bodyX + travelX);
    const auto py = static_cast<GLfloat>(bodyY + lift);
    const auto pz = static_cast<GLfloat>(bodyZ + travelZ);
    glTranslatef(px, py, pz);
    glRotatef(static_cast<GLfloat>(std::sin(headingRad) * lookPitch), 1, 0, 0);
    glRotatef(static_cast<GLfloat>(std::cos(headingRad) * lookPitch), 0, 0, 1);
    glTranslatef(-px, -py, -pz);
  }
  if (lights) ViewerLights();
}
