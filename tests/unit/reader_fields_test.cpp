// The scene file's field kinds: ints with their bases and length limit, doubles as the format
// writes them, and texture names with their marker.
#include <gtest/gtest.h>

#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "reader_test_scene.h"
#include "scene/scene_fields.h"

namespace {

IntField Int(const std::string& text) {
  return ScanIntField(text.data(), text.data() + text.size());
}

DoubleField Double(const std::string& text) {
  return ScanDoubleField(text.data(), text.data() + text.size());
}

// How many characters a scan took from text.
template <typename Field>
long Taken(const Field& f, const std::string& text) {
  return f.next - text.data();
}

TEST(ReaderFields, IntsDetectTheirBase) {
  struct Case {
    const char* text;
    int value;
    long taken;
  } cases[] = {
      {"010", 8, 3},
      {"0x10", 16, 4},
      {"0X1f", 31, 4},
      {"-010", -8, 4},
      {"+7", 7, 2},
      {"-0x1A", -26, 5},
      {"0", 0, 1},
      {"09", 0, 1},
      {"0778", 63, 3},
      {"12abc", 12, 2},
      {"5.0", 5, 1},
      {"0xg", 0, 0},
      {"2147483647", INT_MAX, 10},
      {"-2147483648", INT_MIN, 11},
  };
  for (const Case& c : cases) {
    const std::string text = c.text;
    const IntField f = Int(text);
    if (c.taken == 0) {
      EXPECT_EQ(f.status, FieldStatus::kMalformed) << text;
      continue;
    }
    EXPECT_EQ(f.status, FieldStatus::kOk) << text;
    EXPECT_EQ(f.value, c.value) << text;
    EXPECT_EQ(Taken(f, text), c.taken) << text;
    EXPECT_FALSE(f.clamped) << text;
  }
  for (const char* bad : {"x", "-", "+", "0x", "-0x", ".5", "e5", "inf"})
    EXPECT_EQ(Int(bad).status, FieldStatus::kMalformed) << bad;
  EXPECT_EQ(Int("").status, FieldStatus::kEnd);
}

TEST(ReaderFields, IntsStopAfterFifteenCharactersAndSaturate) {
  // Sixteen zeros and a one: the first fifteen characters are one field, the rest the next.
  const std::string zeros = "00000000000000001";
  IntField f = Int(zeros);
  EXPECT_EQ(f.value, 0);
  EXPECT_EQ(Taken(f, zeros), 15);
  const std::string big = "12345678901234567";
  f = Int(big);
  EXPECT_EQ(Taken(f, big), 15);
  EXPECT_EQ(f.value, INT_MAX);
  EXPECT_TRUE(f.clamped);
  const std::string negative = "-99999999999";
  f = Int(negative);
  EXPECT_EQ(f.value, INT_MIN);
  EXPECT_TRUE(f.clamped);
  const std::string hex = "0xFFFFFFFF";  // 4294967295 does not fit an int either
  EXPECT_EQ(Int(hex).value, INT_MAX);

  // Through the reader: the rest of a long field becomes the next field.
  ReadText("0 0 0 -1 0  1 0 0 0 000000000000000070 0");
  EXPECT_EQ(fieldOfView, 0);
  EXPECT_EQ(windowMaximized, 7 * 8);  // "070" is octal
  EXPECT_EQ(changeDisplayMode, 0);
}

TEST(ReaderFields, DoublesAsTheFormatWritesThem) {
  struct Case {
    const char* text;
    double value;
    long taken;
  } cases[] = {
      {"1e5", 100000.0, 3},
      {".5", 0.5, 2},
      {"5.", 5.0, 2},
      {"+3", 3.0, 2},
      {"-2.5", -2.5, 4},
      {"1.5E+2", 150.0, 6},
      {"2e-3", 0.002, 4},
      {"12abc", 12.0, 2},
      {"0x10", 0.0, 1},
      {"7.25.5", 7.25, 4},
      {"123456789012345678901234567", 123456789012345678901234567.0, 27},
  };
  for (const Case& c : cases) {
    const std::string text = c.text;
    const DoubleField f = Double(text);
    EXPECT_EQ(f.status, FieldStatus::kOk) << text;
    EXPECT_EQ(f.value, c.value) << text;
    EXPECT_EQ(Taken(f, text), c.taken) << text;
  }
  const DoubleField minusZero = Double("-0");
  EXPECT_EQ(minusZero.value, 0.0);
  EXPECT_TRUE(std::signbit(minusZero.value));
  for (const char* bad : {"1e", "1e+", "2E-", ".", "-", "+.", "inf", "nan", "-inf", "x1", ".e5"})
    EXPECT_EQ(Double(bad).status, FieldStatus::kMalformed) << bad;
  EXPECT_EQ(Double("1234567890123456789012345678").status, FieldStatus::kTooLong);
  EXPECT_EQ(Double("-12345678901234567890.123456").status, FieldStatus::kTooLong);
  EXPECT_EQ(Double("").status, FieldStatus::kEnd);
}

TEST(ReaderFields, DoublesBeyondRangeBecomeInfinityOrZero) {
  DoubleField f = Double("1e400");
  EXPECT_EQ(f.value, std::numeric_limits<double>::infinity());
  EXPECT_TRUE(f.outOfRange);
  f = Double("-123.4e999");
  EXPECT_EQ(f.value, -std::numeric_limits<double>::infinity());
  f = Double("0.0001e-400");
  EXPECT_EQ(f.value, 0.0);
  EXPECT_TRUE(f.outOfRange);
  f = Double("-1e-400");
  EXPECT_TRUE(std::signbit(f.value));
  f = Double("4.9e-324");  // the smallest subnormal is still a number
  EXPECT_GT(f.value, 0.0);
  EXPECT_FALSE(f.outOfRange);
}

TEST(ReaderFields, NamesDropTheirMarkerAndTakeTheRestOfTheLine) {
  struct Case {
    const char* text;
    const char* name;
    long taken;
  } cases[] = {
      {" *brick.bmp\nnext", "brick.bmp", 12},
      {"      #brick.bmp\n", "brick.bmp", 17},
      {" *  two  blanks  \n", "  two  blanks  ", 18},
      {" brick.bmp\n", "rick.bmp", 11},
      {"\n\n\r\n*late.bmp\n", "late.bmp", 14},
      {" *crlf.bmp\r\n1", "crlf.bmp", 12},
      {" *\n1", "", 3},
      {" *lone\rcr\n", "lone\rcr", 10},
      {" *at end", "at end", 8},
  };
  for (const Case& c : cases) {
    const std::string text = c.text;
    const NameField f = ScanNameField(text.data(), text.data() + text.size());
    ASSERT_EQ(f.status, FieldStatus::kOk) << text;
    EXPECT_EQ(std::string(f.begin, f.end), c.name) << text;
    EXPECT_EQ(f.next - text.data(), c.taken) << text;
  }
  const std::string blank = " \n\t ";
  EXPECT_EQ(ScanNameField(blank.data(), blank.data() + blank.size()).status, FieldStatus::kEnd);
}

// A 28-character double fails the stream at its field: it and everything after keep their
// defaults; a 27-character one reads.
TEST(ReaderFields, LongDoubleFailsTheStream) {
  const std::string ok27 = "1234567890.12345678901234567";
  ASSERT_EQ(ok27.size(), 28u);
  const std::string head = "0 0 0 -1 0  1 0 0 0 45 0 0 ";
  SceneDiagnostics diag = ReadText(head + ok27.substr(1) + " 500");
  EXPECT_EQ(farPlane, 234567890.12345678901234567);
  EXPECT_EQ(drawDistance, 500);
  ASSERT_EQ(diag.items.size(), 1u);
  EXPECT_NE(diag.items[0].message.find("ends before `distanceCulling`"), std::string::npos);

  diag = ReadText(head + ok27 + " 500");
  EXPECT_EQ(fieldOfView, 45);
  EXPECT_EQ(farPlane, 0);
  EXPECT_EQ(drawDistance, 1000);
  ASSERT_EQ(diag.items.size(), 1u);
  EXPECT_EQ(diag.items[0].column, static_cast<int>(head.size()) + 1);
  EXPECT_NE(diag.items[0].message.find("`farPlane`"), std::string::npos);
}

}  // namespace

namespace {

// The exact fast path for ordinary numbers gives what the general conversion gives, bit for
// bit: shortest forms of random doubles, short decimals and numbers near the path's limits.
TEST(ReaderFields, FastPathAgreesWithTheGeneralConversion) {
  std::mt19937_64 random(99);
  std::vector<std::string> texts = {"9007199254740993",
                                    "9007199254740992.5",
                                    "0.1",
                                    "1e22",
                                    "1e23",
                                    "123456789012345678e-22",
                                    "4503599627370497.5",
                                    "0.000000000000000000001",
                                    "9999999999999999999",
                                    "17976931348623157e292"};
  for (int i = 0; i < 20000; ++i) {
    char buffer[64];
    double d;
    if (i % 2) {
      const std::uint64_t b = random();
      std::memcpy(&d, &b, sizeof d);
      if (!std::isfinite(d)) continue;
    } else {
      d = static_cast<double>(random() % 2000001) / std::pow(10.0, random() % 8) - 1000;
    }
    texts.emplace_back(buffer, std::to_chars(buffer, buffer + sizeof buffer, d).ptr);
    const auto fixed = std::to_chars(buffer, buffer + sizeof buffer, d, std::chars_format::fixed);
    if (fixed.ptr - buffer <= kDoubleFieldMaxChars) texts.emplace_back(buffer, fixed.ptr);
  }
  for (const std::string& text : texts) {
    const DoubleField f = Double(text);
    ASSERT_EQ(f.status, FieldStatus::kOk) << text;
    double expected = 0;
    const char* begin = text.data() + (text[0] == '-');
    std::from_chars(begin, text.data() + text.size(), expected);
    if (text[0] == '-') expected = -expected;
    ASSERT_EQ(std::memcmp(&f.value, &expected, sizeof expected), 0) << text;
  }
}

}  // namespace
