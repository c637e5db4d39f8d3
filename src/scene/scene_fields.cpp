// Scanning the scene file's ints, doubles and names (rules in scene_fields.h).
#include "scene/scene_fields.h"

#include <charconv>
#include <climits>
#include <cstdint>
#include <cstring>
#include <limits>
#include <system_error>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

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

double ConvertDecimal(const char* mantissa, const char* end, bool& outOfRange) {
  double value = 0;
  const auto result = std::from_chars(mantissa, end, value, std::chars_format::general);
  outOfRange = (result.ec == std::errc::result_out_of_range);
  if (outOfRange)
    value = LeadingPowerOfTen(mantissa, end) > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  return value;
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
