// corvexa-tool: Corvexa's engine without a window, for pictures, sound and
// checks from the command line. `corvexa-tool --help` lists the commands.
//
// Its command line is every tool's (tools/common/command_line.h): inputs
// positional, outputs --out PATH or --out-dir DIR, --help and --version.
//
// Exit status as every tool's (tools/common/tool_failure.h): 0 done, 2 bad
// arguments or an input it refuses, 1 the system failed; one line on stderr
// says why.
#include <string>
#include <vector>

#include "tools/common/command_line.h"
#include "tools/common/run_tool.h"
#include "tools/corvexa-tool/command.h"

using namespace corvexa::corvexa_tool;
namespace tools = corvexa::tools;

int main(int argc, char** argv) {
  CLI::App app{"corvexa-tool: Corvexa's engine run headless", "corvexa-tool"};
  app.require_subcommand(1, 1);
  tools::addVersionFlag(app);
  std::vector<Command> commands = {
      addFramesCommand(app), addGifCommand(app),  addGunzipCommand(app),  addXmCommand(app),
      addStreamCommand(app), addSongCommand(app), addCaptureCommand(app), addFlashesCommand(app),
  };
  tools::CommandWords words = tools::commandWords(argc, argv);
  for (const Command& command : commands) {
    if (command.modernise && !words.empty() && words[0] == command.arguments->get_name())
      command.modernise(words);
  }
  const int status = tools::parseCommandLine(app, words);
  if (status >= 0) return status;
  for (const Command& command : commands) {
    if (command.arguments->parsed())
      return tools::runTool("corvexa-tool " + command.arguments->get_name(), command.run);
  }
  return tools::kRefused;
}
