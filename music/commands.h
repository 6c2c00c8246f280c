// The pattern commands this player acts on, as a loaded Note holds them. All
// others are read and ignored; make-song refuses a score that uses one, so
// that a note never says something the demo does not play.
//
//   effects  0 arpeggio, 1 and 2 portamento up and down, 3 tone portamento,
//            4 vibrato, 5 and 6 those two with a volume slide, A volume
//            slide, C set volume, D pattern break (to row 0 of the next
//            entry, whatever the parameter), F speed or tempo, E C note cut
//   volume   10..50 set volume, 6x and 7x slide down and up, 8x and 9x fine
//            slides, Ax and Bx vibrato speed and depth, Fx tone portamento
#pragma once

#include <cstdint>

#include "music/module.h"

namespace corvexa {

inline constexpr uint8_t kPatternBreak = 0x0D;
inline constexpr uint8_t kSetSpeed = 0x0F;  // a parameter below 32 sets the speed, others the tempo

bool playsEffect(uint8_t effect);
bool playsVolumeCommand(uint8_t volume);

inline bool playsNote(const Note& note) {
  return playsEffect(note.effect) && playsVolumeCommand(note.volume);
}

}  // namespace corvexa
