// Native Windows build: the C runtime calls wWinMain (-municode), which reads the command line
// as the Linux entry does (`citywalk.exe DIR`, `citywalk.exe drive` for the demo in `scenes`
// beside the program) and then runs the program's WinMain (app/shell.cpp).
#include <cstdio>
#include <filesystem>
#include <vector>

#include "app/command_line.h"
#include "platform/win32.h"
// After <windows.h> (win32.h): CommandLineToArgvW.
#include <shellapi.h>

namespace {

// The folder of citywalk.exe (GetModuleFileNameW), where the demos are looked for.
std::filesystem::path ProgramFolder() {
  std::vector<wchar_t> name(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (n == 0) return {};
    if (n < name.size()) return std::filesystem::path(name.data()).parent_path();
    name.resize(name.size() * 2);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int showCommand) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::filesystem::path> args;
  for (int i = 1; argv && i < argc; ++i) args.emplace_back(argv[i]);
  if (argv) LocalFree(argv);
  const int status = StartFromCommandLine(args, ProgramFolder(), stdout, stderr);
  if (status >= 0) return status;
  char commandLine[] = "";
  return WinMain(instance, nullptr, commandLine, showCommand);
}
