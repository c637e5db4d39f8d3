// Reading a model in a process of its own, under a memory limit and a time limit: a file that
// would make the model library claim all memory or read for minutes (a header that announces
// billions of faces) is refused within moments, and a crash of the library refuses the model
// rather than ending the tool.
#pragma once

#include <string>

#include "model.h"

// Reads options.model as LoadModel does, in a forked process whose address space may grow
// by at most options.memoryLimitMiB beyond what it has mapped when it starts (under the
// address sanitizer that includes the sanitizer's reserved shadow, so the limit is on top of
// it as well), stopped after options.timeLimitSeconds. False with the reason in error; log
// gets what the reading process wrote on standard error.
bool LoadModelGuarded(const ImportOptions& options, Model& model, std::string& error,
                      std::string& log);

// Half the machine's memory in MiB (at least 1024): the default memory limit.
double DefaultMemoryLimitMiB();
