#include "tools/make-song/mix_estimate.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr int32_t kOutputRate = 44100;
constexpr int32_t kNone = 0xFFFFFF;  // no sustain or loop-end tick

// The frequency of the top octave of the linear period scale, and the two
// vibrato curves, as the player builds them.
struct Tables {
  std::array<int32_t, 768> frequency;
  std::array<int32_t, 32> vibrato;
  std::array<int32_t, 128> autoVibrato;
  Tables() {
    for (int32_t i = 0; i < 768; i++) {
      frequency[i] = 4 * static_cast<int32_t>(std::floor(535232.0 * std::pow(2.0, -i / 768.0)));
    }
    for (int32_t i = 0; i < 32; i++) {
      vibrato[i] = static_cast<int32_t>(std::floor(255.0 * std::sin(M_PI * i / 32.0)));
    }
    for (int32_t i = 0; i < 128; i++) {
      autoVibrato[i] = static_cast<int32_t>(std::floor(64.0 * std::sin(M_PI * i / 128.0)));
    }
  }
};

const Tables& tables() {
  static const Tables built;
  return built;
}

// An instrument as the player holds it after loading: envelope values times
// 4, unused sustain and loop points marked, frames in 16 bits.
struct LoadedInstrument {
  const Instrument* source = nullptr;
  std::array<EnvelopePoint, 12> points{};
  int32_t pointCount = 0;
  int32_t sustainPoint = 255;
  int32_t loopStart = 254;
  int32_t loopEnd = 255;
  std::vector<int16_t> frames;
};

struct Envelope {
  const LoadedInstrument* inst = nullptr;
  int32_t count = 0, sustainTick = kNone, loopStart = 0, loopEndTick = kNone;
  int32_t tick = -1, index = 0, released = 0;

  int32_t valueAndAdvance() {
    if (count == 0) return released ? 0 : 256;
    const auto& points = inst->points;
    const int32_t t = tick;
    const EnvelopePoint a = points[index];
    const EnvelopePoint b = points[index + 1];
    int32_t value = t <= a.tick  ? a.value
                    : t > b.tick ? b.value
                                 : a.value + (t - a.tick) * (b.value - a.value) / (b.tick - a.tick);
    if (t >= 0 && !released && t >= sustainTick) return value;
    tick = t + 1;
    if (!released && tick >= sustainTick) return value;
    if (tick >= loopEndTick) {
      index = loopStart;
      tick = points[loopStart].tick;
    } else if (tick >= points[index + 1].tick && index + 2 < count) {
      index++;
    }
    return value;
  }
};

struct Channel {
  // sample cursor
  int32_t loopStart = 0, end = 0, loopType = 0, position = 0, backwards = 0;
  // volume control
  Envelope envelope;
  int32_t fadeSpeed = 0, fadeLevel = 0, fadeActive = 0;
  int32_t volume = 0, slide = 0, cutTick = 0x7FFFFFFF;
  // pitch
  int32_t period = 0, target = 0, speed = 0;
  // automatic vibrato
  int32_t avType = 0, avSweep = 0, avRate = 0, avDepth = 0, avPosition = 0, avCounter = 0;
  int32_t avKeyOff = 0;
  // vibrato and arpeggio
  int32_t vibSpeed = 0, vibDepth = 0, vibActive = 0, vibPosition = 0;
  std::array<int32_t, 3> arpeggio{};
  int32_t arpIndex = 0, arpActive = 0;

  const LoadedInstrument* currentInstrument = nullptr;
  const LoadedInstrument* currentSample = nullptr;  // one sample per instrument
  const LoadedInstrument* lastInstrument = nullptr;
  int32_t lastKey = 0;

  void noteOn(const LoadedInstrument& inst) {
    volume = inst.source->volume;
    envelope.inst = &inst;
    envelope.count = inst.pointCount;
    envelope.sustainTick =
        inst.sustainPoint < inst.pointCount ? inst.points[inst.sustainPoint].tick : kNone;
    envelope.loopStart = inst.loopStart;
    envelope.loopEndTick = inst.loopEnd < inst.pointCount ? inst.points[inst.loopEnd].tick : kNone;
    envelope.tick = -1;
    envelope.index = 0;
    envelope.released = 0;
    fadeSpeed = inst.source->fadeOut;
    fadeLevel = 32768;
    fadeActive = 0;
  }

  void keyOff() {
    fadeActive = 1;
    envelope.released = 1;
    Envelope& e = envelope;
    if (e.count > 0 && e.tick == e.sustainTick) {
      if (e.tick >= e.loopEndTick) {
        e.index = e.loopStart;
        e.tick = e.inst->points[e.loopStart].tick;
      } else if (e.tick >= e.inst->points[e.index + 1].tick && e.index + 2 < e.count) {
        e.index++;
      }
    }
  }

  void setInstrument(const LoadedInstrument& inst) {
    avPosition = avCounter = avKeyOff = 0;
    avType = inst.source->vibratoType;
    avSweep = inst.source->vibratoSweep;
    avRate = inst.source->vibratoRate;
    avDepth = (inst.source->vibratoDepth * 4) & 0xFF;
  }

  int32_t applyAutoVibrato(int32_t p) {
    if (p != 0 && avDepth != 0) {
      const int32_t pos = avPosition;
      int32_t w = 0;
      if (avType == 0)
        w = (pos & 128) ? -tables().autoVibrato[pos & 127] : tables().autoVibrato[pos & 127];
      if (avType == 1) w = (pos & 128) ? -64 : 64;
      if (avType == 2) w = 63 - (((pos + 128) & 255) >> 1);
      if (avType == 3) w = (((pos + 128) & 255) >> 1) - 64;
      int32_t d = avDepth;
      if (avKeyOff == 0) {
        if (avCounter < avSweep) d = avDepth * avCounter++ / avSweep;
      } else {
        d = avCounter >= avSweep ? avDepth : 0;
      }
      p = (p - ((d * w) >> 8)) & 0xFFFF;
    }
    avPosition = (avPosition + avRate) & 255;
    return p;
  }

  int32_t tickVolume(int32_t tick) {
    if (tick != 0) volume = std::clamp(volume + slide, 0, 64);
    if (tick == cutTick) volume = 0;
    const int32_t f = fadeLevel;
    if (fadeActive) {
      fadeLevel = f - fadeSpeed;
      if (fadeLevel < 0) fadeLevel = fadeSpeed = 0;
    }
    const int32_t v = volume * f / 64;
    const int64_t e = envelope.valueAndAdvance();
    return static_cast<int32_t>(e * v / 32768);
  }

  void startRow(const Cell& cell, const std::vector<LoadedInstrument>& instruments) {
    const int32_t K = cell.key, I = cell.instrument, V = cell.volume;
    int32_t E = cell.effect, P = cell.parameter;
    if (E == 0x0E) {
      E = 0xE0 | (P >> 4);
      P &= 15;
    }
    const int32_t vh = V >> 4, vl = V & 15;
    int32_t key = 0;
    const LoadedInstrument* inst = nullptr;
    if ((K >= 1 && K <= 96) || I != 0) {
      const int32_t k = (K >= 1 && K <= 96) ? K : K == 0 ? lastKey : 0;
      inst = I != 0 ? &instruments[I - 1] : lastInstrument;
      if (k != 0 && inst != nullptr) {
        lastKey = k;
        lastInstrument = inst;
        currentSample = inst;
        key = k - 1 + inst->source->relativeNote;
      } else {
        inst = nullptr;
      }
    }
    if (K == kKeyOff) {
      keyOff();
      avKeyOff = 1;
    }
    if (E == 5 || E == 6 || E == 0x0A || vh == 6 || vh == 7) {
      int32_t s = (E == 5 || E == 6 || E == 0x0A) ? ((P >> 4) ? (P >> 4) : -(P & 15))
                  : vh == 6                       ? -vl
                                                  : vl;
      if (s != 0) slide = s;
    } else {
      slide = 0;
    }
    if (vh == 8) volume = std::clamp(volume - vl, 0, 64);
    if (vh == 9) volume = std::clamp(volume + vl, 0, 64);
    if (key != 0) {
      vibPosition = 0;
      if (vibDepth > 0 && vibSpeed > 0) vibActive = 1;
    }
    if (vh == 0xA || vh == 0xB || E == 4 || E == 6) {
      int32_t sp = vh == 0xA ? vl * 4 : 0;
      int32_t dp = vh == 0xB ? vl : 0;
      if (E == 4) {
        sp = (P >> 4) * 4;
        dp = P & 15;
      }
      if (sp != 0) {
        vibSpeed = sp;
        if (vibDepth > 0) vibActive = 1;
      }
      if (dp != 0) {
        vibDepth = dp;
        if (vibSpeed > 0) vibActive = 1;
      }
    } else {
      vibActive = 0;
    }
    if (E == 0) {
      arpeggio = {0, P >> 4, P & 15};
      arpIndex = 0;
      arpActive = 1;
    } else {
      arpActive = 0;
    }
    if (vh == 0xF || E == 3 || E == 5) {
      int32_t s = vh == 0xF ? vl * 64 : 0;
      if (E == 3) s = P * 4;
      if (s != 0) speed = s;
      if (key != 0) target = (144 - key) * 64;
    } else if (inst != nullptr) {
      period = target = (144 - key) * 64 - (inst->source->fineTune >> 1);
      const Instrument& source = *inst->source;
      loopType = source.loopType;
      loopStart = source.loopStart * 2048;
      end = (loopType != 0 ? source.loopStart + source.loopLength
                           : static_cast<int32_t>(inst->frames.size())) *
                2048 -
            1;
      position = backwards = 0;
    } else {
      target = 0;
    }
    if (E == 1 || E == 2) {
      if (P * 4 > 0) speed = P * 4;
      target = E == 1 ? -7104 : 9152;
    }
    if (inst != nullptr) {
      if (inst != currentInstrument) {
        currentInstrument = inst;
        setInstrument(*inst);
      }
      noteOn(*inst);
    }
    if (V >= 0x10 && V <= 0x50) volume = V - 0x10;
    if (E == 0x0C) {
      volume = P;
      cutTick = 0x7FFFFFFF;
    } else if (E == 0xEC) {
      cutTick = P;
    } else {
      cutTick = 0x7FFFFFFF;
    }
  }

  void mix(std::vector<int32_t>& mixBuffer, int32_t frequency, int32_t gain, int32_t count) {
    const std::vector<int16_t>& pool = currentSample->frames;
    const int32_t step = static_cast<int32_t>(static_cast<int64_t>(frequency) * 2048 / kOutputRate);
    int32_t out = 0;
    while (count > 0) {
      const int32_t d = backwards ? -step : step;
      if (loopType == 0 && position >= end) return;
      const int32_t boundary = backwards ? loopStart : end;
      if (d == 0) return;
      const int32_t n = (boundary - position) / d + 1;
      if (n <= 0) return;
      const int32_t m = std::min(n, count);
      for (int32_t i = 0; i < m; i++) {
        mixBuffer[out++] += pool[position >> 11] * gain;
        position += d;
      }
      count -= m;
      if (loopType != 0) {
        if (position >= end) {
          if (loopType == 1) {
            position += loopStart - end;
          } else {
            backwards = 1;
            position = 2 * end - position;
          }
        } else if (backwards && position < loopStart) {
          backwards = 0;
          position = 2 * loopStart - position;
        }
      }
    }
  }

  void tickChannel(int32_t tick, int32_t samplesPerTick, std::vector<int32_t>& mixBuffer) {
    if (currentSample == nullptr) return;
    if (tick != 0 && target != 0) {
      const int32_t d = target - period;
      if (d > 0) period = d < speed ? target : period + speed;
      if (d < 0) period = -d < speed ? target : period - speed;
      if (d == 0) speed = 0;
    }
    int32_t offset = 0;
    if (vibActive && tick != 0) {
      const int32_t w = tables().vibrato[(vibPosition >> 2) & 31];
      const int32_t a = ((w * vibDepth) >> 7) * 4;
      offset = vibPosition < 128 ? a : -a;
      vibPosition = (vibPosition + vibSpeed) & 255;
    }
    int32_t p = (period + offset) & 0xFFFF;
    p = applyAutoVibrato(p);
    if (arpActive) {
      p = (p - 64 * arpeggio[arpIndex]) & 0xFFFF;
      arpIndex = (arpIndex + 1) % 3;
    }
    const int32_t frequency = tables().frequency[p % 768] >> ((p / 768) % 32);
    const int32_t gain = tickVolume(tick);
    mix(mixBuffer, frequency, gain, samplesPerTick);
  }
};

std::vector<LoadedInstrument> loadInstruments(const Song& song) {
  std::vector<LoadedInstrument> loaded(song.instruments.size());
  for (size_t i = 0; i < song.instruments.size(); i++) {
    const Instrument& inst = song.instruments[i];
    LoadedInstrument& l = loaded[i];
    l.source = &inst;
    for (size_t p = 0; p < inst.envelope.size(); p++) {
      l.points[p] = {inst.envelope[p].tick, inst.envelope[p].value * 4};
    }
    l.pointCount = static_cast<int32_t>(inst.envelope.size());
    if (inst.sustainPoint != kNoPoint) l.sustainPoint = inst.sustainPoint;
    if (inst.loopStartPoint != kNoPoint) {
      l.loopStart = inst.loopStartPoint;
      l.loopEnd = inst.loopEndPoint;
    }
    for (int8_t frame : inst.frames) l.frames.push_back(static_cast<int16_t>(frame * 256));
  }
  return loaded;
}

}  // namespace

std::vector<int16_t> renderEstimate(const Song& song) {
  const std::vector<LoadedInstrument> instruments = loadInstruments(song);
  std::vector<Channel> channels(static_cast<size_t>(song.channels));
  const int32_t samplesPerTick = kOutputRate / ((2 * song.tempo) / 5);
  std::vector<int32_t> mixBuffer(static_cast<size_t>(samplesPerTick));
  std::vector<int16_t> output;
  for (uint8_t patternNumber : song.order) {
    const Pattern& pattern = song.patterns[patternNumber];
    for (int32_t row = 0; row < song.rows; row++) {
      for (int32_t c = 0; c < song.channels; c++) {
        channels[c].startRow(pattern.cells[row * song.channels + c], instruments);
      }
      for (int32_t tick = 0; tick < song.speed; tick++) {
        std::fill(mixBuffer.begin(), mixBuffer.end(), 0);
        for (Channel& channel : channels) channel.tickChannel(tick, samplesPerTick, mixBuffer);
        for (int32_t sum : mixBuffer)
          output.push_back(static_cast<int16_t>(std::clamp(sum >> 8, -32768, 32767)));
      }
    }
  }
  return output;
}

Levels measureLevels(const std::vector<int16_t>& samples) {
  Levels levels;
  double squares = 0;
  double sum = 0;
  for (int16_t s : samples) {
    const int32_t magnitude = s < 0 ? -s : s;
    levels.peak = std::max(levels.peak, magnitude);
    if (s == 32767 || s == -32768) levels.clipped++;
    squares += static_cast<double>(s) * s;
    sum += s;
  }
  const double count = samples.empty() ? 1.0 : static_cast<double>(samples.size());
  levels.rmsDecibels = 10.0 * std::log10(squares / count / (32768.0 * 32768.0) + 1e-20);
  levels.meanDc = sum / count;
  return levels;
}
