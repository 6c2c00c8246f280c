// AutoVibrato: the instrument's automatic vibrato, applied to a channel's
// period every tick. It restarts only when a different instrument is struck
// (setInstrument); its depth fades in over `sweep` ticks, and after a key-off
// a vibrato that has not finished sweeping stops.
#pragma once

#include <cstdint>

#include "music/module.h"

namespace corvexa {

struct AutoVibrato {
  int32_t type;  // 0 sine, 1 square, 2 and 3 saws, others none
  int32_t sweep;
  int32_t rate;
  int32_t depth;     // the instrument's stored depth (four times the file's)
  int32_t position;  // 0..255
  int32_t sweepCounter;
  int32_t keyOff;

  void setInstrument(const Instrument& instrument);
  // The period moved by this tick's vibrato (16 bits); the position advances
  // on every call, also for a period of 0 or a depth of 0.
  int32_t apply(int32_t period);

 private:
  int32_t wave() const;
  int32_t sweptDepth();
};

}  // namespace corvexa
