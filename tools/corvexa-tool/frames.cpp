// corvexa-tool frames --ticks 1,99,520,4600-4610 --out-dir DIR [--raw]
//
// Runs the show as on a 60 Hz display (one tick per frame, every frame drawn:
// the jumping word's letters keep state from draw to draw) and writes the
// frame drawn after each listed tick as DIR/tick-TTTTT.png, and with --raw
// also DIR/tick-TTTTT.u32: the 57,600 pixels as little-endian 32-bit values.
//
// The old spelling --out DIR still works for this release, with a note.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "tools/common/png_file.h"
#include "tools/common/start_show.h"
#include "tools/corvexa-tool/command.h"
#include "tools/corvexa-tool/show_clock.h"
#include "tools/corvexa-tool/tick_list.h"

namespace corvexa::corvexa_tool {

namespace {

struct FramesOptions {
  std::string ticks;
  std::string out;
  bool raw = false;
};

int runFrames(const FramesOptions& options) {
  std::set<int32_t> ticks = parseTickList(options.ticks);
  std::error_code error;
  std::filesystem::create_directories(options.out, error);
  if (error)
    throw ToolFailure(options.out + ": cannot create directory (" + error.message() + ")",
                      kSystemFailed);

  auto state = std::make_unique<DemoState>();
  tools::startShow(*state);
  ShowClock clock(*state, 60);
  int32_t last = *ticks.rbegin();
  while (clock.tick() < last) {
    const Framebuffer& frame = clock.step();
    if (!ticks.count(clock.tick())) continue;
    char name[32];
    std::snprintf(name, sizeof name, "tick-%05d", clock.tick());
    std::string base = options.out + "/" + name;
    tools::writePng(base + ".png", frame.items, kScreenWidth, kScreenHeight, false);
    if (options.raw) tools::writeRawPixels(base + ".u32", frame.items, frame.count);
  }
  std::printf("wrote %zu frame%s to %s\n", ticks.size(), ticks.size() == 1 ? "" : "s",
              options.out.c_str());
  return 0;
}

}  // namespace

Command addFramesCommand(const tools::Arguments& line) {
  auto options = std::make_shared<FramesOptions>();
  tools::Arguments command =
      line.addCommand("frames", "write frames of the show as PNG (and raw) files");
  command.addRequiredOption("--ticks", options->ticks, "ticks to write: 1,99,520,4600-4610",
                            "LIST");
  command.addOutputDirectory(options->out, "the folder for tick-TTTTT.png");
  command.addFlag("--raw", options->raw, "also write tick-TTTTT.u32 (little-endian pixels)");
  // The old spelling: --out DIR.
  auto modernise = [](tools::CommandWords& words) {
    int32_t at = tools::findOption(words, 1, "--out");
    if (at < 0) return;
    words[at].replace(0, 5, "--out-dir");
    tools::noteOldSpelling("corvexa-tool frames", "--out DIR", "--out-dir DIR");
  };
  return {command, [options] { return runFrames(*options); }, modernise};
}

}  // namespace corvexa::corvexa_tool
