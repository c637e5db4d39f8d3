// The import from start to end, step by step: every check comes before the first file is
// written.
#include "import_scene.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "bitmaps.h"
#include "guarded_read.h"
#include "lists.h"
#include "output_files.h"
#include "place.h"
#include "report.h"
#include "scene/reader.h"
#include "scene_from_tables.h"
#include "scene_readback.h"

namespace fs = std::filesystem;

namespace {

// The lists' capacities: what the reader takes (scene/scene.h).
constexpr std::size_t kStaticBudget = kStaticNameSlots;
constexpr std::size_t kObjectBudget = kObjectVertexRows - 1;
constexpr std::size_t kAvatarBudget = kAvatarNameSlots;

// The seven rows of a swinging part about pivot: still where rows says not, swinging by
// the option's degrees about its axis over its frames where it says so.
ScenePartSpec PartRows(const PartOption& option, const Vec3& pivot) {
  ScenePartSpec part;
  for (int m = 0; m < kMotionStates; ++m) {
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

// Each --part's rows, pivoting about the middle of its meshes.
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

// One import's state as its steps fill it in.
struct Import {
  const ImportOptions& options;
  std::string& error;
  std::string scenePath;
  bool existing = false;
  SceneSpec scene;
  SceneDiagnostics before;
  Model model;
  ModelScale scale;
  Bounds placed;
  std::vector<std::vector<Polygon>> polygons;
  std::string simplified;
  BitmapPlan bitmaps;
  std::vector<std::string> bitmapByMaterial;

  Import(const ImportOptions& o, std::string& e) : options(o), error(e) {}

  bool Refuse(const std::string& file, const std::string& why) {
    error = file + ": " + why;
    return false;
  }

  // The scene as it is, read by the program's own reader; it must read cleanly.
  bool ReadScene() {
    scenePath = FindSceneFile(options.dir);
    existing = !scenePath.empty();
    if (!existing) {
      scenePath = (fs::path(options.dir) / kSceneFileName).string();
      return true;
    }
    if (!ReadSceneFile(scenePath, &before)) return Refuse(scenePath, "cannot read it");
    const std::string problem = FirstSceneError(before);
    if (!problem.empty())
      return Refuse(scenePath + ":" + problem,
                    "the scene must read cleanly before a model joins it");
    scene = SceneSpecFromTables();
    return true;
  }

  // Scales and places the model: static models where --at says, objects and the avatar about
  // their own origin (the avatar standing on the ground below the body point).
  bool Place() {
    const bool isStatic = options.as == ImportAs::kStatic;
    double ground = 0;
    if (options.as == ImportAs::kAvatar) {
      const double body = existing ? scene.settings.bodyY : -17;
      ground = std::isfinite(body) && std::fabs(body) < 1e5 ? -body : 0;
    }
    scale = ChooseScale(options, model);
    if (!PlaceModel(model, options, scale, ground,
                    options.as == ImportAs::kObject ? 0 : options.heading,
                    isStatic ? options.atX : 0, isStatic ? options.atZ : 0, error))
      return Refuse(options.model, error);
    placed = ModelBounds(model);
    if (!isStatic)
      for (int k : {0, 2}) {
        placed.min[k] += k == 0 ? options.atX : options.atZ;
        placed.max[k] += k == 0 ? options.atX : options.atZ;
      }
    return true;
  }

  // Fits the model's polygons to what its list has room for and --max-vertices.
  bool Fit() {
    const bool isStatic = options.as == ImportAs::kStatic;
    std::size_t budget = isStatic ? kStaticBudget - std::min(kStaticBudget, scene.staticList.size())
                         : options.as == ImportAs::kAvatar ? kAvatarBudget
                                                           : kObjectBudget;
    if (options.maxVertices > 0)
      budget = std::min(budget, static_cast<std::size_t>(options.maxVertices));
    if (options.as == ImportAs::kObject && scene.objects.size() >= kObjectSlots)
      return Refuse(scenePath,
                    "the scene has " + std::to_string(kObjectSlots) + " objects already");
    if (budget < 3)
      return Refuse(scenePath,
                    "the static list is full (" + std::to_string(kStaticBudget) + " vertices)");
    if (NeedsPartLead(model)) budget -= std::min(budget - 3, kPartLead);
    if (!FitBudget(model, budget, polygons, simplified, error)) return Refuse(options.model, error);
    return true;
  }

  // The bitmaps of the pictures that textured meshes show, and each material's bitmap.
  void PlanModelBitmaps() {
    std::vector<bool> used(model.pictures.size(), false);
    for (std::size_t m = 0; m < model.meshes.size(); ++m) {
      const ModelMesh& mesh = model.meshes[m];
      if (mesh.material < 0 || mesh.uv.empty() || polygons[m].empty()) continue;
      const int picture = model.materials[mesh.material].picture;
      if (picture >= 0) used[picture] = true;
    }
    bitmaps = PlanBitmaps(model, used, options.dir);
    for (const ModelMaterial& material : model.materials)
      bitmapByMaterial.push_back(material.picture >= 0 ? bitmaps.names[material.picture] : "");
  }

  bool AddToScene();
  bool CheckAndWrite();
  void Report(ImportReport& report);
};

// Adds the model's vertex list to the scene as scenery (with its posts), an object or the
// avatar.
bool Import::AddToScene() {
  const std::vector<SceneVertexSpec> list = VertexList(model, polygons, bitmapByMaterial);
  if (!existing) scene = NewScene(placed, polygons);
  if (options.as == ImportAs::kStatic) {
    scene.staticList.insert(scene.staticList.end(), list.begin(), list.end());
    if (!options.posts) return true;
    const double r = scene.settings.collisionRadius;
    if (!(r > 0 && std::isfinite(r)) ||
        (placed.max[0] - placed.min[0] + placed.max[2] - placed.min[2]) / r > 1e5)
      return Refuse(scenePath,
                    "--posts needs a collisionRadius that is positive and not tiny beside the "
                    "model");
    for (const auto& post : FootprintPosts(placed, r)) scene.posts.push_back(post);
  } else if (options.as == ImportAs::kObject) {
    SceneObjectSpec object;
    object.flagA = options.avoidPosts ? 1 : 0;
    object.x = object.targetX = options.atX;
    object.z = object.targetZ = options.atZ;
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
  return true;
}

// The new scene must read back as cleanly as the old one did; then the bitmaps and the scene
// are written, all or nothing.
bool Import::CheckAndWrite() {
  const std::string text = WriteSceneText(scene);
  std::string problem;
  if (!ReadsBackAsCleanly(text, scenePath, before, problem))
    return Refuse(scenePath, "with the model the scene would have a fault: " + problem);
  std::vector<OutputFile> files = bitmaps.files;
  files.push_back(
      {scenePath, [&text](const std::string& path) { return WriteFileBytes(path, text); }});
  return WriteAllOrNothing(files, error);
}

// The summaries (with --verbose the mesh lines first) and the problems.
void Import::Report(ImportReport& report) {
  if (options.verbose) report.summary += MeshLines(model, polygons, bitmapByMaterial);
  report.summary += ModelSummary(options.model, model, polygons, simplified, bitmaps, scale);
  report.summary += std::string(existing ? "scene " : "new scene ") + scenePath + ": " +
                    std::to_string(scene.staticList.size()) + " static vertices, " +
                    std::to_string(scene.plainList.size()) + " plain, " +
                    std::to_string(scene.avatarList.size()) + " avatar, " +
                    std::to_string(scene.objects.size()) + " objects, " +
                    std::to_string(scene.posts.size()) + " posts\n";
  report.problems += ProblemLines(options.model, model, scale);
}

}  // namespace

bool ImportIntoScene(const ImportOptions& options, ImportReport& report, std::string& error) {
  Import run(options, error);
  std::string log;
  if (!run.ReadScene()) return false;
  const bool read = LoadModelGuarded(options, run.model, error, log);
  if (options.verbose) report.problems += log;  // what the reading process said
  if (!read) return run.Refuse(options.model, error);
  if (!run.Place() || !run.Fit()) return false;
  run.PlanModelBitmaps();
  if (!run.AddToScene() || !run.CheckAndWrite()) return false;
  run.Report(report);
  return true;
}
