// Model placement and the new scene's ground, sky and start view.
#include "place.h"

#include <algorithm>
#include <cmath>

#include "start.h"

namespace {

constexpr double kDegToRad = 0.017453292519943295;
constexpr double kEyeHeight = 17;  // a person's eye, as in the demo city

}  // namespace

Bounds ModelBounds(const Model& model, int part) {
  Bounds b;
  bool first = true;
  for (const ModelMesh& mesh : model.meshes) {
    if (part != -11 && mesh.part != part) continue;
    for (const Vec3& p : mesh.positions) {
      for (int k = 0; k < 3; ++k) {
        b.min[k] = first ? p[k] : std::min(b.min[k], p[k]);
        b.max[k] = first ? p[k] : std::max(b.max[k], p[k]);
      }
      first = false;
    }
  }
  return b;
}

ModelScale ChooseScale(const ImportOptions& options, const Model& model) {
  if (options.scale > 0) return {options.scale, "--scale", false};
  if (options.metresPerUnit > 0)
    return {10 * options.metresPerUnit, "--unit " + options.unitName, false};
  if (model.metresPerUnit > 0) return {10 * model.metresPerUnit, model.unitSource, false};
  return {1, "the file does not say its unit", true};
}

bool PlaceModel(Model& model, const ImportOptions& options, ModelScale& scale, double ground,
                double heading, double dx, double dz, std::string& error) {
  const Bounds b = ModelBounds(model);
  if (options.size > 0) {
    const double extent = std::max(b.max[0] - b.min[0], b.max[2] - b.min[2]);
    if (!(extent > 0)) {
      error = "--size: the model has no horizontal extent";
      return false;
    }
    scale = {options.size / extent, "--size", false};
  }
  const double cx = (b.min[0] + b.max[0]) / 2, cz = (b.min[2] + b.max[2]) / 2;
  const double turn = (heading + options.turn) * kDegToRad;
  const double c = std::cos(turn), s = std::sin(turn), f = scale.factor;
  for (ModelMesh& mesh : model.meshes) {
    for (Vec3& p : mesh.positions) {
      const double x = (p[0] - cx) * f, y = (p[1] - b.max[1]) * f + ground, z = (p[2] - cz) * f;
      p = {x * c - z * s + dx, y, x * s + z * c + dz};
      if (!(std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]) &&
            std::fabs(p[0]) < 1e6 && std::fabs(p[1]) < 1e6 && std::fabs(p[2]) < 1e6)) {
        error = "placed, the model reaches beyond a million units";
        return false;
      }
    }
  }
  return true;
}

namespace {

// The start view of a new scene in front of the model: its ball seen under less than the half
// field of view (30 degrees) with room to spare, and the eye outside the posts a ring around
// the model would have. Returns the half side of the ground square.
double StartInFront(const Bounds& b, SceneSettingsSpec& s) {
  const double cx = (b.min[0] + b.max[0]) / 2, cz = (b.min[2] + b.max[2]) / 2;
  const double height = b.max[1] - b.min[1];
  const double radius = std::sqrt((b.max[0] - b.min[0]) * (b.max[0] - b.min[0]) + height * height +
                                  (b.max[2] - b.min[2]) * (b.max[2] - b.min[2])) /
                        2;
  const double distance = std::max(2.2 * radius, radius + 2 * s.collisionRadius + 2);
  const double half = std::max({500.0, 4 * distance, std::fabs(b.min[0] - cx) + distance,
                                std::fabs(b.min[2] - cz) + distance});
  s.bodyX = cx;
  s.bodyY = -kEyeHeight;
  s.bodyZ = cz - distance;  // in front of the model (its front faces -z), looking at it
  s.startHeadingDeg = 180;
  s.startTargetX = cx;
  s.startTargetY = (b.min[1] + b.max[1]) / 2;
  s.startTargetZ = cz;
  s.farPlane = std::max(2000.0, std::ceil(4 * half));
  return half;
}

// The start view on a large model, looking level along its flat area. Returns the half side
// of the ground square, 0 when the model has no flat area.
double StartOnModel(const Bounds& b, const std::vector<std::vector<Polygon>>& polygons,
                    SceneSettingsSpec& s) {
  StartPlace start;
  if (!FindStartOnModel(b, polygons, start)) return 0;
  const double h = start.headingDeg * kDegToRad, ahead = 100;
  s.bodyX = start.x;
  s.bodyY = start.surfaceY - kEyeHeight;
  s.bodyZ = start.z;
  s.startHeadingDeg = start.headingDeg;
  s.startTargetX = start.x + ahead * std::sin(h);
  s.startTargetY = s.bodyY;
  s.startTargetZ = start.z - ahead * std::cos(h);
  const double width = b.max[0] - b.min[0], depth = b.max[2] - b.min[2];
  s.farPlane = std::max(2000.0, std::ceil(1.2 * std::hypot(width, depth)));
  return std::max(500.0, std::max(width, depth) / 2 + 1000);
}

}  // namespace

SceneSpec NewScene(const Bounds& b, const std::vector<std::vector<Polygon>>& polygons) {
  SceneSpec scene;
  SceneSettingsSpec& s = scene.settings;
  const double cx = (b.min[0] + b.max[0]) / 2, cz = (b.min[2] + b.max[2]) / 2;
  s.fieldOfView = 60;
  s.turnStyle = 2;
  s.ControlMode = kModeWalk;
  double half = 0;
  if (std::max(b.max[0] - b.min[0], b.max[2] - b.min[2]) > kStartInsideExtent)
    half = StartOnModel(b, polygons, s);
  if (half == 0) half = StartInFront(b, s);
  s.clearRed = 0.55;
  s.clearGreen = 0.72;
  s.clearBlue = 0.92;
  AddPolygon(scene.plainList,
             {{cx - half, 0, cz - half},
              {cx + half, 0, cz - half},
              {cx + half, 0, cz + half},
              {cx - half, 0, cz + half}},
             0.42, 0.45, 0.38);
  return scene;
}

std::vector<std::pair<double, double>> FootprintPosts(const Bounds& b, double radius) {
  std::vector<std::pair<double, double>> posts;
  const double x0 = b.min[0], x1 = b.max[0], z0 = b.min[2], z1 = b.max[2];
  auto side = [&](double ax, double az, double bx, double bz) {
    const double length = std::hypot(bx - ax, bz - az);
    const int steps = std::max(1, static_cast<int>(std::ceil(length / (1.5 * radius))));
    for (int k = 0; k < steps; ++k)
      posts.emplace_back(ax + (bx - ax) * k / steps, az + (bz - az) * k / steps);
  };
  side(x0, z0, x1, z0);
  side(x1, z0, x1, z1);
  side(x1, z1, x0, z1);
  side(x0, z1, x0, z0);
  return posts;
}
