// Reading fields from the scene file, with the failed-stream rule and the findings.
#include "scene/reader_stream.h"

#include <algorithm>
#include <cstdio>

#include "scene/scene_fields.h"

SceneStream sceneStream;

namespace {

SceneStream& s = sceneStream;

// Line and column (from 1; the column counts bytes) of pos, counting from from/line.
void Advance(const char*& from, const char* pos, int& line, const char*& lineStart) {
  for (; from < pos; ++from) {
    if (*from == '\n') {
      ++line;
      lineStart = from + 1;
    }
  }
}

// The text found where a number was expected, shortened and made printable.
std::string FoundText(const char* p) {
  std::string text;
  for (; p < s.end && !IsFieldSpace(*p) && text.size() < 16; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    text += (c >= 0x20 && c != 0x7F) ? static_cast<char>(c) : '?';
  }
  return text;
}

// Whether [p, end) is the start of a number that the end of the file cut short ("-", "0x",
// "2.5e-").
bool CutNumber(const char* p, const char* end) {
  if (p < end && (*p == '+' || *p == '-')) ++p;
  if (end - p == 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) return true;
  while (p < end && (IsFieldDigit(*p) || *p == '.')) ++p;
  if (p < end && (*p == 'e' || *p == 'E')) {
    ++p;
    if (p < end && (*p == '+' || *p == '-')) ++p;
  }
  return p == end;
}

// The stream fails at the field at pos; says why, where, and what it leaves unread.
void Fail(const char* pos, const char* field, FieldStatus status) {
  s.failed = true;
  if (!s.diag) return;
  std::string message;
  const char* after = pos;
  while (after < s.end && !IsFieldSpace(*after)) ++after;
  const bool cut = (after == s.end && CutNumber(pos, after));
  if (status == FieldStatus::kEnd) {
    message = "the file ends before " + FieldText(field) + "; left unset: " + UnsetSummary();
  } else if (cut && status == FieldStatus::kMalformed) {
    // A number cut short by the end of the file is a file that ends early.
    message = "the file ends inside " + FieldText(field) + " (\"" + FoundText(pos) +
              "\"); left unset: " + UnsetSummary();
  } else if (status == FieldStatus::kTooLong) {
    message = FieldText(field) + ": a number longer than " + std::to_string(kDoubleFieldMaxChars) +
              " characters; everything after it keeps its defaults";
  } else {
    message = FieldText(field) + ": expected a number, found \"" + FoundText(pos) +
              "\"; everything after it keeps its defaults";
  }
  NoteAt(pos, SceneSeverity::kError, message);
}

}  // namespace

void StartSceneStream(const char* data, std::size_t size, const std::string& name,
                      SceneDiagnostics* diag) {
  s.begin = data;
  s.cur = data;
  s.end = data + size;
  s.failed = (data == nullptr);
  s.fieldStart = data;
  s.name = name;
  s.diag = diag;
  s.pending.clear();
  s.textureNames.clear();
  s.textureOffsets.clear();
  s.place = ScenePlace::kCounts;
  s.index = s.object = s.state = 0;
}

void FinishSceneStream() {
  if (!s.diag) return;
  std::stable_sort(
      s.pending.begin(), s.pending.end(),
      [](const PendingDiagnostic& a, const PendingDiagnostic& b) { return a.offset < b.offset; });
  const char* from = s.begin;
  const char* lineStart = s.begin;
  int line = 1;
  for (PendingDiagnostic& p : s.pending) {
    Advance(from, s.begin + p.offset, line, lineStart);
    s.diag->items.push_back({line, static_cast<int>(s.begin + p.offset - lineStart) + 1, p.severity,
                             std::move(p.message)});
  }
  // Texture uses were noted in file order: their places come from one more sweep.
  from = lineStart = s.begin;
  line = 1;
  for (std::size_t i = 0; i < s.textureOffsets.size(); ++i) {
    Advance(from, s.begin + s.textureOffsets[i], line, lineStart);
    s.diag->textures[i].line = line;
    s.diag->textures[i].column = static_cast<int>(s.begin + s.textureOffsets[i] - lineStart) + 1;
  }
  s.diag->streamFailed = s.failed;
  s.pending.clear();
}

void StreamIntOutcome(int& target, const char* field, const char* p, const char* next,
                      FieldStatus status, bool clamped) {
  if (status == FieldStatus::kOk) {
    s.cur = next;
    if (clamped && s.diag) {
      NoteAt(p, SceneSeverity::kWarning,
             FieldText(field) + ": value beyond the int range, read as " + std::to_string(target));
    }
    return;
  }
  if (status != FieldStatus::kEnd) target = 0;
  Fail(p, field, status);
}

void StreamDoubleOutcome(double target, const char* field, const char* p, const char* next,
                         FieldStatus status, bool outOfRange) {
  if (status == FieldStatus::kOk) {
    s.cur = next;
    if (outOfRange && s.diag) {
      NoteAt(p, SceneSeverity::kWarning,
             FieldText(field) + ": number beyond the range of a double, read as " +
                 (target == 0  ? "0"
                  : target > 0 ? "infinity"
                               : "-infinity"));
    }
    return;
  }
  Fail(p, field, status);
}

void StreamName(std::string& target, const char* field) {
  if (s.failed) return;
  const NameField f = ScanNameField(s.cur, s.end);
  s.fieldStart = f.next;
  if (f.status != FieldStatus::kOk) {
    Fail(f.next, field, f.status);
    return;
  }
  s.fieldStart = f.marker;
  target.assign(f.begin, f.end);
  s.cur = f.next;
}

void RefuseCount(int& target, const char* field, const std::string& reason) {
  target = 0;
  s.failed = true;
  const std::string message =
      FieldText(field) + ": " + reason + "; refused, everything after it keeps its defaults";
  if (s.diag) {
    NoteAt(s.fieldStart, SceneSeverity::kError, message);
    return;
  }
  const char* from = s.begin;
  const char* lineStart = s.begin;
  int line = 1;
  Advance(from, s.fieldStart, line, lineStart);
  std::fprintf(stderr, "citywalk: %s:%d:%d: %s\n", s.name.c_str(), line,
               static_cast<int>(s.fieldStart - lineStart) + 1, message.c_str());
}

void NoteAt(const char* pos, SceneSeverity severity, const std::string& message) {
  if (!s.diag) return;
  s.pending.push_back({static_cast<std::size_t>(pos - s.begin), severity, message});
}

std::string FieldText(const char* field) {
  std::string text = std::string("`") + field + "`";
  const std::string place = PlaceText();
  if (!place.empty()) text += " of " + place;
  return text;
}

std::string PlaceText() {
  const std::string i = std::to_string(s.index);
  const std::string o = std::to_string(s.object);
  const std::string state = ", motion state " + std::to_string(s.state);
  switch (s.place) {
    case ScenePlace::kObstacles:
      return "obstacle point " + i;
    case ScenePlace::kObjectFlags:
    case ScenePlace::kObjectHeaders:
      return "object " + o;
    case ScenePlace::kWaypoints:
      return "point " + i + " of object " + o;
    case ScenePlace::kAvatarParts:
      return s.index < 0 ? std::string() : "avatar part " + i + state;
    case ScenePlace::kAvatarVertices:
      return "avatar vertex " + i;
    case ScenePlace::kObjectVertices:
      return "vertex " + i + " of object " + o;
    case ScenePlace::kObjectParts:
      return s.index < 0 ? "object " + o : "part " + i + state + " of object " + o;
    case ScenePlace::kStaticVertices:
      return "static vertex " + i;
    case ScenePlace::kPlainVertices:
      return "plain vertex " + i;
    default:
      return std::string();
  }
}
