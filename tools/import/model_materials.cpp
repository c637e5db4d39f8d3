// Materials and their textures.
#include "model_materials.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "texture_paths.h"

namespace {

// A colour channel within 0..1 (1 when it is not a number).
double Unit(float x) { return std::isfinite(x) ? std::fmin(1.0, std::fmax(0.0, Decimal(x))) : 1.0; }

// The embedded texture's picture: raw texels as they are, a compressed one decoded.
bool EmbeddedPicture(const aiTexture& texture, const std::string& modelName,
                     TexturePicture& picture, std::string& error) {
  if (texture.mHeight == 0) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(texture.pcData);
    return DecodePicture({data, texture.mWidth}, modelName, picture, error);
  }
  if (texture.mWidth > kMaxSourceSide || texture.mHeight > kMaxSourceSide) {
    error = "larger than " + std::to_string(kMaxSourceSide) + " pixels a side";
    return false;
  }
  std::vector<std::uint8_t> rgba;
  for (unsigned i = 0; i < texture.mWidth * texture.mHeight; ++i) {
    const aiTexel& p = texture.pcData[i];
    rgba.insert(rgba.end(), {p.r, p.g, p.b, p.a});
  }
  picture = PictureFromTopDown(rgba.data(), static_cast<int>(texture.mWidth),
                               static_cast<int>(texture.mHeight));
  picture.name = modelName;
  return true;
}

// A texture file's picture.
bool FilePicture(const std::string& path, TexturePicture& picture, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
  if (!in.good() && !in.eof()) {
    error = "cannot read it";
    return false;
  }
  return DecodePicture(bytes, std::filesystem::path(path).filename().string(), picture, error);
}

// Decodes the texture of material m once per distinct source (a file's path, or "*N" for
// embedded texture N), the outcome kept in decoded.
struct TextureDecoder {
  const aiScene& scene;
  std::string modelDir, modelName;
  Model& model;
  std::map<std::string, std::pair<int, std::string>> decoded;  // source -> picture, problem

  void Decode(ModelMaterial& material, const std::string& path) {
    std::string source;
    int embedded = -1;
    if (const aiTexture* texture = scene.GetEmbeddedTexture(path.c_str())) {
      for (unsigned t = 0; t < scene.mNumTextures; ++t)
        if (scene.mTextures[t] == texture) embedded = static_cast<int>(t);
      // Appended piece by piece: GCC 12 at -O3 warns wrongly (-Wrestrict) of "*" + std::string.
      source = '*';
      source += std::to_string(embedded);
    } else {
      source = FindTextureFile(modelDir, path);
    }
    if (source.empty()) {
      material.textureProblem = "missing";
      return;
    }
    auto found = decoded.find(source);
    if (found == decoded.end()) {
      TexturePicture picture;
      std::string error;
      const bool ok = embedded >= 0
                          ? EmbeddedPicture(*scene.mTextures[embedded], modelName, picture, error)
                          : FilePicture(source, picture, error);
      int index = -1;
      if (ok) {
        index = static_cast<int>(model.pictures.size());
        model.pictures.push_back(std::move(picture));
      }
      found = decoded.emplace(source, std::make_pair(index, ok ? "" : "cannot decode it: " + error))
                  .first;
    }
    material.picture = found->second.first;
    material.textureProblem = found->second.second;
  }
};

}  // namespace

double Decimal(float value) {
  char buffer[32];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  double out = value;
  std::from_chars(buffer, end, out);
  return out;
}

void ReadMaterials(const aiScene& scene, const std::string& modelPath, Model& model) {
  const std::filesystem::path file(modelPath);
  TextureDecoder decoder{scene, file.parent_path().string(), file.filename().string(), model, {}};
  for (unsigned m = 0; m < scene.mNumMaterials; ++m) {
    const aiMaterial& source = *scene.mMaterials[m];
    ModelMaterial material;
    aiString name;
    if (source.Get(AI_MATKEY_NAME, name) == AI_SUCCESS) material.name = name.C_Str();
    aiColor4D colour(1, 1, 1, 1);
    if (source.Get(AI_MATKEY_COLOR_DIFFUSE, colour) != AI_SUCCESS)
      source.Get(AI_MATKEY_BASE_COLOR, colour);
    material.colour = {Unit(colour.r), Unit(colour.g), Unit(colour.b)};
    aiString path;
    if (source.GetTexture(aiTextureType_DIFFUSE, 0, &path) == AI_SUCCESS ||
        source.GetTexture(aiTextureType_BASE_COLOR, 0, &path) == AI_SUCCESS) {
      material.textured = true;
      material.textureLabel = path.C_Str();
      decoder.Decode(material, path.C_Str());
    }
    model.materials.push_back(std::move(material));
  }
}
