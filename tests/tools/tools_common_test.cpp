// What the tools share (tools/common): every tool refuses an input file it
// cannot read with the same line and status, and an output that fails or is
// interrupted leaves neither a file nor a temporary one, while an earlier file
// of that name stays as it was.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/tools/tool_run.h"
#include "tools/common/interrupts.h"
#include "tools/common/output_file.h"
#include "tools/common/tool_failure.h"

using namespace corvexa;

namespace {

namespace fs = std::filesystem;

const std::string kSource = CORVEXA_SOURCE_DIR;

// One tool's file input: its command line around IN (and an output in OUT),
// the name it reports failures under and its size bound.
struct FileInput {
  std::string reporter;
  std::string inputName;  // what IN is called inside the scratch folder
  std::string command;    // with IN and OUT in it
  std::string bound;
};

std::string substitute(std::string text, const std::string& name, const std::string& value) {
  for (size_t at; (at = text.find(name)) != std::string::npos;)
    text.replace(at, name.size(), value);
  return text;
}

// Every name in dir, sorted.
std::vector<std::string> entries(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

std::string text(const fs::path& path) {
  std::vector<uint8_t> bytes = readBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

TEST(ToolsCommon, EveryToolRefusesAFileItCannotReadWithOneLineAndStatus2) {
  const std::string tool = CORVEXA_TOOL, fonts = MAKE_FONTS, song = MAKE_SONG_TOOL;
  const FileInput inputs[] = {
      {"corvexa-tool gif", "in.gif", tool + " gif IN --out OUT/out.png --raw", "67,108,864"},
      {"corvexa-tool gunzip", "in.gz", tool + " gunzip IN --out OUT/out", "1,073,741,824"},
      {"corvexa-tool xm", "in.xm", tool + " xm IN --out OUT/out.wav", "67,108,864"},
      {"make-song", "in.score", song + " IN --out OUT/out.xm.gz --xm", "16,777,216"},
      // make-fonts reads GLYPH_DIR/goldbar-glyphs.txt first.
      {"make-fonts", "glyphs/goldbar-glyphs.txt", fonts + " DIR/glyphs --out-dir OUT",
       "16,777,216"},
  };
  for (const FileInput& input : inputs) {
    ScratchDirectory dir("tools-common-input");
    fs::create_directories(dir.path / "out");
    fs::create_directories(dir.path / "glyphs");
    const std::string in = dir / input.inputName;
    const int64_t bound = std::stoll(substitute(input.bound, ",", ""));
    struct Case {
      const char* what;
      std::string reason;
    };
    const Case cases[] = {{"missing", "cannot open (No such file or directory)"},
                          {"folder", "not a regular file"},
                          {"pipe", "not a regular file"},
                          {"one byte too large", "larger than " + input.bound + " bytes"}};
    for (const Case& c : cases) {
      SCOPED_TRACE(input.reporter + ", " + c.what);
      std::error_code ignored;
      fs::remove_all(in, ignored);
      const std::string what = c.what;
      if (what == "folder") fs::create_directories(in);
      if (what == "pipe") {
        ASSERT_EQ(mkfifo(in.c_str(), 0600), 0);
      }
      if (what == "one byte too large") {
        // Sparse: no disk used, and the tool must refuse it by its size unread.
        std::ofstream(in).close();
        fs::resize_file(in, static_cast<uintmax_t>(bound) + 1);
      }
      // A pipe nobody writes must not hold the tool up.
      std::string line = substitute(input.command, "IN", shellQuote(in));
      line =
          substitute(substitute(line, "OUT", shellQuote(dir / "out")), "DIR", shellQuote(dir.path));
      const RunResult result = run("timeout 20 " + line, dir.path);
      EXPECT_EQ(result.status, 2);
      EXPECT_EQ(result.err, input.reporter + ": " + in + ": " + c.reason + "\n");
      EXPECT_TRUE(fs::is_empty(dir.path / "out")) << "an output was written";
    }
  }
}

TEST(ToolsCommon, AFailedWriteLeavesTheEarlierFileAndNoTemporary) {
  // As on a full disk: every write past 512 bytes fails (EFBIG), the size
  // limit's signal being ignored. Each output holds more than that.
  const std::string tool = CORVEXA_TOOL, fonts = MAKE_FONTS, song = MAKE_SONG_TOOL;
  const std::string data = kSource + "/assets/data/";
  struct Output {
    std::string command;  // OUT is the file that must fail, in DIR
    std::string name;     // OUT's name
    std::string message;  // the tool's last line
  };
  const std::string tooLarge = ": OUT: cannot write (File too large)";
  const Output outputs[] = {
      {tool + " song --out OUT", "song.wav", "corvexa-tool song" + tooLarge},
      {tool + " gif " + data + "goldbar.gif --out OUT", "font.png", "corvexa-tool gif" + tooLarge},
      {tool + " frames --ticks 100 --out-dir DIR --raw", "tick-00100.png",
       "corvexa-tool frames" + tooLarge},
      {tool + " gunzip " + data + "corvexa.xm.gz --out OUT", "song.xm",
       "corvexa-tool gunzip" + tooLarge},
      {song + " " + kSource + "/assets/song/corvexa.score --out OUT", "song.xm.gz",
       "make-song" + tooLarge},
      {fonts + " " + kSource + "/tools/make-fonts --out-dir DIR", "goldbar.gif",
       "make-fonts" + tooLarge},
  };
  for (const Output& output : outputs) {
    SCOPED_TRACE(output.command);
    ScratchDirectory dir("tools-common-full");
    fs::create_directories(dir.path / "run");
    const fs::path folder = dir.path / "files";
    fs::create_directories(folder);
    const std::string out = (folder / output.name).string();
    std::ofstream(out) << "earlier";
    std::string line =
        substitute(substitute(output.command, "OUT", shellQuote(out)), "DIR", shellQuote(folder));
    const RunResult result = run("trap '' XFSZ; ulimit -f 1; " + line, dir.path / "run");
    EXPECT_EQ(result.status, 1) << result.err;
    const std::string last = substitute(output.message, "OUT", out) + "\n";
    EXPECT_TRUE(result.err.size() >= last.size() &&
                result.err.compare(result.err.size() - last.size(), last.size(), last) == 0)
        << result.err;
    EXPECT_EQ(entries(folder), std::vector<std::string>{output.name});
    EXPECT_EQ(text(out), "earlier");
  }
}

// In a child process: an OutputFile begun, then the signal, with or without
// an InterruptHold.
int interruptedWrite(const fs::path& out, int signal, bool held) {
  pid_t pid = fork();
  if (pid == 0) {
    tools::catchInterrupts();
    try {
      std::optional<tools::InterruptHold> hold;
      if (held) hold.emplace();
      tools::OutputFile file(out);
      file.write("half", 4);
      raise(signal);
      file.write(" and the rest", 13);
      file.commit();
    } catch (const tools::ToolFailure& failure) {
      _exit(failure.status == tools::kSystemFailed &&
                    std::string(failure.what()) == "interrupted; " + out.string() + " not written"
                ? 42
                : 43);
    }
    _exit(0);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return status;
}

TEST(ToolsCommon, AnInterruptedWriteLeavesTheEarlierFileAndNoTemporary) {
  ScratchDirectory dir("tools-common-interrupt");
  const fs::path out = dir.path / "out";
  std::ofstream(out) << "earlier";
  for (int signal : {SIGINT, SIGTERM}) {
    // At once: the handler removes the temporary file and ends the process
    // by the signal.
    int status = interruptedWrite(out, signal, false);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
    EXPECT_EQ(entries(dir.path), std::vector<std::string>{"out"});
    // Held: the writer carries on, commit refuses, the OutputFile removes it.
    status = interruptedWrite(out, signal, true);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 42) << status;
    EXPECT_EQ(entries(dir.path), std::vector<std::string>{"out"});
  }
  EXPECT_EQ(text(out), "earlier");
}

TEST(ToolsCommon, CtrlCDuringCaptureStopsFfmpegAndLeavesNoFile) {
  ScratchDirectory dir("tools-common-capture");
  fs::create_directories(dir.path / "bin");
  fs::create_directories(dir.path / "video");
  // ffmpeg that begins its file, then reads nothing more.
  std::ofstream(dir / "bin/ffmpeg")
      << "#!/bin/sh\nfor last; do :; done; echo partial >\"${last#file:}\"; exec sleep 60\n";
  chmod((dir / "bin/ffmpeg").c_str(), 0755);
  const fs::path out = dir.path / "video/show.mp4";
  std::ofstream(out) << "earlier video";

  const std::string path = (dir / "bin") + ":" + std::getenv("PATH");
  const std::string err = dir / "stderr.txt";
  pid_t pid = fork();
  if (pid == 0) {
    setenv("PATH", path.c_str(), 1);
    int fd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(fd, 2);
    execl(CORVEXA_TOOL, CORVEXA_TOOL, "capture", "--out", out.c_str(), "--seconds", "60", "--scale",
          "1", static_cast<char*>(nullptr));
    _exit(127);
  }
  // Wait for the temporary file to hold what ffmpeg wrote.
  bool begun = false;
  for (int i = 0; i < 2000 && !begun; i++) {
    for (const auto& entry : fs::directory_iterator(dir.path / "video"))
      begun |= entry.path().filename() != "show.mp4" && text(entry.path()) == "partial\n";
    if (!begun) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_TRUE(begun) << "ffmpeg's temporary file did not appear";
  const auto interrupted = std::chrono::steady_clock::now();
  kill(pid, SIGINT);
  int status = 0;
  waitpid(pid, &status, 0);
  // ffmpeg here would sleep for a minute: capture must stop it, not wait.
  EXPECT_LT(std::chrono::steady_clock::now() - interrupted, std::chrono::seconds(20));
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
  EXPECT_EQ(text(err), "corvexa-tool capture: interrupted; " + out.string() + " not written\n");
  EXPECT_EQ(entries(dir.path / "video"), std::vector<std::string>{"show.mp4"});
  EXPECT_EQ(text(out), "earlier video");
}

}  // namespace
