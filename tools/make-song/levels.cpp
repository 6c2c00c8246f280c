#include "tools/make-song/levels.h"

#include <algorithm>
#include <cmath>

#include "core/demo_state.h"
#include "music/song.h"

namespace corvexa::make_song {

Levels measureLevels(const int16_t* samples, int64_t count) {
  Levels levels;
  double squares = 0;
  double sum = 0;
  for (int64_t i = 0; i < count; i++) {
    const int32_t s = samples[i];
    levels.peak = std::max(levels.peak, s < 0 ? -s : s);
    if (s == 32767 || s == -32768) levels.clipped++;
    squares += static_cast<double>(s) * s;
    sum += s;
  }
  const double n = count == 0 ? 1.0 : static_cast<double>(count);
  levels.rmsDecibels = 10.0 * std::log10(squares / n / (32768.0 * 32768.0) + 1e-20);
  levels.meanDc = sum / n;
  return levels;
}

Preview renderPreview(const std::vector<uint8_t>& xm) {
  Arena arena;
  Array<int16_t> output = arena.makeArray<int16_t>(kPcmBufferSamples);
  const RenderedSong song = renderSong(arena, {static_cast<int32_t>(xm.size()), xm.data()}, output);
  Preview preview;
  if (song.error != LoadError::kNone) {
    preview.refusal = describeLoadError(song.error);
  } else {
    preview.samples.assign(output.items, output.items + song.sampleCount);
  }
  return preview;
}

}  // namespace corvexa::make_song
