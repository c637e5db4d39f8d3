// Scene file text from a SceneSpec, item by item in file order.
#include "scene_writer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "output_files.h"

namespace {

// Appends a double in its shortest form that reads back exactly; an infinity as a number too
// large for a double, which reads back as that infinity. (A file cannot hold NaN.)
void Put(std::string& out, double value) {
  if (std::isinf(value)) {
    out += value > 0 ? "1e999 " : "-1e999 ";
    return;
  }
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
  out += ' ';
}

void Put(std::string& out, int value) {
  char buffer[16];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
  out += ' ';
}

void EndLine(std::string& out) {
  if (!out.empty() && out.back() == ' ') out.pop_back();
  out += '\n';
}

// The name field: a marker, then the name up to the line end.
void PutName(std::string& out, const std::string& name) {
  out += '*';
  out += name;
  out += '\n';
}

enum class ListKind { kStatic, kPlain, kPartsAndTexture };

void PutVertices(std::string& out, const std::vector<SceneVertexSpec>& list, ListKind kind) {
  int previousEnd = 1;
  for (const SceneVertexSpec& v : list) {
    if (previousEnd == 1) {
      Put(out, v.red);
      Put(out, v.green);
      Put(out, v.blue);
    }
    if (kind == ListKind::kPartsAndTexture) Put(out, v.part);
    Put(out, v.x);
    Put(out, v.y);
    Put(out, v.z);
    Put(out, v.polyEnd);
    previousEnd = v.polyEnd;
    if (kind == ListKind::kPlain) {
      EndLine(out);
      continue;
    }
    Put(out, v.texS);
    Put(out, v.texT);
    Put(out, v.textured);
    PutName(out, v.texName);
  }
}

void PutParts(std::string& out, const std::vector<ScenePartSpec>& parts, bool withTilt) {
  for (const ScenePartSpec& part : parts) {
    for (const ScenePartRowSpec& r : part) {
      for (double d : {r.offsetX, r.offsetY, r.offsetZ, r.swingZ, r.swingY, r.swingX}) Put(out, d);
      if (withTilt) {
        for (double d : {r.tiltZ, r.tiltY, r.tiltX}) Put(out, d);
      }
      Put(out, r.steps);
      EndLine(out);
    }
  }
}

void PutSettings(std::string& out, const SceneSettingsSpec& s) {
  for (int i : {s.displayModeIndex, s.light0Enabled, s.light1Enabled, s.smoothShading,
                s.fieldOfView, s.windowMaximized, s.changeDisplayMode})
    Put(out, i);
  Put(out, s.farPlane);
  for (int i : {s.drawDistance, s.distanceCulling, s.linearMagFilter}) Put(out, i);
  Put(out, s.light0Level);
  Put(out, s.light1Level);
  EndLine(out);
  for (double d : {s.bodyX, s.bodyY, s.bodyZ, s.startTargetX, s.startTargetY, s.startTargetZ,
                   s.startHeadingDeg, s.collisionRadius})
    Put(out, d);
  EndLine(out);
  for (int i : {s.ControlMode, s.walkStepDivisor, s.driveStepDivisor}) Put(out, i);
  EndLine(out);
  for (double d : {s.modeEyeX, s.modeEyeY, s.modeEyeZ, s.modeRefX, s.modeRefY, s.modeRefZ})
    Put(out, d);
  Put(out, s.turnStyle);
  EndLine(out);
  for (double d : s.motion) Put(out, d);
  EndLine(out);
}

}  // namespace

void AddPolygon(std::vector<SceneVertexSpec>& list,
                const std::vector<std::array<double, 3>>& corners, double red, double green,
                double blue, const std::string& texture, int part) {
  static constexpr double kS[] = {0, 1, 1, 0};
  static constexpr double kT[] = {0, 0, 1, 1};
  for (std::size_t i = 0; i < corners.size(); ++i) {
    SceneVertexSpec v;
    v.red = red;
    v.green = green;
    v.blue = blue;
    v.x = corners[i][0];
    v.y = corners[i][1];
    v.z = corners[i][2];
    v.polyEnd = (i + 1 == corners.size()) ? 1 : 0;
    v.texS = kS[i % 4];
    v.texT = kT[i % 4];
    v.textured = texture.empty() ? 0 : 1;
    v.texName = texture;
    v.part = part;
    list.push_back(v);
  }
}

std::string WriteSceneText(const SceneSpec& plan) {
  std::string out;
  int vertexMax = plan.objectVertexMax;
  if (vertexMax == 0) {
    vertexMax = 1;
    for (const SceneObjectSpec& o : plan.objects)
      vertexMax = std::max(vertexMax, static_cast<int>(o.vertices.size()));
  }
  const int objectLast = static_cast<int>(plan.objects.size()) - 1;
  Put(out, static_cast<int>(plan.staticList.size()));
  Put(out, static_cast<int>(plan.plainList.size()));
  Put(out, static_cast<int>(plan.avatarList.size()));
  Put(out, objectLast);
  Put(out, vertexMax);
  EndLine(out);
  PutSettings(out, plan.settings);

  Put(out, static_cast<int>(plan.posts.size()));
  EndLine(out);
  for (const auto& [x, z] : plan.posts) {
    Put(out, x);
    Put(out, z);
    EndLine(out);
  }
  for (const SceneObjectSpec& o : plan.objects) {
    Put(out, o.flagA);
    Put(out, o.flagB);
    Put(out, o.nearTest);
    Put(out, o.nearDistance);
    Put(out, o.cullTest);
    Put(out, o.cullDistance);
    Put(out, static_cast<int>(o.waypoints.size()));
    EndLine(out);
  }
  for (const SceneObjectSpec& o : plan.objects) {
    for (const auto& [x, z] : o.waypoints) {
      Put(out, x);
      Put(out, z);
      EndLine(out);
    }
  }
  Put(out, plan.settings.clearRed);
  Put(out, plan.settings.clearGreen);
  Put(out, plan.settings.clearBlue);
  EndLine(out);
  if (!plan.avatarList.empty()) {
    Put(out, plan.avatarHeadingOffset);
    Put(out, static_cast<int>(plan.avatarParts.size()) - 1);
    EndLine(out);
    PutParts(out, plan.avatarParts, true);
    PutVertices(out, plan.avatarList, ListKind::kPartsAndTexture);
  }
  for (const SceneObjectSpec& o : plan.objects) {
    Put(out, static_cast<int>(o.vertices.size()));
    for (double d : {o.x, o.y, o.z, o.targetX, o.targetY, o.targetZ, o.headingDeg, o.headingOffset})
      Put(out, d);
    EndLine(out);
  }
  for (const SceneObjectSpec& o : plan.objects)
    PutVertices(out, o.vertices, ListKind::kPartsAndTexture);
  for (const SceneObjectSpec& o : plan.objects) {
    Put(out, o.maxSpeed);
    Put(out, o.clearance);
    Put(out, static_cast<int>(o.parts.size()) - 1);
    EndLine(out);
    PutParts(out, o.parts, false);
  }
  PutVertices(out, plan.staticList, ListKind::kStatic);
  PutVertices(out, plan.plainList, ListKind::kPlain);
  return out;
}

bool WriteSceneFile(const std::string& path, const SceneSpec& plan) {
  return WriteFileBytes(path, WriteSceneText(plan));
}
