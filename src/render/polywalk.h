// The one walk over a polygon list, shared by the static list, the moving objects and the
// avatar. A list is drawn in two modes, plain and textured, that hand over to each other at
// polygon boundaries; the first polygon's textured flag chooses the starting mode.
//
// A List gives, by vertex number v (1..count): red, green, blue (valid where a polygon
// begins), x, y, z, s, t, end (closing flag); and by index v - 1: flag (textured flag) and
// tex (texture id). After every polygon closes, afterEnd(v) runs with its closing vertex
// (the part-switching step of objects and avatar). With distanceTest, the static list's
// distance test runs after each textured polygon.
#pragma once

#include <cmath>
#include <vector>

#include "platform/win32.h"
#include "render/cull.h"
#include "render/polylist.h"
#include "scene/scene.h"

namespace polywalk {

// True when a vertex of the polygon that begins at vertex first lies strictly inside the
// square of half-side drawDistance around the eye; last receives the polygon's closing vertex.
template <typename List>
bool PolygonNearEye(const List& list, int first, int& last) {
  const double range = static_cast<double>(drawDistance);
  bool inside = false;
  int v = first;
  for (;; ++v) {
    if (!inside && std::fabs(list.x(v) - eyeX) < range && std::fabs(list.z(v) - eyeZ) < range)
      inside = true;
    if (list.end(v) == 1 || v >= list.count()) break;
  }
  last = v;
  return inside;
}

// Where the walk's drawing goes: straight to OpenGL, one GL_POLYGON per polygon.
struct GlOut {
  void Colour(double r, double g, double b) { glColor3d(r, g, b); }
  void TexCoord(double s, double t) { glTexCoord2d(s, t); }
  void Vertex(double x, double y, double z) { glVertex3d(x, y, z); }
  void Begin() { glBegin(GL_POLYGON); }
  void End() { glEnd(); }
  void Enable() { glEnable(GL_TEXTURE_2D); }
  void Disable() { glDisable(GL_TEXTURE_2D); }
  void Bind(int id) { BindTextureCached(id); }
};

// Straight to OpenGL, leaving out each polygon that lies wholly outside the view volume: a
// polygon's calls are held until it closes, then sent, or for one left out only the colour
// and texture coordinates it set last. Calls between polygons go straight through.
struct CullingOut {
  const ViewVolume& view;
  struct Call {
    enum Kind { kColour, kTexCoord, kVertex } kind;
    double a, b, c;
  };
  explicit CullingOut(const ViewVolume& volume) : view(volume) {}
  std::vector<Call> held;      // the open polygon's calls
  std::vector<double> points;  // its vertices
  bool open = false;
  void Colour(double r, double g, double b) {
    if (open)
      held.push_back({Call::kColour, r, g, b});
    else
      glColor3d(r, g, b);
  }
  void TexCoord(double s, double t) {
    if (open)
      held.push_back({Call::kTexCoord, s, t, 0});
    else
      glTexCoord2d(s, t);
  }
  void Vertex(double x, double y, double z) {
    held.push_back({Call::kVertex, x, y, z});
    points.insert(points.end(), {x, y, z});
  }
  void Begin() {
    open = true;
    held.clear();
    points.clear();
  }
  void End() {
    open = false;
    if (!view.PointsOutside(points.data(), static_cast<int>(points.size() / 3))) {
      glBegin(GL_POLYGON);
      for (const Call& call : held) Send(call);
      glEnd();
      return;
    }
    const Call* colour = nullptr;
    const Call* mapping = nullptr;
    for (const Call& call : held) {
      if (call.kind == Call::kColour) colour = &call;
      if (call.kind == Call::kTexCoord) mapping = &call;
    }
    if (colour) Send(*colour);
    if (mapping) Send(*mapping);
  }
  void Enable() { glEnable(GL_TEXTURE_2D); }
  void Disable() { glDisable(GL_TEXTURE_2D); }
  void Bind(int id) { BindTextureCached(id); }
  static void Send(const Call& call) {
    if (call.kind == Call::kColour) glColor3d(call.a, call.b, call.c);
    if (call.kind == Call::kTexCoord) glTexCoord2d(call.a, call.b);
    if (call.kind == Call::kVertex) glVertex3d(call.a, call.b, call.c);
  }
};

}  // namespace polywalk

// Draws a polygon list through out (by default straight to OpenGL). When the first polygon's
// textured flag is neither 0 nor 1, nothing of the list is drawn; a later polygon with such a
// flag is passed over (no GL call is made for its vertices) and the list goes on after it. A
// textured polygon whose texture could not be built (id 0) is drawn untextured in its colour.
template <typename List, typename AfterEnd, typename Out = polywalk::GlOut>
void DrawPolygonList(const List& list, bool distanceTest, AfterEnd afterEnd, Out&& out = Out{}) {
  const int count = list.count();
  if (count <= 0) return;

  bool textured = false;   // the drawing mode
  bool drawing = true;     // false while a polygon with an unknown flag is passed over
  bool textureOn = false;  // GL_TEXTURE_2D as last set here

  // Begins a polygon of the textured mode with the texture stored at index f.
  auto beginTextured = [&](int f, bool enable) {
    const int id = list.tex(f);
    if (id == 0) {
      if (textureOn || enable) out.Disable();
      textureOn = false;
    } else {
      if (enable || !textureOn) out.Enable();
      textureOn = true;
      out.Bind(id);
    }
    out.Begin();
  };

  int i = 0;
  const int firstFlag = list.flag(0);
  if (firstFlag == 0) {
    out.Disable();
    out.Colour(list.red(1), list.green(1), list.blue(1));
    out.Begin();
  } else if (firstFlag == 1) {
    beginTextured(0, true);
    out.Colour(list.red(1), list.green(1), list.blue(1));
    textured = true;
  } else {
    return;
  }

  for (;;) {
    ++i;
    if (drawing) {
      if (textured) out.TexCoord(list.s(i), list.t(i));
      out.Vertex(list.x(i), list.y(i), list.z(i));
    }
    if (list.end(i) != 1) {
      if (i >= count) {  // a list left open at its count is closed there
        if (drawing) out.End();
        afterEnd(i);
        return;
      }
      continue;
    }
    if (drawing) out.End();
    afterEnd(i);
    if (textured && distanceTest && distanceCulling == 1) {
      // Skip the following polygons until one has a vertex near the eye.
      int first = i + 1;
      int last = i;
      while (first <= count && !polywalk::PolygonNearEye(list, first, last)) first = last + 1;
      if (first > count) return;
      i = first - 1;
    }
    if (i >= count) return;
    out.Colour(list.red(i + 1), list.green(i + 1), list.blue(i + 1));
    const int flag = list.flag(i);
    drawing = (flag == 0 || flag == 1);
    if (flag == 0) {
      if (textured) {
        out.Disable();
        textureOn = false;
      }
      out.Begin();
      textured = false;
    } else if (flag == 1) {
      beginTextured(i, !textured);
      textured = true;
    }
  }
}
