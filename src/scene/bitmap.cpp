// Bitmap reader.
#include "scene/bitmap.h"

ImageRecord* LoadBitmapImage(const char*) { return nullptr; }
