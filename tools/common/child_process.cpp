#include "tools/common/child_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "tools/common/tool_failure.h"

extern char** environ;

namespace corvexa::tools {

namespace {

// The full path of program on PATH, or "".
std::string findOnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return "";
  std::string dirs = path;
  size_t begin = 0;
  while (begin <= dirs.size()) {
    size_t colon = dirs.find(':', begin);
    std::string dir =
        dirs.substr(begin, colon == std::string::npos ? std::string::npos : colon - begin);
    std::string candidate = (dir.empty() ? "." : dir) + "/" + program;
    struct stat info;
    if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
        access(candidate.c_str(), X_OK) == 0)
      return candidate;
    if (colon == std::string::npos) break;
    begin = colon + 1;
  }
  return "";
}

// A pipe whose both ends sit at descriptors above 3 and close on exec, so that
// moving the read end to 0 or 3 in the child cannot clobber another pipe's end.
bool makePipe(int ends[2]) {
  int raw[2];
  if (pipe(raw) != 0) return false;
  for (int i = 0; i < 2; i++) {
    ends[i] = fcntl(raw[i], F_DUPFD_CLOEXEC, 10);
    close(raw[i]);
  }
  if (ends[0] >= 0 && ends[1] >= 0) return true;
  if (ends[0] >= 0) close(ends[0]);
  if (ends[1] >= 0) close(ends[1]);
  return false;
}

void closePipe(int ends[2]) {
  for (int i = 0; i < 2; i++)
    if (ends[i] >= 0) close(ends[i]);
}

}  // namespace

std::string findProgram(const std::string& program, const std::string& debianPackage) {
  std::string path = findOnPath(program);
  if (path.empty())
    throw ToolFailure(program + " not found on PATH; install the Debian package " + debianPackage,
                      kSystemFailed);
  return path;
}

ChildProcess startChild(const std::string& path, const std::vector<std::string>& arguments,
                        const ChildStreams& streams) {
  int input[2] = {-1, -1};
  int third[2] = {-1, -1};
  if (!makePipe(input) || (streams.thirdPipe && !makePipe(third))) {
    int error = errno;
    closePipe(input);
    throw ToolFailure(std::string("cannot make a pipe: ") + strerror(error), kSystemFailed);
  }

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, input[0], 0);
  if (streams.thirdPipe) posix_spawn_file_actions_adddup2(&actions, third[0], 3);
  if (streams.outputFd >= 0) posix_spawn_file_actions_adddup2(&actions, streams.outputFd, 1);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  int error = posix_spawn(&pid, path.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  close(input[0]);
  if (third[0] >= 0) close(third[0]);
  if (error != 0) {
    close(input[1]);
    if (third[1] >= 0) close(third[1]);
    throw ToolFailure("cannot start " + path + ": " + strerror(error), kSystemFailed);
  }
  return {pid, input[1], third[1]};
}

int writeAll(int fd, const void* data, size_t size, bool (*stop)()) {
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    // Checked before every call: a signal that lands after part of a block is
    // in the pipe cuts the write short instead of failing it with EINTR.
    if (stop()) return EINTR;
    ssize_t written = write(fd, bytes, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    bytes += written;
    size -= static_cast<size_t>(written);
  }
  return 0;
}

int waitChild(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return 127;
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return 127;
}

std::string describeChildStatus(int status) {
  if (status > 128) return "ended by signal " + std::to_string(status - 128);
  return "exit status " + std::to_string(status);
}

}  // namespace corvexa::tools
