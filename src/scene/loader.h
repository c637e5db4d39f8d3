// Reading the scene file and setting the program up from it.
#pragma once

// Window creation: reads the scene file, derives the view and motion values, sets the
// render state, builds the textures, switches the display mode and anchors mouse look.
void LoadScene();
