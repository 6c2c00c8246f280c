// Child processes, started one way (posix_spawn) for every tool: capture
// feeds ffmpeg frames on its standard input and sound on its descriptor 3,
// each pipe from its own thread so that neither waits for the other;
// make-song feeds gzip on its standard input with its standard output in an
// OutputFile.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace corvexa::tools {

struct ChildProcess {
  pid_t pid = -1;
  int inputFd = -1;  // the write end of the child's standard input
  int thirdFd = -1;  // the write end of the child's descriptor 3, or -1
};

struct ChildStreams {
  bool thirdPipe = false;  // give the child a pipe at descriptor 3 too
  int outputFd = -1;       // the child's standard output; -1: this process's
};

// The full path of program on PATH. Throws ToolFailure (status 1)
// "PROGRAM not found on PATH; install the Debian package PACKAGE" when it is
// not there.
std::string findProgram(const std::string& program, const std::string& debianPackage);

// Starts path with arguments (argument 0 included). The child's standard error,
// and its standard output unless streams says otherwise, are this process's;
// SIGPIPE is at its default in the child even though the tools ignore it.
// Throws ToolFailure (status 1) when it cannot start.
ChildProcess startChild(const std::string& path, const std::vector<std::string>& arguments,
                        const ChildStreams& streams = {});

// Writes size bytes, retrying short writes and interrupted calls until stop()
// says otherwise. Returns 0, EINTR once stop() is true, or the errno of the
// failed write.
int writeAll(int fd, const void* data, size_t size, bool (*stop)());

// Waits for the child to end. Returns its exit status, or 128 + the signal
// that ended it.
int waitChild(pid_t pid);

// "exit status 3" or "ended by signal 9", of waitChild's result.
std::string describeChildStatus(int status);

}  // namespace corvexa::tools
