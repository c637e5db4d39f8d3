// A recording stand-in for the GL and GLU entry points used by the drawing, texture, render
// state and camera code. Linked into the GL test program in place of the real ones; every
// call is appended to the log as text, numbers in their shortest exact form.
#pragma once

#include <string>
#include <vector>

namespace recorder {

// The calls recorded since the last Clear().
const std::vector<std::string>& Calls();
void Clear();
// Only the calls whose text starts with one of the prefixes.
std::vector<std::string> CallsStartingWith(std::initializer_list<const char*> prefixes);
// How many calls start with prefix.
int Count(const char* prefix);

}  // namespace recorder
