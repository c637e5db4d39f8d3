// Problems counted by kind, and the summaries.
#include "report.h"

#include <cstdio>
#include <map>

namespace {

std::string Count(std::size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string Number(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.6g", value);
  return buffer;
}

// Whether the mesh is meant to show a texture: its material names one and it has coordinates.
bool WantsTexture(const Model& model, const ModelMesh& mesh) {
  return mesh.material >= 0 && model.materials[mesh.material].textured;
}

}  // namespace

std::string ProblemLines(const std::string& modelPath, const Model& model,
                         const ModelScale& scale) {
  std::vector<std::pair<std::string, std::size_t>> problems;  // in order of first meeting
  std::map<std::string, std::size_t> index;
  auto count = [&](const std::string& problem) {
    const auto [at, fresh] = index.emplace(problem, problems.size());
    if (fresh) problems.emplace_back(problem, 0);
    ++problems[at->second].second;
  };
  for (const ModelMesh& mesh : model.meshes) {
    if (!WantsTexture(model, mesh)) continue;
    const ModelMaterial& material = model.materials[mesh.material];
    if (mesh.uv.empty())
      count("a texture but no texture coordinates");
    else if (material.picture < 0)
      count("texture '" + material.textureLabel + "' " + material.textureProblem);
  }
  std::string out;
  const std::string prefix = "citywalk-import: " + modelPath + ": ";
  for (const auto& [problem, meshes] : problems) {
    if (problem == "a texture but no texture coordinates")
      out +=
          prefix + Count(meshes, "mesh has", "meshes have") + " " + problem + ": drawn in colour\n";
    else
      out += prefix + problem + ": " + Count(meshes, "mesh", "meshes") + " drawn in colour\n";
  }
  if (scale.unitUnknown)
    out += prefix +
           "the file does not say its unit: its numbers are taken as scene units (10 to a "
           "metre); give --unit m|cm|mm|in|ft, --scale or --size\n";
  return out;
}

std::string MeshLines(const Model& model, const std::vector<std::vector<Polygon>>& polygons,
                      const std::vector<std::string>& bitmapByMaterial) {
  std::string out;
  for (std::size_t m = 0; m < model.meshes.size(); ++m) {
    const ModelMesh& mesh = model.meshes[m];
    const std::size_t vertices = CornerCount(polygons[m]);
    if (vertices == 0) continue;  // simplified away
    out += "mesh " + mesh.name + ": " + Count(vertices, "vertex", "vertices") + ", " +
           Count(polygons[m].size(), "polygon", "polygons");
    if (mesh.material >= 0 && !mesh.uv.empty() && !bitmapByMaterial[mesh.material].empty())
      out += ", bitmap " + bitmapByMaterial[mesh.material];
    if (mesh.part != kNoPart) out += ", part " + std::to_string(mesh.part);
    out += "\n";
  }
  return out;
}

std::string ModelSummary(const std::string& modelPath, const Model& model,
                         const std::vector<std::vector<Polygon>>& polygons,
                         const std::string& simplified, const BitmapPlan& bitmaps,
                         const ModelScale& scale) {
  std::size_t meshes = 0, vertices = 0, count = 0;
  for (std::size_t m = 0; m < model.meshes.size(); ++m) {
    meshes += polygons[m].empty() ? 0 : 1;
    vertices += CornerCount(polygons[m]);
    count += polygons[m].size();
  }
  std::string out = modelPath + ": " + Count(meshes, "mesh", "meshes") + " placed, " +
                    Count(vertices, "vertex", "vertices") + " in " +
                    Count(count, "polygon", "polygons");
  if (!simplified.empty()) out += " (" + simplified + ")";
  out += "; " + Count(bitmaps.files.size(), "bitmap", "bitmaps") + " written";
  if (bitmaps.found > 0) out += ", " + std::to_string(bitmaps.found) + " found in the folder";
  out += "; scaled by " + Number(scale.factor) + " (" + scale.reason + ")\n";
  return out;
}
