// A folder of its own for a test that runs the program or reads files by relative names.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>

// A fresh folder named for the test and the process under the system's temporary folder:
// entered when made; left, and removed with everything in it, when the test is done with it.
class WorkFolder {
 public:
  explicit WorkFolder(const std::string& name)
      : home_(std::filesystem::current_path()),
        path_(std::filesystem::temp_directory_path() / (name + "_" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(path_);
    std::filesystem::current_path(path_);
  }
  ~WorkFolder() {
    std::filesystem::current_path(home_);
    std::filesystem::remove_all(path_);
  }
  WorkFolder(const WorkFolder&) = delete;
  WorkFolder& operator=(const WorkFolder&) = delete;
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path home_, path_;
};
