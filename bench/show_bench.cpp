// The picture's cost: one frame of each timeline entry, the whole show, and
// the floor they are measured against, one plain fill of the framebuffer.
//
//   build/release/bench/corvexa_bench --benchmark_filter=Show
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "core/demo_state.h"
#include "core/frame_host.h"

namespace {

// A started demo, shared by the benchmarks of one run.
DemoState& startedDemo() {
  static DemoState* state = [] {
    auto* started = new DemoState;
    startUp(*started);
    return started;
  }();
  return *state;
}

void BM_FillFramebuffer(benchmark::State& run) {
  std::vector<uint32_t> pixels(kPixelCount);
  uint32_t value = 0;
  for (auto _ : run) {
    for (uint32_t& pixel : pixels) pixel = value;
    benchmark::DoNotOptimize(pixels.data());
    value++;
  }
}
BENCHMARK(BM_FillFramebuffer);

// The draw of the frame at a tick inside each entry where it has most to draw.
void BM_ShowDrawAtTick(benchmark::State& run) {
  DemoState& state = startedDemo();
  Scene& scene = *state.scene;
  // Run afresh from the start to the tick (the scene only runs forward).
  static int32_t reached = 0;
  int32_t tick = static_cast<int32_t>(run.range(0));
  if (tick < reached) {
    run.SkipWithError("ticks must grow");
    return;
  }
  std::vector<uint32_t> pixels(kPixelCount);
  Framebuffer framebuffer{kPixelCount, pixels.data()};
  while (scene.tick < tick) {
    state.demo->update(PointerState{});
    state.demo->draw(framebuffer);
  }
  reached = tick;
  for (auto _ : run) {
    state.demo->draw(framebuffer);
    benchmark::DoNotOptimize(pixels.data());
  }
}
// One tick inside each entry: labels, blocks, swinging twister, frozen,
// jumping word with the wide twister, blocks out, labels out, curtain complete,
// six twisters with the scroller.
BENCHMARK(BM_ShowDrawAtTick)->Arg(60)->Arg(300)->Arg(1000)->Arg(1900)->Arg(2200)->Arg(3700)
    ->Arg(4550)->Arg(4900)->Arg(5400);

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
  }
}
BENCHMARK(BM_ShowWhole6000Ticks)->Unit(benchmark::kMillisecond);

}  // namespace
