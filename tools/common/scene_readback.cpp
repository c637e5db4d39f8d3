// Comparing a scene's readings before and after a tool's change.
#include "scene_readback.h"

#include <set>

namespace {

// The warnings of a reading, without their places, to tell new ones from old ones.
std::multiset<std::string> Warnings(const SceneDiagnostics& diag) {
  std::multiset<std::string> out;
  for (const SceneDiagnostic& d : diag.items)
    if (d.severity == SceneSeverity::kWarning) out.insert(d.message);
  return out;
}

}  // namespace

std::string FirstSceneError(const SceneDiagnostics& diag) {
  for (const SceneDiagnostic& d : diag.items)
    if (d.severity == SceneSeverity::kError)
      return std::to_string(d.line) + ":" + std::to_string(d.column) + ": " + d.message;
  return diag.streamFailed ? "reading stops early" : "";
}

bool ReadsBackAsCleanly(const std::string& text, const std::string& path,
                        const SceneDiagnostics& before, std::string& problem) {
  SceneDiagnostics after;
  ReadSceneText(text.data(), text.size(), path, &after);
  problem = FirstSceneError(after);
  if (!problem.empty()) return false;
  std::multiset<std::string> fresh = Warnings(after);
  for (const std::string& w : Warnings(before)) {
    const auto found = fresh.find(w);
    if (found != fresh.end()) fresh.erase(found);
  }
  if (fresh.empty()) return true;
  problem = *fresh.begin();
  return false;
}
