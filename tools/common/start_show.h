// Start-up for a tool: the show built into state, or a ToolFailure (status 1)
// naming the damaged embedded file.
#pragma once

#include "core/demo_state.h"

namespace corvexa::tools {

void startShow(DemoState& state);

}  // namespace corvexa::tools
