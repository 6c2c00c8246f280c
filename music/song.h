// The song from its bytes to PCM in one call: start-up (after inflating the
// embedded song) and corvexa-tool use it.
#pragma once

#include <cstdint>

#include "base/arena.h"
#include "base/array.h"
#include "music/module.h"
#include "music/module_loader.h"

namespace corvexa {

// Start-up's two buffers for the song: its inflated XM file (the rest stays
// zero) and the whole song rendered, 380.4 s at 44,100 samples a second.
inline constexpr int32_t kSongBufferBytes = 1048576;
inline constexpr int32_t kPcmBufferSamples = 16777216;

struct RenderedSong {
  LoadError error;       // kNone, or why the bytes were refused (then nothing is rendered)
  const Module* module;  // the loaded song (empty when refused)
  int32_t sampleCount;   // samples written to the start of the output
};

// The most Players renderSong renders with at once by default.
inline constexpr int32_t kMostSongParts = 4;

// The Players renderSong renders with unless told: one a processor, at most
// kMostSongParts; one where the build cannot start threads (the browser's).
int32_t defaultSongParts();

// Loads an XM file from bytes into a Module and renders it into output; the
// Module and the Players come from arena. With more than one part the song is
// rendered by that many Players at once, each on a thread of its own, taking
// stretches of the output in turn: the samples are one Player's. The output
// beyond the returned count is left as it was.
RenderedSong renderSong(Arena& arena, Array<const uint8_t> bytes, Array<int16_t> output,
                        int32_t parts = defaultSongParts());

}  // namespace corvexa
