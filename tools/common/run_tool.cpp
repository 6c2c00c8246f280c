#include "tools/common/run_tool.h"

#include <cstdio>
#include <new>

#include "tools/common/interrupts.h"
#include "tools/common/tool_failure.h"

namespace corvexa::tools {

namespace {

int report(const std::string& name, const char* message, int status) {
  std::fprintf(stderr, "%s: %s\n", name.c_str(), message);
  return status;
}

}  // namespace

int runTool(const std::string& name, const std::function<int()>& body) {
  catchInterrupts();
  int status = 0;
  try {
    status = body();
  } catch (const ToolFailure& failure) {
    status = report(name, failure.what(), failure.status);
  } catch (const std::bad_alloc&) {
    status = report(name, "out of memory", kSystemFailed);
  } catch (const std::exception& error) {
    status = report(name, error.what(), kSystemFailed);
  }
  std::fflush(stdout);
  endIfInterrupted();
  return status;
}

}  // namespace corvexa::tools
