#include "music/auto_vibrato.h"

#include "music/tables.h"

namespace corvexa {

void AutoVibrato::setInstrument(const Instrument& instrument) {
  position = 0;
  sweepCounter = 0;
  keyOff = 0;
  type = instrument.autoVibratoType;
  sweep = instrument.autoVibratoSweep;
  rate = instrument.autoVibratoRate;
  depth = instrument.autoVibratoDepth;
}

// The waveform at the current position, -64..64.
int32_t AutoVibrato::wave() const {
  switch (type) {
    case 0: {
      const int32_t w = autoVibratoTable[position & 127];
      return (position & 128) ? -w : w;
    }
    case 1:
      return (position & 128) ? -64 : 64;
    case 2:
      return 63 - (((position + 128) & 255) >> 1);
    case 3:
      return (((position + 128) & 255) >> 1) - 64;
    default:
      return 0;
  }
}

int32_t AutoVibrato::sweptDepth() {
  if (keyOff) return sweepCounter >= sweep ? depth : 0;
  if (sweepCounter >= sweep) return depth;
  const int32_t d = depth * sweepCounter / sweep;
  sweepCounter += 1;
  return d;
}

int32_t AutoVibrato::apply(int32_t period) {
  if (period != 0 && depth != 0) {
    const int32_t w = wave();
    const int32_t d = sweptDepth();
    period = (period - ((d * w) >> 8)) & 0xFFFF;
  }
  position = (position + rate) & 255;
  return period;
}

}  // namespace corvexa
