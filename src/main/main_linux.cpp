// The process entry point on Linux: the program starts at WinMain, as on Windows. Before
// that, the command line (app/command_line.h) is read: `citywalk DIR` or `citywalk DEMO`
// changes into the scene folder (the program reads its scene file from the working
// directory), and `citywalk --help` prints the usage, the keys and the demos. SIGTERM,
// SIGINT and SIGHUP end the program by its own teardown (platform/end_signals.h).
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "app/command_line.h"
#include "platform/end_signals.h"
#include "platform/win32.h"

namespace {

// The folder the running program's file is in (/proc/self/exe), where the demos are looked
// for; empty when the kernel does not say.
std::filesystem::path ProgramFolder() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : exe.parent_path();
}

}  // namespace

int main(int argc, char** argv) {
  CatchEndSignals();
  const std::vector<std::filesystem::path> args(argv + 1, argv + argc);
  const int status = StartFromCommandLine(args, ProgramFolder(), stdout, stderr);
  if (status >= 0) return status;
  char commandLine[] = "";
  return WinMain(nullptr, nullptr, commandLine, SW_SHOWNORMAL);
}
