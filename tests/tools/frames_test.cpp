#include <gtest/gtest.h>

#include <memory>

#include "core/demo_state.h"
#include "tests/tools/tool_run.h"

using namespace corvexa;

namespace {

TEST(FramesCommand, WritesTheFrameDrawnAfterEachListedTick) {
  ScratchDirectory out("frames");
  ToolResult result = runTool("frames --ticks 3,99-100 --raw --out-dir " + out.path.string());
  ASSERT_EQ(result.status, 0) << result.output;
  for (const char* name : {"tick-00003", "tick-00099", "tick-00100"}) {
    EXPECT_TRUE(std::filesystem::exists(out / (std::string(name) + ".png"))) << name;
  }
  EXPECT_FALSE(std::filesystem::exists(out / "tick-00098.png"));

  // The raw frame at tick 99 is what the engine draws after 99 ticks.
  auto state = std::make_unique<DemoState>();
  startUp(*state);
  std::vector<uint32_t> pixels(kPixelCount);
  for (int32_t tick = 1; tick <= 99; tick++) {
    state->demo->update(PointerState{});
    state->demo->draw({kPixelCount, pixels.data()});
  }
  std::vector<uint8_t> raw = readBytes(out / "tick-00099.u32");
  ASSERT_EQ(raw.size(), 4u * kPixelCount);
  for (int32_t i = 0; i < kPixelCount; i++) {
    uint32_t pixel = raw[4 * i] | raw[4 * i + 1] << 8 | raw[4 * i + 2] << 16 |
                     static_cast<uint32_t>(raw[4 * i + 3]) << 24;
    ASSERT_EQ(pixel, pixels[i]) << "pixel " << i;
  }
}

TEST(FramesCommand, BadArgumentsGiveOneLineAndStatus2) {
  ScratchDirectory out("frames-bad");
  for (std::string arguments : {"frames --out-dir " + out.path.string(),  // no ticks
                                "frames --ticks 0 --out-dir " + out.path.string(),
                                "frames --ticks 5-3 --out-dir " + out.path.string(),
                                "frames --ticks 1,,2 --out-dir " + out.path.string(),
                                "frames --ticks abc --out-dir " + out.path.string(),
                                "frames --ticks 1 --out-dir " + out.path.string() + " --bogus"}) {
    ToolResult result = runTool(arguments);
    EXPECT_EQ(result.status, 2) << arguments;
    EXPECT_EQ(std::count(result.output.begin(), result.output.end(), '\n'), 1)
        << arguments << ": " << result.output;
  }
}

}  // namespace
