// Demo models. A part's transform applies to the polygons after the one that closes at a
// vertex carrying the part's tag, so each limb or wheel follows a polygon tagged with its
// part, and the polygon after the last one is tagged kNoPart again.
#include "models.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace {

using Corner = std::array<double, 3>;

// Appends the five visible faces of an axis-aligned box (no bottom); each face closes at a
// vertex tagged tag (the part the box belongs to), the last one at lastTag (the part of what
// follows).
void AddBox(std::vector<SceneVertexSpec>& list, Corner lo, Corner hi, const Colour& c, int tag,
            int lastTag) {
  const double x0 = lo[0], y0 = lo[1], z0 = lo[2], x1 = hi[0], y1 = hi[1], z1 = hi[2];
  // y1 is the top (the smaller y: y points down).
  const std::vector<std::vector<Corner>> faces = {
      {{x0, y0, z0}, {x1, y0, z0}, {x1, y1, z0}, {x0, y1, z0}},  // -z
      {{x1, y0, z1}, {x0, y0, z1}, {x0, y1, z1}, {x1, y1, z1}},  // +z
      {{x0, y0, z1}, {x0, y0, z0}, {x0, y1, z0}, {x0, y1, z1}},  // -x
      {{x1, y0, z0}, {x1, y0, z1}, {x1, y1, z1}, {x1, y1, z0}},  // +x
      {{x0, y1, z0}, {x1, y1, z0}, {x1, y1, z1}, {x0, y1, z1}},  // top
  };
  for (std::size_t f = 0; f < faces.size(); ++f) {
    // Shade the sides a little differently so that the box reads as a box.
    const double shade = f == 4 ? 1.0 : f < 2 ? 0.85 : 0.7;
    AddPolygon(list, faces[f], c[0] * shade, c[1] * shade, c[2] * shade, "",
               f + 1 == faces.size() ? lastTag : tag);
  }
}

// An octagon of radius r in the plane x = x, centred on (y, z), and its hub: the wheel of
// part tag, followed by part next.
void AddWheel(std::vector<SceneVertexSpec>& list, double x, double y, double z, double r, int tag,
              int next) {
  std::vector<Corner> corners;
  for (int k = 0; k < 8; ++k) {
    const double a = k * std::numbers::pi / 4;
    corners.push_back({x, y + r * std::cos(a), z + r * std::sin(a)});
  }
  AddPolygon(list, corners, 0.08, 0.08, 0.08, "", tag);
  // A hub, so that the turning shows.
  AddPolygon(list,
             {{x, y - r * 0.3, z - r * 0.3},
              {x, y - r * 0.3, z + r * 0.3},
              {x, y + r * 0.3, z + r * 0.3},
              {x, y + r * 0.3, z - r * 0.3}},
             0.7, 0.7, 0.7, "", next);
}

// A part pivoting at (x, y, z) that swings about x by swing degrees over steps frames while
// the object moves, and stands still before.
ScenePartSpec SwingingPart(double x, double y, double z, double swing, double steps) {
  ScenePartSpec part{};
  for (ScenePartRowSpec& row : part) {
    row.offsetX = x;
    row.offsetY = y;
    row.offsetZ = z;
  }
  part[1].swingX = swing;
  part[1].steps = steps;
  return part;
}

}  // namespace

SceneObjectSpec Car(const Colour& colour) {
  SceneObjectSpec car;
  AddBox(car.vertices, {-4, -1.5, -8}, {4, -5, 8}, colour, kNoPart, kNoPart);
  const Colour glass = {0.25, 0.3, 0.35};
  AddBox(car.vertices, {-3.5, -5, -3}, {3.5, -8, 4}, glass, kNoPart, 0);  // wheel 0 follows
  const double wheels[4][2] = {{-4.2, -5}, {4.2, -5}, {-4.2, 5}, {4.2, 5}};
  for (int w = 0; w < 4; ++w) {
    AddWheel(car.vertices, wheels[w][0], -2, wheels[w][1], 2, w, w < 3 ? w + 1 : kNoPart);
    car.parts.push_back(SwingingPart(wheels[w][0], -2, wheels[w][1], 45, 3));
  }
  return car;
}

SceneObjectSpec Pedestrian(const Colour& clothes) {
  SceneObjectSpec person;
  const Colour skin = {0.85, 0.65, 0.5}, trousers = {0.2, 0.2, 0.3};
  AddBox(person.vertices, {-1.2, -15, -1.2}, {1.2, -17.4, 1.2}, skin, kNoPart, kNoPart);  // head
  AddBox(person.vertices, {-2.2, -8, -1.2}, {2.2, -15, 1.2}, clothes, kNoPart, 0);        // body
  AddBox(person.vertices, {-2, 0, -0.9}, {-0.3, -8, 0.9}, trousers, 0, 1);             // left leg
  AddBox(person.vertices, {0.3, 0, -0.9}, {2, -8, 0.9}, trousers, 1, 2);               // right leg
  AddBox(person.vertices, {-3.2, -8.5, -0.7}, {-2.2, -14.5, 0.7}, clothes, 2, 3);      // left arm
  AddBox(person.vertices, {2.2, -8.5, -0.7}, {3.2, -14.5, 0.7}, clothes, 3, kNoPart);  // right arm
  person.parts.push_back(SwingingPart(-1.15, -8, 0, 30, 4));
  person.parts.push_back(SwingingPart(1.15, -8, 0, -30, 4));
  person.parts.push_back(SwingingPart(-2.7, -14.5, 0, -25, 4));
  person.parts.push_back(SwingingPart(2.7, -14.5, 0, 25, 4));
  return person;
}

std::vector<SceneVertexSpec> DriversView(const Colour& paint) {
  std::vector<SceneVertexSpec> view;
  const Colour dash = {0.12, 0.12, 0.13}, gauge = {0.85, 0.85, 0.8};
  // The bonnet (y grows downwards: 2.8 below the eye), sloping a little towards the front.
  AddPolygon(view, {{-3.6, 2.6, -3}, {3.6, 2.6, -3}, {3.6, 3.2, -12}, {-3.6, 3.2, -12}}, paint[0],
             paint[1], paint[2]);
  // The dashboard across the bottom of the view, two gauges on it, and the wheel's rim.
  AddPolygon(view, {{-4, 0.9, -2}, {4, 0.9, -2}, {4, 2.6, -2.2}, {-4, 2.6, -2.2}}, dash[0], dash[1],
             dash[2]);
  for (const double x : {-1.6, -0.7}) {
    AddPolygon(view,
               {{x, 1.05, -1.98}, {x + 0.6, 1.05, -1.98}, {x + 0.6, 1.45, -1.98}, {x, 1.45, -1.98}},
               gauge[0], gauge[1], gauge[2]);
  }
  AddPolygon(view, {{-1.8, 0.95, -1.9}, {-0.2, 0.95, -1.9}, {-0.2, 1.05, -1.9}, {-1.8, 1.05, -1.9}},
             0.05, 0.05, 0.05);
  return view;
}

SceneObjectSpec Lifted(SceneObjectSpec model, double dy) {
  for (SceneVertexSpec& v : model.vertices) v.y += dy;
  for (ScenePartSpec& part : model.parts)
    for (ScenePartRowSpec& row : part) row.offsetY += dy;
  return model;
}

SceneObjectSpec WalkingFigure(const Colour& clothes) {
  SceneObjectSpec figure = Pedestrian(clothes);
  // Rows: (swing about x, swing about z, step count) for the legs and the arms; the left limb
  // swings one way, the right the other.
  struct Row {
    double legX, legZ, legSteps, armX, armZ, armSteps;
  };
  const Row rows[5] = {{0, 0, 1, 0, 0, 1},     // 0: idle
                       {30, 0, 4, 25, 0, 4},   // 1: walking forward
                       {20, 0, 2, 10, 0, 2},   // 2: walking back, short quick steps
                       {0, 8, 2, 0, 0, 1},     // 3: turning on the spot
                       {0, 20, 3, 0, 15, 3}};  // 4: stepping sideways
  for (int p = 0; p < 4; ++p) {
    const double side = p % 2 == 0 ? 1 : -1;  // parts 0, 2 left; 1, 3 right
    const bool leg = p < 2;
    for (int m = 0; m < 7; ++m) {
      ScenePartRowSpec& row = figure.parts[p][m];
      row.swingX = row.swingZ = 0;
      row.steps = 1;
      row.tiltZ = leg ? 0 : side * 6;
      if (m >= 5) continue;
      const Row& r = rows[m];
      row.swingX = side * (leg ? r.legX : -r.armX);
      row.swingZ = side * (leg ? r.legZ : r.armZ);
      row.steps = leg ? r.legSteps : r.armSteps;
    }
  }
  return figure;
}
