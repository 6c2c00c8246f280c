// The score: Corvexa's song as text. parseScore reads it into a Song whose
// samples still lack their frames (the synthesiser makes them).
//
// The text is line by line; ';' starts a comment. Song settings:
//
//   song "Corvexa"            name, up to 20 characters
//   channels 8                rows 64          speed 6          tempo 113
//   order 0 1 2 3 ...         pattern numbers in play order (lines add up)
//
// An instrument, then how each of its samples is made:
//
//   instrument 1 "lead"       number (1, 2, ... in order) and name (22 chars)
//   wave pulse length 32 amplitude 90 duty 25
//   loop forward 0 32         or "loop pingpong START LENGTH"; for the wave before
//   volume 48                 relative 12       finetune 0
//   envelope 0:64 4:40 20:32 40:0 sustain 2 loop 1 2
//   fadeout 1024
//   autovibrato sine sweep 16 depth 3 rate 20
//
// Each "wave" line is one sample (up to 8), played by the keys it names
// ("keys C-0 B-3"; all keys when it names none, the first sample winning
// where two overlap). The plain waves, 8 bits, tuned with "relative" and
// "finetune":
//
//   wave square|saw|triangle|sine length FRAMES amplitude 1..127
//   wave pulse length FRAMES amplitude A duty PERCENT
//   wave kick length L amplitude A start STEP end STEP fall F decay D
//   wave noise length L amplitude A seed S decay D
//
// The produced kinds (synthesiser.h), 16 bits unless "bits 8", tuned by
// make-song itself; every setting but the kind is a name and a number:
//
//   wave voice pitch A-2 cycle 200 cycles 64 attack 2000 shape saw|square|
//        pulse|triangle|sine width 50 pwm 20 pwmcycles 2 detune 1 sub 40
//        chord major|minor|sus2|sus4|fifth cutoff 3000 cutoffend 400
//        resonance 12 halflife 150 level 90
//   wave bell pitch A-4 cycle 100 cycles 20 attack 8000 ratio 7/2
//        index 300 indexend 40 halflife 300 level 80
//   wave bassdrum rate 22050 length 7000 start 180 end 48 sweep 30
//        halflife 80 click 30 drive 40
//   wave snare rate 32000 length 8000 tone 190 tonehalflife 40 noise 60
//        bright 4000 halflife 60
//   wave clap rate 32000 length 8000 bursts 3 spacing 9 bright 1200 halflife 50
//   wave metal rate 44100 length 3000 tone 400 noise 40 bright 7000 halflife 20
//
// A voice or bell written at `pitch` holds a cycle every `cycle` frames (so
// its rate is the pitch's frequency times cycle) and loops its last `cycles`
// cycles after `attack` frames; with no cycles it is a one-shot of `attack`
// frames. Drums play `length` frames at `rate`, and may loop a tail.
//
// A pattern, then its rows, one cell per channel:
//
//   pattern 0 [rows 32]
//   00 | C-4 01 v48 ... | ... .. ... 037 | === .. ... ... | ... .. ... ...
//
// A row is its number (0..rows-1, rising; rows left out are empty) and one
// cell per channel: note (C-4, C#4, "===" key-off), instrument (01), volume
// column (vNN set 0..64, dNN/cNN slide down/up, bNN/aNN fine down/up, uNN
// vibrato speed, hNN vibrato depth, gNN tone portamento; NN 0..15 unless set)
// and effect (three hex digits: 0xy arpeggio, 1xx/2xx portamento up/down, 3xx
// tone portamento, 4xy vibrato, 5xy/6xy those with volume slide, Axy volume
// slide, Cxx set volume up to 40, D00 pattern break, Fxx speed below 20 or
// tempo, ECx note cut). "..." or ".." is empty. Anything else the player
// would ignore, and the score is refused.
//
// A phrase is a named run of rows for one channel, placed into patterns:
//
//   phrase bass-a [rows 16]
//   00 | A-1 03 v50 ...
//   ...
//   play bass-a on 3 [at 16] [transpose 5] [volume 60] [as 9] [times 2]
//
// "play" (inside a pattern, after the phrase) writes the phrase's cells into
// channel 3 from row 16: transposed 5 semitones, at 60 percent of each
// note's volume (the instrument's own volume where the cell sets none), with
// instrument 9 for every instrument it names, twice one after the other.
// Cells that would fall outside the pattern are left out, so a phrase can be
// played late as an echo, and its tail ("at -29") carried into the next
// pattern. A cell written twice is refused.
#pragma once

#include <stdexcept>
#include <string>

#include "tools/make-song/song.h"

namespace corvexa::make_song {

// A fault in the score: the message names the file and line.
struct ScoreError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Parses a whole score; `fileName` is used in messages. Throws ScoreError.
Song parseScore(const std::string& text, const std::string& fileName);

}  // namespace corvexa::make_song
