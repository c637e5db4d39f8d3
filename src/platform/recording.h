// Recordings of a session: everything that crossed the platform seam into the program, in
// order, one event a line. The SDL platform writes them (`citywalk --record FILE`); the headless
// platform plays them back (citywalk-replay). After the version line `citywalk-recording 1`
// (a newer version is refused), each line is one row of kLines below: its word, then its
// numbers, or for post and send lines a message:
//
//   post MSG WPARAM LPARAM         PeekMessageA (PM_REMOVE) or GetMessageA took this message
//   send CALL MSG WPARAM LPARAM    the platform call CALL (kCalls) handed this message to the
//                                  window procedure
//
// MSG is a name (create destroy size paint close quit keydown keyup char mousemove
// lbuttondown lbuttonup) or a number; WPARAM is decimal, LPARAM hexadecimal (0x...). The
// README's "Recordings" shows the same table to users. Lines are written whole: a recording
// cut at a line boundary (a killed program) is valid.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <istream>
#include <iterator>
#include <string>
#include <vector>

namespace recording {

enum class Kind { Screen, Tick, Metric, Cursor, SetCursor, Origin, Idle, Post, Send };

// The platform calls that hand messages to the window procedure themselves.
enum class Call { Create, Destroy, Show, SetPos, Update, Display };

// ---- The contract: one row for each kind of line -------------------------------------------

// A number of a value line: its name, its range, and whose it is. Most are values a platform
// call gave the program, which the playback gives back; an asked number is the program's own
// argument, which the playback compares with what the program asks this time.
struct Field {
  const char* name;
  std::int64_t min;
  std::int64_t max;
  bool asked;
};

// What follows a line's word.
enum class Form { kNumbers, kMessage, kSentMessage };

// One kind of line: its word, the platform call it stands for and what the program asked for
// with it (the playback names both when a program leaves the recording), and its numbers.
// The writer writes no line outside its row, the reader refuses one, the playback takes
// each through its row.
struct Line {
  Kind kind;
  const char* word;
  const char* call;
  const char* what;
  Form form;
  int fieldCount;
  Field fields[2];
};

inline constexpr std::int64_t kInt32Min = -2147483648ll, kInt32Max = 2147483647ll;
inline constexpr std::int64_t kScreenMax = 16384;

// clang-format off
inline constexpr Line kLines[] = {
    {Kind::Screen, "screen", "the display", "the screen", Form::kNumbers,
     2, {{"W", 1, kScreenMax, false}, {"H", 1, kScreenMax, false}}},
    {Kind::Tick, "tick", "GetTickCount", "a tick", Form::kNumbers,
     1, {{"T", 0, 4294967295ll, false}, {}}},
    {Kind::Metric, "metric", "GetSystemMetrics", "a metric", Form::kNumbers,
     2, {{"I", kInt32Min, kInt32Max, true}, {"V", kInt32Min, kInt32Max, false}}},
    {Kind::Cursor, "cursor", "GetCursorPos", "the cursor", Form::kNumbers,
     2, {{"X", kInt32Min, kInt32Max, false}, {"Y", kInt32Min, kInt32Max, false}}},
    {Kind::SetCursor, "setcursor", "SetCursorPos", "a cursor move", Form::kNumbers,
     2, {{"X", kInt32Min, kInt32Max, true}, {"Y", kInt32Min, kInt32Max, true}}},
    {Kind::Origin, "origin", "ScreenToClient or ClientToScreen", "the window's origin",
     Form::kNumbers, 2, {{"X", kInt32Min, kInt32Max, false}, {"Y", kInt32Min, kInt32Max, false}}},
    {Kind::Idle, "idle", "PeekMessageA", "a message", Form::kNumbers, 0, {}},
    {Kind::Post, "post", "GetMessageA", "a message", Form::kMessage, 0, {}},
    {Kind::Send, "send", "the sending call (kCalls)", "a sent message", Form::kSentMessage, 0, {}},
};
// clang-format on

// Each kind's row is at its own place.
constexpr bool LinesInKindOrder() {
  for (int i = 0; i < static_cast<int>(std::size(kLines)); ++i)
    if (static_cast<int>(kLines[i].kind) != i) return false;
  return std::size(kLines) == static_cast<std::size_t>(Kind::Send) + 1;
}
static_assert(LinesInKindOrder(), "kLines has one row for each Kind, in Kind's order");

// The row of a kind of line.
constexpr const Line& LineOf(Kind kind) { return kLines[static_cast<int>(kind)]; }

// The calls of the send lines, by their word: CreateWindowExA, DestroyWindow, ShowWindow,
// SetWindowPos, UpdateWindow and ChangeDisplaySettingsA.
struct CallWord {
  Call call;
  const char* word;
};
inline constexpr CallWord kCalls[] = {{Call::Create, "create"}, {Call::Destroy, "destroy"},
                                      {Call::Show, "show"},     {Call::SetPos, "setpos"},
                                      {Call::Update, "update"}, {Call::Display, "display"}};

// Each call's row is at its own place.
constexpr bool CallsInOrder() {
  for (int i = 0; i < static_cast<int>(std::size(kCalls)); ++i)
    if (static_cast<int>(kCalls[i].call) != i) return false;
  return std::size(kCalls) == static_cast<std::size_t>(Call::Display) + 1;
}
static_assert(CallsInOrder(), "kCalls has one row for each Call, in Call's order");

struct Event {
  Kind kind = Kind::Idle;
  Call call = Call::Create;  // Send only
  std::uint32_t message = 0;
  std::uint64_t wParam = 0;
  std::int64_t lParam = 0;
  std::int64_t a = 0, b = 0;  // the two numbers of screen, tick (a), metric, cursor, origin
  int line = 0;               // line in the file
};

inline constexpr int kVersion = 1;
inline constexpr char kMagic[] = "citywalk-recording";

// ---- Writing (the SDL platform) ------------------------------------------------------------

// Opens path and writes the version line; false with the reason in *why when it cannot.
bool Start(const std::string& path, std::string* why);
// Whether a recording is being written.
bool Active();
// Appends one event (nothing when no recording is active). Written out at least once a second.
void Write(const Event& event);
// A frame was presented (the message on a failed write names the last one the file holds).
void FramePresented();
// The program is about to wait up to milliseconds (0xFFFFFFFF: for ever): what is buffered is
// written out first if it would otherwise wait past its second.
void BeforeWait(std::uint32_t milliseconds);
// Writes out the rest and closes the file (also run at exit).
void Stop();

// Helpers for the writer's callers.
Event Value(Kind kind, std::int64_t a, std::int64_t b = 0);
Event Message(Kind kind, std::uint32_t message, std::uint64_t wParam, std::int64_t lParam,
              Call call = Call::Create);
// Whether an event keeps to its row: each number within its range. (The writer stops the
// recording, with one line on standard error, rather than write one that does not.)
bool WithinRow(const Event& event, std::string* why);

// ---- Reading (the headless platform's playback, citywalk-replay) ---------------------------

// Whether the first line of a file says it is a recording.
bool LooksLikeRecording(const std::string& firstLine);
// Reads a whole recording. On the first fault returns false with *line the line it is on and
// *why what is wrong and what to do; nothing is read then.
bool Read(std::istream& in, std::vector<Event>& events, int* line, std::string* why);
// One event as its line (without the newline), the text Read accepts.
std::string Format(const Event& event);
// The name of a platform call, as in the send lines.
const char* CallName(Call call);

// ---- Playback (the headless platform) --------------------------------------------------------

// Whether the event's asked numbers are the program's arguments, in the row's order.
bool AskedWith(const Event& event, std::initializer_list<std::int64_t> arguments);
// What the program asked for, as the playback names it when the recording has another line
// next: the call with its arguments for a line with asked numbers ("GetSystemMetrics(1)"),
// else what it asked for and the call ("a tick (GetTickCount)"). call, when given, names the
// call for a line more than one call reads (a message: "PeekMessageA").
std::string Asked(Kind kind, std::initializer_list<std::int64_t> arguments = {},
                  const char* call = nullptr);

}  // namespace recording
