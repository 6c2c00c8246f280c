// The one command line of every tool: --help and --version everywhere, an
// option name that means one thing in every command, argument errors in the
// tools' own words, and the old spellings still working after their note.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <sstream>

#include "tests/tools/tool_run.h"

using namespace corvexa;

namespace {

const std::string kSource = CORVEXA_SOURCE_DIR;
const std::string kTool = CORVEXA_TOOL;

struct Program {
  std::string name;
  std::string path;
};
const Program kPrograms[] = {
    {"corvexa-tool", CORVEXA_TOOL},
    {"make-fonts", MAKE_FONTS},
    {"make-icons", MAKE_ICONS},
    {"make-song", MAKE_SONG_TOOL},
};

// The commands `corvexa-tool --help` lists.
std::vector<std::string> toolCommands(const std::filesystem::path& dir) {
  const RunResult help = run(kTool + " --help", dir);
  std::vector<std::string> names;
  std::istringstream lines(help.out.substr(help.out.find("Subcommands:")));
  for (std::string line; std::getline(lines, line);) {
    std::smatch name;
    if (std::regex_match(line, name, std::regex(R"(\s+(\w[\w-]*)\s.*)"))) names.push_back(name[1]);
  }
  return names;
}

TEST(CommandLine, EveryProgramAndCommandHasHelpVersionAndOneMeaningPerOption) {
  ScratchDirectory dir("command-line-help");
  const RunResult toolVersion = run(kTool + " --version", dir.path);
  ASSERT_EQ(toolVersion.status, 0);
  const std::string version = toolVersion.out.substr(toolVersion.out.find(' '));
  std::vector<std::string> helps;
  for (const Program& program : kPrograms) {
    SCOPED_TRACE(program.name);
    const RunResult printed = run(program.path + " --version", dir.path);
    EXPECT_EQ(printed.status, 0);
    EXPECT_EQ(printed.out, program.name + version);
    const RunResult help = run(program.path + " --help", dir.path);
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: " + program.name), std::string::npos) << help.out;
    if (program.name != "corvexa-tool") helps.push_back(help.out);
  }
  const std::vector<std::string> commands = toolCommands(dir.path);
  EXPECT_EQ(commands.size(), 7u);
  for (const std::string& command : commands) {
    const RunResult help = run(kTool + " " + command + " --help", dir.path);
    EXPECT_EQ(help.status, 0) << command;
    helps.push_back(help.out);
  }
  // Every help names its output as --out PATH or --out-dir DIR, and no other
  // option takes a path; an option is a flag everywhere or takes a value
  // everywhere.
  std::map<std::string, std::string> takes;  // option -> the value it takes
  for (const std::string& help : helps) {
    EXPECT_TRUE(help.find("  --out PATH REQUIRED") != std::string::npos ||
                help.find("  --out-dir DIR REQUIRED") != std::string::npos)
        << help;
    std::istringstream lines(help);
    for (std::string line; std::getline(lines, line);) {
      std::smatch option;
      if (!std::regex_match(line, option, std::regex(R"(\s+(?:-\w,)?(--[\w-]+)( [A-Z]+)?.*)")))
        continue;
      const std::string name = option[1], value = option[2];
      if (value == " PATH" || value == " DIR") {
        EXPECT_TRUE(name == "--out" || name == "--out-dir") << line;
      }
      auto known = takes.emplace(name, value).first;
      EXPECT_EQ(known->second, value) << name << " means two things: " << line;
    }
  }
  EXPECT_EQ(takes["--raw"], "");
}

TEST(CommandLine, ArgumentErrorsAreOneLineInTheToolsOwnWords) {
  ScratchDirectory dir("command-line-errors");
  const std::string icons = MAKE_ICONS;
  const std::pair<std::string, std::string> cases[] = {
      {kTool + " song out.wav",
       "corvexa-tool song: unexpected argument out.wav (the output is given as --out PATH)"},
      {kTool + " song", "corvexa-tool song: missing --out PATH (the WAV file to write)"},
      {kTool + " stream --samples many --out a.wav",
       "corvexa-tool stream: bad --samples many: not a whole number"},
      {kTool + " gif --out a.png",
       "corvexa-tool gif: missing IN (the image, in GIF's block structure)"},
      {kTool + " frames --ticks", "corvexa-tool frames: missing the value of --ticks LIST"},
      {kTool + " twist",
       "corvexa-tool: unknown command twist (one of frames, gif, gunzip, xm, "
       "stream, song, capture)"},
      {icons, "make-icons: missing --out-dir DIR (the folder for corvexa-NN.png (platform/icons))"},
      {icons + " --help-me", "make-icons: unexpected argument --help-me"},
  };
  for (const auto& [command, message] : cases) {
    const RunResult result = run(command, dir.path);
    EXPECT_EQ(result.status, 2) << command;
    EXPECT_EQ(result.err, message + "\n") << command;
    EXPECT_EQ(result.out, "") << command;
  }
}

// Each old spelling: status 0, its output where the old spelling put it, and
// one note that names the new spelling.
TEST(CommandLine, OldSpellingsStillWorkAfterANote) {
  ScratchDirectory dir("command-line-old");
  const std::string d = dir.path.string() + "/", data = kSource + "/assets/data/";
  struct Old {
    std::string command;
    std::string written;
    std::string now;
  };
  const Old olds[] = {
      {kTool + " gunzip " + data + "corvexa.xm.gz " + d + "song.xm", "song.xm",
       "is now 'gunzip IN --out OUT'"},
      {kTool + " frames --ticks 2 --out " + d + "frames", "frames/tick-00002.png",
       "is now '--out-dir DIR'"},
      {kTool + " gif " + data + "goldbar.gif --out " + d + "font.png --raw " + d + "pixels.u32",
       "pixels.u32", "is now '--raw' (which writes OUT.u32 beside --out OUT.png)"},
      {kTool + " capture " + d + "show.mp4 --seconds 0.1 --scale 1", "show.mp4",
       "is now 'capture --out OUT'"},
      {std::string(MAKE_FONTS) + " " + kSource + "/tools/make-fonts " + d, "goldbar.gif",
       "is now 'make-fonts GLYPH_DIR --out-dir DIR'"},
      {std::string(MAKE_ICONS) + " " + d + "icons", "icons/corvexa-16.png",
       "is now 'make-icons --out-dir DIR'"},
      {std::string(MAKE_SONG_TOOL) + " " + kSource + "/assets/song/corvexa.score --out " + d +
           "song.gz --wav " + d + "preview.wav",
       "preview.wav", "is now '--wav' (which writes SONG.wav beside --out SONG.xm.gz)"},
  };
  for (const Old& old : olds) {
    SCOPED_TRACE(old.command);
    const RunResult result = run(old.command, dir.path);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(std::filesystem::exists(dir.path / old.written));
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_NE(result.err.find(": note: '"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(old.now + "; the old spelling goes in the next release"),
              std::string::npos)
        << result.err;
  }
  // The new spellings of the two that moved a file: --raw and --xm beside --out.
  EXPECT_EQ(
      run(kTool + " gif " + data + "goldbar.gif --out " + d + "beside.png --raw", dir.path).err,
      "");
  EXPECT_TRUE(readBytes(dir.path / "beside.u32") == readBytes(dir.path / "pixels.u32"));
}

}  // namespace
