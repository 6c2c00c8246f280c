// Start-up, everything before the first frame, whole and part by part:
// the effect tables, both fonts, the scene, inflating the embedded song,
// loading it and rendering it into PCM.
//
//   build/release/bench/corvexa_bench --benchmark_filter=StartUp
//
// Each part starts from a fresh Arena, as start-up does. The song's render
// writes into one output kept between iterations (its pages are resident);
// the whole start-up makes its own, as the program does. The song is rendered
// on several threads: Google Benchmark's CPU time is the calling thread's
// alone, so both benchmarks that render it also give process_cpu_ms, every
// thread's CPU time an iteration (and the song's render its
// cpu_ns_per_channel_sample).
#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>

#include "assets/gif_decoder.h"
#include "assets/gzip_inflater.h"
#include "assets/resources.h"
#include "core/demo_state.h"
#include "effects/tables.h"
#include "music/audio_format.h"
#include "music/player.h"
#include "music/song.h"

using namespace corvexa;

namespace {

// Every thread's CPU time an iteration, in milliseconds.
double processCpuMs(std::clock_t total, const benchmark::State& run) {
  return static_cast<double>(total) * 1e3 / CLOCKS_PER_SEC / static_cast<double>(run.iterations());
}

void BM_StartUpWhole(benchmark::State& run) {
  std::clock_t processCpu = 0;
  for (auto _ : run) {
    const std::clock_t start = std::clock();
    auto state = std::make_unique<DemoState>();
    startUp(*state);
    benchmark::DoNotOptimize(state->renderedSampleCount);
    processCpu += std::clock() - start;
    run.PauseTiming();
    state.reset();  // returning the memory is not start-up
    run.ResumeTiming();
  }
  run.counters["process_cpu_ms"] = processCpuMs(processCpu, run);
}
BENCHMARK(BM_StartUpWhole)->Unit(benchmark::kMillisecond);

void BM_StartUpTables(benchmark::State& run) {
  for (auto _ : run) {
    Arena arena;
    EffectTables tables = buildEffectTables(arena);
    benchmark::DoNotOptimize(tables.sineTable.items);
  }
}
BENCHMARK(BM_StartUpTables)->Unit(benchmark::kMicrosecond);

void BM_StartUpFonts(benchmark::State& run) {
  for (auto _ : run) {
    Arena arena;
    GifDecoder& decoder = makeGifDecoder(arena);
    BitmapFont goldBar = createFont(decoder, arena, kGoldBarFontName);
    BitmapFont simple = createFont(decoder, arena, kSimpleFontName);
    benchmark::DoNotOptimize(goldBar.pixels.items);
    benchmark::DoNotOptimize(simple.pixels.items);
  }
}
BENCHMARK(BM_StartUpFonts)->Unit(benchmark::kMicrosecond);

void BM_StartUpScene(benchmark::State& run) {
  DemoState& fonts = *new DemoState;  // tables and fonts, made once
  fonts.tables = buildEffectTables(fonts.arena);
  GifDecoder& decoder = makeGifDecoder(fonts.arena);
  fonts.goldBarFont = createFont(decoder, fonts.arena, kGoldBarFontName);
  fonts.simpleFont = createFont(decoder, fonts.arena, kSimpleFontName);
  for (auto _ : run) {
    Arena arena;
    Scene& scene = buildScene(arena, fonts.tables, fonts.goldBarFont, fonts.simpleFont);
    benchmark::DoNotOptimize(&scene);
  }
}
BENCHMARK(BM_StartUpScene)->Unit(benchmark::kMicrosecond);

void BM_StartUpInflate(benchmark::State& run) {
  for (auto _ : run) {
    Arena arena;
    GzipInflater& inflater = makeGzipInflater(arena);
    Array<uint8_t> songBytes = arena.makeArray<uint8_t>(kSongBufferBytes);
    benchmark::DoNotOptimize(inflate(inflater, *lookupResource(kSongName), songBytes));
  }
}
BENCHMARK(BM_StartUpInflate)->Unit(benchmark::kMicrosecond);

// The samples of all channels the song's render mixes: a channel mixes a
// sample when its gain is not 0 and its cursor moves (a one-shot sample that
// has ended stays put). Counted outside the timing, one sample at a time.
double channelSamplesOf(const Module& song, Array<int16_t> pcm) {
  Arena arena;
  Player& player = createPlayer(arena);
  player.start(song);
  int64_t mixed = 0;
  while (!player.ended && player.outputCount < pcm.count) {
    SampleCursor before[kPlayerChannels];
    for (int32_t c = 0; c < kPlayerChannels; c++) before[c] = player.channels[c].cursor;
    const int32_t next = player.outputCount + 1;
    player.playOn({next, pcm.items}, next);  // played, not written
    for (int32_t c = 0; c < kPlayerChannels; c++) {
      const Channel& channel = player.channels[c];
      mixed += channel.currentSample != nullptr && channel.gain != 0 &&
               (channel.cursor.position != before[c].position ||
                channel.cursor.backwards != before[c].backwards);
    }
  }
  return static_cast<double>(mixed);
}

// Load and render of the embedded song: the Module and the Players from a
// fresh Arena, as renderSong makes them.
void BM_StartUpSongRender(benchmark::State& run) {
  Arena keep;
  GzipInflater& inflater = makeGzipInflater(keep);
  Array<uint8_t> songBytes = keep.makeArray<uint8_t>(kSongBufferBytes);
  inflate(inflater, *lookupResource(kSongName), songBytes);
  Array<int16_t> pcm = keep.makeArray<int16_t>(kPcmBufferSamples);
  int32_t samples = 0;
  std::clock_t processCpu = 0;  // every thread's
  for (auto _ : run) {
    const std::clock_t start = std::clock();
    Arena arena;
    samples = renderSong(arena, {songBytes.count, songBytes.items}, pcm).sampleCount;
    benchmark::DoNotOptimize(pcm.items[samples / 2]);
    processCpu += std::clock() - start;
  }
  // The Module alone: an output of no samples renders nothing.
  const Module& song = *renderSong(keep, {songBytes.count, songBytes.items}, {}, 1).module;
  const double channelSamples = channelSamplesOf(song, pcm);
  run.counters["samples"] = samples;
  run.counters["song_seconds"] = samples / static_cast<double>(kSampleRate);
  run.counters["channel_samples"] = channelSamples;
  const double cpuMs = processCpuMs(processCpu, run);
  run.counters["process_cpu_ms"] = cpuMs;
  run.counters["cpu_ns_per_channel_sample"] = cpuMs * 1e6 / channelSamples;
}
BENCHMARK(BM_StartUpSongRender)->Unit(benchmark::kMillisecond);

}  // namespace
