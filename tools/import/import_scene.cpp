// The import from start to end: every check comes before the first file is written.
#include "import_scene.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>

#include "bmp.h"
#include "lists.h"
#include "output_files.h"
#include "place.h"
#include "scene/reader.h"
#include "scene_from_tables.h"
#include "textures.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kStaticBudget = 100001, kObjectBudget = 2000, kAvatarBudget = 6501;
constexpr int kMaxObjects = 50;

// The warnings of a reading, without their places, to tell new ones from old ones.
std::multiset<std::string> Warnings(const SceneDiagnostics& diag) {
  std::multiset<std::string> out;
  for (const SceneDiagnostic& d : diag.items)
    if (d.severity == SceneSeverity::kWarning) out.insert(d.message);
  return out;
}

// The first error of a reading as "LINE:COLUMN: message", "" when there is none.
std::string FirstError(const SceneDiagnostics& diag) {
  for (const SceneDiagnostic& d : diag.items)
    if (d.severity == SceneSeverity::kError)
      return std::to_string(d.line) + ":" + std::to_string(d.column) + ": " + d.message;
  return diag.streamFailed ? "reading stops early" : "";
}

// A file name for the bitmap of material in dir: the model's name and the material's
// number, letters and digits only, not yet taken.
std::string BitmapName(const std::string& dir, const std::string& model, int material,
                       std::set<std::string>& taken) {
  std::string stem;
  for (char c : fs::path(model).stem().string())
    stem += (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_') ? c : '_';
  if (stem.empty()) stem = "model";
  // Appended piece by piece: GCC 12 at -O3 warns wrongly (-Wrestrict) of "-" + std::string.
  stem += '-';
  stem += std::to_string(material);
  std::string name = stem + ".bmp";
  std::error_code ec;
  for (int k = 2; taken.count(name) || fs::exists(fs::path(dir) / name, ec); ++k)
    name = stem + "-" + std::to_string(k) + ".bmp";
  taken.insert(name);
  return name;
}

// The seven rows of a swinging part about pivot: still where rows says not, swinging by
// the option's degrees about its axis over its frames where it says so.
ScenePartSpec PartRows(const PartOption& option, const Vec3& pivot) {
  ScenePartSpec part;
  for (int m = 0; m < 7; ++m) {
    ScenePartRowSpec& r = part[m];
    r.offsetX = pivot[0];
    r.offsetY = pivot[1];
    r.offsetZ = pivot[2];
    r.steps = option.frames;
    if (std::find(option.rows.begin(), option.rows.end(), m) == option.rows.end()) continue;
    (option.axis == 'x' ? r.swingX : option.axis == 'y' ? r.swingY : r.swingZ) = option.degrees;
  }
  return part;
}

std::vector<ScenePartSpec> Parts(const Model& model, const ImportOptions& options) {
  std::vector<ScenePartSpec> parts;
  for (std::size_t p = 0; p < options.parts.size(); ++p) {
    const Bounds b = ModelBounds(model, static_cast<int>(p));
    parts.push_back(PartRows(
        options.parts[p],
        {(b.min[0] + b.max[0]) / 2, (b.min[1] + b.max[1]) / 2, (b.min[2] + b.max[2]) / 2}));
  }
  return parts;
}

struct Bitmaps {
  std::vector<std::string> names;  // by material, "" untextured
  std::vector<OutputFile> files;
  std::string notes;  // textures that could not be read
};

// Decodes the textures the model's textured meshes use and plans their bitmaps.
Bitmaps PlanBitmaps(const Model& model, const ImportOptions& options, const std::string& dir) {
  Bitmaps out;
  out.names.assign(model.materials.size(), "");
  std::set<std::string> taken;
  std::vector<bool> wanted(model.materials.size(), false);
  for (const ModelMesh& mesh : model.meshes)
    if (mesh.material >= 0 && !mesh.uv.empty()) wanted[mesh.material] = true;
  for (std::size_t m = 0; m < model.materials.size(); ++m) {
    const ModelMaterial& material = model.materials[m];
    if (!wanted[m] || !material.textured) continue;
    auto picture = std::make_shared<TexturePicture>();
    std::string error;
    if (!DecodeTexture(model, material, *picture, error)) {
      out.notes += "citywalk-import: " + options.model + ": texture '" + material.texture.label +
                   "': " + error + "; its polygons are drawn in their colour\n";
      continue;
    }
    out.names[m] = BitmapName(dir, options.model, static_cast<int>(m), taken);
    out.files.push_back(
        {(fs::path(dir) / out.names[m]).string(), [picture](const std::string& path) {
           return WriteBmp(path, picture->width, picture->height, picture->rgbaBottomUp);
         }});
  }
  return out;
}

}  // namespace

bool ImportIntoScene(const ImportOptions& options, ImportReport& report, std::string& error) {
  // The scene as it is, read by the program's own reader.
  std::string scenePath = FindSceneFile(options.dir);
  const bool existing = !scenePath.empty();
  SceneSpec scene;
  SceneDiagnostics before;
  if (existing) {
    if (!ReadSceneFile(scenePath, &before)) {
      error = scenePath + ": cannot read it";
      return false;
    }
    const std::string problem = FirstError(before);
    if (!problem.empty()) {
      error = scenePath + ":" + problem + " (the scene must read cleanly before a model joins it)";
      return false;
    }
    scene = SceneSpecFromTables();
  } else {
    scenePath = (fs::path(options.dir) / kSceneFileName).string();
  }

  Model model;
  if (!LoadModel(options, model, error)) {
    error = options.model + ": " + error;
    return false;
  }
  // Placement: static models where --at says, objects and the avatar about their own origin
  // (the avatar standing on the ground below the body point).
  const bool isStatic = options.as == ImportAs::kStatic;
  const bool isAvatar = options.as == ImportAs::kAvatar;
  double ground = 0;
  if (isAvatar) {
    const double body = existing ? scene.settings.bodyY : -17;
    ground = std::isfinite(body) && std::fabs(body) < 1e5 ? -body : 0;
  }
  if (!PlaceModel(model, options, ground, options.as == ImportAs::kObject ? 0 : options.heading,
                  isStatic ? options.atX : 0, isStatic ? options.atZ : 0, error)) {
    error = options.model + ": " + error;
    return false;
  }
  Bounds placed = ModelBounds(model);
  if (!isStatic)
    for (int k : {0, 2}) {
      placed.min[k] += k == 0 ? options.atX : options.atZ;
      placed.max[k] += k == 0 ? options.atX : options.atZ;
    }
  if (!existing) scene = NewScene(placed);

  // The budget: what the list has room for, and --max-vertices.
  std::size_t budget = isStatic   ? kStaticBudget - std::min(kStaticBudget, scene.staticList.size())
                       : isAvatar ? kAvatarBudget
                                  : kObjectBudget;
  if (options.maxVertices > 0)
    budget = std::min(budget, static_cast<std::size_t>(options.maxVertices));
  if (options.as == ImportAs::kObject && scene.objects.size() >= kMaxObjects) {
    error = scenePath + ": the scene has " + std::to_string(kMaxObjects) + " objects already";
    return false;
  }
  if (budget < 3) {
    error = scenePath + ": the static list is full (100001 vertices)";
    return false;
  }
  if (NeedsPartLead(model)) budget -= std::min(budget - 3, kPartLead);
  std::vector<std::vector<Polygon>> polygons;
  std::string note;
  if (!FitBudget(model, budget, polygons, note, error)) {
    error = options.model + ": " + error;
    return false;
  }
  Bitmaps bitmaps = PlanBitmaps(model, options, options.dir);
  const std::vector<SceneVertexSpec> list = VertexList(model, polygons, bitmaps.names);

  if (isStatic) {
    scene.staticList.insert(scene.staticList.end(), list.begin(), list.end());
    if (options.posts) {
      const double r = scene.settings.collisionRadius;
      if (!(r > 0 && std::isfinite(r)) ||
          (placed.max[0] - placed.min[0] + placed.max[2] - placed.min[2]) / r > 1e5) {
        error = scenePath +
                ": --posts needs a collisionRadius that is positive and not tiny "
                "beside the model";
        return false;
      }
      for (const auto& post : FootprintPosts(placed, r)) scene.posts.push_back(post);
    }
  } else if (options.as == ImportAs::kObject) {
    SceneObjectSpec object;
    object.flagA = options.avoidPosts ? 1 : 0;
    object.x = options.atX;
    object.z = options.atZ;
    object.targetX = options.atX;
    object.targetZ = options.atZ;
    object.headingDeg = options.heading;
    object.vertices = list;
    object.maxSpeed = options.speed;
    const Bounds local = ModelBounds(model);
    object.clearance = options.clearance >= 0
                           ? options.clearance
                           : std::min(local.max[0] - local.min[0], local.max[2] - local.min[2]) / 2;
    object.parts = Parts(model, options);
    scene.objects.push_back(object);
    scene.objectVertexMax = std::max(scene.objectVertexMax, static_cast<int>(list.size()));
  } else {
    scene.avatarList = list;
    scene.avatarHeadingOffset = 0;
    scene.avatarParts = Parts(model, options);
  }

  // The new scene must read back as cleanly as the old one did.
  const std::string text = WriteSceneText(scene);
  SceneDiagnostics after;
  ReadSceneText(text.data(), text.size(), scenePath, &after);
  const std::string problem = FirstError(after);
  if (!problem.empty()) {
    error = scenePath + ": with the model the scene would not read: " + problem;
    return false;
  }
  std::multiset<std::string> fresh = Warnings(after);
  for (const std::string& w : Warnings(before)) {
    const auto found = fresh.find(w);
    if (found != fresh.end()) fresh.erase(found);
  }
  if (!fresh.empty()) {
    error = scenePath + ": with the model the scene would have a fault: " + *fresh.begin();
    return false;
  }

  std::vector<OutputFile> files = bitmaps.files;
  files.push_back(
      {scenePath, [&text](const std::string& path) { return WriteFileBytes(path, text); }});
  if (!WriteAllOrNothing(files, error)) return false;
  std::fputs(bitmaps.notes.c_str(), stderr);

  // The report.
  std::string& out = report.text;
  if (!note.empty()) out += options.model + ": " + note + "\n";
  std::set<std::string> written;
  for (std::size_t m = 0; m < model.meshes.size(); ++m) {
    const ModelMesh& mesh = model.meshes[m];
    std::size_t vertices = 0;
    for (const Polygon& p : polygons[m]) vertices += p.corners.size();
    if (vertices == 0) continue;  // simplified away
    out += "mesh " + mesh.name + ": " + std::to_string(vertices) + " vertices, " +
           std::to_string(polygons[m].size()) + " polygons";
    const std::string bitmap =
        mesh.material >= 0 && !mesh.uv.empty() ? bitmaps.names[mesh.material] : "";
    if (!bitmap.empty() && written.insert(bitmap).second) out += ", bitmap " + bitmap + " written";
    if (mesh.part != kNoPart) out += ", part " + std::to_string(mesh.part);
    out += "\n";
  }
  out += std::string(existing ? "scene " : "new scene ") + scenePath + ": " +
         std::to_string(scene.staticList.size()) + " static vertices, " +
         std::to_string(scene.plainList.size()) + " plain, " +
         std::to_string(scene.avatarList.size()) + " avatar, " +
         std::to_string(scene.objects.size()) + " objects, " + std::to_string(scene.posts.size()) +
         " posts, " + std::to_string(bitmaps.files.size()) + " bitmaps written\n";
  return true;
}
