// Any text as corvexa-tool's tick list: a set of ticks within 1..65535, or a
// ToolFailure with exit status 2 and a one-line message.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tools/common/tool_failure.h"
#include "tools/corvexa-tool/tick_list.h"

using namespace corvexa::corvexa_tool;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096) return -1;
  const std::string list(reinterpret_cast<const char*>(data), size);
  try {
    const std::set<int32_t> ticks = parseTickList(list);
    if (ticks.empty() || *ticks.begin() < 1 || *ticks.rbegin() > kMaxListedTick) abort();
  } catch (const corvexa::tools::ToolFailure& failure) {
    const std::string message = failure.what();
    if (failure.status != 2 || message.empty()) abort();
  }
  return 0;
}
