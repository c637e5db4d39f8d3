// citywalk-import DIR MODEL [options]: adds a model to the scene in DIR, or starts a new
// scene around it. The scene is read with the program's own reader and written back whole
// with the scene writer; nothing in DIR changes unless everything succeeded.
#include <cstdio>
#include <filesystem>
#include <string>

#include "import_scene.h"
#include "options.h"

int main(int argc, char** argv) {
  ImportOptions options;
  bool help = false;
  std::string error;
  if (!ParseImportOptions(argc, argv, options, help, error)) {
    std::fprintf(stderr, "citywalk-import: %s\n", error.c_str());
    return 1;
  }
  if (help) {
    std::fputs(ImportUsage(), stdout);
    return 0;
  }
  std::error_code ec;
  if (!std::filesystem::is_directory(options.dir, ec)) {
    std::fprintf(stderr, "citywalk-import: %s: no such folder\n", options.dir.c_str());
    return 2;
  }
  if (!std::filesystem::is_regular_file(options.model, ec)) {
    std::fprintf(stderr, "citywalk-import: %s: no such file\n", options.model.c_str());
    return 2;
  }
  ImportReport report;
  if (!ImportIntoScene(options, report, error)) {
    std::fprintf(stderr, "citywalk-import: %s\n", error.c_str());
    return 1;
  }
  std::fputs(report.text.c_str(), stdout);
  return 0;
}
