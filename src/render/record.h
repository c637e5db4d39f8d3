// Polygon lists recorded once into OpenGL display lists and replayed every frame: the plain and
// static lists in runs of consecutive polygons, the objects and the avatar in runs between the
// switches of their part transforms. A replay leaves OpenGL, the binding cache and the part
// bookkeeping exactly as walking the list vertex by vertex would.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "platform/win32.h"
#include "render/colour_queue.h"
#include "render/occlusion.h"
#include "render/parts.h"
#include "render/polywalk.h"
#include "render/texture_binding.h"

// The state a list leaves in OpenGL after some of its polygons: the colour and texture
// coordinates sent last, texture enabling as switched last (-1: not yet), and the texture
// bound last as the binding cache holds it (0: nothing yet).
struct LeftState {
  double r = 0, g = 0, b = 0, s = 0, t = 0;
  bool coloured = false, mapped = false;
  int texture = -1;
  int bound = 0;
};

// One run of consecutive polygons recorded as a display list: the box around its vertices
// (empty when lo > hi: the run sends no vertex) and the state the list leaves after it, from
// the list's start; and where its calls lie in the list's ListCalls, if kept.
struct Run {
  GLuint list = 0;
  double lo[3] = {1, 1, 1}, hi[3] = {0, 0, 0};
  LeftState leaves;
  int firstCall = 0, endCall = 0, firstPolygon = 0, endPolygon = 0, firstCluster = 0,
      endCluster = 0;
  bool Empty() const { return lo[0] > hi[0]; }
};

// A recorded list's calls kept on the processor as well, so that a run can be sent with some
// of its polygons left out: the calls between polygons (texture enabling and binding, the
// colour set after a run's last vertex) and each polygon's colour, how it takes it, and its
// vertices with the texture coordinates the walk sent with them.
struct ListCalls {
  enum Kind : unsigned char { kEnable, kDisable, kBind, kColour, kPolygon };
  struct Call {
    Kind kind;
    int value;  // kBind: the texture; kColour: an index into colours; kPolygon: into polygons
  };
  struct Attributes {
    double s, t;
    bool mapped;  // texture coordinates sent with the vertex
  };
  struct Polygon {
    int first, count;  // its vertices
    bool textured;     // drawn with texturing on
    bool perVertex;    // its colour goes with each vertex (else it is the current colour)
    double r, g, b;
  };
  std::vector<Call> calls;
  std::vector<double> colours;         // r, g, b triples
  std::vector<double> points;          // x, y, z triples, one a position the list uses
  std::vector<int> corners;            // one a vertex: its position in points
  std::vector<Attributes> attributes;  // one a vertex
  std::vector<Polygon> polygons;
  std::vector<PolygonShape> shapes;  // one a polygon, for the hidden test of groups of them
  // The run's polygons in groups of up to kClusterPolygons consecutive ones, each with the box
  // around its vertices, to test what lies hidden a group at a time.
  struct Cluster {
    int firstPolygon, endPolygon;
    double lo[3], hi[3];
  };
  static constexpr int kClusterPolygons = 8;
  std::vector<Cluster> clusters;
  void Clear() { *this = {}; }
};

// Where a recorded walk's drawing goes: the same calls, each polygon taking its colour as the
// walk drawn vertex by vertex would (written follows that drawing's calls; colour_queue.h): a
// polygon taking it with each vertex has its colour sent inside glBegin/glEnd, so that Mesa
// keeps it with the vertices of the display list, one taking the current colour has it sent
// before glBegin, where the display list keeps it as a call of its own. Consecutive polygons
// of the first kind make one run of vertices, which OpenGL replays far faster than polygons
// separated by calls. The colour the walk has set last is set again at the end of each run:
// the current colour after a replay is what the walk leaves. The walk is cut into runs, each its
// own display list, after every runPolygons polygons (0: only where Cut is called); the calls
// between two polygons go with the one after.
struct RecordOut {
  RecordOut(std::vector<Run>& into, int polygonsPerRun, ColourQueue& queue,
            ListCalls* keep = nullptr)
      : runs(into), runPolygons(polygonsPerRun), written(queue), kept(keep) {}
  std::vector<Run>& runs;
  int runPolygons;
  ColourQueue& written;
  ListCalls* kept;  // where the calls are kept as well (none: not kept)
  std::unordered_map<std::string, int> positions;  // kept positions by their bytes
  std::vector<const double*> shapeCorners;         // scratch: a kept polygon's corners
  double r = 0, g = 0, b = 0, s = 0, t = 0;
  bool colourPending = false;  // a colour set outside a polygon, not sent with one yet
  bool mapping = false;        // texture coordinates set for the next vertex
  bool open = false;           // between Begin and End
  int polygons = 0;            // in the open run
  LeftState sent;              // what the walk so far leaves
  // Opens the first run.
  void Open();
  // Closes the open run and opens the next.
  void Cut();
  // Closes the last run.
  void Finish();
  void Colour(double rr, double gg, double bb);
  void TexCoord(double ss, double tt);
  void Vertex(double x, double y, double z);
  void Begin();
  void End();
  void Enable();
  void Disable();
  void Bind(int id);

 private:
  void Close();
};

// Whether every run has a display list (OpenGL may run out of them).
bool AllRecorded(const std::vector<Run>& runs);
// Deletes the runs' display lists.
void DeleteRuns(std::vector<Run>& runs);
// Sends the state a list leaves after the runs left out before a run that is replayed.
void MakeState(const LeftState& state);
// Replays one run and gives the binding cache the texture the list has bound by its end.
void CallRun(const Run& run);
// Sends a run's kept calls, leaving out polygon k of the list where hidden[k - run.firstPolygon]
// is not 0, and the colour and texture coordinates the run leaves; the binding cache ends as
// after CallRun.
//
// Why that draws what glCallList(run.list) would, but for the polygons left out. The kept calls
// are those the display list was compiled from (RecordOut), in its order: texture enabling,
// each binding the list makes (one the cache skipped is in neither), the colour set at the
// run's end, and each polygon's vertices with the texture coordinates sent with them. Each
// polygon is sent with its own colour, taken as the list gives it (with each vertex, or as the
// current colour, PolygonSender making Mesa empty its layout first), so it does not depend on
// the polygons before it being sent; nor do its texture coordinates, as every vertex of a
// textured polygon carries its own, and an untextured one is drawn with texturing off. What
// the polygons left out would have left behind, the current colour and texture coordinates,
// is set at the end as the list leaves it (run.leaves); texturing and the binding are the
// list's own calls, and the cache is told as after CallRun.
void SendSome(const Run& run, const ListCalls& kept, const std::vector<char>& hidden);

// How a replay sends a run: not at all (left out), whole (its display list), or only some of its
// polygons (SendSome).
enum class RunSend { kSkip, kWhole, kSome };

// Replays the runs, each as decide(run) says: kWhole by CallRun, kSome by some(run); for a
// stretch of runs left out (or with no vertex: not decided) only the state the last of them
// leaves is made. between(k) runs before run k > 0. The binding cache ends as the whole list
// leaves it. Returns how many runs with vertices were left out.
template <typename Decide, typename Between, typename Some>
int ReplayRuns(const std::vector<Run>& runs, Decide decide, Between between, Some some) {
  const Run* pending = nullptr;
  int leftOut = 0;
  for (std::size_t k = 0; k < runs.size(); ++k) {
    if (k > 0) between(k);
    const Run& run = runs[k];
    const RunSend send = run.Empty() ? RunSend::kSkip : decide(run);
    if (send == RunSend::kSkip) {
      pending = &run;
      leftOut += !run.Empty();
      continue;
    }
    if (pending) MakeState(pending->leaves);
    pending = nullptr;
    if (send == RunSend::kSome)
      some(run);
    else
      CallRun(run);
  }
  if (pending) MakeState(pending->leaves);
  return leftOut;
}

// A model's polygon list (an object's or the avatar's) recorded in runs cut where its part
// transform switches: run k is drawn after switching to part tags[k] (k > 0; the part tag of
// the vertex that closed the polygon before it, or kNoPart).
//
// Drawn vertex by vertex, the part is switched after every polygon (SwitchPart). A switch to
// the tag already in force changes nothing: with a part applied and the same tag nothing is
// done; with none applied and the tag kNoPart nothing is done; with none applied after the
// tag's transform failed, it fails again the same way (the pivots and angles do not change
// while a list is drawn), making no call. Every list starts with no part applied (each drawing
// undoes its part at the end). So switching only where the tag changes from the one before
// (kNoPart at the start) is the same drawing. The walk of a model never uses the distance
// test, so the record does not depend on the eye.
//
// Each polygon takes its colour as the walk gives it when Mesa holds nothing as the model
// begins and every switch of the record makes calls (a matrix changed: Mesa draws what it
// holds). The objects' and the avatar's placements are made right before them; a switch makes
// no call only where a part's transform cannot be applied (EverySwitchCalls in parts.h), and a
// model whose switches would not all make calls is drawn vertex by vertex instead.
struct ModelRecord {
  std::vector<Run> runs;
  std::vector<int> tags;
  ListCalls calls;     // the runs' polygons, for their shapes
  ColourQueue leaves;  // Mesa's queue after the walk, begun holding nothing
  bool recorded = false;
};

// A model is recorded only when its runs average at least this many vertices: replaying a
// display list costs more than sending a few vertices, and a model whose parts switch every
// few polygons (the demo city's cars and people) is drawn faster vertex by vertex.
inline int minModelRunVertices = 32;

// Records a model's list; tagOf(v) gives vertex v's part tag. A model whose runs are shorter
// on average than minModelRunVertices is not recorded (drawn vertex by vertex). The record starts
// with an empty binding cache, so that it binds its first texture itself whatever is bound when it
// is replayed; its runs are always replayed all together and in order, so within the record the
// cache carries from run to run as when drawing. Leaves the cache as it found it
// (TextureBindingSaved).
template <typename List, typename TagOf>
ModelRecord RecordModel(const List& list, TagOf tagOf) {
  ModelRecord model;
  {
    const TextureBindingSaved saved;
    ColourQueue queue;
    RecordOut out(model.runs, 0, queue, &model.calls);
    int current = kNoPart;
    model.tags.push_back(current);
    out.Open();
    DrawPolygonList(
        list, false,
        [&](int v) {
          const int tag = PartTag(tagOf(v));
          if (tag == current) return;
          current = tag;
          out.Cut();
          queue.StateChange();
          model.tags.push_back(tag);
        },
        out);
    out.Finish();
    model.leaves = queue;
  }
  const double runs = static_cast<double>(model.runs.size());
  model.recorded = AllRecorded(model.runs) && list.count() >= minModelRunVertices * runs;
  if (!model.recorded) DeleteRuns(model.runs);
  return model;
}

// Draws a recorded model under the matrices in force, switching its parts by switchTo(tag)
// between the runs as drawing it vertex by vertex would. A model out of view sends no run but
// switches its parts all the same and leaves the state its drawing would. writtenQueue ends as
// the walk leaves it.
template <typename SwitchTo>
void ReplayModel(const ModelRecord& model, bool inView, SwitchTo switchTo) {
  ReplayRuns(
      model.runs, [inView](const Run&) { return inView ? RunSend::kWhole : RunSend::kSkip; },
      [&](std::size_t k) { switchTo(model.tags[k]); }, [](const Run&) {});
  writtenQueue = model.leaves;
}
