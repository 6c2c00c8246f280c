// The commands of corvexa-tool. Each file of this folder adds one subcommand
// to the command line and says how to run it once its arguments are parsed,
// and how to read the old spellings it still takes.
#pragma once

#include <functional>
#include <string>

#include "core/demo_state.h"
#include "tools/common/command_line.h"
#include "tools/common/tool_failure.h"

namespace corvexa::corvexa_tool {

struct Command {
  tools::Arguments arguments;
  std::function<int()> run;  // the exit status
  // Rewrites the command's old spellings in words (words[0] is its name) into
  // the new ones, noting each on stderr; empty for a command without any.
  std::function<void(tools::CommandWords&)> modernise;
};

using tools::kSystemFailed;
using tools::ToolFailure;

Command addFramesCommand(const tools::Arguments& line);
Command addGifCommand(const tools::Arguments& line);
Command addGunzipCommand(const tools::Arguments& line);
Command addXmCommand(const tools::Arguments& line);
Command addStreamCommand(const tools::Arguments& line);
Command addSongCommand(const tools::Arguments& line);
Command addCaptureCommand(const tools::Arguments& line);
Command addFlashesCommand(const tools::Arguments& line);

}  // namespace corvexa::corvexa_tool
