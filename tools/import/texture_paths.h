// Finding the texture files a model names, as their authors meant them: relative to the model,
// also when the model names them with another letter case or with a Windows path.
#pragma once

#include <string>

// The file that texture name (as the model gives it) refers to, for a model in folder
// modelDir: the name as written (relative names from modelDir), then the same with '\'
// read as '/' and each part of the path matched without regard to letter case, then the
// file's own name alone in modelDir (an absolute path of the author's machine); "" when
// none exists.
std::string FindTextureFile(const std::string& modelDir, const std::string& name);
