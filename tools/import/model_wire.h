// A read model as bytes, to pass it from the reading process to the importer (guarded_read.h).
#pragma once

#include <string>

#include "model.h"

// The bytes of model.
std::string ModelBytes(const Model& model);

// The model of bytes made by ModelBytes; false when they are cut short or do not fit.
bool ModelFromBytes(const std::string& bytes, Model& model);
