// WAV files: 16-bit mono PCM at 44,100 Hz, the engine's only sound format.
#pragma once

#include <cstdint>
#include <string>

inline constexpr int32_t kSampleRate = 44100;

// Writes count samples as a RIFF/WAVE file. Throws CommandFailure naming the
// file when it cannot be written completely; a partial file is removed.
void writeWav(const std::string& path, const int16_t* samples, int64_t count);
