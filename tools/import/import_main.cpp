// citywalk-import DIR MODEL [options]: adds a model to the scene in DIR, or starts a new
// scene around it (making the folder when it does not exist yet). The scene is read with the
// program's own reader and written back whole with the scene writer; nothing in DIR changes
// unless everything succeeded, and a folder made for a refused import is removed again.
#include <cstdio>
#include <filesystem>
#include <string>

#include "guarded_read.h"
#include "import_scene.h"
#include "options.h"
#include "output_files.h"

int main(int argc, char** argv) {
  ImportOptions options;
  options.memoryLimitMiB = DefaultMemoryLimitMiB();
  std::vector<std::string> operands;
  if (const int status = ReadCommandLine(ImportCommandLine(options, operands), argc, argv, 1);
      status >= 0)
    return status;
  std::string error;
  if (!CheckImportOptions(options, operands, error)) {
    std::fprintf(stderr, "citywalk-import: %s\n", error.c_str());
    return 1;
  }
  std::error_code ec;
  if (!std::filesystem::is_regular_file(options.model, ec)) {
    std::fprintf(stderr, "citywalk-import: %s: no such file\n", options.model.c_str());
    return 2;
  }
  std::vector<std::string> made;
  if (!MakeOutputFolder(options.dir, made, error)) {
    std::fprintf(stderr, "citywalk-import: %s\n", error.c_str());
    return 1;
  }
  ImportReport report;
  if (!ImportIntoScene(options, report, error)) {
    RemoveMadeFolders(made);
    std::fputs(report.problems.c_str(), stderr);  // --verbose: the reading's messages
    std::fprintf(stderr, "citywalk-import: %s\n", error.c_str());
    return 1;
  }
  std::fputs(report.problems.c_str(), stderr);
  std::fputs(report.summary.c_str(), stdout);
  return 0;
}
