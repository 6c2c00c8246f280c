// The three effects that move a channel's pitch, each with its tick work.
// Pitch is a period on the linear scale: 64 a semitone, 768 an octave,
// larger = lower.
#pragma once

#include <cstdint>

#include "base/array.h"

namespace corvexa {

inline constexpr int32_t kPortamentoUpTarget = (144 - 255) * 64;  // -7104
inline constexpr int32_t kPortamentoDownTarget = (144 - 1) * 64;  // 9152

// Portamento (effects 1, 2, 3, 5 and volume column F): the period moves by
// speed each tick from tick 1 on until it holds the target (0: no slide).
// Once the target is held the speed is forgotten.
struct PitchSlide {
  int32_t period;
  int32_t target;
  int32_t speed;

  void slide(int32_t tick);
};

// Vibrato (effects 4, 6 and volume columns A, B): from tick 1 on, the period
// is offset by the table's half sine, lower in the first half of the turn.
struct Vibrato {
  int32_t speed;  // added to the position each active tick: four times the effect's x
  int32_t depth;  // 0..15
  int32_t active;
  int32_t position;  // 0..255

  // This tick's period offset; the position moves with it.
  int32_t offset(int32_t tick);
};

// Arpeggio (effect 0): every tick, also tick 0, the period is lowered by the
// next of 0, x and y semitones in turn.
struct Arpeggio {
  Array<int32_t> offsets;  // 3 entries; entry 0 is always 0
  int32_t index;           // 0..2
  int32_t active;

  int32_t apply(int32_t period);
};

}  // namespace corvexa
