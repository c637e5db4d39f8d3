// A placed model's polygons within its budget, and as the vertex records of a scene list.
#pragma once

#include <string>
#include <vector>

#include "polygons.h"
#include "scene_writer.h"

// The polygons of every mesh, simplified when together they would have more than budget
// vertices; note tells of the simplification ("" when none was needed). False with the
// reason in error when even simplified they cannot fit.
bool FitBudget(const Model& model, std::size_t budget, std::vector<std::vector<Polygon>>& meshes,
               std::string& note, std::string& error);

// The vertex records of the polygons, untagged ones first, then part by part (each part's
// tag on the polygon before it and on its own, its last closing with the next tag); texture
// names by material ("" untextured). A model without untagged polygons starts with a
// polygon of no area that carries the first part's tag (kPartLead vertices), since a part
// takes effect only after a polygon closing with its tag.
inline constexpr std::size_t kPartLead = 3;

// Whether the model's vertex list needs the lead polygon: every mesh is in a part.
bool NeedsPartLead(const Model& model);
std::vector<SceneVertexSpec> VertexList(const Model& model,
                                        const std::vector<std::vector<Polygon>>& meshes,
                                        const std::vector<std::string>& textureNames);
