// GLU's tessellator with its callbacks.
#include "tessellate.h"

#include <GL/glu.h>

#include <deque>

namespace {

struct TessVertex {
  GLdouble xyz[3];
  int index;
};

// The state of one run of the tessellator.
struct Run {
  std::deque<TessVertex> vertices;  // stable addresses for the tessellator
  std::vector<int> pending;         // the vertices of the primitive being given
  Triangles* triangles = nullptr;
  std::vector<Ring>* outlines = nullptr;
  bool failed = false;
};

void BeginCallback(GLenum, void* data) { static_cast<Run*>(data)->pending.clear(); }

void VertexCallback(void* vertex, void* data) {
  Run& run = *static_cast<Run*>(data);
  run.pending.push_back(static_cast<TessVertex*>(vertex)->index);
  if (run.triangles && run.pending.size() == 3) {
    run.triangles->corners.push_back({run.pending[0], run.pending[1], run.pending[2]});
    run.pending.clear();
  }
}

void EndCallback(void* data) {
  Run& run = *static_cast<Run*>(data);
  if (!run.outlines) return;
  Ring ring;
  for (int i : run.pending) ring.push_back({run.vertices[i].xyz[0], run.vertices[i].xyz[1]});
  run.outlines->push_back(std::move(ring));
}

// With an edge flag callback the tessellator gives separate triangles only.
void EdgeFlagCallback(GLboolean, void*) {}

void CombineCallback(GLdouble xyz[3], void* [4], GLfloat[4], void** out, void* data) {
  Run& run = *static_cast<Run*>(data);
  const int index = static_cast<int>(run.vertices.size());
  run.vertices.push_back({{xyz[0], xyz[1], 0}, index});
  *out = &run.vertices.back();
}

void ErrorCallback(GLenum, void* data) { static_cast<Run*>(data)->failed = true; }

template <typename F>
_GLUfuncptr Callback(F* f) {
  return reinterpret_cast<_GLUfuncptr>(f);
}

// Runs the tessellator over rings.
bool RunTessellator(const std::vector<Ring>& rings, Winding winding, bool boundary, Run& run) {
  GLUtesselator* tess = gluNewTess();
  if (!tess) return false;
  gluTessCallback(tess, GLU_TESS_BEGIN_DATA, Callback(BeginCallback));
  gluTessCallback(tess, GLU_TESS_VERTEX_DATA, Callback(VertexCallback));
  gluTessCallback(tess, GLU_TESS_END_DATA, Callback(EndCallback));
  gluTessCallback(tess, GLU_TESS_COMBINE_DATA, Callback(CombineCallback));
  gluTessCallback(tess, GLU_TESS_ERROR_DATA, Callback(ErrorCallback));
  if (!boundary) gluTessCallback(tess, GLU_TESS_EDGE_FLAG_DATA, Callback(EdgeFlagCallback));
  gluTessProperty(tess, GLU_TESS_WINDING_RULE,
                  winding == Winding::kOdd ? GLU_TESS_WINDING_ODD : GLU_TESS_WINDING_NONZERO);
  gluTessProperty(tess, GLU_TESS_BOUNDARY_ONLY, boundary ? GL_TRUE : GL_FALSE);
  gluTessNormal(tess, 0, 0, 1);
  for (const Ring& ring : rings)
    for (const Vec2& p : ring)
      run.vertices.push_back({{p.x, p.z, 0}, static_cast<int>(run.vertices.size())});
  gluTessBeginPolygon(tess, &run);
  std::size_t next = 0;
  for (const Ring& ring : rings) {
    gluTessBeginContour(tess);
    for (std::size_t k = 0; k < ring.size(); ++k, ++next)
      gluTessVertex(tess, run.vertices[next].xyz, &run.vertices[next]);
    gluTessEndContour(tess);
  }
  gluTessEndPolygon(tess);
  gluDeleteTess(tess);
  return !run.failed;
}

}  // namespace

bool Tessellate(const std::vector<Ring>& rings, Winding winding, Triangles& out) {
  out = Triangles{};
  Run run;
  run.triangles = &out;
  if (!RunTessellator(rings, winding, false, run)) return false;
  for (const TessVertex& v : run.vertices) out.vertices.push_back({v.xyz[0], v.xyz[1]});
  return true;
}

bool Outline(const std::vector<Ring>& rings, Winding winding, std::vector<Ring>& out) {
  out.clear();
  Run run;
  run.outlines = &out;
  return RunTessellator(rings, winding, true, run);
}
