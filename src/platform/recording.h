// Recordings of a session: everything that crossed the platform seam into the program, in
// order, one event a line. The SDL platform writes them (`citywalk --record FILE`); the headless
// platform plays them back (citywalk-replay). The format (README.md, "Recordings"):
//
//   citywalk-recording 1           version line; a newer version is refused
//   screen W H                     the desktop's size when the display was opened
//   tick T                         GetTickCount returned T
//   metric I V                     GetSystemMetrics(I) returned V
//   cursor X Y                     GetCursorPos returned X Y (screen)
//   setcursor X Y                  the program called SetCursorPos(X, Y)
//   origin X Y                     the window's client origin on the screen, as Screen-
//                                  ToClient/ClientToScreen next use it (written when it moved)
//   idle                           PeekMessageA found nothing
//   post MSG WPARAM LPARAM         PeekMessageA (PM_REMOVE) or GetMessageA took this message
//   send CALL MSG WPARAM LPARAM    the platform call CALL (create destroy show setpos update
//                                  display) handed this message to the window procedure
//
// MSG is a name (create destroy size paint close quit keydown keyup char mousemove
// lbuttondown lbuttonup) or a number; WPARAM is decimal, LPARAM hexadecimal (0x...).
// Lines are written whole: a recording cut at a line boundary (a killed program) is valid.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace recording {

enum class Kind { Screen, Tick, Metric, Cursor, SetCursor, Origin, Idle, Post, Send };

// The platform calls that hand messages to the window procedure themselves.
enum class Call { Create, Destroy, Show, SetPos, Update, Display };

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

}  // namespace recording
