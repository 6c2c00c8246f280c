// The one command line of every tool: --help and --version everywhere, an
// option name that means one thing in every command, argument errors in the
// tools' own words, and the old spellings still working after their note.
#include <gtest/gtest.h>

#include <map>
#include <regex>

#include "tests/tools/tool_run.h"

using namespace corvexa;

namespace {

const std::string kTool = CORVEXA_TOOL, kData = CORVEXA_SOURCE_DIR "/assets/data/";

TEST(CommandLine, EveryProgramAndCommandHasHelpVersionAndOneMeaningPerOption) {
  ScratchDirectory dir("command-line-help");
  const std::string version = run(kTool + " --version", dir.path).out.substr(12);  // " 1.0.0\n"
  std::vector<std::string> helps;
  for (const std::string name : {"corvexa-tool", "make-fonts", "make-icons", "make-song"}) {
    const std::string path = name == "corvexa-tool" ? kTool
                             : name == "make-fonts" ? MAKE_FONTS
                             : name == "make-icons" ? MAKE_ICONS
                                                    : MAKE_SONG_TOOL;
    EXPECT_EQ(run(path + " --version", dir.path).out, name + version);
    const RunResult help = run(path + " --help", dir.path);
    EXPECT_EQ(help.status, 0) << name;
    EXPECT_NE(help.out.find("Usage: " + name), std::string::npos) << help.out;
    if (name != "corvexa-tool") helps.push_back(help.out);
  }
  const std::string list = run(kTool + " --help", dir.path).out;
  const std::regex command(R"(\n  (\w+) )");
  for (auto at =
           std::sregex_iterator(list.begin() + list.find("Subcommands:"), list.end(), command);
       at != std::sregex_iterator(); ++at)
    helps.push_back(run(kTool + " " + (*at)[1].str() + " --help", dir.path).out);
  EXPECT_GT(helps.size(), 3u) << "no command found in corvexa-tool --help";
  // Every help names its output as --out PATH or --out-dir DIR, and no other
  // option takes a path; an option is a flag everywhere or takes a value
  // everywhere.
  std::map<std::string, std::string> takes;  // option -> the value it takes
  const std::regex option(R"(\n\s+(?:-\w,)?(--[\w-]+)( [A-Z]+)?)");
  for (const std::string& help : helps) {
    EXPECT_TRUE(help.find("  --out PATH REQUIRED") != std::string::npos ||
                help.find("  --out-dir DIR REQUIRED") != std::string::npos)
        << help;
    for (auto at = std::sregex_iterator(help.begin(), help.end(), option);
         at != std::sregex_iterator(); ++at) {
      const std::string name = (*at)[1], value = (*at)[2];
      if (value == " PATH" || value == " DIR") {
        EXPECT_TRUE(name == "--out" || name == "--out-dir") << name;
      }
      EXPECT_EQ(takes.emplace(name, value).first->second, value) << name << " means two things";
    }
  }
  EXPECT_EQ(takes.at("--raw"), "");
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
       "stream, song, capture, flashes)"},
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
  const std::string d = dir.path.string() + "/", source = CORVEXA_SOURCE_DIR;
  const std::string olds[][3] = {
      {kTool + " gunzip " + kData + "corvexa.xm.gz " + d + "song.xm", "song.xm",
       "is now 'gunzip IN --out OUT'"},
      {kTool + " frames --ticks 2 --out " + d + "frames", "frames/tick-00002.png",
       "is now '--out-dir DIR'"},
      {kTool + " gif " + kData + "goldbar.gif --out " + d + "font.png --raw " + d + "pixels.u32",
       "pixels.u32", "is now '--raw' (which writes OUT.u32 beside --out OUT.png)"},
      {kTool + " capture " + d + "show.mp4 --seconds 0.1 --scale 1", "show.mp4",
       "is now 'capture --out OUT'"},
      {std::string(MAKE_FONTS) + " " + source + "/tools/make-fonts " + d, "goldbar.gif",
       "is now 'make-fonts GLYPH_DIR --out-dir DIR'"},
      {std::string(MAKE_ICONS) + " " + d + "icons", "icons/corvexa-16.png",
       "is now 'make-icons --out-dir DIR'"},
      {std::string(MAKE_SONG_TOOL) + " " + source + "/assets/song/corvexa.score --out " + d +
           "song.gz --wav " + d + "preview.wav",
       "preview.wav", "is now '--wav' (which writes SONG.wav beside --out SONG.xm.gz)"},
  };
  for (const auto& [command, written, now] : olds) {
    const RunResult result = run(command, dir.path);
    EXPECT_EQ(result.status, 0) << command << ": " << result.err;
    EXPECT_TRUE(std::filesystem::exists(dir.path / written)) << command;
    // One line: "NAME: note: 'OLD' is now 'NEW' ...; the old spelling goes ...".
    const std::string tail = now + "; the old spelling goes in the next release\n";
    EXPECT_EQ(result.err.find(": note: '"), result.err.find(": ")) << result.err;
    EXPECT_TRUE(result.err.ends_with(tail)) << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
  }
  // The new --raw writes the same pixels beside its PNG, without a note.
  EXPECT_EQ(
      run(kTool + " gif " + kData + "goldbar.gif --out " + d + "beside.png --raw", dir.path).err,
      "");
  EXPECT_TRUE(readBytes(dir.path / "beside.u32") == readBytes(dir.path / "pixels.u32"));
}

}  // namespace
