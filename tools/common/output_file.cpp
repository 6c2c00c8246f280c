#include "tools/common/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tools/common/interrupts.h"
#include "tools/common/tool_failure.h"

namespace corvexa::tools {

namespace {

// The rights a new file gets from open(): 0666 less the umask. Read where no
// other thread creates files (before a tool starts any).
mode_t usualMode() {
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

}  // namespace

OutputFile::OutputFile(const std::string& path) : path_(path), target_(path) {
  if (path.empty()) throw ToolFailure("the output file name is empty");
  struct stat info;
  if (stat(path.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) throw ToolFailure(path + ": is a directory");
    if (!S_ISREG(info.st_mode)) direct_ = true;
    struct stat link;
    if (lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
      char* resolved = realpath(path.c_str(), nullptr);
      if (resolved == nullptr) fail(errno);
      target_ = resolved;
      std::free(resolved);
    }
  }
  if (direct_) {
    written_ = target_;
    fd_ = open(target_.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd_ < 0) fail(errno);
    return;
  }
  const mode_t mode = usualMode();
  written_ = target_ + ".partial-XXXXXX";
  // No interrupt between creating the file and recording it for removal.
  InterruptsBlocked blocked;
  fd_ = mkostemp(written_.data(), O_CLOEXEC);
  if (fd_ < 0) fail(errno);
  slot_ = watchTemporaryFile(written_.c_str());
  // mkstemp made it readable by its owner only.
  fchmod(fd_, mode);
}

OutputFile::~OutputFile() {
  if (fd_ >= 0) close(fd_);
  if (done_ || direct_) return;
  InterruptsBlocked blocked;
  unlink(written_.c_str());
  forgetTemporaryFile(slot_);
}

void OutputFile::fail(int error) const {
  throw ToolFailure(path_ + ": cannot write (" + std::strerror(error) + ")", kSystemFailed);
}

void OutputFile::write(const void* data, size_t size) {
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = ::write(fd_, bytes, size);
    if (n < 0 && errno == EINTR && !interrupted()) continue;
    if (n < 0) fail(errno);
    bytes += n;
    size -= static_cast<size_t>(n);
  }
}

int64_t OutputFile::size() const {
  struct stat info;
  return stat(written_.c_str(), &info) == 0 ? static_cast<int64_t>(info.st_size) : 0;
}

void OutputFile::commit() {
  if (interrupted()) throw ToolFailure("interrupted; " + path_ + " not written", kSystemFailed);
  int fd = fd_;
  fd_ = -1;
  if (close(fd) != 0) fail(errno);
  if (direct_) return;
  InterruptsBlocked blocked;
  if (std::rename(written_.c_str(), target_.c_str()) != 0) fail(errno);
  forgetTemporaryFile(slot_);
  done_ = true;
}

void writeOutputFile(const std::string& path, const void* data, size_t size) {
  OutputFile file(path);
  file.write(data, size);
  file.commit();
}

}  // namespace corvexa::tools
