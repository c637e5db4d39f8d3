// Whatever the file holds, reading it neither crashes nor leaves a count beyond its tables:
// files cut anywhere, every refused count, and randomly damaged scenes.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "reader_test_scene.h"

namespace {

// Lowers the table size limit for one test, so that hostile counts stay cheap.
struct TableLimit {
  std::size_t saved = sceneTableByteLimit;
  explicit TableLimit(std::size_t bytes) { sceneTableByteLimit = bytes; }
  ~TableLimit() { sceneTableByteLimit = saved; }
};

// Each cut of the sample scene, at every byte: the reader reports that the file ends early
// (once, as the only error) and keeps its tables sound.
TEST(ReaderRobust, FileCutAtEveryByte) {
  const std::string text = WriteSceneText(SampleSpec());
  const std::size_t last = text.find_last_not_of(" \r\n");
  for (std::size_t n = 0; n <= text.size(); ++n) {
    const SceneDiagnostics diag = ReadText(text.substr(0, n));
    ExpectTablesHoldCounts();
    if (HasFatalFailure()) FAIL() << "cut at " << n;
    int errors = 0;
    for (const SceneDiagnostic& d : diag.items) errors += d.severity == SceneSeverity::kError;
    if (n <= last) {
      ASSERT_TRUE(diag.streamFailed) << n;
      ASSERT_EQ(errors, 1) << n;
      ASSERT_NE(diag.items.back().message.find("the file ends "), std::string::npos)
          << n << ": " << diag.items.back().message;
    } else {
      ASSERT_FALSE(diag.streamFailed) << n;
      ASSERT_EQ(errors, 0) << n;
    }
  }
}

TEST(ReaderRobust, EarlyEndSaysWhatIsLeftUnset) {
  std::string text = WriteSceneText(SampleSpec());
  // Cut inside the second static vertex, after its x.
  const std::size_t at = text.find("10 0 0 0 1 0 1 *wall.bmp");
  ASSERT_NE(at, std::string::npos);
  const SceneDiagnostics diag = ReadText(text.substr(0, at + 2));
  ASSERT_EQ(diag.items.size(), 1u);
  EXPECT_NE(diag.items[0].message.find("`staticY` of static vertex 2; left unset: 9 static "
                                       "vertices, 7 plain vertices"),
            std::string::npos)
      << diag.items[0].message;
  EXPECT_EQ(staticX[2], 10);
  EXPECT_EQ(staticY[2], 0);
}

// Each count beyond the data model: refused at its place, read as 0, with the tables and
// counts left sound; without diagnostics one line goes to standard error.
TEST(ReaderRobust, CountsBeyondTheDataModelAreRefused) {
  const TableLimit limit(1 << 20);
  const std::string settings =
      "1 0 0 0 0 0 0 0 1000 0 1 0 0\n0 0 0 0 0 0 0 8\n2 20 10\n0 0 0 0 0 0 1\n"
      "2 5 1 70 70 6 20 3 1.2 5 7 0.07 0.3 0.4 0.4 0.7 0.01 0.2 0.5 1.5 0.8 50 2 60 4 0.17\n";
  const std::string row = "0 0 0 0 0 0 0\n";
  struct Case {
    std::string text;
    int line, column;
    const char* field;
    const int* count;  // the refused count, which reads 0
  } cases[] = {
      {"100002 0 0 -1 0\n", 1, 1, "staticVertexCount", &staticVertexCount},
      {"0 9999999 0 -1 0\n", 1, 3, "plainVertexCount", &plainVertexCount},
      {"0 0 6502 -1 0\n", 1, 5, "avatarVertexCount", &avatarVertexCount},
      {"0 0 0 50 1\n", 1, 7, "objectLastIndex", nullptr},
      {"0 0 0 0 2001\n", 1, 9, "objectVertexMax", &objectVertexMax},
      {"0 0 0 -1 2001\n", 1, 10, "objectVertexMax", &objectVertexMax},
      {"0 0 0 0 0\n", 1, 9, "objectVertexMax", &objectVertexMax},
      {"0 0 0 0 -3\n", 1, 9, "objectVertexMax", &objectVertexMax},
      {"0 0 0 -1 0\n" + settings + "99999\n", 7, 1, "obstacleCount", &obstacleCount},
      {"0 0 0 1 4\n" + settings + "0\n" + "0 0 0 0 0 0 2\n" + "0 0 0 0 0 0 9999\n", 9, 13,
       "objectWaypointCount", nullptr},
      {"0 0 1 -1 0\n" + settings + "0\n0 0 0\n0 20\n", 9, 3, "avatarPartLastIndex",
       &avatarPartLastIndex},
      {"0 0 0 1 4\n" + settings + "0\n" + row + row + "0 0 0\n5 0 0 0 0 0 0 0 0\n", 11, 1,
       "objectVertexCount", nullptr},
      {"0 0 0 0 4\n" + settings + "0\n" + row + "0 0 0\n0 0 0 0 0 0 0 0 0\n1 1 20\n", 11, 5,
       "objectPartLastIndex", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 20));
    const SceneDiagnostics diag = ReadText(c.text);
    ExpectTablesHoldCounts();
    ASSERT_EQ(diag.items.size(), 1u);
    const SceneDiagnostic& d = diag.items[0];
    EXPECT_EQ(d.severity, SceneSeverity::kError);
    EXPECT_EQ(d.line, c.line);
    EXPECT_EQ(d.column, c.column);
    EXPECT_NE(d.message.find(std::string("`") + c.field + "`"), std::string::npos) << d.message;
    EXPECT_NE(d.message.find("refused"), std::string::npos) << d.message;
    if (c.count) {
      EXPECT_EQ(*c.count, 0);
    }

    ::testing::internal::CaptureStderr();
    ReadSceneText(c.text.data(), c.text.size(), "test.mts", nullptr);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "citywalk: test.mts:" + std::to_string(c.line) + ":" + std::to_string(c.column) +
                       ": " + d.message + "\n");
    ExpectTablesHoldCounts();
  }
  // The refused ones that leave no objects, and the ones inside objects.
  ReadText(cases[3].text);
  EXPECT_EQ(objectLastIndex, -1);
  ReadText(cases[9].text);
  EXPECT_EQ(objectLastIndex, 1);
  EXPECT_EQ(objectWaypointCount[0], 2);
  EXPECT_EQ(objectWaypointCount[1], 0);
  EXPECT_EQ(waypointRowMax, 2);
  ReadText(cases[11].text);
  EXPECT_EQ(objectVertexCount[0], 0);
  ReadText(cases[12].text);
  EXPECT_EQ(objectPartLastIndex[0], 0);
  // Exactly at the limits nothing is refused.
  const SceneDiagnostics fits = ReadText("100001 0 6501 49 2000\n");
  EXPECT_EQ(staticVertexCount, 100001);
  EXPECT_EQ(avatarVertexCount, 6501);
  EXPECT_EQ(objectLastIndex, 49);
  ASSERT_EQ(fits.items.size(), 1u);
  EXPECT_NE(fits.items[0].message.find("ends before `displayModeIndex`"), std::string::npos);
  ExpectTablesHoldCounts();
}

// Objects whose tables were never made do not exist, however the reading stopped.
TEST(ReaderRobust, ObjectsWithoutTablesAreDropped) {
  for (const char* text : {"0 0 0 3", "0 0 0 3 ", "0 0 0 3 x", "0 0 0 3 0"}) {
    ReadText(text);
    EXPECT_EQ(objectLastIndex, -1) << text;
    ExpectTablesHoldCounts();
  }
}

// Random damage to the sample scene: bytes changed, cut out, repeated, numbers swapped for
// huge, negative or malformed ones. Nothing may crash or leave a count beyond its table.
TEST(ReaderRobust, RandomlyDamagedScenes) {
  const TableLimit limit(8 << 20);
  const std::string sample = WriteSceneText(SampleSpec());
  std::mt19937 random(7);
  const char* const numbers[] = {"-1",         "0",      "1",          "2",
                                 "20",         "49",     "50",         "2000",
                                 "2001",       "100001", "2147483647", "-2147483648",
                                 "0x7fffffff", "1e309",  "nan",        "7",
                                 "-10",        "19",     "6501",       "99999999999999"};
  for (int round = 0; round < 400; ++round) {
    std::string text = sample;
    const int edits = 1 + static_cast<int>(random() % 6);
    for (int e = 0; e < edits && !text.empty(); ++e) {
      const std::size_t at = random() % text.size();
      const std::size_t span = 1 + random() % 40;
      switch (random() % 5) {
        case 0:
          text[at] = static_cast<char>(random() % 256);
          break;
        case 1:
          text.erase(at, span);
          break;
        case 2:
          text.insert(at, text.substr(at, span));
          break;
        default: {
          // Replace the number that starts at the next blank.
          const std::size_t start = text.find(' ', at);
          if (start == std::string::npos) break;
          const std::size_t end = text.find_first_of(" \n", start + 1);
          text.replace(start + 1, (end == std::string::npos ? text.size() : end) - start - 1,
                       numbers[random() % (sizeof numbers / sizeof numbers[0])]);
        }
      }
    }
    ReadText(text);
    ExpectTablesHoldCounts();
    if (HasFatalFailure()) FAIL() << "round " << round << ":\n" << text;
  }
}

}  // namespace
