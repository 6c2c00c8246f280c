#include "music/commands.h"

namespace corvexa {

bool playsEffect(uint8_t effect) {
  return effect <= 6 || effect == 0x0A || effect == 0x0C || effect == kPatternBreak ||
         effect == kSetSpeed || effect == kNoteCut;
}

bool playsVolumeCommand(uint8_t volume) {
  const uint8_t command = volume >> 4;
  return volume == 0 || (volume >= 0x10 && volume <= 0x50) || (command >= 6 && command <= 0xB) ||
         command == 0xF;
}

}  // namespace corvexa
