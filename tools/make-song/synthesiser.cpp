#include "tools/make-song/synthesiser.h"

#include <cmath>

#include "music/tables.h"
#include "tools/make-song/synth_math.h"

namespace corvexa::make_song {

namespace {

constexpr int32_t kA4 = 58;

bool produced(Waveform kind) {
  return kind >= Waveform::Voice;
}

// The rate the frames were written for, at key `pitch`.
double writtenRate(const Synthesis& s) {
  if (s.waveform == Waveform::Voice || s.waveform == Waveform::Bell) {
    return keyFrequency(s.pitch) * s.cycle;
  }
  return s.rate;
}

int32_t periodFrequency(int32_t period) {
  return frequencyTable[period % kFrequencyTableCount] >> ((period / kFrequencyTableCount) % 32);
}

// The relative note and fine-tune (an even number: the player halves it)
// whose period at key `pitch` plays nearest to `rate`.
void tune(ScoreSample& sample, double rate) {
  int32_t best = 0;
  double bestError = 1e30;
  for (int32_t period = 0; period < 12 * kFrequencyTableCount; period++) {
    const double error = std::fabs(periodFrequency(period) - rate);
    if (error < bestError) bestError = error, best = period;
  }
  // period = (144 - (pitch - 1 + relative)) * 64 - fineTune / 2
  const int32_t units = (145 - sample.synthesis.pitch) * 64 - best;
  const int32_t relative = units >= 0 ? (units + 32) / 64 : -((-units + 31) / 64);
  sample.relativeNote = relative;
  sample.fineTune = 2 * (units - relative * 64);
}

double peakOf(const std::vector<double>& signal) {
  double peak = 0;
  for (double v : signal) peak = std::fmax(peak, std::fabs(v));
  return peak;
}

// Drive rounds the peaks off, x (1 + k) / (1 + k |x|) of the signal at peak
// 1: the same sound at a lower crest, so that a mix of many voices keeps its
// loudness with fewer near-clipping peaks. It keeps a loop whole.
void applyDrive(std::vector<double>& signal, int32_t drive) {
  const double peak = peakOf(signal);
  if (drive == 0 || peak == 0) return;
  const double k = drive / 25.0;
  for (double& v : signal) {
    const double x = v / peak;
    v = x * (1 + k) / (1 + k * std::fabs(x));
  }
}

// Scales the signal so that its peak is `level` percent of full scale and
// rounds it to the sample's bits.
void finish(ScoreSample& sample, std::vector<double> signal) {
  const Synthesis& s = sample.synthesis;
  applyDrive(signal, s.drive);
  if (s.top != 0) {
    // What the drive added above `top` goes again: the brightest part of a
    // drum is what makes peaks between the samples.
    StateVariableFilter filter;
    for (double& v : signal) {
      filter.step(v, s.top / static_cast<double>(s.rate), 1.3);
      v = filter.low;
    }
  }
  const double peak = peakOf(signal);
  const double full = s.bits == 8 ? 127.0 : 32767.0;
  const double scale = peak > 0 ? full * s.level / 100.0 / peak : 0.0;
  sample.frames.resize(signal.size());
  for (size_t i = 0; i < signal.size(); i++) {
    sample.frames[i] = static_cast<int16_t>(std::lround(signal[i] * scale));
  }
}

}  // namespace

double keyFrequency(int32_t key) {
  constexpr double kLn2 = 0.69314718055994530942;
  return 440.0 * exponential((key - kA4) * kLn2 / 12.0);
}

int32_t playedRate(int32_t key, int32_t relativeNote, int32_t fineTune) {
  const int32_t played = key - 1 + relativeNote;
  return periodFrequency((144 - played) * 64 - (fineTune >> 1));
}

void synthesise(ScoreInstrument& instrument) {
  for (ScoreSample& sample : instrument.samples) {
    const Synthesis& s = sample.synthesis;
    if (!produced(s.waveform)) {
      synthesisePlainWave(sample);
      sample.relativeNote = instrument.relativeNote;
      sample.fineTune = instrument.fineTune;
      continue;
    }
    const double rate = writtenRate(s);
    tune(sample, rate);
    if (s.waveform == Waveform::Voice) {
      finish(sample, renderVoice(s, rate));
    } else if (s.waveform == Waveform::Bell) {
      finish(sample, renderBell(s, rate));
    } else {
      finish(sample, renderDrum(s, sample.loopType != 0 ? sample.loopStart : s.length));
    }
    // Voices and bells loop their last `cycles` cycles; a drum loops as its
    // score says.
    if ((s.waveform == Waveform::Voice || s.waveform == Waveform::Bell) && s.cycles > 0) {
      sample.loopType = 1;
      sample.loopStart = s.attack;
      sample.loopLength = s.cycles * s.cycle;
    }
  }
}

}  // namespace corvexa::make_song
