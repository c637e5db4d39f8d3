// A model file read with the Open Asset Import Library into meshes in the scene's axes.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "options.h"
#include "scene/scene.h"

using Vec3 = std::array<double, 3>;

// A diffuse texture: a file beside the model, or one embedded in it.
struct TextureSource {
  std::string file;   // path to read, "" when embedded
  int embedded = -1;  // index of the embedded texture
  std::string label;  // as the model names it, for messages
};

struct ModelMaterial {
  std::string name;
  Vec3 colour = {1, 1, 1};
  bool textured = false;
  TextureSource texture;
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
  std::vector<std::vector<unsigned char>> embedded;  // compressed embedded textures' bytes
  std::vector<std::array<int, 2>> embeddedSize;      // {0, 0} compressed; else raw texels
  std::vector<std::vector<unsigned char>> embeddedRgba;
};

// Reads path; false with the reason in error when the library cannot read it or it holds
// bad values (positions that are not finite, indices out of range, no polygons). Meshes
// under a --part node get that part's index.
bool LoadModel(const ImportOptions& options, Model& model, std::string& error);
