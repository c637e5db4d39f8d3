// Scanning the scene file's ints, doubles and names (rules in scene_fields.h).
#include "scene/scene_fields.h"

#include <charconv>
#include <climits>
#include <cstring>
#include <limits>
#include <system_error>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Value of c as a digit of base 8, 10 or 16, or -1.
int DigitValue(char c, int base) {
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

// Power of ten of the leading non-zero digit of a decimal number text, exponent included;
// tells an overflow from an underflow. The exponent saturates, so huge ones stay huge.
long long LeadingPowerOfTen(const char* p, const char* end) {
  long long intDigits = 0;
  long long leading = LLONG_MIN;
  long long index = 0;
  bool afterPoint = false;
  for (; p < end && (IsDigit(*p) || *p == '.'); ++p) {
    if (*p == '.') {
      afterPoint = true;
      continue;
    }
    if (!afterPoint) ++intDigits;
    if (*p != '0' && leading == LLONG_MIN) leading = index;
    ++index;
  }
  if (leading == LLONG_MIN) return 0;
  long long exponent = 0;
  if (p < end && (*p == 'e' || *p == 'E')) {
    ++p;
    const bool negative = (p < end && *p == '-');
    if (p < end && (*p == '+' || *p == '-')) ++p;
    for (; p < end && IsDigit(*p); ++p) {
      if (exponent < 1000000000) exponent = exponent * 10 + (*p - '0');
    }
    if (negative) exponent = -exponent;
  }
  return intDigits - 1 - leading + exponent;
}

}  // namespace

const char* SkipFieldSpace(const char* p, const char* end) {
  while (p < end && IsFieldSpace(*p)) ++p;
  return p;
}

IntField ScanIntField(const char* p, const char* end) {
  IntField field;
  field.next = p;
  if (p >= end) return field;
  field.status = FieldStatus::kMalformed;
  const char* limit = (end - p > kIntFieldMaxChars) ? p + kIntFieldMaxChars : end;
  bool negative = false;
  if (*p == '+' || *p == '-') {
    negative = (*p == '-');
    ++p;
  }
  int base = 10;
  if (p < limit && *p == '0') {
    if (p + 1 < limit && (p[1] == 'x' || p[1] == 'X')) {
      base = 16;
      p += 2;
    } else {
      base = 8;
    }
  }
  // Fifteen characters hold at most 14 decimal, 13 hexadecimal or 15 octal digits: the
  // value always fits in 64 bits.
  long long value = 0;
  const char* digits = p;
  for (int d; p < limit && (d = DigitValue(*p, base)) >= 0; ++p) value = value * base + d;
  if (p == digits) return field;  // no digit: a sign alone, "0x", or not a number at all
  if (negative) value = -value;
  field.status = FieldStatus::kOk;
  field.clamped = value > INT_MAX || value < INT_MIN;
  field.value = value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
  field.next = p;
  return field;
}

DoubleField ScanDoubleField(const char* p, const char* end) {
  DoubleField field;
  field.next = p;
  if (p >= end) return field;
  field.status = FieldStatus::kMalformed;
  const char* start = p;
  const bool negative = (*p == '-');
  if (*p == '+' || *p == '-') ++p;
  const char* mantissa = p;
  int digitCount = 0;
  for (; p < end && IsDigit(*p); ++p) ++digitCount;
  if (p < end && *p == '.') {
    ++p;
    for (; p < end && IsDigit(*p); ++p) ++digitCount;
  }
  if (digitCount == 0) return field;
  if (p < end && (*p == 'e' || *p == 'E')) {
    const char* q = p + 1;
    if (q < end && (*q == '+' || *q == '-')) ++q;
    if (q >= end || !IsDigit(*q)) return field;  // an exponent mark without digits
    while (q < end && IsDigit(*q)) ++q;
    p = q;
  }
  if (p - start > kDoubleFieldMaxChars) {
    field.status = FieldStatus::kTooLong;
    return field;
  }
  // from_chars takes no plus sign, so the sign is applied here.
  double value = 0;
  const auto [ptr, ec] = std::from_chars(mantissa, p, value, std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    field.outOfRange = true;
    value = LeadingPowerOfTen(mantissa, p) > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  } else if (ec != std::errc() || ptr != p) {
    return field;  // cannot happen for the text scanned above
  }
  field.status = FieldStatus::kOk;
  field.value = negative ? -value : value;
  field.next = p;
  return field;
}

NameField ScanNameField(const char* p, const char* end) {
  NameField field;
  p = SkipFieldSpace(p, end);
  field.next = p;
  if (p >= end) return field;
  field.status = FieldStatus::kOk;
  field.marker = p;
  field.begin = p + 1;
  const void* lf = std::memchr(field.begin, '\n', static_cast<std::size_t>(end - field.begin));
  const char* lineEnd = lf ? static_cast<const char*>(lf) : end;
  field.next = lf ? lineEnd + 1 : end;
  if (lf && lineEnd > field.begin && lineEnd[-1] == '\r') --lineEnd;  // CR LF is one line end
  field.end = lineEnd;
  return field;
}
