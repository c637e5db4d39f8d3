// A model file read with the Open Asset Import Library into meshes in the scene's axes, with
// its textures decoded and the unit its file states.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "options.h"
#include "scene/scene.h"
#include "textures.h"

using Vec3 = std::array<double, 3>;

struct ModelMaterial {
  std::string name;
  Vec3 colour = {1, 1, 1};
  bool textured = false;       // the material names a diffuse texture
  std::string textureLabel;    // the texture as the model names it, for messages
  int picture = -1;            // its picture in Model::pictures, -1 when none could be had
  std::string textureProblem;  // why not: "missing", "cannot decode it: ..."
};

// One mesh as placed by its node: positions in the scene's axes (y down), faces of 3 or
// more corners indexing the vertices.
struct ModelMesh {
  std::string name;
  int material = 0;
  int part = kNoPart;  // the --part it belongs to, or none
  std::vector<Vec3> positions;
  std::vector<std::array<double, 2>> uv;  // empty when the mesh has none
  std::vector<Vec3> colours;              // empty when the mesh has none
  std::vector<std::vector<unsigned>> faces;
};

struct Model {
  std::vector<ModelMesh> meshes;
  std::vector<ModelMaterial> materials;
  std::vector<TexturePicture> pictures;  // each texture file or embedded texture once
  double metresPerUnit = 0;              // the length of one file unit as the file states it;
                                         // 0 when it does not say
  std::string unitSource;                // what states it ("glTF is in metres")
};

// Reads options.model and decodes its textures; false with the reason in error when the
// library cannot read it or it holds bad values (positions that are not finite, indices out
// of range, no polygons). Meshes under a --part node get that part's index. Text models saved
// as UTF-16 with a byte-order mark are read as their text.
bool LoadModel(const ImportOptions& options, Model& model, std::string& error);
