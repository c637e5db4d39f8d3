// The recording format both ways: what the SDL platform writes is what the headless platform's
// playback reads, event for event, and the writer puts whole lines in the file before the
// program waits and when it stops.
#include "platform/recording.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/work_folder.h"
#include "platform/win32.h"

namespace {

using recording::Call;
using recording::Kind;

// Every kind of line, with the values that are easy to get wrong: Win32's packed lParams with
// the top bit set, a message without a name, negative coordinates, the largest tick.
std::vector<recording::Event> EveryKind() {
  return {recording::Value(Kind::Screen, 1024, 768),
          recording::Value(Kind::Tick, 4294967295ll),
          recording::Value(Kind::Metric, SM_CYSCREEN, 768),
          recording::Value(Kind::Cursor, -5, 2000),
          recording::Value(Kind::SetCursor, 512, 384),
          recording::Value(Kind::Origin, -200, 0),
          recording::Value(Kind::Idle, 0),
          recording::Message(Kind::Post, WM_KEYUP, VK_F2, static_cast<LPARAM>(0xC0000001u)),
          recording::Message(Kind::Post, 0x0113, 7, 0),
          recording::Message(Kind::Post, WM_MOUSEMOVE, 1, MAKELPARAM(65535, 3)),
          recording::Message(Kind::Send, WM_SIZE, 2, MAKELPARAM(1024, 768), Call::Show),
          recording::Message(Kind::Send, WM_DESTROY, 0, 0, Call::Destroy),
          recording::Message(Kind::Send, WM_SIZE, 0, MAKELPARAM(200, 150), Call::Display)};
}

bool Same(const recording::Event& a, const recording::Event& b) {
  return a.kind == b.kind && a.a == b.a && a.b == b.b && a.message == b.message &&
         a.wParam == b.wParam && a.lParam == b.lParam && (a.kind != Kind::Send || a.call == b.call);
}

TEST(Recording, WhatIsWrittenReadsBackEventForEvent) {
  const std::vector<recording::Event> events = EveryKind();
  std::string text = "citywalk-recording 1\n";
  for (const recording::Event& e : events) text += recording::Format(e) + "\n";
  std::istringstream in(text);
  std::vector<recording::Event> read;
  int line = 0;
  std::string why;
  ASSERT_TRUE(recording::Read(in, read, &line, &why)) << line << ": " << why;
  ASSERT_EQ(read.size(), events.size());
  for (size_t i = 0; i < events.size(); ++i) {
    EXPECT_TRUE(Same(read[i], events[i])) << recording::Format(events[i]);
    EXPECT_EQ(read[i].line, static_cast<int>(i) + 2);
  }
  // The lines a user reads in the README.
  EXPECT_EQ(recording::Format(events[7]), "post keyup 113 0xC0000001");
  EXPECT_EQ(recording::Format(events[10]), "send show size 2 0x3000400");
  EXPECT_EQ(recording::Format(events[8]), "post 275 7 0x0");
}

// Each number has its range: the ends read, one beyond is refused with the number named.
TEST(Recording, NumbersOutsideTheirRangesAreRefused) {
  const struct {
    const char* line;
    const char* refusal;  // nullptr: read
  } kLines[] = {
      {"screen 16384 1", nullptr},
      {"screen 16385 768", "screen W 16385 out of range (1..16384)"},
      {"screen 640 0", "screen H 0 out of range (1..16384)"},
      {"tick 4294967295", nullptr},
      {"tick 4294967296", "tick T 4294967296 out of range (0..4294967295)"},
      {"tick -1", "tick T -1 out of range (0..4294967295)"},
      {"metric -2147483648 2147483647", nullptr},
      {"metric 2147483648 0", "metric I 2147483648 out of range (-2147483648..2147483647)"},
      {"setcursor 1 -2147483649", "setcursor Y -2147483649 out of range"},
      {"cursor 0x10 0", nullptr},
      {"origin 1", "origin needs 2 whole numbers"},
  };
  for (const auto& row : kLines) {
    const bool screen = std::string(row.line).starts_with("screen");
    std::istringstream in(std::string("citywalk-recording 1\n") +
                          (screen ? "" : "screen 640 480\n") + row.line + "\n");
    std::vector<recording::Event> read;
    int line = 0;
    std::string why;
    EXPECT_EQ(recording::Read(in, read, &line, &why), row.refusal == nullptr) << row.line;
    if (row.refusal == nullptr) continue;
    EXPECT_EQ(line, screen ? 2 : 3) << row.line;
    EXPECT_TRUE(why.starts_with(row.refusal)) << row.line << ": " << why;
  }
}

TEST(Recording, TheWriterLeavesWholeLinesBeforeAWaitAndAtTheEnd) {
  WorkFolder folder("citywalk_recording");
  auto contents = [] {
    std::ifstream in("session.rec", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  };
  ASSERT_TRUE(recording::Start("session.rec", nullptr));
  EXPECT_EQ(contents(), "citywalk-recording 1\n");
  recording::Write(recording::Value(Kind::Screen, 640, 480));
  recording::Write(recording::Value(Kind::Tick, 10));
  // The same origin again is no news: one line for it.
  recording::Write(recording::Value(Kind::Origin, 3, 4));
  recording::Write(recording::Value(Kind::Origin, 3, 4));
  // Waiting for ever: what was buffered is written first.
  recording::BeforeWait(INFINITE);
  EXPECT_EQ(contents(), "citywalk-recording 1\nscreen 640 480\ntick 10\norigin 3 4\n");
  recording::Write(recording::Value(Kind::Origin, 3, 5));
  recording::Write(recording::Value(Kind::Idle, 0));
  recording::Stop();
  EXPECT_FALSE(recording::Active());
  const std::string whole =
      "citywalk-recording 1\nscreen 640 480\ntick 10\norigin 3 4\norigin 3 5\nidle\n";
  EXPECT_EQ(contents(), whole);
  recording::Write(recording::Value(Kind::Tick, 11));  // no recording: nothing happens
  EXPECT_EQ(contents(), whole);

  std::string why;
  EXPECT_FALSE(recording::Start("no-such-folder/session.rec", &why));
  EXPECT_EQ(why, "No such file or directory");

  // A value the reader would refuse is never written: the recording stops before it.
  ASSERT_TRUE(recording::Start("session.rec", nullptr));
  recording::Write(recording::Value(Kind::Screen, 640, 480));
  testing::internal::CaptureStderr();
  recording::Write(recording::Value(Kind::Screen, 20000, 480));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "citywalk: session.rec: screen W 20000 out of range (1..16384); the recording stops "
            "here\n");
  EXPECT_FALSE(recording::Active());
  EXPECT_EQ(contents(), "citywalk-recording 1\nscreen 640 480\n");
}

}  // namespace
