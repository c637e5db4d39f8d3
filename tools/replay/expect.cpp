// citywalk-expect: checks a replay's trace and snapshot against a file of expectations.
//
//   citywalk-expect EXPECTATIONS [--trace FILE] [--snapshot FILE.bmp]
//
// Expectations, one a line ('#' starts a comment):
//   FRAME KEY VALUE [TOLERANCE]   trace value of drawn frame FRAME (1-based, or "last");
//                                 KEY is a trace key or objects[I].KEY; VALUE a number,
//                                 compared exactly unless a tolerance is given
//   frames N                      the trace has exactly N frames
//   size W H                      the snapshot is W x H pixels
//   pixel X Y R G B [TOLERANCE]   snapshot pixel at client (X, Y), origin top-left
// Exit status: 0 all hold, 1 some do not (each is reported), 2 unreadable input.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "bmp.h"
#include "command_options.h"

namespace {

// A trace line flattened to "key" and "objects[i].key" -> value text.
using Flat = std::map<std::string, std::string>;

// Just enough JSON for the trace: objects, arrays, numbers, strings, literals.
struct JsonReader {
  const std::string& text;
  size_t at = 0;
  Flat& out;

  void Space() {
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
  }
  bool Eat(char c) {
    Space();
    if (at < text.size() && text[at] == c) {
      ++at;
      return true;
    }
    return false;
  }
  bool String(std::string& s) {
    if (!Eat('"')) return false;
    s.clear();
    while (at < text.size() && text[at] != '"') {
      if (text[at] == '\\' && at + 1 < text.size()) ++at;
      s += text[at++];
    }
    return Eat('"');
  }
  bool Value(const std::string& key) {
    Space();
    if (at >= text.size()) return false;
    if (text[at] == '{') return Object(key.empty() ? "" : key + ".");
    if (text[at] == '[') {
      ++at;
      if (Eat(']')) return true;
      for (int i = 0;; ++i) {
        if (!Value(key + "[" + std::to_string(i) + "]")) return false;
        if (Eat(']')) return true;
        if (!Eat(',')) return false;
      }
    }
    if (text[at] == '"') {
      std::string s;
      if (!String(s)) return false;
      out[key] = s;
      return true;
    }
    const size_t start = at;
    while (at < text.size() && text[at] != ',' && text[at] != '}' && text[at] != ']' &&
           !std::isspace(static_cast<unsigned char>(text[at])))
      ++at;
    if (at == start) return false;
    out[key] = text.substr(start, at - start);
    return true;
  }
  bool Object(const std::string& prefix) {
    if (!Eat('{')) return false;
    if (Eat('}')) return true;
    for (;;) {
      std::string name;
      if (!String(name) || !Eat(':') || !Value(prefix + name)) return false;
      if (Eat('}')) return true;
      if (!Eat(',')) return false;
    }
  }
};

bool ToNumber(const std::string& text, double& value) {
  if (text == "nan") return value = NAN, true;
  if (text == "inf") return value = INFINITY, true;
  if (text == "-inf") return value = -INFINITY, true;
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return !text.empty() && end == text.c_str() + text.size();
}

// A whole token as a non-negative integer.
bool ToCount(const std::string& text, int& value) {
  char* end = nullptr;
  const long parsed = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || parsed < 0 || parsed > 1000000) return false;
  value = static_cast<int>(parsed);
  return true;
}

bool Same(double expected, double got, double tolerance) {
  if (std::isnan(expected) || std::isnan(got)) return std::isnan(expected) && std::isnan(got);
  if (tolerance == 0) return expected == got;
  return std::fabs(expected - got) <= tolerance;
}

// What the expectations are checked against.
struct Evidence {
  std::vector<Flat> frames;  // the trace's lines
  Picture picture;
  bool havePicture = false;
};

// The command line's paths: -1 to go on, else the status to end with.
int ReadArguments(int argc, char** argv, std::string& expectPath, std::string& tracePath,
                  std::string& snapshotPath) {
  CommandLine line{
      "citywalk-expect",
      "EXPECTATIONS",
      {{"--trace", "FILE", "the replay's trace", TakeText(tracePath)},
       {"--snapshot", "FILE", "the replay's snapshot (24-bit BMP)", TakeText(snapshotPath)}},
      [&expectPath](const std::string& word, std::string& error) {
        if (!expectPath.empty()) error = "one file of expectations only";
        if (expectPath.empty()) expectPath = word;
        return error.empty();
      }};
  return ::ReadCommandLine(line, argc, argv, 2);
}

// Reads the trace into frames: false (said) when it cannot be read.
bool ReadTrace(const std::string& path, std::vector<Flat>& frames) {
  std::ifstream trace(path);
  if (!trace) {
    std::fprintf(stderr, "citywalk-expect: cannot read trace %s\n", path.c_str());
    return false;
  }
  int number = 0;
  for (std::string line; std::getline(trace, line);) {
    ++number;
    Flat flat;
    JsonReader reader{line, 0, flat};
    if (!reader.Object("")) {
      std::fprintf(stderr, "citywalk-expect: %s:%d: not a trace line\n", path.c_str(), number);
      return false;
    }
    frames.push_back(std::move(flat));
  }
  return true;
}

// Checks one expectation's tokens t against the evidence: "" when it holds, else what
// differs; kMalformed when the line is not an expectation.
constexpr char kMalformed[] = "malformed expectation";

std::string CheckFrames(const std::vector<std::string>& t, const Evidence& e) {
  if (t.size() != 2) return kMalformed;
  if (std::to_string(e.frames.size()) == t[1]) return "";
  return "expected " + t[1] + " frames, the trace has " + std::to_string(e.frames.size());
}

std::string CheckSize(const std::vector<std::string>& t, const Evidence& e) {
  if (t.size() != 3) return kMalformed;
  const std::string got = std::to_string(e.picture.width) + " " + std::to_string(e.picture.height);
  return got == t[1] + " " + t[2] ? "" : "expected size " + t[1] + " " + t[2] + ", got " + got;
}

std::string CheckPixel(const std::vector<std::string>& t, const Evidence& e) {
  int x = 0, y = 0, tolerance = 0, rgb[3] = {};
  if ((t.size() != 6 && t.size() != 7) || !ToCount(t[1], x) || !ToCount(t[2], y) ||
      !ToCount(t[3], rgb[0]) || !ToCount(t[4], rgb[1]) || !ToCount(t[5], rgb[2]) ||
      (t.size() == 7 && !ToCount(t[6], tolerance)))
    return kMalformed;
  if (x >= e.picture.width || y >= e.picture.height)
    return "pixel " + t[1] + " " + t[2] + " is outside the snapshot";
  const std::uint8_t* p = &e.picture.rgb[(static_cast<size_t>(y) * e.picture.width + x) * 3];
  bool ok = true;
  for (int c = 0; c < 3; ++c) ok = ok && std::abs(p[c] - rgb[c]) <= tolerance;
  if (ok) return "";
  return "pixel " + t[1] + " " + t[2] + ": expected " + t[3] + " " + t[4] + " " + t[5] + ", got " +
         std::to_string(p[0]) + " " + std::to_string(p[1]) + " " + std::to_string(p[2]);
}

std::string CheckValue(const std::vector<std::string>& t, const Evidence& e) {
  if (t.size() != 3 && t.size() != 4) return kMalformed;
  long long frame = static_cast<long long>(e.frames.size());
  if (t[0] != "last") {
    char* end = nullptr;
    frame = std::strtoll(t[0].c_str(), &end, 10);
    if (*end != '\0' || frame < 1) return kMalformed;
  }
  double expected = 0, tolerance = 0, got = 0;
  if (!ToNumber(t[2], expected) || (t.size() == 4 && !ToNumber(t[3], tolerance))) return kMalformed;
  if (frame < 1 || frame > static_cast<long long>(e.frames.size()))
    return "frame " + t[0] + " is not in the trace (" + std::to_string(e.frames.size()) +
           " frames)";
  const Flat& flat = e.frames[static_cast<size_t>(frame - 1)];
  const auto found = flat.find(t[1]);
  if (found == flat.end()) return "frame " + t[0] + " has no key " + t[1];
  if (ToNumber(found->second, got) && Same(expected, got, tolerance)) return "";
  return "frame " + t[0] + " " + t[1] + ": expected " + t[2] + ", got " + found->second;
}

// Checks every expectation of the file: the number that fail (each said), or -1 for a line
// that is not an expectation (said).
int CheckAll(std::istream& expectations, const std::string& path, const Evidence& evidence) {
  int failures = 0, lineNumber = 0;
  for (std::string text; std::getline(expectations, text);) {
    ++lineNumber;
    if (const auto hash = text.find('#'); hash != std::string::npos) text.erase(hash);
    std::istringstream line(text);
    std::vector<std::string> t;
    for (std::string token; line >> token;) t.push_back(token);
    if (t.empty()) continue;
    const bool aboutPicture = t[0] == "size" || t[0] == "pixel";
    if (aboutPicture && !evidence.havePicture) {
      std::fprintf(stderr, "%s:%d: %s needs --snapshot\n", path.c_str(), lineNumber, t[0].c_str());
      return -1;
    }
    const std::string differs = t[0] == "frames"  ? CheckFrames(t, evidence)
                                : t[0] == "size"  ? CheckSize(t, evidence)
                                : t[0] == "pixel" ? CheckPixel(t, evidence)
                                                  : CheckValue(t, evidence);
    if (differs.empty()) continue;
    std::fprintf(stderr, "%s:%d: %s\n", path.c_str(), lineNumber, differs.c_str());
    if (differs == kMalformed) return -1;
    ++failures;
  }
  return failures;
}

}  // namespace

int main(int argc, char** argv) {
  std::string expectPath, tracePath, snapshotPath;
  if (const int status = ReadArguments(argc, argv, expectPath, tracePath, snapshotPath);
      status >= 0)
    return status;
  std::ifstream expectations(expectPath);
  if (expectPath.empty() || !expectations) {
    std::fprintf(stderr, "citywalk-expect: cannot read expectations '%s'\n", expectPath.c_str());
    return 2;
  }
  Evidence evidence;
  if (!tracePath.empty() && !ReadTrace(tracePath, evidence.frames)) return 2;
  if (!snapshotPath.empty()) {
    std::string error;
    if (!ReadBmp(snapshotPath, evidence.picture, error)) {
      std::fprintf(stderr, "citywalk-expect: %s\n", error.c_str());
      return 2;
    }
    evidence.havePicture = true;
  }
  const int failures = CheckAll(expectations, expectPath, evidence);
  if (failures < 0) return 2;
  if (failures) std::fprintf(stderr, "citywalk-expect: %d expectation(s) failed\n", failures);
  return failures ? 1 : 0;
}
