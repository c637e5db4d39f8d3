// The town's bitmaps: façades of a few styles, each one bay wide and one level high, with a
// window (the small kinds of building have none), and the roofs' gravel, coloured per roof.
#pragma once

#include <string>
#include <vector>

#include "output_files.h"

// Façade styles: brick, plaster, wooden siding and office glass have a window a level; planks
// (sheds and garages) have none.
enum class Facade { kBrick, kPlaster, kSiding, kGlass, kPlanks };
inline constexpr int kWindowedFacades = 4;  // the first four

// The file name of a style's bitmap, and of the roofs'.
const char* FacadeFile(Facade style);
inline constexpr const char* kRoofFile = "roof.bmp";

// Every bitmap of the town as files of folder dir.
std::vector<OutputFile> TownTextureFiles(const std::string& dir);
