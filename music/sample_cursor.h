// SampleCursor: where a channel is in its sample, and the one resample loop
// that adds the sample into the mix.
//
// Positions are fixed point with 11 fraction bits (frame * 2048). Mixing takes
// the nearest lower frame (no interpolation) and multiplies it by the tick's
// gain. Between loop boundaries it mixes whole runs of samples: the boundary
// is tested once per run, not once per sample, and where the processor has
// vector units a run is mixed several samples at a time (vector_mix.h).
#pragma once

#include <cstdint>

#include "base/array.h"
#include "music/audio_format.h"
#include "music/module.h"

namespace corvexa {

inline constexpr int32_t kPositionBits = 11;

struct SampleCursor {
  int32_t loopStart;  // loop start * 2048
  int32_t end;        // the last position inside the playable range
  int32_t loopType;   // 0 none, 1 forward, 2 ping-pong
  int32_t position;
  int32_t backwards;  // ping-pong only
  int32_t offset;     // samplePool index of the playing sample's first frame

  // Back to the sample's first frame. The cursor keeps the sample it started
  // on: a tone portamento that names another sample slides the one playing,
  // whose frames and loop belong together. The loop is kept inside the sample: a
  // loop that starts past the end or is longer than what follows its start is
  // cut at the end, a loop of no frames plays the sample once, and loop type 3
  // (both loop bits) is played as a ping-pong loop.
  void start(const Sample& sample);

  // Adds count samples into mixBuffer[0 .. count-1]: the sample's frames at
  // frequency Hz, times gain. A frequency below 22 Hz
  // moves less than one fixed-point step a sample: the channel is silent.
  void mix(Array<const int16_t> pool, int32_t* mixBuffer, int32_t frequency, int32_t gain,
           int32_t count);

 private:
  void wrap();
};

}  // namespace corvexa
