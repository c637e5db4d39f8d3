// `citywalk [DIR | DEMO]` and `citywalk --help`: the scene folder to start in, and the demos
// installed with the program.
#include "app/command_line.h"

#include <algorithm>
#include <system_error>

#include "scene/reader.h"

namespace fs = std::filesystem;

namespace {

const char kUsage[] = "usage: citywalk [DIR | DEMO]   (citywalk --help for the keys)\n";

const char kHelp[] =
    "usage: citywalk [DIR | DEMO]\n"
    "       citywalk --help\n"
    "\n"
    "Walks or drives through the scene in folder DIR (default: the working directory): its\n"
    "scene file \xD0\x93\xD0\xBE\xD1\x80\xD0\xBE\xD0\xB4.mts and the bitmaps it names. "
    "The scene file chooses the control mode.\n"
    "A DEMO name that is not a folder starts the installed demo of that name.\n"
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

// A path as UTF-8 bytes, for messages (on Windows a path holds UTF-16).
std::string Utf8(const fs::path& p) {
  const std::u8string s = p.u8string();
  return std::string(s.begin(), s.end());
}

// The demos line of --help and of the hints: the names, and the folder of the first.
void PrintDemos(const fs::path& programFolder, const char* lead, std::FILE* stream) {
  const std::vector<std::string> names = DemoNames(programFolder);
  if (names.empty()) {
    std::fprintf(stream, "%s none installed beside this program\n", lead);
    return;
  }
  std::string list;
  for (const std::string& n : names) list += " " + n;
  std::fprintf(stream, "%s%s (in %s)\n", lead, list.c_str(),
               Utf8(FindDemo(names.front(), programFolder).parent_path()).c_str());
}

// A bare name (no folder part, not . or ..) may name a demo; a path never does.
bool IsBareName(const fs::path& p) {
  return !p.empty() && !p.has_parent_path() && p != "." && p != ".." && !p.has_root_path();
}

}  // namespace

std::vector<fs::path> DemoRoots(const fs::path& programFolder) {
  return {programFolder / "scenes", programFolder / ".." / "share" / "citywalk" / "scenes"};
}

std::vector<std::string> DemoNames(const fs::path& programFolder) {
  std::vector<std::string> names;
  for (const fs::path& root : DemoRoots(programFolder)) {
    std::error_code ec;
    for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
      if (it->is_directory(ec)) names.push_back(Utf8(it->path().filename()));
    }
  }
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

fs::path FindDemo(const std::string& name, const fs::path& programFolder) {
  const fs::path bare = fs::path(std::u8string(name.begin(), name.end()));
  if (!IsBareName(bare)) return {};
  for (const fs::path& root : DemoRoots(programFolder)) {
    std::error_code ec;
    if (fs::is_directory(root / bare, ec)) return (root / bare).lexically_normal();
  }
  return {};
}

int StartFromCommandLine(const std::vector<fs::path>& args, const fs::path& programFolder,
                         std::FILE* out, std::FILE* err) {
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    std::fputs(kHelp, out);
    PrintDemos(programFolder, "\nDemos, started by name (citywalk drive):", out);
    return 0;
  }
  if (args.size() > 1 || (args.size() == 1 && Utf8(args[0]).starts_with("-"))) {
    std::fputs(kUsage, err);
    return 2;
  }
  std::error_code ec;
  if (args.empty()) {
    if (FindSceneFile(".").empty())
      PrintDemos(programFolder,
                 "citywalk: no scene here; start citywalk DIR, or a demo by name:", err);
    return -1;
  }
  const fs::path& wanted = args[0];
  if (fs::is_directory(wanted, ec)) {
    fs::current_path(wanted, ec);
  } else if (const fs::path demo = FindDemo(Utf8(wanted), programFolder); !demo.empty()) {
    fs::current_path(demo, ec);
  } else {
    // Not a folder and no demo: the reason the folder could not be entered.
    fs::current_path(wanted, ec);
    if (!ec) return -1;
    std::fprintf(err, "citywalk: %s: %s\n", Utf8(wanted).c_str(), ec.message().c_str());
    if (IsBareName(wanted))
      PrintDemos(programFolder, "citywalk: no demo of that name; demos:", err);
    return 2;
  }
  if (!ec) return -1;
  std::fprintf(err, "citywalk: %s: %s\n", Utf8(wanted).c_str(), ec.message().c_str());
  return 2;
}
