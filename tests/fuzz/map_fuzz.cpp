// libFuzzer target for citywalk-map's reading entry: any bytes as OpenStreetMap data (XML, PBF,
// or either compressed, told apart by their first bytes), and the town built from whatever
// was read. Reading and building must not crash, hang or touch memory outside what they own,
// and a town that is built must be a scene the program's reader reads without an error.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "osm_read.h"
#include "scene/reader.h"
#include "town.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  MapData map;
  std::string error;
  if (!ReadMapBytes(reinterpret_cast<const char*>(data), size, map, error)) return 0;
  MapOptions options;
  SceneSpec scene;
  std::string report;
  MapNotes notes;
  if (!BuildTown(map, options, scene, report, notes, error)) return 0;
  const std::string text = WriteSceneText(scene);
  SceneDiagnostics diag;
  ReadSceneText(text.data(), text.size(), "fuzz town", &diag);
  for (const SceneDiagnostic& d : diag.items)
    if (d.severity == SceneSeverity::kError) std::abort();
  return 0;
}
