// Recording polygon lists into display lists and replaying them.
#include "render/record.h"

#include <algorithm>
#include <cmath>

namespace {

// Grows the box lo to hi (empty when lo[0] > hi[0]) to hold p.
void Grow(double lo[3], double hi[3], const double p[3]) {
  const bool empty = lo[0] > hi[0];
  for (int a = 0; a < 3; ++a) {
    if (empty || p[a] < lo[a]) lo[a] = p[a];
    if (empty || p[a] > hi[a]) hi[a] = p[a];
  }
}

}  // namespace

void RecordOut::Open() {
  runs.emplace_back();
  Run& run = runs.back();
  run.list = glGenLists(1);
  if (run.list != 0) glNewList(run.list, GL_COMPILE);
  polygons = 0;
  if (kept) {
    run.firstCall = run.endCall = static_cast<int>(kept->calls.size());
    run.firstPolygon = run.endPolygon = static_cast<int>(kept->polygons.size());
    run.firstCluster = run.endCluster = static_cast<int>(kept->clusters.size());
  }
}

// The colour the run leaves is set again at its end, outside glBegin/glEnd: Mesa keeps the
// colour sent last that way and sets it as the current colour again when it next draws,
// over the colour a run of vertices that carry theirs left.
void RecordOut::Close() {
  Run& run = runs.back();
  if (sent.coloured) {
    glColor3d(r, g, b);
    if (kept) {
      kept->calls.push_back({ListCalls::kColour, static_cast<int>(kept->colours.size() / 3)});
      kept->colours.insert(kept->colours.end(), {r, g, b});
    }
  }
  colourPending = false;
  if (run.list != 0) glEndList();
  run.leaves = sent;
  if (kept) {
    run.endCall = static_cast<int>(kept->calls.size());
    run.endPolygon = static_cast<int>(kept->polygons.size());
    run.endCluster = static_cast<int>(kept->clusters.size());
  }
}

void RecordOut::Cut() {
  Close();
  Open();
}

void RecordOut::Finish() { Close(); }

// A colour set inside a polygon (the first of a textured list) goes with its vertices.
void RecordOut::Colour(double rr, double gg, double bb) {
  r = rr;
  g = gg;
  b = bb;
  written.Colour();
  if (open)
    glColor3d(r, g, b);
  else
    colourPending = true;
  sent.r = r, sent.g = g, sent.b = b;
  sent.coloured = true;
}

void RecordOut::TexCoord(double ss, double tt) {
  s = ss;
  t = tt;
  written.TexCoord();
  mapping = true;
  sent.s = s, sent.t = t;
  sent.mapped = true;
}

void RecordOut::Vertex(double x, double y, double z) {
  written.Vertex();
  if (mapping) glTexCoord2d(s, t);
  glVertex3d(x, y, z);
  const double p[3] = {x, y, z};
  if (kept) {
    const auto [at, added] =
        positions.try_emplace(std::string(reinterpret_cast<const char*>(p), sizeof p),
                              static_cast<int>(kept->points.size() / 3));
    if (added) kept->points.insert(kept->points.end(), {x, y, z});
    kept->corners.push_back(at->second);
    kept->attributes.push_back({s, t, mapping});
    ++kept->polygons.back().count;
  }
  mapping = false;
  Grow(runs.back().lo, runs.back().hi, p);
}

void RecordOut::Begin() {
  written.Begin();
  const bool perVertex = written.PerVertex();
  if (colourPending && !perVertex) glColor3d(r, g, b);
  glBegin(GL_POLYGON);
  if (perVertex) glColor3d(r, g, b);
  colourPending = false;
  open = true;
  if (!kept) return;
  kept->calls.push_back({ListCalls::kPolygon, static_cast<int>(kept->polygons.size())});
  kept->polygons.push_back(
      {static_cast<int>(kept->attributes.size()), 0, sent.texture == 1, perVertex, r, g, b});
}

void RecordOut::End() {
  written.End();
  glEnd();
  open = false;
  if (kept && !kept->polygons.empty()) {
    ListCalls::Polygon& polygon = kept->polygons.back();
    polygon.perVertex = written.PerVertex();
    polygon.r = r, polygon.g = g, polygon.b = b;
    std::vector<const double*>& corners = shapeCorners;
    corners.clear();
    for (int v = polygon.first; v < polygon.first + polygon.count; ++v)
      corners.push_back(&kept->points[3 * static_cast<std::size_t>(kept->corners[v])]);
    kept->shapes.push_back(ShapeOf(corners.data(), polygon.count));
    const int k = static_cast<int>(kept->polygons.size()) - 1;
    std::vector<ListCalls::Cluster>& clusters = kept->clusters;
    if (clusters.size() == static_cast<std::size_t>(runs.back().firstCluster) ||
        k - clusters.back().firstPolygon >= ListCalls::kClusterPolygons)
      clusters.push_back({k, k, {0, 0, 0}, {-1, -1, -1}});
    ListCalls::Cluster& cluster = clusters.back();
    for (int v = polygon.first; v < polygon.first + polygon.count; ++v)
      Grow(cluster.lo, cluster.hi, &kept->points[3 * static_cast<std::size_t>(kept->corners[v])]);
    cluster.endPolygon = k + 1;
  }
  if (runPolygons > 0 && ++polygons >= runPolygons) Cut();
}

void RecordOut::Enable() {
  written.Texturing(true);
  glEnable(GL_TEXTURE_2D);
  sent.texture = 1;
  if (kept) kept->calls.push_back({ListCalls::kEnable, 0});
}

void RecordOut::Disable() {
  written.Texturing(false);
  glDisable(GL_TEXTURE_2D);
  sent.texture = 0;
  if (kept) kept->calls.push_back({ListCalls::kDisable, 0});
}

void RecordOut::Bind(int id) {
  if (id != boundTexture) {
    written.StateChange();
    if (kept) kept->calls.push_back({ListCalls::kBind, id});
  }
  BindTextureCached(id);
  sent.bound = id;
}

bool AllRecorded(const std::vector<Run>& runs) {
  for (const Run& run : runs)
    if (run.list == 0) return false;
  return true;
}

void DeleteRuns(std::vector<Run>& runs) {
  for (const Run& run : runs)
    if (run.list != 0) glDeleteLists(run.list, 1);
  runs.clear();
}

void MakeState(const LeftState& state) {
  if (state.coloured) glColor3d(state.r, state.g, state.b);
  if (state.mapped) glTexCoord2d(state.s, state.t);
  if (state.texture == 1) glEnable(GL_TEXTURE_2D);
  if (state.texture == 0) glDisable(GL_TEXTURE_2D);
  if (state.bound != 0) BindTextureCached(state.bound);
}

void CallRun(const Run& run) {
  glCallList(run.list);
  NoteTextureBound(run.leaves.bound);
}

void SendSome(const Run& run, const ListCalls& kept, const std::vector<char>& hidden) {
  PolygonSender sender;
  for (int k = run.firstCall; k < run.endCall; ++k) {
    const ListCalls::Call call = kept.calls[k];
    switch (call.kind) {
      case ListCalls::kEnable:
        glEnable(GL_TEXTURE_2D);
        break;
      case ListCalls::kDisable:
        glDisable(GL_TEXTURE_2D);
        break;
      case ListCalls::kBind:
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(call.value));
        break;
      case ListCalls::kColour: {
        const double* c = &kept.colours[3 * static_cast<std::size_t>(call.value)];
        glColor3d(c[0], c[1], c[2]);
        break;
      }
      case ListCalls::kPolygon: {
        if (hidden[call.value - run.firstPolygon]) break;
        const ListCalls::Polygon& polygon = kept.polygons[call.value];
        sender.Begin(polygon.perVertex, polygon.r, polygon.g, polygon.b);
        for (int v = polygon.first; v < polygon.first + polygon.count; ++v) {
          const ListCalls::Attributes& a = kept.attributes[v];
          const double* p = &kept.points[3 * static_cast<std::size_t>(kept.corners[v])];
          if (a.mapped) glTexCoord2d(a.s, a.t);
          glVertex3d(p[0], p[1], p[2]);
        }
        sender.End();
        break;
      }
    }
  }
  const LeftState& leaves = run.leaves;
  if (leaves.coloured) glColor3d(leaves.r, leaves.g, leaves.b);
  if (leaves.mapped) glTexCoord2d(leaves.s, leaves.t);
  NoteTextureBound(leaves.bound);
}
