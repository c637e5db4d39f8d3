// citywalk-check: the text report and the JSON document of a loaded scene.
#pragma once

#include <cstdio>
#include <string>

#include "scene/reader.h"

// Polygons of a list: vertices 1..count whose closing flag is 1.
int CountPolygons(const int* polyEnd, int count);
// Polygons of object o's list.
int CountObjectPolygons(int o);

// Prints the findings as FILE:LINE:COLUMN: severity: message, then the summary.
void PrintReport(std::FILE* out, const std::string& file, const SceneDiagnostics& diag);
// Prints the whole loaded scene and the findings as one JSON document.
void PrintJson(std::FILE* out, const std::string& file, const SceneDiagnostics& diag);
