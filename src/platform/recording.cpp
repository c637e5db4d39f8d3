// Recordings: the writer the SDL platform feeds while the program runs, and the reader of the
// headless platform's playback. Both go by the rows of kLines (recording.h): one definition of
// the line format, used both ways.
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

// The numbers of a value line, in its row's order.
std::int64_t FieldValue(const Event& e, int field) { return field == 0 ? e.a : e.b; }

// The call words, as a list for messages: "create destroy show ...".
std::string CallWords() {
  std::string words;
  for (const CallWord& c : kCalls) words += std::string(words.empty() ? "" : " ") + c.word;
  return words;
}

// Reads the message part of a post or send line (tokens from index i on) into e.
bool ReadMessage(const std::vector<std::string>& t, std::size_t i, Event& e, std::string* why) {
  const Line& line = LineOf(e.kind);
  if (line.form == Form::kSentMessage) {
    bool known = false;
    for (const CallWord& c : kCalls)
      if (t.size() > i && t[i] == c.word) {
        e.call = c.call;
        known = true;
      }
    if (!known) {
      *why = std::string(line.word) + " needs a call: " + CallWords();
      return false;
    }
    ++i;
  }
  std::uint64_t lParam = 0;
  if (t.size() != i + 3 || !MessageNumber(t[i], e.message) || !Number(t[i + 1], e.wParam) ||
      !Number(t[i + 2], lParam)) {
    *why = std::string(line.word) + " needs " + (line.form == Form::kSentMessage ? "CALL " : "") +
           "MSG WPARAM LPARAM (a message name or number, then two numbers)";
    return false;
  }
  e.lParam = static_cast<std::int64_t>(lParam);
  return true;
}

// Reads the numbers of a value line into e, each within its row's range.
bool ReadNumbers(const std::vector<std::string>& t, Event& e, std::string* why) {
  const Line& line = LineOf(e.kind);
  const std::size_t count = static_cast<std::size_t>(line.fieldCount);
  if (t.size() - 1 != count || (count >= 1 && !Number(t[1], e.a)) ||
      (count >= 2 && !Number(t[2], e.b))) {
    *why = std::string(line.word) + " needs " + std::to_string(count) + " whole number" +
           (count == 1 ? "" : "s");
    return false;
  }
  return WithinRow(e, why);
}

// One event line (not the version line) as an event; false with the reason in *why.
bool ReadEvent(const std::vector<std::string>& t, int lineNumber, Event& e, std::string* why) {
  if (t.empty()) {
    *why = "empty line; every line holds one event";
    return false;
  }
  const Line* line = nullptr;
  for (const Line& l : kLines)
    if (t[0] == l.word) line = &l;
  if (line == nullptr) {
    *why = "unknown event '" + t[0] + "'";
    return false;
  }
  if ((lineNumber == 2) != (line->kind == Kind::Screen)) {
    *why = lineNumber == 2 ? "the second line must be 'screen W H'"
                           : "a second 'screen' line; the screen is given once, at the start";
    return false;
  }
  e = Event{};
  e.kind = line->kind;
  e.line = lineNumber;
  return line->form == Form::kNumbers ? ReadNumbers(t, e, why) : ReadMessage(t, 1, e, why);
}

// The version line; false with the reason in *why.
bool ReadVersion(const std::vector<std::string>& t, std::string* why) {
  int version = 0;
  if (t.size() != 2 || t[0] != kMagic || !Number(t[1], version) || version < 1) {
    *why = "not a recording: the first line must be '" + std::string(kMagic) + " " +
           std::to_string(kVersion) + "'";
    return false;
  }
  if (version > kVersion) {
    *why = "recording format " + t[1] + " is newer than this replay reads (" +
           std::to_string(kVersion) +
           "); replay it with the citywalk-replay of the citywalk that made it";
    return false;
  }
  return true;
}

// A line's words.
std::vector<std::string> Words(std::string text) {
  if (!text.empty() && text.back() == '\r') text.pop_back();
  std::istringstream line(text);
  std::vector<std::string> words;
  for (std::string word; line >> word;) words.push_back(word);
  return words;
}

}  // namespace

// Opens the file and writes the version line.
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

// Whether a recording is being written.
bool Active() { return LineFileOpen(writer.file); }

// Appends one event within its row; an origin only when it moved.
void Write(const Event& event) {
  if (!Active()) return;
  std::string why;
  if (!WithinRow(event, &why)) {
    std::fprintf(stderr, "citywalk: %s: %s; the recording stops here\n", writer.file.path.c_str(),
                 why.c_str());
    Stop();
    return;
  }
  if (event.kind == Kind::Origin) {
    if (writer.originWritten && event.a == writer.originX && event.b == writer.originY) return;
    writer.originWritten = true;
    writer.originX = event.a;
    writer.originY = event.b;
  }
  AddLine(writer.file, Format(event));
}

// A frame was presented.
void FramePresented() { EndFrame(writer.file); }

// Writes out what would otherwise wait past its second.
void BeforeWait(std::uint32_t milliseconds) {
  FlushBeforeWait(writer.file, milliseconds == 0xFFFFFFFFu
                                   ? std::chrono::milliseconds::max()
                                   : std::chrono::milliseconds(milliseconds));
}

// Writes out the rest and closes the file.
void Stop() { CloseLineFile(writer.file); }

// A value event.
Event Value(Kind kind, std::int64_t a, std::int64_t b) {
  Event e;
  e.kind = kind;
  e.a = a;
  e.b = b;
  return e;
}

// A message event.
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

// Whether each number is within its row's range.
bool WithinRow(const Event& e, std::string* why) {
  const Line& line = LineOf(e.kind);
  for (int f = 0; f < line.fieldCount; ++f) {
    const Field& field = line.fields[f];
    const std::int64_t value = FieldValue(e, f);
    if (value >= field.min && value <= field.max) continue;
    *why = std::string(line.word) + " " + field.name + " " + std::to_string(value) +
           " out of range (" + std::to_string(field.min) + ".." + std::to_string(field.max) + ")";
    return false;
  }
  return true;
}

// The word of a sending call.
const char* CallName(Call call) { return kCalls[static_cast<int>(call)].word; }

// The event's line, as its row has it. (Appended piece by piece: GCC 12 at -O3 warns falsely
// of a string made with '+'.)
std::string Format(const Event& e) {
  const Line& line = LineOf(e.kind);
  std::string text = line.word;
  if (line.form == Form::kNumbers) {
    for (int f = 0; f < line.fieldCount; ++f) {
      text += ' ';
      text += std::to_string(FieldValue(e, f));
    }
    return text;
  }
  if (line.form == Form::kSentMessage) {
    text += ' ';
    text += CallName(e.call);
  }
  const char* name = nullptr;
  for (const Name& n : kMessages)
    if (n.message == e.message) name = n.name;
  text += ' ';
  text += name ? std::string(name) : std::to_string(e.message);
  char numbers[48];
  std::snprintf(numbers, sizeof numbers, " %llu 0x%llX", static_cast<unsigned long long>(e.wParam),
                static_cast<unsigned long long>(static_cast<std::uint64_t>(e.lParam)));
  return text + numbers;
}

// Whether a first line is a recording's version line.
bool LooksLikeRecording(const std::string& firstLine) {
  return firstLine.rfind(kMagic, 0) == 0 &&
         (firstLine.size() == sizeof kMagic - 1 || firstLine[sizeof kMagic - 1] == ' ');
}

// Reads every line, refusing the whole recording at its first fault.
bool Read(std::istream& in, std::vector<Event>& events, int* lineNumber, std::string* why) {
  events.clear();
  int n = 0;
  auto fail = [&](int at) {
    *lineNumber = at;
    events.clear();
    return false;
  };
  std::string text;
  while (std::getline(in, text)) {
    ++n;
    if (in.eof()) {
      *why =
          "the line is cut off (the recording ends inside it); remove the unfinished "
          "last line to replay up to the line before it";
      return fail(n);
    }
    const std::vector<std::string> words = Words(text);
    Event e;
    if (n == 1 ? !ReadVersion(words, why) : !ReadEvent(words, n, e, why)) return fail(n);
    if (n > 1) events.push_back(e);
  }
  if (n == 0) {
    *why = "empty file: not a recording";
    return fail(0);
  }
  if (events.empty()) {
    *why = "the recording ends before its 'screen' line: nothing was recorded";
    return fail(n + 1);
  }
  return true;
}

// Whether the event's asked numbers are these arguments.
bool AskedWith(const Event& e, std::initializer_list<std::int64_t> arguments) {
  const Line& line = LineOf(e.kind);
  auto argument = arguments.begin();
  for (int f = 0; f < line.fieldCount; ++f) {
    if (!line.fields[f].asked) continue;
    if (argument == arguments.end() || *argument != FieldValue(e, f)) return false;
    ++argument;
  }
  return true;
}

// "SetCursorPos(320, 240)", or "a tick (GetTickCount)".
std::string Asked(Kind kind, std::initializer_list<std::int64_t> arguments, const char* call) {
  const Line& line = LineOf(kind);
  const std::string function = call != nullptr ? call : line.call;
  if (arguments.size() == 0) return std::string(line.what) + " (" + function + ")";
  std::string text;
  for (const std::int64_t a : arguments) text += (text.empty() ? "" : ", ") + std::to_string(a);
  return function + "(" + text + ")";
}

}  // namespace recording
