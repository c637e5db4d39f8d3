// Projection and the viewer's camera rules. Every camera is a look-at on an identity
// modelview matrix with the up vector (0, -1, 0): the scene's y axis points down.
#include "motion/camera.h"

#include <cmath>
#include <limits>

#include "motion/viewer.h"
#include "platform/win32.h"
#include "scene/scene.h"

float GlFloat(double value) {
  constexpr double kLargest = std::numeric_limits<float>::max();
  if (value > kLargest) return std::numeric_limits<float>::infinity();
  if (value < -kLargest) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

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
  const double h =
      (ControlMode == kModeFollow || ControlMode == kModeChase) ? smoothHeading : heading;
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
    const GLfloat position[4] = {GlFloat(eyeX), GlFloat(eyeY + 150), GlFloat(eyeZ + 200), 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, position);
  }
  if (light1Enabled == 1) {
    const GLfloat position[4] = {GlFloat(eyeX), GlFloat(eyeY), GlFloat(eyeZ + 5000), 1.0f};
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
    const auto px = GlFloat(bodyX + travelX);
    const auto py = GlFloat(bodyY + lift);
    const auto pz = GlFloat(bodyZ + travelZ);
    glTranslatef(px, py, pz);
    glRotatef(GlFloat(std::sin(headingRad) * lookPitch), 1, 0, 0);
    glRotatef(GlFloat(std::cos(headingRad) * lookPitch), 0, 0, 1);
    glTranslatef(-px, -py, -pz);
  }
  if (lights) ViewerLights();
}
