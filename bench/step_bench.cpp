// A walking step among the posts of a town against the same step with no posts: the demo town
// (scripts/town.sh builds it; CITYWALK_TOWN names its folder, default build/bench/town-walk)
// holds some 60,000 posts along its walls. The steps walk from the town's road pieces (a
// street's middle, where people walk), 25 steps from each, a different way each time, each
// tested against the posts as the walking mode tests it; walks from beside the walls (where
// steps are refused and the deflections probed) are measured as well. Beside them, one frame of the
// town's 50 moving objects, each kept to its route by its own thousands of points, and the
// walking mode's whole frame of motion (the step and the camera it loads) among the posts and
// without them.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/input.h"
#include "app/shell.h"
#include "motion/objects.h"
#include "motion/point_grid.h"
#include "motion/step.h"
#include "motion/viewer.h"
#include "motion/walk.h"
#include "scene/reader.h"
#include "scene/scene.h"

namespace {

struct Place {
  double x, z;
};

std::vector<Place> streets, walls;
std::vector<Place> streetWalks, wallWalks;  // every step's start, worked out before timing
int townPosts = 0;

// The starts of the steps of walks: 25 steps of speed 4 from each place in turn, along heading
// (walk number) x 0.7 radians (as a walker walks, frame after frame).
std::vector<Place> Walks(const std::vector<Place>& places) {
  std::vector<Place> steps;
  for (std::size_t walk = 0; walk < places.size(); ++walk)
    for (int k = 0; k < 25; ++k) {
      const double angle = static_cast<double>(walk) * 0.7, along = k * 4.0;
      steps.push_back(
          {places[walk].x - std::sin(angle) * along, places[walk].z - std::cos(angle) * along});
    }
  return steps;
}

// Loads the town once; the places of the steps: the middle of every 7th road piece of the
// ground (drawn in the asphalt colour, the plain list's darkest), and 11 units out from every
// 97th post.
bool LoadTown() {
  static bool loaded = false, ok = false;
  if (loaded) return ok;
  loaded = true;
  const char* dir = std::getenv("CITYWALK_TOWN");
  const std::string path = FindSceneFile(dir ? dir : "build/bench/town-walk");
  ResetProgramState();
  if (path.empty() || !ReadSceneFile(path, nullptr) || obstacleCount < 1000) {
    std::fprintf(stderr, "no town scene: run scripts/town.sh first (see bench/timedemo.sh)\n");
    return false;
  }
  townPosts = obstacleCount;
  double darkest = 1e9;
  for (int v = 1; v <= plainVertexCount; v += 3) darkest = std::min(darkest, plainRed[v]);
  for (int v = 1, n = 0; v + 2 <= plainVertexCount; v += 3)
    if (plainRed[v] == darkest && n++ % 7 == 0)
      streets.push_back({(plainX[v] + plainX[v + 1] + plainX[v + 2]) / 3,
                         (plainZ[v] + plainZ[v + 1] + plainZ[v + 2]) / 3});
  for (int k = 1; k <= obstacleCount; k += 97) walls.push_back({obstacleX[k] + 11, obstacleZ[k]});
  OnKeyDown(VK_UP, 0);  // the walking frames walk
  streetWalks = Walks(streets);
  wallWalks = Walks(walls);
  return ok = true;
}

// Step i of the walks, tested as the walking mode tests it.
void Step(const std::vector<Place>& steps, std::size_t i) {
  const Place& p = steps[i % steps.size()];
  eyeX = p.x;
  eyeZ = p.z;
  moveAngle = static_cast<double>(i / 25) * 0.7;
  forwardSpeed = 4;
  stepBlocked = 0;
  forwardDeflection = 0;
  forwardDeflectPhase = 1;
  benchmark::DoNotOptimize(DeflectedStep(StepChannel::Forward, collisionRadius, 0.01,
                                         walkDeflectLimit, walkSlowdownFactor));
}

// Frame i of the walks as the walking mode runs it: its whole motion step (WalkModeStep: the
// step above, and the camera it loads) with Up held.
void Frame(const std::vector<Place>& steps, std::size_t i) {
  const Place& p = steps[i % steps.size()];
  eyeX = p.x;
  eyeZ = p.z;
  heading = -static_cast<double>(i / 25) * 0.7 / degToRad;
  forwardSpeed = 4;
  stepBlocked = 0;
  forwardDeflection = 0;
  forwardDeflectPhase = 1;
  WalkModeStep();
}

void Run(benchmark::State& state, const std::vector<Place>& places, double posts,
         void (*take)(const std::vector<Place>&, std::size_t) = Step) {
  if (!LoadTown()) {
    state.SkipWithError("no town scene");
    return;
  }
  obstacleCount = static_cast<int>(townPosts * posts);
  std::size_t i = 0;
  long compared = 0;
  for (auto _ : state) {
    take(places, i++);
    compared += LastPointTest().compared;
  }
  obstacleCount = townPosts;
  state.counters["posts"] = static_cast<int>(townPosts * posts);
  state.counters["compared"] = static_cast<double>(compared) / static_cast<double>(i);
}

void StreetStepAmongPosts(benchmark::State& state) { Run(state, streetWalks, 1); }
void StreetStepAmongATenth(benchmark::State& state) { Run(state, streetWalks, 0.1); }
void StreetStepNoPosts(benchmark::State& state) { Run(state, streetWalks, 0); }
void WallStepAmongPosts(benchmark::State& state) { Run(state, wallWalks, 1); }
void WallStepNoPosts(benchmark::State& state) { Run(state, wallWalks, 0); }
void StreetFrameAmongPosts(benchmark::State& state) { Run(state, streetWalks, 1, Frame); }
void StreetFrameNoPosts(benchmark::State& state) { Run(state, streetWalks, 0, Frame); }

// A frame of the town's moving objects, all moving (none frozen far from the viewer).
void ObjectsFrame(benchmark::State& state) {
  if (!LoadTown()) {
    state.SkipWithError("no town scene");
    return;
  }
  for (int o = 0; o <= objectLastIndex; ++o) objectCullTest[o] = 0;
  for (auto _ : state)
    for (int o = 0; o <= objectLastIndex; ++o) MoveObjects(o);
  state.counters["objects"] = objectLastIndex + 1;
}

BENCHMARK(StreetStepNoPosts);
BENCHMARK(StreetStepAmongATenth);
BENCHMARK(StreetStepAmongPosts);
BENCHMARK(WallStepNoPosts);
BENCHMARK(WallStepAmongPosts);
BENCHMARK(StreetFrameNoPosts);
BENCHMARK(StreetFrameAmongPosts);
BENCHMARK(ObjectsFrame);

}  // namespace

BENCHMARK_MAIN();
