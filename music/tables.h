// The music tables, compiled in and only read.
//
// FrequencyTable: 768 frequencies for the top octave of the linear period
// scale (64 periods a semitone), in Hz scaled by 256: entry i is
// 4 * floor(535,232 * 2^(-i/768)). Lower octaves shift right one bit each.
// VibratoTable: half a sine in 32 steps, floor(255 * sin(pi * i / 32)).
// AutoVibratoTable: half a sine in 128 steps, floor(64 * sin(pi * i / 128)).
#pragma once

#include <cstdint>

#include "base/array.h"

namespace corvexa {

inline constexpr int32_t kFrequencyTableCount = 768;
inline constexpr int32_t kVibratoTableCount = 32;
inline constexpr int32_t kAutoVibratoTableCount = 128;

extern const Array<const int32_t> frequencyTable;
extern const Array<const uint8_t> vibratoTable;
extern const Array<const uint8_t> autoVibratoTable;

}  // namespace corvexa
