#include <gtest/gtest.h>

#include <vector>

#include "music/sample_cursor.h"

using namespace corvexa;

namespace {

// A pool whose frame i holds i + 1: a mixed sample (at gain 1) names its
// frame, and 0 is a sample that got nothing.
struct Ramp {
  std::vector<int16_t> frames;
  explicit Ramp(int32_t count) : frames(count) {
    for (int32_t i = 0; i < count; i++) frames[i] = static_cast<int16_t>(i + 1);
  }
  Array<const int16_t> pool() const { return {static_cast<int32_t>(frames.size()), frames.data()}; }
};

SampleCursor started(int32_t length, int32_t loopStart, int32_t loopLength, int32_t loopType) {
  Sample sample{};
  sample.length = length;
  sample.loopStart = loopStart;
  sample.loopLength = loopLength;
  sample.loopType = loopType;
  SampleCursor cursor{};
  cursor.start(sample);
  return cursor;
}

std::vector<int32_t> mixed(SampleCursor& cursor, const Ramp& ramp, int32_t frequency,
                           int32_t count) {
  std::vector<int32_t> buffer(count, 0);
  cursor.mix(ramp.pool(), buffer.data(), frequency, 1, count);
  return buffer;
}

}  // namespace

TEST(SampleCursor, OneShotSamples) {
  Ramp ramp(8);
  SampleCursor empty = started(0, 0, 0, 0);
  EXPECT_EQ(empty.end, -1);
  EXPECT_EQ(mixed(empty, ramp, 44100, 4), std::vector<int32_t>(4, 0));

  // Step 2048: every frame exactly once, then nothing.
  SampleCursor once = started(5, 0, 0, 0);
  EXPECT_EQ(mixed(once, ramp, 44100, 8), (std::vector<int32_t>{1, 2, 3, 4, 5, 0, 0, 0}));
  EXPECT_EQ(mixed(once, ramp, 44100, 2), (std::vector<int32_t>{0, 0}));

  // 8363 Hz: step 388, the nearest lower frame.
  SampleCursor slow = started(8, 0, 0, 0);
  std::vector<int32_t> out = mixed(slow, ramp, 8363, 12);
  for (int32_t i = 0; i < 12; i++) EXPECT_EQ(out[i], (i * 388 >> 11) + 1) << i;

  // Below 22 Hz the step is 0: silence, and the position stays.
  SampleCursor still = started(8, 0, 0, 0);
  EXPECT_EQ(mixed(still, ramp, 21, 4), std::vector<int32_t>(4, 0));
  EXPECT_EQ(still.position, 0);
}

TEST(SampleCursor, ForwardLoopWrapsOneUnitShort) {
  Ramp ramp(32);
  SampleCursor loop = started(32, 0, 32, 1);
  EXPECT_EQ(loop.end, 65535);
  mixed(loop, ramp, 44100, 32);  // positions 0 .. 63488, then 65536 wraps
  EXPECT_EQ(loop.position, 1);
  std::vector<int32_t> again = mixed(loop, ramp, 44100, 2);
  EXPECT_EQ(again, (std::vector<int32_t>{1, 2}));
}

TEST(SampleCursor, PingPongReflectsAtBothEnds) {
  Ramp ramp(16);
  SampleCursor pp = started(16, 4, 4, 2);  // frames 4..7
  std::vector<int32_t> out = mixed(pp, ramp, 44100, 16);
  // 0..7 forward; end is 8*2048-1, so 8*2048 reflects to end-1 (frame 7),
  // then 6, 5, 4; 3*2048+... passes loopStart and turns again.
  EXPECT_EQ(out, (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 8, 7, 6, 5, 5, 6, 7, 8}));

  // Loop type 3 plays as ping-pong.
  SampleCursor both = started(16, 4, 4, 3);
  EXPECT_EQ(mixed(both, ramp, 44100, 16), out);
}

TEST(SampleCursor, LoopsAreKeptInsideTheSample) {
  Ramp ramp(64);
  // A loop running past the sample's end is cut at the end: frames 0..9 only.
  SampleCursor past = started(10, 6, 1000, 1);
  for (int32_t v : mixed(past, ramp, 44100, 200)) ASSERT_LE(v, 10);
  // A loop of no frames plays the sample once.
  SampleCursor none = started(6, 2, 0, 1);
  EXPECT_EQ(none.loopType, 0);
  EXPECT_EQ(mixed(none, ramp, 44100, 8), (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 0, 0}));
  // A one-frame loop at the top frequency: the step is 48 frames, far longer
  // than the loop, and every sample still comes from inside it.
  for (int32_t type : {1, 2}) {
    SampleCursor tiny = started(4, 2, 1, type);
    std::vector<int32_t> out = mixed(tiny, ramp, 2140928, 100);
    for (int32_t i = 1; i < 100; i++) ASSERT_EQ(out[i], 3) << type << " " << i;
    EXPECT_GE(tiny.position, tiny.loopStart);
    EXPECT_LE(tiny.position, tiny.end);
  }
}

TEST(SampleCursor, MixingInPiecesEqualsMixingAtOnce) {
  Ramp ramp(64);
  for (int32_t type : {0, 1, 2}) {
    SampleCursor whole = started(50, 10, 30, type);
    SampleCursor pieces = whole;
    std::vector<int32_t> a = mixed(whole, ramp, 30000, 600);
    std::vector<int32_t> b;
    for (int32_t n : {1, 99, 250, 250}) {
      std::vector<int32_t> part = mixed(pieces, ramp, 30000, n);
      b.insert(b.end(), part.begin(), part.end());
    }
    EXPECT_EQ(a, b) << type;
  }
}

// The loudest frames at the largest gain a channel reaches (1,020), forwards
// and backwards through a ping-pong loop, over run lengths that leave every
// remainder after blocks of eight: each sample is exactly the frame times the
// gain, as mixing the same cursor at gain 1 shows.
TEST(SampleCursor, LoudFramesTimesTheGainAreExact) {
  std::vector<int16_t> frames(40);
  for (int32_t i = 0; i < 40; i++) {
    frames[i] = static_cast<int16_t>(i % 3 == 0 ? -32768 : i % 3 == 1 ? 32767 : 1234 - 97 * i);
  }
  const Array<const int16_t> pool{40, frames.data()};
  for (int32_t type : {0, 1, 2}) {
    for (int32_t frequency : {8363, 30000, 44100, 90000}) {
      for (int32_t count = 1; count <= 40; count++) {
        SampleCursor unit = started(40, 12, 20, type);
        SampleCursor loud = unit;
        std::vector<int32_t> one(count, 0), many(count, 0);
        unit.mix(pool, one.data(), frequency, 1, count);
        loud.mix(pool, many.data(), frequency, 1020, count);
        for (int32_t i = 0; i < count; i++) {
          ASSERT_EQ(many[i], one[i] * 1020) << type << " " << frequency << " " << count << " " << i;
        }
        ASSERT_EQ(loud.position, unit.position);
      }
    }
  }
}
