// One texture object per distinct texture file name of the scene, and the images behind them.
#pragma once

struct ImageRecord;

// Loads every textured vertex's image once per name and builds its mipmapped texture.
void BuildTextures();
// Reads a bitmap file; on failure shows the reason in an "Error" message box and returns
// nullptr. The record is kept by this module until ResetTextures.
ImageRecord* LoadBitmapImage(const char* fileName);
// Frees every image and forgets every name (the texture objects go with their context).
void ResetTextures();
