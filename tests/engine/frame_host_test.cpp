#include "core/frame_host.h"

#include <gtest/gtest.h>

#include <vector>

using namespace corvexa;

namespace {

// A Demo that only counts: ticks run, and the frames drawn.
struct CountingDemo : Demo {
  int32_t ticks = 0;
  int32_t draws = 0;
  bool update(const PointerState& pointer) override {
    if (pointer.pressed > 0) return false;
    ticks++;
    return true;
  }
  void draw(Framebuffer) override { draws++; }
};

struct Driver {
  Arena arena;
  CountingDemo demo;
  FrameHost host = makeFrameHost(arena, demo);
  int64_t frame = 0;

  // Steps frames at a display of fps from a clock starting at startMs; returns
  // the ticks each frame ran.
  std::vector<int32_t> run(int32_t frames, int32_t fps, int64_t startMs = 5000) {
    std::vector<int32_t> perFrame;
    for (int32_t i = 0; i < frames; i++, frame++) {
      int32_t before = demo.ticks;
      int64_t ms = startMs + frame * 1000 / fps;
      frameStep(host, PointerState{}, static_cast<int32_t>(static_cast<uint32_t>(ms)));
      perFrame.push_back(demo.ticks - before);
    }
    return perFrame;
  }
};

int32_t sum(const std::vector<int32_t>& values, size_t from = 0) {
  int32_t total = 0;
  for (size_t i = from; i < values.size(); i++) total += values[i];
  return total;
}

TEST(FrameStep, FiftyEightToSixtyTwoFramesPerSecondRunOneTickPerFrame) {
  for (int32_t fps : {58, 60, 62}) {
    Driver driver;
    std::vector<int32_t> ticks = driver.run(600, fps);
    for (int32_t t : ticks) ASSERT_EQ(t, 1) << fps << " Hz";
    EXPECT_EQ(driver.demo.draws, 600);
    EXPECT_EQ(driver.host.frameIncrementMs, 16);
  }
}

TEST(FrameStep, ThirtyFramesPerSecondRunTwoTicksPerFrameAfterTheFirstMeasurement) {
  Driver driver;
  std::vector<int32_t> ticks = driver.run(300, 30);
  // The first rate measurement is made at the 120th call.
  EXPECT_EQ(ticks[0], 1);
  EXPECT_EQ(driver.host.frameIncrementMs, 32);
  for (size_t i = 120; i < ticks.size(); i++) ASSERT_EQ(ticks[i], 2) << i;
}

TEST(FrameStep, OneHundredTwentyFramesPerSecondRunATickEverySecondFrame) {
  Driver driver;
  std::vector<int32_t> ticks = driver.run(600, 120);
  EXPECT_EQ(driver.host.frameIncrementMs, 8);
  EXPECT_EQ(sum(ticks, 120), 240);
  for (size_t i = 121; i < ticks.size(); i++) ASSERT_EQ(ticks[i] + ticks[i - 1], 1) << i;
}

// From the first measurement on, a minute of frames runs 3,600 ticks within
// 1 % at any rate, what 960 / rate leaves over being carried; before it, at
// the 120th frame, one tick a frame.
TEST(FrameStep, EveryRateRunsSixtyTicksASecond) {
  for (int32_t fps : {50, 57, 75, 100, 120, 143, 144, 165, 240}) {
    Driver driver;
    EXPECT_EQ(sum(driver.run(120, fps)), 120) << fps << " Hz";
    for (int32_t minute = 0; minute < 2; minute++)
      EXPECT_NEAR(sum(driver.run(60 * fps, fps)), 3600, 36) << fps << " Hz, minute " << minute;
  }
}

TEST(FrameStep, NearSixtyMeasuresResetTheAccumulatorAndOthersDivide) {
  Driver driver;
  driver.run(60, 60);  // records the time only
  // 60 frames in 1071 ms: rate 56, 960 / 56 = 17.
  driver.host.frames = 59;
  frameStep(driver.host, {}, driver.host.lastMeasurement + 1071);
  EXPECT_EQ(driver.host.frameIncrementMs, 17);
  EXPECT_EQ(driver.host.stepAccumulator, 17);
  // 60 frames in 1034 ms: rate 58, inside 58..62.
  driver.host.frames = 59;
  frameStep(driver.host, {}, driver.host.lastMeasurement + 1034);
  EXPECT_EQ(driver.host.frameIncrementMs, 16);
  EXPECT_EQ(driver.host.stepAccumulator, 16);
  // Rate 63: 960 / 63 = 15.
  driver.host.frames = 59;
  frameStep(driver.host, {}, driver.host.lastMeasurement + 952);
  EXPECT_EQ(driver.host.frameIncrementMs, 15);
}

TEST(FrameStep, RatesThatSayNothingKeepThePreviousIncrement) {
  Driver driver;
  driver.run(120, 30);
  ASSERT_EQ(driver.host.frameIncrementMs, 32);
  struct Case {
    const char* what;
    int32_t elapsedMs;
  };
  for (Case c : {Case{"over a minute: rate 0", 61000}, Case{"above 960 per second", 50},
                 Case{"no time at all", 0}, Case{"clock went backwards", -2000}}) {
    driver.host.frames = 59;
    int32_t before = driver.demo.ticks;
    frameStep(driver.host, {}, driver.host.lastMeasurement + c.elapsedMs);
    EXPECT_EQ(driver.host.frameIncrementMs, 32) << c.what;
    driver.run(10, 30);
    EXPECT_GT(driver.demo.ticks, before) << c.what << ": the ticks stopped";
  }
}

TEST(FrameStep, AMillisecondClockThatWrapsKeepsOneTickPerFrame) {
  Driver driver;
  // Start 3 seconds before the 32-bit clock wraps from 2^31 - 1 to -2^31.
  std::vector<int32_t> ticks = driver.run(600, 60, 2147483647LL - 3000);
  for (int32_t t : ticks) ASSERT_EQ(t, 1);
  EXPECT_EQ(driver.host.frameIncrementMs, 16);
}

// SDL's clock counts unsigned milliseconds: as int32 it passes from -1 to 0
// after 49.7 days, and from 2^31 - 1 to -2^31 after 24.9. Across either wrap a
// clock of 16 ms frames runs one tick a frame, and a 30 Hz clock measured
// across the wrap is still seen as 30 Hz: two ticks a frame.
TEST(FrameStep, ElapsedTimeIsMeasuredAcrossBothWrapsOfTheClock) {
  for (int64_t wrapAt : {int64_t{2147483648LL}, int64_t{4294967296LL}}) {
    Driver sixteen;
    const int64_t start = wrapAt - 20 * 16 - 5;
    for (int32_t frame = 0; frame < 600; frame++) {
      const int32_t before = sixteen.demo.ticks;
      const int64_t ms = start + frame * 16;
      frameStep(sixteen.host, {}, static_cast<int32_t>(static_cast<uint32_t>(ms)));
      ASSERT_EQ(sixteen.demo.ticks - before, 1) << "frame " << frame << " at " << wrapAt;
    }
    EXPECT_EQ(sixteen.host.frameIncrementMs, 16);

    Driver thirty;
    const std::vector<int32_t> ticks = thirty.run(300, 30, wrapAt - 1000);
    EXPECT_EQ(thirty.host.frameIncrementMs, 32) << "wrap at " << wrapAt;
    for (size_t i = 121; i < ticks.size(); i++) ASSERT_EQ(ticks[i], 2) << "frame " << i;
  }
}

TEST(FrameStep, APressedPointerStopsBeforeDrawing) {
  Driver driver;
  driver.run(3, 60);
  PointerState pressed{10, 20, kPointerPressed};
  EXPECT_EQ(frameStep(driver.host, pressed, 6000), nullptr);
  EXPECT_EQ(driver.demo.draws, 3);
  EXPECT_EQ(driver.host.pointer.x, 10);
  // A pointer that moves without pressing never stops it.
  EXPECT_NE(frameStep(driver.host, PointerState{5, 5, 0}, 6016), nullptr);
}

}  // namespace
