// Render state and display mode.
#include "scene/render_state.h"

DEVMODEA displayModeRequest;

void SetupRenderState() {}
void SetupPolygonModeAndClear() {}
void SwitchDisplayMode() {}
