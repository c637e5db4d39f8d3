// The scene reader on a scene at full capacity: 100,001 static, 6,501 avatar, 50 x 2,000
// object and 10,000 plain vertices, 10,000 obstacle points, textured vertices with names.
// Beside it, the same fields read with std::istream >> (base detection on, as the format's
// ints need) into plain vectors: the yardstick the reader is measured against.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "scene/reader.h"
#include "scene/scene.h"
#include "scene_writer.h"

namespace {

// Fills list with count vertices in quads (the last polygon takes what is left), every
// vertex textured with one of a hundred names when textured is set.
void FillList(std::vector<SceneVertexSpec>& list, int count, bool textured, int part) {
  for (int v = 0; v < count; ++v) {
    SceneVertexSpec x;
    x.red = 0.25 + (v % 7) * 0.1;
    x.green = 0.5;
    x.blue = (v % 3) * 0.3;
    x.x = (v % 1000) * 2.5 - 1250.75;
    x.y = -(v % 37) * 0.125;
    x.z = (v / 1000) * 3.75 + 0.2;
    x.polyEnd = (v % 4 == 3 || v + 1 == count) ? 1 : 0;
    x.texS = (v % 4) * 0.5;
    x.texT = (v % 2) * 1.25;
    x.textured = textured ? 1 : 0;
    x.texName = textured ? "textures/wall" + std::to_string(v % 100) + ".bmp" : "";
    x.part = part;
    list.push_back(x);
  }
}

const std::string& FullScene() {
  static const std::string text = [] {
    SceneSpec plan;
    plan.settings.ControlMode = 1;
    FillList(plan.staticList, 100001, true, -10);
    FillList(plan.plainList, 10000, false, -10);
    FillList(plan.avatarList, 6501, true, 0);
    plan.avatarParts.resize(20);
    plan.objects.resize(50);
    for (int o = 0; o < 50; ++o) {
      SceneObjectSpec& obj = plan.objects[o];
      obj.x = 100.5 * o;
      obj.waypoints = {{1.5 * o, 2}, {3, 4.25}};
      FillList(obj.vertices, 2000, true, o % 20);
      obj.parts.resize(20);
    }
    for (int k = 0; k < 10000; ++k) plan.posts.push_back({k * 0.75, -k * 1.5});
    return WriteSceneText(plan);
  }();
  return text;
}

// ---- The yardstick: the same layout read with operator>> ----------------------------------
struct Yardstick {
  std::istringstream in;
  std::vector<double> doubles;
  std::vector<int> ints;
  std::vector<std::string> names;
  int Int() {
    int v = 0;
    in >> v;
    ints.push_back(v);
    return v;
  }
  void Double(int n = 1) {
    for (int i = 0; i < n; ++i) {
      double d = 0;
      in >> d;
      doubles.push_back(d);
    }
  }
  void Name() {
    char marker;
    in >> marker;
    std::string name;
    std::getline(in, name);
    names.push_back(name);
  }
  // One list; withPart and withTexture as the list has them.
  void Vertices(int count, bool withPart, bool withTexture) {
    int previousEnd = 1;
    for (int v = 1; v <= count; ++v) {
      if (previousEnd == 1) Double(3);
      if (withPart) Int();
      Double(3);
      previousEnd = Int();
      if (!withTexture) continue;
      Double(2);
      Int();
      Name();
    }
  }
};

std::size_t ReadWithIstream(const std::string& text) {
  Yardstick y;
  y.in.str(text);
  y.in.unsetf(std::ios::basefield);  // 010 reads 8, 0x10 reads 16
  const int statics = y.Int(), plains = y.Int(), avatars = y.Int();
  const int objects = y.Int() + 1;
  y.Int();
  for (int i = 0; i < 7; ++i) y.Int();
  y.Double();
  for (int i = 0; i < 3; ++i) y.Int();
  y.Double(10);
  for (int i = 0; i < 3; ++i) y.Int();
  y.Double(6);
  y.Int();
  y.Double(26);
  y.Double(2 * y.Int());
  std::vector<int> points(objects);
  for (int o = 0; o < objects; ++o) {
    y.Int(), y.Int(), y.Int(), y.Double(), y.Int(), y.Double();
    points[o] = y.Int();
  }
  for (int o = 0; o < objects; ++o) y.Double(2 * points[o]);
  y.Double(3);
  if (avatars != 0) {
    y.Double();
    y.Double(70 * (y.Int() + 1));
    y.Vertices(avatars, true, true);
  }
  std::vector<int> vertices(objects);
  for (int o = 0; o < objects; ++o) {
    vertices[o] = y.Int();
    y.Double(8);
  }
  for (int o = 0; o < objects; ++o) y.Vertices(vertices[o], true, true);
  for (int o = 0; o < objects; ++o) {
    y.Double(2);
    y.Double(49 * (y.Int() + 1));
  }
  y.Vertices(statics, false, true);
  y.Vertices(plains, false, false);
  return y.doubles.size() + y.ints.size() + y.names.size();
}

void BM_ReadSceneText(benchmark::State& state) {
  const std::string& text = FullScene();
  for (auto _ : state) {
    ReadSceneText(text.data(), text.size(), "bench.mts", nullptr);
    benchmark::DoNotOptimize(staticX.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.counters["fileMB"] = text.size() / 1e6;
}

void BM_ReadSceneFile(benchmark::State& state) {
  const std::string& text = FullScene();
  const std::string path = "/tmp/citywalk_bench_scene.mts";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);
  for (auto _ : state) {
    ReadSceneFile(path, nullptr);
    benchmark::DoNotOptimize(staticX.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  std::remove(path.c_str());
}

void BM_IstreamYardstick(benchmark::State& state) {
  const std::string& text = FullScene();
  std::size_t fields = 0;
  for (auto _ : state) benchmark::DoNotOptimize(fields = ReadWithIstream(text));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.counters["fields"] = static_cast<double>(fields);
}

}  // namespace

BENCHMARK(BM_ReadSceneText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadSceneFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IstreamYardstick)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
