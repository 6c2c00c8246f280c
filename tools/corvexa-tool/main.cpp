// corvexa-tool: Corvexa's engine without a window, for pictures, sound and
// checks from the command line. `corvexa-tool --help` lists the commands.
//
// The version it prints (CORVEXA_VERSION) comes from the CMake project.
//
// Exit status as every tool's (tools/common/tool_failure.h): 0 done, 2 bad
// arguments or an input it refuses, 1 the system failed; one line on stderr
// says why.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/common/run_tool.h"
#include "tools/corvexa-tool/command.h"

using namespace corvexa::tool;

int main(int argc, char** argv) {
  CLI::App app{"corvexa-tool: Corvexa's engine run headless", "corvexa-tool"};
  app.require_subcommand(1, 1);
  app.set_version_flag("--version", std::string("corvexa-tool ") + CORVEXA_VERSION);
  std::vector<Command> commands = {
      addFramesCommand(app), addGifCommand(app),  addGunzipCommand(app),  addXmCommand(app),
      addStreamCommand(app), addSongCommand(app), addCaptureCommand(app),
  };
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    std::fprintf(stderr, "corvexa-tool: %s\n", e.what());
    return corvexa::tools::kRefused;
  }
  for (const Command& command : commands) {
    if (command.arguments->parsed())
      return corvexa::tools::runTool("corvexa-tool " + command.arguments->get_name(), command.run);
  }
  return corvexa::tools::kRefused;
}
