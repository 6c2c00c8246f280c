// A program run as a child process that reads two pipes: its standard input
// and file descriptor 3. corvexa-tool capture feeds ffmpeg this way, frames on
// one pipe and sound on the other, each from its own thread so that neither
// waits for the other.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace corvexa::tool {

struct ChildProcess {
  pid_t pid = -1;
  int inputFd = -1;  // the write end of the child's standard input
  int thirdFd = -1;  // the write end of the child's descriptor 3
};

// The full path of program on PATH, or "" when it is not there.
std::string findOnPath(const std::string& program);

// Starts path with arguments (argument 0 included). The child's standard output
// and error are this process's; SIGPIPE is at its default in the child even when
// this process ignores it. Throws CommandFailure (status 1) when it cannot start.
ChildProcess startChild(const std::string& path, const std::vector<std::string>& arguments);

// Writes size bytes, retrying short writes and interrupted calls unless stop()
// says otherwise. Returns 0, or the errno of the failed write.
int writeAll(int fd, const void* data, size_t size, bool (*stop)());

// Waits for the child to end. Returns its exit status, or 128 + the signal
// that ended it.
int waitChild(pid_t pid);

}  // namespace corvexa::tool
