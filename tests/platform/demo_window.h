// Helpers of the window tests: a private X server (Xvfb) and the demo
// program running on it.
//
// VirtualDisplay starts Xvfb on a free display number (Xvfb picks it and
// reports it through -displayfd), with a black root window, and ends it with
// the test. DemoRun starts corvexa (or another command, such as wine with the
// Windows program) on that display with the given extra environment
// (CORVEXA_TRACE=1 always: one "frame F tick T ms M" line per presented
// frame), reads those lines, and kills the program if a test leaves it
// running.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace corvexa {

struct Screenshot {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;  // 0xRRGGBB, row by row
  uint32_t at(int32_t x, int32_t y) const { return pixels[y * width + x]; }
};

class VirtualDisplay {
 public:
  VirtualDisplay(int32_t width, int32_t height);
  ~VirtualDisplay();
  VirtualDisplay(const VirtualDisplay&) = delete;
  VirtualDisplay& operator=(const VirtualDisplay&) = delete;

  bool ready() const { return !name_.empty(); }
  const std::string& name() const { return name_; }  // ":N"

  Screenshot screenshot() const;
  // Runs an X client command line (xdotool ...) on this display; its stdout.
  std::string run(const std::string& command, int* status = nullptr) const;
  // The demo's window ("Corvexa"), 0 when there is none.
  unsigned long demoWindow() const;
  // Asks the window to close, as a window manager's close button does.
  void requestClose(unsigned long window) const;
  // Moves the pointer to (x, y); whether X then draws a visible cursor there.
  bool pointerShownAt(int32_t x, int32_t y) const;
  // Whether the screen saver is on, and how long there has been no input;
  // first sets its timeout, when one is given.
  bool screenSaverOn(int32_t timeoutSeconds, int64_t* idleMs) const;

 private:
  pid_t pid_ = -1;
  std::string name_;
};

struct TraceLine {
  int64_t frame = 0;
  int32_t tick = 0;
  int64_t ms = 0;  // since launch
};

// The command that runs the program built at path, given an argument that it
// ignores; CORVEXA_TEST_DEMO, when set, is another build of it to run instead,
// as a command line split at spaces ("qemu-aarch64 DIR/usr/bin/corvexa").
std::vector<std::string> demoCommand(const std::string& path);

class DemoRun {
 public:
  using Environment = std::vector<std::pair<std::string, std::string>>;
  // display: nullptr runs the command with neither DISPLAY nor WAYLAND_DISPLAY.
  DemoRun(const VirtualDisplay* display, const Environment& extra,
          const std::vector<std::string>& command);
#ifdef CORVEXA_DEMO
  // The Linux program, given an argument that it ignores.
  DemoRun(const VirtualDisplay* display, const Environment& extra)
      : DemoRun(display, extra, demoCommand(CORVEXA_DEMO)) {}
#endif
  ~DemoRun();
  DemoRun(const DemoRun&) = delete;
  DemoRun& operator=(const DemoRun&) = delete;

  // Waits up to timeoutMs for a presented frame at tick >= tick.
  std::optional<TraceLine> waitForTick(int32_t tick, int32_t timeoutMs);
  // Reads what the program traced in the next ms milliseconds.
  void readFor(int32_t ms);
  // The exit status, or nothing if it runs on past timeoutMs.
  std::optional<int> waitForExit(int32_t timeoutMs);
  // Processor time (user + system) used so far, in ms.
  int64_t processorMs() const;
  std::string errors() const;  // what it wrote on stderr

  const std::vector<TraceLine>& trace() const {
    return trace_;
  }
  // Lines of stdout that are not frame lines ("renderer NAME", ...).
  const std::vector<std::string>& otherLines() const {
    return otherLines_;
  }
  pid_t pid() const {
    return pid_;
  }

 private:
  void readAvailable(int32_t waitMs);

  pid_t pid_ = -1;
  int out_ = -1;
  std::string pending_;
  std::string errorFile_;
  std::vector<TraceLine> trace_;
  std::vector<std::string> otherLines_;
  std::optional<int> status_;
};

// A fresh directory for one test's files, removed with it.
struct ScratchDirectory {
  explicit ScratchDirectory(const std::string& name);
  ~ScratchDirectory();
  std::string path;
};

}  // namespace corvexa
