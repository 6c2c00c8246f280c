// Voices and bells: tones made of harmonics, so they hold nothing above the
// pitches they are played at.
//
// A voice is a sum of layers, each a sum of harmonics of one shape with the
// shape's weights (a saw has every harmonic at 1/h, a square and a triangle
// the odd ones at 1/h and 1/h^2, a pulse is one saw less another delayed by
// its width). A layer runs at a whole number of cycles over the loop, so the
// loop meets itself exactly: the detuned layers beat against the main one at
// whole-loop rates, and the pulse width swings a whole number of times.
// Harmonics stop below what the sample's highest key would push past 18 kHz
// (and below 45 % of the rate the frames are written at), fading out over
// the top third of that band so that no edge rings. A low-pass filter acts on
// each harmonic by its magnitude: as a filter sweep, inside the attack.
#include <cstdint>

#include "tools/make-song/synth_math.h"
#include "tools/make-song/synthesiser.h"

namespace corvexa::make_song {

namespace {

constexpr double kHighestHarmonicHz = 18000.0;

// A partial's frequency: `top` cycles every `bottom` frames.
struct Rational {
  int64_t top;
  int64_t bottom;
};

struct ChordTone {
  int32_t top;
  int32_t bottom;
};

std::vector<ChordTone> chordTones(Chord chord) {
  switch (chord) {
    case Chord::Major:
      return {{1, 1}, {5, 4}, {3, 2}};
    case Chord::Minor:
      return {{1, 1}, {6, 5}, {3, 2}};
    case Chord::Sus2:
      return {{1, 1}, {9, 8}, {3, 2}};
    case Chord::Sus4:
      return {{1, 1}, {4, 3}, {3, 2}};
    case Chord::Fifth:
      return {{1, 1}, {3, 2}, {2, 1}};
    case Chord::Single:
      break;
  }
  return {{1, 1}};
}

// Harmonic h's weight in a shape (a pulse's are its two saws').
double shapeWeight(Shape shape, int32_t h) {
  switch (shape) {
    case Shape::Saw:
    case Shape::Pulse:
      return 1.0 / h;
    case Shape::Square:
      return h % 2 == 1 ? 1.0 / h : 0.0;
    case Shape::Triangle:
      return h % 2 == 1 ? ((h / 2) % 2 == 0 ? 1.0 : -1.0) / (static_cast<double>(h) * h) : 0.0;
    case Shape::Sine:
      return h == 1 ? 1.0 : 0.0;
  }
  return 0.0;
}

// The magnitude of a two-pole resonant low-pass, squared (24 dB an octave
// above the cutoff, and the resonance squared at it).
double lowPassGain(double hz, double cutoff, double resonance) {
  if (cutoff <= 0) return 1.0;
  const double x = hz / cutoff;
  const double a = 1 - x * x;
  const double b = x / resonance;
  return 1.0 / (a * a + b * b);
}

// The band's top third fades out along half a cosine.
double bandTaper(double hz, double limit) {
  const double start = limit * 2 / 3;
  if (hz <= start) return 1.0;
  if (hz >= limit) return 0.0;
  return 0.5 * (1 + sine(kPi * (hz - start) / (limit - start) + kPi / 2));
}

double highestHarmonicHz(const Synthesis& s, double rate) {
  const double span = keyFrequency(s.keyHigh) / keyFrequency(s.pitch);
  const double byKeys = kHighestHarmonicHz / (span > 1 ? span : 1);
  return byKeys < 0.45 * rate ? byKeys : 0.45 * rate;
}

// The cutoff at frame i: from `cutoff` to `cutoffEnd` along an exponential
// over the attack, then held.
double cutoffAt(const Synthesis& s, int32_t i, int32_t attack) {
  if (s.cutoff == 0) return 0;
  const double end = s.cutoffEnd > 0 ? s.cutoffEnd : s.cutoff;
  if (attack == 0 || i >= attack) return end;
  return s.cutoff * exponential(logarithm(end / s.cutoff) * i / attack);
}

// The level over the attack, halving every halfLife ms, then held.
std::vector<double> levelCurve(const Synthesis& s, double rate, int32_t frames, int32_t attack) {
  std::vector<double> curve(static_cast<size_t>(frames), 1.0);
  const double factor = halvingFactor(s.halfLife * rate / 1000.0);
  double level = 1.0;
  for (int32_t i = 0; i < frames; i++) {
    curve[i] = level;
    if (i + 1 < attack) level *= factor;
  }
  return curve;
}

// Adds one layer at `pitch` (cycles per frame), `weight` times its shape.
void addLayer(std::vector<double>& out, const Synthesis& s, double rate, Rational pitch,
              double weight, Shape shape, int32_t attack, int32_t loopFrames) {
  const std::vector<int16_t>& table = sineTable();
  const int32_t frames = static_cast<int32_t>(out.size());
  const double hz = static_cast<double>(pitch.top) / pitch.bottom * rate;
  const double limit = highestHarmonicHz(s, rate);
  const bool sweeping = s.cutoff != 0 && s.cutoffEnd != 0 && s.cutoffEnd != s.cutoff;
  std::vector<double> width(static_cast<size_t>(frames), s.width / 100.0);
  if (shape == Shape::Pulse && s.pwm != 0) {
    for (int32_t i = 0; i < frames; i++) {
      const double swing = loopFrames > 0 ? static_cast<double>(i - attack) / loopFrames : 0;
      width[i] = (s.width + s.pwm * sine(2 * kPi * s.pwmCycles * swing)) / 100.0;
    }
  }
  std::vector<double> cutoff(static_cast<size_t>(sweeping ? attack + 1 : 1));
  for (int32_t i = 0; i < static_cast<int32_t>(cutoff.size()); i++)
    cutoff[i] = cutoffAt(s, i, attack);
  const double resonance = s.resonance / 10.0;
  for (int32_t h = 1; h * hz < limit; h++) {
    const double base = weight * shapeWeight(shape, h) * bandTaper(h * hz, limit);
    if (base == 0) continue;
    const int64_t step = (pitch.top * h) % pitch.bottom;
    // Schroeder's phases, pi h^2 / H in units of the loop's frames: a start
    // in the partial's own cycle.
    const int32_t count = static_cast<int32_t>(limit / hz) + 1;
    int64_t at =
        s.spread != 0 ? (pitch.bottom * ((int64_t{h} * h) % (2 * count))) / (2 * count) : 0;
    double gain = base * lowPassGain(h * hz, cutoff[0], resonance);
    for (int32_t i = 0; i < frames; i++) {
      if (sweeping && i <= attack) gain = base * lowPassGain(h * hz, cutoff[i], resonance);
      const int64_t phase = at * 65536 / pitch.bottom;
      double v = table[static_cast<size_t>(phase)];
      if (shape == Shape::Pulse) {
        const int64_t delay = static_cast<int64_t>(width[i] * 65536.0) * h;
        v -= table[static_cast<size_t>((phase - delay) & 0xFFFF)];
      }
      out[i] += gain * v;
      at += step;
      if (at >= pitch.bottom) at -= pitch.bottom;
    }
  }
}

}  // namespace

std::vector<double> renderVoice(const Synthesis& s, double rate) {
  const int32_t loopFrames = s.cycles * s.cycle;
  const int32_t frames = s.attack + loopFrames;
  std::vector<double> out(static_cast<size_t>(frames), 0.0);
  for (const ChordTone& tone : chordTones(s.chord)) {
    // One cycle every `cycle` frames, or `cycles` over the loop: the same
    // pitch, the second form keeping the detuned layers whole.
    const int64_t bottom =
        loopFrames > 0 ? int64_t{loopFrames} * tone.bottom : int64_t{s.cycle} * tone.bottom;
    const int64_t top = loopFrames > 0 ? int64_t{s.cycles} * tone.top : tone.top;
    addLayer(out, s, rate, {top, bottom}, 1.0, s.shape, s.attack, loopFrames);
    if (s.detune != 0) {
      const int64_t offset = int64_t{s.detune} * tone.bottom;
      addLayer(out, s, rate, {top + offset, bottom}, 0.7, s.shape, s.attack, loopFrames);
      addLayer(out, s, rate, {top - offset, bottom}, 0.7, s.shape, s.attack, loopFrames);
    }
  }
  if (s.sub != 0) {
    const Rational half =
        loopFrames > 0 ? Rational{s.cycles / 2, loopFrames} : Rational{1, 2 * s.cycle};
    addLayer(out, s, rate, half, s.sub / 100.0, Shape::Sine, s.attack, loopFrames);
  }
  const std::vector<double> level = levelCurve(s, rate, frames, s.attack);
  for (int32_t i = 0; i < frames; i++) out[i] *= level[i];
  return out;
}

// A bell: the carrier's phase moved by the modulator times the index, which
// falls from `index` to `indexEnd` over the attack.
std::vector<double> renderBell(const Synthesis& s, double rate) {
  const int32_t loopFrames = s.cycles * s.cycle;
  const int32_t frames = s.attack + loopFrames;
  const std::vector<int16_t>& table = sineTable();
  const int64_t bottom = loopFrames > 0 ? loopFrames : s.cycle;
  const int64_t carrierStep = loopFrames > 0 ? s.cycles : 1;
  const int64_t modulatorBottom = bottom * s.ratioBottom;
  const int64_t modulatorStep = carrierStep * s.ratioTop;
  const double start = s.index / 100.0;
  const double end = s.indexEnd / 100.0;
  const int32_t attack = s.attack;
  const std::vector<double> level = levelCurve(s, rate, frames, attack);
  std::vector<double> out(static_cast<size_t>(frames), 0.0);
  int64_t carrier = 0, modulator = 0;
  for (int32_t i = 0; i < frames; i++) {
    const double t = i < attack ? static_cast<double>(i) / attack : 1.0;
    const double index = start > 0 && end > 0 ? start * exponential(logarithm(end / start) * t)
                                              : start + (end - start) * t;
    const double swing = table[static_cast<size_t>(modulator * 65536 / modulatorBottom)] / 32767.0;
    const int64_t shift = static_cast<int64_t>(index * swing * 65536.0 / (2 * kPi));
    const int64_t phase = (carrier * 65536 / bottom + shift) & 0xFFFF;
    out[i] = level[i] * table[static_cast<size_t>(phase)];
    carrier = (carrier + carrierStep) % bottom;
    modulator = (modulator + modulatorStep) % modulatorBottom;
  }
  return out;
}

}  // namespace corvexa::make_song
