// The whole show, run as on a 60 Hz display, reduced to one digest. The test
// runner compares the digest of the 64-bit and the 32-bit builds: the show is
// integer arithmetic and must come out bit-identical on both.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "core/demo_state.h"
#include "core/frame_host.h"

namespace {

// FNV-1a over the pixels of every frame.
uint64_t showDigest(int32_t ticks) {
  auto state = std::make_unique<DemoState>();
  startUp(*state);
  FrameHost host = makeFrameHost(state->arena, *state->demo);
  uint64_t digest = 14695981039346656037ull;
  for (int32_t frame = 1; frame <= ticks; frame++) {
    const Framebuffer* drawn = frameStep(host, PointerState{}, 1000 + frame * 1000 / 60);
    EXPECT_EQ(state->scene->tick, frame);
    for (uint32_t pixel : *drawn) {
      digest = (digest ^ pixel) * 1099511628211ull;
    }
  }
  return digest;
}

TEST(ShowDigest, WholeShowIsRepeatable) {
  uint64_t digest = showDigest(6000);
  std::printf("digest show %016llx\n", static_cast<unsigned long long>(digest));
  EXPECT_EQ(digest, showDigest(6000));
}

}  // namespace
