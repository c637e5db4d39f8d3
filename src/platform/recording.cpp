// Recordings: the writer the SDL platform feeds while the program runs, and the reader of the
// headless platform's playback. One definition of the line format, used both ways.
#include "platform/recording.h"

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "platform/line_file.h"

namespace recording {

namespace {

struct Writer {
  LineFile file{.program = "citywalk", .what = "the recording"};
  bool originWritten = false;
  std::int64_t originX = 0, originY = 0;  // the last origin line
};

Writer writer;

struct Name {
  std::uint32_t message;
  const char* name;
};
constexpr Name kMessages[] = {
    {0x0001, "create"}, {0x0002, "destroy"},   {0x0005, "size"},        {0x000F, "paint"},
    {0x0010, "close"},  {0x0012, "quit"},      {0x0100, "keydown"},     {0x0101, "keyup"},
    {0x0102, "char"},   {0x0200, "mousemove"}, {0x0201, "lbuttondown"}, {0x0202, "lbuttonup"}};
constexpr const char* kCalls[] = {"create", "destroy", "show", "setpos", "update", "display"};

struct Shape {
  Kind kind;
  const char* word;
  int numbers;  // for the value kinds: how many numbers follow
};
constexpr Shape kShapes[] = {
    {Kind::Screen, "screen", 2}, {Kind::Tick, "tick", 1},           {Kind::Metric, "metric", 2},
    {Kind::Cursor, "cursor", 2}, {Kind::SetCursor, "setcursor", 2}, {Kind::Origin, "origin", 2},
    {Kind::Idle, "idle", 0},     {Kind::Post, "post", 3},           {Kind::Send, "send", 4}};

// A whole token as a number of the type's range (0x for hexadecimal).
template <typename T>
bool Number(const std::string& token, T& value) {
  const char* first = token.data();
  const char* last = first + token.size();
  int base = 10;
  bool negative = false;
  if (first != last && *first == '-') negative = true;
  if (last - first > 2 + negative && first[negative] == '0' &&
      (first[negative + 1] == 'x' || first[negative + 1] == 'X')) {
    base = 16;
    if (negative) return false;  // hexadecimal carries its own sign bits
    first += 2;
  }
  auto [end, ec] = std::from_chars(first, last, value, base);
  return ec == std::errc() && end == last && first != last;
}

// A message by its name or number.
bool MessageNumber(const std::string& token, std::uint32_t& message) {
  for (const Name& n : kMessages)
    if (token == n.name) {
      message = n.message;
      return true;
    }
  return Number(token, message);
}

}  // namespace

bool Start(const std::string& path, std::string* why) {
  Stop();
  if (!OpenLineFile(writer.file, path, why)) return false;
  writer.originWritten = false;
  AddLine(writer.file, std::string(kMagic) + " " + std::to_string(kVersion));
  FlushLineFile(writer.file);
  static bool registered = false;
  if (!registered) std::atexit(Stop);
  registered = true;
  return true;
}

bool Active() { return LineFileOpen(writer.file); }

void Write(const Event& event) {
  if (!Active()) return;
  if (event.kind == Kind::Origin) {
    if (writer.originWritten && event.a == writer.originX && event.b == writer.originY) return;
    writer.originWritten = true;
    writer.originX = event.a;
    writer.originY = event.b;
  }
  AddLine(writer.file, Format(event));
}

void FramePresented() { EndFrame(writer.file); }

void BeforeWait(std::uint32_t milliseconds) {
  FlushBeforeWait(writer.file, milliseconds == 0xFFFFFFFFu
                                   ? std::chrono::milliseconds::max()
                                   : std::chrono::milliseconds(milliseconds));
}

void Stop() { CloseLineFile(writer.file); }

Event Value(Kind kind, std::int64_t a, std::int64_t b) {
  Event e;
  e.kind = kind;
  e.a = a;
  e.b = b;
  return e;
}

Event Message(Kind kind, std::uint32_t message, std::uint64_t wParam, std::int64_t lParam,
              Call call) {
  Event e;
  e.kind = kind;
  e.call = call;
  e.message = message;
  e.wParam = wParam;
  e.lParam = lParam;
  return e;
}

const char* CallName(Call call) { return kCalls[static_cast<int>(call)]; }

std::string Format(const Event& e) {
  const Shape& shape = kShapes[static_cast<int>(e.kind)];
  char line[160];
  if (e.kind == Kind::Post || e.kind == Kind::Send) {
    char number[16];
    const char* name = nullptr;
    for (const Name& n : kMessages)
      if (n.message == e.message) name = n.name;
    if (name == nullptr) {
      std::snprintf(number, sizeof number, "%u", static_cast<unsigned>(e.message));
      name = number;
    }
    std::snprintf(line, sizeof line, "%s%s%s %s %llu 0x%llX", shape.word,
                  e.kind == Kind::Send ? " " : "", e.kind == Kind::Send ? CallName(e.call) : "",
                  name, static_cast<unsigned long long>(e.wParam),
                  static_cast<unsigned long long>(static_cast<std::uint64_t>(e.lParam)));
  } else if (shape.numbers == 2) {
    std::snprintf(line, sizeof line, "%s %lld %lld", shape.word, static_cast<long long>(e.a),
                  static_cast<long long>(e.b));
  } else if (shape.numbers == 1) {
    std::snprintf(line, sizeof line, "%s %lld", shape.word, static_cast<long long>(e.a));
  } else {
    std::snprintf(line, sizeof line, "%s", shape.word);
  }
  return line;
}

bool LooksLikeRecording(const std::string& firstLine) {
  return firstLine.rfind(kMagic, 0) == 0 &&
         (firstLine.size() == sizeof kMagic - 1 || firstLine[sizeof kMagic - 1] == ' ');
}

bool Read(std::istream& in, std::vector<Event>& events, int* lineNumber, std::string* why) {
  events.clear();
  int n = 0;
  auto fail = [&](const std::string& what) {
    *lineNumber = n;
    *why = what;
    events.clear();
    return false;
  };
  std::string text;
  bool screenSeen = false;
  while (std::getline(in, text)) {
    ++n;
    if (in.eof())
      return fail(
          "the line is cut off (the recording ends inside it); remove the unfinished "
          "last line to replay up to the line before it");
    if (!text.empty() && text.back() == '\r') text.pop_back();
    std::istringstream line(text);
    std::vector<std::string> t;
    for (std::string token; line >> token;) t.push_back(token);
    if (n == 1) {
      int version = 0;
      if (t.size() != 2 || t[0] != kMagic || !Number(t[1], version) || version < 1)
        return fail("not a recording: the first line must be '" + std::string(kMagic) + " " +
                    std::to_string(kVersion) + "'");
      if (version > kVersion)
        return fail("recording format " + t[1] + " is newer than this replay reads (" +
                    std::to_string(kVersion) +
                    "); replay it with the citywalk-replay of the "
                    "citywalk that made it");
      continue;
    }
    if (t.empty()) return fail("empty line; every line holds one event");
    const Shape* shape = nullptr;
    for (const Shape& s : kShapes)
      if (t[0] == s.word) shape = &s;
    if (shape == nullptr) return fail("unknown event '" + t[0] + "'");
    if ((n == 2) != (shape->kind == Kind::Screen))
      return fail(n == 2 ? "the second line must be 'screen W H'"
                         : "a second 'screen' line; the screen is given once, at the start");
    Event e;
    e.kind = shape->kind;
    e.line = n;
    const std::size_t args = t.size() - 1;
    if (e.kind == Kind::Post || e.kind == Kind::Send) {
      std::size_t i = 1;
      if (e.kind == Kind::Send) {
        bool known = false;
        for (int c = 0; c < static_cast<int>(std::size(kCalls)); ++c)
          if (args >= 1 && t[1] == kCalls[c]) {
            e.call = static_cast<Call>(c);
            known = true;
          }
        if (!known) return fail("send needs a call: create destroy show setpos update display");
        i = 2;
      }
      std::uint64_t lParam = 0;
      if (t.size() != i + 3 || !MessageNumber(t[i], e.message) || !Number(t[i + 1], e.wParam) ||
          !Number(t[i + 2], lParam))
        return fail(t[0] + " needs " + (e.kind == Kind::Send ? "CALL " : "") +
                    "MSG WPARAM LPARAM (a message name or number, then two numbers)");
      e.lParam = static_cast<std::int64_t>(lParam);
    } else {
      if (args != static_cast<std::size_t>(shape->numbers) || (args >= 1 && !Number(t[1], e.a)) ||
          (args >= 2 && !Number(t[2], e.b)))
        return fail(t[0] + " needs " + std::to_string(shape->numbers) + " whole number" +
                    (shape->numbers == 1 ? "" : "s"));
      const bool sized = e.kind == Kind::Screen;
      if (sized && (e.a < 1 || e.b < 1 || e.a > 16384 || e.b > 16384))
        return fail("screen size out of range (1..16384 each)");
      if (e.kind == Kind::Tick && (e.a < 0 || e.a > 0xFFFFFFFFll))
        return fail("tick out of range (0..4294967295)");
      const bool point = e.kind == Kind::Cursor || e.kind == Kind::SetCursor ||
                         e.kind == Kind::Origin || e.kind == Kind::Metric;
      if (point && (e.a < INT32_MIN || e.a > INT32_MAX || e.b < INT32_MIN || e.b > INT32_MAX))
        return fail(t[0] + " value out of range");
    }
    screenSeen = screenSeen || e.kind == Kind::Screen;
    events.push_back(e);
  }
  if (n == 0) return fail("empty file: not a recording");
  if (!screenSeen) {
    n = n + 1;
    return fail("the recording ends before its 'screen' line: nothing was recorded");
  }
  return true;
}

}  // namespace recording
