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

}  // namespace

int main(int argc, char** argv) {
  static const char kUsage[] =
      "usage: citywalk-expect EXPECTATIONS [--trace FILE] [--snapshot FILE]\n";
  std::string expectPath, tracePath, snapshotPath;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if ((arg == "--trace" || arg == "--snapshot") && i + 1 < argc)
      (arg == "--trace" ? tracePath : snapshotPath) = argv[++i];
    else if (expectPath.empty() && arg.rfind("--", 0) != 0)
      expectPath = arg;
    else {
      std::fputs(kUsage, stderr);
      return 2;
    }
  }
  std::ifstream expectations(expectPath);
  if (expectPath.empty() || !expectations) {
    std::fprintf(stderr, "citywalk-expect: cannot read expectations '%s'\n", expectPath.c_str());
    return 2;
  }

  std::vector<Flat> frames;
  if (!tracePath.empty()) {
    std::ifstream trace(tracePath);
    if (!trace) {
      std::fprintf(stderr, "citywalk-expect: cannot read trace %s\n", tracePath.c_str());
      return 2;
    }
    int number = 0;
    for (std::string line; std::getline(trace, line);) {
      ++number;
      Flat flat;
      JsonReader reader{line, 0, flat};
      if (!reader.Object("")) {
        std::fprintf(stderr, "citywalk-expect: %s:%d: not a trace line\n", tracePath.c_str(),
                     number);
        return 2;
      }
      frames.push_back(std::move(flat));
    }
  }
  Picture picture;
  bool havePicture = false;
  if (!snapshotPath.empty()) {
    std::string error;
    if (!ReadBmp(snapshotPath, picture, error)) {
      std::fprintf(stderr, "citywalk-expect: %s\n", error.c_str());
      return 2;
    }
    havePicture = true;
  }

  int failures = 0;
  int lineNumber = 0;
  auto fail = [&](const std::string& message) {
    std::fprintf(stderr, "%s:%d: %s\n", expectPath.c_str(), lineNumber, message.c_str());
    ++failures;
  };
  for (std::string text; std::getline(expectations, text);) {
    ++lineNumber;
    if (const auto hash = text.find('#'); hash != std::string::npos) text.erase(hash);
    std::istringstream line(text);
    std::vector<std::string> t;
    for (std::string token; line >> token;) t.push_back(token);
    if (t.empty()) continue;
    auto malformed = [&]() {
      std::fprintf(stderr, "%s:%d: malformed expectation\n", expectPath.c_str(), lineNumber);
      std::exit(2);
    };
    if ((t[0] == "size" || t[0] == "pixel") && !havePicture) {
      std::fprintf(stderr, "%s:%d: %s needs --snapshot\n", expectPath.c_str(), lineNumber,
                   t[0].c_str());
      return 2;
    }
    if (t[0] == "frames") {
      if (t.size() != 2) malformed();
      if (std::to_string(frames.size()) != t[1])
        fail("expected " + t[1] + " frames, the trace has " + std::to_string(frames.size()));
    } else if (t[0] == "size") {
      if (t.size() != 3) malformed();
      const std::string got = std::to_string(picture.width) + " " + std::to_string(picture.height);
      if (got != t[1] + " " + t[2]) fail("expected size " + t[1] + " " + t[2] + ", got " + got);
    } else if (t[0] == "pixel") {
      int x = 0, y = 0, tolerance = 0, rgb[3] = {};
      if ((t.size() != 6 && t.size() != 7) || !ToCount(t[1], x) || !ToCount(t[2], y) ||
          !ToCount(t[3], rgb[0]) || !ToCount(t[4], rgb[1]) || !ToCount(t[5], rgb[2]) ||
          (t.size() == 7 && !ToCount(t[6], tolerance)))
        malformed();
      if (x >= picture.width || y >= picture.height) {
        fail("pixel " + t[1] + " " + t[2] + " is outside the snapshot");
        continue;
      }
      const std::uint8_t* p = &picture.rgb[(static_cast<size_t>(y) * picture.width + x) * 3];
      bool ok = true;
      for (int c = 0; c < 3; ++c) ok = ok && std::abs(p[c] - rgb[c]) <= tolerance;
      if (!ok)
        fail("pixel " + t[1] + " " + t[2] + ": expected " + t[3] + " " + t[4] + " " + t[5] +
             ", got " + std::to_string(p[0]) + " " + std::to_string(p[1]) + " " +
             std::to_string(p[2]));
    } else {
      if (t.size() != 3 && t.size() != 4) malformed();
      long long frame = 0;
      if (t[0] == "last") {
        frame = static_cast<long long>(frames.size());
      } else {
        char* end = nullptr;
        frame = std::strtoll(t[0].c_str(), &end, 10);
        if (*end != '\0' || frame < 1) malformed();
      }
      double expected = 0, tolerance = 0, got = 0;
      if (!ToNumber(t[2], expected) || (t.size() == 4 && !ToNumber(t[3], tolerance))) malformed();
      if (frame < 1 || frame > static_cast<long long>(frames.size())) {
        fail("frame " + t[0] + " is not in the trace (" + std::to_string(frames.size()) +
             " frames)");
        continue;
      }
      const Flat& flat = frames[static_cast<size_t>(frame - 1)];
      const auto found = flat.find(t[1]);
      if (found == flat.end()) {
        fail("frame " + t[0] + " has no key " + t[1]);
        continue;
      }
      if (!ToNumber(found->second, got) || !Same(expected, got, tolerance))
        fail("frame " + t[0] + " " + t[1] + ": expected " + t[2] + ", got " + found->second);
    }
  }
  if (failures) std::fprintf(stderr, "citywalk-expect: %d expectation(s) failed\n", failures);
  return failures ? 1 : 0;
}
