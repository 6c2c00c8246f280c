#include "music/pitch_effects.h"

#include "music/tables.h"

namespace corvexa {

void PitchSlide::slide(int32_t tick) {
  if (tick == 0 || target == 0) return;
  const int32_t d = target - period;
  if (d > 0) {
    period = d < speed ? target : period + speed;
  } else if (d < 0) {
    period = -d < speed ? target : period - speed;
  } else {
    speed = 0;
  }
}

int32_t Vibrato::offset(int32_t tick) {
  if (!active || tick == 0) return 0;
  const int32_t w = vibratoTable[(position >> 2) & 31];
  const int32_t a = ((w * depth) >> 7) * 4;
  const int32_t result = position < 128 ? a : -a;
  position = (position + speed) & 255;
  return result;
}

int32_t Arpeggio::apply(int32_t period) {
  if (!active) return period;
  period = (period - 64 * offsets[index]) & 0xFFFF;
  index = (index + 1) % 3;
  return period;
}

}  // namespace corvexa
