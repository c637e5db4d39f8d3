// The texture-binding cache and the two static scene lists.
#include "render/polylist.h"

#include <algorithm>
#include <limits>

#include "platform/win32.h"
#include "render/colour_queue.h"
#include "render/occlusion.h"
#include "render/polywalk.h"
#include "render/record.h"
#include "scene/scene.h"

int boundTexture;
bool recordStaticLists = true;

namespace {

// The runs of the plain and the static list (none: drawn immediately), recorded with nothing
// bound, as every frame starts.
std::vector<Run> plainRuns, staticRuns;
bool listsRecorded;
// Mesa's queue as drawing both lists vertex by vertex after the frame's clear leaves it.
ColourQueue listsLeave;
int plainLeftOut, staticLeftOut;  // runs left out by the last replay of each list

// The calls of both lists, kept to send runs with their hidden polygons left out.
ListCalls plainCalls, staticCalls;

constexpr double kNoBound = std::numeric_limits<double>::infinity();

// Polygons per run: small enough that a run mostly out of view is left out, large enough that
// the per-list cost stays below the vertices' cost.
constexpr int kRunPolygons = 48;

// Where a list's positions fall on the window for the view the hiders were laid for, each
// placed when first needed (placed for generation stamp).
struct WindowPoints {
  std::vector<WindowPoint> at;
  std::vector<unsigned> stamp;
};

// The static list's polygons laid on the window's tiles as hiders for the view they were laid
// for (built: once the view has been seen), and where each of its polygons falls.
struct Hiders {
  OcclusionTiles tiles;
  ViewVolume view;
  bool built = false;
  unsigned generation = 0;            // counts the views laid for
  std::vector<WindowPolygon> placed;  // by polygon of the static list (not placed: grouped)
  std::vector<char> grouped;          // by polygon of the static list: in a group hidden whole
  WindowPoints plainPoints, staticPoints;
  std::vector<char> hidden;                   // scratch: which polygons of a run are left out
  std::vector<const WindowPoint*> corners;    // scratch: a polygon's vertices on the window
  std::vector<std::pair<double, int>> order;  // scratch: static runs in view, nearest first
  ViewFrame frame;                            // the view, for Allowance
  std::vector<double> allowances;             // scratch: a group's polygons' (SortGroup)
} hiders;

// Where polygon k of a list falls on the window; hider: it hides what lies behind it.
WindowPolygon PlacePolygon(const ListCalls& kept, int k, WindowPoints& points, bool hider) {
  const ListCalls::Polygon polygon = kept.polygons[k];
  if (points.at.size() != kept.points.size() / 3) {
    points.at.assign(kept.points.size() / 3, WindowPoint{});
    points.stamp.assign(kept.points.size() / 3, 0);
  }
  hiders.corners.resize(polygon.count);
  for (int v = 0; v < polygon.count; ++v) {
    const int corner = kept.corners[polygon.first + v];
    if (points.stamp[corner] != hiders.generation) {
      points.at[corner] = hiders.tiles.Place(&kept.points[3 * static_cast<std::size_t>(corner)]);
      points.stamp[corner] = hiders.generation;
    }
    hiders.corners[v] = &points.at[corner];
  }
  return hiders.tiles.Add(hiders.corners.data(), polygon.count, hider);
}

// Sorts out polygons first to end of a list, whose vertices lie in the box lo to hi, as a
// group: when the box is hidden, so is each of them whose setup (by its shape: render/
// occlusion.h, item 4) loses no more than the most the box can give, marked in hidden (by
// polygon from first); each other one goes to place(k). Returns how many it marked, or -1 when
// the box is not hidden (nothing marked or placed).
template <typename Place>
int SortGroup(const double lo[3], const double hi[3], const ListCalls& kept, int first, int end,
              char* hidden, Place place) {
  const OcclusionTiles& tiles = hiders.tiles;
  if (lo[0] > hi[0]) return -1;
  const WindowBox box = tiles.AddBox(lo, hi);
  if (!tiles.Hidden(box, 0)) return -1;
  double allowance = 0;
  std::vector<double>& each = hiders.allowances;
  each.resize(end - first);
  for (int k = first; k < end; ++k) {
    each[k - first] = tiles.Allowance(box, hiders.frame, kept.shapes[k]);
    if (each[k - first] < kNoBound) allowance = std::max(allowance, each[k - first]);
  }
  const bool some = tiles.Hidden(box, allowance);
  int marked = 0;
  for (int k = first; k < end; ++k) {
    if (some && each[k - first] < kNoBound) {
      hidden[k - first] = 1;
      ++marked;
    } else {
      place(k);
    }
  }
  return marked;
}

// Sorts out the polygons of a run in view: marks in hidden (by polygon of the run) those hidden
// in the run or in one of its clusters as a group, and gives each other one to place(k).
// Returns how many it marked.
template <typename Place>
int SortOut(const Run& run, const ListCalls& kept, char* hidden, Place place) {
  const int count = run.endPolygon - run.firstPolygon;
  std::fill(hidden, hidden + count, 0);
  const int whole =
      SortGroup(run.lo, run.hi, kept, run.firstPolygon, run.endPolygon, hidden, place);
  if (whole >= 0) return whole;
  int marked = 0;
  for (int c = run.firstCluster; c < run.endCluster; ++c) {
    const ListCalls::Cluster& cluster = kept.clusters[c];
    const int group =
        SortGroup(cluster.lo, cluster.hi, kept, cluster.firstPolygon, cluster.endPolygon,
                  hidden + (cluster.firstPolygon - run.firstPolygon), place);
    if (group >= 0) {
      marked += group;
    } else {
      for (int k = cluster.firstPolygon; k < cluster.endPolygon; ++k) place(k);
    }
  }
  return marked;
}

// Lays the static list's polygons in view on the tiles, unless that was done for this view
// (the same matrices, and OpenGL's window and depth test as they were). The runs are taken
// nearest first (by the depth of their box's centre), so that a run or a cluster behind those
// laid is found hidden as a whole and its polygons are neither placed nor laid.
void LayHiders(const ViewVolume& view) {
  OcclusionTiles tiles;
  tiles.Begin(view);
  if (hiders.built && view == hiders.view && tiles.SameWindow(hiders.tiles)) return;
  hiders.tiles = std::move(tiles);
  hiders.view = view;
  hiders.built = true;
  ++hiders.generation;
  if (!hiders.tiles.usable) return;
  hiders.frame = OcclusionTiles::Frame(view);
  hiders.placed.assign(staticCalls.polygons.size(), WindowPolygon{});
  hiders.grouped.assign(staticCalls.polygons.size(), 0);
  hiders.order.clear();
  const double* m = view.Matrix();
  for (std::size_t r = 0; r < staticRuns.size(); ++r) {
    const Run& run = staticRuns[r];
    if (run.Empty() || view.BoxOutside(run.lo, run.hi)) continue;
    double w = m[15];
    for (int a = 0; a < 3; ++a) w += m[4 * a + 3] * (run.lo[a] + run.hi[a]) / 2;
    hiders.order.emplace_back(w, static_cast<int>(r));
  }
  std::sort(hiders.order.begin(), hiders.order.end());
  for (const auto& [depth, r] : hiders.order) {
    const Run& run = staticRuns[r];
    SortOut(run, staticCalls, &hiders.grouped[run.firstPolygon], [](int k) {
      hiders.placed[k] = PlacePolygon(staticCalls, k, hiders.staticPoints, true);
    });
  }
}

// Replays the runs that can be seen, under the matrices in force: a run wholly out of view is
// left out, and of the others, the polygons hidden behind the static list's (a run or a
// cluster as a whole, or one by one). scenery: the runs are the static list's, sorted out
// when its hiders were laid. Returns how many runs were left out. The plain list is tested
// against hiders it has not drawn yet: the frame draws the static list right after it, under
// the same matrices, and a hidden pixel loses the depth test in either order.
int ReplayInView(const std::vector<Run>& runs, const ListCalls& kept, WindowPoints& points,
                 bool scenery) {
  ViewVolume view;
  view.Read();
  LayHiders(view);
  bool some = false;  // the run replayed next sends only some of its polygons
  std::vector<char>& hidden = hiders.hidden;
  const OcclusionTiles& tiles = hiders.tiles;
  return ReplayRuns(
      runs,
      [&](const Run& run) {
        if (view.BoxOutside(run.lo, run.hi)) return true;
        some = false;
        if (!tiles.usable) return false;
        const int count = run.endPolygon - run.firstPolygon;
        hidden.resize(count);
        int left = 0;
        if (scenery) {
          for (int k = run.firstPolygon; k < run.endPolygon; ++k) {
            const bool out = hiders.grouped[k] || tiles.Hidden(hiders.placed[k]);
            hidden[k - run.firstPolygon] = out;
            left += out;
          }
        } else {
          const int grouped = SortOut(run, kept, hidden.data(), [&](int k) {
            if (!tiles.Hidden(PlacePolygon(kept, k, points, false))) return;
            hidden[k - run.firstPolygon] = 1;
            ++left;
          });
          left += grouped;
        }
        some = left > 0;
        return left == count;
      },
      [](std::size_t) {},
      [&](const Run& run) {
        if (some)
          SendSome(run, kept, hidden);
        else
          CallRun(run);
      });
}

// The static list as the polygon walk sees it.
struct StaticListView {
  int count() const { return staticVertexCount; }
  double red(int v) const { return staticRed[v]; }
  double green(int v) const { return staticGreen[v]; }
  double blue(int v) const { return staticBlue[v]; }
  double x(int v) const { return staticX[v]; }
  double y(int v) const { return staticY[v]; }
  double z(int v) const { return staticZ[v]; }
  double s(int v) const { return staticTexS[v]; }
  double t(int v) const { return staticTexT[v]; }
  int end(int v) const { return staticPolyEnd[v]; }
  int flag(int f) const { return staticTextured[f]; }
  int tex(int f) const { return staticTexId[f]; }
};

// The plain list: untextured polygons. One whose last vertex does not close its polygon is
// closed at the count.
template <typename Out>
void WalkPlainList(Out&& out) {
  if (plainVertexCount <= 0) return;
  out.Disable();
  int i = 0;
  out.Colour(plainRed[1], plainGreen[1], plainBlue[1]);
  out.Begin();
  while (i < plainVertexCount) {
    ++i;
    out.Vertex(plainX[i], plainY[i], plainZ[i]);
    if (plainPolyEnd[i] == 1) {
      out.End();
      if (i < plainVertexCount) {
        out.Colour(plainRed[i + 1], plainGreen[i + 1], plainBlue[i + 1]);
        out.Begin();
      }
    }
  }
  if (plainPolyEnd[plainVertexCount] != 1) out.End();
}

template <typename Out>
void WalkStaticList(Out&& out) {
  DrawPolygonList(
      StaticListView{}, true, [](int) {}, out);
}

// Forgets the recorded lists (their display lists are deleted by the caller, if any), their
// calls and the hiders laid from them.
void ForgetLists() {
  plainRuns.clear();
  staticRuns.clear();
  plainCalls.Clear();
  staticCalls.Clear();
  hiders = {};
  listsLeave = {};
  listsRecorded = false;
}

}  // namespace

void BindTextureCached(int id) {
  if (id == boundTexture) return;
  boundTexture = id;
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(id));
}

bool DrawingAsWritten() { return !recordStaticLists && !viewCulling; }

// Without recorded runs the list is walked vertex by vertex, each polygon out of view left
// out. The frame's clear, right before, has made Mesa draw what it held.
void DrawPlainList() {
  writtenQueue.StateChange();
  if (listsRecorded) {
    plainLeftOut = ReplayInView(plainRuns, plainCalls, hiders.plainPoints, false);
  } else if (DrawingAsWritten()) {
    WalkPlainList(polywalk::GlOut{});
  } else {
    ViewVolume view;
    if (viewCulling) view.Read();
    WalkPlainList(polywalk::FollowOut(writtenQueue, viewCulling ? &view : nullptr));
  }
}

// The recorded runs leave the current colour and GL_TEXTURE_2D as the walk would, and the
// texture it bound last, which the objects and the avatar find in boundTexture.
void DrawStaticList() {
  if (listsRecorded) {
    staticLeftOut = ReplayInView(staticRuns, staticCalls, hiders.staticPoints, true);
    writtenQueue = listsLeave;
  } else if (DrawingAsWritten()) {
    WalkStaticList(polywalk::GlOut{});
  } else {
    ViewVolume view;
    if (viewCulling) view.Read();
    WalkStaticList(polywalk::FollowOut(writtenQueue, viewCulling ? &view : nullptr));
  }
}

void RecordStaticLists() {
  ForgetLists();
  PrepareModelBounds();
  if (!recordStaticLists || distanceCulling == 1 || glGetString(GL_VERSION) == nullptr) return;
  const int bound = boundTexture;
  boundTexture = 0;
  ColourQueue queue;  // as the frame's clear leaves it
  RecordOut plain(plainRuns, kRunPolygons, queue, &plainCalls);
  plain.Open();
  WalkPlainList(plain);
  plain.Finish();
  boundTexture = 0;
  RecordOut scenery(staticRuns, kRunPolygons, queue, &staticCalls);
  scenery.Open();
  WalkStaticList(scenery);
  scenery.Finish();
  listsLeave = queue;
  boundTexture = bound;
  listsRecorded = AllRecorded(plainRuns) && AllRecorded(staticRuns);
  if (!listsRecorded) {  // out of display lists: draw immediately
    DeleteRuns(plainRuns);
    DeleteRuns(staticRuns);
    plainCalls.Clear();
    staticCalls.Clear();
  }
}

OcclusionTiles& SceneryHiders() { return hiders.tiles; }

int RunsLeftOut() { return plainLeftOut + staticLeftOut; }

void ResetDrawing() {
  plainLeftOut = staticLeftOut = 0;
  boundTexture = 0;
  ForgetLists();
  ResetModelBounds();
}
