#include "core/demo_state.h"
#include "tools/corvexa-tool/command.h"

namespace corvexa::tool {

void startShow(DemoState& state) {
  StartUpResult started = startUp(state);
  if (started.ok()) return;
  char message[160];
  describeStartUpFailure(started, message, sizeof message);
  throw ToolFailure(message, kSystemFailed);
}

}  // namespace corvexa::tool
