// The checker's JSON document: every count, setting and derived value under its own name at
// the top level, every list, object, part, object point and obstacle point, the distinct
// texture names and the findings. Numbers are written in their shortest form that reads back
// exactly; values that JSON cannot hold as numbers are the strings "Infinity", "-Infinity"
// and "NaN". Text that is not valid UTF-8 (a name in a code page) has each byte above 0x7F
// written as \u00XX. Texture ids and images are left out: the checker builds no textures.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "check.h"
#include "scene/scene.h"

namespace {

std::string j;
std::vector<bool> first;

void Separate() {
  if (!first.empty()) {
    if (!first.back()) j += ',';
    first.back() = false;
  }
}

bool IsValidUtf8(const std::string& text) {
  const std::size_t n = text.size();
  for (std::size_t i = 0; i < n;) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    std::size_t extra = 0;
    if (c >= 0x80) {
      if ((c & 0xE0) == 0xC0) {
        extra = 1;
      } else if ((c & 0xF0) == 0xE0) {
        extra = 2;
      } else if ((c & 0xF8) == 0xF0) {
        extra = 3;
      } else {
        return false;
      }
    }
    if (i + extra >= n + (extra == 0 ? 1 : 0)) return false;
    for (std::size_t k = 1; k <= extra; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += extra + 1;
  }
  return true;
}

void String(const std::string& text) {
  const bool utf8 = IsValidUtf8(text);
  j += '"';
  for (const char ch : text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      j += '\\';
      j += ch;
    } else if (c < 0x20 || c == 0x7F || (c >= 0x80 && !utf8)) {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
      j += buffer;
    } else {
      j += ch;
    }
  }
  j += '"';
}

void Number(double value) {
  if (std::isnan(value)) {
    String("NaN");
  } else if (std::isinf(value)) {
    String(value > 0 ? "Infinity" : "-Infinity");
  } else {
    char buffer[32];
    j.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
  }
}

void Key(const char* key) {
  Separate();
  if (key) {
    String(key);
    j += ':';
  }
}

void Field(const char* key, double value) {
  Key(key);
  Number(value);
}
void Field(const char* key, int value) {
  Key(key);
  j += std::to_string(value);
}
void Field(const char* key, bool value) {
  Key(key);
  j += value ? "true" : "false";
}
void Field(const char* key, const std::string& value) {
  Key(key);
  String(value);
}

void Begin(const char* key, char bracket) {
  Key(key);
  j += bracket;
  first.push_back(true);
}
void End(char bracket) {
  j += bracket;
  first.pop_back();
}

// Counts, settings and derived values are top-level fields of the document.
void Counts() {
  Field("staticVertexCount", staticVertexCount);
  Field("plainVertexCount", plainVertexCount);
  Field("avatarVertexCount", avatarVertexCount);
  Field("objectLastIndex", objectLastIndex);
  Field("objectVertexMax", objectVertexMax);
  Field("obstacleCount", obstacleCount);
  Field("avatarPartLastIndex", avatarPartLastIndex);
  Field("waypointRowMax", waypointRowMax);
}

// The settings in file order, the ints first and then the doubles, then the avatar's offset.
void Settings() {
  for (const SceneSetting& setting : SceneSettings())
    if (setting.intValue != nullptr) Field(setting.name, *setting.intValue);
  for (const SceneSetting& setting : SceneSettings())
    if (setting.doubleValue != nullptr) Field(setting.name, *setting.doubleValue);
  Field("avatarHeadingOffset", avatarHeadingOffset);
}

void Derived() {
  const std::pair<const char*, double> doubles[] = {{"eyeX", eyeX},
                                                    {"eyeY", eyeY},
                                                    {"eyeZ", eyeZ},
                                                    {"targetX", targetX},
                                                    {"targetY", targetY},
                                                    {"targetZ", targetZ},
                                                    {"heading", heading},
                                                    {"headingRad", headingRad},
                                                    {"smoothHeading", smoothHeading},
                                                    {"lookDistance", lookDistance},
                                                    {"lookEyeX", lookEyeX},
                                                    {"lookEyeY", lookEyeY},
                                                    {"lookEyeZ", lookEyeZ},
                                                    {"lookRefDistance", lookRefDistance},
                                                    {"lookRefDistanceSaved", lookRefDistanceSaved},
                                                    {"walkStep", walkStep},
                                                    {"walkStepTen", walkStepTen},
                                                    {"driveStep", driveStep},
                                                    {"driveStepTriple", driveStepTriple},
                                                    {"collisionStep", collisionStep},
                                                    {"jumpStep", jumpStep},
                                                    {"acceleration", acceleration},
                                                    {"degToRad", degToRad}};
  for (const auto& [name, value] : doubles) Field(name, value);
}

// The fields every textured list shares; v is the vertex number.
template <typename Get>
void TexturedVertex(int v, const Get& get) {
  Begin(nullptr, '{');
  Field("vertex", v);
  Field("red", get.red(v));
  Field("green", get.green(v));
  Field("blue", get.blue(v));
  if (get.hasPart) Field("part", get.part(v));
  Field("x", get.x(v));
  Field("y", get.y(v));
  Field("z", get.z(v));
  Field("polyEnd", get.polyEnd(v));
  Field("texS", get.texS(v));
  Field("texT", get.texT(v));
  Field("textured", get.textured(v - 1));
  Field("texName", get.texName(v - 1));
  End('}');
}

struct StaticColumns {
  bool hasPart = false;
  double red(int v) const { return staticRed[v]; }
  double green(int v) const { return staticGreen[v]; }
  double blue(int v) const { return staticBlue[v]; }
  int part(int) const { return kNoPart; }
  double x(int v) const { return staticX[v]; }
  double y(int v) const { return staticY[v]; }
  double z(int v) const { return staticZ[v]; }
  int polyEnd(int v) const { return staticPolyEnd[v]; }
  double texS(int v) const { return staticTexS[v]; }
  double texT(int v) const { return staticTexT[v]; }
  int textured(int i) const { return staticTextured[i]; }
  const std::string& texName(int i) const { return staticTexName[i]; }
};

struct AvatarColumns {
  bool hasPart = true;
  double red(int v) const { return avatarRed[v]; }
  double green(int v) const { return avatarGreen[v]; }
  double blue(int v) const { return avatarBlue[v]; }
  int part(int v) const { return avatarPartOf[v]; }
  double x(int v) const { return avatarX[v]; }
  double y(int v) const { return avatarY[v]; }
  double z(int v) const { return avatarZ[v]; }
  int polyEnd(int v) const { return avatarPolyEnd[v]; }
  double texS(int v) const { return avatarTexS[v]; }
  double texT(int v) const { return avatarTexT[v]; }
  int textured(int i) const { return avatarTextured[i]; }
  const std::string& texName(int i) const { return avatarTexName[i]; }
};

struct ObjectColumns {
  bool hasPart = true;
  int o;
  double red(int v) const { return objVtxRed[v][o]; }
  double green(int v) const { return objVtxGreen[v][o]; }
  double blue(int v) const { return objVtxBlue[v][o]; }
  int part(int v) const { return objVtxPart[v][o]; }
  double x(int v) const { return objVtxX[v][o]; }
  double y(int v) const { return objVtxY[v][o]; }
  double z(int v) const { return objVtxZ[v][o]; }
  int polyEnd(int v) const { return objVtxPolyEnd[v][o]; }
  double texS(int v) const { return objVtxTexS[v][o]; }
  double texT(int v) const { return objVtxTexT[v][o]; }
  int textured(int i) const { return objVtxTextured[i][o]; }
  const std::string& texName(int i) const { return objVtxTexName[i][o]; }
};

void Lists() {
  Begin("staticList", '[');
  for (int v = 1; v <= staticVertexCount; ++v) TexturedVertex(v, StaticColumns{});
  End(']');
  Begin("plainList", '[');
  for (int v = 1; v <= plainVertexCount; ++v) {
    Begin(nullptr, '{');
    Field("vertex", v);
    Field("red", plainRed[v]);
    Field("green", plainGreen[v]);
    Field("blue", plainBlue[v]);
    Field("x", plainX[v]);
    Field("y", plainY[v]);
    Field("z", plainZ[v]);
    Field("polyEnd", plainPolyEnd[v]);
    End('}');
  }
  End(']');
  Begin("avatarList", '[');
  for (int v = 1; v <= avatarVertexCount; ++v) TexturedVertex(v, AvatarColumns{});
  End(']');
}

void AvatarParts() {
  Begin("avatarParts", '[');
  for (int p = 0; p <= avatarPartLastIndex; ++p) {
    Begin(nullptr, '[');
    for (int m = 0; m < kMotionStates; ++m) {
      Begin(nullptr, '{');
      const std::pair<const char*, const PartTable*> tables[] = {
          {"offsetX", &avatarPartOffsetX}, {"offsetY", &avatarPartOffsetY},
          {"offsetZ", &avatarPartOffsetZ}, {"swingZ", &avatarPartSwingZ},
          {"swingY", &avatarPartSwingY},   {"swingX", &avatarPartSwingX},
          {"tiltZ", &avatarPartTiltZ},     {"tiltY", &avatarPartTiltY},
          {"tiltX", &avatarPartTiltX},     {"rateZ", &avatarPartRateZ},
          {"rateY", &avatarPartRateY},     {"rateX", &avatarPartRateX},
          {"angleZ", &avatarPartAngleZ},   {"angleY", &avatarPartAngleY},
          {"angleX", &avatarPartAngleX}};
      for (const auto& [name, table] : tables) Field(name, (*table)[p][m]);
      End('}');
    }
    End(']');
  }
  End(']');
}

void Object(int o) {
  Begin(nullptr, '{');
  Field("index", o);
  const std::pair<const char*, int> ints[] = {{"objectFlagA", objectFlagA[o]},
                                              {"objectFlagB", objectFlagB[o]},
                                              {"objectNearTest", objectNearTest[o]},
                                              {"objectCullTest", objectCullTest[o]},
                                              {"objectWaypointCount", objectWaypointCount[o]},
                                              {"objectVertexCount", objectVertexCount[o]},
                                              {"objectPartLastIndex", objectPartLastIndex[o]},
                                              {"objectAccelForward", objectAccelForward[o]},
                                              {"objectAccelReverse", objectAccelReverse[o]},
                                              {"objectSwervePhase", objectSwervePhase[o]},
                                              {"objectTurnClock", objectTurnClock[o]},
                                              {"objectMotionState", objectMotionState[o]}};
  for (const auto& [name, value] : ints) Field(name, value);
  const std::pair<const char*, double> doubles[] = {{"objectNearDistance", objectNearDistance[o]},
                                                    {"objectCullDistance", objectCullDistance[o]},
                                                    {"objectX", objectX[o]},
                                                    {"objectY", objectY[o]},
                                                    {"objectZ", objectZ[o]},
                                                    {"objectTargetX", objectTargetX[o]},
                                                    {"objectTargetY", objectTargetY[o]},
                                                    {"objectTargetZ", objectTargetZ[o]},
                                                    {"objectHeadingDeg", objectHeadingDeg[o]},
                                                    {"objectHeadingOffset", objectHeadingOffset[o]},
                                                    {"objectMaxSpeed", objectMaxSpeed[o]},
                                                    {"objectClearance", objectClearance[o]},
                                                    {"objectHeading", objectHeading[o]},
                                                    {"objectCurX", objectCurX[o]},
                                                    {"objectCurZ", objectCurZ[o]}};
  for (const auto& [name, value] : doubles) Field(name, value);
  Begin("waypoints", '[');
  for (int k = 1; k <= objectWaypointCount[o]; ++k) {
    Begin(nullptr, '{');
    Field("x", waypointX[k][o]);
    Field("z", waypointZ[k][o]);
    End('}');
  }
  End(']');
  Begin("vertices", '[');
  for (int v = 1; v <= objectVertexCount[o]; ++v) TexturedVertex(v, ObjectColumns{true, o});
  End(']');
  Begin("parts", '[');
  for (int p = 0; p <= objectPartLastIndex[o]; ++p) {
    Begin(nullptr, '[');
    for (int m = 0; m < kMotionStates; ++m) {
      Begin(nullptr, '{');
      const std::pair<const char*, const ObjectPartTable*> tables[] = {
          {"offsetX", &objPartOffsetX}, {"offsetY", &objPartOffsetY}, {"offsetZ", &objPartOffsetZ},
          {"swingZ", &objPartSwingZ},   {"swingY", &objPartSwingY},   {"swingX", &objPartSwingX},
          {"rateZ", &objPartRateZ},     {"rateY", &objPartRateY},     {"rateX", &objPartRateX}};
      for (const auto& [name, table] : tables) Field(name, (*table)[p][m][o]);
      End('}');
    }
    End(']');
  }
  End(']');
  End('}');
}

void Diagnostics(const SceneDiagnostics& diag) {
  Begin("textures", '[');
  for (const SceneTextureUse& use : diag.textures) Field(nullptr, use.name);
  End(']');
  Begin("diagnostics", '[');
  for (const SceneDiagnostic& d : diag.items) {
    Begin(nullptr, '{');
    Field("line", d.line);
    Field("column", d.column);
    Field("severity", std::string(d.severity == SceneSeverity::kError ? "error" : "warning"));
    Field("message", d.message);
    End('}');
  }
  End(']');
}

}  // namespace

void PrintJson(std::FILE* out, const std::string& file, const SceneDiagnostics& diag) {
  j.clear();
  first.clear();
  Begin(nullptr, '{');
  Field("file", file);
  Field("fileBytes", static_cast<double>(diag.fileBytes));
  Field("streamFailed", diag.streamFailed);
  Counts();
  Settings();
  Derived();
  Lists();
  AvatarParts();
  Begin("objects", '[');
  for (int o = 0; o <= objectLastIndex; ++o) Object(o);
  End(']');
  Begin("obstacles", '[');
  for (int k = 1; k <= obstacleCount; ++k) {
    Begin(nullptr, '{');
    Field("x", obstacleX[k]);
    Field("z", obstacleZ[k]);
    End('}');
  }
  End(']');
  Diagnostics(diag);
  End('}');
  j += '\n';
  std::fwrite(j.data(), 1, j.size(), out);
}
