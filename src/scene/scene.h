// The one scene of the run: polygon lists, avatar, moving objects, obstacle points and every
// setting, as process-wide tables. The loader fills them once at window creation; motion and
// drawing read them every frame.
//
// Polygon lists are stored column-wise. Colour, position, closing flag, texture coordinates
// and part tag are indexed by vertex number 1..count; textured flag, texture name, texture id
// and image are indexed by vertex - 1. Element 0 of every closing-flag column is 1, so vertex 1
// always begins a polygon.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

struct ImageRecord;

// Fixed capacities of the data model.
inline constexpr int kStaticNameSlots = 100001;
inline constexpr int kAvatarNameSlots = 6501;
inline constexpr int kObjectSlots = 50;
inline constexpr int kPartSlots = 20;
inline constexpr int kNoPart = -10;  // the part tag of a vertex that no part carries
inline constexpr int kMotionStates = 7;
inline constexpr int kObjectVertexRows = 2001;

// Part tables: [part][motion state].
using PartTable = std::array<std::array<double, kMotionStates>, kPartSlots>;
// Object part tables: [part][motion state][object].
using ObjectPartTable =
    std::array<std::array<std::array<double, kObjectSlots>, kMotionStates>, kPartSlots>;
template <typename T>
using PerObject = std::array<T, kObjectSlots>;
// Object vertex and waypoint tables: [row][object], rows created by the loader.
template <typename T>
using RowTable = std::vector<std::vector<T>>;

// ---- Static list --------------------------------------------------------------------------
extern int staticVertexCount;
extern std::vector<double> staticRed, staticGreen, staticBlue;
extern std::vector<double> staticX, staticY, staticZ;
extern std::vector<double> staticTexS, staticTexT;
extern std::vector<int> staticPolyEnd, staticTextured, staticTexId;
extern std::vector<ImageRecord*> staticImage;
extern std::vector<std::string> staticTexName;  // as the columns (at most kStaticNameSlots)

// ---- Plain list ---------------------------------------------------------------------------
extern int plainVertexCount;
extern std::vector<double> plainRed, plainGreen, plainBlue;
extern std::vector<double> plainX, plainY, plainZ;
extern std::vector<int> plainPolyEnd;

// ---- Avatar list and parts ----------------------------------------------------------------
extern int avatarVertexCount;
extern std::vector<double> avatarRed, avatarGreen, avatarBlue;
extern std::vector<double> avatarX, avatarY, avatarZ;
extern std::vector<double> avatarTexS, avatarTexT;
extern std::vector<int> avatarPartOf, avatarPolyEnd, avatarTextured, avatarTexId;
extern std::vector<ImageRecord*> avatarImage;
extern std::vector<std::string> avatarTexName;  // as the columns (at most kAvatarNameSlots)

extern int avatarPartLastIndex;
extern double avatarHeadingOffset;
extern PartTable avatarPartOffsetX, avatarPartOffsetY, avatarPartOffsetZ;
extern PartTable avatarPartSwingZ, avatarPartSwingY, avatarPartSwingX;
extern PartTable avatarPartTiltZ, avatarPartTiltY, avatarPartTiltX;
extern PartTable avatarPartRateZ, avatarPartRateY, avatarPartRateX;
// Each row's step count as the file gives it; only the rates above move the parts.
extern PartTable avatarPartSteps;
extern PartTable avatarPartAngleZ, avatarPartAngleY, avatarPartAngleX;

// ---- Moving objects -----------------------------------------------------------------------
extern int objectLastIndex;
extern int objectVertexMax;
extern PerObject<int> objectFlagA, objectFlagB;
extern PerObject<int> objectNearTest, objectCullTest;
extern PerObject<double> objectNearDistance, objectCullDistance;
extern std::vector<int> objectWaypointCount;  // one per object column
extern std::vector<int> objectVertexCount;    // one per object column
extern PerObject<double> objectX, objectY, objectZ;
extern PerObject<double> objectTargetX, objectTargetY, objectTargetZ;
extern PerObject<double> objectHeadingDeg, objectHeadingOffset;
extern PerObject<double> objectMaxSpeed, objectClearance;
extern PerObject<int> objectPartLastIndex;

// Derived at load, and the objects' run-time state.
extern PerObject<double> objectHeading, objectCurX, objectCurZ;
extern PerObject<double> objectMoveX, objectMoveZ, objectSpeed, objectSwerve;
extern PerObject<int> objectAccelForward, objectAccelReverse, objectSwervePhase;
extern PerObject<int> objectTurnClock, objectEvading, objectMotionState;

// Object points to avoid: [point 0..waypointRowMax][object].
extern int waypointRowMax;
extern RowTable<double> waypointX, waypointZ;

// Object polygon lists: [vertex 0..objectVertexMax][object] (texture columns: [vertex - 1]).
extern RowTable<double> objVtxRed, objVtxGreen, objVtxBlue;
extern RowTable<double> objVtxX, objVtxY, objVtxZ, objVtxTexS, objVtxTexT;
extern RowTable<int> objVtxPart, objVtxPolyEnd, objVtxTextured, objVtxTexId;
extern RowTable<ImageRecord*> objVtxImage;
// Texture names: a row of kObjectSlots names per vertex row (at most kObjectVertexRows),
// [vertex - 1][object].
extern std::vector<std::array<std::string, kObjectSlots>> objVtxTexName;

// Object parts: [part][motion state][object].
extern ObjectPartTable objPartOffsetX, objPartOffsetY, objPartOffsetZ;
extern ObjectPartTable objPartSwingZ, objPartSwingY, objPartSwingX;
extern ObjectPartTable objPartRateZ, objPartRateY, objPartRateX;
extern ObjectPartTable objPartSteps;  // each row's step count as the file gives it
extern ObjectPartTable objPartAngleZ, objPartAngleY, objPartAngleX;

// ---- Obstacle points ----------------------------------------------------------------------
extern int obstacleCount;
extern std::vector<double> obstacleX, obstacleZ;  // used 1..obstacleCount
// Counts the times the tables were made anew (ResetScene, and so every scene read). An index
// that a layer above builds over them (the motion code's post grid) is rebuilt when it
// changes; code that moves a post in place, keeping the count, must not rely on one.
extern unsigned long sceneEdition;

// ---- Settings, in file order --------------------------------------------------------------
extern int displayModeIndex;
extern int light0Enabled, light1Enabled;
extern int smoothShading;
extern int fieldOfView;
extern int windowMaximized, changeDisplayMode;
extern double farPlane;
extern int drawDistance, distanceCulling;
extern int linearMagFilter;
extern double light0Level, light1Level;
extern double bodyX, bodyY, bodyZ;
extern double startTargetX, startTargetY, startTargetZ;
extern double startHeadingDeg;
extern double collisionRadius;
extern int ControlMode;  // kModeWalk .. kModeChase below; any other value moves nothing
extern int walkStepDivisor, driveStepDivisor;
extern double modeEyeX, modeEyeY, modeEyeZ;
extern double modeRefX, modeRefY, modeRefZ;
extern int turnStyle;

// Models (objects, parts, the avatar) placed farther than this from the origin on any axis are
// not drawn: undoing a larger translation in float would shift everything drawn after it.
inline constexpr double kMaxTranslation = 1e6;

// The chase camera's boom search extends the boom at most this often in a frame.
inline constexpr int kMaxBoomExtensions = 10000;

// The control modes (ControlMode; stored as the file's int).
inline constexpr int kModeWalk = 1;    // first-person walking
inline constexpr int kModeDrive = 2;   // driving from the driver's seat
inline constexpr int kModeFollow = 3;  // a walking figure watched by the chase camera
inline constexpr int kModeChase = 4;   // the car of mode 2 watched by the chase camera

// The 26 motion settings, in file order. Four change their unit once the file is read (the
// loader converts them in place, and every reader after it sees the converted value):
//   walkDeflectLimit, driveDeflectLimit: degrees in the file, radians after loading;
//   slideTurnPercent: percent in the file, 100 / that value after loading;
//   trembleAmplitude: in mode 2 only, the file's value / 2.4 after loading (and its sign
//   flips at run time while the car stands).
extern double walkMaxSpeed, walkTurnStep, walkAccel, pitchLimitUp, pitchLimitDown;
extern double crouchDepth, jumpHeight, walkSlowdownFactor, walkDeflectLimit;
extern double driveMaxSpeed, driveMaxTurnRate, throttleStep, throttleBoostStep;
extern double steerReturnStep, handbrakeDecel, brakeDecel, coastDecel, steerStep;
extern double handbrakeSteerStep, handbrakeTurnFactor, bodyRollFactor, slideTurnPercent;
extern double driveSlowdownFactor, driveDeflectLimit, bodyPitchLimit, trembleAmplitude;

// The 26 motion settings in file order with their names, as the reader reads them.
struct MotionSetting {
  double* value;
  const char* name;
};
extern const std::array<MotionSetting, 26> kMotionSettings;

// The compiled-in defaults of the settings that do not start at 0 (ResetScene sets them; the
// tools' scene writer starts from them too).
namespace defaults {
inline constexpr int displayModeIndex = 1;
inline constexpr int drawDistance = 1000;
inline constexpr int linearMagFilter = 1;
inline constexpr double collisionRadius = 8.0;
inline constexpr int controlMode = kModeDrive;
inline constexpr int walkStepDivisor = 20;
inline constexpr int driveStepDivisor = 10;
inline constexpr int turnStyle = 1;
// The motion settings, in the order of kMotionSettings.
inline constexpr std::array<double, 26> motion = {2.0, 5.0, 1.0,  70.0, 70.0, 6.0,  20.0, 3.0,  1.2,
                                                  5.0, 7.0, 0.07, 0.3,  0.4,  0.4,  0.7,  0.01, 0.2,
                                                  0.5, 1.5, 0.8,  50.0, 2.0,  60.0, 4.0,  0.17};
}  // namespace defaults

extern double clearRed, clearGreen, clearBlue;

// A setting of the scene file by the name the documents and the tools use (citywalk-check
// --json, citywalk-set), and the table value the reader reads it into: an int or a double.
struct SceneSetting {
  const char* name;
  int* intValue = nullptr;
  double* doubleValue = nullptr;
};
// Every setting in file order: items 2 to 6 of the file (their motion settings those of
// kMotionSettings), then the background colour of item 10, the last kBackgroundSettings.
const std::vector<SceneSetting>& SceneSettings();
inline constexpr std::size_t kBackgroundSettings = 3;

// ---- Values derived by the loader ---------------------------------------------------------
extern double eyeX, eyeY, eyeZ;
extern double targetX, targetY, targetZ;
extern double heading, headingRad, smoothHeading;
extern double lookDistance;
extern double lookEyeX, lookEyeY, lookEyeZ;
extern double lookRefDistance, lookRefDistanceSaved;
extern double walkStep, walkStepTen, driveStep, driveStepTriple;
extern double collisionStep, jumpStep;
extern double acceleration;
extern const double degToRad;  // pi / 180

// Resets every table and setting to its start-up state: compiled-in defaults, one-element
// placeholder columns, no objects. The program's own state at start is exactly this
// (ResetProgramState runs it before anything else; until then the tables are empty).
void ResetScene();
