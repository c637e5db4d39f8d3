// `citywalk [--record FILE] [--trace FILE] [DIR | DEMO]` and `citywalk --help`: the scene
// folder to start in, the demos installed with the program, and what the session writes down.
#include "app/command_line.h"

#include <algorithm>
#include <system_error>

#include "app/trace.h"
#include "platform/keys.h"
#include "platform/recording.h"
#include "scene/reader.h"

namespace fs = std::filesystem;

namespace {

// Recordings are written by our SDL platform layer; the Windows build runs on Win32 itself.
#if defined(_WIN32)
constexpr bool kCanRecord = false;
#else
constexpr bool kCanRecord = true;
#endif

const char kUsage[] =
    "usage: citywalk [--record FILE] [--trace FILE] [DIR | DEMO]   (citywalk --help for the "
    "keys)\n";

const char kHelp[] =
    "usage: citywalk [--record FILE] [--trace FILE] [DIR | DEMO]\n"
    "       citywalk --help\n"
    "\n"
    "Walks or drives through the scene in folder DIR (default: the working directory): its\n"
    "scene file \xD0\x93\xD0\xBE\xD1\x80\xD0\xBE\xD0\xB4.mts and the bitmaps it names. "
    "The scene file chooses the control mode.\n"
    "A DEMO name that is not a folder starts the installed demo of that name.\n"
    "\n"
    "--record FILE  writes down the session's input and clock as it goes, for\n"
    "               citywalk-replay --script FILE to replay exactly (not in the Windows build)\n"
    "--trace FILE   writes one JSON line a drawn frame, as citywalk-replay --trace does\n"
    "               (FILE - : standard output)\n"
    "A FILE that cannot be written is reported and the program runs without it.\n";

const char kHelpEnd[] =
    "\n"
    "Without a scene file the built-in default scene is shown: an empty view.\n";

// The control modes as the help names them, and what the mouse does in each.
constexpr struct {
  const char* title;
  const char* mouse;  // nullptr: nothing
} kModes[kModeCount] = {{"Mode 1, walking", "look around"},
                        {"Mode 2, driving", nullptr},
                        {"Mode 3, walking figure", "turn the figure and tilt the camera"},
                        {"Mode 4, car from behind", nullptr}};

// Items of the help, after a heading line, two spaces in and wrapped before 80 columns.
void PrintItems(std::FILE* out, const std::string& heading, const std::vector<std::string>& items) {
  std::fprintf(out, "%s\n", heading.c_str());
  std::string line;
  for (const std::string& item : items) {
    if (!line.empty() && line.size() + 3 + item.size() > 78) {
      std::fprintf(out, "  %s\n", line.c_str());
      line.clear();
    }
    line += (line.empty() ? "" : "   ") + item;
  }
  if (!line.empty()) std::fprintf(out, "  %s\n", line.c_str());
}

// Whether a key does the same in every mode.
bool SameInEveryMode(const Key& key) {
  for (int m = 1; m < kModeCount; ++m)
    if (key.help[m] == nullptr || std::string(key.help[m]) != key.help[0]) return false;
  return true;
}

// Whether mode m's keys and mouse are those of an earlier mode; which one, or -1.
int SameAsEarlierMode(int m) {
  for (int earlier = 0; earlier < m; ++earlier) {
    bool same = (kModes[m].mouse == nullptr) == (kModes[earlier].mouse == nullptr);
    for (const Key& key : kKeys)
      same = same && (key.help[m] == nullptr) == (key.help[earlier] == nullptr) &&
             (key.help[m] == nullptr || std::string(key.help[m]) == key.help[earlier]);
    if (same) return earlier;
  }
  return -1;
}

// The keys of every mode, then the pad's, from the key table.
void PrintKeys(std::FILE* out) {
  std::vector<std::string> every;
  for (const Key& key : kKeys)
    if (SameInEveryMode(key)) every.push_back(std::string(key.label) + " " + key.help[0]);
  std::fputs("\n", out);
  PrintItems(out, "Every mode:", every);
  for (int m = 0; m < kModeCount; ++m) {
    if (const int earlier = SameAsEarlierMode(m); earlier >= 0) {
      std::fprintf(out, "%s: the keys of mode %d\n", kModes[m].title, earlier + 1);
      continue;
    }
    std::vector<std::string> items;
    for (const Key& key : kKeys)
      if (key.help[m] != nullptr && !SameInEveryMode(key))
        items.push_back(std::string(key.label) + " " + key.help[m]);
    if (kModes[m].mouse != nullptr) items.push_back(std::string("mouse ") + kModes[m].mouse);
    PrintItems(out, std::string(kModes[m].title) + ":", items);
  }
  std::vector<std::string> pad;
  for (const Key& key : kKeys)
    if (key.pad != 0) pad.push_back(std::string(key.label) + ": " + PadBinding(key));
  pad.push_back("mouse: right stick");
  PrintItems(out, "A game controller gives the keys too (not in the Windows build):", pad);
}

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

namespace {

// Enters the scene folder the remaining argument names (none: stays); -1 when entered,
// else 2 with the reason on err.
int EnterSceneFolder(const std::vector<fs::path>& args, const fs::path& programFolder,
                     std::FILE* err) {
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

// Starts the recording and the trace asked for; each one that cannot be written is said on err
// and left out.
void OpenSessionFiles(const fs::path& record, const fs::path& trace, std::FILE* err) {
  std::string why;
  if (!record.empty() && !kCanRecord)
    std::fprintf(err,
                 "citywalk: --record: recording is not available in the Windows build; "
                 "running unrecorded\n");
  else if (!record.empty() && !recording::Start(Utf8(record), &why))
    std::fprintf(err, "citywalk: %s: %s; running unrecorded\n", Utf8(record).c_str(), why.c_str());
  if (!trace.empty() && !StartTrace(Utf8(trace), &why))
    std::fprintf(err, "citywalk: %s: %s; running without a trace\n", Utf8(trace).c_str(),
                 why.c_str());
}

}  // namespace

// Help, or the scene folder entered and the session files opened; -1 to run, else the exit
// status.
int StartFromCommandLine(std::vector<fs::path> args, const fs::path& programFolder, std::FILE* out,
                         std::FILE* err) {
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    std::fputs(kHelp, out);
    PrintKeys(out);
    std::fputs(kHelpEnd, out);
    PrintDemos(programFolder, "\nDemos, started by name (citywalk drive):", out);
    return 0;
  }
  fs::path record, trace;
  while (!args.empty() && (args[0] == "--record" || args[0] == "--trace")) {
    if (args.size() < 2 || args[1].empty()) {
      std::fputs(kUsage, err);
      return 2;
    }
    (args[0] == "--record" ? record : trace) = args[1];
    args.erase(args.begin(), args.begin() + 2);
  }
  if (args.size() > 1 || (args.size() == 1 && Utf8(args[0]).starts_with("-"))) {
    std::fputs(kUsage, err);
    return 2;
  }
  // Paths are the user's, from the folder the program was started in.
  std::error_code ec;
  if (!record.empty()) record = fs::absolute(record, ec);
  if (!trace.empty() && trace != "-") trace = fs::absolute(trace, ec);
  const int status = EnterSceneFolder(args, programFolder, err);
  if (status >= 0) return status;
  OpenSessionFiles(record, trace, err);
  return -1;
}
