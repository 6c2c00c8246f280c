// Nothing is allocated after start-up: not per frame, not per tick, not while
// the audio is filled. This binary replaces the global operator new to count
// every allocation, and checks that the count does not move while the show runs.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "assets/gzip_inflater.h"
#include "assets/resources.h"
#include "core/demo_state.h"
#include "core/frame_host.h"
#include "music/module_loader.h"
#include "music/player.h"
#include "music/song.h"

using namespace corvexa;

namespace {
std::atomic<int64_t> allocations{0};
}

void* operator new(size_t size) {
  allocations++;
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}
void operator delete(void* block) noexcept {
  std::free(block);
}
void operator delete(void* block, size_t) noexcept {
  std::free(block);
}

namespace {

TEST(Allocation, TheWholeShowAndItsSoundAllocateNothingAfterStartUp) {
  auto state = std::make_unique<DemoState>();
  startUp(*state);
  FrameHost host = makeFrameHost(state->arena, *state->demo);
  std::vector<int16_t> audio(2048);

  int64_t before = allocations.load();
  int64_t arenaBefore = state->arena.bytesAllocated();
  for (int32_t frame = 1; frame <= 6000; frame++) {
    frameStep(host, PointerState{}, 1000 + frame * 1000 / 60);
    if (frame % 3 == 0) state->demo->fillAudio(audio.data(), 2048);
  }
  int64_t during = allocations.load() - before;
  EXPECT_EQ(during, 0);
  EXPECT_EQ(state->arena.bytesAllocated(), arenaBefore);
}

// The song's load and render, as start-up runs them, once the Module, the
// Player and the output exist: neither operator new nor the Arena is asked
// for anything while the song is read and played into PCM.
TEST(Allocation, LoadingAndRenderingTheSongAllocateNothing) {
  Arena arena;
  GzipInflater& inflater = makeGzipInflater(arena);
  Array<uint8_t> songBytes = arena.makeArray<uint8_t>(kSongBufferBytes);
  ASSERT_GT(inflate(inflater, *lookupResource(kSongName), songBytes), 0);
  Module& module = createModule(arena);
  Player& player = createPlayer(arena);
  Array<int16_t> pcm = arena.makeArray<int16_t>(kPcmBufferSamples);

  int64_t before = allocations.load();
  int64_t arenaBefore = arena.bytesAllocated();
  ByteStream stream;
  stream.pointAt({songBytes.count, songBytes.items});
  ModuleLoader loader{module, stream};
  ASSERT_EQ(loader.load(), LoadError::kNone);
  int32_t rendered = player.render(module, pcm);
  EXPECT_EQ(allocations.load() - before, 0);
  EXPECT_EQ(arena.bytesAllocated(), arenaBefore);
  EXPECT_GT(rendered, 44100);
}

// The process's resident memory in KiB (VmRSS), or -1 where there is none.
int64_t residentKiB() {
  FILE* status = std::fopen("/proc/self/status", "r");
  if (status == nullptr) return -1;
  char line[256];
  long long kib = -1;
  while (std::fgets(line, sizeof line, status) != nullptr) {
    if (std::strncmp(line, "VmRSS:", 6) == 0) std::sscanf(line + 6, "%lld", &kib);
  }
  std::fclose(status);
  return kib;
}

// Start-up takes over 36 MB from the Arena, most of it the PCM buffer, but
// only what it writes becomes resident: the song's samples and a little more.
TEST(Allocation, StartUpMakesResidentOnlyWhatItWrites) {
  const int64_t before = residentKiB();
  if (before < 0) GTEST_SKIP() << "no /proc/self/status";
  auto state = std::make_unique<DemoState>();
  startUp(*state);
  const int64_t grownBytes = (residentKiB() - before) * 1024;
  EXPECT_GT(state->arena.bytesAllocated(), int64_t{32} << 20);
  EXPECT_LT(grownBytes, int64_t{state->renderedSampleCount} * 2 + (int64_t{4} << 20));
}

TEST(Allocation, TheCounterSeesAllocations) {
  int64_t before = allocations.load();
  auto* block = new std::vector<int32_t>(10);
  int64_t seen = allocations.load() - before;
  delete block;
  EXPECT_GE(seen, 2);
}

}  // namespace
