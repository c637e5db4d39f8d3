// The objects read back by the program's reader and moved by its motion code, one at a time
// (objects never test one another, so each moves as it would among the others).
#include "test_drive.h"

#include <string>

#include "motion/objects.h"
#include "scene/reader.h"
#include "scene/scene.h"

std::vector<bool> Stalls(const SceneSpec& scene, const std::vector<bool>& test, int frames) {
  SceneSpec objects;
  objects.settings = scene.settings;
  objects.objects = scene.objects;
  const std::string text = WriteSceneText(objects);
  ReadSceneText(text.data(), text.size(), "test drive", nullptr);
  std::vector<bool> stalls(scene.objects.size(), false);
  for (int i = 0; i <= objectLastIndex && i < static_cast<int>(test.size()); ++i) {
    if (!test[i]) continue;
    objectCullTest[i] = 0;  // moving wherever the viewer is
    int still = 0;
    for (int f = 0; f < frames && still < kStallFrames; ++f) {
      const double x = objectMoveX[i], z = objectMoveZ[i];
      MoveObjects(i);
      still = objectMoveX[i] == x && objectMoveZ[i] == z ? still + 1 : 0;
    }
    stalls[i] = still >= kStallFrames;
  }
  return stalls;
}
