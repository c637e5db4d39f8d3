// Sizes, then the values, in the machine's own order: both ends are the same program.
#include "model_wire.h"

#include <cstring>
#include <type_traits>

namespace {

struct Writer {
  std::string out;
  template <typename T>
  void Plain(const T& value) {
    static_assert(std::is_trivially_copyable_v<T>);
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
  }
  template <typename T>
  void Plains(const std::vector<T>& values) {
    Plain(values.size());
    if (!values.empty())
      out.append(reinterpret_cast<const char*>(values.data()), values.size() * sizeof(T));
  }
  void Text(const std::string& text) {
    Plain(text.size());
    out += text;
  }
};

struct Reader {
  const std::string& in;
  std::size_t at = 0;
  bool ok = true;
  template <typename T>
  void Plain(T& value) {
    if (!ok || in.size() - at < sizeof value) {
      ok = false;
      return;
    }
    std::memcpy(&value, in.data() + at, sizeof value);
    at += sizeof value;
  }
  // A count of items of size bytes each that the bytes left can hold.
  std::size_t Count(std::size_t size) {
    std::size_t n = 0;
    Plain(n);
    if (ok && n > (in.size() - at) / (size ? size : 1)) ok = false;
    return ok ? n : 0;
  }
  template <typename T>
  void Plains(std::vector<T>& values) {
    values.resize(Count(sizeof(T)));
    if (!ok || values.empty()) return;
    std::memcpy(values.data(), in.data() + at, values.size() * sizeof(T));
    at += values.size() * sizeof(T);
  }
  void Text(std::string& text) {
    text.assign(in, at, Count(1));
    at += text.size();
  }
};

// Each field of a mesh, a material and a picture, for writing and reading alike.
template <typename Io, typename Mesh>
void MeshFields(Io& io, Mesh& mesh) {
  io.Text(mesh.name);
  io.Plain(mesh.material);
  io.Plain(mesh.part);
  io.Plains(mesh.positions);
  io.Plains(mesh.uv);
  io.Plains(mesh.colours);
}

template <typename Io, typename Material>
void MaterialFields(Io& io, Material& material) {
  io.Text(material.name);
  io.Plain(material.colour);
  io.Plain(material.textured);
  io.Text(material.textureLabel);
  io.Plain(material.picture);
  io.Text(material.textureProblem);
}

template <typename Io, typename Picture>
void PictureFields(Io& io, Picture& picture) {
  io.Text(picture.name);
  io.Plain(picture.width);
  io.Plain(picture.height);
  io.Plains(picture.rgbaBottomUp);
}

}  // namespace

std::string ModelBytes(const Model& model) {
  Writer w;
  w.Plain(model.meshes.size());
  for (const ModelMesh& mesh : model.meshes) {
    MeshFields(w, mesh);
    w.Plain(mesh.faces.size());
    for (const std::vector<unsigned>& face : mesh.faces) w.Plains(face);
  }
  w.Plain(model.materials.size());
  for (const ModelMaterial& material : model.materials) MaterialFields(w, material);
  w.Plain(model.pictures.size());
  for (const TexturePicture& picture : model.pictures) PictureFields(w, picture);
  w.Plain(model.metresPerUnit);
  w.Text(model.unitSource);
  return w.out;
}

bool ModelFromBytes(const std::string& bytes, Model& model) {
  Reader r{bytes};
  model.meshes.resize(r.Count(1));
  for (ModelMesh& mesh : model.meshes) {
    MeshFields(r, mesh);
    mesh.faces.resize(r.Count(sizeof(std::size_t)));
    for (std::vector<unsigned>& face : mesh.faces) r.Plains(face);
  }
  model.materials.resize(r.Count(1));
  for (ModelMaterial& material : model.materials) MaterialFields(r, material);
  model.pictures.resize(r.Count(1));
  for (TexturePicture& picture : model.pictures) PictureFields(r, picture);
  r.Plain(model.metresPerUnit);
  r.Text(model.unitSource);
  return r.ok && r.at == bytes.size();
}
