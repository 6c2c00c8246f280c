// The commands of corvexa-tool. Each file of this folder adds one subcommand
// to the command line and says how to run it once its arguments are parsed,
// and how to read the old spellings it still takes.
#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <string>

#include "core/demo_state.h"
#include "tools/common/command_line.h"
#include "tools/common/tool_failure.h"

namespace corvexa::corvexa_tool {

struct Command {
  CLI::App* arguments;
  std::function<int()> run;  // the exit status
  // Rewrites the command's old spellings in words (words[0] is its name) into
  // the new ones, noting each on stderr; empty for a command without any.
  std::function<void(tools::CommandWords&)> modernise;
};

using tools::kSystemFailed;
using tools::ToolFailure;

Command addFramesCommand(CLI::App& app);
Command addGifCommand(CLI::App& app);
Command addGunzipCommand(CLI::App& app);
Command addXmCommand(CLI::App& app);
Command addStreamCommand(CLI::App& app);
Command addSongCommand(CLI::App& app);
Command addCaptureCommand(CLI::App& app);
Command addFlashesCommand(CLI::App& app);

}  // namespace corvexa::corvexa_tool
