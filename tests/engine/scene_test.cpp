#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/demo_state.h"
#include "core/frame_host.h"

using namespace corvexa;

namespace {

class SceneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state_ = std::make_unique<DemoState>();
    startUp(*state_);
    pixels_.assign(kPixelCount, 0);
  }

  Scene& scene() { return *state_->scene; }
  Framebuffer framebuffer() { return {kPixelCount, pixels_.data()}; }

  // Runs ticks up to tick `last`, drawing after each as the live program does.
  void runTo(int32_t last) {
    while (scene().tick < last) {
      ASSERT_TRUE(state_->demo->update(PointerState{}));
      state_->demo->draw(framebuffer());
    }
  }

  std::unique_ptr<DemoState> state_;
  std::vector<uint32_t> pixels_;
};

TEST_F(SceneTest, EachEntryBecomesCurrentInTheTickThatReachesItsStart) {
  const int32_t starts[] = {1, 99, 519, 1799, 2077, 3558, 4512, 4582, 5094};
  for (int32_t entry = 1; entry <= 9; entry++) {
    runTo(starts[entry - 1] - 1);
    EXPECT_EQ(scene().current, entry - 1) << "tick " << scene().tick;
    runTo(starts[entry - 1]);
    EXPECT_EQ(scene().current, entry) << "tick " << scene().tick;
  }
  runTo(7000);
  EXPECT_EQ(scene().current, 9);
}

TEST_F(SceneTest, TheFirstFrameAlreadyShowsEntryOne) {
  FrameHost host = makeFrameHost(state_->arena, *state_->demo);
  frameStep(host, PointerState{}, 1000);
  EXPECT_EQ(scene().tick, 1);
  EXPECT_EQ(scene().current, 1);
}

TEST_F(SceneTest, TheFrozenEntryDrawsTheSameFrameThroughout) {
  runTo(1799);
  std::vector<uint32_t> first = pixels_;
  for (int32_t tick = 1800; tick <= 2076; tick++) {
    runTo(tick);
    ASSERT_EQ(pixels_, first) << "tick " << tick;
  }
  runTo(2078);
  EXPECT_NE(pixels_, first);
}

TEST_F(SceneTest, TheJumpingWordFollowsTheWideTwistersFade) {
  runTo(2076);
  EXPECT_EQ(scene().bouncingText.counter, 2076);  // counted on every tick from the start
  runTo(2077);
  EXPECT_EQ(scene().bouncingText.amplitude, 0);  // the twister has not moved yet
  runTo(2078);
  EXPECT_EQ(scene().bouncingText.amplitude, 10);
  EXPECT_EQ(scene().bouncingText.counter, 2078 + 1);  // its own update adds one more
  std::vector<int32_t> seen;
  while (scene().tick < 3457) {
    runTo(scene().tick + 1);
    int32_t amplitude = scene().bouncingText.amplitude;
    if (seen.empty() || seen.back() != amplitude) seen.push_back(amplitude);
  }
  EXPECT_EQ(seen, (std::vector<int32_t>{10, 9, 8, 7, 6, 5, 4, 0}));
  EXPECT_EQ(scene().wideTwister.fadeLevel, 0);
}

TEST_F(SceneTest, TheBlocksAreSentOutAtTick3558) {
  runTo(3558);
  const XorBlocks& blocks = scene().xorBlocks;
  EXPECT_EQ(blocks.waitX, 12);
  EXPECT_EQ(blocks.doneX, -320);
  EXPECT_EQ(blocks.launchVelocity, 1280);
  EXPECT_EQ(blocks.acceleration, -16);
  EXPECT_EQ(blocks.current, 0);
  EXPECT_EQ(blocks.position, 3072);
}

TEST_F(SceneTest, TheLabelsLeaveSidewaysFromTick4512) {
  runTo(4511);
  EXPECT_EQ(scene().upperLabel.y, 48);  // arrived long ago
  EXPECT_EQ(scene().lowerLabel.y, 104);
  runTo(4512);
  EXPECT_EQ(scene().upperLabel.targetX, -1000);
  EXPECT_EQ(scene().upperLabel.speed, 6);
  EXPECT_EQ(scene().lowerLabel.targetX, 320);
  EXPECT_EQ(scene().lowerLabel.x, 170);
}

TEST_F(SceneTest, TheNarrowTwistersHuesTurnFromTick5094) {
  runTo(5094);
  for (int32_t i = 0; i < kNarrowTwisterCount; i++) {
    EXPECT_EQ(scene().narrowTwisters[i].hueA, 8 * i);
    EXPECT_EQ(scene().narrowTwisters[i].hueB, 8 * i + 128);
  }
  runTo(5100);
  EXPECT_EQ(scene().narrowTwisters[5].hueA, 46);
  EXPECT_EQ(scene().narrowTwisters[5].hueB, 174);
}

TEST_F(SceneTest, TheCurtainStandsUnderTheNarrowTwisters) {
  const Scene& s = scene();
  EXPECT_EQ(s.curtainPositions[0], 7);
  EXPECT_EQ(s.curtainPositions[5], 70);
  EXPECT_EQ(s.curtainWidths[5], 12);
  EXPECT_EQ(s.curtainPositions[23], 301);
  EXPECT_EQ(s.curtainColours[0], 0xFCFF00u);
  EXPECT_EQ(s.curtainColours[5], 0x0030FFu);
  EXPECT_EQ(s.curtainColours[22], 0xFF1500u);
  EXPECT_EQ(s.curtainColours[23], 0x00F0FFu);
  EXPECT_EQ(s.scroller.step, 36);
  EXPECT_EQ(s.narrowTwisters[5].x, 266);
}

TEST_F(SceneTest, ThePressedPointerStopsTheShow) {
  EXPECT_FALSE(state_->demo->update(PointerState{0, 0, kPointerPressed}));
  EXPECT_EQ(scene().tick, 0);
}

TEST_F(SceneTest, TheLastSceneKeepsTurningAcrossTheTickCountersLimit) {
  runTo(5094);
  Scene& s = scene();
  s.tick = 2147483647 - 300;  // about 1.1 years of ticks
  s.bouncingText.counter = s.tick;
  for (int32_t i = 0; i < kNarrowTwisterCount; i++) s.narrowTwisters[i].counter = s.tick;
  for (int32_t step = 0; step < 600; step++) {
    ASSERT_TRUE(state_->demo->update(PointerState{}));
    state_->demo->draw(framebuffer());
    ASSERT_EQ(s.current, 9);
    // The hue goes on turning one step per tick, in step with the wrapping counter.
    uint32_t expected = (static_cast<uint32_t>(s.tick) + 26u) % 256u;
    ASSERT_EQ(s.narrowTwisters[0].hueA, static_cast<int32_t>(expected)) << "step " << step;
  }
  EXPECT_LT(s.tick, 0);  // the counter wrapped
}

// A year and more of ticks without drawing (a hidden window still ticks): every
// counter that grows with the show passes 2^31 - 1 and wraps, and no step of
// the driver or of the last scene's effects leaves defined arithmetic (the
// sanitizer build checks that) or the last scene.
TEST_F(SceneTest, UpdatesAloneCarryEveryCounterAcrossTheLimit) {
  runTo(kLastSceneTick);
  Scene& s = scene();
  const int32_t nearLimit = 2147483647 - 300;
  s.tick = nearLimit;
  s.bouncingText.counter = nearLimit;
  s.swingTwister.counter = nearLimit;
  s.wideTwister.counter = nearLimit;
  for (WobbleTwister& twister : s.narrowTwisters) twister.counter = nearLimit;
  const int64_t messageLength = static_cast<int64_t>(s.scrollText.count) * s.scroller.step;
  for (int32_t step = 0; step < 600; step++) {
    ASSERT_TRUE(state_->demo->update(PointerState{}));
    ASSERT_EQ(s.current, kTimelineCount - 1);
    for (int32_t i = 0; i < kNarrowTwisterCount; i++) {
      const WobbleTwister& twister = s.narrowTwisters[i];
      ASSERT_EQ(twister.counter, s.tick) << "twister " << i << ", step " << step;
      ASSERT_EQ(twister.fadeLevel, kNeverFades) << "the narrow twisters never fade";
      const uint32_t hue = (static_cast<uint32_t>(s.tick) + 26u + 8u * i) % 256u;
      ASSERT_EQ(twister.hueA, static_cast<int32_t>(hue));
      ASSERT_EQ(twister.hueB, static_cast<int32_t>((hue + 128) % 256));
    }
    ASSERT_EQ(s.bouncingText.counter, s.tick);
    ASSERT_GE(s.scroller.x, -messageLength);
    ASSERT_LE(s.scroller.x, kScreenWidth);
    ASSERT_GE(s.scroller.y, 0);
    ASSERT_LE(s.scroller.y + s.scroller.font->glyphHeight, kScreenHeight);
  }
  EXPECT_EQ(s.tick, int64_t{nearLimit} + 600 - 4294967296LL);
  // The first picture after the wrap draws as any other (inside the framebuffer).
  state_->demo->draw(framebuffer());
  EXPECT_EQ(s.current, kTimelineCount - 1);
}

}  // namespace
