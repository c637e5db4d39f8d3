// citywalk-idle-probe SECONDS: the real program (SDL platform, a real window) with a probe
// linked around two of its platform calls. It lets the program run for a warm-up second,
// then measures for SECONDS: the processor time of the whole process (every thread), how
// often the message loop woke from its rest, and the gaps between presented frames. Then it
// presses Esc for the user, so the program ends through its own teardown, and prints one line:
//   cpu_percent=.. wakeups_per_s=.. frames=.. gap_median_ms=.. gap_p90_ms=.. gap_max_ms=..
// The probe defines SwapBuffers and MsgWaitForMultipleObjects itself and passes each call on
// to the SDL platform's own, which is compiled for the probe under the names
// PlatformSwapBuffers and PlatformMsgWaitForMultipleObjects (bench/CMakeLists.txt), so the
// program's own code is unchanged.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/window.h"
#include "platform/win32.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Probe {
  double warmUp = 1.0;
  double seconds = 10.0;
  Clock::time_point start = Clock::now();
  bool measuring = false;
  bool done = false;
  double cpuAtStart = 0;
  Clock::time_point measureStart;
  long long wakeups = 0;
  std::vector<Clock::time_point> swaps;
  double cpuPercent = 0;
  double wall = 0;
};

Probe probe;

double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
         usage.ru_stime.tv_usec / 1e6;
}

// Starts and ends the measurement as time passes.
void Tick() {
  const double since = std::chrono::duration<double>(Clock::now() - probe.start).count();
  if (!probe.measuring && !probe.done && since >= probe.warmUp) {
    probe.measuring = true;
    probe.cpuAtStart = ProcessCpuSeconds();
    probe.measureStart = Clock::now();
  }
  if (probe.measuring && since >= probe.warmUp + probe.seconds) {
    probe.measuring = false;
    probe.done = true;
    probe.wall = std::chrono::duration<double>(Clock::now() - probe.measureStart).count();
    probe.cpuPercent = (ProcessCpuSeconds() - probe.cpuAtStart) / probe.wall * 100.0;
    PostMessageA(windowHandle, WM_KEYDOWN, VK_ESCAPE, 1);
  }
}

double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[static_cast<size_t>(p * (values.size() - 1) + 0.5)];
}

}  // namespace

// The SDL platform's own calls, renamed for the probe.
BOOL PlatformSwapBuffers(HDC dc);
DWORD PlatformMsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll,
                                        DWORD milliseconds, DWORD wakeMask);

// Presents the frame through the platform and notes when.
BOOL SwapBuffers(HDC dc) {
  const BOOL result = PlatformSwapBuffers(dc);
  if (probe.measuring) probe.swaps.push_back(Clock::now());
  Tick();
  return result;
}

// Rests through the platform and counts the wake-up.
DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL all, DWORD ms,
                                DWORD mask) {
  const DWORD result = PlatformMsgWaitForMultipleObjects(count, handles, all, ms, mask);
  if (probe.measuring) ++probe.wakeups;
  Tick();
  return result;
}

int main(int argc, char** argv) {
  if (argc > 1) probe.seconds = std::atof(argv[1]);
  if (probe.seconds <= 0) {
    std::fprintf(stderr, "usage: citywalk-idle-probe SECONDS\n");
    return 2;
  }
  char commandLine[] = "";
  const int status = WinMain(nullptr, nullptr, commandLine, SW_SHOWNORMAL);
  std::vector<double> gaps;
  for (size_t i = 1; i < probe.swaps.size(); ++i)
    gaps.push_back(
        std::chrono::duration<double, std::milli>(probe.swaps[i] - probe.swaps[i - 1]).count());
  std::printf(
      "cpu_percent=%.2f wakeups_per_s=%.1f frames=%zu gap_median_ms=%.2f gap_p90_ms=%.2f "
      "gap_max_ms=%.2f\n",
      probe.cpuPercent, probe.wall > 0 ? probe.wakeups / probe.wall : 0.0, probe.swaps.size(),
      Percentile(gaps, 0.5), Percentile(gaps, 0.9),
      gaps.empty() ? 0.0 : *std::max_element(gaps.begin(), gaps.end()));
  return status;
}
