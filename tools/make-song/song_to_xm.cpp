#include "tools/make-song/song_to_xm.h"

namespace corvexa::make_song {

namespace {

XmPattern toXm(const Pattern& pattern) {
  XmPattern xm;
  xm.rows = pattern.rows;
  for (const Cell& cell : pattern.cells) {
    packNote(xm.data, cell.key, cell.instrument, cell.volume, cell.effect, cell.parameter);
  }
  return xm;
}

// Every key plays the first sample whose range holds it; lengths and loops
// count bytes, two a frame in 16 bits; an absent envelope point is 0.
XmInstrument toXm(const ScoreInstrument& inst) {
  XmInstrument xm;
  xm.name = inst.name;
  for (int32_t key = kLowestKey; key <= kHighestKey; key++) {
    for (size_t i = inst.samples.size(); i-- > 0;) {
      const Synthesis& s = inst.samples[i].synthesis;
      if (key >= s.keyLow && key <= s.keyHigh)
        xm.sampleMap[key - kLowestKey] = static_cast<uint8_t>(i);
    }
  }
  for (const ScoreEnvelopePoint& point : inst.envelope)
    xm.volumeEnvelope.push_back({point.tick, point.value});
  xm.volumeSustainPoint =
      static_cast<uint8_t>(inst.sustainPoint == kNoPoint ? 0 : inst.sustainPoint);
  xm.volumeLoopStart =
      static_cast<uint8_t>(inst.loopStartPoint == kNoPoint ? 0 : inst.loopStartPoint);
  xm.volumeLoopEnd = static_cast<uint8_t>(inst.loopEndPoint == kNoPoint ? 0 : inst.loopEndPoint);
  if (!inst.envelope.empty()) xm.volumeType |= 1;
  if (inst.sustainPoint != kNoPoint) xm.volumeType |= 2;
  if (inst.loopStartPoint != kNoPoint) xm.volumeType |= 4;
  xm.autoVibratoType = static_cast<uint8_t>(inst.vibratoType);
  xm.autoVibratoSweep = static_cast<uint8_t>(inst.vibratoSweep);
  xm.autoVibratoDepth = static_cast<uint8_t>(inst.vibratoDepth);
  xm.autoVibratoRate = static_cast<uint8_t>(inst.vibratoRate);
  xm.fadeOut = inst.fadeOut;
  for (const ScoreSample& sample : inst.samples) {
    const int32_t width = sample.synthesis.bits == 16 ? 2 : 1;
    XmSample& s = xm.samples.emplace_back();
    s.data = deltaCode(sample.frames, sample.synthesis.bits);
    s.loopStart = sample.loopType == 0 ? 0 : sample.loopStart * width;
    s.loopLength = sample.loopType == 0 ? 0 : sample.loopLength * width;
    s.volume = static_cast<uint8_t>(inst.volume);
    s.fineTune = static_cast<int8_t>(sample.fineTune);
    s.type = static_cast<uint8_t>(sample.loopType | (width == 2 ? 0x10 : 0));
    s.relativeNote = static_cast<int8_t>(sample.relativeNote);
    s.name = inst.name;
  }
  return xm;
}

}  // namespace

XmModule toXm(const Song& song) {
  XmModule xm;
  xm.name = song.name;
  xm.tracker = "make-song";
  xm.channels = song.channels;
  xm.speed = song.speed;
  xm.tempo = song.tempo;
  xm.order = song.order;
  for (const Pattern& pattern : song.patterns) xm.patterns.push_back(toXm(pattern));
  for (const ScoreInstrument& inst : song.instruments) xm.instruments.push_back(toXm(inst));
  return xm;
}

}  // namespace corvexa::make_song
