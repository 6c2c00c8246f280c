// The sound's one format, from the mixer to every player of it: mono signed
// 16-bit samples at 44,100 a second.
#pragma once

#include <cstdint>

namespace corvexa {

inline constexpr int32_t kSampleRate = 44100;  // samples a second
inline constexpr int32_t kAudioChannels = 1;
using AudioSample = int16_t;

}  // namespace corvexa
