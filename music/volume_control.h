// VolumeControl: one channel's gain for each tick, 0..256 (up to 1020 after
// effect C above 64), from its volume, the per-tick volume slide, the note
// cut, the instrument's volume envelope and its fade-out after a key-off.
//
// A struck note restarts everything (noteOn); startRow writes volume, slide
// and cutTick directly; tickVolume advances one tick and answers the gain.
#pragma once

#include <cstdint>

#include "base/array.h"
#include "music/module.h"

namespace corvexa {

inline constexpr int32_t kNoCut = 0x7FFFFFFF;
inline constexpr int32_t kNoEnvelopeTick = 0xFFFFFF;
inline constexpr int32_t kFullFadeLevel = 32768;

// The instrument's volume envelope as time goes by. Time is in ticks; -1 just
// after a note starts. The value is taken before time moves, at most one point
// is passed per tick, and time stands still on the sustain point until a
// key-off releases it.
struct Envelope {
  Array<const EnvelopePoint> points;  // the instrument's 12 points (values x 4)
  int32_t count;                      // points in use; 0 = off
  int32_t sustainTick;                // kNoEnvelopeTick: none
  int32_t loopStart;                  // index of the loop's first point
  int32_t loopEndTick;                // kNoEnvelopeTick: no loop
  int32_t tick;
  int32_t index;  // the point that begins the current segment
  int32_t released;

  void start(const Instrument& instrument);
  void release();
  // The value for this tick (0..256), then one tick forward.
  int32_t step();

 private:
  const EnvelopePoint& segmentEnd() const;
  int32_t valueAt(int32_t t) const;
  void moveOn();
};

// After a key-off the level falls by speed each tick from 32768 to 0.
struct FadeOut {
  int32_t speed;
  int32_t level;
  int32_t active;

  // The level for this tick, then one tick of fading.
  int32_t step();
};

struct VolumeControl {
  Envelope envelope;
  FadeOut fadeOut;
  int32_t volume;  // 0..64; effect C may set up to 255
  int32_t slide;   // added each tick from tick 1 on
  int32_t cutTick;

  void noteOn(const Instrument& instrument, const Sample& sample);
  void keyOff();
  int32_t tickVolume(int32_t tick);
};

}  // namespace corvexa
