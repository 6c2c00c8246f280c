// The synthesiser: makes each instrument's sample frames from its Synthesis.
// Integer arithmetic only, and a fixed-seed generator for noise, so the same
// score always gives the same bytes.
#pragma once

#include "tools/make-song/song.h"

namespace corvexa::make_song {

// Fills instrument.frames (synthesis.length 8-bit frames).
void synthesise(Instrument& instrument);

// Sine of a phase in 1/65536 of a cycle, scaled to +-32767 (Bhaskara's
// approximation, within 0.2 % of the true curve).
int32_t sinePhase(uint32_t phase);

}  // namespace corvexa::make_song
