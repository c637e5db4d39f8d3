// libFuzzer target for the whole program on the headless platform: the input is a scene file
// and an input script. The first two bytes give the scene's length; the scene follows, and
// every byte after it is one turn of input (a key pressed or released, the mouse moved, the
// button pressed or released, the window resized, or nothing). The program runs in its scene's
// control mode for up to 40 frames, one a turn. It must not crash, hang (run libFuzzer with
// -timeout), leak, or do anything the sanitizers report.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/shell.h"
#include "platform/headless.h"
#include "scene/reader.h"

namespace {

constexpr int kFrames = 40;
constexpr WPARAM kKeys[] = {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_SPACE, VK_CONTROL, VK_F2, VK_F3};

// The folder the program runs in, made once.
void EnterFolder() {
  static bool entered = false;
  if (entered) return;
  entered = true;
  const auto folder =
      std::filesystem::temp_directory_path() / ("citywalk_fuzz_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  std::filesystem::current_path(folder);
}

// One turn of input from one byte.
void Give(std::uint8_t b) {
  const int kind = b >> 5, arg = b & 31;
  switch (kind) {
    case 0:
      headless::PressKey(kKeys[arg & 7]);
      break;
    case 1:
      headless::ReleaseKey(kKeys[arg & 7]);
      break;
    case 2:
    case 3:
      headless::MoveMouse((arg * 13) % 220 - 10, (b * 7) % 170 - 10);
      break;
    case 4:
      if (arg < 16)
        headless::PressLeftButton(arg * 12, arg * 9);
      else
        headless::ReleaseLeftButton((arg - 16) * 12, (arg - 16) * 9);
      break;
    case 5:
      headless::ResizeWindow(arg * 20, (arg % 8) * 25);
      break;
    default:
      break;  // a turn without input
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  std::size_t sceneSize = data[0] | (std::size_t(data[1]) << 8);
  if (sceneSize > size - 2) sceneSize = size - 2;
  const std::uint8_t* scene = data + 2;
  const std::uint8_t* input = scene + sceneSize;
  const std::size_t inputSize = size - 2 - sceneSize;

  EnterFolder();
  if (std::FILE* file = std::fopen(kSceneFileName, "wb")) {
    std::fwrite(scene, 1, sceneSize, file);
    std::fclose(file);
  }
  sceneTableByteLimit = std::size_t{32} << 20;  // hostile counts stay cheap

  headless::Options options;
  options.screenWidth = 320;
  options.screenHeight = 240;
  headless::Reset(options);
  int frames = 0;
  std::size_t turn = 0;
  bool given = false, closed = false;
  int afterClose = 0;
  headless::SetHooks({[&]() {
                        if (frames >= kFrames || turn > 4 * kFrames) {
                          if (!closed) headless::CloseWindow();
                          closed = true;
                          if (++afterClose > 10) PostQuitMessage(0);  // should it not quit
                          return true;
                        }
                        if (!given && turn < inputSize) {
                          given = true;
                          Give(input[turn]);
                          if (headless::PendingMessages() > 0) return true;
                        }
                        given = false;
                        ++turn;
                        headless::AdvanceTick(40);
                        return false;
                      },
                      [&]() { ++frames; }});
  char commandLine[] = "";
  WinMain(nullptr, nullptr, commandLine, SW_SHOWNORMAL);
  headless::SetHooks({});
  return 0;
}
