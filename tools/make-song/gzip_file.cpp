#include "tools/make-song/gzip_file.h"

#include <unistd.h>

#include <cstring>

#include "tools/common/child_process.h"
#include "tools/common/output_file.h"
#include "tools/common/tool_failure.h"

namespace corvexa::make_song {

namespace {

bool never() {
  return false;
}

}  // namespace

void writeGzip(const std::string& path, const std::vector<uint8_t>& bytes) {
  const std::string gzip = tools::findProgram("gzip", "gzip");
  tools::OutputFile output(path);
  tools::ChildProcess child =
      tools::startChild(gzip, {"gzip", "-9", "-n", "-c"}, {.outputFd = output.fd()});
  const int error = tools::writeAll(child.inputFd, bytes.data(), bytes.size(), never);
  close(child.inputFd);
  const int status = tools::waitChild(child.pid);
  if (status != 0)
    throw tools::ToolFailure(path + ": gzip failed (" + tools::describeChildStatus(status) + ")",
                             tools::kSystemFailed);
  if (error != 0)
    throw tools::ToolFailure(path + ": gzip stopped reading (" + std::strerror(error) + ")",
                             tools::kSystemFailed);
  output.commit();
}

}  // namespace corvexa::make_song
