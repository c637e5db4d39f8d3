// A walking step among the posts of a town against the same step with no posts: the demo town
// (scripts/town.sh builds it; CITYWALK_TOWN names its folder, default build/bench/town-walk)
// holds some 60,000 posts along its walls. The steps walk from the town's road pieces (a
// street's middle, where people walk), 25 steps from each, a different way each time, each
// tested against the posts as the walking mode tests it; walks from beside the walls (where
// steps are refused and the deflections probed) are measured as well. Beside them, one frame of the
// town's 50 moving objects, each kept to its route by its own thousands of points.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/shell.h"
#include "motion/objects.h"
#include "motion/point_grid.h"
#include "motion/step.h"
#include "motion/viewer.h"
#include "scene/reader.h"
#include "scene/scene.h"

namespace {

struct Place {
  double x, z;
};

std::vector<Place> streets, walls;
int townPosts = 0;

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
  return ok = true;
}

// Step i of a walk: 25 steps of speed 4 from each place in turn, along heading (i / 25) x 0.7
// radians, each tested as the walking mode tests it (as a walker walks, frame after frame).
void Step(const std::vector<Place>& places, std::size_t i) {
  const std::size_t walk = i / 25;
  const Place& p = places[walk % places.size()];
  moveAngle = static_cast<double>(walk) * 0.7;
  const double along = static_cast<double>(i % 25) * 4;
  eyeX = p.x - std::sin(moveAngle) * along;
  eyeZ = p.z - std::cos(moveAngle) * along;
  forwardSpeed = 4;
  stepBlocked = 0;
  forwardDeflection = 0;
  forwardDeflectPhase = 1;
  benchmark::DoNotOptimize(DeflectedStep(StepChannel::Forward, collisionRadius, 0.01,
                                         walkDeflectLimit, walkSlowdownFactor));
}

void Run(benchmark::State& state, const std::vector<Place>& places, bool posts) {
  if (!LoadTown()) {
    state.SkipWithError("no town scene");
    return;
  }
  obstacleCount = posts ? townPosts : 0;
  std::size_t i = 0;
  long compared = 0;
  for (auto _ : state) {
    Step(places, i++);
    compared += LastPointTest().compared;
  }
  obstacleCount = townPosts;
  state.counters["posts"] = posts ? townPosts : 0;
  state.counters["compared"] = static_cast<double>(compared) / static_cast<double>(i);
}

void StreetStepAmongPosts(benchmark::State& state) { Run(state, streets, true); }
void StreetStepNoPosts(benchmark::State& state) { Run(state, streets, false); }
void WallStepAmongPosts(benchmark::State& state) { Run(state, walls, true); }
void WallStepNoPosts(benchmark::State& state) { Run(state, walls, false); }

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
BENCHMARK(StreetStepAmongPosts);
BENCHMARK(WallStepNoPosts);
BENCHMARK(WallStepAmongPosts);
BENCHMARK(ObjectsFrame);

}  // namespace

BENCHMARK_MAIN();
