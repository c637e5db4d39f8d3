// The demos' viewer set-up, shared by the demo generator and the map tool.
#include "demo_viewer.h"

#include <cmath>
#include <numbers>

#include "models.h"

namespace {

constexpr double kLookAhead = 100;

// The chase camera's boom: the camera hangs back behind the body and stands height above the
// ground; the scene gives it as the eye point (modeEye) and a reference point (modeRef) that
// far apart.
void Boom(SceneSettingsSpec& s, double back, double height) {
  const double a = s.startHeadingDeg * std::numbers::pi / 180;
  s.modeEyeX = s.bodyX + back * std::sin(a);
  s.modeEyeY = -height;
  s.modeEyeZ = s.bodyZ + back * std::cos(a);
  s.modeRefX = s.bodyX;
  s.modeRefY = s.bodyY;
  s.modeRefZ = s.bodyZ;
}

}  // namespace

void StartAt(SceneSettingsSpec& s, double x, double z, double eye, double headingDeg) {
  const double a = headingDeg * std::numbers::pi / 180;
  s.bodyX = x;
  s.bodyY = -eye;
  s.bodyZ = z;
  s.startTargetX = x + kLookAhead * -std::sin(a);
  s.startTargetY = -eye;
  s.startTargetZ = z + kLookAhead * -std::cos(a);
  s.startHeadingDeg = headingDeg;
}

void DemoSettings(SceneSettingsSpec& s) {
  s.fieldOfView = 60;
  s.motion[0] = 4.0;  // walkMaxSpeed
  s.motion[1] = 3.0;  // walkTurnStep
  s.motion[2] = 0.5;  // walkAccel, also the moving objects' acceleration
  s.clearRed = 0.55;
  s.clearGreen = 0.72;
  s.clearBlue = 0.92;
}

void PlaceViewer(SceneSpec& scene, int mode, double x, double z, double headingDeg) {
  SceneSettingsSpec& s = scene.settings;
  s.ControlMode = mode;
  if (mode == kModeWalk) {  // walking in the first person; Left and Right turn
    s.turnStyle = 2;
    StartAt(s, x, z, kDemoEyeHeight, headingDeg);
  } else if (mode == kModeDrive) {  // the driver's seat; what the driver sees of the car
    StartAt(s, x, z, 9, headingDeg);
    scene.avatarList = DriversView({0.15, 0.35, 0.75});
  } else if (mode == kModeFollow) {
    // A walking figure watched from behind. Left and Right step sideways; the mouse turns the
    // figure. Posts keep it 4 x collisionRadius away: a small radius leaves it the streets.
    s.turnStyle = 1;
    s.collisionRadius = 3;
    s.walkStepDivisor = 8;             // boom steps of 4 / 8: the camera eases out by 5 a frame
    StartAt(s, x, z, 10, headingDeg);  // the body point at chest height
    Boom(s, 50, 28);
    const SceneObjectSpec figure = Lifted(WalkingFigure({0.8, 0.25, 0.2}), 10);
    scene.avatarList = figure.vertices;
    scene.avatarParts = figure.parts;
  } else if (mode == kModeChase) {  // the car of the driving mode, watched from behind
    StartAt(s, x, z, 5, headingDeg);
    Boom(s, 45, 20);
    SceneObjectSpec car = Lifted(Car({0.15, 0.35, 0.75}), 5);
    for (ScenePartSpec& wheel : car.parts)  // the avatar's parts move by what the figure does,
      for (ScenePartRowSpec& row : wheel) row.swingX = 0;  // which a car never changes
    scene.avatarList = car.vertices;
    scene.avatarParts = car.parts;
  }
}
