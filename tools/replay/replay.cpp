// citywalk-replay: runs the program's WinMain on the headless platform with a scripted input,
// a virtual clock that draws one frame per loop turn, a per-frame trace, a snapshot of the
// last frame and frame timings; or plays back a recording of the real program (citywalk
// --record) exactly. See README.md, "Replaying and benchmarking".
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
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
#include "command_options.h"
#include "film.h"
#include "platform/headless.h"
#include "platform/line_file.h"
#include "platform/recording.h"
#include "platform/win32.h"
#include "progress.h"
#include "random_input.h"
#include "render/cull.h"
#include "render/polylist.h"
#include "script.h"

namespace {

constexpr DWORD kTurnMilliseconds = 40;
constexpr long long kIdleTurnLimit = 1000;

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

// Takes WxH, each 1..16384, for --screen.
bool TakeScreen(Arguments& args, const std::string& value, std::string& error) {
  const auto side = [](const std::string& text, int& n) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    return !text.empty() && ec == std::errc() && end == text.data() + text.size() && n >= 1 &&
           n <= 16384;
  };
  const auto x = value.find('x');
  int width = 0, height = 0;
  if (x == std::string::npos || !side(value.substr(0, x), width) ||
      !side(value.substr(x + 1), height)) {
    error = "--screen needs WxH, each 1..16384";
    return false;
  }
  args.screenWidth = width;
  args.screenHeight = height;
  args.screenGiven = true;
  return true;
}

// Marks given when the option's taker took it.
std::function<bool(const std::string&, std::string&)> AndMark(
    std::function<bool(const std::string&, std::string&)> take, bool& given) {
  return [take, &given](const std::string& value, std::string& error) {
    return take(value, error) && (given = true);
  };
}

// The tool's options, each with its usage and what it sets in args.
CommandLine ReplayCommandLine(Arguments& args) {
  CommandLine line{"citywalk-replay", "", {}, nullptr};
  line.options = {
      {"--dir", "DIR", "the scene folder (default: the working directory)", TakeText(args.dir)},
      {"--frames", "N", "stop after N drawn frames (default 100; a recording: all of it)",
       AndMark(TakeNumber(args.frames, 1LL, LLONG_MAX, "--frames needs a positive count"),
               args.framesGiven)},
      {"--script", "FILE", "input events to give, or a recording", TakeText(args.script)},
      {"--recording", "FILE", "play back a recording made with citywalk --record",
       TakeText(args.recording)},
      {"--trace", "FILE|-", "one JSON line per drawn frame (-: standard output)",
       TakeText(args.trace)},
      {"--snapshot", "FILE.bmp", "the last drawn frame as a 24-bit BMP", TakeText(args.snapshot)},
      {"--screen", "WxH", "the virtual screen (default 1024x768; a recording: its own)",
       [&args](const std::string& value, std::string& error) {
         return TakeScreen(args, value, error);
       }},
      {"--start-tick", "T", "the tick count at start (default 1000)",
       AndMark(TakeNumber(args.startTick, DWORD{0}, DWORD{0xFFFFFFFF},
                          "--start-tick needs a tick count 0..4294967295"),
               args.startTickGiven)},
      {"--timedemo", "", "print the frame times at the end", TakeFlag(args.timedemo)},
      {"--immediate", "", "draw every list vertex by vertex", TakeFlag(args.immediate)},
      {"--no-culling", "", "send every polygon, seen or not", TakeFlag(args.noCulling)},
      {"--random-input", "SEED", "give random input every turn, the same for the same seed",
       AndMark(TakeNumber(args.seed, std::uint64_t{0}, UINT64_MAX,
                          "--random-input needs a seed 0..18446744073709551615"),
               args.random)},
      {"--memory", "", "print the resident memory after the warm-up and at the end",
       TakeFlag(args.memory)},
      {"--video", "FILE.mp4|.webm|.webp|.gif", "film the replay (needs the ffmpeg program)",
       TakeText(args.video)},
      {"--frames-dir", "DIR", "each drawn frame as DIR/frame-00001.png, ...",
       TakeText(args.framesDir)},
      {"--progress", "", "show the progress line even when not on a terminal",
       TakeFlag(args.progress)},
      {"--frame-sums", "FILE", "one line per drawn frame: its number, size and pixels' checksum",
       TakeText(args.frameSums)},
  };
  return line;
}

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
  LineFile trace{.program = "citywalk-replay", .what = "the trace"};
  LineFile sums{.program = "citywalk-replay", .what = "the frame sums"};
  bool timing = false;
  std::chrono::steady_clock::time_point frameStart;
  std::vector<double> frameMs;
  RandomInput random;
  long long warmUpFrame = 0;
  long warmUpKb = 0;
  long peakKb = 0;       // the most resident memory seen after the warm-up, every 100 frames
  Film* film = nullptr;  // filming: each traced frame goes to the video and frame files
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
  if (LineFileOpen(replay.trace) && replay.frames <= replay.args.frames) {
    AddLine(replay.trace, TraceLine(replay.frames, static_cast<std::uint32_t>(nowTick)));
    EndFrame(replay.trace);
  }
  if (replay.film && replay.frames <= replay.args.frames) {
    const headless::Frame& frame = headless::LastFrame();
    for (const std::string& failure : replay.film->Add(frame.width, frame.height, frame.rgba)) {
      if (replay.progress) replay.progress->End();
      std::fprintf(stderr, "citywalk-replay: %s\n", failure.c_str());
    }
  }
  if (LineFileOpen(replay.sums) && replay.frames <= replay.args.frames) {
    const headless::Frame& frame = headless::LastFrame();
    char line[64];
    std::snprintf(line, sizeof line, "%lld %dx%d %016llx", replay.frames, frame.width, frame.height,
                  static_cast<unsigned long long>(FrameSum(frame.rgba)));
    AddLine(replay.sums, line);
    EndFrame(replay.sums);
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

// What the run writes besides the trace, and where (absolute: the tool enters the scene
// folder before the run).
struct Outputs {
  std::string snapshot, video, frames;
  Film film;
  std::unique_ptr<Progress> progress;
  bool Filming() const { return !video.empty() || !frames.empty(); }
};

// Reads the command line: -1 to go on, else the status to end with (the usage printed for
// --help, or one line of what is wrong and the usage).
int ReadArguments(int argc, char** argv) {
  const CommandLine line = ReplayCommandLine(replay.args);
  return ::ReadCommandLine(line, argc, argv, 1);
}

// Reads the script or the recording to give (a script whose first line is a recording's
// version line is a recording): 0, else the status after its one-line error.
int ReadInput(std::vector<recording::Event>& recorded) {
  Arguments& args = replay.args;
  if (!args.script.empty() && args.recording.empty()) {
    std::ifstream script(args.script);
    std::string first;
    if (script && std::getline(script, first) && recording::LooksLikeRecording(first))
      std::swap(args.script, args.recording);
  }
  if (!args.recording.empty()) {
    if (!args.script.empty()) {
      std::fprintf(stderr, "citywalk-replay: give either a script or a recording, not both\n");
      return 1;
    }
    if (const int status = ReadRecording(args.recording, recorded)) return status;
    replay.playing = true;
    replay.recordedEvents = recorded.size();
  }
  if (args.script.empty()) return 0;
  std::ifstream script(args.script);
  if (!script) {
    std::fprintf(stderr, "citywalk-replay: cannot read script %s\n", args.script.c_str());
    return 1;
  }
  std::string error;
  if (!ParseScript(script, replay.events, error)) {
    std::fprintf(stderr, "citywalk-replay: %s: %s\n", args.script.c_str(), error.c_str());
    return 1;
  }
  return 0;
}

// Opens the trace, enters the scene folder and starts the film, each checked before any
// frame is drawn: 0, else the status after its one-line error.
int OpenOutputs(Outputs& out) {
  const Arguments& args = replay.args;
  std::string error;
  if (!args.trace.empty() && !OpenLineFile(replay.trace, args.trace, &error)) {
    std::fprintf(stderr, "citywalk-replay: cannot write trace %s (%s)\n", args.trace.c_str(),
                 error.c_str());
    return 1;
  }
  if (!args.frameSums.empty() && !OpenLineFile(replay.sums, args.frameSums, &error)) {
    std::fprintf(stderr, "citywalk-replay: cannot write %s (%s)\n", args.frameSums.c_str(),
                 error.c_str());
    return 1;
  }
  const auto absolute = [](const std::string& path) {
    return path.empty() ? path : std::filesystem::absolute(path).string();
  };
  out.snapshot = absolute(args.snapshot);
  out.video = absolute(args.video);
  out.frames = absolute(args.framesDir);
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
  // The film is the size of the virtual screen.
  if (out.Filming()) {
    if (!out.film.Open(out.video, out.frames, args.screenWidth, args.screenHeight, error)) {
      std::fprintf(stderr, "citywalk-replay: %s\n", error.c_str());
      return 1;
    }
    replay.film = &out.film;
  }
  if (out.Filming() || args.progress) {
    out.progress = std::make_unique<Progress>(args.frames, args.progress);
    replay.progress = out.progress.get();
  }
  return 0;
}

// Runs the program on a fresh headless platform to the end of the run.
void RunProgram(std::vector<recording::Event> recorded, Outputs& out) {
  const Arguments& args = replay.args;
  headless::Options options;
  options.screenWidth = args.screenWidth;
  options.screenHeight = args.screenHeight;
  options.startTick = args.startTick;
  options.captureFrames = !out.snapshot.empty() || out.Filming() || !args.frameSums.empty();
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
  CloseLineFile(replay.trace);
  CloseLineFile(replay.sums);
  if (out.progress) out.progress->End();
}

// Writes the last frame as the snapshot: false (said) when it cannot be written.
bool WriteSnapshot(const std::string& path) {
  const headless::Frame& frame = headless::LastFrame();
  if (frame.rgba.empty()) {
    std::fprintf(stderr, "citywalk-replay: no frame was drawn; no snapshot written\n");
    return true;
  }
  errno = 0;
  if (WriteBmp(path, frame.width, frame.height, frame.rgba)) return true;
  std::fprintf(stderr, "citywalk-replay: %s: cannot write (%s)\n", path.c_str(),
               errno ? std::strerror(errno) : "no picture");
  return false;
}

// After the run: the film finished, the snapshot written, the figures printed; the status.
int FinishOutputs(Outputs& out) {
  const Arguments& args = replay.args;
  // A replay the program did not keep to: no video or snapshot of it (the film is abandoned).
  if (!headless::PlaybackError().empty()) {
    std::fprintf(stderr, "citywalk-replay: %s:%d: %s\n", args.recording.c_str(),
                 headless::PlaybackErrorLine(), headless::PlaybackError().c_str());
    return 1;
  }
  int status = replay.trace.failed || replay.sums.failed ? 1 : 0;  // said when they failed
  std::string error;
  if (out.Filming() && !out.film.Close(error)) {
    if (!error.empty()) std::fprintf(stderr, "citywalk-replay: %s\n", error.c_str());
    status = 1;
  }
  if (!out.snapshot.empty() && !WriteSnapshot(out.snapshot)) status = 1;
  std::FILE* figures = args.trace == "-" ? stderr : stdout;  // the trace has standard output
  if (args.timedemo) PrintTimedemo(figures);
  if (args.memory)
    std::fprintf(figures,
                 "memory: %ld kB resident after frame %lld, %ld kB after frame %lld, "
                 "peak %ld kB in between\n",
                 replay.warmUpKb, replay.warmUpFrame, ResidentKb(), replay.frames,
                 std::max(replay.peakKb, ResidentKb()));
  if (replay.frames < args.frames && !replay.playing)
    std::fprintf(stderr, "citywalk-replay: the program quit after %lld of %lld frames\n",
                 replay.frames, args.frames);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<recording::Event> recorded;
  Outputs outputs;
  if (const int status = ReadArguments(argc, argv); status >= 0) return status;
  if (const int status = ReadInput(recorded)) return status;
  if (const int status = OpenOutputs(outputs)) return status;
  RunProgram(std::move(recorded), outputs);
  return FinishOutputs(outputs);
}
