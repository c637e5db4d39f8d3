// The three kinds of field in the scene file: ints, doubles and texture names, scanned
// straight from the file's bytes.
//
// The rules of the format:
// - Fields are separated by whitespace: blank, tab, line feed, carriage return, vertical tab,
//   form feed. A carriage return before a line feed belongs to that line end.
// - int: an optional sign, then at most 15 characters in all (the sign included). A leading
//   0x or 0X makes it hexadecimal, another leading 0 octal, otherwise it is decimal. The field
//   ends at the first character that is not a digit of its base ("09" reads 0 and leaves "9"
//   for the next field) or after its 15th character (the rest is the next field). A value
//   beyond the int range reads as the nearest int. "0x" without a hexadecimal digit, a lone
//   sign or anything else that is not a digit where the field starts is malformed.
// - double: an optional sign, digits with an optional decimal point (at least one digit:
//   "5.", ".5", "-0" are numbers, "." is not), then an optional exponent e or E with an
//   optional sign and at least one digit ("1e5" is 100000; "1e" is malformed, as is "1e+").
//   The number must have fewer than 28 characters; a longer one is malformed. There are no
//   hexadecimal doubles, no "inf" and no "nan": a double field "0x10" reads 0 and leaves
//   "x10". A number too large for a double reads as an infinity of its sign, one too small
//   as a zero of its sign.
// - name: after whitespace one marker character (anything but whitespace), which is dropped;
//   the name is the rest of that line, blanks included, without its line end.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>

enum class FieldStatus {
  kOk,
  kEnd,        // nothing but whitespace was left
  kMalformed,  // the text there is not a field of this kind
  kTooLong,    // a double of 28 characters or more
};

struct IntField {
  FieldStatus status = FieldStatus::kEnd;
  int value = 0;
  bool clamped = false;  // the written value lies outside the int range
  const char* next = nullptr;
};

struct DoubleField {
  FieldStatus status = FieldStatus::kEnd;
  double value = 0;
  bool outOfRange = false;  // read as an infinity or a zero because of its size
  const char* next = nullptr;
};

struct NameField {
  FieldStatus status = FieldStatus::kEnd;
  const char* marker = nullptr;  // where the marker character stands
  const char* begin = nullptr;   // the name: [begin, end)
  const char* end = nullptr;
  const char* next = nullptr;  // after the line end
};

inline constexpr int kIntFieldMaxChars = 15;
inline constexpr int kDoubleFieldMaxChars = 27;

// True for the characters that separate fields.
inline bool IsFieldSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// First character at or after p that is not whitespace (end if none).
inline const char* SkipFieldSpace(const char* p, const char* end) {
  while (p < end && IsFieldSpace(*p)) ++p;
  return p;
}

// A name field: skips whitespace from p, drops the marker, takes the rest of the line.
NameField ScanNameField(const char* p, const char* end);

// ---- Scanning, kept inline: the reader calls these for every field ----------------------

inline bool IsFieldDigit(char c) { return c >= '0' && c <= '9'; }

// Value of c as a digit of base 8 or 16, or -1.
inline int FieldDigitValue(char c, int base) {
  int d = -1;
  if (c >= '0' && c <= '9') {
    d = c - '0';
  } else if (c >= 'a' && c <= 'f') {
    d = c - 'a' + 10;
  } else if (c >= 'A' && c <= 'F') {
    d = c - 'A' + 10;
  }
  return d < base ? d : -1;
}

// The general conversion of the decimal number text [mantissa, end) (no sign), for what the
// exact fast path of ScanDouble does not cover; outOfRange tells an infinity or zero that
// stands for a number beyond the range of a double.
double ConvertDecimal(const char* mantissa, const char* end, bool& outOfRange);

// Scans an int field starting exactly at cursor (whitespace already skipped). When it is one,
// sets value and clamped and moves cursor past it.
inline FieldStatus ScanInt(const char*& cursor, const char* end, int& value, bool& clamped) {
  const char* p = cursor;
  if (p >= end) return FieldStatus::kEnd;
  const char* limit = (end - p > kIntFieldMaxChars) ? p + kIntFieldMaxChars : end;
  const bool negative = (*p == '-');
  if (*p == '+' || *p == '-') ++p;
  // Fifteen characters hold at most 14 decimal, 13 hexadecimal or 15 octal digits: the
  // value always fits in 64 bits.
  long long v = 0;
  const char* digits = p;
  if (p < limit && *p != '0') {
    for (; p < limit && IsFieldDigit(*p); ++p) v = v * 10 + (*p - '0');
  } else {
    int base = 8;
    if (p + 1 < limit && (p[1] == 'x' || p[1] == 'X')) {
      base = 16;
      p += 2;
      digits = p;
    }
    for (int d; p < limit && (d = FieldDigitValue(*p, base)) >= 0; ++p) v = v * base + d;
  }
  if (p == digits) return FieldStatus::kMalformed;  // a sign alone, "0x", or not a number
  if (negative) v = -v;
  clamped = v > INT_MAX || v < INT_MIN;
  value = v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<int>(v);
  cursor = p;
  return FieldStatus::kOk;
}

// Scans a double field starting exactly at cursor (whitespace already skipped). When it is
// one, sets value and outOfRange and moves cursor past it.
inline FieldStatus ScanDouble(const char*& cursor, const char* end, double& value,
                              bool& outOfRange) {
  const char* p = cursor;
  if (p >= end) return FieldStatus::kEnd;
  const bool negative = (*p == '-');
  if (*p == '+' || *p == '-') ++p;
  const char* mantissa = p;
  // Up to 19 digits are gathered exactly in 64 bits as they are scanned.
  std::uint64_t digits = 0;
  for (; p < end && IsFieldDigit(*p); ++p) digits = digits * 10 + static_cast<unsigned>(*p - '0');
  long count = p - mantissa;
  long fraction = 0;
  if (p < end && *p == '.') {
    const char* first = ++p;
    for (; p < end && IsFieldDigit(*p); ++p) digits = digits * 10 + static_cast<unsigned>(*p - '0');
    fraction = p - first;
    count += fraction;
  }
  if (count == 0) return FieldStatus::kMalformed;
  long exponent = 0;
  if (p < end && (*p == 'e' || *p == 'E')) {
    const char* q = p + 1;
    const bool negativeExponent = (q < end && *q == '-');
    if (q < end && (*q == '+' || *q == '-')) ++q;
    if (q >= end || !IsFieldDigit(*q)) return FieldStatus::kMalformed;  // "1e", "1e+"
    for (; q < end && IsFieldDigit(*q); ++q) {
      if (exponent < 100000) exponent = exponent * 10 + (*q - '0');
    }
    if (negativeExponent) exponent = -exponent;
    p = q;
  }
  if (p - cursor > kDoubleFieldMaxChars) return FieldStatus::kTooLong;
  // Exact fast path: an integer up to 2^53 times or over a power of ten up to 10^22 is one
  // correctly rounded operation on two exact doubles.
  static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                       1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  const long power = exponent - fraction;
  double v;
  outOfRange = false;
  if (count <= 19 && digits <= (std::uint64_t{1} << 53) && power >= -22 && power <= 22) {
    v = static_cast<double>(digits);
    v = power < 0 ? v / kPowers[-power] : v * kPowers[power];
  } else {
    v = ConvertDecimal(mantissa, p, outOfRange);
  }
  value = negative ? -v : v;
  cursor = p;
  return FieldStatus::kOk;
}

// The same scans with their results gathered in one record.
inline IntField ScanIntField(const char* p, const char* end) {
  IntField field;
  field.next = p;
  field.status = ScanInt(field.next, end, field.value, field.clamped);
  return field;
}

inline DoubleField ScanDoubleField(const char* p, const char* end) {
  DoubleField field;
  field.next = p;
  field.status = ScanDouble(field.next, end, field.value, field.outOfRange);
  return field;
}
