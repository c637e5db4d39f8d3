// A tool that rewrites a scene reads its new text with the program's reader before it writes
// anything: the scene must read as cleanly as it did.
#pragma once

#include <string>

#include "scene/reader.h"

// The first error of a reading as "LINE:COLUMN: message", "" when there is none.
std::string FirstSceneError(const SceneDiagnostics& diag);

// Reads text (the new scene for path) with the program's reader; false with the first error,
// or the first warning that the reading before did not have, in problem. The scene tables
// then hold the new scene.
bool ReadsBackAsCleanly(const std::string& text, const std::string& path,
                        const SceneDiagnostics& before, std::string& problem);
