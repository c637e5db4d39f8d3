// citywalk-check [--json] [FILE]: reads a scene file exactly as the program does (by default
// the scene file of the working directory) and reports the fields where reading stopped,
// refused counts, a file that ends early, open or tiny polygons, unusual texture flags,
// texture files that cannot be read and data after the end; then a summary, or with --json
// the whole loaded scene.
//
// Exit code: 0 no errors (warnings allowed), 1 errors, 2 no scene file.
#include <algorithm>
#include <cstdio>
#include <string>

#include "check.h"
#include "command_options.h"
#include "scene/bitmap.h"
#include "scene/reader.h"

namespace {

// The folder of a file's path ("" for the working directory).
std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Larger textures than this on a side are read, but many OpenGL implementations cannot take
// them.
constexpr int kPortableTextureSide = 4096;

// Reads every texture that a textured vertex names, found as the program finds it when it
// runs in the scene file's folder.
void CheckTextures(const std::string& scenePath, SceneDiagnostics& diag) {
  const std::string folder = FolderOf(scenePath);
  for (const SceneTextureUse& use : diag.textures) {
    const std::string path = TextureFilePath(folder, use.name);
    ImageRecord image;
    std::string message;
    if (ReadBitmapFile(path.c_str(), image, message)) {
      if (image.width > kPortableTextureSide || image.height > kPortableTextureSide) {
        diag.items.push_back({use.line, use.column, SceneSeverity::kWarning,
                              "texture \"" + use.name + "\" is " + std::to_string(image.width) +
                                  " x " + std::to_string(image.height) + " pixels: more than " +
                                  std::to_string(kPortableTextureSide) +
                                  " on a side, which many OpenGL implementations cannot take"});
      }
      continue;
    }
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
      message.pop_back();
    diag.items.push_back({use.line, use.column, SceneSeverity::kWarning,
                          "texture \"" + use.name + "\" cannot be used: " + message});
  }
  std::stable_sort(diag.items.begin(), diag.items.end(),
                   [](const SceneDiagnostic& a, const SceneDiagnostic& b) {
                     return a.line != b.line ? a.line < b.line : a.column < b.column;
                   });
}

// The command line: -1 to go on, else the status to end with.
int ReadArguments(int argc, char** argv, bool& json, std::string& path) {
  CommandLine line{"citywalk-check",
                   "[FILE]",
                   {{"--json", "", "the whole loaded scene as JSON", TakeFlag(json)}},
                   [&path](const std::string& word, std::string& error) {
                     if (!path.empty()) error = "one scene file only";
                     if (path.empty()) path = word;
                     return error.empty();
                   }};
  return ::ReadCommandLine(line, argc, argv, 2);
}

}  // namespace

int main(int argc, char** argv) {
  bool json = false;
  std::string path;
  if (const int status = ReadArguments(argc, argv, json, path); status >= 0) return status;
  if (path.empty()) {
    path = FindSceneFile(".");
    if (path.empty()) {
      std::fprintf(stderr, "citywalk-check: %s: no scene file in the working directory\n",
                   kSceneFileName);
      return 2;
    }
  }
  SceneDiagnostics diag;
  if (!ReadSceneFile(path, &diag)) {
    std::fprintf(stderr, "citywalk-check: %s: cannot be opened\n", SceneDisplayName(path).c_str());
    return 2;
  }
  CheckTextures(path, diag);
  const std::string shown = SceneDisplayName(path);
  if (json) {
    PrintJson(stdout, shown, diag);
  } else {
    PrintReport(stdout, shown, diag);
  }
  const bool errors = std::any_of(diag.items.begin(), diag.items.end(), [](const auto& d) {
    return d.severity == SceneSeverity::kError;
  });
  return errors ? 1 : 0;
}
