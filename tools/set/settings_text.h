// The scene's settings as citywalk-set reads and prints them: NAME=VALUE, by the names of the
// scene's settings table.
#pragma once

#include <string>

#include "scene/scene.h"
#include "scene_writer.h"

// One NAME=VALUE of the command line, checked: the setting and its value.
struct SettingAssignment {
  const SceneSetting* setting = nullptr;
  int intValue = 0;
  double doubleValue = 0;
};

// Reads "NAME=VALUE"; false with one line in error naming the valid names (an unknown name)
// or the valid values (a value that is not one).
bool ParseAssignment(const std::string& text, SettingAssignment& assignment, std::string& error);

// The value of setting in settings, as the file gives it, in its shortest exact form.
std::string SettingValueText(SceneSettingsSpec& settings, const SceneSetting& setting);

// Puts the assignment's value into settings.
void ApplyAssignment(SceneSettingsSpec& settings, const SettingAssignment& assignment);

// Every setting's name, separated by ", ".
std::string SettingNames();
