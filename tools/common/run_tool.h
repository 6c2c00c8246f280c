// The frame of every tool's main: interrupts caught, failures reported as one
// line "NAME: message" on stderr with their exit status (tool_failure.h).
#pragma once

#include <functional>
#include <string>

namespace corvexa::tools {

// Runs body and returns its exit status. A ToolFailure prints
// "name: message" and gives its status; running out of memory or any other
// exception prints the same way and gives status 1. Ctrl-C or SIGTERM, once
// body has unwound, ends the process by that signal.
int runTool(const std::string& name, const std::function<int()>& body);

}  // namespace corvexa::tools
