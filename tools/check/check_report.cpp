// The checker's text report: one line per finding, then a summary of the loaded scene.
#include <cstdio>

#include "check.h"
#include "scene/scene.h"

int CountPolygons(const int* polyEnd, int count) {
  int polygons = 0;
  for (int v = 1; v <= count; ++v) polygons += (polyEnd[v] == 1);
  return polygons;
}

int CountObjectPolygons(int o) {
  int polygons = 0;
  for (int v = 1; v <= objectVertexCount[o]; ++v) polygons += (objVtxPolyEnd[v][o] == 1);
  return polygons;
}

void PrintReport(std::FILE* out, const std::string& file, const SceneDiagnostics& diag) {
  int errors = 0;
  int warnings = 0;
  for (const SceneDiagnostic& d : diag.items) {
    const bool error = d.severity == SceneSeverity::kError;
    (error ? errors : warnings)++;
    std::fprintf(out, "%s:%d:%d: %s: %s\n", file.c_str(), d.line, d.column,
                 error ? "error" : "warning", d.message.c_str());
  }
  int objectVertices = 0;
  int objectPolygons = 0;
  for (int o = 0; o <= objectLastIndex; ++o) {
    objectVertices += objectVertexCount[o] > 0 ? objectVertexCount[o] : 0;
    objectPolygons += CountObjectPolygons(o);
  }
  std::fprintf(out, "%s: %d error(s), %d warning(s)\n", file.c_str(), errors, warnings);
  std::fprintf(out, "  static list:  %d polygons, %d vertices\n",
               CountPolygons(staticPolyEnd.data(), staticVertexCount), staticVertexCount);
  std::fprintf(out, "  plain list:   %d polygons, %d vertices\n",
               CountPolygons(plainPolyEnd.data(), plainVertexCount), plainVertexCount);
  std::fprintf(out, "  avatar list:  %d polygons, %d vertices, %d parts\n",
               CountPolygons(avatarPolyEnd.data(), avatarVertexCount), avatarVertexCount,
               avatarPartLastIndex + 1);
  std::fprintf(out, "  objects:      %d (%d polygons, %d vertices)\n", objectLastIndex + 1,
               objectPolygons, objectVertices);
  std::fprintf(out, "  obstacle points: %d\n", obstacleCount > 0 ? obstacleCount : 0);
  std::fprintf(out, "  distinct textures: %zu\n", diag.textures.size());
  std::fprintf(out, "  control mode: %d\n", ControlMode);
}
