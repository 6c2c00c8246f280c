// XmBuilder: XM files (version 0x0104) built in memory for tests, from notes,
// instruments and samples. Every field has the value a tracker would write
// unless a test sets it otherwise, so a test names only what it is about.
#pragma once

#include <climits>
#include <cstdint>
#include <vector>

#include "music/module.h"

namespace corvexa {

namespace xm {

// A count or size left to the builder: worked out from what is given.
inline constexpr int32_t kAuto = INT32_MIN;

struct SamplePlan {
  std::vector<uint8_t> data;  // the file's bytes, already delta-coded
  int32_t length = kAuto;     // the header's byte count; kAuto: data.size()
  int32_t loopStart = 0;      // in bytes, as in the file
  int32_t loopLength = 0;
  uint8_t volume = 64;
  int8_t fineTune = 0;
  uint8_t type = 0;  // loop type in bits 0-1, 16-bit data in bit 4
  uint8_t panning = 128;
  int8_t relativeNote = 0;
};

struct InstrumentPlan {
  std::vector<SamplePlan> samples;
  int32_t sampleCount = kAuto;  // kAuto: samples.size()
  int32_t headerSize = 263;     // FT2's size for an instrument with samples
  uint8_t sampleMap[96] = {};
  std::vector<EnvelopePoint> volumeEnvelope;  // file values (0..64)
  int32_t volumePointCount = kAuto;           // kAuto: volumeEnvelope.size()
  uint8_t volumeSustainPoint = 0;
  uint8_t volumeLoopStart = 0;
  uint8_t volumeLoopEnd = 0;
  uint8_t volumeType = 0;  // bit 0 on, bit 1 sustain, bit 2 loop
  uint8_t autoVibratoType = 0;
  uint8_t autoVibratoSweep = 0;
  uint8_t autoVibratoDepth = 0;
  uint8_t autoVibratoRate = 0;
  int16_t fadeOut = 0;
};

struct PatternPlan {
  int32_t rows = 64;
  std::vector<Note> notes;  // row by row, channelCount a row; missing ones are empty
  int32_t headerLength = 9;
  bool rawData = false;        // write `data` instead of packing the notes
  std::vector<uint8_t> data;   // the packed data as written when rawData
  int32_t packedSize = kAuto;  // kAuto: the size of the packed data
};

struct SongPlan {
  int16_t version = 0x0104;
  int32_t headerSize = 276;
  int32_t songLength = 1;
  int32_t restartPosition = 0;
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

// Delta-coded file bytes for 8-bit frame values and for 16-bit ones.
std::vector<uint8_t> deltaBytes8(const std::vector<int8_t>& values);
std::vector<uint8_t> deltaBytes16(const std::vector<int16_t>& values);

// A note on row `row`, channel `channel` of pattern (growing its notes).
void put(PatternPlan& pattern, int32_t channelCount, int32_t row, int32_t channel, Note note);

// An instrument with one sample (slot 0 for every key).
InstrumentPlan oneSample(SamplePlan sample);

}  // namespace xm

}  // namespace corvexa
