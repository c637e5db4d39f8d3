// The replay trace: one JSON object a drawn frame, keyed by the program's variable names.
#pragma once

#include <cstdint>
#include <string>

// One line of the trace (without the newline) for drawn frame number frame at tick tick.
std::string TraceLine(long long frame, std::uint32_t tick);
// Shortest text that reads back as the same double ("nan", "inf", "-inf" quoted).
std::string FormatNumber(double value);
