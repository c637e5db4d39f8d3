// LoadScene: the scene file read at window creation, then the render state, the textures
// and the display mode it asks for.
#include "app/loader.h"

#include "app/frame.h"
#include "app/input.h"
#include "platform/win32.h"
#include "render/polylist.h"
#include "render/render_state.h"
#include "render/textures.h"
#include "scene/reader.h"

void LoadScene() {
  ReadSceneFile(FindSceneFile("."), nullptr);
  nowTick = lastTick = static_cast<int>(GetTickCount());
  SetupRenderState();
  BuildTextures();
  RecordStaticLists();
  SetupPolygonModeAndClear();
  SwitchDisplayMode();
  AnchorMouseLook();
}
