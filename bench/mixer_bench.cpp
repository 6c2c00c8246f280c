// The resample loop alone: one channel's looped sample mixed a tick of 1,024
// samples at a time, at a step below one frame a sample, between one and two,
// and above two. Its cost a channel-sample is what the song's render pays
// some 44 million times (every channel-sample that has a gain).
//
//   build/release/bench/corvexa_bench --benchmark_filter=ResampleLoop
#include <benchmark/benchmark.h>

#include "base/arena.h"
#include "music/audio_format.h"
#include "music/sample_cursor.h"

using namespace corvexa;

namespace {

// arg: the step in 1/2048 of a frame a sample.
void BM_ResampleLoop(benchmark::State& run) {
  constexpr int32_t kFrames = 1 << 16;
  constexpr int32_t kTick = 1024;
  Arena arena;
  Array<int16_t> pool = arena.makeArray<int16_t>(kFrames);
  for (int32_t i = 0; i < kFrames; i++) pool[i] = static_cast<int16_t>((i * 2654435761u) >> 16);
  Array<int32_t> mix = arena.makeArray<int32_t>(kTick);
  Sample sample{};
  sample.length = kFrames;
  sample.loopLength = kFrames;
  sample.loopType = 1;
  SampleCursor cursor{};
  cursor.start(sample);
  // The frequency whose step (frequency * 512 / 11025) is the argument.
  const int32_t frequency = static_cast<int32_t>((run.range(0) * (kSampleRate / 4) + 511) / 512);
  for (auto _ : run) {
    cursor.mix({pool.count, pool.items}, mix.items, frequency, 200, kTick);
    benchmark::DoNotOptimize(mix.items[kTick - 1]);
  }
  run.counters["ns_per_sample"] = benchmark::Counter(
      static_cast<double>(kTick) * 1e-9,
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ResampleLoop)->Arg(1500)->Arg(3000)->Arg(5000);

}  // namespace
