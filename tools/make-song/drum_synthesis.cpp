// Drums, written at `rate` frames a second for `length` frames. Levels decay
// by half-lives until a loop starts (a looped tail keeps its level and the
// instrument's envelope fades it).
//
//   bass drum  a sine whose pitch falls from startHz to endHz with time
//              constant `sweep`, halving every halfLife ms; a click of
//              band-passed noise over its first milliseconds.
//   snare      a body of two sine modes (tone and 1.47 tone, falling a
//              little at the hit) halving every toneHalfLife ms, and noise
//              band-passed at `bright` halving every halfLife ms, `noise`
//              percent of the mix.
//   clap       `bursts` short bursts of noise `spacing` ms apart, then a
//              tail halving every halfLife ms, band-passed at `bright`.
//   metal      six square partials at the inharmonic ratios of the classic
//              analogue cymbal circuit, from `tone` Hz, band-limited, plus
//              `noise` percent white noise; high-passed twice at `bright`.
#include <cstdint>

#include "tools/make-song/synth_math.h"
#include "tools/make-song/synthesiser.h"

namespace corvexa::make_song {

namespace {

double frameLevel(double& level, double factor, int32_t i, int32_t holdFrom) {
  const double now = level;
  if (i + 1 < holdFrom) level *= factor;
  return now;
}

std::vector<double> bassDrum(const Synthesis& s, int32_t holdFrom) {
  const double rate = s.rate;
  std::vector<double> out(static_cast<size_t>(s.length));
  const double sweepFactor = halvingFactor(s.sweep * rate / 1000.0 * 0.69314718);
  const double levelFactor = halvingFactor(s.halfLife * rate / 1000.0);
  const double clickFactor = halvingFactor(0.0008 * rate);
  NoiseSource noise{s.seed};
  StateVariableFilter clickFilter;
  double offset = s.startHz - s.endHz, phase = 0, level = 1, click = s.click / 100.0;
  for (int32_t i = 0; i < s.length; i++) {
    double v = sine(2 * kPi * phase);
    phase += (s.endHz + offset) / rate;
    phase -= static_cast<double>(static_cast<int64_t>(phase));
    offset *= sweepFactor;
    clickFilter.step(noise.next(), 3500.0 / rate, 0.8);
    v += click * clickFilter.band;
    click *= clickFactor;
    out[i] = v * frameLevel(level, levelFactor, i, holdFrom);
  }
  return out;
}

std::vector<double> snare(const Synthesis& s, int32_t holdFrom) {
  const double rate = s.rate;
  std::vector<double> out(static_cast<size_t>(s.length));
  const double bodyFactor = halvingFactor(s.toneHalfLife * rate / 1000.0);
  const double noiseFactor = halvingFactor(s.halfLife * rate / 1000.0);
  const double dropFactor = halvingFactor(0.003 * rate);
  NoiseSource noise{s.seed};
  StateVariableFilter filter;
  double body = 1, hiss = 1, drop = 0.35, low = 0, high = 0;
  const double mix = s.noise / 100.0;
  for (int32_t i = 0; i < s.length; i++) {
    const double hz = s.tone * (1 + drop);
    drop *= dropFactor;
    const double modes = sine(2 * kPi * low) + 0.5 * sine(2 * kPi * high);
    low += hz / rate;
    high += 1.47 * hz / rate;
    low -= static_cast<double>(static_cast<int64_t>(low));
    high -= static_cast<double>(static_cast<int64_t>(high));
    filter.step(noise.next(), s.bright / rate, 0.9);
    const double shaped = filter.band + 0.5 * filter.high;
    out[i] = (1 - mix) * modes * frameLevel(body, bodyFactor, i, holdFrom) +
             mix * shaped * frameLevel(hiss, noiseFactor, i, holdFrom);
  }
  return out;
}

std::vector<double> clap(const Synthesis& s, int32_t holdFrom) {
  const double rate = s.rate;
  std::vector<double> out(static_cast<size_t>(s.length));
  const int32_t spacing = static_cast<int32_t>(s.spacing * rate / 1000.0);
  const int32_t tailStart = spacing * (s.bursts > 0 ? s.bursts - 1 : 0);
  const double burstFactor = halvingFactor(0.0025 * rate);
  const double tailFactor = halvingFactor(s.halfLife * rate / 1000.0);
  NoiseSource noise{s.seed};
  StateVariableFilter filter;
  double burst = 1, tail = 1;
  for (int32_t i = 0; i < s.length; i++) {
    filter.step(noise.next(), s.bright / rate, 0.6);
    double level;
    if (i < tailStart) {
      if (spacing > 0 && i % spacing == 0) burst = 1;
      level = burst;
      burst *= burstFactor;
    } else {
      level = frameLevel(tail, tailFactor, i, holdFrom);
    }
    out[i] = filter.band * level;
  }
  return out;
}

std::vector<double> metal(const Synthesis& s, int32_t holdFrom) {
  static const double kRatios[6] = {1.0, 1.4826, 1.8002, 2.5460, 2.6303, 3.8968};
  const double rate = s.rate;
  std::vector<double> out(static_cast<size_t>(s.length), 0.0);
  // The squares, each a sum of its odd harmonics below 45 % of the rate.
  for (double ratio : kRatios) {
    const double hz = s.tone * ratio;
    for (int32_t h = 1; h * hz < 0.45 * rate; h += 2) {
      double phase = 0;
      const double step = h * hz / rate;
      for (int32_t i = 0; i < s.length; i++) {
        out[i] += sine(2 * kPi * phase) / h;
        phase += step;
        phase -= static_cast<double>(static_cast<int64_t>(phase));
      }
    }
  }
  const double levelFactor = halvingFactor(s.halfLife * rate / 1000.0);
  NoiseSource noise{s.seed};
  StateVariableFilter first, second;
  const double mix = s.noise / 100.0;
  double level = 1;
  for (int32_t i = 0; i < s.length; i++) {
    const double v = (1 - mix) * out[i] / 6 + mix * noise.next();
    first.step(v, s.bright / rate, 1.2);
    second.step(first.high, s.bright / rate, 1.2);
    out[i] = second.high * frameLevel(level, levelFactor, i, holdFrom);
  }
  return out;
}

}  // namespace

std::vector<double> renderDrum(const Synthesis& s, int32_t holdFrom) {
  switch (s.waveform) {
    case Waveform::BassDrum:
      return bassDrum(s, holdFrom);
    case Waveform::Snare:
      return snare(s, holdFrom);
    case Waveform::Clap:
      return clap(s, holdFrom);
    default:
      return metal(s, holdFrom);
  }
}

}  // namespace corvexa::make_song
