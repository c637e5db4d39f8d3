// Model placement and the new scene's ground, sky and start view.
#include "place.h"

#include <algorithm>
#include <cmath>

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

bool PlaceModel(Model& model, const ImportOptions& options, double ground, double heading,
                double dx, double dz, std::string& error) {
  const Bounds b = ModelBounds(model);
  double scale = options.scale;
  if (options.size > 0) {
    const double extent = std::max(b.max[0] - b.min[0], b.max[2] - b.min[2]);
    if (!(extent > 0)) {
      error = "--size: the model has no horizontal extent";
      return false;
    }
    scale = options.size / extent;
  }
  const double cx = (b.min[0] + b.max[0]) / 2, cz = (b.min[2] + b.max[2]) / 2;
  const double turn = (heading + options.turn) * kDegToRad;
  const double c = std::cos(turn), s = std::sin(turn);
  for (ModelMesh& mesh : model.meshes) {
    for (Vec3& p : mesh.positions) {
      const double x = (p[0] - cx) * scale, y = (p[1] - b.max[1]) * scale + ground,
                   z = (p[2] - cz) * scale;
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

SceneSpec NewScene(const Bounds& b) {
  SceneSpec scene;
  SceneSettingsSpec& s = scene.settings;
  const double cx = (b.min[0] + b.max[0]) / 2, cz = (b.min[2] + b.max[2]) / 2;
  const double height = b.max[1] - b.min[1];
  const double radius = std::sqrt((b.max[0] - b.min[0]) * (b.max[0] - b.min[0]) + height * height +
                                  (b.max[2] - b.min[2]) * (b.max[2] - b.min[2])) /
                        2;
  // The model's ball seen under less than the half field of view (30 degrees) with room
  // to spare, and the eye outside the posts a ring around the model would have.
  const double distance = std::max(2.2 * radius, radius + 2 * s.collisionRadius + 2);
  const double half = std::max({500.0, 4 * distance, std::fabs(b.min[0] - cx) + distance,
                                std::fabs(b.min[2] - cz) + distance});
  s.fieldOfView = 60;
  s.turnStyle = 2;
  s.ControlMode = 1;
  s.bodyX = cx;
  s.bodyY = -kEyeHeight;
  s.bodyZ = cz - distance;  // in front of the model (its front faces -z), looking at it
  s.startHeadingDeg = 180;
  s.startTargetX = cx;
  s.startTargetY = (b.min[1] + b.max[1]) / 2;
  s.startTargetZ = cz;
  s.farPlane = std::max(2000.0, std::ceil(4 * half));
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
