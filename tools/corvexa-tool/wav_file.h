// WAV files in the engine's only sound format (music/audio_format.h).
#pragma once

#include <cstdint>
#include <string>

#include "music/audio_format.h"

namespace corvexa::tool {

// Writes count samples as a RIFF/WAVE file. Throws CommandFailure naming the
// file when it cannot be written completely; a partial file is removed.
void writeWav(const std::string& path, const int16_t* samples, int64_t count);

}  // namespace corvexa::tool
