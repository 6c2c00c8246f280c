#include "tools/make-song/synthesiser.h"

#include <cstdint>

namespace corvexa::make_song {

namespace {

int8_t toFrame(int64_t value) {
  if (value > 127) value = 127;
  if (value < -127) value = -127;
  return static_cast<int8_t>(value);
}

// One cycle high then low. A pulse keeps its mean at zero: the shorter part
// takes the full amplitude and the longer one as much less as balances it.
void pulse(Instrument& inst, int32_t duty) {
  const Synthesis& s = inst.synthesis;
  int32_t high = s.length * duty / 100;
  if (high < 1) high = 1;
  if (high > s.length - 1) high = s.length - 1;
  const int32_t low = s.length - high;
  const int32_t highValue = high <= low ? s.amplitude : s.amplitude * low / high;
  const int32_t lowValue = high <= low ? s.amplitude * high / low : s.amplitude;
  for (int32_t i = 0; i < s.length; i++) {
    inst.frames[i] = toFrame(i < high ? highValue : -lowValue);
  }
}

// Rising from -amplitude to +amplitude over the cycle; mirror pairs cancel.
void saw(Instrument& inst) {
  const Synthesis& s = inst.synthesis;
  for (int32_t i = 0; i < s.length; i++) {
    inst.frames[i] = toFrame(s.amplitude * (2 * i - (s.length - 1)) / (s.length - 1));
  }
}

// Up from 0 to +amplitude at a quarter, down to -amplitude at three quarters.
void triangle(Instrument& inst) {
  const Synthesis& s = inst.synthesis;
  const int32_t quarter = s.length / 4;
  for (int32_t i = 0; i < s.length; i++) {
    int32_t t = i < quarter ? i : i < 3 * quarter ? 2 * quarter - i : i - 4 * quarter;
    inst.frames[i] = toFrame(s.amplitude * t / quarter);
  }
}

void sine(Instrument& inst) {
  const Synthesis& s = inst.synthesis;
  for (int32_t i = 0; i < s.length; i++) {
    uint32_t phase = static_cast<uint32_t>(static_cast<int64_t>(i) * 65536 / s.length);
    inst.frames[i] = toFrame(static_cast<int64_t>(s.amplitude) * sinePhase(phase) / 32767);
  }
}

// A sine whose step falls from startStep toward endStep and whose level decays:
// the thump of a bass drum. Steps and levels carry 16 fraction bits.
void kick(Instrument& inst) {
  const Synthesis& s = inst.synthesis;
  int64_t step = static_cast<int64_t>(s.startStep) << 16;
  const int64_t endStep = static_cast<int64_t>(s.endStep) << 16;
  int64_t level = static_cast<int64_t>(s.amplitude) << 16;
  uint32_t phase = 0;
  for (int32_t i = 0; i < s.length; i++) {
    inst.frames[i] = toFrame((level >> 16) * sinePhase(phase) / 32767);
    phase = (phase + static_cast<uint32_t>(step >> 16)) & 0xFFFF;
    step -= (step - endStep) * s.fall / 65536;
    level -= level * s.decay / 65536;
  }
}

// White noise from a xorshift generator, decaying like the kick.
void noise(Instrument& inst) {
  const Synthesis& s = inst.synthesis;
  uint32_t state = s.seed;
  int64_t level = static_cast<int64_t>(s.amplitude) << 16;
  for (int32_t i = 0; i < s.length; i++) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    int32_t white = static_cast<int32_t>(state >> 24) - 128;  // -128..127
    inst.frames[i] = toFrame((level >> 16) * white / 128);
    level -= level * s.decay / 65536;
  }
}

}  // namespace

int32_t sinePhase(uint32_t phase) {
  phase &= 0xFFFF;
  const int64_t half = 32768;  // pi
  const int64_t x = phase < half ? phase : phase - half;
  const int64_t product = x * (half - x);
  const int64_t value = 16 * product * 32767 / (5 * half * half - 4 * product);
  return static_cast<int32_t>(phase < half ? value : -value);
}

void synthesise(Instrument& inst) {
  inst.frames.assign(static_cast<size_t>(inst.synthesis.length), 0);
  switch (inst.synthesis.waveform) {
    case Waveform::Square:
      return pulse(inst, 50);
    case Waveform::Pulse:
      return pulse(inst, inst.synthesis.duty);
    case Waveform::Saw:
      return saw(inst);
    case Waveform::Triangle:
      return triangle(inst);
    case Waveform::Sine:
      return sine(inst);
    case Waveform::Kick:
      return kick(inst);
    case Waveform::Noise:
      return noise(inst);
  }
}

}  // namespace corvexa::make_song
