// The standard player on the same song: libopenmpt (Debian's libopenmpt-dev,
// what openmpt123 plays with) loads and renders the embedded song as the
// program does, mono 16-bit at 44,100 Hz with nearest-sample interpolation,
// no volume ramping and no dither. Compare with BM_StartUpSongRender of the
// same run:
//
//   build/release/bench/corvexa_bench --benchmark_filter='SongRender|OpenMpt'
#include <benchmark/benchmark.h>

#include <libopenmpt/libopenmpt.hpp>
#include <vector>

#include "assets/gzip_inflater.h"
#include "assets/resources.h"
#include "core/demo_state.h"
#include "music/audio_format.h"
#include "music/song.h"

using namespace corvexa;

namespace {

void BM_OpenMptRenderSong(benchmark::State& run) {
  Arena arena;
  GzipInflater& inflater = makeGzipInflater(arena);
  Array<uint8_t> songBytes = arena.makeArray<uint8_t>(kSongBufferBytes);
  const int32_t size = inflate(inflater, *lookupResource(kSongName), songBytes);
  std::vector<int16_t> block(4096);
  int64_t samples = 0;
  for (auto _ : run) {
    openmpt::module song(songBytes.items, static_cast<size_t>(size));
    song.set_render_param(openmpt::module::RENDER_INTERPOLATIONFILTER_LENGTH, 1);
    song.set_render_param(openmpt::module::RENDER_VOLUMERAMPING_STRENGTH, 0);
    song.ctl_set_integer("dither", 0);
    samples = 0;
    while (size_t n = song.read(kSampleRate, block.size(), block.data())) samples += n;
    benchmark::DoNotOptimize(block.data());
  }
  run.counters["samples"] = static_cast<double>(samples);
}
BENCHMARK(BM_OpenMptRenderSong)->Unit(benchmark::kMillisecond);

}  // namespace
