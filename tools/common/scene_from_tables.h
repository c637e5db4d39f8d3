// The scene the program holds, as a SceneSpec: tools that change a scene read it with the
// program's own reader and write it back with the scene writer.
#pragma once

#include "scene_writer.h"

// The scene tables as read by ReadSceneFile, as a SceneSpec whose text reads back into the
// same table values, bit for bit. The reader converts four motion settings; for those the file
// value is recovered as the shortest number that the reader turns into the same held value.
SceneSpec SceneSpecFromTables();

// The field of settings that holds a setting of the scene (a row of SceneSettings()) as the
// file gives it: one of the two pointers is set.
struct SettingFieldPointers {
  int* intField = nullptr;
  double* doubleField = nullptr;
};
SettingFieldPointers SettingField(SceneSettingsSpec& settings, const SceneSetting& setting);
