#include "tools/make-song/xm_writer.h"

#include <utility>

namespace corvexa::make_song {

namespace {

struct Output {
  std::vector<uint8_t>& bytes;

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
  void append(const std::vector<uint8_t>& more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
  }
};

// The preamble and the header: the song's counts, speeds and order table.
void writeHeader(Output& out, const XmModule& module) {
  out.text("Extended Module: ", 17);
  out.text(module.name, 20);
  out.byte(0x1A);
  out.text(module.tracker, 20);
  out.int16(0x0104);
  out.int32(276);  // header size, counted from this field
  out.int16(static_cast<int32_t>(module.order.size()));
  out.int16(0);  // restart position
  out.int16(module.channels);
  out.int16(static_cast<int32_t>(module.patterns.size()));
  out.int16(static_cast<int32_t>(module.instruments.size()));
  out.int16(1);  // flags: linear frequency table
  out.int16(module.speed);
  out.int16(module.tempo);
  for (size_t i = 0; i < 256; i++) out.byte(i < module.order.size() ? module.order[i] : 0);
}

void writePattern(Output& out, const XmPattern& pattern) {
  out.int32(9);  // header length
  out.byte(0);   // packing type
  out.int16(pattern.rows);
  out.int16(static_cast<int32_t>(pattern.data.size()));
  out.append(pattern.data);
}

// The instrument header: which sample each key plays, the volume envelope,
// the fade-out and the automatic vibrato; then the sample headers, then the
// samples' data. Without samples the header stops after their count.
void writeInstrument(Output& out, const XmInstrument& inst, std::vector<size_t>& sampleHeaders) {
  const bool empty = inst.samples.empty();
  out.int32(empty ? 29 : 263);
  out.text(inst.name, 22);
  out.byte(0);  // type
  out.int16(static_cast<int32_t>(inst.samples.size()));
  if (empty) return;
  out.int32(40);  // sample header size
  for (uint8_t slot : inst.sampleMap) out.byte(slot);
  const size_t points = inst.volumeEnvelope.size() < 12 ? inst.volumeEnvelope.size() : 12;
  for (size_t i = 0; i < 12; i++) {
    out.int16(i < points ? inst.volumeEnvelope[i].tick : 0);
    out.int16(i < points ? inst.volumeEnvelope[i].value : 0);
  }
  out.zeros(48);  // panning envelope
  out.byte(static_cast<int32_t>(points));
  out.byte(0);  // panning points
  out.byte(inst.volumeSustainPoint);
  out.byte(inst.volumeLoopStart);
  out.byte(inst.volumeLoopEnd);
  out.zeros(3);  // panning sustain and loop points
  out.byte(inst.volumeType);
  out.byte(0);  // panning type
  out.byte(inst.autoVibratoType);
  out.byte(inst.autoVibratoSweep);
  out.byte(inst.autoVibratoDepth);
  out.byte(inst.autoVibratoRate);
  out.int16(inst.fadeOut);
  out.zeros(22);  // reserved

  // Lengths and loops count bytes.
  for (const XmSample& sample : inst.samples) {
    sampleHeaders.push_back(out.bytes.size());
    out.int32(static_cast<int32_t>(sample.data.size()));
    out.int32(sample.loopStart);
    out.int32(sample.loopLength);
    out.byte(sample.volume);
    out.byte(sample.fineTune);
    out.byte(sample.type);
    out.byte(sample.panning);
    out.byte(sample.relativeNote);
    out.byte(0);  // reserved
    out.text(sample.name, 22);
  }
  for (const XmSample& sample : inst.samples) out.append(sample.data);
}

}  // namespace

void packNote(std::vector<uint8_t>& out, uint8_t key, uint8_t instrument, uint8_t volume,
              uint8_t effect, uint8_t parameter) {
  const uint8_t fields[5] = {key, instrument, volume, effect, parameter};
  uint8_t flags = 0x80;
  for (int32_t i = 0; i < 5; i++) {
    if (fields[i] != 0) flags |= static_cast<uint8_t>(1 << i);
  }
  out.push_back(flags);
  for (uint8_t field : fields) {
    if (field != 0) out.push_back(field);
  }
}

std::vector<uint8_t> deltaCode(const std::vector<int16_t>& frames, int32_t bits) {
  std::vector<uint8_t> bytes;
  Output out{bytes};
  int32_t previous = 0;
  for (int16_t frame : frames) {
    if (bits == 16) {
      out.int16(frame - previous);
    } else {
      out.byte(frame - previous);
    }
    previous = frame;
  }
  return bytes;
}

std::vector<uint8_t> writeXm(const XmModule& module, XmLayout* layout) {
  std::vector<uint8_t> bytes;
  XmLayout where;
  Output out{bytes};
  writeHeader(out, module);
  for (const XmPattern& pattern : module.patterns) {
    where.patterns.push_back(bytes.size());
    writePattern(out, pattern);
  }
  for (const XmInstrument& inst : module.instruments) {
    where.instruments.push_back(bytes.size());
    where.sampleHeaders.emplace_back();
    writeInstrument(out, inst, where.sampleHeaders.back());
  }
  if (layout != nullptr) *layout = std::move(where);
  return bytes;
}

}  // namespace corvexa::make_song
