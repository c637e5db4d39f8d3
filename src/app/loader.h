// Window creation's scene steps: the scene file and everything set up from it.
#pragma once

// Reads the scene file, derives the view and motion values, sets the render state, builds
// the textures, switches the display mode and anchors mouse look.
void LoadScene();
