// The whole show, run as on a 60 Hz display, and the song reduced to one
// digest each. The test runner compares the digests of the 64-bit and the
// 32-bit builds: both are integer arithmetic and must come out bit-identical.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "core/demo_state.h"
#include "core/frame_host.h"

namespace {

struct Digests {
  uint64_t show;
  uint64_t song;
};

// FNV-1a over the pixels of every frame, and over the song that start-up
// rendered. Run in the sanitizer build, this is the whole show drawn and the
// whole song rendered under AddressSanitizer and UndefinedBehaviorSanitizer.
Digests showDigest(int32_t ticks) {
  auto state = std::make_unique<DemoState>();
  startUp(*state);
  // The song ends by itself, well before its buffer does.
  EXPECT_GT(state->renderedSampleCount, 44100 * 60);
  EXPECT_LT(state->renderedSampleCount, kPcmBufferSamples);
  uint64_t song = 14695981039346656037ull;
  for (int32_t i = 0; i < state->renderedSampleCount; i++) {
    song = (song ^ static_cast<uint16_t>(state->pcmBuffer[i])) * 1099511628211ull;
  }
  FrameHost host = makeFrameHost(state->arena, *state->demo);
  uint64_t digest = 14695981039346656037ull;
  for (int32_t frame = 1; frame <= ticks; frame++) {
    const Framebuffer* drawn = frameStep(host, PointerState{}, 1000 + frame * 1000 / 60);
    EXPECT_EQ(state->scene->tick, frame);
    for (uint32_t pixel : *drawn) {
      digest = (digest ^ pixel) * 1099511628211ull;
    }
  }
  return {digest, song};
}

TEST(ShowDigest, WholeShowIsRepeatable) {
  const Digests first = showDigest(6000);
  std::printf("digest show %016llx\n", static_cast<unsigned long long>(first.show));
  std::printf("digest song %016llx\n", static_cast<unsigned long long>(first.song));
  const Digests second = showDigest(6000);
  EXPECT_EQ(first.show, second.show);
  EXPECT_EQ(first.song, second.song);
}

}  // namespace
