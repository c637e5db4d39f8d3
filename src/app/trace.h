// The per-frame trace: one JSON object a drawn frame, keyed by the program's variable names.
// citywalk-replay writes it from the headless platform; `citywalk --trace FILE` writes the same
// lines from the real program, one for every frame it presents.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// One line of the trace (without the newline) for drawn frame number frame at tick tick.
std::string TraceLine(long long frame, std::uint32_t tick);
// Shortest text that reads back as the same double ("nan", "inf", "-inf" quoted).
std::string FormatNumber(double value);

// Starts the program's own trace into path ("-": standard output). False, with errno's
// reason in *why, when the file cannot be written.
bool StartTrace(const std::string& path, std::string* why);
// A frame was presented: its line goes to the trace, if one was started.
void TraceFrame();
// Writes out what is buffered and closes the trace (at exit).
void StopTrace();
