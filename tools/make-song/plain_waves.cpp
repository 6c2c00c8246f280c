// The plain waves of a chip tune, 8 bits: one cycle of a square, pulse, saw,
// triangle or sine, a kick and white noise. Integer arithmetic only.
#include "effects/tables.h"
#include "tools/make-song/synthesiser.h"

namespace corvexa::make_song {

namespace {

int16_t toFrame(int64_t value) {
  if (value > 127) value = 127;
  if (value < -127) value = -127;
  return static_cast<int16_t>(value);
}

// One cycle high then low. A pulse keeps its mean at zero: the shorter part
// takes the full amplitude and the longer one as much less as balances it.
void pulse(const Synthesis& s, std::vector<int16_t>& frames, int32_t duty) {
  int32_t high = s.length * duty / 100;
  if (high < 1) high = 1;
  if (high > s.length - 1) high = s.length - 1;
  const int32_t low = s.length - high;
  const int32_t highValue = high <= low ? s.amplitude : s.amplitude * low / high;
  const int32_t lowValue = high <= low ? s.amplitude * high / low : s.amplitude;
  for (int32_t i = 0; i < s.length; i++) frames[i] = toFrame(i < high ? highValue : -lowValue);
}

// Rising from -amplitude to +amplitude over the cycle; mirror pairs cancel.
void saw(const Synthesis& s, std::vector<int16_t>& frames) {
  for (int32_t i = 0; i < s.length; i++) {
    frames[i] = toFrame(s.amplitude * (2 * i - (s.length - 1)) / (s.length - 1));
  }
}

// Up from 0 to +amplitude at a quarter, down to -amplitude at three quarters.
void triangle(const Synthesis& s, std::vector<int16_t>& frames) {
  const int32_t quarter = s.length / 4;
  for (int32_t i = 0; i < s.length; i++) {
    int32_t t = i < quarter ? i : i < 3 * quarter ? 2 * quarter - i : i - 4 * quarter;
    frames[i] = toFrame(s.amplitude * t / quarter);
  }
}

void sine(const Synthesis& s, std::vector<int16_t>& frames) {
  for (int32_t i = 0; i < s.length; i++) {
    const int32_t phase = static_cast<int32_t>(static_cast<int64_t>(i) * 65536 / s.length);
    frames[i] = toFrame(static_cast<int64_t>(s.amplitude) * approximateSine(phase) / 32767);
  }
}

// A sine whose step falls from startStep toward endStep and whose level decays:
// the thump of a bass drum. Steps and levels carry 16 fraction bits.
void kick(const Synthesis& s, std::vector<int16_t>& frames) {
  int64_t step = static_cast<int64_t>(s.startStep) << 16;
  const int64_t endStep = static_cast<int64_t>(s.endStep) << 16;
  int64_t level = static_cast<int64_t>(s.amplitude) << 16;
  uint32_t phase = 0;
  for (int32_t i = 0; i < s.length; i++) {
    frames[i] = toFrame((level >> 16) * approximateSine(static_cast<int32_t>(phase)) / 32767);
    phase = (phase + static_cast<uint32_t>(step >> 16)) & 0xFFFF;
    step -= (step - endStep) * s.fall / 65536;
    level -= level * s.decay / 65536;
  }
}

// White noise from a xorshift generator, decaying like the kick.
void noise(const Synthesis& s, std::vector<int16_t>& frames) {
  uint32_t state = s.seed;
  int64_t level = static_cast<int64_t>(s.amplitude) << 16;
  for (int32_t i = 0; i < s.length; i++) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    int32_t white = static_cast<int32_t>(state >> 24) - 128;  // -128..127
    frames[i] = toFrame((level >> 16) * white / 128);
    level -= level * s.decay / 65536;
  }
}

}  // namespace

void synthesisePlainWave(ScoreSample& sample) {
  const Synthesis& s = sample.synthesis;
  sample.frames.assign(static_cast<size_t>(s.length), 0);
  switch (s.waveform) {
    case Waveform::Square:
      return pulse(s, sample.frames, 50);
    case Waveform::Pulse:
      return pulse(s, sample.frames, s.duty);
    case Waveform::Saw:
      return saw(s, sample.frames);
    case Waveform::Triangle:
      return triangle(s, sample.frames);
    case Waveform::Sine:
      return sine(s, sample.frames);
    case Waveform::Kick:
      return kick(s, sample.frames);
    default:
      return noise(s, sample.frames);
  }
}

}  // namespace corvexa::make_song
