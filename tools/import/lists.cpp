// Budgets and the part tags of the vertex records.
#include "lists.h"

#include <algorithm>

bool FitBudget(const Model& model, std::size_t budget, std::vector<std::vector<Polygon>>& meshes,
               std::string& note, std::string& error) {
  const int count = static_cast<int>(model.meshes.size());
  meshes.assign(count, {});
  std::size_t corners = 0;
  for (int m = 0; m < count; ++m) {
    meshes[m] = MeshPolygons(model, m);
    corners += CornerCount(meshes[m]);
  }
  note.clear();
  if (corners <= budget) return true;
  std::size_t triangles = 0;
  for (int m = 0; m < count; ++m) triangles += TriangleCount(model, m);
  // Triangles always fit three corners each; the simplifier may keep fewer than asked, so
  // the target grows while the result leaves room, keeping the largest that fits.
  std::size_t target = budget / 3, best = 0;
  for (int attempt = 0; attempt < 8 && target > 0; ++attempt) {
    std::vector<std::vector<Polygon>> trial = SimplifiedModel(model, target);
    std::size_t trialCorners = 0;
    for (const std::vector<Polygon>& polygons : trial) trialCorners += CornerCount(polygons);
    if (trialCorners > budget) {
      target = target * 9 / 10;
      continue;
    }
    if (trialCorners > best) {
      best = trialCorners;
      meshes = std::move(trial);
    }
    if (trialCorners == 0 || trialCorners * 20 >= budget * 19) break;
    target = std::min(triangles, target * budget / trialCorners);
  }
  std::size_t after = 0;
  for (const std::vector<Polygon>& polygons : meshes)
    for (const Polygon& p : polygons) after += p.corners.size() - 2;
  if (best > 0) {
    note = "simplified from " + std::to_string(triangles) + " to " + std::to_string(after) +
           " triangles to fit " + std::to_string(budget) + " vertices";
    return true;
  }
  error = "it has " + std::to_string(triangles) + " triangles and cannot fit " +
          std::to_string(budget) + " vertices even simplified";
  return false;
}

std::vector<SceneVertexSpec> VertexList(const Model& model,
                                        const std::vector<std::vector<Polygon>>& meshes,
                                        const std::vector<std::string>& textureNames) {
  std::vector<int> tags = {kNoPart};
  for (const ModelMesh& mesh : model.meshes)
    if (std::find(tags.begin(), tags.end(), mesh.part) == tags.end()) tags.push_back(mesh.part);
  std::sort(tags.begin() + 1, tags.end());
  std::vector<SceneVertexSpec> list;
  for (int tag : tags) {
    if (tag != kNoPart && list.empty()) {
      // Nothing comes before the first part: a polygon of no area at its first corner.
      for (std::size_t m = 0; m < meshes.size() && list.empty(); ++m) {
        if (model.meshes[m].part != tag || meshes[m].empty()) continue;
        const Polygon& first = meshes[m].front();
        for (std::size_t k = 0; k < kPartLead; ++k) {
          SceneVertexSpec v;
          v.red = first.colour[0];
          v.green = first.colour[1];
          v.blue = first.colour[2];
          v.x = first.corners[0].p[0];
          v.y = first.corners[0].p[1];
          v.z = first.corners[0].p[2];
          v.polyEnd = k + 1 == kPartLead ? 1 : 0;
          list.push_back(v);
        }
      }
    }
    if (tag != kNoPart && !list.empty()) list.back().part = tag;  // the part starts after this one
    for (std::size_t m = 0; m < meshes.size(); ++m) {
      if (model.meshes[m].part != tag) continue;
      const int material = model.meshes[m].material;
      const bool mapped = !model.meshes[m].uv.empty();
      const std::string texture =
          mapped && material >= 0 && material < static_cast<int>(textureNames.size())
              ? textureNames[material]
              : "";
      for (const Polygon& polygon : meshes[m]) {
        for (std::size_t k = 0; k < polygon.corners.size(); ++k) {
          SceneVertexSpec v;
          v.red = polygon.colour[0];
          v.green = polygon.colour[1];
          v.blue = polygon.colour[2];
          v.x = polygon.corners[k].p[0];
          v.y = polygon.corners[k].p[1];
          v.z = polygon.corners[k].p[2];
          v.polyEnd = k + 1 == polygon.corners.size() ? 1 : 0;
          v.texS = polygon.corners[k].s;
          v.texT = polygon.corners[k].t;
          v.textured = texture.empty() ? 0 : 1;
          v.texName = texture;
          v.part = tag;
          list.push_back(v);
        }
      }
    }
  }
  if (!list.empty()) list.back().part = kNoPart;  // the list ends untagged
  return list;
}

bool NeedsPartLead(const Model& model) {
  return std::none_of(model.meshes.begin(), model.meshes.end(),
                      [](const ModelMesh& mesh) { return mesh.part == kNoPart; });
}
