// `citywalk [DIR | DEMO]` and `--help`: which folder the program starts in, where demos are
// looked for (beside the program first, then PREFIX/share/citywalk/scenes from PREFIX/bin),
// and what it says when it refuses.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/trace.h"
#include "common/work_folder.h"
#include "platform/keys.h"
#include "platform/recording.h"
#include "scene/reader.h"

namespace fs = std::filesystem;

namespace {

// A program folder `prefix/bin` with demos walk and drive in prefix/share/citywalk/scenes,
// and a zip-style folder `zip` with citywalk's `scenes/drive` and `scenes/models` beside it.
class CommandLine : public ::testing::Test {
 protected:
  CommandLine() : folder_("citywalk_command_line") {
    for (const char* d :
         {"prefix/bin", "prefix/share/citywalk/scenes/walk", "prefix/share/citywalk/scenes/drive",
          "zip/scenes/drive", "zip/scenes/models", "start"})
      fs::create_directories(folder_.Path() / d);
    std::ofstream(folder_.Path() / "prefix/share/citywalk/scenes/README");  // not a demo
    fs::current_path(folder_.Path() / "start");
  }

  // Runs the command line with the program in `programFolder`; keeps what it printed.
  int Run(std::vector<fs::path> args, const std::string& programFolder) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    const int status = StartFromCommandLine(args, folder_.Path() / programFolder, out, err);
    out_ = Read(out);
    err_ = Read(err);
    return status;
  }
  static std::string Read(std::FILE* f) {
    std::rewind(f);
    std::string s;
    for (int c; (c = std::fgetc(f)) != EOF;) s += static_cast<char>(c);
    std::fclose(f);
    return s;
  }
  fs::path Here() const { return fs::current_path().lexically_relative(folder_.Path()); }

  WorkFolder folder_;
  std::string out_, err_;
};

TEST_F(CommandLine, DemosAreFoundBesideTheProgramFirstThenInTheSharedFolder) {
  EXPECT_EQ(DemoNames(folder_.Path() / "prefix/bin"), (std::vector<std::string>{"drive", "walk"}));
  EXPECT_EQ(DemoNames(folder_.Path() / "zip"), (std::vector<std::string>{"drive", "models"}));
  EXPECT_TRUE(DemoNames(folder_.Path() / "start").empty());
  // Both layouts at once: the zip's folder beside the program wins, the names merge.
  fs::create_directories(folder_.Path() / "prefix/bin/scenes/drive");
  EXPECT_EQ(DemoNames(folder_.Path() / "prefix/bin"), (std::vector<std::string>{"drive", "walk"}));
  EXPECT_EQ(FindDemo("drive", folder_.Path() / "prefix/bin"),
            folder_.Path() / "prefix/bin/scenes/drive");
  EXPECT_EQ(FindDemo("walk", folder_.Path() / "prefix/bin"),
            folder_.Path() / "prefix/share/citywalk/scenes/walk");
  // Only a bare name names a demo.
  for (const char* name :
       {"chase", "README", "", ".", "..", "scenes/walk", "../scenes/walk", "/walk"})
    EXPECT_TRUE(FindDemo(name, folder_.Path() / "prefix/bin").empty()) << name;
}

TEST_F(CommandLine, ADemoNameEntersTheDemoAndAFolderOfThatNameWins) {
  EXPECT_EQ(Run({"walk"}, "prefix/bin"), -1);
  EXPECT_EQ(Here(), "prefix/share/citywalk/scenes/walk");
  EXPECT_EQ(Run({"drive"}, "zip"), -1);
  EXPECT_EQ(Here(), "zip/scenes/drive");
  // A folder named like a demo, where the program is started: the folder.
  fs::current_path(folder_.Path() / "start");
  fs::create_directory("walk");
  EXPECT_EQ(Run({"walk"}, "prefix/bin"), -1);
  EXPECT_EQ(Here(), "start/walk");
  // A path is a path: no demo is looked up for it.
  EXPECT_EQ(Run({"sub/walk"}, "prefix/bin"), 2);
  EXPECT_NE(err_.find("citywalk: sub/walk: No such file or directory\n"), std::string::npos)
      << err_;
  EXPECT_EQ(err_.find("demo"), std::string::npos) << err_;
  EXPECT_EQ(Here(), "start/walk");
  EXPECT_TRUE(out_.empty());
}

TEST_F(CommandLine, RefusalsAndHelpNameTheDemosFound) {
  const std::string zipScenes = (folder_.Path() / "zip/scenes").string();
  EXPECT_EQ(Run({"chase"}, "zip"), 2);
  EXPECT_EQ(err_,
            "citywalk: chase: No such file or directory\n"
            "citywalk: no demo of that name; demos: drive models (in " +
                zipScenes + ")\n");
  EXPECT_EQ(Here(), "start");
  EXPECT_EQ(Run({"chase"}, "start"), 2);
  EXPECT_NE(err_.find("demos: none installed beside this program"), std::string::npos) << err_;

  EXPECT_EQ(Run({"--help"}, "zip"), 0);
  EXPECT_NE(out_.find("usage: citywalk [--record FILE] [--trace FILE] [DIR | DEMO]"),
            std::string::npos);
  EXPECT_NE(out_.find("(citywalk drive): drive models (in " + zipScenes + ")\n"), std::string::npos)
      << out_;
  EXPECT_TRUE(err_.empty());

  for (const std::vector<fs::path>& args :
       std::vector<std::vector<fs::path>>{{"walk", "drive"},
                                          {"-x"},
                                          {"--help", "walk"},
                                          {"--record"},
                                          {"--trace", "t", "--record"},
                                          {"--record", "r", "--help"}}) {
    EXPECT_EQ(Run(args, "zip"), 2);
    EXPECT_EQ(err_,
              "usage: citywalk [--record FILE] [--trace FILE] [DIR | DEMO]   (citywalk --help for "
              "the keys)\n");
    EXPECT_TRUE(out_.empty());
  }
}

// The help and the README's "Keys at a glance" name every key of the key table, with its
// script name and game-controller input, and nothing else.
TEST_F(CommandLine, HelpAndReadmeNameEveryKey) {
  EXPECT_EQ(Run({"--help"}, "zip"), 0);
  for (const std::string line :
       {"  F2 pause / resume (the window can be dragged while paused)\n",
        "  Up walk forward   Down walk back", "Mode 4, car from behind: the keys of mode 2\n",
        "Space: A   Ctrl: right trigger   F2: Start", "Esc: Back with Start\n"})
    EXPECT_NE(out_.find(line), std::string::npos) << line << " in\n" << out_;

  std::ifstream readme(std::string(CITYWALK_SOURCE_DIR) + "/README.md");
  std::vector<std::string> rows;  // the rows of the table under "## Keys at a glance"
  bool inSection = false;
  for (std::string line; std::getline(readme, line);) {
    if (line.starts_with("## ")) inSection = line == "## Keys at a glance";
    if (inSection && line.starts_with("| ") && !line.starts_with("| key |")) rows.push_back(line);
  }
  ASSERT_EQ(rows.size(), static_cast<size_t>(kKeyCount));
  for (int i = 0; i < kKeyCount; ++i) {
    const Key& key = kKeys[i];
    const std::string pad = key.pad != 0 ? PadBinding(key) : "\u2014";
    EXPECT_EQ(rows[i], "| " + std::string(key.label) + " | `" + key.name + "` | " + pad + " |");
  }
}

// The recording and the trace are the user's files, named from the folder the program was
// started in; they are made only when the program starts, and one that cannot be written is
// said in one line while the program still starts.
TEST_F(CommandLine, RecordAndTraceFilesAreMadeWhenTheProgramStarts) {
  EXPECT_EQ(Run({"--record", "rec", "--trace", "trace", "no-such-folder"}, "zip"), 2);
  EXPECT_FALSE(fs::exists("rec"));
  EXPECT_FALSE(fs::exists("trace"));

  EXPECT_EQ(Run({"--trace", "trace", "--record", "rec", "drive"}, "zip"), -1);
  EXPECT_EQ(Here(), "zip/scenes/drive");
  EXPECT_TRUE(err_.empty()) << err_;
  EXPECT_TRUE(recording::Active());
  recording::Stop();
  StopTrace();
  std::ifstream rec(folder_.Path() / "start/rec");
  std::string first;
  EXPECT_TRUE(std::getline(rec, first));
  EXPECT_EQ(first, "citywalk-recording 1");
  EXPECT_TRUE(fs::exists(folder_.Path() / "start/trace"));

  fs::current_path(folder_.Path() / "start");
  EXPECT_EQ(Run({"--record", "no-such-folder/rec", "--trace", "no-such-folder/t", "drive"}, "zip"),
            -1);
  EXPECT_FALSE(recording::Active());
  EXPECT_EQ(err_, "citywalk: " + (folder_.Path() / "start/no-such-folder/rec").string() +
                      ": No such file or directory; running unrecorded\n"
                      "citywalk: " +
                      (folder_.Path() / "start/no-such-folder/t").string() +
                      ": No such file or directory; running without a trace\n");
}

TEST_F(CommandLine, WithoutAnArgumentItSaysWhereScenesAreOnlyWhenThereIsNone) {
  EXPECT_EQ(Run({}, "prefix/bin"), -1);
  EXPECT_NE(err_.find("no scene here; start citywalk DIR, or a demo by name: drive walk (in "),
            std::string::npos)
      << err_;
  std::ofstream(kSceneFileName) << "\n";
  EXPECT_EQ(Run({}, "prefix/bin"), -1);
  EXPECT_TRUE(err_.empty()) << err_;
  EXPECT_EQ(Here(), "start");
}

}  // namespace
