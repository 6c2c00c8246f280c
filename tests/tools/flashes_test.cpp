// The flash counter on patterns whose count is known, and the show's count
// through `corvexa-tool flashes`, held to the figure the README records.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "effects/framebuffer.h"
#include "tests/tools/tool_run.h"
#include "tools/corvexa-tool/flash_counter.h"

using namespace corvexa;
using namespace corvexa::corvexa_tool;

namespace {

// A second of a square of side `side` in the screen's middle that shows
// `on` for 3 ticks and `off` for 3 (10 Hz) on black; side 0 is the whole screen.
FlashCount countSquareWave(uint32_t on, uint32_t off, int32_t side = 0) {
  std::vector<uint32_t> frames[2] = {std::vector<uint32_t>(kPixelCount),
                                     std::vector<uint32_t>(kPixelCount)};
  for (int32_t i = 0; i < kPixelCount; i++) {
    int32_t x = i % kScreenWidth - kScreenWidth / 2, y = i / kScreenWidth - kScreenHeight / 2;
    bool inside = side == 0 || (2 * std::abs(x) < side && 2 * std::abs(y) < side);
    frames[0][i] = inside ? on : 0;
    frames[1][i] = inside ? off : 0;
  }
  FlashCounter counter;
  for (int32_t tick = 1; tick <= kTicksPerSecond; tick++)
    counter.add(frames[(tick - 1) / 3 % 2].data());
  return counter.count();
}

TEST(FlashCounter, CountsWcagFlashesOverAQuarterField) {
  // Black and white at 10 Hz: 20 transitions, 10 flashes in the second.
  FlashCount white = countSquareWave(0xFFFFFF, 0);
  EXPECT_EQ(white.general.flashes, 10);
  EXPECT_EQ(white.red.flashes, 0);
  EXPECT_EQ(white.general.firstTick, 1);  // the first second holds ten
  // Saturated red on black: red flashes, and general ones (luminance 0.21).
  FlashCount red = countSquareWave(0x0000FF, 0);
  EXPECT_EQ(red.red.flashes, 10);
  EXPECT_EQ(red.general.flashes, 10);
  // Orange is not saturated red: R / (R + G + B) is 0.74 on linear values.
  EXPECT_EQ(countSquareWave(0x00A0FF, 0).red.flashes, 0);
  // Greys 0.107 apart in luminance (sRGB 128 and 154) flash; greys 0.05
  // apart (128 and 113), and light greys whose darker one is above 0.8 (0.85
  // and 1.0), do not.
  EXPECT_EQ(countSquareWave(0x9A9A9A, 0x808080).general.flashes, 10);
  EXPECT_EQ(countSquareWave(0x808080, 0x717171).general.flashes, 0);
  EXPECT_EQ(countSquareWave(0xFFFFFF, 0xEEEEEE).general.flashes, 0);
  // A square larger than a quarter field flashes; one smaller does not.
  EXPECT_EQ(countSquareWave(0xFFFFFF, 0, 40).general.flashes, 10);
  EXPECT_EQ(countSquareWave(0xFFFFFF, 0, 24).general.flashes, 0);
}

// The figures the README records for ticks 1 to 5,200: the show may flash
// less, never more.
constexpr int32_t kRecordedGeneral = 5;
constexpr int32_t kRecordedRed = 2;

TEST(FlashesCommand, TheShowFlashesNoMoreThanRecorded) {
  ScratchDirectory dir("flashes");
  ToolResult result = runTool("flashes --out " + dir / "flashes.tsv");
  ASSERT_EQ(result.status, 0) << result.output;
  // "KIND flashes: at most N in one second"
  auto most = [&](const std::string& kind) {
    const std::string words = kind + " flashes: at most ";
    size_t at = result.output.find(words);
    return at == std::string::npos ? -1 : std::atoi(result.output.c_str() + at + words.size());
  };
  const int32_t general = most("general"), red = most("red");
  ASSERT_GE(general, 0) << result.output;
  ASSERT_GE(red, 0) << result.output;
  EXPECT_LE(general, kRecordedGeneral) << result.output;
  EXPECT_LE(red, kRecordedRed) << result.output;
  EXPECT_NE(result.output.find("ticks 1-5200"), std::string::npos) << result.output;

  // The table: one row a second, 87 of them, the last one short; its most
  // are the printed ones.
  std::ifstream table(dir / "flashes.tsv");
  std::string line, ticks;
  std::getline(table, line);
  EXPECT_EQ(line, "second\tticks\tgeneral\tred");
  int32_t rows = 0, second = 0, g = 0, r = 0, mostGeneral = 0, mostRed = 0;
  while (table >> second >> ticks >> g >> r) {
    EXPECT_EQ(second, ++rows);
    mostGeneral = std::max(mostGeneral, g), mostRed = std::max(mostRed, r);
  }
  EXPECT_EQ(rows, 87);
  EXPECT_EQ(ticks, "5161-5200");
  EXPECT_EQ(mostGeneral, general);
  EXPECT_EQ(mostRed, red);
}

}  // namespace
