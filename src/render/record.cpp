// Recording polygon lists into display lists and replaying them.
#include "render/record.h"

void RecordOut::Open() {
  runs.emplace_back();
  runs.back().list = glGenLists(1);
  if (runs.back().list != 0) glNewList(runs.back().list, GL_COMPILE);
  polygons = 0;
}

void RecordOut::Close() {
  if (colourPending) glColor3d(r, g, b);
  colourPending = false;
  if (runs.back().list != 0) glEndList();
  runs.back().leaves = sent;
}

void RecordOut::Cut() {
  Close();
  Open();
}

void RecordOut::Finish() { Close(); }

void RecordOut::Colour(double rr, double gg, double bb) {
  r = rr;
  g = gg;
  b = bb;
  colourPending = true;
  sent.r = r, sent.g = g, sent.b = b;
  sent.coloured = true;
}

void RecordOut::TexCoord(double ss, double tt) {
  s = ss;
  t = tt;
  sent.s = s, sent.t = t;
  sent.mapped = true;
}

void RecordOut::Vertex(double x, double y, double z) {
  glColor3d(r, g, b);
  if (sent.mapped) glTexCoord2d(s, t);
  glVertex3d(x, y, z);
  colourPending = false;
  Run& run = runs.back();
  const double p[3] = {x, y, z};
  const bool empty = run.Empty();
  for (int a = 0; a < 3; ++a) {
    if (empty || p[a] < run.lo[a]) run.lo[a] = p[a];
    if (empty || p[a] > run.hi[a]) run.hi[a] = p[a];
  }
}

void RecordOut::End() {
  glEnd();
  if (runPolygons > 0 && ++polygons >= runPolygons) Cut();
}

void RecordOut::Enable() {
  glEnable(GL_TEXTURE_2D);
  sent.texture = 1;
}

void RecordOut::Disable() {
  glDisable(GL_TEXTURE_2D);
  sent.texture = 0;
}

void RecordOut::Bind(int id) {
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
  if (run.leaves.bound != 0) boundTexture = run.leaves.bound;
}
