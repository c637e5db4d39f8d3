// The program's command line, read before WinMain: `citywalk [--record FILE] [--trace FILE]
// [DIR | DEMO]`, `--help`. Shared by the Linux and the Windows entry, which give it the
// arguments and the program's own folder.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

// The folders the demos are looked for in, in order: `scenes` beside the program (the Windows
// zip), then `../share/citywalk/scenes` from the program's folder (an installed PREFIX/bin).
std::vector<std::filesystem::path> DemoRoots(const std::filesystem::path& programFolder);
// The names of the demos found (the sub-folders of the demo roots), sorted, each once.
std::vector<std::string> DemoNames(const std::filesystem::path& programFolder);
// The folder of the demo NAME, the first root's holding it; empty when there is none.
std::filesystem::path FindDemo(const std::string& name, const std::filesystem::path& programFolder);

// Reads the arguments (without the program's name), starts the recording and the trace they
// ask for (--record FILE, --trace FILE; a file that cannot be written is reported on `err` and
// left out) and enters the scene folder they name: a folder, or else the demo of that name.
// Prints --help's text on `out` and any refusal on `err`. Returns -1 when the program should
// start, or the exit status: 0 after --help, 2 for a folder or demo that is not there or a
// wrong argument.
int StartFromCommandLine(std::vector<std::filesystem::path> args,
                         const std::filesystem::path& programFolder, std::FILE* out,
                         std::FILE* err);
