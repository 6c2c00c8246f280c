// The commands of corvexa-tool. Each file of this folder adds one subcommand
// to the command line and says how to run it once its arguments are parsed.
#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <stdexcept>
#include <string>

#include "core/demo_state.h"

namespace corvexa::tool {

struct Command {
  CLI::App* arguments;
  std::function<int()> run;  // the exit status
};

// A failure that ends the command with a one-line message and an exit status.
struct CommandFailure : std::runtime_error {
  int status;
  CommandFailure(const std::string& message, int exitStatus = 2)
      : std::runtime_error(message), status(exitStatus) {}
};

// Start-up into state; a damaged embedded file ends the command (status 1).
void startShow(DemoState& state);

Command addFramesCommand(CLI::App& app);
Command addGifCommand(CLI::App& app);
Command addGunzipCommand(CLI::App& app);
Command addXmCommand(CLI::App& app);
Command addStreamCommand(CLI::App& app);
Command addSongCommand(CLI::App& app);
Command addCaptureCommand(CLI::App& app);

}  // namespace corvexa::tool
