// Reading and printing settings by name; the names and kinds are those of SceneSettings().
#include "settings_text.h"

#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>

#include "scene_from_tables.h"

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// A number filling the whole of text (an optional '+' or '-' first), as from_chars reads it.
template <typename T>
bool WholeText(const std::string& text, T& value) {
  const char* begin = text.data();
  const char* end = begin + text.size();
  if (begin != end && *begin == '+' && end - begin > 1 && begin[1] != '-') ++begin;
  const auto result = std::from_chars(begin, end, value);
  return result.ec == std::errc() && result.ptr == end;
}

template <typename T>
std::string Text(T value) {
  char buffer[32];
  return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

// Checks value for setting; false with the valid values in error.
bool ParseValue(const SceneSetting& setting, const std::string& value, SettingAssignment& out,
                std::string& error) {
  const std::string got = " (got '" + value + "')";
  if (setting.intValue == nullptr) {
    if (!WholeText(value, out.doubleValue) || !std::isfinite(out.doubleValue)) {
      error = std::string(setting.name) + ": must be a number" + got;
      return false;
    }
    return true;
  }
  if (!WholeText(value, out.intValue)) {
    error = std::string(setting.name) + ": must be a whole number from " + Text(INT_MIN) + " to " +
            Text(INT_MAX) + got;
    return false;
  }
  if (setting.intValue == &ControlMode && (out.intValue < kModeWalk || out.intValue > kModeChase)) {
    error = std::string(setting.name) +
            ": must be 1 (walking), 2 (driving), 3 (walking, watched from behind) or 4 (driving, "
            "watched from behind)" +
            got;
    return false;
  }
  return true;
}

}  // namespace

std::string SettingNames() {
  std::string names;
  for (const SceneSetting& setting : SceneSettings())
    names += (names.empty() ? "" : ", ") + std::string(setting.name);
  return names;
}

bool ParseAssignment(const std::string& text, SettingAssignment& assignment, std::string& error) {
  const std::size_t equals = text.find('=');
  if (equals == std::string::npos) {
    error = "'" + text + "': wants NAME=VALUE; the names: " + SettingNames();
    return false;
  }
  const std::string name = text.substr(0, equals), value = text.substr(equals + 1);
  std::string similar;
  for (const SceneSetting& setting : SceneSettings()) {
    if (name == setting.name) {
      assignment.setting = &setting;
      return ParseValue(setting, value, assignment, error);
    }
    if (Lower(name) == Lower(setting.name)) similar = setting.name;
  }
  error = "no setting '" + name + "'" +
          (similar.empty() ? "" : " (did you mean " + similar + "?)") +
          "; the names: " + SettingNames();
  return false;
}

std::string SettingValueText(SceneSettingsSpec& settings, const SceneSetting& setting) {
  const SettingFieldPointers field = SettingField(settings, setting);
  if (field.intField) return Text(*field.intField);
  if (std::isinf(*field.doubleField)) return *field.doubleField > 0 ? "1e999" : "-1e999";
  return Text(*field.doubleField);
}

void ApplyAssignment(SceneSettingsSpec& settings, const SettingAssignment& assignment) {
  const SettingFieldPointers field = SettingField(settings, *assignment.setting);
  if (field.intField) *field.intField = assignment.intValue;
  if (field.doubleField) *field.doubleField = assignment.doubleValue;
}
