#include "tools/make-song/xm_writer.h"

#include <string>

namespace corvexa::make_song {

namespace {

struct Output {
  std::vector<uint8_t> bytes;

  void byte(int32_t value) { bytes.push_back(static_cast<uint8_t>(value)); }
  void int16(int32_t value) {
    byte(value);
    byte(value >> 8);
  }
  void int32(int32_t value) {
    int16(value);
    int16(value >> 16);
  }
  // A text in a fixed-size field, padded with zero bytes.
  void text(const std::string& value, size_t size) {
    for (size_t i = 0; i < size; i++) byte(i < value.size() ? value[i] : 0);
  }
  void zeros(size_t count) { bytes.insert(bytes.end(), count, 0); }
};

// The preamble and the header: the song's counts, speeds and order table.
void writeHeader(Output& out, const Song& song) {
  out.text("Extended Module: ", 17);
  out.text(song.name, 20);
  out.byte(0x1A);
  out.text("make-song", 20);
  out.int16(0x0104);
  out.int32(276);  // header size, counted from this field
  out.int16(static_cast<int32_t>(song.order.size()));
  out.int16(0);  // restart position
  out.int16(song.channels);
  out.int16(static_cast<int32_t>(song.patterns.size()));
  out.int16(static_cast<int32_t>(song.instruments.size()));
  out.int16(1);  // flags: linear frequency table
  out.int16(song.speed);
  out.int16(song.tempo);
  for (size_t i = 0; i < 256; i++) out.byte(i < song.order.size() ? song.order[i] : 0);
}

// One note, packed: a flag byte (bit 7 set) naming the fields that follow.
void writeCell(Output& out, const Cell& cell) {
  const uint8_t fields[5] = {cell.key, cell.instrument, cell.volume, cell.effect, cell.parameter};
  int32_t flags = 0x80;
  for (int32_t i = 0; i < 5; i++) {
    if (fields[i] != 0) flags |= 1 << i;
  }
  out.byte(flags);
  for (int32_t i = 0; i < 5; i++) {
    if (fields[i] != 0) out.byte(fields[i]);
  }
}

void writePattern(Output& out, const Pattern& pattern) {
  Output data;
  for (const Cell& cell : pattern.cells) writeCell(data, cell);
  out.int32(9);  // header length
  out.byte(0);   // packing type
  out.int16(pattern.rows);
  out.int16(static_cast<int32_t>(data.bytes.size()));
  out.bytes.insert(out.bytes.end(), data.bytes.begin(), data.bytes.end());
}

// The instrument header: which sample each key plays, the volume envelope,
// the fade-out and the automatic vibrato; then the sample headers, then the
// samples' data.
void writeInstrument(Output& out, const ScoreInstrument& inst) {
  out.int32(263);
  out.text(inst.name, 22);
  out.byte(0);  // type
  out.int16(static_cast<int32_t>(inst.samples.size()));
  out.int32(40);  // sample header size
  for (int32_t key = kLowestKey; key <= kHighestKey; key++) {
    int32_t slot = 0;
    for (size_t i = inst.samples.size(); i-- > 0;) {
      const Synthesis& s = inst.samples[i].synthesis;
      if (key >= s.keyLow && key <= s.keyHigh) slot = static_cast<int32_t>(i);
    }
    out.byte(slot);
  }
  for (size_t i = 0; i < 12; i++) {
    out.int16(i < inst.envelope.size() ? inst.envelope[i].tick : 0);
    out.int16(i < inst.envelope.size() ? inst.envelope[i].value : 0);
  }
  out.zeros(48);  // panning envelope
  out.byte(static_cast<int32_t>(inst.envelope.size()));
  out.byte(0);  // panning points
  out.byte(inst.sustainPoint == kNoPoint ? 0 : inst.sustainPoint);
  out.byte(inst.loopStartPoint == kNoPoint ? 0 : inst.loopStartPoint);
  out.byte(inst.loopEndPoint == kNoPoint ? 0 : inst.loopEndPoint);
  out.zeros(3);  // panning sustain and loop points
  int32_t volumeType = 0;
  if (!inst.envelope.empty()) volumeType |= 1;
  if (inst.sustainPoint != kNoPoint) volumeType |= 2;
  if (inst.loopStartPoint != kNoPoint) volumeType |= 4;
  out.byte(volumeType);
  out.byte(0);  // panning type
  out.byte(inst.vibratoType);
  out.byte(inst.vibratoSweep);
  out.byte(inst.vibratoDepth);
  out.byte(inst.vibratoRate);
  out.int16(inst.fadeOut);
  out.zeros(22);  // reserved

  // Lengths and loops count bytes: two a frame in 16 bits.
  for (const ScoreSample& sample : inst.samples) {
    const int32_t width = sample.synthesis.bits == 16 ? 2 : 1;
    out.int32(static_cast<int32_t>(sample.frames.size()) * width);
    out.int32(sample.loopType == 0 ? 0 : sample.loopStart * width);
    out.int32(sample.loopType == 0 ? 0 : sample.loopLength * width);
    out.byte(inst.volume);
    out.byte(sample.fineTune);
    out.byte(sample.loopType | (width == 2 ? 0x10 : 0));
    out.byte(128);  // panning: centre
    out.byte(sample.relativeNote);
    out.byte(0);  // reserved
    out.text(inst.name, 22);
  }
  for (const ScoreSample& sample : inst.samples) {
    int32_t previous = 0;
    for (int16_t frame : sample.frames) {
      if (sample.synthesis.bits == 16) {
        out.int16(frame - previous);
      } else {
        out.byte(frame - previous);
      }
      previous = frame;
    }
  }
}

}  // namespace

std::vector<uint8_t> writeXm(const Song& song) {
  Output out;
  writeHeader(out, song);
  for (const Pattern& pattern : song.patterns) writePattern(out, pattern);
  for (const ScoreInstrument& inst : song.instruments) writeInstrument(out, inst);
  return out.bytes;
}

}  // namespace corvexa::make_song
