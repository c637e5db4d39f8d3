// The window's client size: viewport, projection and the view loaded for it.
#pragma once

extern double viewCentreX, viewCentreY;  // half the client size, integer halves

// New client size: viewport, perspective, start camera, then one redraw.
void ReshapeView(int width, int height);
// No size known yet.
void ResetView();
