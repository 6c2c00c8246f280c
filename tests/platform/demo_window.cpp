#include "demo_window.h"

// GoogleTest before Xlib, whose macros (None, Bool) would rewrite it.
// clang-format off
#include <gtest/gtest.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>
#include <X11/extensions/scrnsaver.h>
// clang-format on
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

using namespace corvexa;

namespace {

int64_t nowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

ScratchDirectory::ScratchDirectory(const std::string& name)
    : path(::testing::TempDir() + "corvexa-" + name + "-" + std::to_string(getpid())) {
  std::filesystem::remove_all(path);
  std::filesystem::create_directories(path);
}

ScratchDirectory::~ScratchDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
}

VirtualDisplay::VirtualDisplay(int32_t width, int32_t height) {
  int fds[2];
  if (pipe(fds) != 0) return;
  std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  std::string fd = std::to_string(fds[1]);
  pid_ = fork();
  if (pid_ == 0) {
    close(fds[0]);
    int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten",
           "tcp", "-br", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  std::string number;
  pollfd in{fds[0], POLLIN, 0};
  int64_t deadline = nowMs() + 10000;
  while (nowMs() < deadline && number.find('\n') == std::string::npos) {
    if (poll(&in, 1, 100) <= 0) continue;
    char buffer[16];
    ssize_t n = read(fds[0], buffer, sizeof buffer);
    if (n <= 0) break;
    number.append(buffer, n);
  }
  close(fds[0]);
  if (number.find('\n') != std::string::npos) name_ = ":" + number.substr(0, number.find('\n'));
}

VirtualDisplay::~VirtualDisplay() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  waitpid(pid_, nullptr, 0);
}

Screenshot VirtualDisplay::screenshot() const {
  Screenshot shot;
  Display* display = XOpenDisplay(name_.c_str());
  if (!display) return shot;
  Window root = DefaultRootWindow(display);
  XWindowAttributes attributes;
  XGetWindowAttributes(display, root, &attributes);
  XImage* image =
      XGetImage(display, root, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
  if (image) {
    shot.width = attributes.width;
    shot.height = attributes.height;
    shot.pixels.resize(static_cast<size_t>(shot.width) * shot.height);
    for (int32_t y = 0; y < shot.height; y++)
      for (int32_t x = 0; x < shot.width; x++)
        shot.pixels[y * shot.width + x] = XGetPixel(image, x, y) & 0xFFFFFF;
    XDestroyImage(image);
  }
  XCloseDisplay(display);
  return shot;
}

bool VirtualDisplay::pointerShownAt(int32_t x, int32_t y) const {
  Display* display = XOpenDisplay(name_.c_str());
  if (!display) return false;
  XWarpPointer(display, 0, DefaultRootWindow(display), 0, 0, 0, 0, x, y);
  XFixesCursorImage* image = XFixesGetCursorImage(display);
  bool shown = false;  // any pixel of the cursor not wholly transparent
  for (int32_t i = 0; image && i < image->width * image->height; i++)
    shown |= image->pixels[i] >> 24;
  if (image) XFree(image);
  XCloseDisplay(display);
  return shown;
}

bool VirtualDisplay::screenSaverOn(int32_t timeoutSeconds, int64_t* idleMs) const {
  Display* display = XOpenDisplay(name_.c_str());
  if (!display) return false;
  if (timeoutSeconds > 0)
    XSetScreenSaver(display, timeoutSeconds, 0, PreferBlanking, AllowExposures);
  XScreenSaverInfo info{};
  bool on = XScreenSaverQueryInfo(display, DefaultRootWindow(display), &info) &&
            info.state == ScreenSaverOn;
  *idleMs = static_cast<int64_t>(info.idle);
  XCloseDisplay(display);
  return on;
}

std::string VirtualDisplay::run(const std::string& command, int* status) const {
  std::string line = "DISPLAY=" + name_ + " " + command;
  FILE* pipe = popen(line.c_str(), "r");
  std::string out;
  if (!pipe) return out;
  char buffer[256];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  int result = pclose(pipe);
  if (status) *status = result;
  return out;
}

unsigned long VirtualDisplay::demoWindow() const {
  std::string ids = run("xdotool search --name '^Corvexa$' 2>/dev/null");
  return std::strtoul(ids.c_str(), nullptr, 10);
}

void VirtualDisplay::requestClose(unsigned long window) const {
  Display* display = XOpenDisplay(name_.c_str());
  if (!display) return;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XFlush(display);
  XCloseDisplay(display);
}

std::vector<std::string> corvexa::demoCommand(const std::string& path) {
  const char* other = std::getenv("CORVEXA_TEST_DEMO");
  if (!other || !*other) return {path, "ignored-argument"};
  std::vector<std::string> command;
  std::istringstream words(other);
  for (std::string word; words >> word;) command.push_back(word);
  command.push_back("ignored-argument");
  return command;
}

DemoRun::DemoRun(const VirtualDisplay* display, const Environment& extra,
                 const std::vector<std::string>& command) {
  int fds[2];
  if (pipe(fds) != 0) return;
  static int runs = 0;
  errorFile_ = ::testing::TempDir() + "corvexa-stderr-" + std::to_string(getpid()) + "-" +
               std::to_string(runs++);
  pid_ = fork();
  if (pid_ == 0) {
    close(fds[0]);
    dup2(fds[1], 1);
    int err = open(errorFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(err, 2);
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("SDL_VIDEODRIVER");
    if (display) {
      setenv("DISPLAY", display->name().c_str(), 1);
    } else {
      unsetenv("DISPLAY");
    }
    setenv("CORVEXA_TRACE", "1", 1);
    // In a sanitizer build, LeakSanitizer would fail every run on blocks that
    // the system's GL driver and D-Bus keep (unloaded before it can name
    // them); memory errors are still caught.
    std::string asan = "detect_leaks=0";
    if (const char* options = std::getenv("ASAN_OPTIONS")) asan = std::string(options) + ":" + asan;
    setenv("ASAN_OPTIONS", asan.c_str(), 1);
    for (const auto& [name, value] : extra) setenv(name.c_str(), value.c_str(), 1);
    std::vector<char*> arguments;
    for (const std::string& argument : command)
      arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);
    execvp(arguments[0], arguments.data());
    _exit(127);
  }
  close(fds[1]);
  out_ = fds[0];
}

DemoRun::~DemoRun() {
  if (pid_ > 0 && !status_) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (out_ >= 0) close(out_);
  std::remove(errorFile_.c_str());
}

void DemoRun::readAvailable(int32_t waitMs) {
  if (out_ < 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(waitMs));
    return;
  }
  pollfd in{out_, POLLIN, 0};
  if (poll(&in, 1, waitMs) <= 0) return;
  char buffer[4096];
  ssize_t n = read(out_, buffer, sizeof buffer);
  if (n <= 0) {
    close(out_);
    out_ = -1;
    return;
  }
  pending_.append(buffer, n);
  size_t end;
  while ((end = pending_.find('\n')) != std::string::npos) {
    TraceLine line;
    long long frame = 0, ms = 0;
    int tick = 0;
    if (std::sscanf(pending_.c_str(), "frame %lld tick %d ms %lld", &frame, &tick, &ms) == 3) {
      line.frame = frame;
      line.tick = tick;
      line.ms = ms;
      trace_.push_back(line);
    } else {
      std::string line = pending_.substr(0, end);
      if (!line.empty() && line.back() == '\r') line.pop_back();  // a Windows program's text mode
      otherLines_.push_back(line);
    }
    pending_.erase(0, end + 1);
  }
}

std::optional<TraceLine> DemoRun::waitForTick(int32_t tick, int32_t timeoutMs) {
  int64_t deadline = nowMs() + timeoutMs;
  size_t seen = 0;
  while (true) {
    for (; seen < trace_.size(); seen++)
      if (trace_[seen].tick >= tick) return trace_[seen];
    if (nowMs() >= deadline || out_ < 0) return std::nullopt;
    readAvailable(20);
  }
}

void DemoRun::readFor(int32_t ms) {
  int64_t deadline = nowMs() + ms;
  while (nowMs() < deadline) readAvailable(static_cast<int32_t>(deadline - nowMs()));
}

std::optional<int> DemoRun::waitForExit(int32_t timeoutMs) {
  int64_t deadline = nowMs() + timeoutMs;
  while (!status_ && pid_ > 0) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      break;
    }
    if (nowMs() >= deadline) break;
    readAvailable(10);
  }
  return status_;
}

int64_t DemoRun::processorMs() const {
  std::ifstream file("/proc/" + std::to_string(pid_) + "/stat");
  std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  size_t close = text.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream fields(text.substr(close + 2));
  std::string field;
  long long utime = 0, stime = 0;
  for (int i = 3; i <= 15 && fields >> field; i++) {
    if (i == 14) utime = std::atoll(field.c_str());
    if (i == 15) stime = std::atoll(field.c_str());
  }
  return (utime + stime) * 1000 / sysconf(_SC_CLK_TCK);
}

std::string DemoRun::errors() const {
  std::ifstream file(errorFile_);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}
