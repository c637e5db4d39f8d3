// Numbers as text in their shortest exact form: how the recording GL stand-in writes the
// arguments of the calls it logs, and how the tests write the calls they expect.
#pragma once

#include <charconv>
#include <string>

// A float argument (a double handed to a float parameter is rounded to float first).
inline std::string FloatText(double v) {
  char buffer[64];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(v));
  return std::string(buffer, r.ptr);
}
// A double argument.
inline std::string DoubleText(double v) {
  char buffer[64];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
  return std::string(buffer, r.ptr);
}
