// What the scene reader reports about a scene file: its findings and the textures it uses.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

enum class SceneSeverity { kError, kWarning };

// One finding about the scene file, at a byte position (line and column count from 1; the
// column counts bytes).
struct SceneDiagnostic {
  int line = 0;
  int column = 0;
  SceneSeverity severity = SceneSeverity::kError;
  std::string message;
};

// A texture file name used by a textured vertex, with the place of its first use.
struct SceneTextureUse {
  std::string name;
  int line = 0;
  int column = 0;
};

// What the reader found, collected only when the caller asks for it.
struct SceneDiagnostics {
  std::vector<SceneDiagnostic> items;     // in file order
  std::vector<SceneTextureUse> textures;  // distinct names, in order of first use
  bool opened = false;                    // the file could be opened and read
  bool streamFailed = false;              // reading stopped early (malformed, refused, short)
  std::size_t fileBytes = 0;
};
