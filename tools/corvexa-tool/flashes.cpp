// corvexa-tool flashes --out FLASHES.tsv [--last-tick N]
//
// Runs the show as frames does (60 Hz, one tick a frame) from tick 1 to N
// (default 5,200: the whole first pass and the start of the last scene) and
// counts its flashes as WCAG 2.3.1 does (flash_counter.h says how): prints
// the second with the most general flashes and the one with the most red
// flashes, each with its ticks and the field where they were counted, and
// the most in any second; writes the most of each kind second by second as
// a table with tab-separated columns:
//   second  ticks  general  red
//   1       1-60   0        0
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "tools/common/output_file.h"
#include "tools/common/start_show.h"
#include "tools/corvexa-tool/command.h"
#include "tools/corvexa-tool/flash_counter.h"
#include "tools/corvexa-tool/show_clock.h"
#include "tools/corvexa-tool/tick_list.h"

namespace corvexa::corvexa_tool {

namespace {

constexpr int32_t kFirstPassTicks = 5200;

struct FlashesOptions {
  int32_t lastTick = kFirstPassTicks;
  std::string out;
};

void printWorst(const char* kind, const WorstSecond& worst) {
  std::printf("%s flashes: at most %d in one second", kind, worst.flashes);
  if (worst.flashes > 0) {
    std::printf(", ticks %d-%d, in the field at x %d, y %d", worst.firstTick,
                worst.firstTick + kTicksPerSecond - 1, worst.fieldX, worst.fieldY);
  }
  std::printf("\n");
}

int runFlashes(const FlashesOptions& options) {
  if (options.lastTick < 1 || options.lastTick > kMaxListedTick) {
    throw ToolFailure("bad --last-tick " + std::to_string(options.lastTick) +
                      ": the ticks run from 1 to " + std::to_string(kMaxListedTick));
  }
  auto state = std::make_unique<DemoState>();
  tools::startShow(*state);
  ShowClock clock(*state, kTicksPerSecond);
  auto counter = std::make_unique<FlashCounter>();
  while (clock.tick() < options.lastTick) counter->add(clock.step().items);

  const FlashCount& count = counter->count();
  std::string table = "second\tticks\tgeneral\tred\n";
  for (size_t second = 0; second < count.generalBySecond.size(); second++) {
    int32_t first = static_cast<int32_t>(second) * kTicksPerSecond + 1;
    table += std::to_string(second + 1) + "\t" + std::to_string(first) + "-" +
             std::to_string(std::min(first + kTicksPerSecond - 1, options.lastTick)) + "\t" +
             std::to_string(count.generalBySecond[second]) + "\t" +
             std::to_string(count.redBySecond[second]) + "\n";
  }
  tools::writeOutputFile(options.out, table.data(), table.size());
  std::printf("ticks 1-%d, %d a second; fields of %d x %d pixels, one every %d pixels\n",
              options.lastTick, kTicksPerSecond, kFieldWidth, kFieldHeight, kFieldStep);
  printWorst("general", count.general);
  printWorst("red", count.red);
  int32_t most = std::max(count.general.flashes, count.red.flashes);
  std::printf("most flashes in one second: %d (%s WCAG 2.3.1's three); wrote %s\n", most,
              most > 3 ? "more than" : "within", options.out.c_str());
  return 0;
}

}  // namespace

Command addFlashesCommand(const tools::Arguments& line) {
  auto options = std::make_shared<FlashesOptions>();
  tools::Arguments command = line.addCommand(
      "flashes", "count the show's flashes a second as WCAG 2.3.1 does (general and red)");
  command.addOption("--last-tick", options->lastTick, "the last tick to count (default 5200)", "N");
  command.addOutput(options->out, "the table of flashes second by second (TSV)");
  return {command, [options] { return runFlashes(*options); }, {}};
}

}  // namespace corvexa::corvexa_tool
