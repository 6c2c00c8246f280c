// The score: Corvexa's song as text. parseScore reads it into a Song whose
// instruments still lack their frames (the synthesiser makes them).
//
// The text is line by line; ';' starts a comment. Song settings:
//
//   song "Corvexa"            name, up to 20 characters
//   channels 4                rows 64          speed 3          tempo 125
//   order 0 1 2 3 ...         pattern numbers in play order (lines add up)
//
// An instrument and the synthesis of its one sample:
//
//   instrument 1 "lead"       number (1, 2, ... in order) and name (22 chars)
//   wave pulse length 32 amplitude 90 duty 25
//   wave kick length 1600 amplitude 120 start 3000 end 300 fall 300 decay 200
//   wave noise length 512 amplitude 80 seed 12345 decay 0
//   loop forward 0 32         or "loop pingpong START LENGTH"; none by default
//   volume 48                 relative 12       finetune 0
//   envelope 0:64 4:40 20:32 40:0 sustain 2 loop 1 2
//   fadeout 1024
//   autovibrato sine sweep 16 depth 3 rate 20
//
// Waves: square, pulse, saw, triangle, sine (one cycle of `length` frames),
// kick (a sine whose pitch falls), noise. A pattern, then its rows:
//
//   pattern 0
//   00 | C-4 01 v48 ... | ... .. ... 037 | === .. ... ... | ... .. ... ...
//
// A row is its number (0..rows-1, rising; rows left out are empty) and one
// cell per channel: note (C-4, C#4, "===" key-off), instrument (01), volume
// column (vNN set 0..64, dNN/cNN slide down/up, bNN/aNN fine down/up, uNN
// vibrato speed, hNN vibrato depth, gNN tone portamento; NN 0..15 unless set)
// and effect (three hex digits: 0xy arpeggio, 1xx/2xx portamento up/down, 3xx
// tone portamento, 4xy vibrato, 5xy/6xy those with volume slide, Axy volume
// slide, Cxx set volume up to 40, ECx note cut). "..." or ".." is empty.
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
