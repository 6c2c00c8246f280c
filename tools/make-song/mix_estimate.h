// A preview of the song as Corvexa's player renders it: mono, 44,100 Hz,
// nearest-frame resampling, each channel's frame times a gain of 0..256 (its
// volume times 4, scaled by the volume envelope and fade-out), the channels
// summed, shifted right by 8 and clipped to 16 bits. It follows the player's
// rules closely enough to check the song's level and clipping before the song
// is committed; the demo's own player remains the reference.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/make-song/song.h"

std::vector<int16_t> renderEstimate(const Song& song);

struct Levels {
  int32_t peak = 0;        // the largest |sample|
  int64_t clipped = 0;     // samples at 32767 or -32768
  double rmsDecibels = 0;  // relative to full scale (a full square wave is 0)
  double meanDc = 0;       // the mean sample value
};

Levels measureLevels(const std::vector<int16_t>& samples);
