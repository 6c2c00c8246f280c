#include "xm_builder.h"

namespace corvexa::xm {
namespace {

struct Writer {
  std::vector<uint8_t> bytes;
  void u8(uint32_t v) { bytes.push_back(static_cast<uint8_t>(v)); }
  void u16(uint32_t v) {
    u8(v);
    u8(v >> 8);
  }
  void u32(uint32_t v) {
    u16(v);
    u16(v >> 16);
  }
  void zeros(int32_t n) { bytes.insert(bytes.end(), n, 0); }
  void append(const std::vector<uint8_t>& more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
  }
};

std::vector<uint8_t> pack(const PatternPlan& pattern, int32_t channelCount) {
  Writer w;
  const size_t count = static_cast<size_t>(pattern.rows) * channelCount;
  for (size_t i = 0; i < count; i++) {
    Note n = i < pattern.notes.size() ? pattern.notes[i] : Note{};
    uint8_t mask = 0x80;
    if (n.key) mask |= 0x01;
    if (n.instrument) mask |= 0x02;
    if (n.volume) mask |= 0x04;
    if (n.effect) mask |= 0x08;
    if (n.parameter) mask |= 0x10;
    w.u8(mask);
    if (n.key) w.u8(n.key);
    if (n.instrument) w.u8(n.instrument);
    if (n.volume) w.u8(n.volume);
    if (n.effect) w.u8(n.effect);
    if (n.parameter) w.u8(n.parameter);
  }
  return w.bytes;
}

void writeInstrument(Writer& w, const InstrumentPlan& inst) {
  const size_t start = w.bytes.size();
  const int32_t sampleCount =
      inst.sampleCount != kAuto ? inst.sampleCount : static_cast<int32_t>(inst.samples.size());
  w.u32(inst.headerSize);
  w.zeros(22);  // name
  w.u8(0);      // type
  w.u16(sampleCount);
  if (sampleCount == 0) return;
  w.u32(40);
  for (uint8_t slot : inst.sampleMap) w.u8(slot);
  for (int32_t i = 0; i < 12; i++) {
    EnvelopePoint p = i < static_cast<int32_t>(inst.volumeEnvelope.size()) ? inst.volumeEnvelope[i]
                                                                           : EnvelopePoint{};
    w.u16(static_cast<uint16_t>(p.tick));
    w.u16(static_cast<uint16_t>(p.value));
  }
  w.zeros(48);  // panning envelope
  w.u8(inst.volumePointCount != kAuto ? inst.volumePointCount
                                      : static_cast<int32_t>(inst.volumeEnvelope.size()));
  w.u8(0);
  w.u8(inst.volumeSustainPoint);
  w.u8(inst.volumeLoopStart);
  w.u8(inst.volumeLoopEnd);
  w.u8(0);
  w.u8(0);
  w.u8(0);
  w.u8(inst.volumeType);
  w.u8(0);
  w.u8(inst.autoVibratoType);
  w.u8(inst.autoVibratoSweep);
  w.u8(inst.autoVibratoDepth);
  w.u8(inst.autoVibratoRate);
  w.u16(static_cast<uint16_t>(inst.fadeOut));
  // Pad (or not) to the header size, as the loader will skip to it.
  while (static_cast<int64_t>(w.bytes.size() - start) < inst.headerSize) w.u8(0);
  for (const SamplePlan& s : inst.samples) {
    w.u32(s.length != kAuto ? s.length : static_cast<int32_t>(s.data.size()));
    w.u32(s.loopStart);
    w.u32(s.loopLength);
    w.u8(s.volume);
    w.u8(static_cast<uint8_t>(s.fineTune));
    w.u8(s.type);
    w.u8(s.panning);
    w.u8(static_cast<uint8_t>(s.relativeNote));
    w.zeros(23);
  }
  for (const SamplePlan& s : inst.samples) w.append(s.data);
}

}  // namespace

std::vector<uint8_t> build(const SongPlan& song) {
  Writer w;
  const char id[] = "Extended Module: ";
  for (int32_t i = 0; i < 17; i++) w.u8(static_cast<uint8_t>(id[i]));
  w.zeros(20);  // song name
  w.u8(0x1A);
  const char tracker[] = "XmBuilder           ";
  for (int32_t i = 0; i < 20; i++) w.u8(static_cast<uint8_t>(tracker[i]));
  w.u16(static_cast<uint16_t>(song.version));
  w.u32(song.headerSize);
  w.u16(song.songLength);
  w.u16(song.restartPosition);
  w.u16(song.channelCount);
  w.u16(song.patternCount != kAuto ? song.patternCount
                                   : static_cast<int32_t>(song.patterns.size()));
  w.u16(song.instrumentCount != kAuto ? song.instrumentCount
                                      : static_cast<int32_t>(song.instruments.size()));
  w.u16(1);  // linear frequencies
  w.u16(song.speed);
  w.u16(song.bpm);
  for (int32_t i = 0; i < 256; i++)
    w.u8(i < static_cast<int32_t>(song.order.size()) ? song.order[i] : 0);
  for (const PatternPlan& p : song.patterns) {
    std::vector<uint8_t> data = p.rawData ? p.data : pack(p, song.channelCount);
    w.u32(p.headerLength);
    w.u8(0);
    w.u16(p.rows);
    w.u16(p.packedSize != kAuto ? p.packedSize : static_cast<int32_t>(data.size()));
    if (p.headerLength > 9) w.zeros(p.headerLength - 9);
    w.append(data);
  }
  for (const InstrumentPlan& inst : song.instruments) writeInstrument(w, inst);
  return w.bytes;
}

std::vector<uint8_t> deltaBytes8(const std::vector<int8_t>& values) {
  std::vector<uint8_t> bytes;
  int8_t previous = 0;
  for (int8_t v : values) {
    bytes.push_back(static_cast<uint8_t>(v - previous));
    previous = v;
  }
  return bytes;
}

std::vector<uint8_t> deltaBytes16(const std::vector<int16_t>& values) {
  std::vector<uint8_t> bytes;
  int16_t previous = 0;
  for (int16_t v : values) {
    uint16_t d = static_cast<uint16_t>(v - previous);
    bytes.push_back(static_cast<uint8_t>(d));
    bytes.push_back(static_cast<uint8_t>(d >> 8));
    previous = v;
  }
  return bytes;
}

void put(PatternPlan& pattern, int32_t channelCount, int32_t row, int32_t channel, Note note) {
  size_t index = static_cast<size_t>(row) * channelCount + channel;
  if (pattern.notes.size() <= index) pattern.notes.resize(index + 1);
  pattern.notes[index] = note;
}

InstrumentPlan oneSample(SamplePlan sample) {
  InstrumentPlan inst;
  inst.samples.push_back(std::move(sample));
  return inst;
}

}  // namespace corvexa::xm
