// citywalk-replay: runs the program's WinMain on the headless platform with a scripted input,
// a virtual clock that draws one frame per loop turn, a per-frame trace, a snapshot of the
// last frame and frame timings; or plays back a recording of the real program (citywalk
// --record) exactly. See README.md, "Replaying and benchmarking".
#include <algorithm>
#include <charconv>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/frame.h"
#include "app/shell.h"
#include "app/trace.h"
#include "bmp.h"
#include "film.h"
#include "platform/headless.h"
#include "platform/recording.h"
#include "platform/win32.h"
#include "random_input.h"
#include "render/cull.h"
#include "render/polylist.h"
#include "script.h"

namespace {

constexpr DWORD kTurnMilliseconds = 40;
constexpr long long kIdleTurnLimit = 1000;

const char kUsage[] =
    "usage: citywalk-replay [--dir DIR] [--frames N] [--script FILE] [--recording FILE]\n"
    "                       [--trace FILE|-] [--snapshot FILE.bmp] [--screen WxH]\n"
    "                       [--start-tick T] [--timedemo] [--immediate] [--no-culling]\n"
    "                       [--random-input SEED] [--memory]\n"
    "                       [--video FILE.mp4|.webm|.webp|.gif] [--frames-dir DIR] [--progress]\n"
    "                       [--frame-sums FILE]\n";

struct Arguments {
  std::string dir;
  long long frames = 100;
  bool framesGiven = false;
  std::string script, recording, trace, snapshot;
  int screenWidth = 1024, screenHeight = 768;
  bool screenGiven = false;
  DWORD startTick = 1000;
  bool startTickGiven = false;
  bool timedemo = false;
  bool immediate = false;
  bool noCulling = false;
  bool random = false;
  std::uint64_t seed = 0;
  bool memory = false;
  std::string video, framesDir, frameSums;
  bool progress = false;
};

template <typename T>
bool ParseNumber(const std::string& text, T& value) {
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

// Reads the command line; false with a message on anything it does not understand.
bool ParseArguments(int argc, char** argv, Arguments& args, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--timedemo") {
      args.timedemo = true;
      continue;
    }
    if (option == "--immediate") {
      args.immediate = true;
      continue;
    }
    if (option == "--no-culling") {
      args.noCulling = true;
      continue;
    }
    if (option == "--memory") {
      args.memory = true;
      continue;
    }
    if (option == "--progress") {
      args.progress = true;
      continue;
    }
    if (option == "--help" || option == "-h") {
      error = "";
      return false;
    }
    if (i + 1 >= argc) {
      error = option + " needs a value";
      return false;
    }
    const std::string value = argv[++i];
    if (option == "--dir") {
      args.dir = value;
    } else if (option == "--frames") {
      if (!ParseNumber(value, args.frames) || args.frames < 1) {
        error = "--frames needs a positive count";
        return false;
      }
      args.framesGiven = true;
    } else if (option == "--script") {
      args.script = value;
    } else if (option == "--recording") {
      args.recording = value;
    } else if (option == "--trace") {
      args.trace = value;
    } else if (option == "--snapshot") {
      args.snapshot = value;
    } else if (option == "--video") {
      args.video = value;
    } else if (option == "--frames-dir") {
      args.framesDir = value;
    } else if (option == "--frame-sums") {
      args.frameSums = value;
    } else if (option == "--screen") {
      const auto x = value.find('x');
      if (x == std::string::npos || !ParseNumber(value.substr(0, x), args.screenWidth) ||
          !ParseNumber(value.substr(x + 1), args.screenHeight) || args.screenWidth < 1 ||
          args.screenHeight < 1 || args.screenWidth > 16384 || args.screenHeight > 16384) {
        error = "--screen needs WxH, each 1..16384";
        return false;
      }
      args.screenGiven = true;
    } else if (option == "--random-input") {
      args.random = true;
      if (!ParseNumber(value, args.seed)) {
        error = "--random-input needs a seed 0..18446744073709551615";
        return false;
      }
    } else if (option == "--start-tick") {
      if (!ParseNumber(value, args.startTick)) {
        error = "--start-tick needs a tick count 0..4294967295";
        return false;
      }
      args.startTickGiven = true;
    } else {
      error = "unknown option " + option;
      return false;
    }
  }
  return true;
}

// The state of one replay, read by the two hooks.
struct Replay {
  Arguments args;
  std::vector<ScriptEvent> events;
  size_t nextEvent = 0;
  long long turn = 1;
  bool turnPosted = false;
  long long frames = 0;
  long long idleTurns = 0;  // turns since the last drawn frame
  bool finishRequested = false;
  bool destroyed = false;
  std::ostream* trace = nullptr;
  bool timing = false;
  std::chrono::steady_clock::time_point frameStart;
  std::vector<double> frameMs;
  RandomInput random;
  long long warmUpFrame = 0;
  long warmUpKb = 0;
  long peakKb = 0;       // the most resident memory seen after the warm-up, every 100 frames
  Film* film = nullptr;  // filming: each traced frame goes to the video and frame files
  std::ostream* sums = nullptr;  // each traced frame's size and checksum
  Progress* progress = nullptr;
  bool playing = false;  // a recording is played back (the platform gives the input)
  size_t recordedEvents = 0;
};

Replay replay;

// The process's resident memory now, in kB, from /proc (0 where there is none).
long ResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string key;
  long kb = 0;
  while (status >> key) {
    if (key == "VmRSS:") {
      status >> kb;
      return kb;
    }
    status.ignore(1 << 12, '\n');
  }
  return 0;
}

// Gives one script event through the same paths as real input.
void Apply(const ScriptEvent& event) {
  switch (event.kind) {
    case EventKind::KeyDown:
      headless::PressKey(static_cast<WPARAM>(event.a));
      break;
    case EventKind::KeyUp:
      headless::ReleaseKey(static_cast<WPARAM>(event.a));
      break;
    case EventKind::MouseMove:
      headless::MoveMouse(event.a, event.b);
      break;
    case EventKind::LeftDown:
      headless::PressLeftButton(event.a, event.b);
      break;
    case EventKind::LeftUp:
      headless::ReleaseLeftButton(event.a, event.b);
      break;
    case EventKind::Resize:
      headless::ResizeWindow(event.a, event.b);
      break;
    case EventKind::Close:
      headless::CloseWindow();
      break;
  }
}

// Ends the run through the program's own teardown: the window is destroyed, WM_DESTROY
// posts the quit message. Should the program not post it, the quit is posted here.
void Finish() {
  if (!replay.destroyed) {
    replay.destroyed = true;
    if (HWND window = headless::WindowHandle()) {
      DestroyWindow(window);
      return;
    }
  }
  if (!headless::QuitPosted()) {
    std::fprintf(stderr, "citywalk-replay: the program did not quit; ending the run\n");
    PostQuitMessage(0);
  }
}

// The message loop found the queue empty: give the events of this turn, or else let 40 ms
// pass so that the loop's FrameStep draws the turn's frame.
bool OnQueueEmpty() {
  if (replay.playing) replay.finishRequested = true;  // the recording is used up
  if (replay.finishRequested) {
    Finish();
    return true;
  }
  if (!replay.turnPosted) {
    replay.turnPosted = true;
    bool posted = false;
    while (replay.nextEvent < replay.events.size() &&
           replay.events[replay.nextEvent].frame <= replay.turn) {
      Apply(replay.events[replay.nextEvent++]);
      posted = true;
    }
    if (replay.args.random && GiveRandomInput(replay.random)) posted = true;
    if (posted) return true;
  }
  if (replay.nextEvent >= replay.events.size() && replay.idleTurns >= kIdleTurnLimit) {
    std::fprintf(stderr,
                 "citywalk-replay: %lld turns without a frame after the script ended "
                 "(paused?); ending the run after %lld frames\n",
                 kIdleTurnLimit, replay.frames);
    replay.finishRequested = true;
    Finish();
    return true;
  }
  headless::AdvanceTick(kTurnMilliseconds);
  ++replay.turn;
  replay.turnPosted = false;
  ++replay.idleTurns;
  replay.timing = true;
  replay.frameStart = std::chrono::steady_clock::now();
  return false;
}

// The 64-bit FNV-1a hash of a frame's pixels: two frames that differ in any byte differ in it
// but for a chance of 2^-64.
std::uint64_t FrameSum(const std::vector<std::uint8_t>& rgba) {
  std::uint64_t hash = 0xcbf29ce484222325ull;
  for (const std::uint8_t byte : rgba) hash = (hash ^ byte) * 0x100000001b3ull;
  return hash;
}

// A frame was presented: time it (only a frame of the loop's own FrameStep, not one drawn
// inside a message), trace it, and stop after the last one asked for.
void AfterSwap() {
  if (replay.timing && headless::MessageDepth() == 0) {
    const auto elapsed = std::chrono::steady_clock::now() - replay.frameStart;
    replay.frameMs.push_back(std::chrono::duration<double, std::milli>(elapsed).count());
  }
  replay.timing = false;
  ++replay.frames;
  replay.idleTurns = 0;
  if (replay.args.memory && replay.frames >= replay.warmUpFrame &&
      (replay.frames - replay.warmUpFrame) % 100 == 0) {
    const long kb = ResidentKb();
    if (replay.frames == replay.warmUpFrame) replay.warmUpKb = kb;
    replay.peakKb = std::max(replay.peakKb, kb);
  }
  if (!headless::PlaybackError().empty()) return;  // the program left the recording
  if (replay.trace && replay.frames <= replay.args.frames)
    *replay.trace << TraceLine(replay.frames, static_cast<std::uint32_t>(nowTick)) << '\n';
  if (replay.film && replay.frames <= replay.args.frames) {
    const headless::Frame& frame = headless::LastFrame();
    replay.film->Add(frame.width, frame.height, frame.rgba);
  }
  if (replay.sums && replay.frames <= replay.args.frames) {
    const headless::Frame& frame = headless::LastFrame();
    char line[64];
    std::snprintf(line, sizeof line, "%lld %dx%d %016llx\n", replay.frames, frame.width,
                  frame.height, static_cast<unsigned long long>(FrameSum(frame.rgba)));
    *replay.sums << line;
  }
  if (replay.progress && replay.frames <= replay.args.frames)
    replay.progress->Frame(replay.frames, replay.playing
                                              ? static_cast<double>(headless::PlaybackPosition()) /
                                                    static_cast<double>(replay.recordedEvents)
                                              : -1);
  if (replay.frames >= replay.args.frames) {
    replay.finishRequested = true;
    headless::StopPlayback();
  }
}

// While a recording plays, the loop found nothing waiting: it is about to draw its frame.
void OnIdle() {
  replay.timing = true;
  replay.frameStart = std::chrono::steady_clock::now();
}

// Reads the recording at path: 0 when read, else the status after its one-line error.
int ReadRecording(const std::string& path, std::vector<recording::Event>& events) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "citywalk-replay: %s: cannot read the recording\n", path.c_str());
    return 2;
  }
  int line = 0;
  std::string why;
  if (!recording::Read(in, events, &line, &why)) {
    std::fprintf(stderr, "citywalk-replay: %s:%d: %s\n", path.c_str(), line, why.c_str());
    return 1;
  }
  Arguments& args = replay.args;
  const recording::Event& screen = events.front();
  if (!args.screenGiven) {
    args.screenWidth = static_cast<int>(screen.a);
    args.screenHeight = static_cast<int>(screen.b);
  } else if (screen.a > args.screenWidth || screen.b > args.screenHeight) {
    std::fprintf(stderr,
                 "citywalk-replay: %s:%d: recorded on a %lldx%lld screen, larger than --screen "
                 "%dx%d; give --screen %lldx%lld or larger, or leave --screen out\n",
                 path.c_str(), screen.line, static_cast<long long>(screen.a),
                 static_cast<long long>(screen.b), args.screenWidth, args.screenHeight,
                 static_cast<long long>(screen.a), static_cast<long long>(screen.b));
    return 1;
  }
  if (args.random || args.startTickGiven) {
    std::fprintf(stderr,
                 "citywalk-replay: %s cannot be given with a recording (its input and "
                 "ticks are the recorded ones)\n",
                 args.random ? "--random-input" : "--start-tick");
    return 1;
  }
  if (!args.framesGiven) args.frames = LLONG_MAX;  // the whole recording
  return 0;
}

void PrintTimedemo(std::FILE* out) {
  std::vector<double> ms = replay.frameMs;
  double total = 0;
  for (double m : ms) total += m;
  double median = 0, worst = 0;
  if (!ms.empty()) {
    std::sort(ms.begin(), ms.end());
    const size_t n = ms.size();
    median = n % 2 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2;
    worst = ms.back();
  }
  std::fprintf(out, "frames drawn: %lld (timed: %zu)\n", replay.frames, ms.size());
  std::fprintf(out, "total ms: %.3f\n", total);
  std::fprintf(out, "ms per frame: median %.3f, max %.3f\n", median, worst);
  std::fprintf(out, "frames per second: %.1f\n", total > 0 ? ms.size() * 1000.0 / total : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
  Arguments& args = replay.args;
  std::string error;
  if (!ParseArguments(argc, argv, args, error)) {
    if (error.empty()) {  // --help
      std::fputs(kUsage, stdout);
      return 0;
    }
    std::fprintf(stderr, "citywalk-replay: %s\n", error.c_str());
    std::fputs(kUsage, stderr);
    return 1;
  }
  // A script whose first line is a recording's version line is a recording.
  if (!args.script.empty() && args.recording.empty()) {
    std::ifstream script(args.script);
    std::string first;
    if (script && std::getline(script, first) && recording::LooksLikeRecording(first))
      std::swap(args.script, args.recording);
  }
  std::vector<recording::Event> recorded;
  if (!args.recording.empty()) {
    if (!args.script.empty()) {
      std::fprintf(stderr, "citywalk-replay: give either a script or a recording, not both\n");
      return 1;
    }
    if (const int status = ReadRecording(args.recording, recorded)) return status;
    replay.playing = true;
    replay.recordedEvents = recorded.size();
  }
  if (!args.script.empty()) {
    std::ifstream script(args.script);
    if (!script) {
      std::fprintf(stderr, "citywalk-replay: cannot read script %s\n", args.script.c_str());
      return 1;
    }
    if (!ParseScript(script, replay.events, error)) {
      std::fprintf(stderr, "citywalk-replay: %s: %s\n", args.script.c_str(), error.c_str());
      return 1;
    }
  }
  std::unique_ptr<std::ofstream> traceFile;
  if (args.trace == "-") {
    replay.trace = &std::cout;
  } else if (!args.trace.empty()) {
    traceFile = std::make_unique<std::ofstream>(args.trace);
    if (!*traceFile) {
      std::fprintf(stderr, "citywalk-replay: cannot write trace %s\n", args.trace.c_str());
      return 1;
    }
    replay.trace = traceFile.get();
  }
  std::unique_ptr<std::ofstream> sumsFile;
  if (!args.frameSums.empty()) {
    sumsFile = std::make_unique<std::ofstream>(args.frameSums);
    if (!*sumsFile) {
      std::fprintf(stderr, "citywalk-replay: cannot write %s\n", args.frameSums.c_str());
      return 1;
    }
    replay.sums = sumsFile.get();
  }
  std::string snapshotPath, videoPath, framesPath;
  if (!args.snapshot.empty()) snapshotPath = std::filesystem::absolute(args.snapshot).string();
  if (!args.video.empty()) videoPath = std::filesystem::absolute(args.video).string();
  if (!args.framesDir.empty()) framesPath = std::filesystem::absolute(args.framesDir).string();
  if (!args.dir.empty()) {
    std::error_code ec;
    if (!std::filesystem::is_directory(args.dir, ec)) {
      std::fprintf(stderr, "citywalk-replay: scene folder %s missing\n", args.dir.c_str());
      return 2;
    }
    std::filesystem::current_path(args.dir, ec);
    if (ec) {
      std::fprintf(stderr, "citywalk-replay: cannot enter %s\n", args.dir.c_str());
      return 2;
    }
  }

  // The film is the size of the virtual screen; its outputs are checked before any frame.
  Film film;
  const bool filming = !videoPath.empty() || !framesPath.empty();
  if (filming) {
    if (!film.Open(videoPath, framesPath, args.screenWidth, args.screenHeight, error)) {
      std::fprintf(stderr, "citywalk-replay: %s\n", error.c_str());
      return 1;
    }
    replay.film = &film;
  }
  std::unique_ptr<Progress> progress;
  if (filming || args.progress) {
    progress = std::make_unique<Progress>(args.frames, args.progress);
    replay.progress = progress.get();
  }

  headless::Options options;
  options.screenWidth = args.screenWidth;
  options.screenHeight = args.screenHeight;
  options.startTick = args.startTick;
  options.captureFrames = !snapshotPath.empty() || filming || replay.sums;
  headless::Reset(options);
  headless::SetHooks({OnQueueEmpty, AfterSwap, OnIdle});
  if (replay.playing) headless::StartPlayback(std::move(recorded));
  recordStaticLists = !args.immediate;
  viewCulling = !args.noCulling;
  if (args.random) replay.random = StartRandomInput(args.seed);
  replay.warmUpFrame = std::min<long long>(1000, std::max<long long>(1, args.frames / 2));
  ResetProgramState();

  char commandLine[] = "";
  WinMain(nullptr, nullptr, commandLine, SW_SHOWNORMAL);
  if (replay.trace) replay.trace->flush();
  if (progress) progress->End();
  // A replay the program did not keep to: no video or snapshot of it (the film is abandoned).
  if (!headless::PlaybackError().empty()) {
    std::fprintf(stderr, "citywalk-replay: %s:%d: %s\n", args.recording.c_str(),
                 headless::PlaybackErrorLine(), headless::PlaybackError().c_str());
    return 1;
  }

  int status = 0;
  if (filming && !film.Close(error)) {
    std::fprintf(stderr, "citywalk-replay: %s\n", error.c_str());
    status = 1;
  }
  if (!snapshotPath.empty()) {
    const headless::Frame& frame = headless::LastFrame();
    if (frame.rgba.empty()) {
      std::fprintf(stderr, "citywalk-replay: no frame was drawn; no snapshot written\n");
    } else if (!WriteBmp(snapshotPath, frame.width, frame.height, frame.rgba)) {
      std::fprintf(stderr, "citywalk-replay: cannot write %s\n", snapshotPath.c_str());
      status = 1;
    }
  }
  if (args.timedemo) PrintTimedemo(replay.trace == &std::cout ? stderr : stdout);
  if (args.memory)
    std::fprintf(replay.trace == &std::cout ? stderr : stdout,
                 "memory: %ld kB resident after frame %lld, %ld kB after frame %lld, "
                 "peak %ld kB in between\n",
                 replay.warmUpKb, replay.warmUpFrame, ResidentKb(), replay.frames,
                 std::max(replay.peakKb, ResidentKb()));
  if (replay.frames < args.frames && !replay.playing)
    std::fprintf(stderr, "citywalk-replay: the program quit after %lld of %lld frames\n",
                 replay.frames, args.frames);
  if (traceFile && !*traceFile) {
    std::fprintf(stderr, "citywalk-replay: error writing the trace\n");
    status = 1;
  }
  if (sumsFile && !sumsFile->flush()) {
    std::fprintf(stderr, "citywalk-replay: error writing %s\n", args.frameSums.c_str());
    status = 1;
  }
  return status;
}
