// Writing a tool's files into a scene folder all or nothing: each to a temporary file beside
// it, renamed over its name only once every one is written. A full disk, an I/O error or a
// folder that cannot be written leaves the folder exactly as it was.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct OutputFile {
  std::string path;
  std::function<bool(const std::string&)> write;  // writes the content to the path given
};

// Writes bytes to path, reporting every failure of the writes and of the close (a full disk
// may only show there); false with errno set when they did not all reach the file.
bool WriteFileBytes(const std::string& path, std::string_view bytes);

// Writes files; false with the reason in error (naming the file) when one cannot be
// written, and then none of them has changed.
bool WriteAllOrNothing(const std::vector<OutputFile>& files, std::string& error);

// Makes folder dir (and its missing parents) for a tool's output; the folders it made are
// added to made, to be removed by RemoveMadeFolders when the output is refused. False with
// the reason in error when it cannot be made.
bool MakeOutputFolder(const std::string& dir, std::vector<std::string>& made, std::string& error);
// Removes the folders MakeOutputFolder made, innermost first, as long as they are empty.
void RemoveMadeFolders(const std::vector<std::string>& made);
