// XmBuilder: XM files (version 0x0104) built in memory for tests, from notes,
// instruments and samples, by make-song's XM writer. Every field has the value
// a tracker would write unless a test sets it otherwise, so a test names only
// what it is about. A count or size that a test sets against what is given is
// written over the writer's output: that is how a test gets a broken file.
#pragma once

#include <climits>
#include <cstdint>
#include <vector>

#include "music/module.h"
#include "tools/make-song/xm_writer.h"

namespace corvexa {

namespace xm {

// A count or size left to the writer: worked out from what is given.
inline constexpr int32_t kAuto = INT32_MIN;

using SamplePlan = make_song::XmSample;

struct InstrumentPlan : make_song::XmInstrument {
  int32_t sampleCount = kAuto;        // kAuto: samples.size()
  int32_t headerSize = kAuto;         // kAuto: 263 with samples, 29 without
  int32_t volumePointCount = kAuto;   // kAuto: volumeEnvelope.size()
  int32_t firstSampleLength = kAuto;  // the first sample header's byte count; kAuto: its data's
};

struct PatternPlan : make_song::XmPattern {
  std::vector<Note> notes;   // row by row, channelCount a row; missing ones are empty
  bool rawData = false;      // write `data` as the packed notes instead of `notes`
  int32_t headerLength = 9;  // more: as many zero bytes follow the header
};

struct SongPlan {
  int16_t version = 0x0104;
  int32_t headerSize = 276;
  int32_t songLength = kAuto;  // kAuto: order.size()
  int32_t channelCount = 4;
  int32_t patternCount = kAuto;  // kAuto: patterns.size()
  int32_t instrumentCount = kAuto;
  int32_t speed = 6;
  int32_t bpm = 125;
  std::vector<uint8_t> order = {0};
  std::vector<PatternPlan> patterns;
  std::vector<InstrumentPlan> instruments;
};

// The file bytes of song.
std::vector<uint8_t> build(const SongPlan& song);

// A note on row `row`, channel `channel` of pattern (growing its notes).
void put(PatternPlan& pattern, int32_t channelCount, int32_t row, int32_t channel, Note note);

// An instrument with one sample (slot 0 for every key).
InstrumentPlan oneSample(SamplePlan sample);

}  // namespace xm

}  // namespace corvexa
