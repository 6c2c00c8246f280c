// The picture's cost: one frame (update and draw) of each timeline entry and
// of the show's heaviest tick, the whole show, and the floor they are
// measured against, one plain fill of the framebuffer. A second floor is the
// last scene's: its six twister strips laid over the screen by the
// see-through rule from rows whose colours are already known.
//
//   build/release/bench/corvexa_bench --benchmark_filter='Show|Fill'
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "core/demo_state.h"
#include "core/frame_host.h"
#include "effects/pixel_runs.h"

using namespace corvexa;

namespace {

// The floor: 57,600 stores of one value. The count is a constant (a multiple
// of 4), so the compiler turns the loop into whole vector stores at -O2.
void fillPixels(uint32_t* pixels, uint32_t value) {
  for (int32_t i = 0; i < kPixelCount; i++) pixels[i] = value;
}

void BM_FillFramebuffer(benchmark::State& run) {
  std::vector<uint32_t> pixels(kPixelCount);
  uint32_t value = 0;
  for (auto _ : run) {
    fillPixels(pixels.data(), value);
    benchmark::ClobberMemory();
    value++;
  }
  run.SetBytesProcessed(run.iterations() * kPixelCount * 4);
}
BENCHMARK(BM_FillFramebuffer);

// The six narrow strips of the last scene (48 x 180 pixels each, at their
// columns) copied onto the framebuffer by the see-through rule from ready
// coloured rows: what drawing them costs before a single colour is looked up.
void BM_SixStripCopies(benchmark::State& run) {
  std::vector<uint32_t> pixels(kPixelCount);
  std::vector<uint32_t> colours(48 * kScreenHeight, 0xFF000000u);
  for (auto _ : run) {
    for (int32_t strip = 0; strip < 6; strip++) {
      for (int32_t y = 0; y < kScreenHeight; y++) {
        copyPixels(&pixels[y * kScreenWidth + 6 + 52 * strip], &colours[y * 48], 48);
      }
    }
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_SixStripCopies);

// One frame at a tick, as the show runs it: the update that reaches the tick,
// then the draw. The scene is brought to the tick before, and every iteration
// starts again from a copy of that state.
void measureFrameAt(benchmark::State& run, int32_t tick) {
  auto state = std::make_unique<DemoState>();
  startUp(*state);
  Scene& scene = *state->scene;
  std::vector<uint32_t> pixels(kPixelCount);
  Framebuffer framebuffer{kPixelCount, pixels.data()};
  while (scene.tick < tick - 1) state->demo->update(PointerState{});
  const Scene before = scene;
  for (auto _ : run) {
    scene = before;
    state->demo->update(PointerState{});
    state->demo->draw(framebuffer);
    benchmark::ClobberMemory();
  }
  run.counters["tick"] = tick;
}

// One tick inside each entry: labels, blocks, swinging twister, frozen,
// jumping word with the wide twister, blocks out, labels out, curtain complete,
// six twisters with the scroller.
void BM_ShowFrameAtTick(benchmark::State& run) {
  measureFrameAt(run, static_cast<int32_t>(run.range(0)));
}
BENCHMARK(BM_ShowFrameAtTick)
    ->Arg(60)
    ->Arg(300)
    ->Arg(1000)
    ->Arg(1900)
    ->Arg(2200)
    ->Arg(3700)
    ->Arg(4550)
    ->Arg(4900)
    ->Arg(5400);

// The heaviest tick of 1..6000: each tick's update and draw timed in three
// runs of the whole show, the tick whose fastest run is slowest.
int32_t heaviestTick() {
  static int32_t heaviest = [] {
    std::vector<int64_t> fastest(6001, INT64_MAX);
    std::vector<uint32_t> pixels(kPixelCount);
    Framebuffer framebuffer{kPixelCount, pixels.data()};
    for (int32_t pass = 0; pass < 3; pass++) {
      auto state = std::make_unique<DemoState>();
      startUp(*state);
      for (int32_t tick = 1; tick <= 6000; tick++) {
        auto begin = std::chrono::steady_clock::now();
        state->demo->update(PointerState{});
        state->demo->draw(framebuffer);
        auto end = std::chrono::steady_clock::now();
        int64_t ns = std::chrono::duration_cast<std::chrono::nanoseconds>(end - begin).count();
        fastest[tick] = std::min(fastest[tick], ns);
      }
    }
    return static_cast<int32_t>(std::max_element(fastest.begin() + 1, fastest.end()) -
                                fastest.begin());
  }();
  return heaviest;
}

void BM_ShowHeaviestFrame(benchmark::State& run) {
  measureFrameAt(run, heaviestTick());
}
BENCHMARK(BM_ShowHeaviestFrame);

// Ticks 1..6000 updated and drawn as on a 60 Hz display; start-up not timed.
void BM_ShowWhole6000Ticks(benchmark::State& run) {
  for (auto _ : run) {
    run.PauseTiming();
    auto state = std::make_unique<DemoState>();
    startUp(*state);
    FrameHost host = makeFrameHost(state->arena, *state->demo);
    run.ResumeTiming();
    for (int32_t frame = 1; frame <= 6000; frame++) {
      benchmark::DoNotOptimize(frameStep(host, PointerState{}, 1000 + frame * 1000 / 60));
    }
    run.PauseTiming();
    state.reset();
    run.ResumeTiming();
  }
}
BENCHMARK(BM_ShowWhole6000Ticks)->Unit(benchmark::kMillisecond);

}  // namespace
