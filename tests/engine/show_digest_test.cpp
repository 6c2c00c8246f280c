// The whole show, run as on a 60 Hz display, and the rendered song, each
// reduced to one digest and compared with the golden values of the output as
// it was made before any speed work. Every optimisation must leave the output
// bit-identical, on the 64-bit and the 32-bit build alike: the show and the
// player are integer arithmetic, so one golden value serves both (the test
// runner also compares the printed digests of the two builds). In the
// sanitizer build this is the whole show drawn and the whole song rendered
// under AddressSanitizer and UndefinedBehaviorSanitizer.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "core/demo_state.h"
#include "core/frame_host.h"

using namespace corvexa;

namespace {

constexpr uint64_t kFnvOffset = 14695981039346656037ull;
constexpr uint64_t kFnvPrime = 1099511628211ull;

// The golden values: ticks 1..6000 of the show, and the song's PCM.
constexpr uint64_t kShowDigest = 0x0ca2325c906d3958ull;
constexpr uint64_t kSongDigest = 0xeb4789ef63f88796ull;
constexpr int32_t kSongSampleCount = 6748736;

// FNV-1a over the pixels of every frame.
uint64_t showDigest(int32_t ticks) {
  auto state = std::make_unique<DemoState>();
  startUp(*state);
  FrameHost host = makeFrameHost(state->arena, *state->demo);
  uint64_t digest = kFnvOffset;
  for (int32_t frame = 1; frame <= ticks; frame++) {
    const Framebuffer* drawn = frameStep(host, PointerState{}, 1000 + frame * 1000 / 60);
    EXPECT_EQ(state->scene->tick, frame);
    for (uint32_t pixel : *drawn) {
      digest = (digest ^ pixel) * kFnvPrime;
    }
  }
  return digest;
}

TEST(ShowDigest, WholeShowMatchesItsGoldenDigest) {
  uint64_t digest = showDigest(6000);
  std::printf("digest show %016llx\n", static_cast<unsigned long long>(digest));
  EXPECT_EQ(digest, kShowDigest);
}

// FNV-1a over the rendered samples (as 16-bit patterns); the samples past the
// rendered count must still be the buffer's zeros.
TEST(ShowDigest, RenderedSongMatchesItsGoldenDigest) {
  auto state = std::make_unique<DemoState>();
  startUp(*state);
  uint64_t digest = kFnvOffset;
  for (int32_t i = 0; i < state->renderedSampleCount; i++) {
    digest = (digest ^ static_cast<uint16_t>(state->pcmBuffer[i])) * kFnvPrime;
  }
  std::printf("digest song %016llx over %d samples\n", static_cast<unsigned long long>(digest),
              state->renderedSampleCount);
  EXPECT_EQ(state->renderedSampleCount, kSongSampleCount);  // the song ends by itself
  EXPECT_EQ(digest, kSongDigest);
  for (int32_t i = state->renderedSampleCount; i < state->renderedSampleCount + 4096; i++) {
    ASSERT_EQ(state->pcmBuffer[i], 0) << "sample " << i;
  }
}

}  // namespace
