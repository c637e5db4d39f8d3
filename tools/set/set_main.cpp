// citywalk-set DIR [NAME=VALUE ...]: sets settings of the scene in DIR by their names (those
// of citywalk-check --json and the scene format guide) and writes the scene back with the
// tools' scene writer, so that every other value keeps its text. Without NAME=VALUE it lists
// every setting with its value. The scene is read with the program's own reader; nothing is
// written unless every assignment is valid and the new scene reads as cleanly as the old one.
//
// Exit status: 0 done, 1 refused (the scene is as it was), 2 no such folder or no scene in it.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "command_options.h"
#include "output_files.h"
#include "scene_from_tables.h"
#include "scene_readback.h"
#include "settings_text.h"

namespace {

// text broken into lines of at most 92 characters at its blanks, each ending in '\n'.
std::string Wrapped(const std::string& text) {
  std::string out, line;
  std::size_t from = 0;
  while (from < text.size()) {
    std::size_t to = text.find(' ', from);
    if (to == std::string::npos) to = text.size();
    const std::string word = text.substr(from, to - from);
    if (!line.empty() && line.size() + 1 + word.size() > 92) {
      out += line + "\n";
      line.clear();
    }
    line += (line.empty() ? "" : " ") + word;
    from = to + 1;
  }
  return out + line + "\n";
}

// The command line: no options, the folder and the assignments; --help lists the settings.
CommandLine SetCommandLine(std::vector<std::string>& args) {
  CommandLine line{"citywalk-set", "DIR [NAME=VALUE ...]", {}, nullptr};
  line.about =
      "Sets settings of the scene DIR/Город.mts by name (ControlMode=1 bodyX=120 ...) and\n"
      "writes it back; every other value stays as it was. Without NAME=VALUE it lists every\n"
      "setting with its value.\n";
  line.statuses = Wrapped("Settings: " + SettingNames()) +
                  "Exit status: 0 done, 1 refused (the scene is as it was), 2 no such folder or "
                  "scene.\n";
  line.operand = [&args](const std::string& word, std::string&) {
    args.push_back(word);
    return true;
  };
  return line;
}

int Refuse(const std::string& what, int status = 1) {
  std::fprintf(stderr, "citywalk-set: %s\n", what.c_str());
  return status;
}

// Reads the scene at path; false with the refusal in error when it does not read cleanly.
bool ReadScene(const std::string& path, SceneDiagnostics& diag, std::string& error) {
  if (!ReadSceneFile(path, &diag)) {
    error = path + ": cannot be read";
    return false;
  }
  const std::string problem = FirstSceneError(diag);
  if (problem.empty()) return true;
  error = path + ":" + problem + " (the scene must read cleanly before it is changed)";
  return false;
}

// Applies the assignments to the scene at path, checks the new text and writes it; false with
// the refusal in error.
bool SetAndWrite(const std::string& path, const SceneDiagnostics& before, SceneSpec& scene,
                 const std::vector<SettingAssignment>& assignments, std::string& error) {
  for (const SettingAssignment& a : assignments) ApplyAssignment(scene.settings, a);
  const std::string text = WriteSceneText(scene);
  std::string problem;
  if (!ReadsBackAsCleanly(text, path, before, problem)) {
    error = path + ": with these values the scene would have a fault: " + problem;
    return false;
  }
  return WriteAllOrNothing(
      {{path, [&text](const std::string& to) { return WriteFileBytes(to, text); }}}, error);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args;
  if (const int status = ReadCommandLine(SetCommandLine(args), argc, argv, 1); status >= 0)
    return status;
  std::string error;
  if (args.empty()) return Refuse("usage: citywalk-set DIR [NAME=VALUE ...] (see --help)");
  std::vector<SettingAssignment> assignments(args.size() - 1);
  for (std::size_t i = 1; i < args.size(); ++i)
    if (!ParseAssignment(args[i], assignments[i - 1], error)) return Refuse(error);
  std::error_code ec;
  if (!std::filesystem::is_directory(args[0], ec)) return Refuse(args[0] + ": no such folder", 2);
  const std::string path = FindSceneFile(args[0]);
  if (path.empty())
    return Refuse(args[0] + ": no scene file " + kSceneFileName + " in the folder", 2);
  SceneDiagnostics before;
  if (!ReadScene(path, before, error)) return Refuse(error);
  SceneSpec scene = SceneSpecFromTables();
  SceneSettingsSpec old = scene.settings;
  if (!assignments.empty() && !SetAndWrite(path, before, scene, assignments, error))
    return Refuse(error);
  for (const SceneSetting& setting : SceneSettings()) {
    const std::string now = SettingValueText(scene.settings, setting);
    const std::string was = SettingValueText(old, setting);
    if (assignments.empty()) {
      std::printf("%s=%s\n", setting.name, now.c_str());
    } else if (now != was) {
      std::printf("%s=%s (was %s)\n", setting.name, now.c_str(), was.c_str());
    }
  }
  return 0;
}
