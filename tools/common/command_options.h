// A tool's command line from one table of options: the parser and the usage text are both
// made from it, so that they cannot disagree, and a new option is one row.
#pragma once

#include <charconv>
#include <functional>
#include <string>
#include <vector>

struct CommandOption {
  std::string name;   // "--frames"
  std::string value;  // what follows it in the usage ("N", "FILE|-"); empty for a flag
  std::string help;   // what it does, in --help; a '\n' goes on under it
  // Takes the option (value: the word after it; empty for a flag); false with the reason in
  // error when the value is wrong.
  std::function<bool(const std::string& value, std::string& error)> take;
};

struct CommandLine {
  std::string tool;      // "citywalk-replay"
  std::string operands;  // the words that are not options, in the usage ("[DIR]"); "" for none
  std::vector<CommandOption> options;
  // Takes a word that is not an option; false with the reason in error when it has no place.
  // Unset: the tool takes none.
  std::function<bool(const std::string& word, std::string& error)> operand;
  std::string about = "";     // what the tool does, under the usage in --help
  std::string statuses = "";  // its exit statuses, last in --help
  bool brief = false;         // the usage says "[options]" instead of every option
};

enum class CommandParse { kRun, kHelp, kWrong };

// Reads the words after the tool's name by the table: --help or -h anywhere gives kHelp;
// kWrong with the reason in error for an unknown option, a missing or wrong value, or a word
// with no place. After "--" every word is an operand.
CommandParse ParseCommandLine(const CommandLine& line, int argc, char** argv, std::string& error);
// "usage: TOOL [--option VALUE] ... OPERANDS", wrapped under the tool's name.
std::string CommandUsage(const CommandLine& line);
// The usage and a line for each option: what --help prints.
std::string CommandHelp(const CommandLine& line);
// Reads the command line as a tool's main does: -1 to go on; else the status to end with, 0
// after the help on standard output, wrongStatus after one line on standard error of what is
// wrong.
int ReadCommandLine(const CommandLine& line, int argc, char** argv, int wrongStatus);

// Rows' takers for the common kinds of value.
// A flag that sets on to true.
std::function<bool(const std::string&, std::string&)> TakeFlag(bool& on);
// Any text.
std::function<bool(const std::string&, std::string&)> TakeText(std::string& text);

// A whole number of T's range within [least, most]; wrong is the message when it is not.
template <typename T>
std::function<bool(const std::string&, std::string&)> TakeNumber(T& number, T least, T most,
                                                                 std::string wrong) {
  return [&number, least, most, wrong](const std::string& value, std::string& error) {
    T parsed{};
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), parsed);
    if (value.empty() || ec != std::errc() || end != value.data() + value.size() ||
        parsed < least || parsed > most) {
      error = wrong;
      return false;
    }
    number = parsed;
    return true;
  };
}
