// Temporary files, then renames.
#include "output_files.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

bool WriteFileBytes(const std::string& path, std::string_view bytes) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return false;
  const bool written =
      std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() && std::fflush(out) == 0;
  const int writeError = errno;
  const bool closed = std::fclose(out) == 0;
  if (!written) errno = writeError;
  return written && closed;
}

bool WriteAllOrNothing(const std::vector<OutputFile>& files, std::string& error) {
  std::vector<std::string> temporaries;
  auto discard = [&]() {
    for (const std::string& t : temporaries) std::remove(t.c_str());
  };
  for (const OutputFile& f : files) {
    const std::string temporary = f.path + ".tmp" + std::to_string(getpid());
    temporaries.push_back(temporary);
    errno = 0;
    if (!f.write(temporary)) {
      error = f.path + ": cannot write" + (errno ? std::string(": ") + std::strerror(errno) : "");
      discard();
      return false;
    }
  }
  // The scene comes last in files: bitmaps are in place before it names them.
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (std::rename(temporaries[i].c_str(), files[i].path.c_str()) != 0) {
      error = files[i].path + ": cannot write: " + std::strerror(errno);
      for (std::size_t k = 0; k < i; ++k) std::remove(files[k].path.c_str());  // new bitmaps
      for (std::size_t k = i; k < temporaries.size(); ++k) std::remove(temporaries[k].c_str());
      return false;
    }
  }
  return true;
}

bool MakeOutputFolder(const std::string& dir, std::vector<std::string>& made, std::string& error) {
  std::vector<fs::path> missing;
  std::error_code ec;
  for (fs::path p = fs::absolute(dir, ec); !p.empty() && !fs::exists(p, ec); p = p.parent_path()) {
    missing.push_back(p);
    if (p == p.parent_path()) break;
  }
  for (auto p = missing.rbegin(); p != missing.rend(); ++p) {
    if (!fs::create_directory(*p, ec)) {
      error = dir + ": cannot make the folder: " + ec.message();
      RemoveMadeFolders(made);
      made.clear();
      return false;
    }
    made.push_back(p->string());
  }
  if (!fs::is_directory(dir, ec)) {
    error = dir + ": not a folder";
    return false;
  }
  return true;
}

void RemoveMadeFolders(const std::vector<std::string>& made) {
  std::error_code ec;
  for (auto p = made.rbegin(); p != made.rend(); ++p)
    if (fs::is_empty(*p, ec)) fs::remove(*p, ec);
}
