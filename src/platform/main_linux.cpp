// The process entry point on Linux: the program starts at WinMain, as on Windows. Before
// that, `citywalk DIR` changes into the scene folder DIR (the program reads its scene file
// from the working directory), and `citywalk --help` prints the usage and the keys.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/win32.h"

namespace {

const char kHelp[] =
    "usage: citywalk [DIR]\n"
    "       citywalk --help\n"
    "\n"
    "Walks or drives through the scene in folder DIR (default: the working directory): its\n"
    "scene file \xD0\x93\xD0\xBE\xD1\x80\xD0\xBE\xD0\xB4.mts and the bitmaps it names. "
    "The scene file chooses the control mode.\n"
    "\n"
    "Every mode:  F2 pause / resume (the window can be dragged while paused)\n"
    "             F3 maximise / restore    Esc quit\n"
    "Mode 1, walking:        Up/Down walk   Left/Right step sideways or turn   Space jump\n"
    "                        Ctrl (held) crouch   mouse look around\n"
    "Mode 2, driving:        Up throttle   Down brake, then reverse   Left/Right steer\n"
    "                        Space handbrake (with Left/Right: a handbrake turn)\n"
    "                        Ctrl (held) stronger throttle\n"
    "Mode 3, walking figure: Up/Down walk   Left/Right step sideways or turn\n"
    "                        mouse turn the figure and tilt the camera\n"
    "Mode 4, car from behind: the keys of mode 2\n"
    "\n"
    "Without a scene file the built-in default scene is shown: an empty view.\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(kHelp, stdout);
    return 0;
  }
  if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
    std::fputs("usage: citywalk [DIR]   (citywalk --help for the keys)\n", stderr);
    return 2;
  }
  if (argc == 2 && chdir(argv[1]) != 0) {
    std::fprintf(stderr, "citywalk: %s: %s\n", argv[1], std::strerror(errno));
    return 2;
  }
  char commandLine[] = "";
  return WinMain(nullptr, nullptr, commandLine, SW_SHOWNORMAL);
}
