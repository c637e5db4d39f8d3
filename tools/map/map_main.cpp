// citywalk-map DIR MAP [options]: builds a scene of the town in the OpenStreetMap data MAP
// into folder DIR: buildings with façades, streets, the ground, cars and people. Nothing in
// DIR changes unless everything was written.
#include <cstdio>
#include <filesystem>
#include <string>

#include "facades.h"
#include "options.h"
#include "osm_read.h"
#include "output_files.h"
#include "scene/reader.h"
#include "town.h"

namespace {

constexpr std::size_t kNotesShown = 10;

// Reads the whole file; 0 when read, 2 when missing, 1 when it cannot be read.
int ReadWhole(const std::string& path, std::string& bytes, std::string& error) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    error = path + ": no such file";
    return 2;
  }
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file || std::filesystem::is_directory(path, ec)) {
    if (file) std::fclose(file);
    error = path + ": cannot be read";
    return 1;
  }
  char chunk[65536];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
  const bool failed = std::ferror(file);
  std::fclose(file);
  if (failed) {
    error = path + ": cannot be read";
    return 1;
  }
  return 0;
}

// Refuses a folder that is not one, or that holds a scene already (unless replacing it).
bool FolderUsable(const MapOptions& options, std::string& error) {
  std::error_code ec;
  if (std::filesystem::exists(options.dir, ec) && !std::filesystem::is_directory(options.dir, ec)) {
    error = options.dir + ": not a folder";
    return false;
  }
  if (!options.replace && !FindSceneFile(options.dir).empty()) {
    error = options.dir + ": holds a scene already (" + kSceneFileName + "); --replace replaces it";
    return false;
  }
  return true;
}

// Writes the bitmaps, then the scene that names them; all or nothing.
bool WriteTown(const std::string& dir, const SceneSpec& scene, std::string& error) {
  std::vector<OutputFile> files = TownTextureFiles(dir);
  files.push_back({dir + "/" + kSceneFileName,
                   [&scene](const std::string& path) { return WriteSceneFile(path, scene); }});
  std::vector<std::string> made;
  if (!MakeOutputFolder(dir, made, error) || !WriteAllOrNothing(files, error)) {
    RemoveMadeFolders(made);
    return false;
  }
  return true;
}

void PrintNotes(const std::string& map, const MapNotes& notes) {
  for (std::size_t i = 0; i < notes.lines.size() && i < kNotesShown; ++i)
    std::fprintf(stderr, "citywalk-map: %s: %s\n", map.c_str(), notes.lines[i].c_str());
  if (notes.lines.size() > kNotesShown)
    std::fprintf(stderr, "citywalk-map: %s: %zu more notes like these\n", map.c_str(),
                 notes.lines.size() - kNotesShown);
}

int Fail(int status, const std::string& error) {
  std::fprintf(stderr, "citywalk-map: %s\n", error.c_str());
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  MapOptions options;
  if (const int status = ReadMapCommandLine(argc, argv, options); status >= 0) return status;
  std::string error, bytes;
  if (const int status = ReadWhole(options.map, bytes, error); status != 0)
    return Fail(status, error);
  if (!FolderUsable(options, error)) return Fail(1, error);
  MapData data;
  if (!ReadMapBytes(bytes.data(), bytes.size(), data, error))
    return Fail(1, options.map + ": " + error);
  bytes.clear();
  SceneSpec scene;
  std::string report;
  MapNotes notes;
  if (!BuildTown(data, options, scene, report, notes, error))
    return Fail(1, options.map + ": " + error);
  if (!WriteTown(options.dir, scene, error)) return Fail(1, error);
  PrintNotes(options.map, notes);
  std::printf("%s/%s: %s", options.dir.c_str(), kSceneFileName, report.c_str());
  return 0;
}
