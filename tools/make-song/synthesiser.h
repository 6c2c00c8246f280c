// The synthesiser: makes each sample's frames from its Synthesis, at build
// time, so the demo only plays them. The same score always gives the same
// bytes, on any machine (synth_math.h says how).
//
// The plain waves are one cycle (or a simple kick or noise) in 8 bits. The
// produced kinds are rendered into a signal of doubles; `drive` then rounds
// its peaks off (x (1 + k) / (1 + k |x|) at peak 1, k = drive / 25), which
// lowers the crest of a sound and so of the mix; a drum's `top` low-passes
// what that added; then the signal is scaled so that its peak is `level`
// percent of full scale and rounded to 8 or 16 bits. Each is tuned here: its
// relative note and fine-tune make key `pitch` play the frames at the rate
// they were written for, within 1/128 of a semitone.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/make-song/song.h"

namespace corvexa::make_song {

// Fills every sample's frames (and, for the produced kinds, sets their loop
// and tuning).
void synthesise(ScoreInstrument& instrument);

// The kinds, one file each.
void synthesisePlainWave(ScoreSample& sample);                     // plain_waves.cpp
std::vector<double> renderVoice(const Synthesis& s, double rate);  // voice_synthesis.cpp
std::vector<double> renderBell(const Synthesis& s, double rate);
// A drum's level holds from frame holdFrom on (where its loop starts).
std::vector<double> renderDrum(const Synthesis& s, int32_t holdFrom);  // drum_synthesis.cpp

// Equal temperament at A-4 = 440 Hz.
double keyFrequency(int32_t key);

// The frames a second that a key plays a sample at, given the sample's
// relative note and fine-tune, exactly as the player computes it.
int32_t playedRate(int32_t key, int32_t relativeNote, int32_t fineTune);

}  // namespace corvexa::make_song
