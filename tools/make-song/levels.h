// The rendered song's levels: what the song must keep (no clipped sample, an
// RMS level between -20 and -12 dBFS, no DC offset).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvexa::make_song {

struct Levels {
  int32_t peak = 0;        // the largest |sample|
  int64_t clipped = 0;     // samples at 32767 or -32768
  double rmsDecibels = 0;  // relative to full scale (a full square wave is 0)
  double meanDc = 0;       // the mean sample value
};

Levels measureLevels(const int16_t* samples, int64_t count);

// The song rendered by the demo's own player, exactly as start-up renders it,
// or the player's reason for refusing it.
struct Preview {
  std::vector<int16_t> samples;
  std::string refusal;  // empty when the song plays
};

Preview renderPreview(const std::vector<uint8_t>& xm);

}  // namespace corvexa::make_song
