// How every tool of this folder fails: one exception type carrying one line
// of text and the exit status that goes with it.
//
// Exit statuses, the same for corvexa-tool, make-fonts, make-icons and make-song:
//   0  done;
//   2  bad arguments, or an input file the tool refuses (missing, not a
//      regular file, too large, or malformed);
//   1  the system failed: an output that cannot be written (a full disk, a
//      missing folder), a program that is not installed or fails, a damaged
//      embedded file, no memory.
// Ctrl-C (SIGINT) or SIGTERM ends a tool by that signal (a shell reports
// 130 or 143) after removing what it had begun to write.
#pragma once

#include <stdexcept>
#include <string>

namespace corvexa::tools {

constexpr int kRefused = 2;
constexpr int kSystemFailed = 1;

// A failure that ends the tool with message (one line, no newline) and
// status.
struct ToolFailure : std::runtime_error {
  int status;
  explicit ToolFailure(const std::string& message, int exitStatus = kRefused)
      : std::runtime_error(message), status(exitStatus) {}
};

}  // namespace corvexa::tools
