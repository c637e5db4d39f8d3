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
#include "render/colour_queue.h"
#include "render/cull.h"
#include "render/texture_binding.h"
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

// Straight to OpenGL in place of the drawing as written, each polygon taking its colour as that
// drawing would give it whatever was sent before (queue follows that drawing's calls; see
// colour_queue.h), and with a view volume, leaving out each polygon that lies wholly outside
// it. A polygon's calls are held until it closes, then sent; one left out sends only the texture
// coordinates (and a colour set inside it) it set last. Colours and the calls between polygons go
// straight through.
struct FollowOut {
  ColourQueue& queue;
  const ViewVolume* view;  // none: nothing is left out
  PolygonSender sender;
  FollowOut(ColourQueue& followed, const ViewVolume* volume) : queue(followed), view(volume) {}
  std::vector<double> points;   // the open polygon's vertices
  std::vector<double> mapping;  // the texture coordinates sent with each
  std::vector<char> mapped;     // whether each has them
  double r = 0, g = 0, b = 0, s = 0, t = 0;
  bool mappingSet = false;    // texture coordinates set for the next vertex
  bool anyMapping = false;    // texture coordinates set in the open polygon
  bool colourInside = false;  // a colour set in the open polygon
  bool open = false;
  // A matrix was changed (a part switch): Mesa has drawn what it held.
  void Emptied() {
    queue.StateChange();
    sender.Emptied();
  }
  void Colour(double rr, double gg, double bb) {
    queue.Colour();
    r = rr, g = gg, b = bb;
    if (open)
      colourInside = true;
    else
      glColor3d(r, g, b);
  }
  void TexCoord(double ss, double tt) {
    queue.TexCoord();
    s = ss, t = tt;
    mappingSet = anyMapping = true;
  }
  void Vertex(double x, double y, double z) {
    queue.Vertex();
    points.insert(points.end(), {x, y, z});
    mapping.insert(mapping.end(), {s, t});
    mapped.push_back(mappingSet);
    mappingSet = false;
  }
  void Begin() {
    queue.Begin();
    open = true;
    anyMapping = colourInside = false;
    points.clear();
    mapping.clear();
    mapped.clear();
  }
  void End() {
    queue.End();
    open = false;
    const int count = static_cast<int>(mapped.size());
    if (view && view->PointsOutside(points.data(), count)) {
      if (colourInside) glColor3d(r, g, b);
      if (anyMapping) glTexCoord2d(s, t);
      return;
    }
    sender.Begin(queue.PerVertex(), r, g, b);
    for (int v = 0; v < count; ++v) {
      if (mapped[v]) glTexCoord2d(mapping[2 * v], mapping[2 * v + 1]);
      glVertex3d(points[3 * v], points[3 * v + 1], points[3 * v + 2]);
    }
    sender.End();
  }
  void Enable() {
    queue.Texturing(true);
    glEnable(GL_TEXTURE_2D);
  }
  void Disable() {
    queue.Texturing(false);
    glDisable(GL_TEXTURE_2D);
  }
  void Bind(int id) {
    if (id != boundTexture) queue.StateChange();
    BindTextureCached(id);
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
