// OpenGL state set once at load, and the display-mode switch with its saved mode.
#include "render/render_state.h"

#include <cstring>

#include "motion/camera.h"
#include "scene/scene.h"

DEVMODEA savedDisplayMode;
bool displayModeSaved;
DEVMODEA displayModeRequest;

void SetupRenderState() {
  glClearColor(GlFloat(clearRed), GlFloat(clearGreen), GlFloat(clearBlue), 0.0f);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_COLOR_MATERIAL);
  // Any other value keeps the default, smooth shading.
  if (smoothShading == 1) glShadeModel(GL_SMOOTH);
  if (smoothShading == 0) glShadeModel(GL_FLAT);

  const GLfloat ambient[4] = {0, 0, 0, 1};
  const GLfloat diffuse[4] = {0.5f, 0.5f, 0.5f, 1};
  const GLfloat specular[4] = {1, 1, 1, 1};
  const GLfloat emission[4] = {0, 0, 0, 1};
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 50.0f);
  glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, emission);

  if (light0Enabled == 1 || light1Enabled == 1) glEnable(GL_LIGHTING);
  const GLfloat noSpecular[4] = {0, 0, 0, 1};
  if (light0Enabled == 1) {
    const auto level = GlFloat(light0Level);
    const GLfloat lightDiffuse[4] = {level, level, level, 1};
    glEnable(GL_LIGHT0);
    glLightfv(GL_LIGHT0, GL_SPECULAR, noSpecular);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, lightDiffuse);
    glLightf(GL_LIGHT0, GL_CONSTANT_ATTENUATION, 0.1f);
    glLightf(GL_LIGHT0, GL_LINEAR_ATTENUATION, 0.0002f);
    glLightf(GL_LIGHT0, GL_QUADRATIC_ATTENUATION, 0.000005f);
  }
  if (light1Enabled == 1) {
    const auto level = GlFloat(light1Level);
    const GLfloat lightDiffuse[4] = {level, level, level, 1};
    glEnable(GL_LIGHT1);
    glLightfv(GL_LIGHT1, GL_SPECULAR, noSpecular);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, lightDiffuse);
    glLightf(GL_LIGHT1, GL_CONSTANT_ATTENUATION, 0.5f);
    glLightf(GL_LIGHT1, GL_LINEAR_ATTENUATION, 0.0f);
    glLightf(GL_LIGHT1, GL_QUADRATIC_ATTENUATION, 0.0f);
  }
}

void SetupPolygonModeAndClear() {
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// The mode in force before the switch is kept for the restore at exit; the switch is made
// for this run only, nothing is recorded for later.
void SwitchDisplayMode() {
  if (changeDisplayMode != 1 && windowMaximized != 1) return;
  std::memset(&savedDisplayMode, 0, sizeof savedDisplayMode);
  savedDisplayMode.dmSize = sizeof(DEVMODEA);
  displayModeSaved = EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &savedDisplayMode);
  displayModeRequest = savedDisplayMode;
  static constexpr DWORD kWidths[] = {320, 400, 512, 640, 800, 1024};
  static constexpr DWORD kHeights[] = {200, 300, 384, 480, 600, 768};
  if (displayModeIndex >= 0 && displayModeIndex <= 5) {
    displayModeRequest.dmPelsWidth = kWidths[displayModeIndex];
    displayModeRequest.dmPelsHeight = kHeights[displayModeIndex];
  }
  ChangeDisplaySettingsA(&displayModeRequest, 0);
}

// The mode switched at start is restored exactly when one was saved, whatever F3 did to
// windowMaximized since.
void RestoreDisplayMode() {
  if (displayModeSaved) ChangeDisplaySettingsA(&savedDisplayMode, 0);
}

void ResetRenderState() {
  std::memset(&savedDisplayMode, 0, sizeof savedDisplayMode);
  std::memset(&displayModeRequest, 0, sizeof displayModeRequest);
  displayModeSaved = false;
}
