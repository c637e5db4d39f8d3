// A model's materials as the library read them: colours, and each diffuse texture found beside
// the model or embedded in it, decoded once however many materials use it.
#pragma once

#include <assimp/scene.h>

#include "model.h"

// Fills model.materials and model.pictures from scene, the model read from modelPath.
void ReadMaterials(const aiScene& scene, const std::string& modelPath, Model& model);

// The shortest decimal that reads back as the float value, as a double: a file's 0.6 stays
// 0.6 rather than 0.6000000238418579.
double Decimal(float value);
