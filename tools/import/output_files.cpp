// Temporary files, then renames.
#include "output_files.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

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
