#include "tools/common/start_show.h"

#include "tools/common/tool_failure.h"

namespace corvexa::tools {

void startShow(DemoState& state) {
  StartUpResult started = startUp(state);
  if (started.ok()) return;
  char message[160];
  describeStartUpFailure(started, message, sizeof message);
  throw ToolFailure(message, kSystemFailed);
}

}  // namespace corvexa::tools
