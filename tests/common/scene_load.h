// Loading a scene in a test as the program loads its scene file: the program's state reset,
// the scene text written by the scene writer and read by the program's own reader, so that
// every value the loader derives (steps, heading, view) is the loader's.
#pragma once

#include <string>

#include "app/shell.h"
#include "scene/reader.h"
#include "scene_writer.h"

// Loads plan into the program's tables; returns the reader's findings.
inline SceneDiagnostics LoadScene(const SceneSpec& plan) {
  const std::string text = WriteSceneText(plan);
  ResetProgramState();
  SceneDiagnostics diag;
  ReadSceneText(text.data(), text.size(), "test.mts", &diag);
  return diag;
}
