// A tool's options as one table: each row gives an option's name, its value's placeholder,
// its help and what it does, so that the parser and the usage text are made from the same rows
// and cannot disagree.
#pragma once

#include <algorithm>
#include <cstring>
#include <span>
#include <string>
#include <vector>

template <typename Options>
struct OptionRow {
  const char* name;   // "--scale"
  const char* value;  // its value's placeholder ("S"), nullptr for an option without a value
  const char* help;   // its text in the usage; '\n' continues it on a further line
  bool (*apply)(Options& options, const std::string& value, std::string& error);
};

// The usage's option lines: each name and placeholder, then its help in one column.
template <typename Options>
std::string OptionLines(std::span<const OptionRow<Options>> rows) {
  auto head = [](const OptionRow<Options>& row) {
    return std::string(row.name) + (row.value ? std::string(" ") + row.value : "");
  };
  std::size_t width = 0;
  for (const OptionRow<Options>& row : rows) width = std::max(width, head(row).size());
  std::string out;
  for (const OptionRow<Options>& row : rows) {
    std::string line = "  " + head(row);
    line.resize(width + 4, ' ');
    for (const char* p = row.help; *p; ++p) {
      line += *p;
      if (*p == '\n') line += std::string(width + 4, ' ');
    }
    out += line + "\n";
  }
  return out;
}

// Reads argv[1..] by the rows: each option found applied to options, every other argument
// added to positional ("--" makes the rest positional). False with "OPTION: reason" in error
// for an unknown option, one without its value or a value the row refuses.
template <typename Options>
bool ParseOptionRows(int argc, char** argv, std::span<const OptionRow<Options>> rows,
                     Options& options, std::vector<std::string>& positional, std::string& error) {
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      positional.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    const auto row = std::find_if(rows.begin(), rows.end(), [&](const OptionRow<Options>& r) {
      return arg == r.name || (arg == "-h" && std::strcmp(r.name, "--help") == 0);
    });
    if (row == rows.end()) {
      error = arg + ": unknown option (see --help)";
      return false;
    }
    std::string value;
    if (row->value != nullptr) {
      if (i + 1 >= argc) {
        error = arg + ": wants a value (" + row->value + ")";
        return false;
      }
      value = argv[++i];
    }
    if (!row->apply(options, value, error)) {
      if (error.rfind(row->name, 0) != 0) error = std::string(row->name) + ": " + error;
      return false;
    }
  }
  return true;
}
