// The vertex lists of the scene file. A vertex that begins a polygon (the previous vertex's
// closing flag is 1) starts with its polygon's colour; every vertex of the static, avatar and
// object lists ends with its textured flag and a texture name.
#include "scene/reader_lists.h"

#include <string>
#include <vector>

#include "scene/reader_stream.h"
#include "scene/scene.h"
#include "scene/scene_fields.h"

namespace {

SceneStream& s = sceneStream;

// The polygon being read in one list, for the checks.
struct PolygonRun {
  int first = 1;                   // its first vertex
  const char* firstPos = nullptr;  // where that vertex starts in the file
};

// Where the vertex about to be read starts (only needed for the checks).
const char* VertexStart() { return s.diag ? SkipFieldSpace(s.cur, s.end) : nullptr; }

void CheckPolygonSize(const PolygonRun& run, const char* list, int last) {
  const int size = last - run.first + 1;
  if (size >= 3) return;
  NoteAt(run.firstPos, SceneSeverity::kWarning,
         "polygon of " + std::to_string(size) + (size == 1 ? " vertex" : " vertices") + " (" +
             list + " " + std::to_string(run.first) + ".." + std::to_string(last) +
             "): fewer than 3");
}

// Checks vertex v once read: a closed polygon's size.
void CheckVertex(PolygonRun& run, const char* list, int v, const char* vertexPos, int polyEnd) {
  if (!s.diag || s.failed) return;
  if (v == run.first) run.firstPos = vertexPos;
  if (polyEnd != 1) return;
  CheckPolygonSize(run, list, v);
  run.first = v + 1;
}

// The list's last polygon, which the loader closes at the last vertex.
void CheckLastPolygon(const PolygonRun& run, const char* list, int count) {
  if (s.diag && !s.failed && run.first <= count) CheckPolygonSize(run, list, count);
}

// Checks a vertex's textured flag and notes the texture file it uses.
void CheckTexture(const char* field, int textured, const char* texturedPos, const std::string& name,
                  const char* namePos) {
  if (!s.diag || s.failed) return;
  if (textured != 0 && textured != 1) {
    NoteAt(texturedPos, SceneSeverity::kWarning,
           FieldText(field) + ": texture flag " + std::to_string(textured) + " is neither 0 nor 1");
  }
  if (textured == 1 && s.textureNames.insert(name).second) {
    s.diag->textures.push_back({name, 0, 0});
    s.textureOffsets.push_back(static_cast<std::size_t>(namePos - s.begin));
  }
}

// A list that ends at a tagged vertex leaves that part's transform in force after its last
// polygon; the drawing undoes it there.
void CheckLastTag(const char* list, int count, int tag, int lastPart) {
  if (!s.diag || s.failed || count <= 0 || tag == kNoPart || tag < 0 || tag > lastPart) return;
  NoteAt(s.fieldStart, SceneSeverity::kWarning,
         std::string(list) + " ends at a vertex of part " + std::to_string(tag) +
             ": that part's transform is still in force after the last polygon and is undone "
             "there");
}

// Checks a vertex's part tag against the list's parts.
void CheckPartTag(const char* field, int tag, int lastPart, const char* pos) {
  if (!s.diag || s.failed || tag == kNoPart || (tag >= 0 && tag <= lastPart)) return;
  NoteAt(pos, SceneSeverity::kWarning,
         FieldText(field) + ": part tag " + std::to_string(tag) + " names no part (parts 0.." +
             std::to_string(lastPart) + ", or " + std::to_string(kNoPart) + " for none)" +
             (tag < 0 || tag >= kPartSlots ? "; it counts as " + std::to_string(kNoPart) : ""));
}

}  // namespace

void ReadAvatarVertices() {
  s.place = ScenePlace::kAvatarVertices;
  PolygonRun run;
  for (int v = 1; v <= avatarVertexCount && !s.failed; ++v) {
    s.index = v;
    const char* at = VertexStart();
    if (avatarPolyEnd[v - 1] == 1) {
      StreamDouble(avatarRed[v], "avatarRed");
      StreamDouble(avatarGreen[v], "avatarGreen");
      StreamDouble(avatarBlue[v], "avatarBlue");
    }
    StreamInt(avatarPartOf[v], "avatarPartOf");
    CheckPartTag("avatarPartOf", avatarPartOf[v], avatarPartLastIndex, s.fieldStart);
    StreamDouble(avatarX[v], "avatarX");
    StreamDouble(avatarY[v], "avatarY");
    StreamDouble(avatarZ[v], "avatarZ");
    StreamInt(avatarPolyEnd[v], "avatarPolyEnd");
    StreamDouble(avatarTexS[v], "avatarTexS");
    StreamDouble(avatarTexT[v], "avatarTexT");
    StreamInt(avatarTextured[v - 1], "avatarTextured");
    const char* flagAt = s.fieldStart;
    StreamName(avatarTexName[v - 1], "avatarTexName");
    CheckTexture("avatarTextured", avatarTextured[v - 1], flagAt, avatarTexName[v - 1],
                 s.fieldStart + 1);
    CheckVertex(run, "avatar vertices", v, at, avatarPolyEnd[v]);
  }
  CheckLastPolygon(run, "avatar vertices", avatarVertexCount);
  if (avatarVertexCount >= 1)
    CheckLastTag("the avatar list", avatarVertexCount, avatarPartOf[avatarVertexCount],
                 kPartSlots - 1);
}

void ReadObjectVertices() {
  s.place = ScenePlace::kObjectVertices;
  for (int o = 0; o <= objectLastIndex && !s.failed; ++o) {
    s.object = o;
    PolygonRun run;
    const std::string list = "vertices of object " + std::to_string(o) + ",";
    for (int v = 1; v <= objectVertexCount[o] && !s.failed; ++v) {
      s.index = v;
      const char* at = VertexStart();
      if (objVtxPolyEnd[v - 1][o] == 1) {
        StreamDouble(objVtxRed[v][o], "objVtxRed");
        StreamDouble(objVtxGreen[v][o], "objVtxGreen");
        StreamDouble(objVtxBlue[v][o], "objVtxBlue");
      }
      StreamInt(objVtxPart[v][o], "objVtxPart");
      CheckPartTag("objVtxPart", objVtxPart[v][o], kPartSlots - 1, s.fieldStart);
      StreamDouble(objVtxX[v][o], "objVtxX");
      StreamDouble(objVtxY[v][o], "objVtxY");
      StreamDouble(objVtxZ[v][o], "objVtxZ");
      StreamInt(objVtxPolyEnd[v][o], "objVtxPolyEnd");
      StreamDouble(objVtxTexS[v][o], "objVtxTexS");
      StreamDouble(objVtxTexT[v][o], "objVtxTexT");
      StreamInt(objVtxTextured[v - 1][o], "objVtxTextured");
      const char* flagAt = s.fieldStart;
      StreamName(objVtxTexName[v - 1][o], "objVtxTexName");
      CheckTexture("objVtxTextured", objVtxTextured[v - 1][o], flagAt, objVtxTexName[v - 1][o],
                   s.fieldStart + 1);
      CheckVertex(run, list.c_str(), v, at, objVtxPolyEnd[v][o]);
    }
    CheckLastPolygon(run, list.c_str(), objectVertexCount[o]);
    const int last = objectVertexCount[o];
    if (last >= 1)
      CheckLastTag(("object " + std::to_string(o) + "'s list").c_str(), last, objVtxPart[last][o],
                   kPartSlots - 1);
  }
}

void ReadStaticVertices() {
  s.place = ScenePlace::kStaticVertices;
  PolygonRun run;
  for (int v = 1; v <= staticVertexCount && !s.failed; ++v) {
    s.index = v;
    const char* at = VertexStart();
    if (staticPolyEnd[v - 1] == 1) {
      StreamDouble(staticRed[v], "staticRed");
      StreamDouble(staticGreen[v], "staticGreen");
      StreamDouble(staticBlue[v], "staticBlue");
    }
    StreamDouble(staticX[v], "staticX");
    StreamDouble(staticY[v], "staticY");
    StreamDouble(staticZ[v], "staticZ");
    StreamInt(staticPolyEnd[v], "staticPolyEnd");
    StreamDouble(staticTexS[v], "staticTexS");
    StreamDouble(staticTexT[v], "staticTexT");
    StreamInt(staticTextured[v - 1], "staticTextured");
    const char* flagAt = s.fieldStart;
    StreamName(staticTexName[v - 1], "staticTexName");
    CheckTexture("staticTextured", staticTextured[v - 1], flagAt, staticTexName[v - 1],
                 s.fieldStart + 1);
    CheckVertex(run, "static vertices", v, at, staticPolyEnd[v]);
  }
  CheckLastPolygon(run, "static vertices", staticVertexCount);
}

void ReadPlainVertices() {
  s.place = ScenePlace::kPlainVertices;
  PolygonRun run;
  for (int v = 1; v <= plainVertexCount && !s.failed; ++v) {
    s.index = v;
    const char* at = VertexStart();
    if (plainPolyEnd[v - 1] == 1) {
      StreamDouble(plainRed[v], "plainRed");
      StreamDouble(plainGreen[v], "plainGreen");
      StreamDouble(plainBlue[v], "plainBlue");
    }
    StreamDouble(plainX[v], "plainX");
    StreamDouble(plainY[v], "plainY");
    StreamDouble(plainZ[v], "plainZ");
    StreamInt(plainPolyEnd[v], "plainPolyEnd");
    CheckVertex(run, "plain vertices", v, at, plainPolyEnd[v]);
  }
  // The reader keeps the plain list as the file gives it; the drawing closes an open last
  // polygon at the count.
  if (s.diag && !s.failed && run.first <= plainVertexCount) {
    NoteAt(run.firstPos, SceneSeverity::kWarning,
           "the last plain vertex (" + std::to_string(plainVertexCount) +
               ") does not close its polygon (plain vertices " + std::to_string(run.first) + ".." +
               std::to_string(plainVertexCount) + ")");
  }
}

void CheckTrailingData() {
  s.place = ScenePlace::kAfterEnd;
  if (!s.diag || s.failed) return;
  const char* p = SkipFieldSpace(s.cur, s.end);
  if (p < s.end) {
    NoteAt(p, SceneSeverity::kWarning,
           std::to_string(s.end - p) + " bytes after the last plain vertex are never read");
  }
}

std::string UnsetSummary() {
  const ScenePlace place = s.place;
  std::vector<std::string> parts;
  auto add = [&parts](long long n, const std::string& what) {
    if (n > 0) parts.push_back(std::to_string(n) + " " + what);
  };
  auto left = [place](ScenePlace list, int count) -> long long {
    if (count <= 0) return 0;
    if (place < list) return count;
    return place == list ? count - sceneStream.index + 1 : 0;
  };
  if (place <= ScenePlace::kSettings) parts.push_back("the remaining settings");
  add(left(ScenePlace::kAvatarVertices, avatarVertexCount), "avatar vertices");
  if (objectLastIndex >= 0 && place <= ScenePlace::kObjectParts) {
    const int first = place >= ScenePlace::kObjectFlags ? s.object : 0;
    const std::string range = std::to_string(first) + ".." + std::to_string(objectLastIndex);
    if (place < ScenePlace::kObjectVertices) {
      parts.push_back("objects " + range + " (with their vertices and parts)");
    } else if (place == ScenePlace::kObjectVertices) {
      long long vertices = objectVertexCount[first] - s.index + 1;
      for (int o = first + 1; o <= objectLastIndex; ++o)
        vertices += objectVertexCount[o] > 0 ? objectVertexCount[o] : 0;
      add(vertices, "object vertices");
      parts.push_back("the parts of all objects");
    } else {
      parts.push_back("the parts of objects " + range);
    }
  }
  add(left(ScenePlace::kStaticVertices, staticVertexCount), "static vertices");
  add(left(ScenePlace::kPlainVertices, plainVertexCount), "plain vertices");
  if (parts.empty()) return "the rest of the current item";
  std::string text = parts[0];
  for (std::size_t i = 1; i < parts.size(); ++i) text += ", " + parts[i];
  return text;
}
