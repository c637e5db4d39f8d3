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

#include <cstddef>

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
const char* SkipFieldSpace(const char* p, const char* end);
// An int field starting exactly at p (whitespace already skipped).
IntField ScanIntField(const char* p, const char* end);
// A double field starting exactly at p (whitespace already skipped).
DoubleField ScanDoubleField(const char* p, const char* end);
// A name field: skips whitespace from p, drops the marker, takes the rest of the line.
NameField ScanNameField(const char* p, const char* end);
