// LoadScene.
#include "scene/loader.h"

#include "scene/scene.h"

void LoadScene() {}
