// The scene file while it is being read: its bytes, the reading position, whether reading has
// failed, where in the layout the reader stands, and the findings for the checker.
//
// Reading follows one rule throughout: once a field fails (malformed, refused, or the file
// has ended), the stream is failed and every later read leaves its target as it was. The
// loops of the layout still run over the counts already read, so the values derived inside
// them are still derived.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_set>
#include <vector>

#include "scene/diagnostics.h"
#include "scene/scene_fields.h"

// Where in the layout a field belongs, in file order.
enum class ScenePlace {
  kCounts,
  kSettings,
  kObstacles,
  kObjectFlags,
  kWaypoints,
  kClearColour,
  kAvatarParts,
  kAvatarVertices,
  kObjectHeaders,
  kObjectVertices,
  kObjectParts,
  kStaticVertices,
  kPlainVertices,
  kAfterEnd,
};

// A finding at a byte offset, given its line and column once reading is done.
struct PendingDiagnostic {
  std::size_t offset = 0;
  SceneSeverity severity = SceneSeverity::kError;
  std::string message;
};

struct SceneStream {
  const char* begin = nullptr;
  const char* cur = nullptr;
  const char* end = nullptr;
  bool failed = false;
  const char* fieldStart = nullptr;  // the last field read
  std::string name;                  // the file as messages name it
  SceneDiagnostics* diag = nullptr;
  std::vector<PendingDiagnostic> pending;
  std::unordered_set<std::string> textureNames;
  std::vector<std::size_t> textureOffsets;  // of diag->textures, in file order
  // Where the reader stands: item, and the numbers of the point, vertex, part, state and
  // object being read (those that apply).
  ScenePlace place = ScenePlace::kCounts;
  int index = 0;
  int object = 0;
  int state = 0;
};

extern SceneStream sceneStream;

// Prepares the stream over [data, data + size).
void StartSceneStream(const char* data, std::size_t size, const std::string& name,
                      SceneDiagnostics* diag);
// Hands the findings over to the caller's diagnostics, with lines and columns.
void FinishSceneStream();

// What StreamInt and StreamDouble do beyond the plain case: warnings, failures.
void StreamIntOutcome(int& target, const char* field, const char* p, const char* next,
                      FieldStatus status, bool clamped);
void StreamDoubleOutcome(double target, const char* field, const char* p, const char* next,
                         FieldStatus status, bool outOfRange);

// Reads one int field into target (0 there when the field is malformed).
inline void StreamInt(int& target, const char* field) {
  SceneStream& s = sceneStream;
  if (s.failed) return;
  const char* p = SkipFieldSpace(s.cur, s.end);
  s.fieldStart = p;
  const char* next = p;
  bool clamped = false;
  const FieldStatus status = ScanInt(next, s.end, target, clamped);
  if (status == FieldStatus::kOk && !clamped) {
    s.cur = next;
    return;
  }
  StreamIntOutcome(target, field, p, next, status, clamped);
}

// Reads one double field into target.
inline void StreamDouble(double& target, const char* field) {
  SceneStream& s = sceneStream;
  if (s.failed) return;
  const char* p = SkipFieldSpace(s.cur, s.end);
  s.fieldStart = p;
  const char* next = p;
  bool outOfRange = false;
  const FieldStatus status = ScanDouble(next, s.end, target, outOfRange);
  if (status == FieldStatus::kOk && !outOfRange) {
    s.cur = next;
    return;
  }
  StreamDoubleOutcome(target, field, p, next, status, outOfRange);
}
// Reads one name field into target.
void StreamName(std::string& target, const char* field);
// Refuses the count just read into target: 0 there, the stream fails, and the reason is
// reported (standard error when no diagnostics are collected).
void RefuseCount(int& target, const char* field, const std::string& reason);

// Records a finding at pos (only while diagnostics are collected).
void NoteAt(const char* pos, SceneSeverity severity, const std::string& message);
// The field's name and the place the reader stands at, for messages.
std::string FieldText(const char* field);
// The item and numbers of the place the reader stands at, for messages.
std::string PlaceText();
// What the end of the file leaves unset, from where the reader stands (reader.cpp).
std::string UnsetSummary();
