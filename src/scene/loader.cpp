// LoadScene: the scene file read at window creation, then the render state, the textures
// and the display mode it asks for.
#include "scene/loader.h"

#include "app/input.h"
#include "motion/frame.h"
#include "platform/win32.h"
#include "scene/reader.h"
#include "scene/render_state.h"
#include "scene/textures.h"

void LoadScene() {
  ReadSceneFile(FindSceneFile("."), nullptr);
  nowTick = lastTick = static_cast<int>(GetTickCount());
  SetupRenderState();
  BuildTextures();
  SetupPolygonModeAndClear();
  SwitchDisplayMode();
  AnchorMouseLook();
}
