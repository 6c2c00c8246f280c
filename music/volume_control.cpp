#include "music/volume_control.h"

namespace corvexa {

namespace {

int32_t clamp(int32_t value, int32_t low, int32_t high) {
  return value < low ? low : value > high ? high : value;
}

// A point's value as played: a file value above 64 (or below 0) is held to
// the range an envelope has, so that gains stay within 32-bit products.
int32_t pointValue(const EnvelopePoint& point) {
  return clamp(point.value, 0, 256);
}

}  // namespace

void Envelope::start(const Instrument& instrument) {
  points = {instrument.volumeEnvelope.count, instrument.volumeEnvelope.items};
  count = instrument.volumePointCount;
  sustainTick = instrument.volumeSustainPoint < count ? points[instrument.volumeSustainPoint].tick
                                                      : kNoEnvelopeTick;
  loopStart = instrument.volumeLoopStart;
  loopEndTick =
      instrument.volumeLoopEnd < count ? points[instrument.volumeLoopEnd].tick : kNoEnvelopeTick;
  tick = -1;
  index = 0;
  released = 0;
}

// The point that ends the current segment. A loop that starts on the twelfth
// point has no point after it; that segment ends where it begins.
const EnvelopePoint& Envelope::segmentEnd() const {
  return points[index + 1 < kEnvelopePointCount ? index + 1 : index];
}

int32_t Envelope::valueAt(int32_t t) const {
  const EnvelopePoint& a = points[index];
  const EnvelopePoint& b = segmentEnd();
  if (t <= a.tick) return pointValue(a);
  if (t > b.tick) return pointValue(b);
  return pointValue(a) + (t - a.tick) * (pointValue(b) - pointValue(a)) / (b.tick - a.tick);
}

// Back to the loop's start at its end, else on to the next segment once its
// end is reached (never onto the last point: a segment needs two).
void Envelope::moveOn() {
  if (tick >= loopEndTick) {
    index = loopStart;
    tick = points[loopStart].tick;
  } else if (tick >= segmentEnd().tick && index + 2 < count) {
    index += 1;
  }
}

void Envelope::release() {
  released = 1;
  // Held on the sustain point: step past the hold once, without moving time.
  if (count > 0 && tick == sustainTick) moveOn();
}

int32_t Envelope::step() {
  if (count == 0) return released ? 0 : 256;
  const int32_t t = tick;
  const int32_t value = valueAt(t);
  if (t >= 0 && !released && t >= sustainTick) return value;
  tick = t + 1;
  if (!released && tick >= sustainTick) return value;
  moveOn();
  return value;
}

int32_t FadeOut::step() {
  const int32_t current = level;
  if (active) {
    level = current - speed;
    if (level < 0) {
      level = 0;
      speed = 0;
    }
    // A negative fade-out (a file value from 0x8000 up) cannot make a note louder.
    if (level > kFullFadeLevel) level = kFullFadeLevel;
  }
  return current;
}

void VolumeControl::noteOn(const Instrument& instrument, const Sample& sample) {
  volume = sample.volume;
  envelope.start(instrument);
  fadeOut = FadeOut{instrument.fadeOut, kFullFadeLevel, 0};
}

void VolumeControl::keyOff() {
  fadeOut.active = 1;
  envelope.release();
}

int32_t VolumeControl::tickVolume(int32_t tick) {
  if (tick != 0) volume = clamp(volume + slide, 0, 64);
  if (tick == cutTick) volume = 0;
  const int32_t level = fadeOut.step();
  const int32_t faded = volume * level / 64;
  return envelope.step() * faded / 32768;
}

}  // namespace corvexa
