// The commands of corvexa-tool. Each file of this folder adds one subcommand
// to the command line and says how to run it once its arguments are parsed.
#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <string>

#include "core/demo_state.h"
#include "tools/common/tool_failure.h"

namespace corvexa::tool {

struct Command {
  CLI::App* arguments;
  std::function<int()> run;  // the exit status
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

}  // namespace corvexa::tool
