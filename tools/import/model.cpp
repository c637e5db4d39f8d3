// Reading a model with the Open Asset Import Library: node transforms applied, the source's
// axes turned into the scene's, every value checked.
#include "model.h"

#include <assimp/importerdesc.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <assimp/version.h>

#include <assimp/DefaultLogger.hpp>
#include <assimp/Importer.hpp>
#include <cmath>
#include <memory>

#include "model_io.h"
#include "model_materials.h"

namespace {

// A 4 x 4 transform in double precision (the library's matrices are float).
using Matrix = std::array<std::array<double, 4>, 4>;

Matrix FromLibrary(const aiMatrix4x4& m) {
  const float* f = m[0];
  Matrix out;
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) out[r][c] = Decimal(f[r * 4 + c]);
  return out;
}

Matrix Multiply(const Matrix& a, const Matrix& b) {
  Matrix out{};
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c)
      for (int k = 0; k < 4; ++k) out[r][c] += a[r][k] * b[k][c];
  return out;
}

// The rotation from the source's axes into the scene's (y down, front -z, left +x): a y-up
// source (x, y, z) becomes (x, -y, -z); a z-up one (front -y) becomes (x, -z, y).
Matrix ToSceneAxes(bool zUp) {
  if (zUp) return Matrix{{{1, 0, 0, 0}, {0, 0, -1, 0}, {0, 1, 0, 0}, {0, 0, 0, 1}}};
  return Matrix{{{1, 0, 0, 0}, {0, -1, 0, 0}, {0, 0, -1, 0}, {0, 0, 0, 1}}};
}

// Whether the file says its up axis is z (the FBX reader puts it in the scene's metadata).
bool FileSaysUp(const aiScene& scene, bool& zUp) {
  int axis = 0;
  if (scene.mMetaData == nullptr || !scene.mMetaData->Get("UpAxis", axis)) return false;
  if (axis != 1 && axis != 2) return false;
  zUp = axis == 2;
  return true;
}

// Whether the library's glTF 1 reader (up to version 5.2) built the scene: it puts a node's
// rotation before its translation, so that the translation comes out turned (the milk
// truck's rear wheels float above the ground).
bool TurnsTranslations(const aiScene& scene) {
  aiString format;
  return aiGetVersionMajor() == 5 && aiGetVersionMinor() <= 2 && scene.mMetaData != nullptr &&
         scene.mMetaData->Get("SourceAsset_Format", format) &&
         std::string(format.C_Str()) == "glTF Importer";
}

// A node's transform made as linear part after translation (A T) turned into translation
// after linear part (T A), as the file means it: the translation is A^-1 times the one given.
Matrix TranslationAfterLinearPart(Matrix m) {
  const auto& a = m;
  const double det = a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
                     a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
                     a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
  if (!(std::fabs(det) > 1e-12)) return m;
  double inverse[3][3];
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) {
      const int r1 = (c + 1) % 3, r2 = (c + 2) % 3, c1 = (r + 1) % 3, c2 = (r + 2) % 3;
      inverse[r][c] = (a[r1][c1] * a[r2][c2] - a[r1][c2] * a[r2][c1]) / det;
    }
  const double t[3] = {m[0][3], m[1][3], m[2][3]};
  for (int r = 0; r < 3; ++r)
    m[r][3] = inverse[r][0] * t[0] + inverse[r][1] * t[1] + inverse[r][2] * t[2];
  return m;
}

// Collects the library's warnings and errors: some faults in a file (faces with indices out
// of range) it only warns about, dropping what is wrong.
struct Collector : Assimp::LogStream {
  std::string* text;
  explicit Collector(std::string* t) : text(t) {}
  void write(const char* message) override { *text += message; }
};

// The library's log for the lifetime of one reading.
struct LogScope {
  std::string text;
  LogScope() {
    Assimp::DefaultLogger::create("", Assimp::Logger::NORMAL, 0);
    Assimp::DefaultLogger::get()->attachStream(new Collector(&text),
                                               Assimp::Logger::Err | Assimp::Logger::Warn);
  }
  ~LogScope() { Assimp::DefaultLogger::kill(); }
};

bool Finite(const aiVector3D& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

struct Walker {
  const aiScene& scene;
  const ImportOptions& options;
  Model& model;
  std::string error;
  bool turnedTranslations = TurnsTranslations(scene);

  // Adds the meshes of node and its children, transformed by parent, in part.
  bool Node(const aiNode& node, const Matrix& parent, int part, int depth) {
    if (depth > 256) {
      error = "its nodes nest deeper than 256";
      return false;
    }
    Matrix local = FromLibrary(node.mTransformation);
    if (turnedTranslations) local = TranslationAfterLinearPart(local);
    const Matrix transform = Multiply(parent, local);
    for (std::size_t p = 0; p < options.parts.size(); ++p)
      if (options.parts[p].node == node.mName.C_Str()) part = static_cast<int>(p);
    for (unsigned i = 0; i < node.mNumMeshes; ++i) {
      if (node.mMeshes[i] >= scene.mNumMeshes) {
        error = "a node names mesh " + std::to_string(node.mMeshes[i]) + " of " +
                std::to_string(scene.mNumMeshes);
        return false;
      }
      if (!Mesh(*scene.mMeshes[node.mMeshes[i]], transform, part)) return false;
    }
    for (unsigned c = 0; c < node.mNumChildren; ++c)
      if (node.mChildren[c] && !Node(*node.mChildren[c], transform, part, depth + 1)) return false;
    return true;
  }

  bool Mesh(const aiMesh& mesh, const Matrix& m, int part) {
    ModelMesh out;
    out.name = mesh.mName.length ? mesh.mName.C_Str() : "mesh";
    out.material = static_cast<int>(mesh.mMaterialIndex);
    if (mesh.mMaterialIndex >= scene.mNumMaterials) out.material = -1;
    out.part = part;
    for (unsigned v = 0; v < mesh.mNumVertices; ++v) {
      if (!Finite(mesh.mVertices[v])) {
        error = "mesh '" + out.name + "' has a position that is not a finite number";
        return false;
      }
      const double in[3] = {Decimal(mesh.mVertices[v].x), Decimal(mesh.mVertices[v].y),
                            Decimal(mesh.mVertices[v].z)};
      Vec3 p;
      for (int r = 0; r < 3; ++r)
        p[r] = m[r][0] * in[0] + m[r][1] * in[1] + m[r][2] * in[2] + m[r][3];
      if (!(std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]))) {
        error = "mesh '" + out.name + "' has a position beyond the range of numbers";
        return false;
      }
      out.positions.push_back(p);
      if (mesh.mTextureCoords[0]) {
        const aiVector3D& t = mesh.mTextureCoords[0][v];
        out.uv.push_back(
            {std::isfinite(t.x) ? Decimal(t.x) : 0.0, std::isfinite(t.y) ? Decimal(t.y) : 0.0});
      }
      if (mesh.mColors[0]) {
        const aiColor4D& c = mesh.mColors[0][v];
        auto unit = [](float x) {
          return std::isfinite(x) ? std::fmin(1.0, std::fmax(0.0, Decimal(x))) : 1.0;
        };
        out.colours.push_back({unit(c.r), unit(c.g), unit(c.b)});
      }
    }
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
      const aiFace& face = mesh.mFaces[f];
      for (unsigned k = 0; k < face.mNumIndices; ++k) {
        if (face.mIndices[k] >= mesh.mNumVertices) {
          error = "mesh '" + out.name + "' has an index out of range (" +
                  std::to_string(face.mIndices[k]) + " of " + std::to_string(mesh.mNumVertices) +
                  " vertices)";
          return false;
        }
      }
      if (face.mNumIndices < 3) continue;  // points and lines are not drawn
      out.faces.emplace_back(face.mIndices, face.mIndices + face.mNumIndices);
    }
    if (!out.faces.empty()) model.meshes.push_back(std::move(out));
    return true;
  }
};

// The length of one file unit, where the file or its format says it: glTF and X3D are in
// metres by definition, the library gives Collada in metres (it applies the file's <unit>),
// and an FBX file states its unit in centimetres.
void ReadUnit(const Assimp::Importer& importer, const aiScene& scene, Model& model) {
  const int index = importer.GetPropertyInteger("importerIndex", -1);
  const aiImporterDesc* desc = index >= 0 ? importer.GetImporterInfo(index) : nullptr;
  const std::string format = desc ? desc->mName : "";
  double centimetres = 0;
  float factor = 0;
  if (format.rfind("glTF", 0) == 0) {
    model.metresPerUnit = 1;
    model.unitSource = "glTF is in metres";
  } else if (format.rfind("Extensible 3D", 0) == 0) {
    model.metresPerUnit = 1;
    model.unitSource = "X3D is in metres";
  } else if (format.rfind("Collada", 0) == 0) {
    model.metresPerUnit = 1;
    model.unitSource = "the Collada file states its unit";
  } else if (scene.mMetaData != nullptr &&
             (scene.mMetaData->Get("UnitScaleFactor", centimetres) ||
              (scene.mMetaData->Get("UnitScaleFactor", factor) && (centimetres = factor) > 0)) &&
             std::isfinite(centimetres) && centimetres > 0) {
    model.metresPerUnit = centimetres / 100;
    model.unitSource = "the FBX file states its unit";
  }
}

// The library's error as one line, or what its log says of faces out of range.
std::string LibraryError(const Assimp::Importer& importer, const std::string& log) {
  std::string reason = importer.GetErrorString();
  if (reason.find('\n') != std::string::npos) reason.resize(reason.find('\n'));
  if (log.find("out-of-range indices") != std::string::npos)
    return "it has faces with indices out of range";
  if (reason.find("bad_alloc") != std::string::npos) return "the model library ran out of memory";
  return "the model library cannot read it" + (reason.empty() ? "" : ": " + reason);
}

// Checks that every --part names a node with polygons under it and that there are polygons.
bool CheckMeshes(const ImportOptions& options, const Model& model, std::string& error) {
  for (std::size_t p = 0; p < options.parts.size(); ++p) {
    bool found = false;
    for (const ModelMesh& mesh : model.meshes) found = found || mesh.part == static_cast<int>(p);
    if (!found) {
      error = "--part: no node named '" + options.parts[p].node + "' with polygons under it";
      return false;
    }
  }
  if (model.meshes.empty()) {
    error = "it has no polygons (points or lines only, or nothing)";
    return false;
  }
  return true;
}

}  // namespace

bool LoadModel(const ImportOptions& options, Model& model, std::string& error) {
  LogScope log;
  Assimp::Importer importer;
  importer.SetIOHandler(new TextAwareIOSystem);
  // Points and lines are dropped; polygons stay whole (the tool triangulates only those that
  // are not flat and convex).
  importer.SetPropertyInteger(AI_CONFIG_PP_SBP_REMOVE,
                              aiPrimitiveType_POINT | aiPrimitiveType_LINE);
  const aiScene* scene = importer.ReadFile(
      options.model, aiProcess_ValidateDataStructure | aiProcess_JoinIdenticalVertices);
  if (scene == nullptr || scene->mRootNode == nullptr ||
      (scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE) ||
      log.text.find("out-of-range indices") != std::string::npos) {
    error = LibraryError(importer, log.text);
    return false;
  }
  bool zUp = options.up == 'z';
  FileSaysUp(*scene, zUp);
  ReadUnit(importer, *scene, model);
  ReadMaterials(*scene, options.model, model);
  Walker walker{*scene, options, model, {}};
  if (!walker.Node(*scene->mRootNode, ToSceneAxes(zUp), kNoPart, 0)) {
    error = walker.error;
    return false;
  }
  return CheckMeshes(options, model, error);
}
