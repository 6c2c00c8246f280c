// The song from its bytes to PCM in one call: start-up (after inflating the
// embedded song) and corvexa-tool use it.
#pragma once

#include <cstdint>

#include "core/arena.h"
#include "core/array.h"
#include "music/module.h"
#include "music/module_loader.h"

struct RenderedSong {
  LoadStatus status;     // ok, or why the bytes were refused (then nothing is rendered)
  const Module* module;  // the loaded song (empty when refused)
  int32_t sampleCount;   // samples written to the start of the output
};

// Loads an XM file from bytes into a Module and renders it into output with a
// Player; the Module and the Player come from arena. The output beyond the
// returned count is left as it was.
RenderedSong renderSong(Arena& arena, Array<const uint8_t> bytes, Array<int16_t> output);
