#include "tools/make-song/gzip_file.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace corvexa::make_song {

namespace {

// Feeds all bytes to the pipe; false when the reader went away.
bool writeAll(int fd, const std::vector<uint8_t>& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

void writeGzip(const std::string& path, const std::vector<uint8_t>& bytes) {
  const std::string temporary = path + ".part";
  int output = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (output < 0) throw std::runtime_error(path + ": cannot write: " + std::strerror(errno));
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) {
    close(output);
    unlink(temporary.c_str());
    throw std::runtime_error(path + ": cannot start gzip");
  }
  pid_t child = fork();
  if (child == 0) {
    dup2(pipeEnds[0], 0);
    dup2(output, 1);
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    close(output);
    execlp("gzip", "gzip", "-9", "-n", "-c", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipeEnds[0]);
  close(output);
  bool fed = child > 0 && writeAll(pipeEnds[1], bytes);
  close(pipeEnds[1]);
  int status = -1;
  if (child > 0) waitpid(child, &status, 0);
  if (!fed || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    unlink(temporary.c_str());
    throw std::runtime_error(path + ": gzip failed" +
                             (WIFEXITED(status) && WEXITSTATUS(status) == 127
                                  ? std::string(" (is gzip installed?)")
                                  : std::string()));
  }
  if (rename(temporary.c_str(), path.c_str()) != 0) {
    unlink(temporary.c_str());
    throw std::runtime_error(path + ": cannot write: " + std::strerror(errno));
  }
}

}  // namespace corvexa::make_song
