// Reading the scene file into the tables, item by item in file order, and deriving the view
// and motion values.
//
// The data model has fixed capacities, and a count beyond them is refused: the stream fails
// at that count as at a malformed field (the count reads 0, its table is not made, the rest
// of the file is not read) and the reason is reported. Refused are more than 100,001 static
// or 6,501 avatar vertices, more than 50 objects (last index above 49), more than 20 parts
// (last index above 19), objectVertexMax above 2,000, objects when objectVertexMax is below 1,
// an object with more vertices than objectVertexMax, and any count whose tables would take
// more than sceneTableByteLimit (plain vertices, obstacle points, object points).
//
// Standard input is never read for table size hints: a program started from a terminal would
// wait for typed input, and the hints change nothing. The object tables start with one column
// and one row and the point tables with two rows.
//
// Texture names are kept whole, however long.
//
// Objects exist only with their tables: when objectLastIndex is 0 or more but the object
// tables were not made for it (a refused or malformed field, or the file ended first), no
// table holds those objects and objectLastIndex becomes -1.
#include "scene/reader.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>

#include "scene/reader_lists.h"
#include "scene/reader_stream.h"
#include "scene/scene.h"
#include "scene/scene_fields.h"

std::size_t sceneTableByteLimit = std::size_t{1} << 30;

namespace {

SceneStream& s = sceneStream;

// The step count of a part row passes through this one working value; a failed read leaves
// it as it was.
double partStepCount;
// Where the step divisors stand in the file, for the checker's note on the chase camera.
const char* stepDivisorsAt;

template <typename T>
void Fresh(std::vector<T>& column, int size) {
  std::vector<T>(static_cast<std::size_t>(size)).swap(column);
}

template <typename T>
void FreshRows(RowTable<T>& table, int rows, int columns) {
  RowTable<T>(static_cast<std::size_t>(rows), std::vector<T>(static_cast<std::size_t>(columns)))
      .swap(table);
}

// Whether elements blocks of elementBytes each exceed the table limit.
bool TooLarge(long long elements, long long elementBytes) {
  return static_cast<unsigned long long>(elements) * static_cast<unsigned long long>(elementBytes) >
         sceneTableByteLimit;
}

// Each row of a row table is a block of its own, with the bookkeeping of a block.
constexpr long long kRowOverhead = sizeof(std::vector<double>) + 16;

void MakeStaticColumns(int count) {
  for (auto* c : {&staticRed, &staticGreen, &staticBlue, &staticX, &staticY, &staticZ, &staticTexS,
                  &staticTexT})
    Fresh(*c, count + 10);
  for (auto* c : {&staticPolyEnd, &staticTextured, &staticTexId}) Fresh(*c, count + 10);
  Fresh(staticImage, count + 10);
  Fresh(staticTexName, count + 10);
  staticPolyEnd[0] = 1;
}

void MakePlainColumns(int count) {
  for (auto* c : {&plainRed, &plainGreen, &plainBlue, &plainX, &plainY, &plainZ})
    Fresh(*c, count + 10);
  Fresh(plainPolyEnd, count + 10);
  plainPolyEnd[0] = 1;
}

void MakeAvatarColumns(int count) {
  for (auto* c : {&avatarRed, &avatarGreen, &avatarBlue, &avatarX, &avatarY, &avatarZ, &avatarTexS,
                  &avatarTexT})
    Fresh(*c, count + 1);
  for (auto* c : {&avatarPartOf, &avatarPolyEnd, &avatarTextured, &avatarTexId})
    Fresh(*c, count + 1);
  Fresh(avatarImage, count + 1);
  Fresh(avatarTexName, count + 1);
  avatarPolyEnd[0] = 1;
}

void MakeObjectTables(int columns, int rows) {
  Fresh(objectVertexCount, columns);
  for (auto* t : {&objVtxRed, &objVtxGreen, &objVtxBlue, &objVtxX, &objVtxY, &objVtxZ, &objVtxTexS,
                  &objVtxTexT})
    FreshRows(*t, rows, columns);
  for (auto* t : {&objVtxPart, &objVtxPolyEnd, &objVtxTextured, &objVtxTexId})
    FreshRows(*t, rows, columns);
  FreshRows(objVtxImage, rows, columns);
  Fresh(objVtxTexName, rows);
}

// Item 1, making each list's columns as soon as its count is known.
void ReadCounts() {
  s.place = ScenePlace::kCounts;
  StreamInt(staticVertexCount, "staticVertexCount");
  if (!s.failed && staticVertexCount > kStaticNameSlots)
    RefuseCount(staticVertexCount, "staticVertexCount", "more than 100001 static vertices");
  if (staticVertexCount >= 1) MakeStaticColumns(staticVertexCount);

  StreamInt(plainVertexCount, "plainVertexCount");
  if (!s.failed && plainVertexCount >= 1 &&
      TooLarge(plainVertexCount + 10LL, 6 * sizeof(double) + sizeof(int)))
    RefuseCount(plainVertexCount, "plainVertexCount", "plain vertex tables larger than the limit");
  if (plainVertexCount >= 1) MakePlainColumns(plainVertexCount);

  StreamInt(avatarVertexCount, "avatarVertexCount");
  if (!s.failed && avatarVertexCount > kAvatarNameSlots)
    RefuseCount(avatarVertexCount, "avatarVertexCount", "more than 6501 avatar vertices");
  if (avatarVertexCount >= 1) MakeAvatarColumns(avatarVertexCount);

  StreamInt(objectLastIndex, "objectLastIndex");
  if (!s.failed && objectLastIndex > kObjectSlots - 1)
    RefuseCount(objectLastIndex, "objectLastIndex", "more than 50 objects (last index above 49)");
  StreamInt(objectVertexMax, "objectVertexMax");
  if (!s.failed && objectVertexMax > kObjectVertexRows - 1)
    RefuseCount(objectVertexMax, "objectVertexMax", "more than 2000 vertices per object");
  if (!s.failed && objectLastIndex >= 0 && objectVertexMax < 1)
    RefuseCount(objectVertexMax, "objectVertexMax", "objects need an objectVertexMax of 1 or more");
  if (objectLastIndex >= 0 && objectVertexMax >= 1 && !s.failed) {
    MakeObjectTables(objectLastIndex + 1, objectVertexMax + 1);
  } else if (objectLastIndex >= 0) {
    objectLastIndex = -1;  // no tables hold these objects
  }
}

// Items 2 to 6: every setting before the background colour, in the table's order.
void ReadSettings() {
  s.place = ScenePlace::kSettings;
  const std::vector<SceneSetting>& settings = SceneSettings();
  for (std::size_t k = 0; k + kBackgroundSettings < settings.size(); ++k) {
    const SceneSetting& setting = settings[k];
    if (setting.intValue != nullptr) {
      StreamInt(*setting.intValue, setting.name);
    } else {
      StreamDouble(*setting.doubleValue, setting.name);
    }
    if (setting.intValue == &driveStepDivisor) stepDivisorsAt = s.fieldStart;
  }
}

// Item 7, then the per-object point counts' block.
void ReadObstacles() {
  StreamInt(obstacleCount, "obstacleCount");
  if (!s.failed && obstacleCount >= 1 && TooLarge(obstacleCount + 1LL, 2 * sizeof(double)))
    RefuseCount(obstacleCount, "obstacleCount", "obstacle point tables larger than the limit");
  if (obstacleCount >= 1) {
    Fresh(obstacleX, obstacleCount + 1);
    Fresh(obstacleZ, obstacleCount + 1);
  }
  s.place = ScenePlace::kObstacles;
  for (int k = 1; k <= obstacleCount && !s.failed; ++k) {
    s.index = k;
    StreamDouble(obstacleX[k], "obstacleX");
    StreamDouble(obstacleZ[k], "obstacleZ");
  }
  if (objectLastIndex >= 0) Fresh(objectWaypointCount, objectLastIndex + 1);
}

// Items 8 and 9: the objects' flags and their own points to avoid.
void ReadObjectFlagsAndPoints() {
  const int columns = objectLastIndex + 1;
  waypointRowMax = 0;
  s.place = ScenePlace::kObjectFlags;
  for (int o = 0; o <= objectLastIndex; ++o) {
    s.object = o;
    StreamInt(objectFlagA[o], "objectFlagA");
    StreamInt(objectFlagB[o], "objectFlagB");
    StreamInt(objectNearTest[o], "objectNearTest");
    StreamDouble(objectNearDistance[o], "objectNearDistance");
    StreamInt(objectCullTest[o], "objectCullTest");
    StreamDouble(objectCullDistance[o], "objectCullDistance");
    StreamInt(objectWaypointCount[o], "objectWaypointCount");
    if (!s.failed && objectWaypointCount[o] > waypointRowMax &&
        TooLarge(2 * (objectWaypointCount[o] + 1LL), kRowOverhead + columns * 8LL))
      RefuseCount(objectWaypointCount[o], "objectWaypointCount",
                  "object point tables larger than the limit");
    if (objectWaypointCount[o] > waypointRowMax) waypointRowMax = objectWaypointCount[o];
  }
  if (objectLastIndex >= 0 && waypointRowMax >= 1) {
    FreshRows(waypointX, waypointRowMax + 1, columns);
    FreshRows(waypointZ, waypointRowMax + 1, columns);
  }
  s.place = ScenePlace::kWaypoints;
  for (int o = 0; o <= objectLastIndex && !s.failed; ++o) {
    s.object = o;
    for (int k = 1; k <= objectWaypointCount[o] && !s.failed; ++k) {
      s.index = k;
      StreamDouble(waypointX[k][o], "waypointX");
      StreamDouble(waypointZ[k][o], "waypointZ");
    }
  }
}

// A number as messages show it: its shortest exact form.
std::string NumberText(double value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

// Reads one part row's step count, keeps it as given, and sets the row's rates from its
// swings. A rate that is not a finite number (a step count of 0) keeps that axis's angle where
// it is when drawn.
void ReadStepCount(double& steps, double& rateZ, double& rateY, double& rateX, double swingZ,
                   double swingY, double swingX) {
  StreamDouble(partStepCount, "step count");
  steps = partStepCount;
  rateZ = swingZ / partStepCount;
  rateY = swingY / partStepCount;
  rateX = swingX / partStepCount;
  if (s.diag && !s.failed &&
      !(std::isfinite(rateZ) && std::isfinite(rateY) && std::isfinite(rateX))) {
    NoteAt(s.fieldStart, SceneSeverity::kWarning,
           FieldText("step count") + ": swing / " + NumberText(partStepCount) +
               " is not a finite rate: that axis of the part does not swing");
  }
}

// Items 10 and 11: background colour, then the avatar's heading offset and parts.
void ReadClearColourAndAvatarParts() {
  s.place = ScenePlace::kSettings;
  const std::vector<SceneSetting>& settings = SceneSettings();
  for (std::size_t k = settings.size() - kBackgroundSettings; k < settings.size(); ++k)
    StreamDouble(*settings[k].doubleValue, settings[k].name);
  if (avatarVertexCount == 0) return;
  StreamDouble(avatarHeadingOffset, "avatarHeadingOffset");
  StreamInt(avatarPartLastIndex, "avatarPartLastIndex");
  if (!s.failed && avatarPartLastIndex > kPartSlots - 1)
    RefuseCount(avatarPartLastIndex, "avatarPartLastIndex",
                "more than 20 avatar parts (last index above 19)");
  s.place = ScenePlace::kAvatarParts;
  for (int p = 0; p <= avatarPartLastIndex; ++p) {
    for (int m = 0; m < kMotionStates; ++m) {
      s.index = p;
      s.state = m;
      StreamDouble(avatarPartOffsetX[p][m], "avatarPartOffsetX");
      StreamDouble(avatarPartOffsetY[p][m], "avatarPartOffsetY");
      StreamDouble(avatarPartOffsetZ[p][m], "avatarPartOffsetZ");
      StreamDouble(avatarPartSwingZ[p][m], "avatarPartSwingZ");
      StreamDouble(avatarPartSwingY[p][m], "avatarPartSwingY");
      StreamDouble(avatarPartSwingX[p][m], "avatarPartSwingX");
      StreamDouble(avatarPartTiltZ[p][m], "avatarPartTiltZ");
      StreamDouble(avatarPartTiltY[p][m], "avatarPartTiltY");
      StreamDouble(avatarPartTiltX[p][m], "avatarPartTiltX");
      ReadStepCount(avatarPartSteps[p][m], avatarPartRateZ[p][m], avatarPartRateY[p][m],
                    avatarPartRateX[p][m], avatarPartSwingZ[p][m], avatarPartSwingY[p][m],
                    avatarPartSwingX[p][m]);
    }
  }
}

// The start of an object's turn cycle, from its x position: the whole part of |x| (a value
// beyond the int range counts as the largest int, one that is not a number as 0), divided
// while it exceeds 430 by half the object's divisor number (index, except objects 0..3 use
// 10, 5, 13, 7). The result lies in 0..430.
int TurnClockStart(double x, int object) {
  const double whole = std::trunc(std::fabs(x));
  int v = 0;
  if (whole >= static_cast<double>(INT_MAX)) {
    v = INT_MAX;
  } else if (whole > 0) {
    v = static_cast<int>(whole);
  }
  static constexpr int kFirstDivisors[] = {10, 5, 13, 7};
  const int k = object < 4 ? kFirstDivisors[object] : object;
  while (v > 430) v /= k / 2;
  return v;
}

// Item 13: each object's vertex count, position, target and heading; derives its start state.
void ReadObjectHeaders() {
  s.place = ScenePlace::kObjectHeaders;
  for (int o = 0; o <= objectLastIndex; ++o) {
    s.object = o;
    StreamInt(objectVertexCount[o], "objectVertexCount");
    if (!s.failed && objectVertexCount[o] > objectVertexMax)
      RefuseCount(objectVertexCount[o], "objectVertexCount",
                  "more vertices than objectVertexMax (" + std::to_string(objectVertexMax) + ")");
    StreamDouble(objectX[o], "objectX");
    StreamDouble(objectY[o], "objectY");
    StreamDouble(objectZ[o], "objectZ");
    StreamDouble(objectTargetX[o], "objectTargetX");
    StreamDouble(objectTargetY[o], "objectTargetY");
    StreamDouble(objectTargetZ[o], "objectTargetZ");
    StreamDouble(objectHeadingDeg[o], "objectHeadingDeg");
    StreamDouble(objectHeadingOffset[o], "objectHeadingOffset");
    if (s.diag && !s.failed &&
        !(std::fabs(objectX[o]) <= kMaxTranslation && std::fabs(objectY[o]) <= kMaxTranslation &&
          std::fabs(objectZ[o]) <= kMaxTranslation))
      NoteAt(s.fieldStart, SceneSeverity::kWarning,
             "object " + std::to_string(o) + " stands farther than " + NumberText(kMaxTranslation) +
                 " from the origin: it is not drawn there");
    objVtxPolyEnd[0][o] = 1;
    objectHeading[o] = -objectHeadingDeg[o];
    objectCurX[o] = objectX[o];
    objectCurZ[o] = objectZ[o];
    objectSwervePhase[o] = 1;
    objectAccelForward[o] = 1;
    objectAccelReverse[o] = 0;
    objectTurnClock[o] = TurnClockStart(objectX[o], o);
  }
}

// Whether (x, z) lies strictly inside the square of half-size half around (px, pz), as an
// object's blocking test has it.
bool InsideSquare(double x, double z, double px, double pz, double half) {
  return x - px < half && px - x < half && z - pz < half && pz - z < half;
}

// Notes an object that starts inside the blocking square (half side twice its clearance) of
// one of its own points (when it avoids them) or of a post (when it avoids posts): its first
// step is refused, and it may stay stuck where it stands.
void NoteObjectStartingBlocked(int o) {
  const double half = 2 * objectClearance[o];
  const double x = objectX[o], z = objectZ[o];
  std::string what;
  if (objectFlagB[o] == 1) {
    const int rows = static_cast<int>(std::min(waypointX.size(), waypointZ.size()));
    for (int k = 1; k <= objectWaypointCount[o] && k < rows && what.empty(); ++k) {
      if (static_cast<std::size_t>(o) >= waypointX[k].size()) break;
      if (InsideSquare(x, z, waypointX[k][o], waypointZ[k][o], half))
        what = "its own point " + std::to_string(k);
    }
  }
  if (what.empty() && objectFlagA[o] == 1) {
    const int rows = static_cast<int>(std::min(obstacleX.size(), obstacleZ.size()));
    for (int k = 1; k <= obstacleCount && k < rows && what.empty(); ++k)
      if (InsideSquare(x, z, obstacleX[k], obstacleZ[k], half)) what = "post " + std::to_string(k);
  }
  if (!what.empty())
    NoteAt(s.fieldStart, SceneSeverity::kWarning,
           "object " + std::to_string(o) + " starts within twice its clearance (" +
               NumberText(objectClearance[o]) + ") of " + what +
               ": it cannot take its first step and may stay stuck there");
}

// Item 15: each object's top speed, clearance and parts.
void ReadObjectParts() {
  for (int o = 0; o <= objectLastIndex; ++o) {
    s.place = ScenePlace::kObjectParts;
    s.object = o;
    s.index = -1;
    StreamDouble(objectMaxSpeed[o], "objectMaxSpeed");
    StreamDouble(objectClearance[o], "objectClearance");
    if (s.diag && !s.failed) NoteObjectStartingBlocked(o);
    StreamInt(objectPartLastIndex[o], "objectPartLastIndex");
    if (!s.failed && objectPartLastIndex[o] > kPartSlots - 1)
      RefuseCount(objectPartLastIndex[o], "objectPartLastIndex",
                  "more than 20 parts (last index above 19)");
    for (int p = 0; p <= objectPartLastIndex[o]; ++p) {
      for (int m = 0; m < kMotionStates; ++m) {
        s.index = p;
        s.state = m;
        StreamDouble(objPartOffsetX[p][m][o], "objPartOffsetX");
        StreamDouble(objPartOffsetY[p][m][o], "objPartOffsetY");
        StreamDouble(objPartOffsetZ[p][m][o], "objPartOffsetZ");
        StreamDouble(objPartSwingZ[p][m][o], "objPartSwingZ");
        StreamDouble(objPartSwingY[p][m][o], "objPartSwingY");
        StreamDouble(objPartSwingX[p][m][o], "objPartSwingX");
        ReadStepCount(objPartSteps[p][m][o], objPartRateZ[p][m][o], objPartRateY[p][m][o],
                      objPartRateX[p][m][o], objPartSwingZ[p][m][o], objPartSwingY[p][m][o],
                      objPartSwingX[p][m][o]);
      }
    }
  }
}

// Step 11: the view at start.
void DeriveViewValues() {
  heading = -startHeadingDeg;
  smoothHeading = heading;
  const bool chase = (ControlMode == kModeFollow || ControlMode == kModeChase);
  if (chase) {
    lookEyeX = modeEyeX;
    lookEyeY = modeEyeY;
    lookEyeZ = modeEyeZ;
  }
  eyeX = bodyX;
  eyeY = bodyY;
  eyeZ = bodyZ;
  targetX = chase ? eyeX : startTargetX;
  targetY = chase ? eyeY : startTargetY;
  targetZ = chase ? eyeZ : startTargetZ;
  lookDistance = std::sqrt((bodyX - startTargetX) * (bodyX - startTargetX) +
                           (bodyZ - startTargetZ) * (bodyZ - startTargetZ));
  lookRefDistance = std::sqrt((modeEyeX - modeRefX) * (modeEyeX - modeRefX) +
                              (modeEyeZ - modeRefZ) * (modeEyeZ - modeRefZ));
  lookRefDistanceSaved = lookRefDistance;
  headingRad = (startHeadingDeg - 270) * degToRad;
}

// Step 12 without the clock: the motion values and the settings converted once.
void DeriveMotionValues() {
  walkStep = walkMaxSpeed / static_cast<double>(walkStepDivisor);
  walkStepTen = walkStep * 10;
  driveStep = driveMaxSpeed / static_cast<double>(driveStepDivisor);
  driveStepTriple = driveStep * 3;
  if (ControlMode == kModeDrive) trembleAmplitude = trembleAmplitude / 2.4;
  jumpStep = jumpHeight / 8;
  acceleration = throttleStep;
  collisionStep = collisionRadius;
  walkDeflectLimit = walkDeflectLimit * degToRad;
  driveDeflectLimit = driveDeflectLimit * degToRad;
  slideTurnPercent = 100 / slideTurnPercent;
  if (!s.diag || stepDivisorsAt == nullptr ||
      (ControlMode != kModeFollow && ControlMode != kModeChase))
    return;
  const double step = ControlMode == kModeFollow ? walkStep : driveStep;
  const char* name = ControlMode == kModeFollow ? "walkStep" : "driveStep";
  if (!(step > 0 && std::isfinite(step))) {
    NoteAt(stepDivisorsAt, SceneSeverity::kWarning,
           std::string("the chase camera's boom step ") + name + " is " + NumberText(step) +
               ": it is not searched, the camera takes the full boom length");
  } else if (lookRefDistanceSaved / step > kMaxBoomExtensions) {
    NoteAt(stepDivisorsAt, SceneSeverity::kWarning,
           std::string("the chase camera's boom is more than ") +
               std::to_string(kMaxBoomExtensions) + " steps of " + name +
               " long: its search stops there each frame");
  }
}

// Step 15: the last vertex of the static list, the avatar list and every object's list ends
// a polygon. (A negative count has no last vertex.)
void ClosePolygons() {
  if (staticVertexCount >= 0) staticPolyEnd[staticVertexCount] = 1;
  if (avatarVertexCount >= 0) avatarPolyEnd[avatarVertexCount] = 1;
  for (int o = 0; o <= objectLastIndex; ++o) {
    if (objectVertexCount[o] >= 0) objVtxPolyEnd[objectVertexCount[o]][o] = 1;
  }
}

#if defined(_WIN32)
// UTF-8 text as UTF-16, for the wide file interface; false when it is not UTF-8.
bool Utf8ToWide(const std::string& text, std::wstring& wide) {
  wide.clear();
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    int length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (length == 0 || i + length > text.size()) return false;
    unsigned long code = length == 1 ? c : c & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
      const unsigned char next = static_cast<unsigned char>(text[i + k]);
      if ((next >> 6) != 2) return false;
      code = (code << 6) | (next & 0x3F);
    }
    if (code >= 0x10000) {
      code -= 0x10000;
      wide += static_cast<wchar_t>(0xD800 + (code >> 10));
      wide += static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
    } else {
      wide += static_cast<wchar_t>(code);
    }
    i += length;
  }
  return true;
}
#endif

}  // namespace

// Opens a file of the scene for reading. On Windows a UTF-8 name is opened through the wide
// file interface, so that it is found whatever the ANSI code page; any other name (the code
// page 1251 bytes of the scene file's name) through the narrow one, as written.
std::FILE* OpenSceneFile(const std::string& path) {
#if defined(_WIN32)
  std::wstring wide;
  if (Utf8ToWide(path, wide))
    if (std::FILE* file = _wfopen(wide.c_str(), L"rb")) return file;
#endif
  return std::fopen(path.c_str(), "rb");
}

namespace {

// The whole file's bytes; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& bytes) {
  std::FILE* file = OpenSceneFile(path);
  if (!file) return false;
  if (std::fseek(file, 0, SEEK_END) == 0) {
    const long size = std::ftell(file);
    if (size > 0) bytes.reserve(static_cast<std::size_t>(size));
    std::fseek(file, 0, SEEK_SET);
  }
  char buffer[1 << 16];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, n);
  const bool ok = !std::ferror(file);
  std::fclose(file);
  return ok;
}

}  // namespace

void ResetSceneReader() {
  partStepCount = 0;
  stepDivisorsAt = nullptr;
  sceneStream = SceneStream{};
}

void ReadSceneText(const char* data, std::size_t size, const std::string& name,
                   SceneDiagnostics* diag) {
  ResetScene();
  partStepCount = 0;
  stepDivisorsAt = nullptr;
  StartSceneStream(data, size, name, diag);
  ReadCounts();
  ReadSettings();
  ReadObstacles();
  ReadObjectFlagsAndPoints();
  ReadClearColourAndAvatarParts();
  ReadAvatarVertices();
  ReadObjectHeaders();
  ReadObjectVertices();
  ReadObjectParts();
  ReadStaticVertices();
  ReadPlainVertices();
  CheckTrailingData();
  DeriveViewValues();
  DeriveMotionValues();
  ClosePolygons();
  FinishSceneStream();
}

bool ReadSceneFile(const std::string& path, SceneDiagnostics* diag) {
  std::string bytes;
  const bool opened = ReadWholeFile(path, bytes);
  if (diag) {
    *diag = SceneDiagnostics{};
    diag->opened = opened;
    diag->fileBytes = bytes.size();
  }
  // A file that cannot be read gives the stream failed from the start.
  ReadSceneText(opened ? bytes.data() : nullptr, bytes.size(), SceneDisplayName(path), diag);
  return opened;
}

std::string SceneDisplayName(const std::string& path) {
  const std::string legacy = kSceneFileName1251;
  if (path.size() >= legacy.size() &&
      path.compare(path.size() - legacy.size(), legacy.size(), legacy) == 0)
    return path.substr(0, path.size() - legacy.size()) + kSceneFileName;
  return path;
}

// The name is tried as it is (UTF-8; on Windows through the wide file interface, so whatever
// the ANSI code page), then as its bytes in code page 1251 through the narrow interface, as
// the name reads on a Windows of the Cyrillic alphabet or in a folder copied from one.
std::string FindSceneFile(const std::string& dir) {
  const std::string prefix = (dir.empty() || dir == ".") ? std::string() : dir + "/";
  const char* const names[] = {kSceneFileName, kSceneFileName1251};
  for (const char* name : names) {
    const std::string path = prefix + name;
    if (std::FILE* file = OpenSceneFile(path)) {
      std::fclose(file);
      return path;
    }
  }
  return std::string();
}
