// Runs the whole program (WinMain on the headless platform) in a scene written from a
// SceneSpec, for a number of frames: the clock moves 40 ms each time the message loop finds
// the queue empty, so every turn draws one frame; input given by the caller before a frame
// is posted as real input would be. The window is then closed by the platform's close
// command. For tests of whole runs: hostile scenes, long soaks.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/shell.h"
#include "common/work_folder.h"
#include "platform/headless.h"
#include "scene/reader.h"
#include "scene_writer.h"

struct ProgramRun {
  int framesDrawn = 0;
  int result = -1;
};

// beforeFrame(n) runs before frame n (1-based) is drawn and may post input through
// headless::PressKey and the like; afterFrame(n) runs once frame n is presented. The files
// named are copied into the scene's folder (textures).
inline ProgramRun RunScene(const SceneSpec& plan, int frames, headless::Options options = {},
                           const std::function<void(int)>& beforeFrame = nullptr,
                           const std::function<void(int)>& afterFrame = nullptr,
                           const std::vector<std::string>& files = {}) {
  const WorkFolder folder("citywalk_run");
  WriteSceneFile(kSceneFileName, plan);
  for (const std::string& file : files)
    std::filesystem::copy_file(file, std::filesystem::path(file).filename(),
                               std::filesystem::copy_options::overwrite_existing);
  headless::Reset(options);
  ProgramRun run;
  bool posted = false;
  bool closed = false;
  int emptyTurns = 0;
  headless::SetHooks({[&]() {
                        if (run.framesDrawn >= frames || ++emptyTurns > 100000) {
                          if (!closed) headless::CloseWindow();
                          closed = true;
                          return true;
                        }
                        if (!posted && beforeFrame) {
                          posted = true;
                          beforeFrame(run.framesDrawn + 1);
                          if (headless::PendingMessages() > 0) return true;
                        }
                        posted = false;
                        headless::AdvanceTick(40);
                        return false;
                      },
                      [&]() {
                        ++run.framesDrawn;
                        if (afterFrame) afterFrame(run.framesDrawn);
                      }});
  char commandLine[] = "";
  run.result = WinMain(nullptr, nullptr, commandLine, SW_SHOWNORMAL);
  headless::SetHooks({});
  return run;
}
