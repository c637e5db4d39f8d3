// Scene tables and settings with their compiled-in defaults.
#include "scene/scene.h"

#include <numbers>

int staticVertexCount;
std::vector<double> staticRed, staticGreen, staticBlue;
std::vector<double> staticX, staticY, staticZ;
std::vector<double> staticTexS, staticTexT;
std::vector<int> staticPolyEnd, staticTextured, staticTexId;
std::vector<ImageRecord*> staticImage;
std::vector<std::string> staticTexName;

int plainVertexCount;
std::vector<double> plainRed, plainGreen, plainBlue;
std::vector<double> plainX, plainY, plainZ;
std::vector<int> plainPolyEnd;

int avatarVertexCount;
std::vector<double> avatarRed, avatarGreen, avatarBlue;
std::vector<double> avatarX, avatarY, avatarZ;
std::vector<double> avatarTexS, avatarTexT;
std::vector<int> avatarPartOf, avatarPolyEnd, avatarTextured, avatarTexId;
std::vector<ImageRecord*> avatarImage;
std::vector<std::string> avatarTexName;

int avatarPartLastIndex;
double avatarHeadingOffset;
PartTable avatarPartOffsetX, avatarPartOffsetY, avatarPartOffsetZ;
PartTable avatarPartSwingZ, avatarPartSwingY, avatarPartSwingX;
PartTable avatarPartTiltZ, avatarPartTiltY, avatarPartTiltX;
PartTable avatarPartRateZ, avatarPartRateY, avatarPartRateX;
PartTable avatarPartSteps;
PartTable avatarPartAngleZ, avatarPartAngleY, avatarPartAngleX;

int objectLastIndex;
int objectVertexMax;
PerObject<int> objectFlagA, objectFlagB;
PerObject<int> objectNearTest, objectCullTest;
PerObject<double> objectNearDistance, objectCullDistance;
std::vector<int> objectWaypointCount;
std::vector<int> objectVertexCount;
PerObject<double> objectX, objectY, objectZ;
PerObject<double> objectTargetX, objectTargetY, objectTargetZ;
PerObject<double> objectHeadingDeg, objectHeadingOffset;
PerObject<double> objectMaxSpeed, objectClearance;
PerObject<int> objectPartLastIndex;

PerObject<double> objectHeading, objectCurX, objectCurZ;
PerObject<double> objectMoveX, objectMoveZ, objectSpeed, objectSwerve;
PerObject<int> objectAccelForward, objectAccelReverse, objectSwervePhase;
PerObject<int> objectTurnClock, objectEvading, objectMotionState;

int waypointRowMax;
RowTable<double> waypointX, waypointZ;

RowTable<double> objVtxRed, objVtxGreen, objVtxBlue;
RowTable<double> objVtxX, objVtxY, objVtxZ, objVtxTexS, objVtxTexT;
RowTable<int> objVtxPart, objVtxPolyEnd, objVtxTextured, objVtxTexId;
RowTable<ImageRecord*> objVtxImage;
std::vector<std::array<std::string, kObjectSlots>> objVtxTexName;

ObjectPartTable objPartOffsetX, objPartOffsetY, objPartOffsetZ;
ObjectPartTable objPartSwingZ, objPartSwingY, objPartSwingX;
ObjectPartTable objPartRateZ, objPartRateY, objPartRateX;
ObjectPartTable objPartSteps;
ObjectPartTable objPartAngleZ, objPartAngleY, objPartAngleX;

int obstacleCount;
std::vector<double> obstacleX, obstacleZ;
unsigned long sceneEdition;

int displayModeIndex;
int light0Enabled, light1Enabled;
int smoothShading;
int fieldOfView;
int windowMaximized, changeDisplayMode;
double farPlane;
int drawDistance, distanceCulling;
int linearMagFilter;
double light0Level, light1Level;
double bodyX, bodyY, bodyZ;
double startTargetX, startTargetY, startTargetZ;
double startHeadingDeg;
double collisionRadius;
int ControlMode;
int walkStepDivisor, driveStepDivisor;
double modeEyeX, modeEyeY, modeEyeZ;
double modeRefX, modeRefY, modeRefZ;
int turnStyle;

double walkMaxSpeed, walkTurnStep, walkAccel, pitchLimitUp, pitchLimitDown;
double crouchDepth, jumpHeight, walkSlowdownFactor, walkDeflectLimit;
double driveMaxSpeed, driveMaxTurnRate, throttleStep, throttleBoostStep;
double steerReturnStep, handbrakeDecel, brakeDecel, coastDecel, steerStep;
double handbrakeSteerStep, handbrakeTurnFactor, bodyRollFactor, slideTurnPercent;
double driveSlowdownFactor, driveDeflectLimit, bodyPitchLimit, trembleAmplitude;

const std::array<MotionSetting, 26> kMotionSettings = {{
    {&walkMaxSpeed, "walkMaxSpeed"},
    {&walkTurnStep, "walkTurnStep"},
    {&walkAccel, "walkAccel"},
    {&pitchLimitUp, "pitchLimitUp"},
    {&pitchLimitDown, "pitchLimitDown"},
    {&crouchDepth, "crouchDepth"},
    {&jumpHeight, "jumpHeight"},
    {&walkSlowdownFactor, "walkSlowdownFactor"},
    {&walkDeflectLimit, "walkDeflectLimit"},
    {&driveMaxSpeed, "driveMaxSpeed"},
    {&driveMaxTurnRate, "driveMaxTurnRate"},
    {&throttleStep, "throttleStep"},
    {&throttleBoostStep, "throttleBoostStep"},
    {&steerReturnStep, "steerReturnStep"},
    {&handbrakeDecel, "handbrakeDecel"},
    {&brakeDecel, "brakeDecel"},
    {&coastDecel, "coastDecel"},
    {&steerStep, "steerStep"},
    {&handbrakeSteerStep, "handbrakeSteerStep"},
    {&handbrakeTurnFactor, "handbrakeTurnFactor"},
    {&bodyRollFactor, "bodyRollFactor"},
    {&slideTurnPercent, "slideTurnPercent"},
    {&driveSlowdownFactor, "driveSlowdownFactor"},
    {&driveDeflectLimit, "driveDeflectLimit"},
    {&bodyPitchLimit, "bodyPitchLimit"},
    {&trembleAmplitude, "trembleAmplitude"},
}};

double clearRed, clearGreen, clearBlue;

const std::vector<SceneSetting>& SceneSettings() {
  static const std::vector<SceneSetting> settings = [] {
    std::vector<SceneSetting> rows = {{"displayModeIndex", &displayModeIndex},
                                      {"light0Enabled", &light0Enabled},
                                      {"light1Enabled", &light1Enabled},
                                      {"smoothShading", &smoothShading},
                                      {"fieldOfView", &fieldOfView},
                                      {"windowMaximized", &windowMaximized},
                                      {"changeDisplayMode", &changeDisplayMode},
                                      {"farPlane", nullptr, &farPlane},
                                      {"drawDistance", &drawDistance},
                                      {"distanceCulling", &distanceCulling},
                                      {"linearMagFilter", &linearMagFilter},
                                      {"light0Level", nullptr, &light0Level},
                                      {"light1Level", nullptr, &light1Level},
                                      {"bodyX", nullptr, &bodyX},
                                      {"bodyY", nullptr, &bodyY},
                                      {"bodyZ", nullptr, &bodyZ},
                                      {"startTargetX", nullptr, &startTargetX},
                                      {"startTargetY", nullptr, &startTargetY},
                                      {"startTargetZ", nullptr, &startTargetZ},
                                      {"startHeadingDeg", nullptr, &startHeadingDeg},
                                      {"collisionRadius", nullptr, &collisionRadius},
                                      {"ControlMode", &ControlMode},
                                      {"walkStepDivisor", &walkStepDivisor},
                                      {"driveStepDivisor", &driveStepDivisor},
                                      {"modeEyeX", nullptr, &modeEyeX},
                                      {"modeEyeY", nullptr, &modeEyeY},
                                      {"modeEyeZ", nullptr, &modeEyeZ},
                                      {"modeRefX", nullptr, &modeRefX},
                                      {"modeRefY", nullptr, &modeRefY},
                                      {"modeRefZ", nullptr, &modeRefZ},
                                      {"turnStyle", &turnStyle}};
    for (const MotionSetting& m : kMotionSettings) rows.push_back({m.name, nullptr, m.value});
    for (const SceneSetting& c : {SceneSetting{"clearRed", nullptr, &clearRed},
                                  SceneSetting{"clearGreen", nullptr, &clearGreen},
                                  SceneSetting{"clearBlue", nullptr, &clearBlue}})
      rows.push_back(c);
    return rows;
  }();
  return settings;
}

double eyeX, eyeY, eyeZ;
double targetX, targetY, targetZ;
double heading, headingRad, smoothHeading;
double lookDistance;
double lookEyeX, lookEyeY, lookEyeZ;
double lookRefDistance, lookRefDistanceSaved;
double walkStep, walkStepTen, driveStep, driveStepTriple;
double collisionStep, jumpStep;
double acceleration;
const double degToRad = std::numbers::pi / 180.0;

namespace {

// A list column starts as a one-element placeholder block.
template <typename T>
void Placeholder(std::vector<T>& column) {
  std::vector<T>(1).swap(column);
}

template <typename Table>
void Zero(Table& table) {
  table = Table{};
}

// The static and plain lists: empty, with their placeholder rows.
void ResetStaticAndPlainLists() {
  staticVertexCount = 0;
  for (auto* c : {&staticRed, &staticGreen, &staticBlue, &staticX, &staticY, &staticZ, &staticTexS,
                  &staticTexT})
    Placeholder(*c);
  for (auto* c : {&staticPolyEnd, &staticTextured, &staticTexId}) Placeholder(*c);
  Placeholder(staticImage);
  staticPolyEnd[0] = 1;
  Placeholder(staticTexName);

  plainVertexCount = 0;
  for (auto* c : {&plainRed, &plainGreen, &plainBlue, &plainX, &plainY, &plainZ}) Placeholder(*c);
  Placeholder(plainPolyEnd);
  plainPolyEnd[0] = 1;
}

// The avatar's list and parts: empty.
void ResetAvatarTables() {
  avatarVertexCount = 0;
  for (auto* c : {&avatarRed, &avatarGreen, &avatarBlue, &avatarX, &avatarY, &avatarZ, &avatarTexS,
                  &avatarTexT})
    Placeholder(*c);
  for (auto* c : {&avatarPartOf, &avatarPolyEnd, &avatarTextured, &avatarTexId}) Placeholder(*c);
  Placeholder(avatarImage);
  avatarPolyEnd[0] = 1;
  Placeholder(avatarTexName);

  avatarPartLastIndex = -1;
  avatarHeadingOffset = 0;
  for (auto* t : {&avatarPartOffsetX, &avatarPartOffsetY, &avatarPartOffsetZ, &avatarPartSwingZ,
                  &avatarPartSwingY, &avatarPartSwingX, &avatarPartTiltZ, &avatarPartTiltY,
                  &avatarPartTiltX, &avatarPartRateZ, &avatarPartRateY, &avatarPartRateX,
                  &avatarPartSteps, &avatarPartAngleZ, &avatarPartAngleY, &avatarPartAngleX})
    Zero(*t);
}

// The objects' tables: none, with the start-up shapes of their columns.
void ResetObjectTables() {
  objectLastIndex = -1;
  objectVertexMax = 0;
  for (auto* t : {&objectFlagA, &objectFlagB, &objectNearTest, &objectCullTest,
                  &objectPartLastIndex, &objectAccelForward, &objectAccelReverse,
                  &objectSwervePhase, &objectTurnClock, &objectEvading, &objectMotionState})
    Zero(*t);
  for (auto* t :
       {&objectNearDistance, &objectCullDistance, &objectX, &objectY, &objectZ, &objectTargetX,
        &objectTargetY, &objectTargetZ, &objectHeadingDeg, &objectHeadingOffset, &objectMaxSpeed,
        &objectClearance, &objectHeading, &objectCurX, &objectCurZ, &objectMoveX, &objectMoveZ,
        &objectSpeed, &objectSwerve})
    Zero(*t);
  objectWaypointCount.assign(1, 0);
  objectVertexCount.assign(1, 0);
  // Start-up object tables: one column, one row; point tables: one column, two rows.
  for (auto* t : {&objVtxRed, &objVtxGreen, &objVtxBlue, &objVtxX, &objVtxY, &objVtxZ, &objVtxTexS,
                  &objVtxTexT})
    t->assign(1, std::vector<double>(1, 0.0));
  for (auto* t : {&objVtxPart, &objVtxPolyEnd, &objVtxTextured, &objVtxTexId})
    t->assign(1, std::vector<int>(1, 0));
  objVtxImage.assign(1, std::vector<ImageRecord*>(1, nullptr));
  objVtxTexName.assign(1, {});
  waypointRowMax = 0;
  waypointX.assign(2, std::vector<double>(1, 0.0));
  waypointZ.assign(2, std::vector<double>(1, 0.0));
  for (auto* t : {&objPartOffsetX, &objPartOffsetY, &objPartOffsetZ, &objPartSwingZ, &objPartSwingY,
                  &objPartSwingX, &objPartRateZ, &objPartRateY, &objPartRateX, &objPartSteps,
                  &objPartAngleZ, &objPartAngleY, &objPartAngleX})
    Zero(*t);
}

// The posts: none.
void ResetPosts() {
  obstacleCount = 0;
  Placeholder(obstacleX);
  Placeholder(obstacleZ);
  ++sceneEdition;
}

// Every setting at its default.
void ResetSettings() {
  displayModeIndex = defaults::displayModeIndex;
  light0Enabled = 0;
  light1Enabled = 0;
  smoothShading = 0;
  fieldOfView = 0;
  windowMaximized = 0;
  changeDisplayMode = 0;
  farPlane = 0;
  drawDistance = defaults::drawDistance;
  distanceCulling = 0;
  linearMagFilter = defaults::linearMagFilter;
  light0Level = 0;
  light1Level = 0;
  bodyX = bodyY = bodyZ = 0;
  startTargetX = startTargetY = startTargetZ = 0;
  startHeadingDeg = 0;
  collisionRadius = defaults::collisionRadius;
  ControlMode = defaults::controlMode;
  walkStepDivisor = defaults::walkStepDivisor;
  driveStepDivisor = defaults::driveStepDivisor;
  modeEyeX = modeEyeY = modeEyeZ = 0;
  modeRefX = modeRefY = modeRefZ = 0;
  turnStyle = defaults::turnStyle;

  for (std::size_t k = 0; k < kMotionSettings.size(); ++k)
    *kMotionSettings[k].value = defaults::motion[k];

  clearRed = clearGreen = clearBlue = 0;
}

// The viewer's pose and the values derived at load.
void ResetDerivedValues() {
  eyeX = eyeY = eyeZ = 0;
  targetX = targetY = targetZ = 0;
  heading = headingRad = smoothHeading = 0;
  lookDistance = 0;
  lookEyeX = lookEyeY = lookEyeZ = 0;
  lookRefDistance = lookRefDistanceSaved = 0;
  walkStep = walkStepTen = driveStep = driveStepTriple = 0;
  collisionStep = jumpStep = 0;
  acceleration = 0;
}

}  // namespace

void ResetScene() {
  ResetStaticAndPlainLists();
  ResetAvatarTables();
  ResetObjectTables();
  ResetPosts();
  ResetSettings();
  ResetDerivedValues();
}
