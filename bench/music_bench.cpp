// Rendering a song of the embedded song's size: 4 channels, 19 order entries
// of 64-row patterns at speed 3 and tempo 125 (about 73 s), with looped 8- and
// 16-bit samples, envelopes, auto-vibrato, arpeggio, vibrato and slides.
// The song is built once; each iteration renders all of it.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "music/module_loader.h"
#include "music/player.h"

namespace {

// A minimal XM writer: the header, packed patterns, one-sample instruments.
struct Bytes {
  std::vector<uint8_t> data;
  void u8(uint32_t v) { data.push_back(static_cast<uint8_t>(v)); }
  void u16(uint32_t v) {
    u8(v);
    u8(v >> 8);
  }
  void u32(uint32_t v) {
    u16(v);
    u16(v >> 16);
  }
  void zeros(int32_t n) { data.insert(data.end(), n, 0); }
};

std::vector<uint8_t> benchSong() {
  constexpr int32_t kPatterns = 14, kRows = 64, kChannels = 4, kInstruments = 6;
  Bytes b;
  const char id[] = "Extended Module: ";
  for (int32_t i = 0; i < 17; i++) b.u8(static_cast<uint8_t>(id[i]));
  b.zeros(20);
  b.u8(0x1A);
  b.zeros(20);
  b.u16(0x0104);
  b.u32(276);
  b.u16(19);  // song length
  b.u16(0);
  b.u16(kChannels);
  b.u16(kPatterns);
  b.u16(kInstruments);
  b.u16(1);
  b.u16(3);    // speed
  b.u16(125);  // tempo
  for (int32_t i = 0; i < 256; i++) b.u8(i < 19 ? (i * 5) % kPatterns : 0);
  for (int32_t p = 0; p < kPatterns; p++) {
    Bytes packed;
    for (int32_t r = 0; r < kRows; r++) {
      for (int32_t c = 0; c < kChannels; c++) {
        if ((r + c * 3 + p) % 4 != 0) {
          packed.u8(0x80);
          continue;
        }
        const uint8_t effects[][2] = {{0x00, 0x37}, {0x04, 0x46}, {0x0A, 0x02}, {0x03, 0x08}};
        const uint8_t* e = effects[(r / 4 + c) % 4];
        packed.u8(0x9F);
        packed.u8(static_cast<uint32_t>(37 + (r * 7 + c * 5 + p) % 36));
        packed.u8(static_cast<uint32_t>(1 + (c + p) % kInstruments));
        packed.u8(0x30 + (r % 16) * 2);
        packed.u8(e[0]);
        packed.u8(e[1]);
      }
    }
    b.u32(9);
    b.u8(0);
    b.u16(kRows);
    b.u16(static_cast<uint32_t>(packed.data.size()));
    b.data.insert(b.data.end(), packed.data.begin(), packed.data.end());
  }
  for (int32_t i = 0; i < kInstruments; i++) {
    const bool sixteen = i % 2 == 1;
    const int32_t frames = 1500 + i * 400;
    b.u32(263);
    b.zeros(22);
    b.u8(0);
    b.u16(1);
    b.u32(40);
    b.zeros(96);
    const int16_t envelope[][2] = {{0, 64}, {4, 50}, {12, 40}, {40, 0}};
    for (int32_t k = 0; k < 12; k++) {
      b.u16(k < 4 ? envelope[k][0] : 0);
      b.u16(k < 4 ? envelope[k][1] : 0);
    }
    b.zeros(48);
    b.u8(4);
    b.u8(0);
    b.u8(2);  // sustain point
    b.u8(0);  // loop start
    b.u8(0);  // loop end
    b.zeros(3);
    b.u8(i % 3 == 0 ? 3 : 1);  // envelope on, with sustain for some
    b.u8(0);
    b.u8(static_cast<uint32_t>(i % 4));  // auto-vibrato type, sweep, depth, rate
    b.u8(8);
    b.u8(3);
    b.u8(40);
    b.u16(400);
    b.zeros(263 - 241);
    b.u32(static_cast<uint32_t>(frames * (sixteen ? 2 : 1)));
    b.u32(static_cast<uint32_t>(frames / 3 * (sixteen ? 2 : 1)));
    b.u32(static_cast<uint32_t>(frames / 2 * (sixteen ? 2 : 1)));
    b.u8(48);
    b.u8(static_cast<uint32_t>(i * 9));
    b.u8((sixteen ? 0x10 : 0) | (i % 3 == 2 ? 2 : 1));
    b.u8(128);
    b.u8(0);
    b.zeros(23);
    int32_t previous = 0;
    for (int32_t f = 0; f < frames; f++) {
      const int32_t value = static_cast<int32_t>(
          std::lround((sixteen ? 20000.0 : 90.0) * std::sin(f * (0.05 + i * 0.01)) *
                      std::exp(-f / static_cast<double>(frames))));
      if (sixteen) {
        b.u16(static_cast<uint32_t>(value - previous));
      } else {
        b.u8(static_cast<uint32_t>(value - previous));
      }
      previous = value;
    }
  }
  return b.data;
}

void renderWholeSong(benchmark::State& state) {
  const std::vector<uint8_t> bytes = benchSong();
  Arena arena;
  Module& module = createModule(arena);
  ByteStream stream;
  stream.pointAt({static_cast<int32_t>(bytes.size()), bytes.data()});
  if (ModuleLoader{module, stream}.load() != LoadStatus::ok) {
    state.SkipWithError("the benchmark song did not load");
    return;
  }
  Player& player = createPlayer(arena);
  Array<int16_t> output = arena.makeArray<int16_t>(16777216);
  int32_t samples = 0;
  for (auto _ : state) {
    samples = player.render(module, output);
    benchmark::DoNotOptimize(output.items[samples / 2]);
  }
  int32_t audible = 0;  // a silent render would measure nothing
  for (int32_t i = 0; i < samples; i++) audible += output[i] != 0;
  state.counters["samples"] = samples;
  state.counters["audible_share"] = samples > 0 ? audible / static_cast<double>(samples) : 0;
  state.counters["song_seconds"] = samples / 44100.0;
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(samples));
}
BENCHMARK(renderWholeSong)->Unit(benchmark::kMillisecond);

}  // namespace
