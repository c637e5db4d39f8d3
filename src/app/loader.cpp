// LoadScene: the scene file read at window creation, then the render state, the textures
// and the display mode it asks for.
#include "app/loader.h"

#include <cstdio>
#include <string>

#include "app/frame.h"
#include "app/input.h"
#include "platform/win32.h"
#include "render/avatar.h"
#include "render/model_bounds.h"
#include "render/objects.h"
#include "render/polylist.h"
#include "render/render_state.h"
#include "render/textures.h"
#include "scene/reader.h"

namespace {

// Reads the scene file of the working directory. What the program does without one, or
// with one it cannot read to the end, stays as it is (the defaults, or what was read before
// the place where reading stopped), but one line on standard error says so.
void ReadScene() {
  const std::string path = FindSceneFile(".");
  if (path.empty()) {
    std::fprintf(stderr,
                 "citywalk: no scene file %s in this folder; showing the built-in default "
                 "scene\n",
                 kSceneFileName);
    ReadSceneFile(path, nullptr);
    return;
  }
  SceneDiagnostics diag;
  ReadSceneFile(path, &diag);
  if (!diag.opened) {
    std::fprintf(stderr, "citywalk: %s cannot be read; showing the built-in default scene\n",
                 SceneDisplayName(path).c_str());
    return;
  }
  for (const SceneDiagnostic& d : diag.items) {
    if (d.severity != SceneSeverity::kError) continue;
    std::fprintf(stderr, "citywalk: %s:%d:%d: %s\n", SceneDisplayName(path).c_str(), d.line,
                 d.column, d.message.c_str());
  }
}

}  // namespace

void LoadScene() {
  ReadScene();
  nowTick = lastTick = static_cast<int>(GetTickCount());
  SetupRenderState();
  BuildTextures();
  PrepareModelBounds();
  RecordStaticLists();
  RecordObjectLists();
  RecordAvatarList();
  SetupPolygonModeAndClear();
  SwitchDisplayMode();
  AnchorMouseLook();
}
