// Writing the import's files into the scene folder all or nothing: each to a temporary file
// beside it, renamed over its name only once every one is written.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct OutputFile {
  std::string path;
  std::function<bool(const std::string&)> write;  // writes the content to the path given
};

// Writes files; false with the reason in error (naming the file) when one cannot be
// written, and then none of them has changed.
bool WriteAllOrNothing(const std::vector<OutputFile>& files, std::string& error);
