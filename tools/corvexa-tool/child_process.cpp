#include "tools/corvexa-tool/child_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "tools/corvexa-tool/command.h"

extern char** environ;

namespace corvexa::tool {

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

namespace {

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

}  // namespace

ChildProcess startChild(const std::string& path, const std::vector<std::string>& arguments) {
  int input[2];
  int third[2];
  if (!makePipe(input))
    throw CommandFailure(std::string("cannot make a pipe: ") + strerror(errno), 1);
  if (!makePipe(third)) {
    int error = errno;
    close(input[0]);
    close(input[1]);
    throw CommandFailure(std::string("cannot make a pipe: ") + strerror(error), 1);
  }

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, input[0], 0);
  posix_spawn_file_actions_adddup2(&actions, third[0], 3);
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
  close(third[0]);
  if (error != 0) {
    close(input[1]);
    close(third[1]);
    throw CommandFailure("cannot start " + path + ": " + strerror(error), 1);
  }
  return {pid, input[1], third[1]};
}

int writeAll(int fd, const void* data, size_t size, bool (*stop)()) {
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t written = write(fd, bytes, size);
    if (written < 0) {
      if (errno == EINTR && !stop()) continue;
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

}  // namespace corvexa::tool
