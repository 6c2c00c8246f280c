// WAV files in the engine's only sound format (music/audio_format.h), written
// as an OutputFile: whole or not at all.
#pragma once

#include <cstdint>
#include <string>

#include "music/audio_format.h"

namespace corvexa::tools {

// Writes count samples as a RIFF/WAVE file. Throws ToolFailure naming the
// file when the samples do not fit a WAV file (status 2) or the file cannot
// be written (status 1).
void writeWav(const std::string& path, const int16_t* samples, int64_t count);

}  // namespace corvexa::tools
