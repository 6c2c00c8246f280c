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
  tools::CommandLine line{"corvexa-tool", "corvexa-tool: Corvexa's engine run headless"};
  line.requireOneCommand();
  const tools::Arguments arguments = line.arguments();
  std::vector<Command> commands = {
      addFramesCommand(arguments),  addGifCommand(arguments),     addGunzipCommand(arguments),
      addXmCommand(arguments),      addStreamCommand(arguments),  addSongCommand(arguments),
      addCaptureCommand(arguments), addFlashesCommand(arguments),
  };
  tools::CommandWords words = tools::commandWords(argc, argv);
  for (const Command& command : commands) {
    if (command.modernise && !words.empty() && words[0] == command.arguments.name())
      command.modernise(words);
  }
  const int status = tools::parseCommandLine(line, words);
  if (status >= 0) return status;
  for (const Command& command : commands) {
    if (command.arguments.chosen())
      return tools::runTool("corvexa-tool " + command.arguments.name(), command.run);
  }
  return tools::kRefused;
}
