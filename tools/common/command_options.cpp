// Command lines read, and usage texts made, from one table of options.
#include "command_options.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr std::size_t kUsageWidth = 96;

// The option's row, or null.
const CommandOption* Find(const CommandLine& line, const std::string& name) {
  for (const CommandOption& option : line.options)
    if (option.name == name) return &option;
  return nullptr;
}

// How the option shows in the usage: "[--frames N]".
std::string Synopsis(const CommandOption& option) {
  return "[" + option.name + (option.value.empty() ? "" : " " + option.value) + "]";
}

}  // namespace

CommandParse ParseCommandLine(const CommandLine& line, int argc, char** argv, std::string& error) {
  for (int i = 1; i < argc && std::string(argv[i]) != "--"; ++i)
    if (std::string(argv[i]) == "--help" || std::string(argv[i]) == "-h")
      return CommandParse::kHelp;
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (word == "--" && !optionsEnded) {
      optionsEnded = true;
    } else if (!optionsEnded && word.size() > 1 && word[0] == '-') {
      const CommandOption* option = Find(line, word);
      if (option == nullptr) {
        error = "unknown option " + word;
        return CommandParse::kWrong;
      }
      std::string value;
      if (!option->value.empty()) {
        if (i + 1 >= argc) {
          error = word + " needs a value (" + option->value + ")";
          return CommandParse::kWrong;
        }
        value = argv[++i];
      }
      if (!option->take(value, error)) return CommandParse::kWrong;
    } else if (!line.operand) {
      error = "unexpected " + word;
      return CommandParse::kWrong;
    } else if (!line.operand(word, error)) {
      return CommandParse::kWrong;
    }
  }
  return CommandParse::kRun;
}

std::string CommandUsage(const CommandLine& line) {
  const std::string start = "usage: " + line.tool;
  const std::string indent(start.size(), ' ');
  std::string out = start, row = start;
  std::vector<std::string> words;
  if (line.brief) words.push_back("[options]");
  for (const CommandOption& option : line.options)
    if (!line.brief) words.push_back(Synopsis(option));
  if (!line.operands.empty()) words.push_back(line.operands);
  for (const std::string& word : words) {
    if (row.size() + 1 + word.size() > kUsageWidth && row != start && row != indent) {
      out += "\n" + indent;
      row = indent;
    }
    out += " " + word;
    row += " " + word;
  }
  return out + "\n";
}

std::string CommandHelp(const CommandLine& line) {
  std::vector<CommandOption> rows = line.options;
  rows.push_back({"--help", "", "this text", nullptr});
  std::size_t width = 0;
  for (const CommandOption& option : rows)
    width = std::max(width, option.name.size() + 1 + option.value.size());
  std::string out = CommandUsage(line) + line.about + "\n";
  for (const CommandOption& option : rows) {
    std::string left = option.name + (option.value.empty() ? "" : " " + option.value);
    left.resize(width, ' ');
    out += "  " + left + "  ";
    for (const char c : option.help) {
      out += c;
      if (c == '\n') out.append(width + 4, ' ');
    }
    out += '\n';
  }
  return out + line.statuses;
}

int ReadCommandLine(const CommandLine& line, int argc, char** argv, int wrongStatus) {
  std::string error;
  switch (ParseCommandLine(line, argc, argv, error)) {
    case CommandParse::kHelp:
      std::fputs(CommandHelp(line).c_str(), stdout);
      return 0;
    case CommandParse::kWrong:
      std::fprintf(stderr, "%s: %s (%s --help for the usage)\n", line.tool.c_str(),
                   error.c_str(), line.tool.c_str());
      return wrongStatus;
    case CommandParse::kRun:
      break;
  }
  return -1;
}

std::function<bool(const std::string&, std::string&)> TakeFlag(bool& on) {
  return [&on](const std::string&, std::string&) { return on = true; };
}

std::function<bool(const std::string&, std::string&)> TakeText(std::string& text) {
  return [&text](const std::string& value, std::string&) {
    text = value;
    return true;
  };
}
