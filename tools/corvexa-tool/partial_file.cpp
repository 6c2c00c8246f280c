#include "tools/corvexa-tool/partial_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tools/corvexa-tool/command.h"

namespace corvexa::tool {

PartialFile::PartialFile(const std::string& out) : path_(out + ".partial-XXXXXX") {
  int fd = mkstemp(path_.data());
  if (fd < 0) throw CommandFailure(out + ": cannot create (" + strerror(errno) + ")", 1);
  close(fd);
}

PartialFile::~PartialFile() {
  if (!kept_) std::remove(path_.c_str());
}

int64_t PartialFile::size() const {
  struct stat info;
  return stat(path_.c_str(), &info) == 0 ? static_cast<int64_t>(info.st_size) : 0;
}

void PartialFile::keepAs(const std::string& out) {
  // mkstemp made it readable by its owner only.
  mode_t mask = umask(0);
  umask(mask);
  chmod(path_.c_str(), 0666 & ~mask);
  if (std::rename(path_.c_str(), out.c_str()) != 0)
    throw CommandFailure(out + ": cannot write (" + strerror(errno) + ")", 1);
  kept_ = true;
}

}  // namespace corvexa::tool
