#include "xm_builder.h"

#include <cstddef>
#include <utility>

namespace corvexa::xm {
namespace {

using make_song::XmLayout;
using make_song::XmModule;
using make_song::XmPattern;

void putInt16(std::vector<uint8_t>& bytes, size_t at, int32_t value) {
  bytes[at] = static_cast<uint8_t>(value);
  bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

void putInt32(std::vector<uint8_t>& bytes, size_t at, int32_t value) {
  putInt16(bytes, at, value);
  putInt16(bytes, at + 2, value >> 16);
}

XmPattern pattern(const PatternPlan& plan, int32_t channelCount) {
  XmPattern xm = plan;
  if (plan.rawData) return xm;
  xm.data.clear();
  const size_t count = static_cast<size_t>(plan.rows) * channelCount;
  for (size_t i = 0; i < count; i++) {
    const Note n = i < plan.notes.size() ? plan.notes[i] : Note{};
    make_song::packNote(xm.data, n.key, n.instrument, n.volume, n.effect, n.parameter);
  }
  return xm;
}

// Writes each count or size that the plan sets over what the writer wrote.
void damage(std::vector<uint8_t>& bytes, const SongPlan& song, const XmLayout& layout) {
  putInt16(bytes, 58, song.version);  // the header's fields, by offset
  putInt32(bytes, 60, song.headerSize);
  if (song.songLength != kAuto) putInt16(bytes, 64, song.songLength);
  if (song.patternCount != kAuto) putInt16(bytes, 70, song.patternCount);
  if (song.instrumentCount != kAuto) putInt16(bytes, 72, song.instrumentCount);
  for (size_t i = 0; i < song.instruments.size(); i++) {
    const InstrumentPlan& inst = song.instruments[i];
    const size_t at = layout.instruments[i];  // its fields by offset from there
    if (inst.headerSize != kAuto) putInt32(bytes, at, inst.headerSize);
    if (inst.sampleCount != kAuto) putInt16(bytes, at + 27, inst.sampleCount);
    if (inst.volumePointCount != kAuto)
      bytes[at + 225] = static_cast<uint8_t>(inst.volumePointCount);
    if (inst.firstSampleLength != kAuto)
      putInt32(bytes, layout.sampleHeaders[i][0], inst.firstSampleLength);
  }
  // Longer pattern headers last, from the end, as they move what follows.
  for (size_t i = song.patterns.size(); i-- > 0;) {
    const int32_t length = song.patterns[i].headerLength;
    if (length == 9) continue;  // the writer's
    putInt32(bytes, layout.patterns[i], length);
    const auto end = bytes.begin() + static_cast<std::ptrdiff_t>(layout.patterns[i] + 9);
    if (length > 9) bytes.insert(end, static_cast<size_t>(length - 9), 0);
  }
}

}  // namespace

std::vector<uint8_t> build(const SongPlan& song) {
  XmModule xm;
  xm.tracker = "XmBuilder";
  xm.channels = song.channelCount;
  xm.speed = song.speed;
  xm.tempo = song.bpm;
  xm.order = song.order;
  for (const PatternPlan& p : song.patterns) xm.patterns.push_back(pattern(p, song.channelCount));
  xm.instruments.assign(song.instruments.begin(), song.instruments.end());
  XmLayout layout;
  std::vector<uint8_t> bytes = make_song::writeXm(xm, &layout);
  damage(bytes, song, layout);
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
