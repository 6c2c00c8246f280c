#include "tools/common/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "tools/common/tool_failure.h"

namespace corvexa::tools {

namespace {

// Closes the descriptor however the read ends.
struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) close(fd);
  }
};

std::string larger(const std::string& path, int64_t maxBytes) {
  return path + ": larger than " + groupedDigits(maxBytes) + " bytes";
}

}  // namespace

std::string groupedDigits(int64_t n) {
  std::string digits = std::to_string(n < 0 ? -n : n);
  for (int64_t at = static_cast<int64_t>(digits.size()) - 3; at > 0; at -= 3)
    digits.insert(static_cast<size_t>(at), ",");
  return n < 0 ? "-" + digits : digits;
}

std::vector<uint8_t> readInputFile(const std::string& path, int64_t maxBytes) {
  // O_NONBLOCK: opening a pipe that nobody writes returns at once; it is
  // refused below. It changes nothing for a regular file.
  Descriptor file{open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
  if (file.fd < 0) throw ToolFailure(path + ": cannot open (" + std::strerror(errno) + ")");
  struct stat info;
  if (fstat(file.fd, &info) != 0)
    throw ToolFailure(path + ": cannot read (" + std::strerror(errno) + ")", kSystemFailed);
  if (!S_ISREG(info.st_mode)) throw ToolFailure(path + ": not a regular file");
  if (info.st_size > maxBytes) throw ToolFailure(larger(path, maxBytes));

  // Read to the end rather than trust the size: the file may grow meanwhile.
  std::vector<uint8_t> bytes(static_cast<size_t>(info.st_size) + 1);
  size_t count = 0;
  for (;;) {
    if (count == bytes.size()) {
      if (static_cast<int64_t>(count) > maxBytes) throw ToolFailure(larger(path, maxBytes));
      bytes.resize(std::min<size_t>(2 * count, static_cast<size_t>(maxBytes) + 1));
    }
    ssize_t n = read(file.fd, bytes.data() + count, bytes.size() - count);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0)
      throw ToolFailure(path + ": cannot read (" + std::strerror(errno) + ")", kSystemFailed);
    if (n == 0) break;
    count += static_cast<size_t>(n);
  }
  if (static_cast<int64_t>(count) > maxBytes) throw ToolFailure(larger(path, maxBytes));
  bytes.resize(count);
  return bytes;
}

std::string readInputText(const std::string& path, int64_t maxBytes) {
  std::vector<uint8_t> bytes = readInputFile(path, maxBytes);
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace corvexa::tools
